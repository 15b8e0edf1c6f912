#pragma once

class QFont;
class QString;

namespace corvane {

// The width (document margins included) at which the help text wraps: about
// 36 characters of its font, a column more or less where that keeps a
// wrapped paragraph from ending in a line of a single character; never wider
// than `room`, where the text simply wraps at the window's width.
int helpWrapWidth(const QString &text, const QFont &font, int documentMargin, int room);

} // namespace corvane
