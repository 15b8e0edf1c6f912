#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace corvane::csv {

// One record of a comma-separated file: its fields with quotes taken off, and
// the line it starts on (1-based), to name it in a report.
struct Record
{
    QStringList fields;
    int line = 0;
    // The line breaks the quoting rules (a quote inside an unquoted field,
    // text after a closing quote); its fields are not to be trusted.
    bool malformed = false;
};

struct Table
{
    QList<Record> records;
    // Where a quoted field opens that no quote closes: from there on the file
    // cannot be read, it is cut off or damaged. 0 when none.
    int unclosedQuoteLine = 0;
};

// Reads comma-separated text: fields in double quotes may hold commas, line
// breaks and doubled quotes; records end at CR LF, LF or CR. Blank lines are
// left out.
Table parse(QStringView text);

// One record as a line of comma-separated text, ending in CR LF; a field is
// quoted only when it holds a comma, a quote or a line break, and written as
// guarded() gives it.
QString line(const QStringList &fields);

// A spreadsheet takes a cell that begins with =, +, -, @, a tab or a carriage
// return for a formula; such a field is written after an apostrophe. So is
// one that already begins with apostrophes before such a character, so that
// unguarded() gives every field back as it was.
QString guarded(const QString &field);
QString unguarded(const QString &field);

} // namespace corvane::csv
