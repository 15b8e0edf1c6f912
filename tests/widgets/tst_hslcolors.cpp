#include "widgets/drawing/hsl.h"
#include "widgets/facebutton/facepainting.h"

#include <QColor>
#include <QTest>

using namespace corvane;

class TestHslColors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void primariesOnTheUnitScale()
    {
        const Hsl red = colorToHsl(QColor(255, 0, 0));
        QCOMPARE(red.h, 0.0);
        QCOMPARE(red.s, 1.0);
        QCOMPARE(red.l, 0.5);
        QCOMPARE(colorToHsl(QColor(0, 255, 0)).h, 1.0 / 3);
        QCOMPARE(colorToHsl(QColor(0, 0, 255)).h, 2.0 / 3);
        // Magenta: red is the maximum and g - b is negative, so one turn is
        // added: 1 - (128 / 255) / 6 = 0.916340 by hand.
        QVERIFY(qAbs(colorToHsl(QColor(255, 0, 128)).h - 0.91634) < 1e-5);
        const Hsl grey = colorToHsl(QColor(90, 90, 90));
        QCOMPARE(grey.h, 0.0);
        QCOMPARE(grey.s, 0.0);
    }

    void everyChannelStepRoundTrips()
    {
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 15)
                for (int b = 0; b < 256; b += 15) {
                    const Hsl hsl = colorToHsl(QColor(r, g, b));
                    QCOMPARE(hslToColor(hsl.h, hsl.s, hsl.l), QColor(r, g, b));
                }
    }

    void rangeScaleUses239ForHue()
    {
        const HslScaled white = colorToHslScale(QColor(Qt::white));
        QCOMPARE(white.l, 240);
        QCOMPARE(white.s, 0);
        const HslScaled blue = colorToHslScale(QColor(0, 0, 255));
        QCOMPARE(blue.h, 159); // 2/3 of 239 = 159.33
        QCOMPARE(blue.s, 240);
        QCOMPARE(blue.l, 120);
        QCOMPARE(hslScaleToColor(0, 240, 120), QColor(255, 0, 0));
        QCOMPARE(hslScaleToColor(160, 0, 240), QColor::fromRgb(0xFFFFFF));
    }

    void roundingTakesHalvesToEven()
    {
        // Grey lightness 0.5 is channel 127.5: the even neighbour is 128.
        QCOMPARE(hslToColor(0, 0, 0.5), QColor(128, 128, 128));
        // 2.5 / 255 of lightness is channel 2.5: the even neighbour is 2, not 3.
        QCOMPARE(hslToColor(0, 0, 2.5 / 255), QColor(2, 2, 2));
        QCOMPARE(hslToColor(0, 1, 0.5), QColor(255, 0, 0));
        // Red's hue runs past 1 and wraps to 0.1: 0.6 * 255.
        QCOMPARE(hslToColor(1.1 - 1.0 / 3, 1, 0.5), QColor(153, 0, 255));
    }

    void derivedColoursClampLightnessAt100()
    {
        // White: 240 + 10 + 10 is clamped to 100 of 240.
        QCOMPARE(deriveAdvColor(QColor::fromRgb(0xFFFFFF), QColor(), 10, false), QColor::fromRgb(0x6A6A6A));
        QCOMPARE(deriveAdvColor(QColor::fromRgb(0x000000), QColor(), 10, false), QColor::fromRgb(0x151515));
        QCOMPARE(deriveAdvColor(QColor::fromRgb(0x000000), QColor(), 50, true), QColor::fromRgb(0x000000));
        QCOMPARE(deriveAdvColor(QColor::fromRgb(0xFFFFFF), QColor::fromRgb(0x123456), 0, true),
                 QColor::fromRgb(0x123456));
    }

    void darkerKeepsLightnessWithinItsScale()
    {
        // White is 240, plus 10 is 250: taking less than 10 must not run past
        // the top of the scale and wrap round to near black.
        for (int amount = 1; amount <= 10; ++amount)
            QCOMPARE(deriveAdvColor(QColor::fromRgb(0xFFFFFF), QColor(), amount, true),
                     QColor::fromRgb(0xFFFFFF));
        QCOMPARE(deriveAdvColor(QColor::fromRgb(0xFFFFFF), QColor(), 50, true), hslScaleToColor(0, 0, 200));
        // So does a near-white tint (lightness 238).
        const QColor tint = deriveAdvColor(QColor(255, 255, 250), QColor(), 5, true);
        QVERIFY(colorToHslScale(tint).l >= 235);
    }
};

QTEST_GUILESS_MAIN(TestHslColors)
#include "tst_hslcolors.moc"
