#include "core/callernumber.h"

#include "core/callerid.h"

#include <QCoreApplication>

namespace corvane {

CallerNumberKind callerNumberKind(const QString &number)
{
    const QString word = upperAscii(trimControls(number));
    if (word.isEmpty())
        return CallerNumberKind::Empty;
    for (const char *withheld : {"P", "PRIVATE", "ANONYMOUS"}) {
        if (word == QLatin1String(withheld))
            return CallerNumberKind::Withheld;
    }
    for (const char *unavailable : {"O", "OUT-OF-AREA", "UNAVAILABLE"}) {
        if (word == QLatin1String(unavailable))
            return CallerNumberKind::Unavailable;
    }
    return CallerNumberKind::Number;
}

QString shownNumber(const QString &number)
{
    switch (callerNumberKind(number)) {
    case CallerNumberKind::Withheld:
        return QCoreApplication::translate("CallerNumber", "私人号码");
    case CallerNumberKind::Unavailable:
        return QCoreApplication::translate("CallerNumber", "号码不详");
    default:
        return number;
    }
}

QString numberForNewCustomer(const QString &number)
{
    const CallerNumberKind kind = callerNumberKind(number);
    return kind == CallerNumberKind::Withheld || kind == CallerNumberKind::Unavailable ? QString() : number;
}

} // namespace corvane
