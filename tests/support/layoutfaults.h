#pragma once

#include <QString>

class QWidget;

namespace corvane::test {

// What a user would see as a broken layout in `window`, one fault a line,
// empty when the layout is sound:
// - a visible control reaching outside its parent (and so outside the window);
// - two sibling controls on top of each other, unless one is a plain panel
//   that holds the other whole (a label laid on a panel);
// - a caption of a label, button, check box or radio button, or a table's
//   column heading, cut off;
// - with TabOrder::Reading, the editable controls (edits, combo boxes, date
//   boxes) not visited by the tab key in reading order, top to bottom and
//   left to right.
// Show the window first, so that its layouts have placed everything.
enum class TabOrder {
    Reading,
    Own, // the window has an order of its own, tested where it matters
};
QString layoutFaults(QWidget &window, TabOrder tabOrder = TabOrder::Reading);

} // namespace corvane::test
