#pragma once

#include <QColor>
#include <QRect>

#include <initializer_list>

class QPainter;

namespace corvane {

// A rectangle as the drawing rules give it: right and bottom edges exclusive,
// so R - L is the width.
struct Box
{
    int L = 0;
    int T = 0;
    int R = 0;
    int B = 0;

    static Box fromRect(const QRect &r)
    {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    QRect rect() const { return QRect(L, T, R - L, B - T); }
    int width() const { return R - L; }
    int height() const { return B - T; }
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

} // namespace corvane
