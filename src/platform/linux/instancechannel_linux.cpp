#include "platform/instancechannel.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// A real folder (not a link to one) owned by this user, that no one else may
// enter or change.
bool isPrivateFolder(const QString &path)
{
    struct stat info
    {
    };
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0 &&
           S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

} // namespace

QString InstanceChannel::channelFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime))
        return runtime;
    // Without one, a folder of the user's own: in the temporary folder, or,
    // when somebody else has taken that name there, in the user's cache.
    const QString name = QStringLiteral("/corvane-") + QString::number(::geteuid());
    for (const QString &parent :
         {QDir::tempPath(), QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)}) {
        const QString folder = parent + name;
        QDir().mkpath(parent);
        // An existing folder is left as it is and only used when it passes the check.
        ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
        if (isPrivateFolder(folder))
            return folder;
    }
    return {};
}

QString InstanceChannel::channelPath()
{
    const QString folder = channelFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + QLatin1String(SocketName);
}

QString InstanceChannel::claimLockPath()
{
    return channelPath() + QStringLiteral(".lock");
}

// Any window may come forward on X11 and Wayland asks for a token, not a grant.
void InstanceChannel::letRunningCopyComeForward() {}

} // namespace corvane
