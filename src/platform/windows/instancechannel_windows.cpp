#include "platform/instancechannel.h"

#include <QDir>

#include <windows.h>

namespace corvane {

// Each logged-on user has a session of their own; a pipe named by it is
// found by that user's copies only.
QString InstanceChannel::channelFolder()
{
    return QDir::tempPath();
}

QString InstanceChannel::channelPath()
{
    DWORD session = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
    return QLatin1String(SocketName) + QLatin1Char('-') + QString::number(session);
}

QString InstanceChannel::claimLockPath()
{
    return channelFolder() + QLatin1Char('/') + channelPath() + QStringLiteral(".lock");
}

void InstanceChannel::letRunningCopyComeForward()
{
    ::AllowSetForegroundWindow(ASFW_ANY);
}

} // namespace corvane
