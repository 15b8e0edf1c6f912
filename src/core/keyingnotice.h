#pragma once

#include <QString>

namespace corvane {

// What the main window's status line says while the customers' number keys
// are made in the background (CustomerKeying): empty for a keying over in a
// moment, which nobody needs to hear of.
QString keyingNotice(qint64 keyed, qint64 total);

} // namespace corvane
