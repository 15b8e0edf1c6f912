#include "store/backup.h"

#include "platform/failure.h"
#include "store/connection.h"
#include "store/sqliteengine.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

namespace corvane {

namespace {

// Closes the copy's connection however the backup ends.
struct CopyConnection
{
    sqlite3 *db = nullptr;
    ~CopyConnection() { sqlite3_close_v2(db); }
};

[[noreturn]] void fail(const QString &target, const QString &reason)
{
    throw Failure(QStringLiteral("Cannot back up the database to '%1': %2")
                      .arg(QDir::toNativeSeparators(target), reason));
}

void copyInto(sqlite3 *source, const QString &partial, const QString &target)
{
    CopyConnection copy;
    const QByteArray path = QFile::encodeName(partial);
    if (sqlite3_open_v2(path.constData(), &copy.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        fail(target, QString::fromUtf8(copy.db ? sqlite3_errmsg(copy.db) : "out of memory"));
    sqlite3_backup *backup = sqlite3_backup_init(copy.db, "main", source, "main");
    if (!backup)
        fail(target, QString::fromUtf8(sqlite3_errmsg(copy.db)));
    // All pages in one step: the copy is taken under one read lock, so it is
    // one state of the database even while the call log writes to it.
    int rc;
    do {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(20);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        fail(target, QString::fromUtf8(sqlite3_errstr(rc)));
}

sqlite3 *fileOf(Connection &connection, const QString &target)
{
    const auto *file = dynamic_cast<const SqliteEngine *>(&connection.engine());
    if (!file)
        fail(target, QStringLiteral("the shared server is backed up with its own tools (pg_dump)"));
    return file->handle();
}

} // namespace

void backupDatabase(Connection &connection, const QString &target)
{
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        copyInto(fileOf(connection, target), partial, target);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        fail(target, QStringLiteral("the copy could not be put in place"));
    }
}

} // namespace corvane
