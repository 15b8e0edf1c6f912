#include "widgets/calendarframe.h"

#include "widgets/drawing/canvas.h"
#include "widgets/drawing/colors.h"

#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLayout>
#include <QPainter>

namespace corvane {

namespace {

// Paints the frame on the pop-up's own one-pixel margin around the calendar.
class CalendarFrame : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *popup = static_cast<QWidget *>(watched);
            QPainter painter(popup);
            frameBox(painter, Box::fromRect(popup->rect()), shadeDown(SystemColor::BtnFace, 90));
        }
        return false;
    }
};

} // namespace

void frameCalendarPopup(QDateTimeEdit *picker)
{
    QCalendarWidget *calendar = picker->calendarWidget();
    QWidget *popup = calendar ? calendar->parentWidget() : nullptr;
    if (!popup || !popup->layout())
        return;
    popup->layout()->setContentsMargins(1, 1, 1, 1);
    popup->installEventFilter(new CalendarFrame(popup));
}

} // namespace corvane
