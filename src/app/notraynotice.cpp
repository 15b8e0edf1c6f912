#include "app/notraynotice.h"

#include "core/desktopsettings.h"
#include "desktop/messagebox.h"
#include "desktop/trayicon.h"

#include <QCoreApplication>

namespace corvane {

void tellOnceThatCallsComeAsNotifications()
{
    if (TrayIcon::hostAvailable() || noTrayNoticeGiven())
        return;
    // Noted first: the box runs an event loop in which a call may come.
    rememberNoTrayNotice();
    msg::inform(QCoreApplication::translate(
        "corvane::MainWindow", "这个桌面没有托盘区：Corvane 最小化后留在任务栏中，来电时用桌面通知提醒您，"
                               "点击通知上的“显示”即可看到来电客户的资料。"));
}

} // namespace corvane
