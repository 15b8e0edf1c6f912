#include "widgets/drawing/canvas.h"
#include "widgets/drawing/glyphcaptionlayout.h"
#include "widgets/facebutton/facepainting.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace corvane;

namespace {

// area 100 x 40, glyph 16 x 16, caption 30 x 12
GlyphCaptionPlaces place(GlyphPosition position, int margin = -1, int spacing = 4, QSize glyph = {16, 16},
                         QSize caption = {30, 12}, Rounding rounding = Rounding::Up)
{
    GlyphCaptionRequest request;
    request.area = QRect(0, 0, 100, 40);
    request.glyph = glyph;
    request.caption = caption;
    request.position = position;
    request.margin = margin;
    request.spacing = spacing;
    request.rounding = rounding;
    return layoutGlyphAndCaption(request);
}

} // namespace

class TestFaceLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachPositionWithGlyphAndCaption_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QPoint>("glyph");
        QTest::addColumn<QPoint>("caption");
        // Margin -1 centres the pair along the layout axis, spacing 4 between them.
        QTest::newRow("left") << int(GlyphPosition::Left) << QPoint(25, 12) << QPoint(45, 14);
        QTest::newRow("right") << int(GlyphPosition::Right) << QPoint(59, 12) << QPoint(25, 14);
        QTest::newRow("top") << int(GlyphPosition::Top) << QPoint(42, 4) << QPoint(35, 24);
        QTest::newRow("bottom") << int(GlyphPosition::Bottom) << QPoint(42, 20) << QPoint(35, 4);
    }

    void eachPositionWithGlyphAndCaption()
    {
        QFETCH(int, position);
        QFETCH(QPoint, glyph);
        QFETCH(QPoint, caption);
        const GlyphCaptionPlaces result = place(GlyphPosition(position));
        QCOMPARE(result.glyph, glyph);
        QCOMPARE(result.caption, QRect(caption, QSize(30, 12)));
    }

    // An odd pixel left over: the face button gives it to the glyph's side
    // and below, the flat push buttons to the right and below the block.
    void oddPixelsFollowTheRounding_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("rounding");
        QTest::addColumn<QPoint>("glyph");
        QTest::addColumn<QPoint>("caption");
        const int up = int(Rounding::Up);
        const int down = int(Rounding::Down);
        QTest::newRow("left up") << int(GlyphPosition::Left) << up << QPoint(25, 12) << QPoint(45, 14);
        QTest::newRow("left down") << int(GlyphPosition::Left) << down << QPoint(24, 12) << QPoint(44, 13);
        QTest::newRow("right up") << int(GlyphPosition::Right) << up << QPoint(59, 12) << QPoint(24, 14);
        QTest::newRow("right down") << int(GlyphPosition::Right) << down << QPoint(59, 12) << QPoint(24, 13);
        QTest::newRow("top up") << int(GlyphPosition::Top) << up << QPoint(42, 4) << QPoint(35, 24);
        QTest::newRow("top down") << int(GlyphPosition::Top) << down << QPoint(42, 3) << QPoint(34, 23);
        QTest::newRow("bottom up") << int(GlyphPosition::Bottom) << up << QPoint(42, 20) << QPoint(35, 3);
        QTest::newRow("bottom down") << int(GlyphPosition::Bottom) << down << QPoint(42, 20) << QPoint(34, 3);
    }

    void oddPixelsFollowTheRounding()
    {
        QFETCH(int, position);
        QFETCH(int, rounding);
        QFETCH(QPoint, glyph);
        QFETCH(QPoint, caption);
        const GlyphCaptionPlaces result =
            place(GlyphPosition(position), -1, 4, QSize(16, 16), QSize(31, 13), Rounding(rounding));
        QCOMPARE(result.glyph, glyph);
        QCOMPARE(result.caption, QRect(caption, QSize(31, 13)));
    }

    void withoutGlyphOrSpacingTheCaptionIsCentred_data()
    {
        QTest::addColumn<int>("position");
        QTest::newRow("left") << int(GlyphPosition::Left);
        QTest::newRow("right") << int(GlyphPosition::Right);
        QTest::newRow("top") << int(GlyphPosition::Top);
        QTest::newRow("bottom") << int(GlyphPosition::Bottom);
    }

    void withoutGlyphOrSpacingTheCaptionIsCentred()
    {
        QFETCH(int, position);
        const GlyphCaptionPlaces result = place(GlyphPosition(position), -1, 0, QSize(0, 0));
        QCOMPARE(result.caption, QRect(35, 14, 30, 12));
    }

    void spacingWithoutAGlyphStillShiftsTheCaption()
    {
        // A push button laid out for a glyph it does not have.
        const GlyphCaptionPlaces result =
            place(GlyphPosition::Left, -1, 4, QSize(0, 0), QSize(30, 12), Rounding::Down);
        QCOMPARE(result.caption.x(), 37);
    }

    void glyphAloneIsCentred()
    {
        const GlyphCaptionPlaces result = place(GlyphPosition::Top, -1, 0, QSize(16, 16), QSize(0, 0));
        QCOMPARE(result.glyph, QPoint(42, 12));
        QCOMPARE(result.caption.size(), QSize(0, 0));
    }

    void freeMarginAndSpacingShareTheSpace()
    {
        // Both -1: thirds of the free width.
        GlyphCaptionPlaces result = place(GlyphPosition::Left, -1, -1);
        QCOMPARE(result.glyph.x(), 18);
        QCOMPARE(result.caption.x(), 52);
        // A fixed margin with spacing -1: the spacing takes half of what is left.
        result = place(GlyphPosition::Left, 5, -1);
        QCOMPARE(result.glyph.x(), 5);
        QCOMPARE(result.caption.x(), 45);
        // A fixed margin and spacing are used as given.
        result = place(GlyphPosition::Bottom, 2, 1);
        QCOMPARE(result.glyph.y(), 22);
        QCOMPARE(result.caption.y(), 9);
    }

    void theAreaOriginMovesBoth()
    {
        GlyphCaptionRequest request;
        request.area = QRect(3, 4, 100, 40);
        request.glyph = QSize(16, 16);
        request.caption = QSize(30, 12);
        const GlyphCaptionPlaces result = layoutGlyphAndCaption(request);
        QCOMPARE(result.glyph, QPoint(28, 16));
        QCOMPARE(result.caption, QRect(48, 18, 30, 12));
    }

    void halvesTruncateTowardZero()
    {
        // A caption wider than the button: (10 - 30 + 1) / 2 = -9, not -10.
        GlyphCaptionRequest request;
        request.area = QRect(0, 0, 10, 10);
        request.caption = QSize(30, 12);
        request.position = GlyphPosition::Top;
        request.spacing = 0;
        const GlyphCaptionPlaces result = layoutGlyphAndCaption(request);
        QCOMPARE(result.caption.x(), -9);
        QCOMPARE(result.caption.y(), 0); // -1 / 2 is 0
    }

    void bevelFrameCorners()
    {
        QImage image(6, 5, QImage::Format_RGB32);
        image.fill(Qt::blue);
        {
            QPainter painter(&image);
            drawBevelFrame(painter, image.rect(), Qt::white, Qt::black, 1);
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
            drawBevelFrame(painter, image.rect(), Qt::red, Qt::red, 2);
            // Wider than the rectangle can hold, and an empty one: no drawing outside.
            drawBevelFrame(painter, QRect(2, 2, 2, 2), Qt::green, Qt::green, 5);
            drawBevelFrame(painter, QRect(0, 0, 0, 0), Qt::white, Qt::white, 1);
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
        const QImage result = disabledGlyph(glyph, Qt::black, Qt::gray, Qt::white, Qt::darkGray, true);
        QCOMPARE(result.pixelColor(1, 1), QColor(Qt::darkGray));
        QCOMPARE(result.pixelColor(2, 2), QColor(Qt::white));
        QCOMPARE(result.pixelColor(3, 3), QColor(Qt::darkGray));
        QCOMPARE(result.pixelColor(0, 0), QColor(Qt::gray)); // yellow is gone
        const QImage flat = disabledGlyph(glyph, Qt::black, Qt::gray, Qt::white, Qt::darkGray, false);
        QCOMPARE(flat.pixelColor(2, 2), QColor(Qt::gray));
    }

    void glyphImageForEachState()
    {
        const QSize strip(64, 16);
        QCOMPARE(glyphImageRect(strip, 1, FaceButtonState::Disabled), QRect(0, 0, 64, 16));
        QCOMPARE(glyphImageRect(strip, 2, FaceButtonState::Disabled), QRect(32, 0, 32, 16));
        QCOMPARE(glyphImageRect(strip, 2, FaceButtonState::Latched), QRect(0, 0, 32, 16));
        QCOMPARE(glyphImageRect(strip, 3, FaceButtonState::Latched).x(), 42);
        QCOMPARE(glyphImageRect(strip, 3, FaceButtonState::Latched).width(),
                 22); // the last image reaches the edge
        QCOMPARE(glyphImageRect(strip, 4, FaceButtonState::Pressed), QRect(32, 0, 16, 16));
        QCOMPARE(glyphImageRect(strip, 4, FaceButtonState::Latched), QRect(48, 0, 16, 16));
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
            drawMaskedImage(painter, QPoint(0, 0), glyph, Qt::magenta);
        }
        QCOMPARE(target.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(target.pixelColor(1, 0), QColor(Qt::red));
    }
};

QTEST_GUILESS_MAIN(TestFaceLayout)
#include "tst_facelayout.moc"
