#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QImage;

namespace corvane {

class TrayIcon;

// What one desktop notification says. The body is plain text.
struct Notification
{
    QString summary;
    QString body;
    // Stays on the screen until the user has seen it.
    bool urgent = false;
};

// The desktop's notifications, one at a time: shown, replaced in place and
// withdrawn, without ever making the caller wait.
class Notifications : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Shows the notification in place of the one shown before.
    virtual void show(const Notification &notification) = 0;
    // Replaces the one shown, unless the user has closed it or chosen its
    // action meanwhile.
    virtual void update(const Notification &notification) = 0;
    // Takes the one shown away.
    virtual void withdraw() = 0;

Q_SIGNALS:
    // The service answered for the first time: notifications will be seen.
    void available();
    // The user chose "显示"; the token (empty when the service sent none) lets
    // a window come forward where the desktop asks for one.
    void activated(const QString &activationToken);
};

// The desktop's own notifications (OS-specific): a service of the desktop's,
// or the messages of the program's tray icon where the system shows them so.
std::unique_ptr<Notifications> desktopNotifications(const QImage &icon, TrayIcon &trayIcon);

} // namespace corvane
