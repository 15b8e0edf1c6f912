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
const QStringList CallRowColumns = {QStringLiteral("taken"),     QStringLiteral("number"),
                                    QStringLiteral("numberkey"), QStringLiteral("customercode"),
                                    QStringLiteral("desk"),      QStringLiteral("handled"),
                                    QStringLiteral("note"),      QStringLiteral("token")};
const QStringList RingColumns = {QStringLiteral("code"), QStringLiteral("bz")};

QString columnList(const QStringList &columns, const QString &prefix = {})
{
    QStringList named;
    for (const QString &column : columns)
        named << prefix + column;
    return named.join(QLatin1Char(','));
}

// INSERT of `rows` rows of `columns` into `table`, every value a parameter.
QString insertText(const QString &table, const QStringList &columns, int rows)
{
    QStringList marks(columns.size(), QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table, columnList(columns), QStringList(rows, row).join(QLatin1Char(',')));
}

// Sends every row of `table` in tel.mdb, in `order`, into `into` on the
// server; returns how many.
qint64 sendRows(Connection &source, Connection &target, const QString &table, const QString &into,
                const QStringList &columns, const QString &order)
{
    Statement select(source,
                     QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columnList(columns), table, order));
    const auto columnCount = int(columns.size());
    std::unique_ptr<Statement> fullBatch;
    std::vector<std::optional<QString>> pending;
    qint64 rows = 0;
    const auto send = [&](Statement &insert) {
        for (std::size_t i = 0; i < pending.size(); ++i)
            insert.bind(int(i) + 1, pending[i]);
        insert.run();
        insert.reset();
        pending.clear();
    };
    while (select.step()) {
        for (int column = 0; column < columnCount; ++column)
            pending.push_back(select.text(column));
        if (++rows % BatchRows == 0) {
            if (!fullBatch)
                fullBatch = std::make_unique<Statement>(target, insertText(into, columns, BatchRows));
            send(*fullBatch);
        }
    }
    if (!pending.empty()) {
        Statement rest(target, insertText(into, columns, int(pending.size()) / columnCount));
        send(rest);
    }
    return rows;
}

void run(Connection &connection, const QString &sql)
{
    Statement(connection, sql).run();
}

qint64 changesOf(Connection &connection, const QString &sql)
{
    Statement statement(connection, sql);
    statement.run();
    return statement.changes();
}

qint64 countOf(Connection &connection, const QString &sql)
{
    Statement count(connection, sql);
    count.step();
    return count.integer(0);
}

