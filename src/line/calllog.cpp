#include "line/calllog.h"

#include "records/sqltext.h"

namespace corvane {

QString customerLookupSql(const QString &number)
{
    return QStringLiteral("select * from customer where tel=") + sqlText(number);
}

QString callLogInsertSql(const CallLogRow &row)
{
    const QChar comma = QLatin1Char(',');
    return QStringLiteral("insert into detail(adate,atime,tel,customercode,customername) values(") +
           sqlText(row.adate) + comma + sqlText(row.atime) + comma + sqlText(row.tel) + comma +
           sqlText(row.customercode) + comma + sqlText(row.customername) + QLatin1Char(')');
}

} // namespace corvane
