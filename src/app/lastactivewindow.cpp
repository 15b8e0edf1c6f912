#include "app/lastactivewindow.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace corvane {

LastActiveWindow::LastActiveWindow(QWidget *fallback) : QObject(fallback), m_fallback(fallback)
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &LastActiveWindow::focusWindowChanged);
}

void LastActiveWindow::focusWindowChanged(QWindow *window)
{
    if (!window)
        return;
    // Menus, tool tips and the like come and go without being worked in.
    QWidget *active = QApplication::activeWindow();
    if (active && (active->windowType() == Qt::Window || active->windowType() == Qt::Dialog))
        m_last = active;
}

QWidget *LastActiveWindow::windowToBringForward() const
{
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible() && modal->isEnabled())
        return modal;
    if (m_last && m_last->isVisible() && m_last->isEnabled())
        return m_last;
    return m_fallback;
}

} // namespace corvane
