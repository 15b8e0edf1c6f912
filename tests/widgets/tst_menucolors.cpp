#include "widgets/drawing/colors.h"
#include "widgets/imagelist.h"
#include "widgets/menuskin/menuskin.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTest>

using namespace corvane;

namespace {

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

} // namespace

class TestMenuColors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void blendToWhiteRoundsHalfToEven()
    {
        // 255 * 0.5 = 127.5 -> 128; 253 * 0.5 = 126.5 -> 126; 251 * 0.5 = 125.5 -> 126.
        QCOMPARE(blendToWhite(rgb(0, 2, 4), 50), rgb(128, 128, 130));
        // 155 * 0.3 = 46.5 -> 46; 200 * 0.3 = 60 exactly; 255 * 0.3 = 76.5 -> 76.
        QCOMPARE(blendToWhite(rgb(100, 55, 0), 30), rgb(146, 115, 76));
        QCOMPARE(blendToWhite(rgb(10, 20, 30), 0), rgb(10, 20, 30));
    }

    void blendToWhiteCapsAtHundredButHasNoLowerBound()
    {
        QCOMPARE(blendToWhite(rgb(10, 20, 30), 100), rgb(255, 255, 255));
        QCOMPARE(blendToWhite(rgb(10, 20, 30), 250), rgb(255, 255, 255));
        // 155 * -0.5 = -77.5 -> -78 (even): a negative share darkens.
        QCOMPARE(blendToWhite(rgb(100, 100, 100), -50), rgb(22, 22, 22));
        // Far below zero the channels stay at 0 instead of wrapping.
        QCOMPARE(blendToWhite(rgb(10, 200, 30), -100), rgb(0, 145, 0));
    }

    void shadeDownTakesTwoLessFromGreenAndClamps()
    {
        QCOMPARE(shadeDown(rgb(100, 100, 100), 30), rgb(70, 72, 70));
        QCOMPARE(shadeDown(rgb(10, 0, 250), 20), rgb(0, 0, 230));
        // Lighter by 40, green by 42: the +2 holds for negative amounts too.
        QCOMPARE(shadeDown(rgb(100, 100, 100), -40), rgb(140, 142, 140));
        QCOMPARE(shadeDown(rgb(250, 250, 250), -40), rgb(255, 255, 255));
        QCOMPARE(shadeDown(rgb(1, 1, 1), 1), rgb(0, 2, 0));
    }

    void toGrayAveragesAndCapsAt240()
    {
        QCOMPARE(toGray(rgb(10, 20, 32), 5), rgb(25, 25, 25));
        QCOMPARE(toGray(rgb(250, 250, 250), 10), rgb(240, 240, 240));
        QCOMPARE(toGray(rgb(0, 0, 0), 0), rgb(0, 0, 0));
    }

    void roundHalfEvenHandlesNegativeNumerators()
    {
        QCOMPARE(roundHalfEven(5, 2), 2);
        QCOMPARE(roundHalfEven(7, 2), 4);
        QCOMPARE(roundHalfEven(-5, 2), -2);
        QCOMPARE(roundHalfEven(-7, 2), -4);
        QCOMPARE(roundHalfEven(-6, 4), -2);
        QCOMPARE(roundHalfEven(33, 4), 8);
    }

    void systemColoursFollowTheApplicationPalette()
    {
        const QPalette saved = QApplication::palette();
        QPalette palette = saved;
        palette.setColor(QPalette::Highlight, rgb(1, 2, 3));
        QApplication::setPalette(palette);
        QCOMPARE(SkinColor(SystemColor::Highlight).resolved(), rgb(1, 2, 3));
        QCOMPARE(blendToWhite(SystemColor::Highlight, 100), rgb(255, 255, 255));
        palette.setColor(QPalette::Highlight, rgb(200, 100, 50));
        QApplication::setPalette(palette);
        QCOMPARE(shadeDown(SystemColor::Highlight, 10), rgb(190, 92, 40));
        QApplication::setPalette(saved);
        QVERIFY(SkinColor(rgb(1, 2, 3)) == SkinColor(rgb(1, 2, 3)));
        QVERIFY(!(SkinColor(rgb(1, 2, 3)) == SkinColor(SystemColor::Highlight)));
    }

    void fadeAndGrayConvertEveryPixelAndKeepAlpha()
    {
        QImage picture(3, 1, QImage::Format_ARGB32);
        picture.setPixel(0, 0, qRgba(0, 0, 0, 255));
        picture.setPixel(1, 0, qRgba(0, 0, 0, 255)); // a run: the cached colour is reused
        picture.setPixel(2, 0, qRgba(255, 0, 0, 128));
        QImage faded = picture;
        fadeIcon(faded, 50);
        QCOMPARE(faded.pixel(0, 0), qRgba(128, 128, 128, 255));
        QCOMPARE(faded.pixel(1, 0), qRgba(128, 128, 128, 255));
        QCOMPARE(faded.pixel(2, 0), qRgba(255, 128, 128, 128));
        QImage white = picture;
        fadeIcon(white, 300);
        QCOMPARE(white.pixel(0, 0), qRgba(255, 255, 255, 255));

        QImage gray = picture;
        grayIcon(gray, 10);
        QCOMPARE(gray.pixel(0, 0), qRgba(10, 10, 10, 255));
        QCOMPARE(gray.pixel(2, 0), qRgba(95, 95, 95, 128));
    }

    void fadingAnItemLeavesTheListPictureAlone()
    {
        QWidget form;
        auto *images = new ImageList(&form);
        QImage source(16, 16, QImage::Format_RGB32);
        source.fill(qRgb(0, 0, 200));
        source.setPixel(4, 4, qRgb(255, 0, 0));
        images->add(QPixmap::fromImage(source));
        auto *popup = new QMenu(&form);
        QAction *idle = popup->addAction(QStringLiteral("Idle"));
        QAction *disabled = popup->addAction(QStringLiteral("Disabled"));
        images->assign(idle, 0);
        images->assign(disabled, 0);
        disabled->setEnabled(false);
        auto *skin = new MenuSkin(&form);
        skin->setMenuImages(popup, images);
        skin->setActive(true);
        const QImage before = images->image(0).toImage();

        // The red pixel lands at (3, 3) + (4, 4): faded by 30 when idle (255 * 0.3
        // = 76.5 -> 76); grayed (255 / 3 + 10 = 95) and faded by 40 (160 * 0.4
        // = 64) when disabled.
        const QList<QPair<QAction *, QColor>> drawn{{idle, rgb(255, 76, 76)}, {disabled, rgb(159, 159, 159)}};
        for (const auto &[item, expected] : drawn) {
            QImage canvas(200, 30, QImage::Format_RGB32);
            canvas.fill(Qt::black);
            QPainter painter(&canvas);
            skin->drawItem(item, painter, QRect(0, 0, 150, 22), false);
            painter.end();
            QCOMPARE(canvas.pixelColor(7, 7), expected);
            QCOMPARE(images->image(0).toImage(), before);
        }
        QCOMPARE(before.pixel(4, 4), qRgb(255, 0, 0));
    }

    void emptyPicturesAreLeftAlone()
    {
        QImage none;
        fadeIcon(none, 50);
        grayIcon(none, 10);
        QVERIFY(none.isNull());
        QImage canvas(4, 4, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        iconSilhouette(none, painter, 0, 0, Qt::black);
        painter.end();
        QCOMPARE(canvas.pixel(0, 0), qRgb(255, 255, 255));
    }

    void silhouettePaintsEveryPixelUnlikeTheBottomLeftOne()
    {
        QImage picture(3, 3, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 255));
        picture.setPixel(1, 1, qRgb(200, 0, 0));
        picture.setPixel(2, 0, qRgb(0, 0, 200));
        QImage canvas(8, 8, QImage::Format_RGB32);
        canvas.fill(qRgb(0, 255, 0));
        QPainter painter(&canvas);
        iconSilhouette(picture, painter, 2, 3, rgb(10, 20, 30));
        painter.end();
        QCOMPARE(canvas.pixel(3, 4), qRgb(10, 20, 30));
        QCOMPARE(canvas.pixel(4, 3), qRgb(10, 20, 30));
        QCOMPARE(canvas.pixel(2, 3), qRgb(0, 255, 0));
        QCOMPARE(canvas.pixel(2, 5), qRgb(0, 255, 0));
    }
};

QTEST_MAIN(TestMenuColors)
#include "tst_menucolors.moc"
