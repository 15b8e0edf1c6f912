#pragma once

#include <QString>

namespace corvane {

// The built-in user instructions: two sections, an empty line between them and
// one at the end.
QString helpText();

} // namespace corvane
