#pragma once

#include <QDBusConnection>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

#include <chrono>

namespace corvane::test {

// A private session bus (dbus-daemon with tests/support/session-bus.conf) on
// which nothing starts on demand. address() is empty when it did not start.
class SessionBus
{
public:
    SessionBus();
    ~SessionBus();
    QString address() const { return m_address; }
    // A connection of its own, named so that several live side by side;
    // closed with the bus.
    QDBusConnection connect(const QString &name);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

// A notification service of the test's own: keeps what it is sent and
// answers as a desktop's would. May live in a thread of its own.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Received
    {
        uint id = 0;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        std::chrono::steady_clock::time_point at;
    };

    NotificationServer(const QDBusConnection &bus, const QStringList &capabilities);
    ~NotificationServer() override;

    QList<Received> received() const;
    QList<uint> closed() const;
    // The user chose the default action, with the desktop's token when given;
    // the closing that servers send after it is left to dismiss().
    void invokeDefault(uint id, const QString &activationToken);
    // The user closed it.
    void dismiss(uint id);

public Q_SLOTS:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout);
    QStringList GetCapabilities() const;
    void CloseNotification(uint id);
    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion) const;

private:
    void emitSignal(const QString &name, const QVariantList &arguments);

    QDBusConnection m_bus;
    QStringList m_capabilities;
    mutable QMutex m_mutex;
    QList<Received> m_received;
    QList<uint> m_closed;
    uint m_lastId = 0;
};

} // namespace corvane::test
