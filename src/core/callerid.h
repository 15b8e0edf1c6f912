#pragma once

#include <QDateTime>
#include <QString>

namespace corvane {

// The three texts of one caller-ID report. Never validated: a malformed report
// gives malformed texts, not an error.
struct CallerIdReport
{
    QString number;
    QString dateText; // year, "-", month, "-", day; the PC clock's date when the report has none
    QString timeText; // hour, ":", minute; the PC clock's time when the report has none

    // The same call: same number, date text and time text.
    bool operator==(const CallerIdReport &) const = default;
};

// Changes only the ASCII letters a to z.
QString upperAscii(const QString &text);

// Removes every character whose code is 32 or below, at both ends only.
QString trimControls(const QString &text);

// 1-based position of the first occurrence of name in text, 0 when absent.
int fieldPosition(const QString &text, const QString &name);
int nmbrPosition(const QString &text);
int datePosition(const QString &text);
int timePosition(const QString &text);

// A text is a report when, upper-cased, it holds "NMBR".
bool isCallerIdReport(const QString &upperText);

// The field rule. The tail of a field starting at position is the last
// (bufferCount - position) characters of the text, trimmed; bufferCount is the
// count the serial control reported before the read, not the text's length.
// The value is the trimmed rest of the tail after its first "=".
QString fieldTail(const QString &text, int bufferCount, int position);
QString fieldValue(const QString &text, int bufferCount, int position);

// The three results, each on its own, `clock` being the PC clock's date and
// time as the report is read. The year of a reported month and day is, of the
// clock's year and the years either side, the one that puts that day nearest
// to the clock's date (a call reported at 23:59 on 31 December and read after
// midnight keeps its year); a month and day that form no date take the
// clock's year. A report without a DATE field (many lines send
// the number alone) takes the clock's date, one without TIME the clock's
// time; a field that is there gives its texts as they are. The number is the
// NMBR value up to its first line end: lines after it are not part of it.
QString callerIdDateText(const QString &text, int bufferCount, const QDateTime &clock);
QString callerIdTimeText(const QString &text, int bufferCount, const QDateTime &clock);
QString callerIdNumber(const QString &text, int bufferCount);

CallerIdReport parseCallerIdReport(const QString &text, int bufferCount, const QDateTime &clock);
// Reads the PC clock now.
CallerIdReport parseCallerIdReport(const QString &text, int bufferCount);

} // namespace corvane
