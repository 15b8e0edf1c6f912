#pragma once

#include <QString>

struct sqlite3;

namespace corvane::test {

// Another program holding a database file for writing (an exclusive
// transaction), until release() or the end of the object.
class DatabaseLock
{
public:
    explicit DatabaseLock(const QString &path);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;

    bool isHeld() const { return m_db != nullptr; }
    void release();

private:
    sqlite3 *m_db = nullptr;
};

} // namespace corvane::test
