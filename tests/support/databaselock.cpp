#include "databaselock.h"

#include <QFile>

#include <sqlite3.h>

namespace corvane::test {

DatabaseLock::DatabaseLock(const QString &path, Hold hold)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    if (hold == Hold::Everything)
        sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
        m_db = db;
    else
        sqlite3_close(db);
}

DatabaseLock::~DatabaseLock()
{
    release();
}

void DatabaseLock::release()
{
    if (!m_db)
        return;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
    m_db = nullptr;
}

} // namespace corvane::test
