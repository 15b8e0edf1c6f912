#include "desktop/trayicon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace corvane {

// Qt talks to a StatusNotifierItem host whenever a watcher is registered on the
// session bus; otherwise it docks into an XEmbed tray.
bool trayHostReportsDoubleClick()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return true;
    return !bus.interface()->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")).value();
}

} // namespace corvane
