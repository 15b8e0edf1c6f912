#pragma once

#include <QString>

namespace corvane {

// The incoming number's lookup in table customer.
QString customerLookupSql(const QString &number);

// One row of the call log: what was shown for a call from a known customer.
struct CallLogRow
{
    QString adate;
    QString atime;
    QString tel;
    QString customercode;
    QString customername;
};

QString callLogInsertSql(const CallLogRow &row);

} // namespace corvane
