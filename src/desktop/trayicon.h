#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace corvane {

// The notification-area icon. Hosts differ: an XEmbed tray reports single and
// double clicks, a StatusNotifierItem host reports one activation and never a
// double click. restoreRequested() is the double click, or that one activation.
// An XEmbed tray asks for the menu (contextMenuRequested()); a
// StatusNotifierItem host draws the menu itself and triggers its items.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    TrayIcon(const QIcon &icon, const QString &tip, QObject *parent = nullptr);

    // Given before add().
    void setMenu(QMenu *menu);
    void add();
    void remove();

    // A message from the icon in place of the one before, where the host
    // shows messages (the Windows notification area's balloon or toast).
    void showMessage(const QString &title, const QString &body);
    void hideMessage();

    // Whether a tray host exists right now. Without one, an icon cannot be seen
    // and hiding the window would make it unreachable.
    static bool hostAvailable();

Q_SIGNALS:
    void restoreRequested();
    void contextMenuRequested();
    void messageClicked();

private:
    QSystemTrayIcon *m_icon;
    QMenu *m_menu = nullptr;
};

// Whether the tray host reports double clicks (OS-specific).
bool trayHostReportsDoubleClick();

} // namespace corvane
