#include "store/connection.h"

#include "platform/failure.h"

#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

namespace corvane {

namespace {

QString openFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open database '%1': %2").arg(path, reason);
}

// mode=rw: open read-write and never create; the program must not make an
// empty tel.mdb where the user's file has gone missing.
QByteArray uriOf(const QString &path)
{
    return (QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw")).toUtf8();
}

} // namespace

Connection::~Connection()
{
    close();
}

void Connection::setDatabasePath(const QString &path)
{
    if (path == m_path)
        return;
    close();
    m_path = path;
}

QString Connection::databasePath() const
{
    return m_path;
}

void Connection::setVfs(const QString &name)
{
    close();
    m_vfs = name;
}

void Connection::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

sqlite3 *Connection::handle()
{
    if (!m_db)
        open();
    return m_db;
}

void Connection::close()
{
    sqlite3_close_v2(std::exchange(m_db, nullptr));
}

void Connection::open()
{
    if (m_path.isEmpty())
        throw Failure(QStringLiteral("No database file has been set"));
    if (!QFileInfo(m_path).isFile())
        throw Failure(QStringLiteral("Could not find file '%1'").arg(m_path));
    const QByteArray vfs = m_vfs.toUtf8();
    sqlite3 *db = nullptr;
    const int opened =
        sqlite3_open_v2(uriOf(m_path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI,
                        m_vfs.isEmpty() ? nullptr : vfs.constData());
    if (opened != SQLITE_OK) {
        const QString reason =
            db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(opened));
        sqlite3_close_v2(db);
        throw Failure(openFailure(m_path, reason));
    }
    sqlite3_busy_timeout(db, m_busyTimeoutMs);
    // WAL lets other processes read while we write; FULL makes a returned save
    // survive a power cut. Reading the journal mode also proves it is a database.
    // Checkpointing every 256 pages rather than every 1000 keeps the log file,
    // which never shrinks below the size it once reached, near 1 MB.
    for (const char *pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL", "PRAGMA wal_autocheckpoint=256"}) {
        if (sqlite3_exec(db, pragma, nullptr, nullptr, nullptr) != SQLITE_OK) {
            const QString reason = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_close_v2(db);
            throw Failure(openFailure(m_path, reason));
        }
    }
    m_db = db;
}

} // namespace corvane
