#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace corvane {

enum class TransactionKind { Read, Write };

// One statement as a database engine runs it; see Statement for the meaning
// of each call. Parameters are numbered from 1 in the order the text names
// them, a name written twice keeping its first number.
class EngineStatement
{
public:
    virtual ~EngineStatement() = default;

    virtual void bind(int index, const std::optional<QString> &value) = 0;
    virtual void bind(int index, qint64 value) = 0;
    // 0 when the text has no parameter of that name.
    virtual int parameterIndex(const char *name) const = 0;
    virtual bool step() = 0;
    virtual void reset() = 0;
    virtual int changes() const = 0;
    virtual int columnCount() const = 0;
    virtual std::optional<QString> text(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
};

// A database the stores run on: the embedded file or a shared server. The
// stores write one SQL text for both; what differs (parameter marks, how a
// transaction begins, settings of the file) stays in the engine.
class Engine
{
public:
    virtual ~Engine() = default;

    // Throws Failure with the engine's message when the text is refused.
    virtual std::unique_ptr<EngineStatement> prepare(const QString &sql) = 0;
    virtual void begin(TransactionKind kind) = 0;
    // Throws Failure with the engine's message when the commit fails.
    virtual void commit() = 0;
    virtual bool inTransaction() const = 0;
    // Undoes an open transaction; never throws, since it runs while a failure
    // is already on its way.
    virtual void rollback() noexcept = 0;
    virtual void setBusyTimeout(int ms) = 0;
    // False while the database still lacks the tables added since it was
    // made: it was busy when opened, and its first write transaction adds them.
    virtual bool schemaCurrent() const { return true; }
};

} // namespace corvane