// A table for the file's rows beside the server's, gone at the end of the
// copy: what is new is then told from what is there in one statement.
void makeCopyTable(Connection &target, const QString &name, const QStringList &columns)
{
    run(target, QStringLiteral("CREATE TEMP TABLE %1 (ord bigserial, %2 text) ON COMMIT DROP")
                    .arg(name, columns.join(QStringLiteral(" text,"))));
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
    if (const qint64 customers = countOf(target, QStringLiteral("SELECT count(*) FROM customer"));
        customers > 0 && existing == ExistingCustomers::Refuse)
        throw ServerNotEmpty(customers);

    makeCopyTable(target, QStringLiteral("copied_customer"), CustomerColumns);
    makeCopyTable(target, QStringLiteral("copied_call"), CallColumns);
    const qint64 customersRead =
        sendRows(source, target, QStringLiteral("customer"), QStringLiteral("copied_customer"),
                 CustomerColumns, QStringLiteral("id"));
    const qint64 callsRead = sendRows(source, target, QStringLiteral("detail"), QStringLiteral("copied_call"),
                                      CallColumns, QStringLiteral("id"));

    CopiedCounts counts;
    // tel.mdb never kept codes unique, and a second desk's book may share
    // customers with the first: a code the server holds is not copied again.
    counts.customers =
        changesOf(target, QStringLiteral("INSERT INTO customer (%1) SELECT %1 FROM copied_customer "
                                         "ORDER BY ord ON CONFLICT DO NOTHING")
                              .arg(columnList(CustomerColumns)));
    keyUnkeyedCustomers(target.engine());
    // The code is the same but the customer another: told, so the user can
    // give one of them a new code.
    run(target,
        QStringLiteral("CREATE TEMP TABLE colliding ON COMMIT DROP AS "
                       "SELECT f.ord, f.customercode, s.customername AS servername, "
                       "f.customername AS filename FROM copied_customer f "
                       "JOIN customer s ON s.customercode = f.customercode "
                       "WHERE f.customercode <> '' AND (s.customername IS DISTINCT FROM f.customername "
                       "OR s.tel IS DISTINCT FROM f.tel)"));
    Statement collisions(
        target, QStringLiteral("SELECT customercode, servername, filename FROM colliding ORDER BY ord"));
    while (collisions.step())
        counts.collisions.append({collisions.text(0).value_or(QString()),
                                  collisions.text(1).value_or(QString()),
                                  collisions.text(2).value_or(QString())});
    counts.customersSkipped = customersRead - counts.customers - counts.collisions.size();

    // A colliding customer's calls would be the other customer's on the
    // server; a call the server has already (a copy run twice) is not doubled.
    const QString ofColliding =
        QStringLiteral("EXISTS (SELECT 1 FROM colliding k WHERE k.customercode = c.customercode)");
    counts.callsOfCollisions =
        countOf(target, QStringLiteral("SELECT count(*) FROM copied_call c WHERE ") + ofColliding);
    QStringList sameCall;
    for (const QString &column : {QStringLiteral("adate"), QStringLiteral("atime"), QStringLiteral("tel"),
                                  QStringLiteral("customercode")})
        sameCall << QStringLiteral("coalesce(d.%1, '') = coalesce(c.%1, '')").arg(column);
    counts.calls =
        changesOf(target, QStringLiteral("INSERT INTO detail (%1) SELECT %2 FROM copied_call c "
                                         "WHERE NOT %3 AND NOT EXISTS (SELECT 1 FROM detail d WHERE %4) "
                                         "ORDER BY c.ord")
                              .arg(columnList(CallColumns), columnList(CallColumns, QStringLiteral("c.")),
                                   ofColliding, sameCall.join(QStringLiteral(" AND "))));
    counts.callsSkipped = callsRead - counts.calls - counts.callsOfCollisions;

    // The calls of table calls: each one once by its token, which every desk
    // writes; a colliding customer's stay behind as its call-log rows do.
    makeCopyTable(target, QStringLiteral("copied_call_row"), CallRowColumns);
    // An older tel.mdb that may not be written has no table calls yet.
    if (countOf(source, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                       "name = 'calls'")) > 0)
        sendRows(source, target, QStringLiteral("calls"), QStringLiteral("copied_call_row"), CallRowColumns,
                 QStringLiteral("id"));
    QStringList castColumns = columnList(CallRowColumns, QStringLiteral("c.")).split(QLatin1Char(','));
    castColumns[CallRowColumns.indexOf(QStringLiteral("handled"))] += QStringLiteral("::integer");
    run(target, QStringLiteral("INSERT INTO calls (%1) SELECT %2 FROM copied_call_row c WHERE NOT %3 "
                               "ORDER BY c.ord ON CONFLICT (token) DO NOTHING")
                    .arg(columnList(CallRowColumns), castColumns.join(QLatin1Char(',')), ofColliding));

    run(target, QStringLiteral("DELETE FROM ring"));
    sendRows(source, target, QStringLiteral("ring"), QStringLiteral("ring"), RingColumns,
             QStringLiteral("rowid"));
    Statement current(target, QStringLiteral("SELECT code FROM ring WHERE bz = '1' LIMIT 1"));
    if (current.step())
        counts.currentRing = current.text(0).value_or(QString());
    writing.commit();
    // Every customer copied was noted for keying and the note dropped: until
    // the server's own vacuum comes, each lookup would wade through the dead
    // notes, and the planner would know nothing of the tables just filled.
    // The copy is done either way; a user who may not vacuum is only warned.
    try {
        run(target, QStringLiteral("VACUUM (ANALYZE) customer, customer_key, customer_unkeyed, detail"));
    } catch (const Failure &) {
    }
    return counts;
}

} // namespace corvane
