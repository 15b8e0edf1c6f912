#include "settings/helpwrap.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace corvane {

namespace {

constexpr int Columns = 36;

bool isLoneCharacter(const QString &line)
{
    return std::count_if(line.cbegin(), line.cend(), [](QChar c) { return !c.isPunct() && !c.isSpace(); }) <
           2;
}

// Some paragraph wraps and its last line holds a single character.
bool leavesOneAlone(const QString &text, const QFont &font, int documentMargin, int width)
{
    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(documentMargin);
    document.setPlainText(text);
    document.setTextWidth(width);
    document.documentLayout()->documentSize();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (layout->lineCount() < 2)
            continue;
        const QTextLine last = layout->lineAt(layout->lineCount() - 1);
        if (isLoneCharacter(block.text().mid(last.textStart(), last.textLength())))
            return true;
    }
    return false;
}

} // namespace

int helpWrapWidth(const QString &text, const QFont &font, int documentMargin, int room)
{
    const int character = QFontMetrics(font).horizontalAdvance(u'中');
    for (int columns : {Columns, Columns - 1, Columns + 1, Columns - 2}) {
        const int width = columns * character + 2 * documentMargin;
        if (width <= room && !leavesOneAlone(text, font, documentMargin, width))
            return width;
    }
    return std::min(Columns * character + 2 * documentMargin, room);
}

} // namespace corvane
