#pragma once

#include <QString>

#include <memory>
#include <optional>

namespace corvane {

class Connection;
class Engine;
class EngineStatement;

// One prepared statement whose values are bound, never written into its text.
// Every failure becomes a Failure carrying the database's own message, so it
// ends in the generic error box. Finalized when the object goes, which ends the
// read transaction a lone SELECT holds.
class Statement
{
public:
    // Takes exactly one statement: text left after it (a second statement
    // smuggled in after a ';') is refused rather than ignored.
    Statement(Connection &connection, const QString &sql);
    // On an engine directly, while it is being opened.
    Statement(Engine &engine, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // By 1-based index, or by the name written in the text (":code").
    void bind(int index, const std::optional<QString> &value); // nullopt binds NULL
    void bind(int index, qint64 value);
    void bind(const char *name, const std::optional<QString> &value);
    void bind(const char *name, qint64 value);

    bool hasParameter(const char *name) const;

    // Steps once: true while a row is ready.
    bool step();
    // Steps to the end, for statements that return no rows.
    void run();
    // Makes the statement ready to run again with new values.
    void reset();
    // Rows the last INSERT, UPDATE or DELETE changed. (A new row's key is read
    // with RETURNING.)
    int changes() const;

    int columnCount() const;
    // A column of the current row; std::nullopt for NULL.
    std::optional<QString> text(int column) const;
    qint64 integer(int column) const;

private:
    int indexOf(const char *name) const;

    std::unique_ptr<EngineStatement> m_statement;
};

} // namespace corvane
