#include "store/calllogstore.h"

#include "store/customerstore.h"
#include "store/pagedquery.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QDate>

namespace corvane {

namespace {

const QString insertCall =
    QStringLiteral("INSERT INTO detail (adate,atime,tel,customercode,customername) VALUES (?,?,?,?,?)");

void bindRow(Statement &insert, const CallLogRow &row)
{
    insert.bind(1, row.adate);
    insert.bind(2, row.atime);
    insert.bind(3, row.tel);
    insert.bind(4, row.customercode);
    insert.bind(5, row.customername);
}

} // namespace

CallLogStore::CallLogStore(Connection &connection) : m_connection(connection) {}

void CallLogStore::logCall(const CallLogRow &row)
{
    Statement insert(m_connection, insertCall);
    bindRow(insert, row);
    insert.run();
}

std::optional<CallLogRow> CallLogStore::logKeptCall(const QString &token, const CallLogRow &row,
                                                    const QString &areaCode, bool numberLookedUp)
{
    Statement(m_connection,
              QStringLiteral("CREATE TABLE IF NOT EXISTS kept_call_written (token TEXT PRIMARY KEY)"))
        .run();
    Statement mark(m_connection,
                   QStringLiteral("INSERT INTO kept_call_written (token) VALUES (?) ON CONFLICT DO NOTHING"));
    mark.bind(1, token);
    mark.run();
    if (mark.changes() == 0)
        return std::nullopt;
    CallLogRow logged = row;
    // Kept before the number could be looked up: logged only when the number
    // belongs to a customer, as the call desk would have logged it.
    if (logged.customercode.isEmpty() && logged.customername.isEmpty() && !numberLookedUp) {
        if (const std::optional<Customer> customer =
                CustomerStore(m_connection).customerByTel(row.tel, areaCode)) {
            logged.customercode = customer->customerCode;
            logged.customername = customer->name;
        }
    }
    if (!logged.customercode.isEmpty() || !logged.customername.isEmpty())
        logCall(logged);
    return logged;
}

void CallLogStore::forgetKeptCalls(const QStringList &tokens)
{
    Transaction transaction(m_connection);
    Statement forget(m_connection, QStringLiteral("DELETE FROM kept_call_written WHERE token = ?"));
    for (const QString &token : tokens) {
        forget.bind(1, token);
        forget.run();
        forget.reset();
    }
    transaction.commit();
}

std::unique_ptr<PagedQuery> CallLogStore::callsBetween(const QDate &first, const QDate &last,
                                                       const QString &code)
{
    // adate holds yyyy-MM-dd text, which sorts as the dates do; bounds in the
    // same form make the text comparison a date comparison.
    const QString dateForm = QStringLiteral("yyyy-MM-dd");
    QueryShape shape{QStringLiteral("detail"),
                     {QStringLiteral("id"), QStringLiteral("adate"), QStringLiteral("atime"),
                      QStringLiteral("tel"), QStringLiteral("customercode"), QStringLiteral("customername")},
                     {QStringLiteral("adate"), QStringLiteral("id")},
                     QStringLiteral("adate >= :first AND adate <= :last"),
                     {{":first", first.toString(dateForm)}, {":last", last.toString(dateForm)}},
                     {}};
    if (code.isEmpty())
        shape.outside = {QStringLiteral("adate < :first"), QStringLiteral("adate > :last"),
                         QStringLiteral("adate IS NULL")};
    else {
        shape.condition += QStringLiteral(" AND customercode = :code");
        shape.values.append({":code", code});
    }
    return std::make_unique<PagedQuery>(m_connection, shape);
}

} // namespace corvane
