#include "platform/serialdevice.h"

#include "platform/profilefile.h"
#include "platform/programfolder.h"

namespace corvane {

QString serialDevicePath(int port)
{
    const QString mapped =
        profile::readString(configFile(), QStringLiteral("ports"), QStringLiteral("com%1").arg(port));
    return mapped.isEmpty() ? builtInSerialDevice(port) : mapped;
}

} // namespace corvane
