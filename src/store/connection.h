#pragma once

#include <QString>

struct sqlite3;

namespace corvane {

// One connection to tel.mdb. It opens at the first statement and stays open;
// it never creates the file, so a missing or broken database makes every
// database action fail with a clear message instead of quietly starting an
// empty one.
class Connection
{
public:
    // Another process (a backup, a second tool) may hold the file for a moment;
    // longer than this and the window would seem frozen, so the action fails.
    static constexpr int BusyTimeoutMs = 1000;

    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Closes the file open so far; the next statement opens the new one.
    void setDatabasePath(const QString &path);
    QString databasePath() const;
    // The SQLite VFS to open the file through; empty for the default one.
    void setVfs(const QString &name);

    // How long a statement waits for a database another process holds,
    // from now on; BusyTimeoutMs until set.
    void setBusyTimeout(int ms);

    // Opens on first use (WAL, synchronous FULL, busy timeout). Throws Failure
    // when the file is missing, locked or not a database.
    sqlite3 *handle();
    void close();

private:
    void open();

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_vfs;
    int m_busyTimeoutMs = BusyTimeoutMs;
};

} // namespace corvane
