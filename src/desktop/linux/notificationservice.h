#pragma once

#include "desktop/notifications.h"

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVariant>

#include <optional>

class QDBusMessage;

namespace corvane {

// The desktop's notification service (org.freedesktop.Notifications on the
// session bus), for one notification at a time: shown, replaced in place and
// withdrawn. Every call is asynchronous and at most one waits for its answer,
// so a missing or slow service delays nothing; its errors only mean that no
// notification is shown. The default action "显示" is handed on with the
// activation token the service sends before it.
class NotificationService : public Notifications
{
    Q_OBJECT
public:
    NotificationService(const QDBusConnection &bus, const QImage &icon, QObject *parent = nullptr);

    // Shows the notification in place of the one shown before.
    void show(const Notification &notification) override;
    // Replaces the one shown, unless the user has closed it meanwhile.
    void update(const Notification &notification) override;
    // Takes the one shown away.
    void withdraw() override;

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &actionKey);
    void onActivationToken(uint id, const QString &token);
    void onNotificationClosed(uint id, uint reason);

private:
    // Sends what waits, once the call in flight has been answered.
    void sendNext();
    void askCapabilities();
    void notify(const Notification &notification);
    QDBusMessage methodCall(const QString &method) const;

    QDBusConnection m_bus;
    QVariant m_imageData;
    std::optional<Notification> m_waiting;
    bool m_withdrawWaiting = false;
    bool m_callInFlight = false;
    // Unknown until the service has said whether it reads markup in a body.
    std::optional<bool> m_bodyMarkup;
    bool m_availableTold = false;
    // The notification shown; 0 for none.
    uint m_shownId = 0;
    // Its action was chosen: shown on only until it is replaced or withdrawn.
    bool m_shownActedOn = false;
    // The last one the service gave; its action counts also once it is closed.
    uint m_ownId = 0;
    QString m_activationToken;
};

} // namespace corvane
