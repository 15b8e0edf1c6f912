#include "widgets/drawing/canvas.h"

#include <QPainter>
#include <QWidget>

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
    fillBox(p, {box.left, box.top, box.right, box.top + 1}, outline);
    fillBox(p, {box.left, box.bottom - 1, box.right, box.bottom}, outline);
    fillBox(p, {box.left, box.top, box.left + 1, box.bottom}, outline);
    fillBox(p, {box.right - 1, box.top, box.right, box.bottom}, outline);
}

void rectangleBox(QPainter &p, const Box &box, const QColor &outline, const QColor &fill)
{
    if (fill.isValid())
        fillBox(p, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, fill);
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
        p.drawRoundedRect(QRect(box.left, box.top, box.width() - 1, box.height() - 1), corner / 2.0,
                          corner / 2.0);
    });
}

void ellipseBox(QPainter &p, const Box &box, const QColor &outline, const QColor &fill)
{
    withOutline(p, outline, fill,
                [&] { p.drawEllipse(QRect(box.left, box.top, box.width() - 1, box.height() - 1)); });
}

void drawBevelFrame(QPainter &painter, const QRect &rect, const QColor &top, const QColor &bottom, int width)
{
    // Inclusive edges: the last column and row of the rectangle.
    int left = rect.left();
    int topRow = rect.top();
    int right = rect.left() + rect.width() - 1;
    int bottomRow = rect.top() + rect.height() - 1;
    for (int i = 0; i < width && left <= right && topRow <= bottomRow; ++i) {
        painter.fillRect(QRect(QPoint(left, topRow), QPoint(left, bottomRow)), top);
        if (right > left)
            painter.fillRect(QRect(QPoint(left, topRow), QPoint(right - 1, topRow)), top);
        painter.fillRect(QRect(QPoint(right, topRow), QPoint(right, bottomRow)), bottom);
        painter.fillRect(QRect(QPoint(left, bottomRow), QPoint(right, bottomRow)), bottom);
        ++left;
        ++topRow;
        --right;
        --bottomRow;
    }
}

QColor widgetBackground(const QWidget *widget)
{
    return widget->palette().color(widget->backgroundRole());
}

void paintParentBackground(const QWidget *button, QPainter &painter)
{
    QWidget *parent = button->parentWidget();
    if (!parent)
        return;
    painter.save();
    parent->render(&painter, -button->pos(), QRegion(parent->rect()), QWidget::DrawWindowBackground);
    painter.restore();
}

void drawMaskedImage(QPainter &painter, const QPoint &origin, const QImage &image, const QColor &transparent)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent.rgb() & RGB_MASK;
    for (int y = 0; y < masked.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
        }
    }
    painter.drawImage(origin, masked);
}

} // namespace corvane
