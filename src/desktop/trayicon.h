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
// StatusNotifierItem host draws `menu` itself and triggers its items.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    TrayIcon(const QIcon &icon, const QString &tip, QMenu *menu, QObject *parent = nullptr);

    void add();
    void remove();

    // Whether a tray host exists right now. Without one, an icon cannot be seen
    // and hiding the window would make it unreachable.
    static bool hostAvailable();

Q_SIGNALS:
    void restoreRequested();
    void contextMenuRequested();

private:
    QSystemTrayIcon *m_icon;
    QMenu *m_menu;
};

// Whether the tray host reports double clicks (OS-specific).
bool trayHostReportsDoubleClick();

} // namespace corvane
