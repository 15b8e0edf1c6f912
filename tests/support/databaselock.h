#pragma once

#include <QString>

struct sqlite3;

namespace corvane::test {

// Another program holding a database file (an exclusive transaction) until
// release() or the end of the object: for writing, which in WAL mode leaves
// reading to others, or in exclusive locking mode, which keeps even readers
// out.
class DatabaseLock
{
public:
    enum class Hold { Writes, Everything };

    explicit DatabaseLock(const QString &path, Hold hold = Hold::Writes);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;

    bool isHeld() const { return m_db != nullptr; }
    void release();

private:
    sqlite3 *m_db = nullptr;
};

} // namespace corvane::test
