#include "testsupport.h"
#include "widgets/buttonedit.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

using namespace corvane;

namespace {

int scrollBarExtent(const QWidget &widget)
{
    return widget.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &widget);
}

struct Box
{
    Box()
    {
        edit.resize(201, 22);
        edit.show();
        edit.activateWindow();
        active = QTest::qWaitForWindowActive(&edit);
    }
    QPoint onButton(int index = 0) const { return edit.buttonRect(index).center(); }

    ButtonEdit edit;
    bool active = false;
    QSignalSpy clicks{&edit, &ButtonEdit::buttonClick};
};

} // namespace

class TestButtonEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newBoxHoldsOneDefaultEllipsisButtonAtTheRight()
    {
        Box box;
        QCOMPARE(box.edit.buttons().count(), 1);
        const EditButton &button = box.edit.buttons()[0];
        QVERIFY(button.isDefault());
        QCOMPARE(button.kind(), bkEllipsis);
        const QRect rect = box.edit.buttonRect(0);
        QCOMPARE(rect.width(), scrollBarExtent(box.edit));
        QVERIFY(rect.right() < 201 && rect.right() >= 201 - 3); // inside the frame
        QCOMPARE(box.edit.textMargins().right(), rect.width());
        QCOMPARE(box.edit.textMargins().left(), 0);
    }

    void ctrlEnterClicksTheDefaultButtonAndTypesNothing()
    {
        Box box;
        QTest::keyClicks(&box.edit, QStringLiteral("A1"));
        QTest::keyClick(&box.edit, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(box.clicks.count(), 1);
        QCOMPARE(box.clicks.at(0).at(0).toInt(), 0);
        QTest::keyClick(&box.edit, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(box.clicks.count(), 2);
        QTest::keyClick(&box.edit, Qt::Key_Return);
        QTest::keyClick(&box.edit, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(box.clicks.count(), 2);
        QCOMPARE(box.edit.text(), QStringLiteral("A1"));
    }

    void clickKeyTakesTheFirstVisibleDefault()
    {
        Box box;
        box.edit.buttons().add();
        box.edit.buttons().add().setDefault(true);
        QVERIFY(!box.edit.buttons()[0].isDefault());
        QTest::keyClick(&box.edit, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(box.clicks.takeFirst().at(0).toInt(), 2);
        box.edit.buttons()[2].setVisible(false);
        QTest::keyClick(&box.edit, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(box.clicks.count(), 0);
        box.edit.setClickKey(QKeyCombination(Qt::AltModifier, Qt::Key_Down));
        box.edit.buttons()[1].setDefault(true);
        QTest::keyClick(&box.edit, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(box.clicks.takeFirst().at(0).toInt(), 1);
    }

    void mouseClickNeedsReleaseOverTheSameButton()
    {
        Box box;
        QVERIFY(box.active);
        QTest::mousePress(&box.edit, Qt::LeftButton, {}, box.onButton());
        QCOMPARE(box.edit.pressedButton(), 0);
        QVERIFY(box.edit.hasFocus());
        QTest::mouseRelease(&box.edit, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(box.clicks.count(), 0);
        QCOMPARE(box.edit.pressedButton(), -1);

        QTest::mousePress(&box.edit, Qt::LeftButton, {}, box.onButton());
        QTest::mouseMove(&box.edit, QPoint(10, 10));
        QTest::mouseMove(&box.edit, box.onButton());
        QTest::mouseRelease(&box.edit, Qt::LeftButton, {}, box.onButton());
        QCOMPARE(box.clicks.count(), 1);
        QCOMPARE(box.clicks.at(0).at(0).toInt(), 0);

        // A press in the text area is the text box's own.
        QTest::mouseClick(&box.edit, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(box.clicks.count(), 1);
        // The second press of a double click is a press too.
        QTest::mouseClick(&box.edit, Qt::LeftButton, {}, box.onButton());
        QTest::mouseDClick(&box.edit, Qt::LeftButton, {}, box.onButton());
        QTest::mouseRelease(&box.edit, Qt::LeftButton, {}, box.onButton());
        QCOMPARE(box.clicks.count(), 3);
    }

    void takingTheFocusAwayCancelsThePress()
    {
        Box box;
        QVERIFY(box.active);
        QLineEdit other;
        other.show();
        QTest::mousePress(&box.edit, Qt::LeftButton, {}, box.onButton());
        QCOMPARE(box.edit.pressedButton(), 0);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(box.edit.pressedButton(), -1);
        QTest::mouseRelease(&box.edit, Qt::LeftButton, {}, box.onButton());
        QCOMPARE(box.clicks.count(), 0);
    }

    void ninthButtonFails()
    {
        Box box;
        for (int i = 1; i < EditButtons::MaxButtons; ++i)
            box.edit.buttons().add();
        QCOMPARE(box.edit.buttons().count(), 8);
        QCOMPARE(test::failureOf([&] { box.edit.buttons().add(); }),
                 QStringLiteral("Too many buttons ( >= 8)"));
        QCOMPARE(box.edit.buttons().count(), 8);
    }

    void buttonsShareTheFrameWithTheText()
    {
        Box box;
        EditButtons &buttons = box.edit.buttons();
        const int extent = scrollBarExtent(box.edit);
        buttons.add().setWidth(30);
        EditButton &left = buttons.add();
        left.setLeftAlignment(true);
        QPixmap glyph(16, 10);
        left.setKind(bkGlyph);
        left.setGlyph(glyph);
        buttons.add().setVisible(false);

        // The last visible right-aligned button is outermost.
        const QRect first = box.edit.buttonRect(0);
        const QRect second = box.edit.buttonRect(1);
        QCOMPARE(second.width(), 30);
        QCOMPARE(first.right() + 1, second.left());
        QCOMPARE(box.edit.buttonRect(2).width(), 16 + 2);
        QVERIFY(box.edit.buttonRect(2).left() < 4);
        QVERIFY(box.edit.buttonRect(3).isEmpty());
        QCOMPARE(box.edit.textMargins().right(), extent + 30);
        QCOMPARE(box.edit.textMargins().left(), 18);

        // A hidden button cannot be clicked; indexes count every button.
        buttons[0].setVisible(false);
        QCOMPARE(box.edit.textMargins().right(), 30);
        QTest::mouseClick(&box.edit, Qt::LeftButton, {}, box.onButton(1));
        QCOMPARE(box.clicks.takeFirst().at(0).toInt(), 1);
        QCOMPARE(box.edit.buttonAt(first.center()), -1);
    }

    void loneButtonAfterRemovalIsTheDefault()
    {
        Box box;
        box.edit.buttons().add().setDefault(true);
        box.edit.buttons().remove(1);
        QVERIFY(box.edit.buttons()[0].isDefault());
        box.edit.buttons().remove(0);
        QCOMPARE(box.edit.textMargins().right(), 0);
        QTest::keyClick(&box.edit, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(box.clicks.count(), 0);
    }
};

QTEST_MAIN(TestButtonEdit)
#include "tst_buttonedit.moc"
