#include "testsupport.h"
#include "widgets/controlframes/controlkind.h"
#include "widgets/controlframes/framepainters.h"
#include "widgets/menuskin/menuskin.h"

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace corvane;

namespace {

const QColor face(236, 233, 216);

QFrame *panel(QWidget *parent, QRect geometry)
{
    auto *p = new QFrame(parent);
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    p->setLineWidth(1);
    p->setGeometry(geometry);
    return p;
}

void enter(QWidget *w)
{
    QEnterEvent event(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QApplication::sendEvent(w, &event);
}

void leave(QWidget *w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}

QImage shot(QWidget *w)
{
    return w->grab().toImage();
}

QColor leftEdge(QWidget *w)
{
    return shot(w).pixelColor(0, w->height() / 2);
}

QColor rightEdge(QWidget *w)
{
    return shot(w).pixelColor(w->width() - 1, w->height() / 2);
}

bool contains(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject
{
    explicit PaintCounter(QWidget *w) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

// The main window's arrangement in small: panels on the form, edit boxes and
// a glyph button on the panels.
struct Form
{
    Form()
    {
        form.resize(320, 200);
        focusSink->setGeometry(10, 150, 100, 22);
        edit->setGeometry(10, 10, 120, 22);
        button->setGeometry(140, 10, 105, 41);
        skin->setGlyphButton(button);
        tagged->setGeometry(10, 40, 120, 22);
        skin->keepOwnLook(tagged);
        skin->keepOwnLook(taggedPanel);
        inTaggedPanel->setGeometry(5, 5, 100, 22);
        skin->setActive(true);
        form.show();
        form.activateWindow();
        exposed = QTest::qWaitForWindowActive(&form);
        focusSink->setFocus();
    }

    QWidget form;
    QLineEdit *focusSink = new QLineEdit(&form);
    QFrame *upper = panel(&form, {0, 0, 320, 73});
    QFrame *taggedPanel = panel(&form, {0, 80, 320, 60});
    QLineEdit *edit = new QLineEdit(upper);
    QPushButton *button = new QPushButton(QStringLiteral("Save"), upper);
    QLineEdit *tagged = new QLineEdit(upper);
    QLineEdit *inTaggedPanel = new QLineEdit(taggedPanel);
    MenuSkin *skin = new MenuSkin(&form);
    bool exposed = false;
};

} // namespace

class TestControlFrames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, face);
        palette.setColor(QPalette::Window, face);
        palette.setColor(QPalette::Highlight, QColor(49, 106, 197));
        palette.setColor(QPalette::Dark, QColor(172, 168, 153));
        QApplication::setPalette(palette);
        QFont font = QApplication::font();
        font.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(font);
    }

    void kindsAndContainersDecideWhatIsHooked()
    {
        Form f;
        QCOMPARE(controlKind(f.edit), ControlKind::Edit);
        QCOMPARE(controlKind(f.button), ControlKind::Button);
        QCOMPARE(controlKind(f.button, true), ControlKind::GlyphButton);
        QPushButton withIcon;
        QPixmap icon(16, 16);
        icon.fill(Qt::red);
        withIcon.setIcon(icon);
        QCOMPARE(controlKind(&withIcon), ControlKind::GlyphButton);
        QCOMPARE(controlKind(f.upper), ControlKind::Panel);
        QLineEdit masked;
        masked.setInputMask(QStringLiteral("999"));
        QCOMPARE(controlKind(&masked), ControlKind::MaskedEdit);
        const auto edit = ControlKind::Edit;
        QVERIFY(qualifiesForFrame(f.edit, edit, &f.form, AllSkinControls, AllSkinContainers));
        QVERIFY(!qualifiesForFrame(f.edit, edit, &f.form, AllSkinControls & ~SkinControls(SkinControl::Edit),
                                   AllSkinContainers));
        QVERIFY(!qualifiesForFrame(f.edit, edit, &f.form, AllSkinControls,
                                   AllSkinContainers & ~SkinContainers(SkinContainer::Panel)));
        QWidget otherWindow(&f.form, Qt::Dialog);
        QLineEdit onDialog(&otherWindow);
        QVERIFY(!qualifiesForFrame(&onDialog, edit, &f.form, AllSkinControls, AllSkinContainers));
    }

