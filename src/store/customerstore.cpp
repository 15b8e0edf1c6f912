#include "store/customerstore.h"

#include "store/connection.h"
#include "store/customerkeys.h"
#include "store/numberkey.h"
#include "store/pagedquery.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QSet>

namespace corvane {

namespace {

const QStringList Fields = {
    QStringLiteral("id"),      QStringLiteral("customercode"), QStringLiteral("customername"),
    QStringLiteral("address"), QStringLiteral("code"),         QStringLiteral("person"),
    QStringLiteral("tel"),     QStringLiteral("email"),        QStringLiteral("qq")};

// Only the customer written: a backlog of others is the background keying's.
void keyWrittenCustomer(Connection &connection, qint64 id)
{
    keyCustomers(connection.engine(), {id});
}

QueryShape customers()
{
    return {QStringLiteral("customer"), Fields, {QStringLiteral("id")}, {}, {}, {}, &keyWrittenCustomer};
}

const QString CustomerColumns = QStringLiteral("customercode,customername,address,code,person,tel,email,qq");

} // namespace

CustomerStore::CustomerStore(Connection &connection) : m_connection(connection) {}

std::optional<Customer> CustomerStore::customerByTel(const QString &tel, const QString &areaCode)
{
    {
        Statement exact(m_connection, QStringLiteral("SELECT ") + CustomerColumns +
                                          QStringLiteral(" FROM customer WHERE tel = ? ORDER BY id LIMIT 1"));
        exact.bind(1, tel);
        if (exact.step())
            return customerOf(exact);
    }
    const QStringList keys = callerKeys(tel, areaCode);
    if (keys.isEmpty() || !m_connection.engine().schemaCurrent())
        return std::nullopt;
    // The newest customers noted for keying (written by another program a
    // moment ago), and the newest of a book waiting for its keys, are looked
    // at as well, never more than UnkeyedLooked of each, so a backlog the
    // background keying works through costs the call nothing.
    // Every one is checked against its number as it is now, and of those
    // that match the lowest code wins, compared here so that both engines
    // agree.
    Statement byKey(
        m_connection,
        QStringLiteral("SELECT id,") + CustomerColumns +
            QStringLiteral(
                " FROM customer WHERE id IN (SELECT customerid FROM customer_key WHERE "
                "numberkey IN (?,?) UNION SELECT customerid FROM (SELECT customerid "
                "FROM customer_unkeyed ORDER BY customerid DESC LIMIT ?) AS newest UNION SELECT id "
                "FROM (SELECT id FROM customer, customer_keying WHERE id > keyedupto AND id <= upto "
                "ORDER BY id DESC LIMIT ?) AS newestofbook)"));
    // One key or two.
    byKey.bind(1, keys.first());
    byKey.bind(2, keys.last());
    byKey.bind(3, qint64(UnkeyedLooked));
    byKey.bind(4, qint64(UnkeyedLooked));
    std::optional<Customer> best;
    qint64 bestId = 0;
    while (byKey.step()) {
        const Customer candidate = customerOf(byKey, 1);
        const qint64 id = byKey.integer(0);
        const QStringList own = telKeys(candidate.tel);
        if (!own.contains(keys.first()) && !own.contains(keys.last()))
            continue;
        const int order = best ? candidate.customerCode.compare(best->customerCode) : -1;
        if (order < 0 || (order == 0 && id < bestId)) {
            best = candidate;
            bestId = id;
        }
    }
    return best;
}

Customer CustomerStore::customerOf(const Statement &select, int first)
{
    const auto field = [&](int column) { return select.text(first + column).value_or(QString()); };
    return Customer{field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7)};
}

void CustomerStore::forEachCustomer(const std::function<void(const Customer &)> &visit)
{
    Transaction reading(m_connection, Transaction::Kind::Read);
    Statement select(m_connection, QStringLiteral("SELECT ") + CustomerColumns +
                                       QStringLiteral(" FROM customer ORDER BY id"));
    while (select.step())
        visit(customerOf(select));
}

AddedCustomers CustomerStore::addCustomers(const QList<Customer> &customers,
                                           const std::function<bool(qsizetype done)> &proceed)
{
    AddedCustomers added;
    Transaction writing(m_connection);
    QSet<QString> codes;
    {
        Statement select(m_connection, QStringLiteral("SELECT customercode FROM customer"));
        while (select.step())
            codes.insert(select.text(0).value_or(QString()));
    }
    // The customers added get higher ids than any before.
    qint64 lastBefore = 0;
    {
        Statement last(m_connection, QStringLiteral("SELECT coalesce(max(id), 0) FROM customer"));
        if (last.step())
            lastBefore = last.integer(0);
    }
    Statement insert(m_connection, QStringLiteral("INSERT INTO customer (") + CustomerColumns +
                                       QStringLiteral(") VALUES (?,?,?,?,?,?,?,?)"));
    for (qsizetype i = 0; i < customers.size(); ++i) {
        if (i % ProgressStep == 0 && !proceed(i)) {
            added.cancelled = true;
            return added;
        }
        const Customer &customer = customers.at(i);
        if (codes.contains(customer.customerCode)) {
            added.codesPresent.append(i);
            continue;
        }
        codes.insert(customer.customerCode);
        int column = 0;
        for (const QString *field :
             {&customer.customerCode, &customer.name, &customer.address, &customer.postcode,
              &customer.contact, &customer.tel, &customer.email, &customer.qq})
            insert.bind(++column, field->isNull() ? std::nullopt : std::optional<QString>(*field));
        insert.run();
        insert.reset();
    }
    if (!proceed(customers.size())) {
        added.cancelled = true;
        return added;
    }
    keyUnkeyedCustomers(m_connection.engine(), lastBefore);
    writing.commit();
    return added;
}

std::unique_ptr<PagedQuery> CustomerStore::allCustomers()
{
    return std::make_unique<PagedQuery>(m_connection, customers());
}

std::unique_ptr<PagedQuery> CustomerStore::customersWithCode(const QString &code)
{
    QueryShape shape = customers();
    shape.condition = QStringLiteral("customercode = :code");
    shape.values = {{":code", code}};
    return std::make_unique<PagedQuery>(m_connection, shape);
}

} // namespace corvane
