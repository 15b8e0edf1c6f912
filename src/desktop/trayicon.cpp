#include "desktop/trayicon.h"

#include <QSystemTrayIcon>

namespace corvane {

TrayIcon::TrayIcon(const QIcon &icon, const QString &tip, QObject *parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(icon, this))
{
    m_icon->setToolTip(tip);
    connect(m_icon, &QSystemTrayIcon::messageClicked, this, &TrayIcon::messageClicked);
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

void TrayIcon::setMenu(QMenu *menu)
{
    m_menu = menu;
}

void TrayIcon::add()
{
    // Given to an XEmbed tray too, Qt would open it beside the program's own.
    if (!trayHostReportsDoubleClick())
        m_icon->setContextMenu(m_menu);
    m_icon->show();
}

void TrayIcon::remove()
{
    m_icon->hide();
}

void TrayIcon::showMessage(const QString &title, const QString &body)
{
    // The program's own icon beside the text, as its notifications have.
    m_icon->showMessage(title, body, m_icon->icon());
}

void TrayIcon::hideMessage()
{
    // Windows takes a message without text for the withdrawal of the last.
    m_icon->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon);
}

bool TrayIcon::hostAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace corvane
