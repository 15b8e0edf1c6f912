#include "platform/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace corvane {

QString installedDefaultsFolder(const QString &executableFolder)
{
    const QString folder = QDir::cleanPath(executableFolder + QStringLiteral("/../share/corvane"));
    if (QDir(executableFolder).dirName() != QLatin1String("bin") ||
        !QFileInfo::exists(folder + QStringLiteral("/tel.sql")))
        return {};
    return folder + QLatin1Char('/');
}

QString userDataFolder(const DataFolderInputs &inputs)
{
    // A relative $XDG_DATA_HOME is invalid and to be ignored.
    const QString base = QDir::isAbsolutePath(inputs.xdgDataHome)
                             ? inputs.xdgDataHome
                             : inputs.home + QStringLiteral("/.local/share");
    return base + QStringLiteral("/corvane");
}

} // namespace corvane
