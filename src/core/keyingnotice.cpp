#include "core/keyingnotice.h"

#include <QCoreApplication>

namespace corvane {

namespace {

// Fewer than this many are keyed within a second or so.
constexpr qint64 LongKeying = 20000;

} // namespace

QString keyingNotice(qint64 keyed, qint64 total)
{
    if (total < LongKeying)
        return {};
    if (keyed >= total)
        return QCoreApplication::translate("KeyingNotice", "客户号码整理完毕，共 %1 位客户").arg(total);
    return QCoreApplication::translate("KeyingNotice", "正在后台整理客户号码：%1%（%2 / %3），来电照常显示")
        .arg(keyed * 100 / total)
        .arg(keyed)
        .arg(total);
}

} // namespace corvane
