// Figures for the flat menus: every drawing of an item converts its picture
// pixel by pixel, so time the conversions and whole item drawings.
// Run with QT_QPA_PLATFORM=offscreen.
#include "widgets/drawing/colors.h"
#include "widgets/imagelist.h"
#include "widgets/menuskin/menuskin.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QPainter>

#include <cstdio>

using namespace corvane;

namespace {

QImage icon(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(30, 140, 60));
    painter.drawEllipse(1, 1, size - 3, size - 3);
    return image;
}

// Microseconds per call of `work` over `rounds` calls.
template <typename Work> double microseconds(int rounds, Work work)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1e3 / rounds;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QImage small = icon(16);
    const QImage large = icon(256);
    std::printf("fadeIcon 16x16:    %8.2f us\n", microseconds(20000, [&] {
                    QImage copy = small;
                    fadeIcon(copy, 30);
                }));
    std::printf("grayIcon 16x16:    %8.2f us\n", microseconds(20000, [&] {
                    QImage copy = small;
                    grayIcon(copy, 10);
                }));
    std::printf("fadeIcon 256x256:  %8.2f us\n", microseconds(200, [&] {
                    QImage copy = large;
                    fadeIcon(copy, 30);
                }));

    QWidget form;
    auto *images = new ImageList(&form);
    images->add(QPixmap::fromImage(small));
    auto *menu = new QMenu(&form);
    QAction *item = menu->addAction(QStringLiteral("客户资料查询"));
    images->assign(item, 0);
    MenuSkin skin(&form);
    skin.setMenuImages(menu, images);
    skin.setActive(true);
    QImage canvas(200, 30, QImage::Format_RGB32);
    QPainter painter(&canvas);
    for (const bool selected : {false, true}) {
        std::printf("item drawing %-9s %8.2f us\n", selected ? "selected" : "idle", microseconds(5000, [&] {
                        skin.drawItem(item, painter, QRect(0, 0, 180, 22), selected);
                    }));
    }
    std::printf("item measuring:    %8.2f us\n", microseconds(5000, [&] {
                    int width = 0;
                    int height = 0;
                    skin.measureItem(item, width, height);
                }));
    return 0;
}
