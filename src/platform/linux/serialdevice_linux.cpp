#include "platform/serialdevice.h"

#include "platform/profilefile.h"
#include "platform/programfolder.h"

namespace corvane {

QString serialDevicePath(int port)
{
    const QString mapped =
        profile::readString(configFile(), QStringLiteral("ports"), QStringLiteral("com%1").arg(port));
    if (!mapped.isEmpty())
        return mapped;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
}

} // namespace corvane
