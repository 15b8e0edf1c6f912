#include "desktop/linux/notificationservice.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

#include <limits>

namespace corvane {

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString DefaultAction = QStringLiteral("default");
// A service that has not answered by then is taken as absent for that call.
constexpr int AnswerWaitMs = 5000;
// A notification's id is awaited however long the service takes (a stopped
// one answers once it goes on): without it the next would stand beside it
// rather than replace it, and it could never be taken away. The latest
// notification waits meanwhile; nothing else does.
constexpr int IdWaitMs = std::numeric_limits<int>::max();
constexpr int IconSize = 48;
constexpr uchar NormalUrgency = 1;
constexpr uchar CriticalUrgency = 2;

// The "image-data" hint, (iiibiiay): the icon shows also where the icon theme
// does not know the program, as when it runs from its build.
QVariant imageData(const QImage &icon)
{
    if (icon.isNull())
        return {};
    const QImage rgba = icon.scaled(IconSize, IconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument argument;
    argument.beginStructure();
    argument << rgba.width() << rgba.height() << static_cast<int>(rgba.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(rgba.constBits()),
                           static_cast<int>(rgba.sizeInBytes()));
    argument.endStructure();
    return QVariant::fromValue(argument);
}

} // namespace

NotificationService::NotificationService(const QDBusConnection &bus, const QImage &icon, QObject *parent)
    : Notifications(parent), m_bus(bus), m_imageData(imageData(icon))
{
    if (!m_bus.isConnected())
        return;
    // From any sender: naming the service would have Qt ask the bus for its
    // owner and wait for the answer.
    m_bus.connect(QString(), Path, Interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(QString(), Path, Interface, QStringLiteral("ActivationToken"), this,
                  SLOT(onActivationToken(uint, QString)));
    m_bus.connect(QString(), Path, Interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
    // A service started anew knows nothing of the notification shown before.
    auto *watcher = new QDBusServiceWatcher(Service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
        m_bodyMarkup.reset();
        m_shownId = 0;
        m_ownId = 0;
        m_activationToken.clear();
    });
    // Asked now, so the first call's notification needs one answer only; a
    // service started on demand starts here.
    askCapabilities();
}

void NotificationService::show(const Notification &notification)
{
    m_waiting = notification;
    m_withdrawWaiting = false;
    m_shownActedOn = false;
    sendNext();
}

void NotificationService::update(const Notification &notification)
{
    if (m_shownActedOn || (m_shownId == 0 && !m_callInFlight && !m_waiting))
        return;
    show(notification);
}

void NotificationService::withdraw()
{
    m_waiting.reset();
    m_withdrawWaiting = true;
    sendNext();
}

void NotificationService::sendNext()
{
    if (m_callInFlight || !m_bus.isConnected())
        return;
    if (m_waiting) {
        if (m_bodyMarkup)
            notify(*std::exchange(m_waiting, std::nullopt));
        else
            askCapabilities();
        return;
    }
    if (std::exchange(m_withdrawWaiting, false) && m_shownId != 0) {
        QDBusMessage close = methodCall(QStringLiteral("CloseNotification"));
        close << std::exchange(m_shownId, 0U);
        m_bus.send(close);
    }
}

void NotificationService::askCapabilities()
{
    m_callInFlight = true;
    auto *call = new QDBusPendingCallWatcher(
        m_bus.asyncCall(methodCall(QStringLiteral("GetCapabilities")), AnswerWaitMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *answered) {
        answered->deleteLater();
        m_callInFlight = false;
        const QDBusPendingReply<QStringList> reply = *answered;
        if (reply.isError()) {
            // Sent all the same: a service may have come meanwhile.
            if (m_waiting)
                notify(*std::exchange(m_waiting, std::nullopt));
            else
                sendNext();
            return;
        }
        m_bodyMarkup = reply.value().contains(QStringLiteral("body-markup"));
        if (!std::exchange(m_availableTold, true))
            Q_EMIT available();
        sendNext();
    });
}

void NotificationService::notify(const Notification &notification)
{
    QVariantMap hints{{QStringLiteral("urgency"),
                       QVariant::fromValue(notification.urgent ? CriticalUrgency : NormalUrgency)},
                      {QStringLiteral("desktop-entry"), QStringLiteral("corvane")}};
    if (m_imageData.isValid())
        hints.insert(QStringLiteral("image-data"), m_imageData);
    // A service that reads markup would take "&" or "<" in a name for some.
    const QString body = m_bodyMarkup.value_or(false) ? notification.body.toHtmlEscaped() : notification.body;
    QDBusMessage message = methodCall(QStringLiteral("Notify"));
    message << QStringLiteral("Corvane") << m_shownId << QStringLiteral("corvane") << notification.summary
            << body << QStringList{DefaultAction, tr("显示")} << hints << -1;
    m_callInFlight = true;
    auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(message, IdWaitMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *answered) {
        answered->deleteLater();
        m_callInFlight = false;
        const QDBusPendingReply<uint> reply = *answered;
        m_shownId = reply.isError() ? 0 : reply.value();
        if (m_shownId != 0)
            m_ownId = m_shownId;
        sendNext();
    });
}

QDBusMessage NotificationService::methodCall(const QString &method) const
{
    return QDBusMessage::createMethodCall(Service, Path, Interface, method);
}

void NotificationService::onActionInvoked(uint id, const QString &actionKey)
{
    if (id == 0 || id != m_ownId || actionKey != DefaultAction)
        return;
    // Most services close it now, and say so only after this: until then an
    // update would bring it back.
    if (id == m_shownId)
        m_shownActedOn = true;
    Q_EMIT activated(std::exchange(m_activationToken, {}));
}

void NotificationService::onActivationToken(uint id, const QString &token)
{
    if (id != 0 && id == m_ownId)
        m_activationToken = token;
}

void NotificationService::onNotificationClosed(uint id, uint)
{
    if (id == m_shownId)
        m_shownId = 0;
}

std::unique_ptr<Notifications> desktopNotifications(const QImage &icon, TrayIcon &)
{
    return std::make_unique<NotificationService>(QDBusConnection::sessionBus(), icon);
}

} // namespace corvane
