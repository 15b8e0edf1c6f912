#include "records/datepicker.h"

#include "widgets/calendarframe.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLocale>

namespace corvane {

QDateEdit *datePicker(QWidget *parent, const char *name, const QRect &place)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(QLatin1String(name));
    picker->setGeometry(place);
    picker->setCalendarPopup(true);
    frameCalendarPopup(picker);
    // The program's language decides the form (yyyy/M/d in Chinese), not the
    // system's; the week starts on Monday, as calendars in China do.
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    picker->calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    return picker;
}

} // namespace corvane
