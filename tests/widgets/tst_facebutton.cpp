#include "testsupport.h"
#include "widgets/facebutton/facebutton.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace corvane;

namespace {

const QColor Face(200, 210, 220);
const QColor Focused(10, 200, 10);
const QColor Down(200, 10, 10);
const QColor Border(10, 10, 200);

QColor pixel(QWidget *widget, int x, int y)
{
    return widget->grab().toImage().pixelColor(x, y);
}

constexpr QPoint OffScreen(5000, 5000);

// A window holding buttons, with the pointer away from them.
class Window
{
public:
    Window()
    {
        widget.resize(200, 100);
        QCursor::setPos(OffScreen);
    }

    FaceButton *add(int x = 10)
    {
        auto *button = new FaceButton(&widget);
        button->setGeometry(x, 10, 40, 30);
        button->setColor(Face);
        button->setColorFocused(Focused);
        button->setColorDown(Down);
        button->setColorBorder(Border);
        return button;
    }

    bool show()
    {
        widget.show();
        widget.activateWindow();
        return QTest::qWaitForWindowActive(&widget);
    }

    QWidget widget;
};

// Moves the pointer over `widget` and delivers the move: offscreen, moving the
// cursor alone raises no mouse-move event.
void hover(QWidget *widget, QPoint pos = {5, 5})
{
    QCursor::setPos(widget->mapToGlobal(pos));
    QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Counts the timer events the watched widgets receive: an idle button should
// not wake the program.
class TimerTicks : public QObject
{
public:
    explicit TimerTicks(const QList<QWidget *> &widgets)
    {
        for (QWidget *widget : widgets)
            widget->installEventFilter(this);
    }
    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer)
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

void clickOn(FaceButton *button)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
}

} // namespace

class TestFaceButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captionIsCentredWithoutGlyph()
    {
        FaceButton button;
        button.resize(73, 25);
        button.setCaption(QStringLiteral("OK"));
        button.grab();
        const QRect caption = button.captionRect();
        QVERIFY(qAbs(caption.center().x() - 36) <= 1);
        QVERIFY(qAbs(caption.center().y() - 12) <= 1);
    }

    void colourFollowsTheParentUntilSet()
    {
        QWidget parent;
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor(1, 2, 3));
        parent.setPalette(palette);
        auto *button = new FaceButton(&parent);
        QCOMPARE(button->color(), QColor(1, 2, 3));
        palette.setColor(QPalette::Window, QColor(4, 5, 6));
        parent.setPalette(palette);
        QCOMPARE(button->color(), QColor(4, 5, 6));
        button->setColor(Face);
        QVERIFY(!button->parentColor());
        parent.setPalette(QPalette(QColor(9, 9, 9)));
        QCOMPARE(button->color(), Face);
    }

    void advancedColoursAreDerivedFromColor()
    {
        FaceButton white;
        white.setColor(Qt::white);
        white.setUseAdvColors(true);
        QCOMPARE(white.colorFocused(), QColor::fromRgb(0x6A6A6A));
        FaceButton black;
        black.setColor(Qt::black);
        black.setUseAdvColors(true);
        QCOMPARE(black.colorFocused(), QColor::fromRgb(0x151515));
        QCOMPARE(black.colorDown(), QColor::fromRgb(0x000000));
        // A later colour does not recompute; changing an amount does.
        black.setColor(Qt::white);
        QCOMPARE(black.colorFocused(), QColor::fromRgb(0x151515));
        black.setAdvColorFocused(10);
        QCOMPARE(black.colorFocused(), QColor::fromRgb(0x6A6A6A));
    }

    void numGlyphsFollowsTheGlyphStrip()
    {
        FaceButton button;
        button.setGlyph(QImage(64, 16, QImage::Format_RGB32));
        QCOMPARE(button.numGlyphs(), int(4));
        button.setGlyph(QImage(96, 16, QImage::Format_RGB32));
        QCOMPARE(button.numGlyphs(), int(1));
        button.setNumGlyphs(3);
        button.setGlyph(QImage(40, 16, QImage::Format_RGB32));
        QCOMPARE(button.numGlyphs(), int(3));
        button.setGlyph(QImage());
        QCOMPARE(button.numGlyphs(), int(3));
    }

    void marginBelowMinusOneIsIgnored()
    {
        FaceButton button;
        button.setMargin(3);
        button.setMargin(-5);
        QCOMPARE(button.margin(), 3);
    }

    void pressDragAndRelease()
    {
        Window window;
        FaceButton *button = window.add();
        QSignalSpy clicks(button, &FaceButton::clicked);
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(button->state(), FaceButtonState::Pressed);
        QVERIFY(button->isDragging());
        QTest::mouseMove(button, QPoint(60, 5));
        QCOMPARE(button->state(), FaceButtonState::Up);
        QTest::mouseMove(button, QPoint(6, 6));
        QCOMPARE(button->state(), FaceButtonState::Pressed);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(button->state(), FaceButtonState::Up);
        QVERIFY(!button->isDragging());
        QCOMPARE(clicks.count(), 1);

        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-1, 5));
        QCOMPARE(button->state(), FaceButtonState::Up);
        QCOMPARE(clicks.count(), 1);

        QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(button->state(), FaceButtonState::Up);
    }

    void spaceDownAndUpClicks()
    {
        Window window;
        FaceButton *button = window.add();
        QSignalSpy clicks(button, &FaceButton::clicked);
        QTest::keyPress(button, Qt::Key_Space);
        QCOMPARE(button->state(), FaceButtonState::Pressed);
        QTest::keyRelease(button, Qt::Key_Space);
        QCOMPARE(button->state(), FaceButtonState::Up);
        QCOMPARE(clicks.count(), 1);
        // Enter does nothing, also to a Default button.
        button->setDefault(true);
        QTest::keyClick(button, Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
    }

    void groupLatchesOneButton()
    {
        Window window;
        FaceButton *a = window.add(0);
        FaceButton *b = window.add(50);
        FaceButton *c = window.add(100);
        for (FaceButton *button : {a, b, c})
            button->setGroupIndex(1);
        QSignalSpy clicksA(a, &FaceButton::clicked);
        clickOn(a);
        QVERIFY(a->isDown());
        QCOMPARE(a->state(), FaceButtonState::Latched);
        clickOn(b);
        QVERIFY(b->isDown());
        QVERIFY(!a->isDown());
        QCOMPARE(a->state(), FaceButtonState::Up);
        QVERIFY(!c->isDown());
        // The latched button cannot be released by clicking it, yet it clicks.
        clickOn(b);
        QVERIFY(b->isDown());
        clickOn(a);
        clickOn(a);
        QVERIFY(a->isDown());
        QCOMPARE(clicksA.count(), 3);
        a->setDown(false);
        QVERIFY(a->isDown());
    }

    void doubleClickReportsOnlyWhenDown()
    {
        Window window;
        FaceButton *button = window.add();
        QSignalSpy doubleClicks(button, &FaceButton::doubleClicked);
        QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubleClicks.count(), 0);
        button->setGroupIndex(2);
        clickOn(button);
        QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubleClicks.count(), 1);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(button->isDown());
    }

    void allowAllUpIsSharedByTheGroup()
    {
        Window window;
        FaceButton *a = window.add(0);
        FaceButton *b = window.add(50);
        a->setGroupIndex(1);
        b->setGroupIndex(1);
        b->setAllowAllUp(true);
        QVERIFY(a->allowAllUp());
        clickOn(a);
        QVERIFY(a->isDown());
        clickOn(a);
        QVERIFY(!a->isDown());
        QCOMPARE(a->state(), FaceButtonState::Up);
        // Space in a group latches on key down and releases on key up.
        QTest::keyPress(b, Qt::Key_Space);
        QVERIFY(b->isDown());
        QTest::keyRelease(b, Qt::Key_Space);
        QVERIFY(!b->isDown());
    }

    void downNeedsAGroup()
    {
        FaceButton button;
        button.setDown(true);
        QVERIFY(!button.isDown());
        QCOMPARE(button.state(), FaceButtonState::Up);
    }

    void paintedFrameAndFaceInEachState()
    {
        Window window;
        FaceButton *button = window.add();
        // Up, not hot: a one-pixel border and the face colour.
        QCOMPARE(pixel(button, 0, 0), Border);
        QCOMPARE(pixel(button, 39, 29), Border);
        QCOMPARE(pixel(button, 1, 1), Face);
        // Default: the border is two pixels wide.
        button->setDefault(true);
        QCOMPARE(pixel(button, 1, 1), Border);
        QCOMPARE(pixel(button, 2, 2), Face);
        button->setDefault(false);
        // Pressed: sunken bevel, black above, white below, and the down colour.
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(pixel(button, 0, 0), QColor(Qt::black));
        QCOMPARE(pixel(button, 39, 29), QColor(Qt::white));
        QCOMPARE(pixel(button, 5, 5), Down);
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-5, 5));
        // Disabled: flat border, the plain face colour.
        button->setEnabled(false);
        QCOMPARE(pixel(button, 0, 0), Border);
        QCOMPARE(pixel(button, 5, 5), Face);
        QCOMPARE(button->state(), FaceButtonState::Disabled);
        button->setEnabled(true);
        button->grab();
        QCOMPARE(button->state(), FaceButtonState::Up);
    }

    void screenshotOfTheStates()
    {
        Window window;
        window.widget.resize(330, 50);
        const QStringList captions{"&Up", "Default", "Latched", "Disabled"};
        QList<FaceButton *> buttons;
        for (int i = 0; i < captions.size(); ++i) {
            FaceButton *button = window.add(10 + i * 80);
            button->resize(73, 25);
            button->setCaption(captions[i]);
            buttons.append(button);
        }
        buttons[1]->setDefault(true);
        buttons[2]->setGroupIndex(1);
        buttons[2]->setDown(true);
        buttons[3]->setEnabled(false);
        test::saveScreenshot(&window.widget, QStringLiteral("face-buttons.png"));

        // What the screenshot shows, read back from the window as one picture.
        const QImage shot = window.widget.grab().toImage();
        const auto at = [&](int button, int x, int y) {
            return shot.pixelColor(buttons[button]->pos() + QPoint(x, y));
        };
        QCOMPARE(at(0, 0, 0), Border);
        QCOMPARE(at(0, 1, 1), Face);
        // The default button's border is two pixels wide.
        QCOMPARE(at(1, 1, 1), Border);
        QCOMPARE(at(1, 72, 24), Border);
        QCOMPARE(at(1, 2, 2), Face);
        // The latched one is sunken on the down colour.
        QCOMPARE(at(2, 0, 0), QColor(Qt::black));
        QCOMPARE(at(2, 72, 24), QColor(Qt::white));
        QCOMPARE(at(2, 3, 3), Down);
        QCOMPARE(at(3, 0, 0), Border);
        QCOMPARE(at(3, 3, 3), Face);
    }

    void onlyTheButtonUnderThePointerIsHot()
    {
        Window window;
        FaceButton *a = window.add(0);
        FaceButton *b = window.add(50);
        QVERIFY(window.show());
        Window other;
        other.widget.move(window.widget.frameGeometry().topRight() + QPoint(50, 0));
        FaceButton *c = other.add();
        other.widget.show();
        QSignalSpy aClicks(a, &FaceButton::clicked);
        hover(a);
        QVERIFY(a->isHot());
        // Hot: raised bevel and the focused colour.
        QCOMPARE(pixel(a, 0, 0), QColor(Qt::white));
        QCOMPARE(pixel(a, 39, 29), QColor(Qt::black));
        QCOMPARE(pixel(a, 5, 5), Focused);
        // Moving over another button cools the first at once, in another
        // window as well.
        hover(b);
        QVERIFY(!a->isHot());
        QVERIFY(b->isHot());
        hover(c);
        QVERIFY(!b->isHot());
        QVERIFY(c->isHot());
        hover(b);
        QVERIFY(!c->isHot());

        // The pointer leaves for another program's window: a tick cools the
        // button, and from then on nothing wakes it while nothing is hot.
        QCursor::setPos(OffScreen);
        QTRY_VERIFY_WITH_TIMEOUT(!b->isHot(), 1000);
        QCOMPARE(pixel(b, 5, 5), Face);
        const TimerTicks ticks({a, b, c});
        QTest::qWait(300);
        QCOMPARE(ticks.count(), 0);
        QCOMPARE(aClicks.count(), 0);
    }

    void destroyedHotButtonLeavesTheOthersTracking()
    {
        Window window;
        FaceButton *a = window.add(0);
        FaceButton *b = window.add(50);
        QVERIFY(window.show());
        hover(a);
        QVERIFY(a->isHot());
        delete a;
        hover(b);
        QVERIFY(b->isHot());
        QCursor::setPos(OffScreen);
        QTRY_VERIFY_WITH_TIMEOUT(!b->isHot(), 1000);

        // With every button gone, a new one tracks the pointer like the first.
        delete b;
        FaceButton *fresh = window.add(100);
        fresh->show();
        hover(fresh);
        QVERIFY(fresh->isHot());
        QCursor::setPos(OffScreen);
        QTRY_VERIFY_WITH_TIMEOUT(!fresh->isHot(), 1000);
    }

    void modalResultEndsTheDialog()
    {
        QDialog dialog;
        auto *ok = new FaceButton(&dialog);
        ok->setModalResult(QDialog::Accepted);
        auto *plain = new FaceButton(&dialog);
        plain->move(30, 0);
        QSignalSpy clicks(ok, &FaceButton::clicked);
        QTimer::singleShot(0, plain, [&] {
            clickOn(plain);
            QVERIFY(dialog.isVisible());
            clickOn(ok);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(clicks.count(), 1);
    }

    void acceleratorClicksWithoutFocus()
    {
        Window window;
        FaceButton *button = window.add();
        button->setCaption(QStringLiteral("&Go"));
        FaceButton *other = window.add(60);
        QVERIFY(window.show());
        QSignalSpy clicks(button, &FaceButton::clicked);
        QTest::keyClick(&window.widget, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!button->hasFocus());
        // A plain letter typed on a focused button works the same way.
        other->setFocus();
        QTest::keyClick(other, Qt::Key_G);
        QCOMPARE(clicks.count(), 2);
        button->setEnabled(false);
        QTest::keyClick(&window.widget, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks.count(), 2);
    }

    void hiddenButtonIgnoresItsLetter()
    {
        Window window;
        FaceButton *hidden = window.add();
        hidden->setCaption(QStringLiteral("&Go"));
        FaceButton *shown = window.add(60);
        shown->setCaption(QStringLiteral("&Go on"));
        FaceButton *focused = window.add(110);
        QVERIFY(window.show());
        hidden->hide();
        QSignalSpy hiddenClicks(hidden, &FaceButton::clicked);
        QSignalSpy shownClicks(shown, &FaceButton::clicked);
        focused->setFocus();
        QTest::keyClick(focused, Qt::Key_G);
        QCOMPARE(hiddenClicks.count(), 0);
        QCOMPARE(shownClicks.count(), 1);
        // Shown again, it is the first to answer.
        hidden->show();
        QTest::keyClick(focused, Qt::Key_G);
        QCOMPARE(hiddenClicks.count(), 1);
        QCOMPARE(shownClicks.count(), 1);
    }

    void disabledGlyphAndCaptionAreEmbossed()
    {
        Window window;
        FaceButton *button = window.add();
        QImage glyph(8, 8, QImage::Format_RGB32);
        glyph.fill(Qt::yellow);
        glyph.setPixelColor(3, 3, Qt::black);
        glyph.setPixelColor(0, 7, Qt::magenta); // the transparent colour corner
        button->setGlyph(glyph);
        button->setEnabled(false);
        const QImage image = button->grab().toImage();
        const QPoint origin = button->glyphOrigin();
        const QPalette palette = button->palette();
        QCOMPARE(image.pixelColor(origin + QPoint(3, 3)), palette.color(QPalette::Dark));
        QCOMPARE(image.pixelColor(origin + QPoint(4, 4)), palette.color(QPalette::Light));
        // Everything that was not black takes the back colour, the bottom-left
        // pixel of the new image, and is left out: the face shows through.
        QCOMPARE(image.pixelColor(origin + QPoint(1, 1)), Face);
    }

    void transparentShowsTheParent()
    {
        Window window;
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(1, 100, 2));
        window.widget.setPalette(palette);
        FaceButton *button = window.add();
        button->setTransparentMode(TransparentMode::Always);
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(pixel(button, 5, 5), QColor(1, 100, 2));
        QCOMPARE(pixel(button, 0, 0), QColor(Qt::black));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(pixel(button, 5, 5), QColor(1, 100, 2));
        button->setTransparentMode(TransparentMode::NotFocused);
        QVERIFY(window.show());
        button->setFocus();
        QVERIFY(button->isHot());
        QCOMPARE(pixel(button, 5, 5), Focused);
    }
};

QTEST_MAIN(TestFaceButton)
#include "tst_facebutton.moc"
