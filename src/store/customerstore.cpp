#include "store/customerstore.h"

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

// Empty fields are left NULL, as the entry form leaves a field nobody typed in.
std::optional<QString> valueOf(const QString &field)
{
    return field.isEmpty() ? std::nullopt : std::optional<QString>(field);
}

QueryShape customers()
{
    return {QStringLiteral("customer"), Fields, {QStringLiteral("id")}, {}, {}, {}};
}

} // namespace

CustomerStore::CustomerStore(Connection &connection) : m_connection(connection) {}

std::optional<Customer> CustomerStore::customerByTel(const QString &tel)
{
    Statement select(m_connection,
                     QStringLiteral("SELECT customercode,customername,address,code,person,tel,email,qq "
                                    "FROM customer WHERE tel = ? ORDER BY id LIMIT 1"));
    select.bind(1, tel);
    if (!select.step())
        return std::nullopt;
    return customerOf(select);
}

Customer CustomerStore::customerOf(const Statement &select)
{
    const auto field = [&](int column) { return select.text(column).value_or(QString()); };
    return Customer{field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7)};
}

void CustomerStore::forEachCustomer(const std::function<void(const Customer &)> &visit)
{
    Transaction reading(m_connection, Transaction::Kind::Read);
    Statement select(m_connection,
                     QStringLiteral("SELECT customercode,customername,address,code,person,tel,email,qq "
                                    "FROM customer ORDER BY id"));
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
    Statement insert(m_connection, QStringLiteral("INSERT INTO customer (customercode,customername,address,"
                                                  "code,person,tel,email,qq) VALUES (?,?,?,?,?,?,?,?)"));
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
            insert.bind(++column, valueOf(*field));
        insert.run();
        insert.reset();
    }
    if (!proceed(customers.size())) {
        added.cancelled = true;
        return added;
    }
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
