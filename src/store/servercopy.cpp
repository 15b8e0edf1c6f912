#include "store/servercopy.h"

#include "store/connection.h"
#include "store/customerkeys.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>

namespace corvane {

namespace {

// Rows sent to the server in one statement: one round trip per row would make
// a large tel.mdb take minutes over a network.
constexpr int BatchRows = 500;

const QStringList CustomerColumns = {QStringLiteral("customercode"), QStringLiteral("customername"),
                                     QStringLiteral("address"),      QStringLiteral("code"),
                                     QStringLiteral("person"),       QStringLiteral("tel"),
                                     QStringLiteral("email"),        QStringLiteral("qq")};
const QStringList CallColumns = {QStringLiteral("adate"), QStringLiteral("atime"), QStringLiteral("tel"),
                                 QStringLiteral("customercode"), QStringLiteral("customername")};
const QStringList RingColumns = {QStringLiteral("code"), QStringLiteral("bz")};

// INSERT of `rows` rows of `columns` into `table`, every value a parameter.
// A row whose customer code the server already holds is left out, not an
// error: tel.mdb never kept codes unique, and a second desk's book may share
// customers with the first.
QString insertText(const QString &table, const QStringList &columns, int rows)
{
    QStringList marks(columns.size(), QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3 ON CONFLICT DO NOTHING")
        .arg(table, columns.join(QLatin1Char(',')), QStringList(rows, row).join(QLatin1Char(',')));
}

struct RowCounts
{
    qint64 read = 0;
    qint64 written = 0;
};

// Copies every row of `table` in `order`.
RowCounts copyRows(Connection &source, Connection &target, const QString &table, const QStringList &columns,
                   const QString &order)
{
    Statement select(
        source,
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns.join(QLatin1Char(',')), table, order));
    const auto columnCount = int(columns.size());
    std::unique_ptr<Statement> fullBatch;
    std::vector<std::optional<QString>> pending;
    RowCounts counts;
    const auto send = [&](Statement &insert) {
        for (std::size_t i = 0; i < pending.size(); ++i)
            insert.bind(int(i) + 1, pending[i]);
        insert.run();
        counts.written += insert.changes();
        insert.reset();
        pending.clear();
    };
    while (select.step()) {
        for (int column = 0; column < columnCount; ++column)
            pending.push_back(select.text(column));
        if (++counts.read % BatchRows == 0) {
            if (!fullBatch)
                fullBatch = std::make_unique<Statement>(target, insertText(table, columns, BatchRows));
            send(*fullBatch);
        }
    }
    if (!pending.empty()) {
        Statement rest(target, insertText(table, columns, int(pending.size()) / columnCount));
        send(rest);
    }
    return counts;
}

qint64 customerCount(Connection &connection)
{
    Statement count(connection, QStringLiteral("SELECT count(*) FROM customer"));
    count.step();
    return count.integer(0);
}

} // namespace

ServerNotEmpty::ServerNotEmpty(qint64 customers)
    : Failure(QCoreApplication::translate("ServerCopy", "服务器数据库中已有 %1 位客户。").arg(customers)),
      m_customers(customers)
{
}

CopiedCounts copyToServer(Connection &source, Connection &target, ExistingCustomers existing)
{
    // One view of tel.mdb even while a running desk logs a call into it.
    Transaction reading(source, Transaction::Kind::Read);
    Transaction writing(target);
    if (const qint64 customers = customerCount(target);
        customers > 0 && existing == ExistingCustomers::Refuse)
        throw ServerNotEmpty(customers);

    CopiedCounts counts;
    const RowCounts customers =
        copyRows(source, target, QStringLiteral("customer"), CustomerColumns, QStringLiteral("id"));
    counts.customers = customers.written;
    counts.customersSkipped = customers.read - customers.written;
    keyUnkeyedCustomers(target.engine());
    counts.calls =
        copyRows(source, target, QStringLiteral("detail"), CallColumns, QStringLiteral("id")).written;
    Statement(target, QStringLiteral("DELETE FROM ring")).run();
    copyRows(source, target, QStringLiteral("ring"), RingColumns, QStringLiteral("rowid"));
    Statement current(target, QStringLiteral("SELECT code FROM ring WHERE bz = '1' LIMIT 1"));
    if (current.step())
        counts.currentRing = current.text(0).value_or(QString());
    writing.commit();
    // Every customer copied was noted for keying and the note dropped: until
    // the server's own vacuum comes, each lookup would wade through the dead
    // notes, and the planner would know nothing of the tables just filled.
    // The copy is done either way; a user who may not vacuum is only warned.
    try {
        Statement(target, QStringLiteral("VACUUM (ANALYZE) customer, customer_key, customer_unkeyed, detail"))
            .run();
    } catch (const Failure &) {
    }
    return counts;
}

} // namespace corvane
