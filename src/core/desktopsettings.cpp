#include "core/desktopsettings.h"

#include "core/databaseconfig.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"

namespace corvane {

namespace {
const QString DesktopSection = QStringLiteral("desktop");
const QString NoTrayKey = QStringLiteral("notraytold");
} // namespace

bool notificationsWanted()
{
    return profile::readString(configFile(), QStringLiteral("line"), QStringLiteral("notify")) !=
           QLatin1String("0");
}

bool noTrayNoticeGiven()
{
    return profile::readString(configFile(), DesktopSection, NoTrayKey) == QLatin1String("1");
}

bool rememberNoTrayNotice()
{
    const bool written = profile::writeString(configFile(), DesktopSection, NoTrayKey, QStringLiteral("1"));
    keepPasswordPrivate();
    return written;
}

} // namespace corvane
