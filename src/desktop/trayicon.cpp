#include "desktop/trayicon.h"

#include <QSystemTrayIcon>

namespace corvane {

TrayIcon::TrayIcon(const QIcon &icon, const QString &tip, QObject *parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(icon, this))
{
    m_icon->setToolTip(tip);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            Q_EMIT restoreRequested();
            break;
        case QSystemTrayIcon::Context:
            Q_EMIT contextMenuRequested();
            break;
        case QSystemTrayIcon::Trigger:
            // A single click does nothing, unless it is all the host ever reports.
            if (!trayHostReportsDoubleClick())
                Q_EMIT restoreRequested();
            break;
        default:
            break;
        }
    });
}

void TrayIcon::add()
{
    m_icon->show();
}

void TrayIcon::remove()
{
    m_icon->hide();
}

bool TrayIcon::hostAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace corvane
