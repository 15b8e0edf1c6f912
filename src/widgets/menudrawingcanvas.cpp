#include "widgets/menudrawingcanvas.h"

#include <QPainter>

#include <cstdlib>

namespace corvane {

void fillBox(QPainter &p, const Box &box, const QColor &colour)
{
    if (box.width() > 0 && box.height() > 0)
        p.fillRect(box.rect(), colour);
}

void frameBox(QPainter &p, const Box &box, const QColor &outline)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    fillBox(p, {box.L, box.T, box.R, box.T + 1}, outline);
    fillBox(p, {box.L, box.B - 1, box.R, box.B}, outline);
    fillBox(p, {box.L, box.T, box.L + 1, box.B}, outline);
    fillBox(p, {box.R - 1, box.T, box.R, box.B}, outline);
}

void rectangleBox(QPainter &p, const Box &box, const QColor &outline, const QColor &fill)
{
    if (fill.isValid())
        fillBox(p, {box.L + 1, box.T + 1, box.R - 1, box.B - 1}, fill);
    frameBox(p, box, outline);
}

void polyline(QPainter &p, const QColor &colour, std::initializer_list<QPoint> points)
{
    const QPoint *from = nullptr;
    for (const QPoint &to : points) {
        if (from) {
            // Bresenham from `from` up to, not including, `to`.
            int x = from->x();
            int y = from->y();
            const int dx = std::abs(to.x() - x);
            const int dy = -std::abs(to.y() - y);
            const int sx = x < to.x() ? 1 : -1;
            const int sy = y < to.y() ? 1 : -1;
            int err = dx + dy;
            while (x != to.x() || y != to.y()) {
                p.fillRect(x, y, 1, 1, colour);
                const int e2 = 2 * err;
                if (e2 >= dy) {
                    err += dy;
                    x += sx;
                }
                if (e2 <= dx) {
                    err += dx;
                    y += sy;
                }
            }
        }
        from = &to;
    }
}

namespace {

void withOutline(QPainter &p, const QColor &outline, const QColor &fill, auto draw)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(outline, 0));
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    draw();
    p.restore();
}

} // namespace

void roundedBox(QPainter &p, const Box &box, int corner, const QColor &outline, const QColor &fill)
{
    withOutline(p, outline, fill, [&] {
        p.drawRoundedRect(QRect(box.L, box.T, box.width() - 1, box.height() - 1), corner / 2.0, corner / 2.0);
    });
}

void ellipseBox(QPainter &p, const Box &box, const QColor &outline, const QColor &fill)
{
    withOutline(p, outline, fill,
                [&] { p.drawEllipse(QRect(box.L, box.T, box.width() - 1, box.height() - 1)); });
}

} // namespace corvane
