#pragma once

#include "store/engine.h"

struct sqlite3;

namespace corvane {

// tel.mdb through SQLite. Opening never creates the file, so a missing or
// broken database fails with a clear message instead of quietly starting an
// empty one.
class SqliteEngine : public Engine
{
public:
    // Throws Failure when the file is missing, locked or not a database.
    SqliteEngine(const QString &path, const QString &vfs, int busyTimeoutMs);
    ~SqliteEngine() override;
    SqliteEngine(const SqliteEngine &) = delete;
    SqliteEngine &operator=(const SqliteEngine &) = delete;

    std::unique_ptr<EngineStatement> prepare(const QString &sql) override;
    void begin(TransactionKind kind) override;
    void commit() override;
    bool inTransaction() const override;
    void rollback() noexcept override;
    void setBusyTimeout(int ms) override;
    bool schemaCurrent() const override;

    // For SQLite's own file-level tools, such as its online backup.
    sqlite3 *handle() const { return m_db; }

private:
    // At opening: the tables an older Corvane (or tel.sql) did not make, and
    // the keys of the customers written since the file was last open.
    void bringUpToDate();
    // Does both in a transaction of its own; throws Failure when the file is
    // busy.
    void upgrade();

    sqlite3 *m_db = nullptr;
    int m_busyTimeoutMs;
    // The file was busy when opened and still lacks the tables added since.
    bool m_schemaBehind = false;
};

} // namespace corvane
