#pragma once

#include <QString>

namespace corvane {

// The one way a value enters SQL text: a complete SQL text literal, quotes
// included, that stands for exactly that value. Quotes are doubled; characters
// SQLite cannot carry inside a literal (NUL ends its reading of the statement)
// are concatenated in as char() calls, so the value arrives byte for byte.
// A value without such characters gives "'" + value + "'".
QString sqlText(const QString &value);

} // namespace corvane
