#pragma once

struct sqlite3;

namespace corvane {

class Connection;

// A write transaction on the connection for the lifetime of the object: the
// statements run meanwhile take effect together at commit(), or not at all
// when the object goes without commit() (a failure thrown half way).
class Transaction
{
public:
    // Takes the write lock at once (waiting up to the busy timeout), so the
    // statements inside cannot fail half way for want of it.
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Throws Failure with the database's message when the commit fails; the
    // changes are then rolled back when the object goes.
    void commit();

private:
    sqlite3 *m_db;
    bool m_committed = false;
};

} // namespace corvane
