#pragma once

#include "store/engine.h"

#include <QString>

struct sqlite3;

namespace corvane {

// tel.mdb through SQLite. Opening never creates the file, so a missing or
// broken database fails with a clear message instead of quietly starting an
// empty one. A file the user may not write is opened read-only, so customers
// are still found; it is opened again for writing once it may be written.
// Text another program stored in GBK is read as GBK.
class SqliteEngine : public Engine
{
public:
    // Throws DatabaseFileFailure when the file is missing, empty, locked,
    // damaged or no database of the program's.
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
    // The connection to the file, read-write where it may be written.
    sqlite3 *open() const;
    sqlite3 *openWith(const char *uriParameters) const;
    // Between transactions: a file opened read-only that may now be written
    // is opened again, so what waited for it can be written.
    void reopenIfWritable();
    // At opening: the tables an older Corvane (or tel.sql) did not make.
    void bringUpToDate();
    // Adds them in a transaction of its own; throws Failure when the file is
    // busy.
    void upgrade();

    QString m_path;
    QString m_vfs;
    int m_busyTimeoutMs;
    sqlite3 *m_db = nullptr;
    bool m_readOnly = false;
    // The file was busy or read-only when opened and still lacks the tables
    // added since.
    bool m_schemaBehind = false;
};

} // namespace corvane