    void controlsThatKeepTheirOwnLookAreLeftAlone()
    {
        Form f;
        QVERIFY(f.exposed);
        for (QWidget *w : {static_cast<QWidget *>(f.edit), static_cast<QWidget *>(f.tagged),
                           static_cast<QWidget *>(f.inTaggedPanel)})
            w->repaint();
        // A hooked edit gives up its own frame for the flat one.
        QVERIFY(!f.edit->hasFrame());
        QVERIFY(f.tagged->hasFrame());
        QVERIFY(f.inTaggedPanel->hasFrame());
    }

    void editFrameIsDarkWhenIdleAndLightWhenHotOrFocused()
    {
        Form f;
        QVERIFY(f.exposed);
        const QColor idle = shadeDown(face, 60);
        const QColor light = blendToWhite(SystemColor::Highlight, 60);
        QCOMPARE(leftEdge(f.edit), idle);
        QCOMPARE(shot(f.edit).pixelColor(f.edit->width() / 2, 0), idle);
        test::saveScreenshot(f.upper, QStringLiteral("controlframes-edit-idle.png"));

        enter(f.edit);
        QCOMPARE(leftEdge(f.edit), light);
        QCOMPARE(rightEdge(f.edit), light);
        test::saveScreenshot(f.upper, QStringLiteral("controlframes-edit-hot.png"));
        leave(f.edit);
        QCOMPARE(leftEdge(f.edit), idle);

        f.edit->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return f.edit->hasFocus(); }));
        QCOMPARE(leftEdge(f.edit), light);
        enter(f.edit);
        leave(f.edit);
        QCOMPARE(leftEdge(f.edit), light); // still focused
        QVERIFY(!f.edit->hasFrame());
    }

    void memoKeepsAPlainBorderUnderTheFrameAndGetsItsOwnBack()
    {
        Form f;
        auto *memo = new QPlainTextEdit(f.taggedPanel->parentWidget());
        memo->setGeometry(10, 150, 100, 40);
        memo->show();
        const int ownStyle = memo->frameStyle();
        f.skin->setActive(false);
        f.skin->setActive(true);
        QCOMPARE(leftEdge(memo), shadeDown(face, 60));
        QCOMPARE(memo->frameStyle(), int(QFrame::Box | QFrame::Plain));
        f.skin->setActive(false);
        leftEdge(memo);
        QCOMPARE(memo->frameStyle(), ownStyle);
    }

    void taggedControlsKeepTheirOrdinaryLook()
    {
        Form f;
        const QColor idle = shadeDown(face, 60);
        QVERIFY(leftEdge(f.tagged) != idle);
        QVERIFY(leftEdge(f.inTaggedPanel) != idle);
        QVERIFY(f.tagged->hasFrame());
        QVERIFY(f.inTaggedPanel->hasFrame());
    }

    void pressedButtonShowsItsEdgeOnlyWhileTheMouseIsOverIt()
    {
        Form f;
        QVERIFY(f.exposed);
        const QColor shadow = SkinColor(SystemColor::BtnShadow).resolved();
        // Idle: raised edge at the right and bottom, outline at the left.
        QCOMPARE(rightEdge(f.button), shadeDown(shadow, 50));
        QCOMPARE(leftEdge(f.button), blendToWhite(shadow, 30));

        const QColor hotEdge = blendToWhite(SystemColor::Highlight, 60);
        enter(f.button);
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(leftEdge(f.button), shadeDown(hotEdge, 50));
        QCOMPARE(shot(f.button).pixelColor(50, 0), shadeDown(hotEdge, 50));
        QCOMPARE(rightEdge(f.button), blendToWhite(hotEdge, 30));
        QCOMPARE(shot(f.button).pixelColor(8, 20), blendToWhite(SystemColor::BtnFace, 60));
        test::saveScreenshot(f.upper, QStringLiteral("controlframes-button-pressed.png"));

        QTest::mouseMove(f.button, QPoint(200, 60));
        QCOMPARE(leftEdge(f.button), blendToWhite(hotEdge, 30));
        QCOMPARE(rightEdge(f.button), shadeDown(hotEdge, 50)); // focused: lit edge, raised
        QTest::mouseMove(f.button, QPoint(10, 10));
        QCOMPARE(leftEdge(f.button), shadeDown(hotEdge, 50));
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(rightEdge(f.button), shadeDown(hotEdge, 50));
    }

    void spaceHoldsThePressedEdgeUntilReleased()
    {
        Form f;
        QVERIFY(f.exposed);
        f.button->setFocus();
        QVERIFY(QTest::qWaitFor([&] { return f.button->hasFocus(); }));
        const QColor lit = blendToWhite(SystemColor::Highlight, 60);
        QTest::keyPress(f.button, Qt::Key_Space);
        QCOMPARE(leftEdge(f.button), shadeDown(lit, 50));
        // Key repeat while held asks for no further painting (updates are
        // delivered on a short timer, hence the waits).
        QTest::qWait(50);
        PaintCounter paints(f.button);
        QKeyEvent again(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(f.button, &again);
        QTest::qWait(50);
        QCOMPARE(paints.count, 0);
        f.button->update();
        QTest::qWait(50);
        QCOMPARE(paints.count, 1); // the counter does see paints
        QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(f.button, &repeat);
        QCOMPARE(leftEdge(f.button), shadeDown(lit, 50));
        QTest::keyRelease(f.button, Qt::Key_Space);
        QCOMPARE(leftEdge(f.button), blendToWhite(lit, 30));
    }

    void disabledButtonHasNoEdgeAndAGrayCaption()
    {
        Form f;
        f.button->setEnabled(false);
        const QColor outline = blendToWhite(SkinColor(SystemColor::BtnShadow).resolved(), 30);
        QCOMPARE(leftEdge(f.button), outline);
        QCOMPARE(rightEdge(f.button), outline);
        const QImage image = shot(f.button);
        QVERIFY(contains(image, blendToWhite(SystemColor::BtnShadow, 10)));
        QVERIFY(!contains(image, Qt::black));
    }

    void panelGetsOneLightAndDarkRing()
    {
        Form f;
        const QImage image = shot(f.upper);
        const QColor light = blendToWhite(face, 60);
        const QColor dark = shadeDown(face, 60);
        const int right = f.upper->width() - 1;
        const int bottom = f.upper->height() - 1;
        QCOMPARE(image.pixelColor(0, 0), light);
        QCOMPARE(image.pixelColor(50, 0), light);
        QCOMPARE(image.pixelColor(0, 30), light);
        QCOMPARE(image.pixelColor(right, 0), dark);
        QCOMPARE(image.pixelColor(right, 30), dark);
        QCOMPARE(image.pixelColor(50, bottom), dark);
        QCOMPARE(image.pixelColor(0, bottom), dark);
        QCOMPARE(image.pixelColor(1, 30), face);
    }

    void frame3DPaintsOnlyTheRingsThatFit()
    {
        const QColor top(255, 0, 0);
        const QColor bottom(0, 0, 255);
        QImage canvas(5, 5, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        frame3D(painter, {0, 0, 5, 5}, 3, top, bottom);
        frame3D(painter, {0, 0, 1, 5}, 1, bottom, bottom);
        painter.end();
        QCOMPARE(canvas.pixelColor(1, 1), top);
        QCOMPARE(canvas.pixelColor(3, 1), bottom);
        QCOMPARE(canvas.pixelColor(1, 3), bottom);
        QCOMPARE(canvas.pixelColor(0, 3), top);
        // Two rings fit in five pixels; the middle one and a one-pixel column
        // get none.
        QCOMPARE(canvas.pixelColor(2, 2), QColor(Qt::white));
    }

    void inactiveSkinGivesEachControlItsOwnLookAtItsNextEvent()
    {
        Form f;
        const QColor idle = shadeDown(face, 60);
        QCOMPARE(leftEdge(f.edit), idle);
        QVERIFY(!f.edit->hasFrame());
        f.skin->setActive(false);
        enter(f.edit);
        QVERIFY(f.edit->hasFrame());
        QVERIFY(leftEdge(f.edit) != idle);
        leave(f.edit);
        f.skin->setActive(true);
        QCOMPARE(leftEdge(f.edit), idle);
    }

    void toolButtonsRadiosAndCombosGetTheirFlatMarks()
    {
        Form f;
        auto *down = new QToolButton(f.upper);
        down->setCheckable(true);
        down->setChecked(true);
        down->setGeometry(250, 10, 30, 30);
        auto *flat = new QToolButton(f.upper);
        flat->setAutoRaise(true);
        flat->setGeometry(285, 10, 30, 30);
        auto *radio = new QRadioButton(QStringLiteral("R"), f.upper);
        radio->setChecked(true);
        radio->setGeometry(140, 52, 60, 20);
        auto *combo = new QComboBox(&f.form);
        combo->setGeometry(140, 150, 120, 22);
        for (QWidget *added : std::initializer_list<QWidget *>{down, flat, radio, combo})
            added->show();
        f.skin->setActive(false);
        f.skin->setActive(true);

        const QColor shadow = SkinColor(SystemColor::BtnShadow).resolved();
        QCOMPARE(shot(down).pixelColor(15, 15), blendToWhite(SystemColor::Highlight, 80));
        QCOMPARE(leftEdge(down), shadeDown(shadow, 50));
        // An auto-raise button shows no frame until the mouse is over it.
        QCOMPARE(leftEdge(flat), face);
        enter(flat);
        QCOMPARE(rightEdge(flat), shadeDown(blendToWhite(SystemColor::Highlight, 60), 50));

        const int size = radio->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, radio);
        const int top = 4 + (radio->height() - 8 - size) / 2;
        QCOMPARE(shot(radio).pixelColor(size / 2, top + size / 2),
                 SkinColor(SystemColor::Highlight).resolved());

        const QImage comboShot = shot(combo);
        QCOMPARE(comboShot.pixelColor(combo->width() - 4, 3), SkinColor(SystemColor::BtnFace).resolved());
        QCOMPARE(comboShot.pixelColor(0, 10), face);
    }

    void toolButtonPaintsItselfOnceTheSkinIsInactive()
    {
        Form f;
        auto *hooked = new QToolButton(f.upper);
        hooked->setGeometry(250, 10, 30, 30);
        auto *plain = new QToolButton(f.upper);
        plain->setGeometry(285, 10, 30, 30);
        f.skin->keepOwnLook(plain);
        hooked->show();
        plain->show();
        f.skin->setActive(false);
        f.skin->setActive(true);
        QVERIFY(shot(hooked) != shot(plain));
        f.skin->setActive(false);
        // Its first paint while inactive is its own, not swallowed.
        QCOMPARE(shot(hooked), shot(plain));
    }

    void destroyedControlsAndSkinsLeaveNoHookBehind()
    {
        Form f;
        delete f.edit;
        f.edit = nullptr;
        f.skin->setActive(false);
        f.skin->setActive(true);
        QCOMPARE(leftEdge(f.focusSink), blendToWhite(SystemColor::Highlight, 60));
        QVERIFY(!f.focusSink->hasFrame());
        delete f.skin;
        f.skin = nullptr;
        QVERIFY(f.focusSink->hasFrame());
        QVERIFY(leftEdge(f.focusSink) != blendToWhite(SystemColor::Highlight, 60));
    }
};

QTEST_MAIN(TestControlFrames)
#include "tst_controlframes.moc"
