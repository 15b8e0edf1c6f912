#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace corvane {

namespace {
QString &folderOverride()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolder()
{
    QString folder = folderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : folderOverride();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

void setProgramFolder(const QString &folder)
{
    folderOverride() = folder;
}

QString configFile()
{
    return programFolder() + QStringLiteral("zel.ini");
}

QString applicationTitleFromPath(const QString &executablePath)
{
    const QString name = QFileInfo(executablePath).fileName();
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
