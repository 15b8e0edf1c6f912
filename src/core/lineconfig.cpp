#include "core/lineconfig.h"

#include "core/databaseconfig.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "store/numberkey.h"

namespace corvane {

namespace {
const QString Section = QStringLiteral("zel");
const QString PortKey = QStringLiteral("father");
const QString ModeKey = QStringLiteral("school");
const QString LineSection = QStringLiteral("line");
const QString AreaCodeKey = QStringLiteral("areacode");
} // namespace

LineConfig readLineConfig()
{
    const QString file = configFile();
    return {profile::readString(file, Section, PortKey), profile::readString(file, Section, ModeKey)};
}

bool writeLineConfig(const QString &portName, const QString &mode)
{
    const QString file = configFile();
    const bool written = profile::writeString(file, Section, PortKey, portName) &&
                         profile::writeString(file, Section, ModeKey, mode);
    keepPasswordPrivate();
    return written;
}

bool lineLogWanted()
{
    return profile::readString(configFile(), QStringLiteral("line"), QStringLiteral("log")) ==
           QLatin1String("1");
}

QString readAreaCode()
{
    return areaCodeOf(profile::readString(configFile(), LineSection, AreaCodeKey));
}

bool writeAreaCode(const QString &areaCode)
{
    const bool written = profile::writeString(configFile(), LineSection, AreaCodeKey, areaCode);
    keepPasswordPrivate();
    return written;
}

QString lineLogFile()
{
    return programFolder() + QStringLiteral("line.log");
}

QString portNumberText(const QString &portName)
{
    for (int n = 1; n <= 8; ++n)
        if (portName == QStringLiteral("com") + QString::number(n))
            return QString::number(n);
    return {};
}

QString modeCommand(const QString &mode)
{
    if (mode == QStringLiteral("制式1"))
        return QStringLiteral("at#cid=1\r");
    if (mode == QStringLiteral("制式2"))
        return QStringLiteral("at#vcid=1\r");
    return {};
}

} // namespace corvane
