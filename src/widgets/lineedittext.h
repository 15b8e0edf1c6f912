#pragma once

class QLineEdit;
class QString;

namespace corvane {

// Puts a value the program shows into an edit so that it reads from its first
// character: a long name or address too wide for the box shows its start, as
// the user reads it, not its cut-off end.
void showFromStart(QLineEdit *edit, const QString &text);

} // namespace corvane
