#include "desktop/notifications.h"

#include "desktop/trayicon.h"

#include <optional>

namespace corvane {

namespace {

// Windows shows a program's notifications as its tray icon's messages (a
// balloon, or a toast from Windows 10 on); a click on one is the "显示".
class TrayMessages : public Notifications
{
public:
    explicit TrayMessages(TrayIcon &trayIcon) : m_trayIcon(trayIcon)
    {
        // A clicked message is gone: nothing is updated until the next call's.
        connect(&m_trayIcon, &TrayIcon::messageClicked, this, [this] {
            m_shown.reset();
            Q_EMIT activated(QString());
        });
    }

    void show(const Notification &notification) override
    {
        m_shown = notification;
        m_trayIcon.showMessage(notification.summary, notification.body);
    }

    // A message shown again would come back after the user closed it; only a
    // changed text is worth that. Urgency is not the system's to show.
    void update(const Notification &notification) override
    {
        if (m_shown && (notification.summary != m_shown->summary || notification.body != m_shown->body))
            show(notification);
    }

    void withdraw() override
    {
        m_shown.reset();
        m_trayIcon.hideMessage();
    }

private:
    TrayIcon &m_trayIcon;
    std::optional<Notification> m_shown;
};

} // namespace

std::unique_ptr<Notifications> desktopNotifications(const QImage &, TrayIcon &trayIcon)
{
    return std::make_unique<TrayMessages>(trayIcon);
}

} // namespace corvane
