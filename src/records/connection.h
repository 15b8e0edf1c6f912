#pragma once

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace corvane {

// The program's one connection to tel.mdb (ADOConnection1). It opens at the
// first query and stays open; it never creates the file, so a missing or broken
// database makes every database action fail with a clear message instead of
// quietly starting an empty one.
class Connection
{
public:
    // Another process (a backup, a second tool) may hold the file for a moment;
    // longer than this and the window would seem frozen, so the action fails.
    static constexpr int BusyTimeoutMs = 1000;

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setDatabasePath(const QString &path);
    QString databasePath() const;

    // How long a statement waits for a database another process holds,
    // from now on; BusyTimeoutMs until set.
    void setBusyTimeout(int ms);

    // Opens on first use (WAL, synchronous FULL, busy timeout). Throws Failure
    // when the file is missing, locked or not a database.
    QSqlDatabase database();
    // The SQLite handle behind database(), for the dataset layer.
    sqlite3 *handle();

private:
    void open();

    QString m_name;
    QString m_path;
    int m_busyTimeoutMs = BusyTimeoutMs;
};

// The SQLite URI that opens the file read-write and never creates it.
QString sqliteUri(const QString &path);

} // namespace corvane
