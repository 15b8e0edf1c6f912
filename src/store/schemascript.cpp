#include "store/schemascript.h"

#include "platform/failure.h"

#include <QFile>

#include <sqlite3.h>

namespace corvane {

namespace {

void runScript(const QString &file, const QString &script)
{
    sqlite3 *db = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(file).constData(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char *error = nullptr;
    const int rc = opened == SQLITE_OK
                       ? sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &error)
                       : opened;
    const QString message = error ? QString::fromUtf8(error) : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_free(error);
    const int closed = sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw Failure(QStringLiteral("Cannot create database '%1': %2").arg(file, message));
    if (closed != SQLITE_OK)
        throw Failure(QStringLiteral("Cannot create database '%1': %2")
                          .arg(file, QString::fromUtf8(sqlite3_errstr(closed))));
}

} // namespace

void createDatabaseFromScript(const QString &path, const QString &script)
{
    const QString partial = path + QStringLiteral(".new");
    QFile::remove(partial);
    try {
        runScript(partial, script);
    } catch (const Failure &) {
        QFile::remove(partial);
        throw;
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw Failure(
            QStringLiteral("Cannot create database '%1': the file cannot be put in place").arg(path));
    }
}

} // namespace corvane
