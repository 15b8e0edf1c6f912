#include "app/iconset.h"

#include <QPainter>
#include <QPainterPath>

#include <map>

namespace corvane {

namespace {

const QColor Ink(0x2f, 0x5f, 0x9e);
const QColor Accent(0xe8, 0x8a, 0x1a);
const QColor Paper(0xfa, 0xfa, 0xf5);

// Each picture is drawn on a 16-unit grid, scaled to the requested size.
template <typename Draw> QPixmap picture(int size, Draw draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    draw(p);
    return pixmap;
}

void bell(QPainter &p)
{
    QPainterPath body;
    body.moveTo(3, 12);
    body.cubicTo(4.5, 10.5, 4, 4, 8, 3.5);
    body.cubicTo(12, 4, 11.5, 10.5, 13, 12);
    body.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Accent);
    p.drawPath(body);
    p.setBrush(Ink);
    p.drawEllipse(QPointF(8, 13.2), 1.5, 1.5);
    p.drawEllipse(QPointF(8, 2.6), 0.9, 0.9);
}

void callLog(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
    p.setPen(QPen(Ink, 1.2));
    for (qreal y : {5.0, 8.0, 11.0}) {
        p.drawLine(QPointF(7, y), QPointF(11.5, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    for (qreal y : {5.0, 8.0, 11.0})
        p.drawEllipse(QPointF(5, y), 1, 1);
}

void gear(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.translate(8, 8);
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.3, -7, 2.6, 3));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 5, 5);
    p.setBrush(Paper);
    p.drawEllipse(QPointF(0, 0), 2, 2);
}

void customer(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawEllipse(QPointF(5.5, 6.5), 1.8, 1.8);
    p.drawPie(QRectF(2.5, 8.5, 6, 5), 0, 180 * 16);
    p.setPen(QPen(Ink, 1.2));
    p.drawLine(QPointF(9.5, 6), QPointF(12.5, 6));
    p.drawLine(QPointF(9.5, 9), QPointF(12.5, 9));
}

void exitDoor(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(QRectF(2.5, 1.5, 7, 13));
    p.setPen(QPen(Accent, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(6.5, 8), QPointF(14, 8));
    p.drawPolyline(QPolygonF{QPointF(11.5, 5.5), QPointF(14, 8), QPointF(11.5, 10.5)});
}

void showWindow(QPainter &p)
{
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(1.5, 2.5, 13, 3));
    p.setBrush(Accent);
    p.drawRect(QRectF(4, 8, 8, 3));
}

void help(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font;
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Paper);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
}

void handset(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QPainterPath phone;
    phone.moveTo(4, 3);
    phone.lineTo(6, 3);
    phone.lineTo(7, 6);
    phone.lineTo(5.5, 7);
    phone.cubicTo(6.3, 8.7, 7.3, 9.7, 9, 10.5);
    phone.lineTo(10, 9);
    phone.lineTo(13, 10);
    phone.lineTo(13, 12);
    phone.cubicTo(8, 13.5, 2.5, 8, 4, 3);
    p.setBrush(Paper);
    p.drawPath(phone);
    p.setBrush(Accent);
    p.drawEllipse(QPointF(11.8, 4.2), 1.6, 1.6);
}

} // namespace

void fillMenuImages(ImageList &images)
{
    const std::map<int, void (*)(QPainter &)> pictures{
        {ImageIndex::Ring, bell},     {ImageIndex::CallLog, callLog},
        {ImageIndex::Settings, gear}, {ImageIndex::Customer, customer},
        {ImageIndex::Exit, exitDoor}, {ImageIndex::ShowWindow, showWindow},
        {ImageIndex::Help, help},
    };
    // Indexes without a picture of ours hold an empty one.
    for (int index = images.count(); index <= pictures.rbegin()->first; ++index) {
        const auto found = pictures.find(index);
        images.add(found == pictures.end() ? QPixmap() : picture(16, found->second));
    }
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(picture(size, handset));
    return icon;
}

} // namespace corvane
