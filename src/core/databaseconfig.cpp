#include "core/databaseconfig.h"

#include "platform/failure.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "store/connection.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace corvane {

namespace {

const QString Section = QStringLiteral("database");

QString tr(const char *text)
{
    return QCoreApplication::translate("DatabaseConfig", text);
}

[[noreturn]] void refuse(const QString &key, const QString &value, const QString &expected)
{
    throw Failure(tr("zel.ini 的 [database] 节中 %1=%2 无效：%3").arg(key, value, expected));
}

int portFrom(const QString &text)
{
    if (text.isEmpty())
        return ServerAddress::DefaultPort;
    bool ok = false;
    const int port = text.toInt(&ok);
    // toInt() takes a sign and blanks; a port is plain digits.
    const bool digitsOnly = std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    if (!ok || !digitsOnly || port < 1 || port > 65535)
        refuse(QStringLiteral("port"), text, tr("端口应为 1 到 65535 之间的数字"));
    return port;
}

QString sslmodeFrom(const QString &text)
{
    if (text.isEmpty())
        return ServerAddress().sslmode;
    const QString mode = text.toLower();
    const QStringList known = {QStringLiteral("disable"),   QStringLiteral("allow"),
                               QStringLiteral("prefer"),    QStringLiteral("require"),
                               QStringLiteral("verify-ca"), QStringLiteral("verify-full")};
    if (!known.contains(mode))
        refuse(QStringLiteral("sslmode"), text, tr("应为 %1 之一").arg(known.join(QStringLiteral(", "))));
    return mode;
}

} // namespace

DatabaseConfig readDatabaseConfig()
{
    const QString file = configFile();
    const auto value = [&file](const char *key) {
        return profile::readString(file, Section, QLatin1String(key));
    };
    DatabaseConfig config;
    const QString engine = value("engine");
    if (engine.isEmpty() || engine.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0)
        return config;
    if (engine.compare(QLatin1String("postgresql"), Qt::CaseInsensitive) != 0)
        refuse(QStringLiteral("engine"), engine, tr("应为 sqlite 或 postgresql"));

    config.engine = DatabaseConfig::Engine::Postgresql;
    ServerAddress &server = config.server;
    server.host = value("host");
    server.port = portFrom(value("port"));
    server.name = value("name");
    server.user = value("user");
    server.password = value("password");
    server.sslmode = sslmodeFrom(value("sslmode"));
    if (server.name.isEmpty())
        throw Failure(tr("zel.ini 的 [database] 节缺少数据库名称 name"));
    return config;
}

void keepPasswordPrivate()
{
    const QString file = configFile();
    if (!profile::readString(file, Section, QStringLiteral("password")).isEmpty())
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void useDatabase(Connection &connection, const DatabaseConfig &config)
{
    if (config.engine == DatabaseConfig::Engine::Postgresql)
        connection.setServer(config.server);
    else
        connection.setDatabasePath(programFolder() + QStringLiteral("tel.mdb"));
}

} // namespace corvane
