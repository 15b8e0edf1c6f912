#pragma once

class QDateTimeEdit;

namespace corvane {

// Gives the calendar that drops down from a date picker a one-pixel frame in
// the colour of the drop-down menus' frame, so that it does not melt into the
// window below it.
void frameCalendarPopup(QDateTimeEdit *picker);

} // namespace corvane
