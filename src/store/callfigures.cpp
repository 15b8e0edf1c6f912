#include "store/callfigures.h"

#include "store/statement.h"
#include "store/transaction.h"

namespace corvane {

namespace {

// taken holds yyyy-MM-dd HH:mm:ss text, which sorts as the times do: the
// period is the text from its first midnight up to the one after it, a range
// of the index calls_taken.
const QString InPeriod = QStringLiteral("taken >= :first AND taken < :afterLast");

// CallerKind of a row, as a number in its order.
const QString KindOf =
    QStringLiteral("CASE WHEN customercode IS NOT NULL THEN 0 WHEN numberkey = '' THEN 2 ELSE 1 END");

void bindPeriod(Statement &statement, const QDate &first, const QDate &last)
{
    const QString format = QStringLiteral("yyyy-MM-dd 00:00:00");
    statement.bind(":first", first.toString(format));
    statement.bind(":afterLast", last.addDays(1).toString(format));
}

// The calls by day or month, hour and kind, with those not handled: a few
// thousand rows at most, whatever the number of calls.
void countSlotsAndHours(Connection &connection, const QDate &first, const QDate &last, bool byMonth,
                        CallFigures &figures)
{
    Statement counts(connection,
                     QStringLiteral("SELECT substr(taken, 1, %1), substr(taken, 12, 2), %2, count(*), "
                                    "sum(CASE WHEN handled = 0 THEN 1 ELSE 0 END) FROM calls WHERE %3 "
                                    "GROUP BY 1, 2, 3 ORDER BY 1")
                         .arg(byMonth ? 7 : 10)
                         .arg(KindOf, InPeriod));
    bindPeriod(counts, first, last);
    while (counts.step()) {
        const QString slot = counts.text(0).value_or(QString());
        const int hour = counts.text(1).value_or(QString()).toInt();
        const auto kind = CallerKind(counts.integer(2));
        const qint64 calls = counts.integer(3);
        if (figures.bySlot.empty() || figures.bySlot.back().slot != slot)
            figures.bySlot.push_back({slot, {}});
        figures.bySlot.back().counts[kind] += calls;
        if (hour >= 0 && hour < 24)
            figures.byHour[std::size_t(hour)][kind] += calls;
        figures.calls += calls;
        figures.notHandled += counts.integer(4);
    }
}

// The numbers that called, and those of them that called as new numbers and
// are a customer's by now.
void countNumbers(Connection &connection, const QDate &first, const QDate &last, CallFigures &figures)
{
    Statement numbers(connection,
                      QStringLiteral("SELECT count(*), coalesce(sum(CASE WHEN fresh = 1 AND EXISTS (SELECT 1 "
                                     "FROM customer_key WHERE customer_key.numberkey = n.numberkey) THEN 1 "
                                     "ELSE 0 END), 0) FROM (SELECT numberkey, max(CASE WHEN customercode IS "
                                     "NULL THEN 1 ELSE 0 END) AS fresh FROM calls WHERE %1 AND numberkey <> "
                                     "'' GROUP BY numberkey) AS n")
                          .arg(InPeriod));
    bindPeriod(numbers, first, last);
    if (numbers.step()) {
        figures.numbers = numbers.integer(0);
        figures.savedNumbers = numbers.integer(1);
    }
}

void findTopCallers(Connection &connection, const QDate &first, const QDate &last, int topCount,
                    CallFigures &figures)
{
    const QString order = QStringLiteral("ORDER BY calls DESC, lastcall DESC, customercode");
    const QString customerOf = QStringLiteral("(SELECT %1 FROM customer WHERE customer.customercode = "
                                              "t.customercode ORDER BY id LIMIT 1)");
    Statement top(connection,
                  QStringLiteral("SELECT customercode, calls, lastcall, %1, %2 FROM (SELECT customercode, "
                                 "count(*) AS calls, max(taken) AS lastcall FROM calls WHERE %3 AND "
                                 "customercode IS NOT NULL GROUP BY customercode %4 LIMIT %5) AS t %4")
                      .arg(customerOf.arg(QStringLiteral("id")),
                           customerOf.arg(QStringLiteral("customername")), InPeriod, order,
                           QString::number(topCount)));
    bindPeriod(top, first, last);
    while (top.step())
        figures.topCallers.push_back({top.text(3).value_or(QString()).toLongLong(),
                                      top.text(0).value_or(QString()), top.text(4).value_or(QString()),
                                      top.integer(1), top.text(2).value_or(QString())});
}

} // namespace

CallFiguresStore::CallFiguresStore(Connection &connection) : m_connection(connection) {}

CallFigures CallFiguresStore::figures(const QDate &first, const QDate &last, bool byMonth, int topCount)
{
    CallFigures figures;
    // One view of the table for every figure, so that they add up while
    // calls come in.
    Transaction view(m_connection, Transaction::Kind::Read);
    countSlotsAndHours(m_connection, first, last, byMonth, figures);
    countNumbers(m_connection, first, last, figures);
    findTopCallers(m_connection, first, last, topCount, figures);
    view.commit();
    return figures;
}

} // namespace corvane
