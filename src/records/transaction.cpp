#include "records/transaction.h"

#include "records/connection.h"
#include "records/statement.h"

#include <sqlite3.h>

namespace corvane {

Transaction::Transaction(Connection &connection) : m_db(connection.handle())
{
    Statement(m_db, QStringLiteral("BEGIN IMMEDIATE")).step();
}

Transaction::~Transaction()
{
    // SQLite may already have rolled back by itself (some errors do): then
    // there is nothing left to undo.
    if (!m_committed && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    Statement(m_db, QStringLiteral("COMMIT")).step();
    m_committed = true;
}

} // namespace corvane
