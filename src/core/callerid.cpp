#include "core/callerid.h"

#include <QDate>

#include <algorithm>

namespace corvane {

namespace {

bool isControlOrBlank(QChar c)
{
    return c.unicode() <= 32;
}

// The first (up to) four characters of a field's value: the digits of a date
// or a time when the report is well formed.
QString digits(const QString &text, int bufferCount, int position)
{
    return fieldValue(text, bufferCount, position).left(4);
}

// Everything after the first "=", or the whole text without one.
QString afterFirstEquals(const QString &tail)
{
    return tail.sliced(tail.indexOf(QLatin1Char('=')) + 1);
}

} // namespace

QString upperAscii(const QString &text)
{
    QString result = text;
    for (QChar &c : result) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return result;
}

QString trimControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isControlOrBlank(text.at(begin)))
        ++begin;
    while (end > begin && isControlOrBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

int fieldPosition(const QString &text, const QString &name)
{
    return static_cast<int>(text.indexOf(name) + 1);
}

int nmbrPosition(const QString &text)
{
    return fieldPosition(text, QStringLiteral("NMBR"));
}

int datePosition(const QString &text)
{
    return fieldPosition(text, QStringLiteral("DATE"));
}

int timePosition(const QString &text)
{
    return fieldPosition(text, QStringLiteral("TIME"));
}

bool isCallerIdReport(const QString &upperText)
{
    return nmbrPosition(upperText) != 0;
}

QString fieldTail(const QString &text, int bufferCount, int position)
{
    // 64-bit so that no count the control could report overflows.
    const qint64 length = qint64(bufferCount) - qint64(position);
    if (length <= 0)
        return {};
    if (length >= text.size())
        return trimControls(text);
    return trimControls(text.right(static_cast<qsizetype>(length)));
}

QString fieldValue(const QString &text, int bufferCount, int position)
{
    return trimControls(afterFirstEquals(fieldTail(text, bufferCount, position)));
}

QString callerIdDateText(const QString &text, int bufferCount, int year)
{
    const QString date = digits(text, bufferCount, datePosition(text));
    return QString::number(year).rightJustified(4, QLatin1Char('0')) + QLatin1Char('-') + date.left(2) +
           QLatin1Char('-') + date.right(2);
}

QString callerIdTimeText(const QString &text, int bufferCount)
{
    const QString time = digits(text, bufferCount, timePosition(text));
    return time.left(2) + QLatin1Char(':') + time.right(2);
}

QString callerIdNumber(const QString &text, int bufferCount)
{
    // The number ends with its own line: modems send NAME, MESG or the date
    // and time after it, which belong to no number.
    const QString value = afterFirstEquals(fieldTail(text, bufferCount, nmbrPosition(text)));
    const auto lineEnd = std::find_if(value.cbegin(), value.cend(), [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n');
    });
    return trimControls(value.first(lineEnd - value.cbegin()));
}

CallerIdReport parseCallerIdReport(const QString &text, int bufferCount, int year)
{
    CallerIdReport report;
    report.dateText = callerIdDateText(text, bufferCount, year);
    report.timeText = callerIdTimeText(text, bufferCount);
    report.number = callerIdNumber(text, bufferCount);
    return report;
}

CallerIdReport parseCallerIdReport(const QString &text, int bufferCount)
{
    return parseCallerIdReport(text, bufferCount, QDate::currentDate().year());
}

} // namespace corvane
