#pragma once

#include "store/calllogstore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUuid>

#include <future>
#include <optional>

class QFile;

namespace corvane {

// A call the database does not hold yet, kept until it can be written: its
// row of table calls and, for a known customer, its call-log row. The token
// tells the database which kept calls it already holds, so a call is never
// written twice.
struct KeptCall
{
    // Whether the number is still to be looked up when the call is written:
    // kept before its lookup, or the lookup failed.
    enum class Lookup { Done, Due };

    QUuid token;
    // The customer's code and name are set for a known customer.
    CallLogRow row;
    // The PC clock at the report, yyyy-MM-dd HH:mm:ss.
    QString taken{};
    // The host name of the desk; empty in a line an older version wrote,
    // which this desk wrote.
    QString desk{};
    Lookup lookup = Lookup::Done;
};

// The journal file beside tel.mdb that keeps the calls the database does not
// hold yet, one line each, oldest first. A line carries the token, the texts
// in base64 of their UTF-8 (so any character, a newline or a quote included,
// is safe), whether the lookup is due, and a checksum: a line a crash cut short, or any other damaged line,
// is skipped without harm to the others. Lines an older version wrote, which
// hold a call-log row alone, are read too.
class CallLogJournal
{
public:
    explicit CallLogJournal(QString path);
    // Waits for a sync still running.
    ~CallLogJournal();
    CallLogJournal(const CallLogJournal &) = delete;
    CallLogJournal &operator=(const CallLogJournal &) = delete;

    const QString &path() const { return m_path; }

    // The calls kept, in the order they were added; none when there is no
    // file. Throws Failure when the file is there but cannot be read.
    QList<KeptCall> read() const;
    // Adds one call without waiting for the disk: the line outlives the
    // program at once, and reaches the disk within one sync, which runs on a
    // thread of its own beside what the caller does next (a lookup that may
    // take a second). Throws Failure when the file cannot be written.
    void append(const KeptCall &call);
    // Makes these calls the whole journal, all at once; no calls removes the
    // file. Throws Failure when that fails, leaving the file as it was.
    void replace(const QList<KeptCall> &calls);

private:
    // Writes the line through `file`, not yet open; true when it made the file.
    bool write(QFile &file, const KeptCall &call);

    QString m_path;
    std::future<void> m_sync;
};

// One journal line, its newline included.
QByteArray journalLine(const KeptCall &call);
// The row of one journal line (without its newline); nothing when the line
// is damaged.
std::optional<KeptCall> parseJournalLine(QByteArrayView line);

} // namespace corvane
