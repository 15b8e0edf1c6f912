#include "core/callcaption.h"

#include "core/callernumber.h"
#include "store/recentcallsstore.h"

#include <QCoreApplication>

namespace corvane {

QString callerCaption(const Record &call)
{
    if (call[RecentCallsStore::FoundCode])
        return call[RecentCallsStore::CustomerName].value_or(QString());
    const QString number = call[RecentCallsStore::Number].value_or(QString());
    if (callerNumberKind(number) == CallerNumberKind::Number)
        return QCoreApplication::translate("CallCaption", "新号码");
    return shownNumber(number);
}

QString handledCaption(const Record &call)
{
    return call[RecentCallsStore::Handled] == QStringLiteral("1")
               ? QCoreApplication::translate("CallCaption", "是")
               : QCoreApplication::translate("CallCaption", "否");
}

} // namespace corvane
