#include "widgets/windowgeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace corvane {

void setOuterSize(QWidget *window, int width, int height)
{
    window->resize(width - FrameAllowanceWidth, height - FrameAllowanceHeight);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize outer = window->size() + QSize(FrameAllowanceWidth, FrameAllowanceHeight);
    window->move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void bringForward(QWidget *window)
{
    if (!window->isVisible()) {
        centreOnScreen(window);
        window->show();
    }
    window->raise();
    window->activateWindow();
}

} // namespace corvane
