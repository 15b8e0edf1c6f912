#include "platform/strtoint.h"

#include "platform/failure.h"

namespace corvane {

int strToInt(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool ok = false;
    const int value = text.mid(i).toInt(&ok, 10);
    // toInt accepts blanks at the end; the conversion must not.
    if (!ok || text.endsWith(QLatin1Char(' ')))
        throw Failure(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace corvane
