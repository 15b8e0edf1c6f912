#include "store/callstore.h"

#include "store/statement.h"

namespace corvane {

CallStore::CallStore(Connection &connection) : m_connection(connection) {}

void CallStore::addCall(const CallRow &row)
{
    Statement insert(m_connection,
                     QStringLiteral("INSERT INTO calls (token, taken, number, numberkey, customercode, desk) "
                                    "VALUES (?,?,?,?,?,?) ON CONFLICT (token) DO NOTHING"));
    insert.bind(1, row.token);
    insert.bind(2, row.taken);
    insert.bind(3, row.number);
    insert.bind(4, row.numberKey);
    insert.bind(5, row.customerCode);
    insert.bind(6, row.desk);
    insert.run();
}

} // namespace corvane
