#pragma once

#include "store/engine.h"

namespace corvane {

class Connection;

// A transaction on the connection for the lifetime of the object. A write
// transaction's statements take effect together at commit(), or not at all
// when the object goes without commit() (a failure thrown half way). A read
// transaction gives its statements one view of the database; keep it short,
// since the write-ahead log cannot be reset while it is open.
class Transaction
{
public:
    using Kind = TransactionKind;

    // A write transaction takes the write lock at once (waiting up to the busy
    // timeout), so the statements inside cannot fail half way for want of it.
    explicit Transaction(Connection &connection, Kind kind = Kind::Write);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    // Throws Failure with the database's message when the commit fails; the
    // changes are then rolled back when the object goes.
    void commit();

private:
    Engine &m_engine;
    bool m_committed = false;
};

} // namespace corvane
