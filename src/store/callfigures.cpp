#include "store/callfigures.h"

#include "store/connection.h"
#include "store/engine.h"
#include "store/statement.h"
#include "store/transaction.h"

namespace corvane {

namespace {

// taken holds yyyy-MM-dd HH:mm:ss text, which sorts as the times do: the
// period is the text from its first midnight up to the one after it, a range
// of the index calls_taken.
const QString InPeriod = QStringLiteral("taken >= :first AND taken < :afterLast");

void bindPeriod(Statement &statement, const QDate &first, const QDate &last)
{
    const QString format = QStringLiteral("yyyy-MM-dd 00:00:00");
    statement.bind(":first", first.toString(format));
    statement.bind(":afterLast", last.addDays(1).toString(format));
}

// The calls by day or month, hour and kind, with those not handled, from
// the counts the database keeps by hour: a few thousand rows for a year,
// whatever the number of calls. A file that could not be brought up to date
// yet (held by another program, read-only) has no counts: its calls are
// grouped instead.
void countSlotsAndHours(Connection &connection, const QDate &first, const QDate &last, bool byMonth,
                        CallFigures &figures)
{
    const QString sql =
        QStringLiteral("SELECT substr(%1, 1, %2), substr(%1, 12, 2), %3, %4, %5 FROM %6 WHERE "
                       "%1 >= :firstDay AND %1 < :dayAfter GROUP BY 1, 2, 3 ORDER BY 1");
    const QString width = QString::number(byMonth ? 7 : 10);
    Statement counts(
        connection,
        connection.engine().schemaCurrent()
            ? sql.arg(QStringLiteral("hour"), width, QStringLiteral("kind"), QStringLiteral("sum(calls)"),
                      QStringLiteral("sum(unhandled)"), QStringLiteral("calls_hourly"))
            : sql.arg(QStringLiteral("taken"), width,
                      QStringLiteral("CASE WHEN customercode IS NOT NULL THEN 0 WHEN numberkey = '' THEN 2 "
                                     "ELSE 1 END"),
                      QStringLiteral("count(*)"),
                      QStringLiteral("sum(CASE WHEN handled = 0 THEN 1 ELSE 0 END)"),
                      QStringLiteral("calls")));
    // A time's yyyy-MM-dd HH… sorts after its day's yyyy-MM-dd.
    counts.bind(":firstDay", first.toString(QStringLiteral("yyyy-MM-dd")));
    counts.bind(":dayAfter", last.addDays(1).toString(QStringLiteral("yyyy-MM-dd")));
    while (counts.step()) {
        const QString slot = counts.text(0).value_or(QString());
        const int hour = counts.text(1).value_or(QString()).toInt();
        const int kind = int(counts.integer(2));
        const qint64 calls = counts.integer(3);
        if (calls == 0 || kind < 0 || kind >= CallerKinds || hour < 0 || hour >= 24)
            continue;
        if (figures.bySlot.empty() || figures.bySlot.back().slot != slot)
            figures.bySlot.push_back({slot, {}});
        figures.bySlot.back().counts[CallerKind(kind)] += calls;
        figures.byHour[std::size_t(hour)][CallerKind(kind)] += calls;
        figures.calls += calls;
        figures.notHandled += counts.integer(4);
    }
}

// From one pass over the period's calls, grouped by number and customer: the
// numbers that called, those of them that called as new numbers and are a
// customer's by now, and the customers who called most, in a first row and
// the rows after it.
CallerFigures countCallers(Connection &connection, const QDate &first, const QDate &last, int topCount)
{
    CallerFigures figures;
    const QString customerOf = QStringLiteral("(SELECT %1 FROM customer WHERE customer.customercode = "
                                              "tops.customercode ORDER BY id LIMIT 1)");
    Statement figuresOf(
        connection,
        QStringLiteral(
            "WITH per AS MATERIALIZED (SELECT numberkey, customercode, count(*) AS calls, max(taken) AS "
            "lastcall FROM calls WHERE %1 GROUP BY numberkey, customercode), "
            "numbers AS (SELECT numberkey, max(CASE WHEN customercode IS NULL THEN 1 ELSE 0 END) AS fresh "
            "FROM per WHERE numberkey <> '' GROUP BY numberkey), "
            "tops AS (SELECT customercode, sum(calls) AS calls, max(lastcall) AS lastcall FROM per WHERE "
            "customercode IS NOT NULL GROUP BY customercode ORDER BY 2 DESC, 3 DESC, 1 LIMIT %2) "
            "SELECT 0 AS part, NULL AS code, count(*) AS calls, coalesce(sum(CASE WHEN fresh = 1 AND EXISTS "
            "(SELECT 1 FROM customer_key WHERE customer_key.numberkey = numbers.numberkey) THEN 1 ELSE 0 "
            "END), 0) AS saved, NULL AS lastcall, NULL AS id, NULL AS name FROM numbers "
            "UNION ALL SELECT 1, customercode, calls, 0, lastcall, %3, %4 FROM tops "
            "ORDER BY part, calls DESC, lastcall DESC, code")
            .arg(InPeriod, QString::number(topCount), customerOf.arg(QStringLiteral("id")),
                 customerOf.arg(QStringLiteral("customername"))));
    bindPeriod(figuresOf, first, last);
    if (figuresOf.step()) {
        figures.numbers = figuresOf.integer(2);
        figures.savedNumbers = figuresOf.integer(3);
    }
    while (figuresOf.step())
        figures.topCallers.push_back({figuresOf.text(5).value_or(QString()).toLongLong(),
                                      figuresOf.text(1).value_or(QString()),
                                      figuresOf.text(6).value_or(QString()), figuresOf.integer(2),
                                      figuresOf.text(4).value_or(QString())});
    return figures;
}

} // namespace

CallFiguresStore::CallFiguresStore(Connection &connection) : m_connection(connection) {}

CallFigures CallFiguresStore::counts(const QDate &first, const QDate &last, bool byMonth)
{
    CallFigures figures;
    Transaction view(m_connection, Transaction::Kind::Read);
    countSlotsAndHours(m_connection, first, last, byMonth, figures);
    view.commit();
    return figures;
}

CallerFigures CallFiguresStore::callers(const QDate &first, const QDate &last, int topCount)
{
    Transaction view(m_connection, Transaction::Kind::Read);
    CallerFigures figures = countCallers(m_connection, first, last, topCount);
    view.commit();
    return figures;
}

} // namespace corvane
