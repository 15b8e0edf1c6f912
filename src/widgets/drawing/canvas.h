#pragma once

#include <QColor>
#include <QRect>

#include <initializer_list>

class QImage;
class QPainter;
class QWidget;

namespace corvane {

// A rectangle as the drawing rules give it: right and bottom edges exclusive,
// so right - left is the width.
struct Box
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Box fromRect(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    QRect rect() const { return QRect(left, top, right - left, bottom - top); }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// Pixel-exact primitives with the platform's painting rules, independent of
// anti-aliasing and pen settings.
void fillBox(QPainter &p, const Box &box, const QColor &colour);
// One-pixel outline on the box's outermost pixels, optional fill inside.
void frameBox(QPainter &p, const Box &box, const QColor &outline);
void rectangleBox(QPainter &p, const Box &box, const QColor &outline, const QColor &fill);
// Connected segments; as the platform draws a polyline, the last point is
// not painted.
void polyline(QPainter &p, const QColor &colour, std::initializer_list<QPoint> points);
void roundedBox(QPainter &p, const Box &box, int corner, const QColor &outline, const QColor &fill);
void ellipseBox(QPainter &p, const Box &box, const QColor &outline, const QColor &fill);
// A frame `width` pixels wide: the top colour on the left column and top row,
// the bottom colour on the right column and the whole bottom row.
void drawBevelFrame(QPainter &painter, const QRect &rect, const QColor &top, const QColor &bottom, int width);
// Draws `image` at `origin`, leaving out pixels of exactly `transparent`.
void drawMaskedImage(QPainter &painter, const QPoint &origin, const QImage &image, const QColor &transparent);

// The colour the widget fills its own background with.
QColor widgetBackground(const QWidget *widget);
// Paints the part of the parent that lies under `child` (its background and
// its own painting, not its other children).
void paintParentBackground(const QWidget *child, QPainter &painter);

} // namespace corvane
