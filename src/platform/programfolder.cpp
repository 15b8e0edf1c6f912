#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace corvane {

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

QString programFolder()
{
    return withSlash(folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride());
}

void setProgramFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString configFile()
{
    return programFolder() + QStringLiteral("zel.ini");
}

QString chooseDataFolder(const DataFolderInputs &inputs)
{
    if (!inputs.requestedFolder.isEmpty())
        return withSlash(QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(inputs.requestedFolder)));
    if (installedDefaultsFolder(inputs.executableFolder).isEmpty())
        return withSlash(inputs.executableFolder);
    return withSlash(QDir::cleanPath(userDataFolder(inputs)));
}

QString applicationTitleFromPath(const QString &executablePath)
{
    const QFileInfo executable(executablePath);
    if (!installedDefaultsFolder(executable.path()).isEmpty())
        return QStringLiteral("Corvane");
    const QString name = executable.fileName();
    const QString stem =
        name.left(name.indexOf(QLatin1Char('.')) < 0 ? name.size() : name.indexOf(QLatin1Char('.')));
    if (stem.isEmpty())
        return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

QString applicationTitle()
{
    return applicationTitleFromPath(QCoreApplication::applicationFilePath());
}

} // namespace corvane
