#include "store/customerstore.h"

#include "store/pagedquery.h"
#include "store/statement.h"

namespace corvane {

namespace {

const QStringList Fields = {
    QStringLiteral("id"),      QStringLiteral("customercode"), QStringLiteral("customername"),
    QStringLiteral("address"), QStringLiteral("code"),         QStringLiteral("person"),
    QStringLiteral("tel"),     QStringLiteral("email"),        QStringLiteral("qq")};

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
    const auto field = [&](int column) { return select.text(column).value_or(QString()); };
    return Customer{field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7)};
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
