#include "core/modemconfig.h"

#include "core/lineconfig.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "platform/serialdevice.h"

namespace corvane {

namespace {
const QString CommandSection = QStringLiteral("callerid");
} // namespace

ModemSettings readModemSettings(const QString &portName)
{
    const QString file = configFile();
    return {profile::readString(file, QStringLiteral("line"), QStringLiteral("init")),
            portName.isEmpty() ? QString() : profile::readString(file, CommandSection, portName)};
}

bool rememberCallerIdCommand(const QString &portName, const QString &command)
{
    const QString file = configFile();
    // Nothing to forget adds no line to the file.
    if (command.isEmpty() && profile::readString(file, CommandSection, portName).isEmpty())
        return true;
    return profile::writeString(file, CommandSection, portName, command);
}

QString portForDevice(const QString &device)
{
    for (int n = 1; n <= 8; ++n)
        if (sameDevice(serialDevicePath(n), device))
            return QStringLiteral("com%1").arg(n);
    const QString configured = readLineConfig().portName;
    return portNumberText(configured).isEmpty() ? QStringLiteral("com1") : configured;
}

bool assignPortDevice(const QString &portName, const QString &device)
{
    const QString before = serialDevicePath(portNumberText(portName).toInt());
    if (before == device)
        return true;
    // The same modem under its stable name keeps the command it takes.
    const bool sameModem = sameDevice(before, device);
    return profile::writeString(configFile(), QStringLiteral("ports"), portName, device) &&
           (sameModem || rememberCallerIdCommand(portName, {}));
}

} // namespace corvane
