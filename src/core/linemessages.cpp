#include "core/linemessages.h"

#include "platform/openproblem.h"

#include <QCoreApplication>

namespace corvane {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LineSession", text);
}

QString portText(const QString &port, const QString &device)
{
    return tr("端口 %1（%2）").arg(port, device);
}

bool heldByModemManager(const OpenProblem &problem)
{
    return problem.holder == QLatin1String("ModemManager") || problem.modemManagerRunning;
}

QString busyText(const OpenProblem &problem)
{
    const QString taken = tr("设备空出后程序会自动使用它，不必重新启动。");
    if (heldByModemManager(problem))
        return tr("串口设备 %1 正被 ModemManager（系统的移动宽带服务）占用。请让它不再管理这个调制解调器："
                  "本软件的安装包带有 udev 规则 /usr/lib/udev/rules.d/70-corvane-modems.rules，"
                  "调制解调器不在其中时按说明文件把它的 USB 编号加进去，然后重新插上调制解调器；"
                  "或者执行 sudo systemctl disable --now ModemManager。")
                   .arg(problem.device) +
               taken;
    if (!problem.holder.isEmpty())
        return tr("串口设备 %1 正被另一个程序占用：%2（进程号 %3）。请关闭该程序。")
                   .arg(problem.device, problem.holder, QString::number(problem.holderPid)) +
               taken;
    return tr("串口设备 %1 正被另一个程序占用。请关闭该程序。").arg(problem.device) + taken;
}

} // namespace

QString openProblemText(const OpenProblem &problem)
{
    switch (problem.kind) {
    case OpenProblem::Kind::Absent:
        return tr("没有找到串口设备 %1：调制解调器（猫）没有插上，或没有接通电源。插上后程序会自动使用它，"
                  "不必重新启动。")
            .arg(problem.device);
    case OpenProblem::Kind::NoPermission:
        if (problem.groupMayUse && problem.group != QLatin1String("root"))
            return tr("无法使用串口设备 %1：用户 %2 没有使用它的权限，这个设备只允许用户组 %3 的成员使用。"
                      "请在终端中执行\nsudo adduser %2 %3\n然后注销并重新登录（或重新启动电脑）。")
                .arg(problem.device, problem.user, problem.group);
        return tr("无法使用串口设备 %1：用户 %2 没有使用它的权限。请系统管理员允许这个用户读写该设备。")
            .arg(problem.device, problem.user);
    case OpenProblem::Kind::Busy:
        return busyText(problem);
    case OpenProblem::Kind::Unknown:
        break;
    }
    return tr("无效的端口号，请进入[文件]菜单下的[系统设置]进行端口号设置");
}

QString shortOpenProblemText(const OpenProblem &problem)
{
    switch (problem.kind) {
    case OpenProblem::Kind::Absent:
        return tr("没有插上");
    case OpenProblem::Kind::NoPermission:
        return tr("没有使用权限（用户组 %1）").arg(problem.group);
    case OpenProblem::Kind::Busy:
        if (heldByModemManager(problem))
            return tr("正被 ModemManager 占用");
        return problem.holder.isEmpty() ? tr("正被其他程序占用") : tr("正被 %1 占用").arg(problem.holder);
    case OpenProblem::Kind::Unknown:
        break;
    }
    return tr("无法打开");
}

QString commandsRefusedText(const QString &port, const QString &device, const QStringList &tried)
{
    return tr("%1上的调制解调器不接受来电显示命令（试过：%2），来电时可能只响铃而不显示号码。"
              "请进入[文件]菜单下的[系统设置]换一种制式，或在 zel.ini 的 [line] 节中用 init= "
              "写入调制解调器说明书中的初始化命令。")
        .arg(portText(port, device), tried.join(tr("、")));
}

QString slowModemText(const QString &port, const QString &device, int afterMs)
{
    return tr("%1上的调制解调器应答很慢（约 %2 秒后才应答）。程序会等它应答，来电显示照常使用；"
              "如果来电时不显示号码，请检查调制解调器的连接和电源，或换一个调制解调器。")
        .arg(portText(port, device), QString::number(afterMs / 1000.0, 'f', 1));
}

QString noModemText(const QString &port, const QString &device)
{
    return tr("%1上没有调制解调器应答。请检查调制解调器（猫）是否连接在这个端口上并已接通电源，"
              "或进入[文件]菜单下的[系统设置]选择调制解调器所在的端口（可点击“查找调制解调器”）。")
        .arg(portText(port, device));
}

QString modemOfferText(const QString &port, const QString &device, const QString &foundDevice,
                       const QString &model)
{
    const QString named = model.isEmpty() ? foundDevice : tr("%1（%2）").arg(model, foundDevice);
    return tr("%1上没有调制解调器应答，但在 %2 找到了一个调制解调器。\n是否改用它接收来电显示？")
        .arg(portText(port, device), named);
}

QString deviceNotKeptText()
{
    return tr("新的调制解调器无法写入 zel.ini（文件或文件夹只读，或磁盘已满）。本次运行照常使用它，"
              "下次启动前请进入[文件]菜单下的[系统设置]再选择一次。");
}

} // namespace corvane
