#pragma once

#include <QString>

namespace corvane {

// Converts a decimal text to an integer the way the program's settings code
// expects: optional blanks before, optional sign, digits, nothing after.
// Anything else throws Failure("'<text>' is not a valid integer value").
int strToInt(const QString &text);

} // namespace corvane
