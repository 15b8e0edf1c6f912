#include "records/connection.h"

#include "platform/failure.h"

#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <sqlite3.h>

namespace corvane {

namespace {

QString openFailure(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open database '%1': %2").arg(path, reason);
}

// Null when the pragma ran, else the database's reason.
QString runPragma(const QSqlDatabase &db, const QString &pragma)
{
    QSqlQuery query(db);
    if (query.exec(pragma))
        return {};
    return query.lastError().databaseText();
}

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant v = db.driver()->handle();
    return v.isValid() ? *static_cast<sqlite3 *const *>(v.constData()) : nullptr;
}

} // namespace

// mode=rw: open read-write and never create; the program must not make an
// empty tel.mdb where the user's file has gone missing.
QString sqliteUri(const QString &path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

Connection::Connection() : m_name(QStringLiteral("ADOConnection1-") + QUuid::createUuid().toString()) {}

Connection::~Connection()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::removeDatabase(m_name);
}

void Connection::setDatabasePath(const QString &path)
{
    if (path == m_path)
        return;
    m_path = path;
    if (QSqlDatabase::contains(m_name))
        QSqlDatabase::database(m_name, false).close();
}

QString Connection::databasePath() const
{
    return m_path;
}

QSqlDatabase Connection::database()
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (!db.isValid() || !db.isOpen()) {
        open();
        db = QSqlDatabase::database(m_name, false);
    }
    return db;
}

void Connection::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    const QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isValid() && db.isOpen())
        sqlite3_busy_timeout(handleOf(db), ms);
}

sqlite3 *Connection::handle()
{
    sqlite3 *handle = handleOf(database());
    if (!handle)
        throw Failure(openFailure(m_path, QStringLiteral("no SQLite handle")));
    return handle;
}

void Connection::open()
{
    if (m_path.isEmpty())
        throw Failure(QStringLiteral("No database file has been set"));
    if (!QFileInfo(m_path).isFile())
        throw Failure(QStringLiteral("Could not find file '%1'").arg(m_path));
    QSqlDatabase db = QSqlDatabase::contains(m_name)
                          ? QSqlDatabase::database(m_name, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    if (!db.isValid())
        throw Failure(openFailure(m_path, QStringLiteral("the SQLite driver is not available")));
    db.setDatabaseName(sqliteUri(m_path));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
    if (!db.open())
        throw Failure(openFailure(m_path, db.lastError().driverText() + QLatin1Char(' ') +
                                              db.lastError().databaseText()));
    // WAL lets other processes read while we write; FULL makes a returned save
    // survive a power cut. Reading the journal mode also proves it is a database.
    const QString pragmas[] = {QStringLiteral("PRAGMA journal_mode=WAL"),
                               QStringLiteral("PRAGMA synchronous=FULL")};
    for (const QString &pragma : pragmas) {
        const QString reason = runPragma(db, pragma);
        if (!reason.isNull()) {
            db.close();
            throw Failure(openFailure(m_path, reason));
        }
    }
}

} // namespace corvane
