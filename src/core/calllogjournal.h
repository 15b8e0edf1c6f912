#pragma once

#include "store/calllogstore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace corvane {

// A call-log row the database refused, kept until it can be written. The
// token tells the database which kept rows it already holds, so a row is
// never written twice.
struct KeptCall
{
    QUuid token;
    CallLogRow row;
};

// The journal file beside tel.mdb that keeps refused call-log rows, one line
// each, oldest first. A line carries the token, the five texts in base64 of
// their UTF-8 (so any character, a newline or a quote included, is safe) and a
// checksum: a line a crash cut short, or any other damaged line, is skipped
// without harm to the others.
class CallLogJournal
{
public:
    explicit CallLogJournal(QString path);

    const QString &path() const { return m_path; }

    // The rows kept, in the order they were added; none when there is no file.
    // Throws Failure when the file is there but cannot be read.
    QList<KeptCall> read() const;
    // Adds one row and returns only once it is on the disk. Throws Failure
    // when the file cannot be written.
    void append(const KeptCall &call);
    // Makes these rows the whole journal, all at once; no rows removes the
    // file. Throws Failure when that fails, leaving the file as it was.
    void replace(const QList<KeptCall> &calls);

private:
    QString m_path;
};

// One journal line, its newline included.
QByteArray journalLine(const KeptCall &call);
// The row of one journal line (without its newline); nothing when the line
// is damaged.
std::optional<KeptCall> parseJournalLine(QByteArrayView line);

} // namespace corvane
