#include "store/customerkeys.h"

#include "store/numberkey.h"
#include "store/statement.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace corvane {

namespace {

// Customers read, and key rows written, per statement: few round trips to a
// server, little memory for ten million customers. The customers of a batch
// are named one by one, which every engine finds through its index however
// little it knows of the tables (a copy fills them in the same transaction).
constexpr int Batch = 500;

QString marks(qsizetype count, const QString &mark)
{
    return QStringList(count, mark).join(QLatin1Char(','));
}

// The statement `sql` with a mark in place of its "%1" for each of the
// customers `ids`, bound to them.
std::unique_ptr<Statement> forCustomers(Engine &engine, const QString &sql, const std::vector<qint64> &ids)
{
    auto statement =
        std::make_unique<Statement>(engine, sql.arg(marks(qsizetype(ids.size()), QStringLiteral("?"))));
    for (std::size_t i = 0; i < ids.size(); ++i)
        statement->bind(int(i) + 1, ids[i]);
    return statement;
}

using KeyRow = std::pair<QString, qint64>;

void insertKeys(Engine &engine, std::span<const KeyRow> rows)
{
    if (rows.empty())
        return;
    // Another desk may have keyed the same customer a moment before.
    Statement insert(engine, QStringLiteral("INSERT INTO customer_key (numberkey,customerid) VALUES ") +
                                 marks(qsizetype(rows.size()), QStringLiteral("(?,?)")) +
                                 QStringLiteral(" ON CONFLICT DO NOTHING"));
    int index = 0;
    for (const auto &[key, customer] : rows) {
        insert.bind(++index, key);
        insert.bind(++index, customer);
    }
    insert.run();
}

// The keys of the customers `ids` as their numbers are now; none for one
// removed meanwhile.
std::vector<KeyRow> keysOf(Engine &engine, const std::vector<qint64> &ids)
{
    const auto select =
        forCustomers(engine, QStringLiteral("SELECT id, tel FROM customer WHERE id IN (%1)"), ids);
    std::vector<KeyRow> rows;
    while (select->step()) {
        const qint64 customer = select->integer(0);
        for (const QString &key : telKeys(select->text(1).value_or(QString())))
            rows.emplace_back(key, customer);
    }
    return rows;
}

// Keys at most `most` customers of customer_keying's range and moves the
// range on past them, dropping it once it is done.
qsizetype keyRange(Engine &engine, qsizetype most)
{
    qint64 keyedUpTo = 0;
    qint64 upTo = 0;
    {
        Statement range(engine, QStringLiteral("SELECT keyedupto, upto FROM customer_keying"));
        if (!range.step())
            return 0;
        keyedUpTo = range.integer(0);
        upTo = range.integer(1);
    }
    qsizetype keyed = 0;
    bool done = false;
    while (keyed < most && !done) {
        const qint64 wanted = std::min<qsizetype>(Batch, most - keyed);
        std::vector<qint64> ids;
        {
            Statement next(engine, QStringLiteral("SELECT id FROM customer WHERE id > ? AND id <= ? "
                                                  "ORDER BY id LIMIT ?"));
            next.bind(1, keyedUpTo);
            next.bind(2, upTo);
            next.bind(3, wanted);
            while (next.step())
                ids.push_back(next.integer(0));
        }
        keyCustomers(engine, ids);
        keyed += qsizetype(ids.size());
        done = qint64(ids.size()) < wanted;
        if (!ids.empty())
            keyedUpTo = ids.back();
    }
    if (done) {
        Statement(engine, QStringLiteral("DELETE FROM customer_keying")).run();
    } else {
        Statement move(engine, QStringLiteral("UPDATE customer_keying SET keyedupto = ?"));
        move.bind(1, keyedUpTo);
        move.run();
    }
    return keyed;
}

} // namespace

void keyCustomers(Engine &engine, const std::vector<qint64> &ids)
{
    if (ids.empty())
        return;
    const std::vector<KeyRow> rows = keysOf(engine, ids);
    // Keys made by older rules go, so that each customer has only its own.
    forCustomers(engine, QStringLiteral("DELETE FROM customer_key WHERE customerid IN (%1)"), ids)->run();
    for (std::size_t first = 0; first < rows.size(); first += Batch)
        insertKeys(engine, std::span(rows).subspan(first, std::min<std::size_t>(Batch, rows.size() - first)));
    forCustomers(engine, QStringLiteral("DELETE FROM customer_unkeyed WHERE customerid IN (%1)"), ids)->run();
}

qsizetype keyUnkeyedCustomers(Engine &engine, qint64 after, qsizetype most)
{
    qsizetype keyed = 0;
    while (keyed < most) {
        std::vector<qint64> ids;
        {
            Statement noted(engine,
                            QStringLiteral("SELECT customerid FROM customer_unkeyed WHERE customerid > ? "
                                           "ORDER BY customerid LIMIT ?"));
            noted.bind(1, after);
            noted.bind(2, qint64(std::min<qsizetype>(Batch, most - keyed)));
            while (noted.step())
                ids.push_back(noted.integer(0));
        }
        keyCustomers(engine, ids);
        keyed += qsizetype(ids.size());
        if (ids.empty() || ids.size() < Batch)
            break;
        after = ids.back();
    }
    return keyed;
}

qsizetype keyWaitingCustomers(Engine &engine, qsizetype most)
{
    const qsizetype inRange = keyRange(engine, most);
    return inRange + keyUnkeyedCustomers(engine, std::numeric_limits<qint64>::min(), most - inRange);
}

qint64 unkeyedCustomerCount(Engine &engine)
{
    Statement count(engine,
                    QStringLiteral("SELECT (SELECT count(*) FROM customer_unkeyed) + (SELECT count(*) "
                                   "FROM customer_keying, customer WHERE id > keyedupto AND id <= upto)"));
    return count.step() ? count.integer(0) : 0;
}

bool hasUnkeyedCustomers(Engine &engine)
{
    Statement select(engine, QStringLiteral("SELECT 1 FROM customer_unkeyed UNION ALL "
                                            "SELECT 1 FROM customer_keying LIMIT 1"));
    return select.step();
}

} // namespace corvane
