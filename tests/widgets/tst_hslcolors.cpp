#include "widgets/facedrawing.h"
#include "widgets/hslcolors.h"

#include <QPalette>
#include <QTest>

using namespace corvane;

class TestHslColors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void primariesOnTheUnitScale()
    {
        const Hsl red = ColorToHsl(rgbColor(255, 0, 0));
        QCOMPARE(red.h, 0.0);
        QCOMPARE(red.s, 1.0);
        QCOMPARE(red.l, 0.5);
        QCOMPARE(ColorToHsl(rgbColor(0, 255, 0)).h, 1.0 / 3);
        QCOMPARE(ColorToHsl(rgbColor(0, 0, 255)).h, 2.0 / 3);
        // Magenta: red is the maximum and g - b is negative, so one turn is
        // added: 1 - (128 / 255) / 6 = 0.916340 by hand.
        QVERIFY(qAbs(ColorToHsl(rgbColor(255, 0, 128)).h - 0.91634) < 1e-5);
        const Hsl grey = ColorToHsl(rgbColor(90, 90, 90));
        QCOMPARE(grey.h, 0.0);
        QCOMPARE(grey.s, 0.0);
    }

    void everyChannelStepRoundTrips()
    {
        for (int r = 0; r < 256; r += 15)
            for (int g = 0; g < 256; g += 15)
                for (int b = 0; b < 256; b += 15) {
                    const Hsl hsl = ColorToHsl(rgbColor(r, g, b));
                    QCOMPARE(HslToColor(hsl.h, hsl.s, hsl.l), rgbColor(r, g, b));
                }
    }

    void rangeScaleUses239ForHue()
    {
        const HslRange white = ColorToHslRange(0xFFFFFF);
        QCOMPARE(white.l, 240);
        QCOMPARE(white.s, 0);
        const HslRange blue = ColorToHslRange(rgbColor(0, 0, 255));
        QCOMPARE(blue.h, 159); // 2/3 of 239 = 159.33
        QCOMPARE(blue.s, 240);
        QCOMPARE(blue.l, 120);
        QCOMPARE(HslRangeToColor(0, 240, 120), rgbColor(255, 0, 0));
        QCOMPARE(HslRangeToColor(160, 0, 240), TColor(0xFFFFFF));
    }

    void roundingTakesHalvesToEven()
    {
        // Grey lightness 0.5 is channel 127.5: the even neighbour is 128.
        QCOMPARE(HslToColor(0, 0, 0.5), rgbColor(128, 128, 128));
        // 2.5 / 255 of lightness is channel 2.5: the even neighbour is 2, not 3.
        QCOMPARE(HueToChannel(2.5 / 255, 2.5 / 255, 0.5), 2);
        QCOMPARE(HueToChannel(0, 1, 0.5), 255);
        QCOMPARE(HueToChannel(0, 1, 0.9), 0);
        QCOMPARE(HueToChannel(0, 1, 1.1), 153); // wraps to 0.1: 0.6 * 255
    }

    void derivedColoursClampLightnessAt100()
    {
        // White: 240 + 10 + 10 is clamped to 100 of 240.
        QCOMPARE(DeriveAdvColor(0xFFFFFF, 0, 10, false), TColor(0x6A6A6A));
        QCOMPARE(DeriveAdvColor(0x000000, 0, 10, false), TColor(0x151515));
        QCOMPARE(DeriveAdvColor(0x000000, 0, 50, true), TColor(0x000000));
        QCOMPARE(DeriveAdvColor(0xFFFFFF, 0x123456, 0, true), TColor(0x123456));
    }

    void darkerKeepsLightnessWithinItsScale()
    {
        // White is 240, plus 10 is 250: taking less than 10 must not run past
        // the top of the scale and wrap round to near black.
        for (int amount = 1; amount <= 10; ++amount)
            QCOMPARE(DeriveAdvColor(0xFFFFFF, 0, amount, true), TColor(0xFFFFFF));
        QCOMPARE(DeriveAdvColor(0xFFFFFF, 0, 50, true), HslRangeToColor(0, 0, 200));
        // So does a near-white tint (lightness 238).
        const TColor tint = DeriveAdvColor(rgbColor(255, 255, 250), 0, 5, true);
        QVERIFY(ColorToHslRange(tint).l >= 235);
    }

    void tcolorsConvertWithRedInTheLowByte()
    {
        const QPalette palette;
        QCOMPARE(toQColor(12965593, palette), QColor(217, 214, 197));
        QCOMPARE(toQColor(12957340, palette), QColor(156, 182, 197));
        QCOMPARE(fromQColor(QColor(217, 214, 197)), TColor(12965593));
        QCOMPARE(toQColor(clBtnFace, palette), palette.color(QPalette::Button));
        QCOMPARE(toQColor(clBtnShadow, palette), palette.color(QPalette::Dark));
        QCOMPARE(toQColor(clBtnHighlight, palette), palette.color(QPalette::Light));
    }
};

QTEST_GUILESS_MAIN(TestHslColors)
#include "tst_hslcolors.moc"
