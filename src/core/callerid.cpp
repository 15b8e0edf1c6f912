#include "core/callerid.h"

#include <algorithm>
#include <array>
#include <optional>

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

// The number two ASCII digits make; nothing for any other text.
std::optional<int> twoDigits(const QString &text)
{
    const auto digit = [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); };
    if (text.size() != 2 || !digit(text.at(0)) || !digit(text.at(1)))
        return std::nullopt;
    return (text.at(0).unicode() - '0') * 10 + (text.at(1).unicode() - '0');
}

int yearOfReportedDay(const QString &month, const QString &day, const QDate &today)
{
    const std::optional<int> m = twoDigits(month);
    const std::optional<int> d = twoDigits(day);
    int nearest = today.year();
    if (!m || !d)
        return nearest;
    qint64 nearestDistance = -1;
    // The clock's own year first: it wins a tie.
    for (const int year : std::array{today.year(), today.year() - 1, today.year() + 1}) {
        const QDate date(year, *m, *d);
        if (!date.isValid())
            continue;
        const qint64 distance = qAbs(today.daysTo(date));
        if (nearestDistance < 0 || distance < nearestDistance) {
            nearest = year;
            nearestDistance = distance;
        }
    }
    return nearest;
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

QString callerIdDateText(const QString &text, int bufferCount, const QDateTime &clock)
{
    if (datePosition(text) == 0)
        return clock.date().toString(QStringLiteral("yyyy-MM-dd"));
    const QString date = digits(text, bufferCount, datePosition(text));
    const QString month = date.left(2);
    const QString day = date.right(2);
    return QString::number(yearOfReportedDay(month, day, clock.date())).rightJustified(4, QLatin1Char('0')) +
           QLatin1Char('-') + month + QLatin1Char('-') + day;
}

QString callerIdTimeText(const QString &text, int bufferCount, const QDateTime &clock)
{
    if (timePosition(text) == 0)
        return clock.time().toString(QStringLiteral("HH:mm"));
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

CallerIdReport parseCallerIdReport(const QString &text, int bufferCount, const QDateTime &clock)
{
    CallerIdReport report;
    report.dateText = callerIdDateText(text, bufferCount, clock);
    report.timeText = callerIdTimeText(text, bufferCount, clock);
    report.number = callerIdNumber(text, bufferCount);
    return report;
}

CallerIdReport parseCallerIdReport(const QString &text, int bufferCount)
{
    return parseCallerIdReport(text, bufferCount, QDateTime::currentDateTime());
}

} // namespace corvane
