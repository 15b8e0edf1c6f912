#include "core/datafolder.h"

#include "platform/failure.h"
#include "store/schemascript.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace corvane {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DataFolder", text);
}

void copyDefault(const QDir &defaults, const QDir &data, const QString &name)
{
    if (QFileInfo::exists(data.filePath(name)) || !QFileInfo::exists(defaults.filePath(name)))
        return;
    const QString target = data.filePath(name);
    // A copy cut short must not stand in for the file on the next start.
    const QString partial = target + QStringLiteral(".new");
    QFile::remove(partial);
    if (!QFile::copy(defaults.filePath(name), partial) || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        throw Failure(tr("无法建立文件 %1").arg(QDir::toNativeSeparators(target)));
    }
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                      QFileDevice::ReadOther);
}

} // namespace

void setUpDataFolder(const QString &dataFolder, const QString &defaultsFolder)
{
    const QDir data(dataFolder);
    if (data.exists(QStringLiteral("tel.mdb")) || data.exists(QStringLiteral("zel.ini")))
        return;
    if (!QDir().mkpath(data.absolutePath()))
        throw Failure(tr("无法建立数据文件夹 %1").arg(QDir::toNativeSeparators(data.absolutePath())));
    const QDir defaults(defaultsFolder);

    // tel.mdb and zel.ini mark the folder as set up, so they come last: a
    // start cut short before them begins again.
    const QStringList rings = defaults.entryList({QStringLiteral("ringin*.wav")}, QDir::Files, QDir::Name);
    for (const QString &ring : rings)
        copyDefault(defaults, data, ring);

    const QString database = data.filePath(QStringLiteral("tel.mdb"));
    QFile schema(defaults.filePath(QStringLiteral("tel.sql")));
    if (!schema.open(QIODevice::ReadOnly))
        throw Failure(tr("找不到数据库结构文件 %1").arg(QDir::toNativeSeparators(schema.fileName())));
    try {
        createDatabaseFromScript(database, QString::fromUtf8(schema.readAll()));
    } catch (const Failure &failure) {
        throw Failure(tr("无法建立数据库 %1\n%2").arg(QDir::toNativeSeparators(database), failure.message()));
    }
    copyDefault(defaults, data, QStringLiteral("zel.ini"));
}

} // namespace corvane
