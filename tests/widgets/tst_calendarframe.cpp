#include "testsupport.h"
#include "widgets/calendarframe.h"
#include "widgets/drawing/colors.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QTest>

using namespace corvane;

class TestCalendarFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void droppedDownCalendarHasAOnePixelFrame()
    {
        QDateEdit picker;
        picker.setCalendarPopup(true);
        frameCalendarPopup(&picker);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCalendarWidget *calendar = picker.calendarWidget();
        QWidget *popup = calendar->parentWidget();
        popup->show();
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        // The calendar sits one pixel in, and that pixel all round is the frame.
        QCOMPARE(calendar->geometry(), popup->rect().adjusted(1, 1, -1, -1));
        const QImage shot = popup->grab().toImage();
        const QColor frame = shadeDown(SystemColor::BtnFace, 90);
        const int right = shot.width() - 1;
        const int bottom = shot.height() - 1;
        for (int x = 0; x <= right; ++x) {
            QCOMPARE(shot.pixelColor(x, 0), frame);
            QCOMPARE(shot.pixelColor(x, bottom), frame);
        }
        for (int y = 0; y <= bottom; ++y) {
            QCOMPARE(shot.pixelColor(0, y), frame);
            QCOMPARE(shot.pixelColor(right, y), frame);
        }
        test::saveScreenshot(popup, QStringLiteral("calendar-popup.png"));
        popup->hide();
    }
};

QTEST_MAIN(TestCalendarFrame)
#include "tst_calendarframe.moc"
