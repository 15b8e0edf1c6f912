#include "store/callhistory.h"

#include "store/statement.h"

namespace corvane {

CallHistory::CallHistory(Connection &connection) : m_connection(connection) {}

QList<EarlierCall> CallHistory::lastCalls(const QString &customerCode, const QString &shownToken, int limit)
{
    // Walks calls_customercode backwards from the newest: a few rows read
    // however many the customer has.
    Statement select(m_connection, QStringLiteral("SELECT taken, note FROM calls WHERE customercode = :code "
                                                  "AND (token IS NULL OR token <> :token) "
                                                  "ORDER BY taken DESC, id DESC LIMIT :limit"));
    select.bind(":code", customerCode);
    select.bind(":token", shownToken);
    select.bind(":limit", qint64(limit));
    QList<EarlierCall> calls;
    while (select.step())
        calls.append({select.text(0).value_or(QString()), select.text(1).value_or(QString())});
    return calls;
}

qint64 CallHistory::callCount(const QString &numberKey, const QString &shownToken)
{
    if (numberKey.isEmpty())
        return 0;
    // Both counts come from indexes alone (calls_numberkey, the token's
    // unique index); a filter on the token would read every row of the key.
    Statement select(
        m_connection,
        QStringLiteral("SELECT (SELECT count(*) FROM calls WHERE numberkey = :key) - "
                       "(SELECT count(*) FROM calls WHERE token = :token AND numberkey = :key)"));
    select.bind(":key", numberKey);
    select.bind(":token", shownToken);
    return select.step() ? select.integer(0) : 0;
}

} // namespace corvane
