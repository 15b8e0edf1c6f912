#include "store/transaction.h"

#include "store/connection.h"
#include "store/statement.h"

#include <sqlite3.h>

namespace corvane {

Transaction::Transaction(Connection &connection, Kind kind)
    : m_connection(connection), m_db(connection.handle())
{
    Statement(m_connection, kind == Kind::Write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"))
        .run();
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
    Statement(m_connection, QStringLiteral("COMMIT")).run();
    m_committed = true;
}

} // namespace corvane
