#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace corvane {

namespace {

// Whether this user may make files in the folder: the folder's attributes say
// nothing of the access rules that keep Program Files from users.
bool mayWriteIn(const QString &folder)
{
    QFile probe(folder + QStringLiteral("/.corvane-") + QUuid::createUuid().toString(QUuid::Id128));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

} // namespace

// Installed, the program's folder holds the defaults and its uninstaller, or
// may not be written (Program Files); a copied or unpacked folder is its own
// data folder. The uninstaller tells an installation for the current user
// alone, whose folder the user may write, and keeps the data out of the folder
// that the uninstaller removes.
QString installedDefaultsFolder(const QString &executableFolder)
{
    if (!QFileInfo::exists(executableFolder + QStringLiteral("/tel.sql")))
        return {};
    if (!QFileInfo::exists(executableFolder + QStringLiteral("/uninstall.exe")) &&
        mayWriteIn(executableFolder))
        return {};
    return QDir::cleanPath(executableFolder) + QLatin1Char('/');
}

QString userDataFolder(const DataFolderInputs &inputs)
{
    return QDir::fromNativeSeparators(inputs.localAppData) + QStringLiteral("/Corvane");
}

} // namespace corvane
