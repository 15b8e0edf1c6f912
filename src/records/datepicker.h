#pragma once

#include <QRect>

class QDateEdit;
class QWidget;

namespace corvane {

// A date box of the query windows, its calendar in the flat frame.
QDateEdit *datePicker(QWidget *parent, const char *name, const QRect &place);

} // namespace corvane
