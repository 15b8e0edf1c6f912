#include "store/ringstore.h"

#include "store/statement.h"
#include "store/transaction.h"

namespace corvane {

RingStore::RingStore(Connection &connection) : m_connection(connection) {}

QString RingStore::currentRing()
{
    Statement select(m_connection, QStringLiteral("SELECT code FROM ring WHERE bz = '1' LIMIT 1"));
    return select.step() ? select.text(0).value_or(QString()) : QString();
}

void RingStore::chooseRing(const QString &code)
{
    Transaction transaction(m_connection);
    Statement(m_connection, QStringLiteral("UPDATE ring SET bz = '0'")).run();
    Statement mark(m_connection, QStringLiteral("UPDATE ring SET bz = '1' WHERE code = ?"));
    mark.bind(1, code);
    mark.run();
    transaction.commit();
}

} // namespace corvane
