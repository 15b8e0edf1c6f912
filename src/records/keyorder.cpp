#include "records/keyorder.h"

#include "records/statement.h"

#include <QStringList>

namespace corvane {

namespace {

// One line per step of the plan. The listing reads only the key, so every
// index it walks is a covering one; that alone does not change the order.
QStringList planOf(sqlite3 *db, const QString &sql)
{
    Statement explain(db, QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
    QStringList plan;
    while (explain.step()) {
        QString step = QString::fromUtf8(explain.column(3).value_or(QByteArrayView()));
        plan.append(step.replace(QLatin1String("USING COVERING INDEX"), QLatin1String("USING INDEX")));
    }
    return plan;
}

} // namespace

KeyOrder keyOrder(sqlite3 *db, const QString &rowsSql, const QString &keysSql)
{
    const QStringList rowsPlan = planOf(db, rowsSql);
    if (rowsPlan.size() == 1 && rowsPlan.front().count(QLatin1Char(' ')) == 1 &&
        rowsPlan.front().startsWith(QLatin1String("SCAN ")))
        return KeyOrder::Ascending;
    return rowsPlan == planOf(db, keysSql) ? KeyOrder::Listed : KeyOrder::Unknown;
}

} // namespace corvane
