#include "sessionbus.h"

#include <QDBusMessage>
#include <QMutexLocker>

namespace corvane::test {

namespace {
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

SessionBus::SessionBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=" CORVANE_SOURCE_DIR "/tests/support/session-bus.conf"),
                    QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000))
        return;
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

SessionBus::~SessionBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

QDBusConnection SessionBus::connect(const QString &name)
{
    m_connections.append(name + QLatin1Char('@') + m_address);
    return QDBusConnection::connectToBus(m_address, m_connections.last());
}

NotificationServer::NotificationServer(const QDBusConnection &bus, const QStringList &capabilities)
    : m_bus(bus), m_capabilities(capabilities)
{
    m_bus.registerObject(Path, this, QDBusConnection::ExportAllSlots);
    m_bus.registerService(Interface);
}

NotificationServer::~NotificationServer()
{
    m_bus.unregisterService(Interface);
    m_bus.unregisterObject(Path);
}

QList<NotificationServer::Received> NotificationServer::received() const
{
    const QMutexLocker lock(&m_mutex);
    return m_received;
}

QList<uint> NotificationServer::closed() const
{
    const QMutexLocker lock(&m_mutex);
    return m_closed;
}

uint NotificationServer::Notify(const QString &, uint replacesId, const QString &appIcon,
                                const QString &summary, const QString &body, const QStringList &actions,
                                const QVariantMap &hints, int)
{
    const QMutexLocker lock(&m_mutex);
    const uint id = replacesId != 0 ? replacesId : ++m_lastId;
    m_received.append(
        {id, replacesId, appIcon, summary, body, actions, hints, std::chrono::steady_clock::now()});
    return id;
}

QStringList NotificationServer::GetCapabilities() const
{
    return m_capabilities;
}

void NotificationServer::CloseNotification(uint id)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_closed.append(id);
    }
    emitSignal(QStringLiteral("NotificationClosed"), {id, 3U});
}

QString NotificationServer::GetServerInformation(QString &vendor, QString &version,
                                                 QString &specVersion) const
{
    vendor = QStringLiteral("Corvane tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("test");
}

void NotificationServer::invokeDefault(uint id, const QString &activationToken)
{
    if (!activationToken.isEmpty())
        emitSignal(QStringLiteral("ActivationToken"), {id, activationToken});
    emitSignal(QStringLiteral("ActionInvoked"), {id, QStringLiteral("default")});
}

void NotificationServer::dismiss(uint id)
{
    emitSignal(QStringLiteral("NotificationClosed"), {id, 2U});
}

void NotificationServer::emitSignal(const QString &name, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(Path, Interface, name);
    message.setArguments(arguments);
    m_bus.send(message);
}

} // namespace corvane::test
