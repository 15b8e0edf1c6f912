#include "core/customercolumns.h"

#include "store/customerstore.h"

#include <array>

namespace corvane {

namespace {

struct Column
{
    const char16_t *caption;
    const char *name;
    QString Customer::*member;
};

const std::array<Column, CustomerColumns::FieldCount> Columns = {{
    {u"客户编号", "customercode", &Customer::customerCode},
    {u"客户名称", "customername", &Customer::name},
    {u"地址", "address", &Customer::address},
    {u"邮政编码", "code", &Customer::postcode},
    {u"联系人", "person", &Customer::contact},
    {u"电话号码", "tel", &Customer::tel},
    {u"电子邮件", "email", &Customer::email},
    {u"QQ号码", "qq", &Customer::qq},
}};

} // namespace

QStringList CustomerColumns::headings()
{
    QStringList all;
    for (int i = 0; i < FieldCount; ++i)
        all.append(heading(i));
    return all;
}

QString CustomerColumns::heading(int field)
{
    return QString::fromUtf16(Columns.at(std::size_t(field)).caption);
}

std::optional<int> CustomerColumns::fieldOfHeading(const QString &heading)
{
    QString key = heading.trimmed();
    if (key.endsWith(u'：') || key.endsWith(u':'))
        key.chop(1);
    key = key.trimmed();
    for (int i = 0; i < FieldCount; ++i) {
        const Column &column = Columns.at(std::size_t(i));
        if (key.compare(QString::fromUtf16(column.caption), Qt::CaseInsensitive) == 0 ||
            key.compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

QString &CustomerColumns::field(Customer &customer, int field)
{
    return customer.*Columns.at(std::size_t(field)).member;
}

const QString &CustomerColumns::field(const Customer &customer, int field)
{
    return customer.*Columns.at(std::size_t(field)).member;
}

} // namespace corvane
