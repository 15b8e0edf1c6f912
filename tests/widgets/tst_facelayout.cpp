#include "widgets/facedrawing.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace corvane;

namespace {

// client 100 x 40, glyph 16 x 16, caption 30 x 12
GlyphCaptionLayout place(TButtonLayout layout, int margin = -1, int spacing = 4, QSize glyph = {16, 16},
                         QSize caption = {30, 12})
{
    return LayoutGlyphAndCaption(QRect(0, 0, 100, 40), QPoint(0, 0), caption, layout, margin, spacing, glyph);
}

} // namespace

class TestFaceLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachLayoutWithGlyphAndCaption_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QPoint>("glyph");
        QTest::addColumn<QPoint>("caption");
        // Margin -1 centres the pair along the layout axis, spacing 4 between them.
        QTest::newRow("left") << int(blGlyphLeft) << QPoint(25, 12) << QPoint(45, 14);
        QTest::newRow("right") << int(blGlyphRight) << QPoint(59, 12) << QPoint(25, 14);
        QTest::newRow("top") << int(blGlyphTop) << QPoint(42, 4) << QPoint(35, 24);
        QTest::newRow("bottom") << int(blGlyphBottom) << QPoint(42, 20) << QPoint(35, 4);
    }

    void eachLayoutWithGlyphAndCaption()
    {
        QFETCH(int, layout);
        QFETCH(QPoint, glyph);
        QFETCH(QPoint, caption);
        const GlyphCaptionLayout result = place(TButtonLayout(layout));
        QCOMPARE(result.glyphOrigin, glyph);
        QCOMPARE(result.captionRect, QRect(caption, QSize(30, 12)));
    }

    void withoutGlyphTheCaptionIsCentred_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("left") << int(blGlyphLeft);
        QTest::newRow("right") << int(blGlyphRight);
        QTest::newRow("top") << int(blGlyphTop);
        QTest::newRow("bottom") << int(blGlyphBottom);
    }

    void withoutGlyphTheCaptionIsCentred()
    {
        QFETCH(int, layout);
        // The spacing drops to 0 when there is nothing to space.
        const GlyphCaptionLayout result = place(TButtonLayout(layout), -1, 4, QSize(0, 0));
        QCOMPARE(result.captionRect, QRect(35, 14, 30, 12));
    }

    void glyphAloneIsCentred()
    {
        const GlyphCaptionLayout result = place(blGlyphTop, -1, 4, QSize(16, 16), QSize(0, 0));
        QCOMPARE(result.glyphOrigin, QPoint(42, 12));
        QCOMPARE(result.captionRect.size(), QSize(0, 0));
    }

    void freeMarginAndSpacingShareTheSpace()
    {
        // Both -1: thirds of the free width.
        GlyphCaptionLayout result = place(blGlyphLeft, -1, -1);
        QCOMPARE(result.glyphOrigin.x(), 18);
        QCOMPARE(result.captionRect.x(), 52);
        // A fixed margin with spacing -1: the spacing takes half of what is left.
        result = place(blGlyphLeft, 5, -1);
        QCOMPARE(result.glyphOrigin.x(), 5);
        QCOMPARE(result.captionRect.x(), 45);
        // A fixed margin and spacing are used as given.
        result = place(blGlyphBottom, 2, 1);
        QCOMPARE(result.glyphOrigin.y(), 22);
        QCOMPARE(result.captionRect.y(), 9);
    }

    void offsetAndClientOriginMoveBoth()
    {
        const GlyphCaptionLayout result = LayoutGlyphAndCaption(
            QRect(2, 3, 100, 40), QPoint(1, 1), QSize(30, 12), blGlyphLeft, -1, 4, QSize(16, 16));
        QCOMPARE(result.glyphOrigin, QPoint(28, 16));
        QCOMPARE(result.captionRect, QRect(48, 18, 30, 12));
    }

    void halvesTruncateTowardZero()
    {
        // A caption wider than the button: (10 - 30 + 1) / 2 = -9, not -10.
        const GlyphCaptionLayout result = LayoutGlyphAndCaption(
            QRect(0, 0, 10, 10), QPoint(0, 0), QSize(30, 12), blGlyphTop, -1, 4, QSize(0, 0));
        QCOMPARE(result.captionRect.x(), -9);
        QCOMPARE(result.captionRect.y(), 0); // -1 / 2 is 0
    }

    void bevelFrameCorners()
    {
        QImage image(6, 5, QImage::Format_RGB32);
        image.fill(Qt::blue);
        {
            QPainter painter(&image);
            DrawBevelFrame(painter, image.rect(), Qt::white, Qt::black, 1);
        }
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(image.pixelColor(4, 0), QColor(Qt::white));
        QCOMPARE(image.pixelColor(0, 3), QColor(Qt::white));
        QCOMPARE(image.pixelColor(5, 0), QColor(Qt::black)); // top-right: bottom colour
        QCOMPARE(image.pixelColor(0, 4), QColor(Qt::black)); // bottom-left: bottom colour
        QCOMPARE(image.pixelColor(5, 4), QColor(Qt::black));
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::blue));
        QCOMPARE(image.pixelColor(4, 3), QColor(Qt::blue));
    }

    void bevelFrameWidthTwoAndDegenerateRects()
    {
        QImage image(6, 6, QImage::Format_RGB32);
        image.fill(Qt::blue);
        {
            QPainter painter(&image);
            DrawBevelFrame(painter, image.rect(), Qt::red, Qt::red, 2);
            // Wider than the rectangle can hold, and an empty one: no drawing outside.
            DrawBevelFrame(painter, QRect(2, 2, 2, 2), Qt::green, Qt::green, 5);
            DrawBevelFrame(painter, QRect(0, 0, 0, 0), Qt::white, Qt::white, 1);
        }
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(image.pixelColor(4, 4), QColor(Qt::red));
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::green));
        QCOMPARE(image.pixelColor(3, 3), QColor(Qt::green));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
    }

    void disabledGlyphEmbossesTheOutline()
    {
        QImage glyph(4, 4, QImage::Format_RGB32);
        glyph.fill(Qt::yellow);
        glyph.setPixelColor(1, 1, Qt::black);
        glyph.setPixelColor(3, 3, Qt::black); // its highlight falls outside
        const QImage result = MakeDisabledGlyph(glyph, Qt::black, Qt::gray, Qt::white, Qt::darkGray, true);
        QCOMPARE(result.pixelColor(1, 1), QColor(Qt::darkGray));
        QCOMPARE(result.pixelColor(2, 2), QColor(Qt::white));
        QCOMPARE(result.pixelColor(3, 3), QColor(Qt::darkGray));
        QCOMPARE(result.pixelColor(0, 0), QColor(Qt::gray)); // yellow is gone
        const QImage flat = MakeDisabledGlyph(glyph, Qt::black, Qt::gray, Qt::white, Qt::darkGray, false);
        QCOMPARE(flat.pixelColor(2, 2), QColor(Qt::gray));
    }

    void glyphImageForEachState()
    {
        const QSize strip(64, 16);
        QCOMPARE(GlyphImageRect(strip, 1, fbsDisabled), QRect(0, 0, 64, 16));
        QCOMPARE(GlyphImageRect(strip, 2, fbsDisabled), QRect(32, 0, 32, 16));
        QCOMPARE(GlyphImageRect(strip, 2, fbsLatched), QRect(0, 0, 32, 16));
        QCOMPARE(GlyphImageRect(strip, 3, fbsLatched).x(), 42);
        QCOMPARE(GlyphImageRect(strip, 3, fbsLatched).width(), 22); // the last image reaches the edge
        QCOMPARE(GlyphImageRect(strip, 4, fbsPressed), QRect(32, 0, 16, 16));
        QCOMPARE(GlyphImageRect(strip, 4, fbsLatched), QRect(48, 0, 16, 16));
    }

    void maskedImageLeavesTheKeyColourOut()
    {
        QImage target(2, 1, QImage::Format_RGB32);
        target.fill(Qt::blue);
        QImage glyph(2, 1, QImage::Format_RGB32);
        glyph.setPixelColor(0, 0, Qt::magenta);
        glyph.setPixelColor(1, 0, Qt::red);
        {
            QPainter painter(&target);
            DrawMaskedImage(painter, QPoint(0, 0), glyph, Qt::magenta);
        }
        QCOMPARE(target.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(target.pixelColor(1, 0), QColor(Qt::red));
    }
};

QTEST_GUILESS_MAIN(TestFaceLayout)
#include "tst_facelayout.moc"
