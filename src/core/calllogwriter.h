#pragma once

#include "core/calllogjournal.h"
#include "store/calllogstore.h"
#include "store/callstore.h"
#include "store/connection.h"
#include "store/customerstore.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace corvane {

// Writes every call the line reported so that none is lost: its row of
// table calls and, for a known customer, its call-log row. Each call goes to
// the journal first, as soon as it arrives (before its lookup, which may take
// a second on a server that stops answering), and stays there while the
// database refuses it (locked by another program, full, read-only, a server
// that does not answer); it is written as soon as the database accepts it
// again, in the order the calls came, and then dropped from the journal. A
// call whose lookup failed is looked up when it is written. Each call is
// written with its journal token, so a write that may or may not have reached
// the database is never doubled. The user is told once while the database
// refuses (notice). A call never waits long for a busy database.
class CallLogWriter : public QObject
{
    Q_OBJECT
public:
    // How long a call waits for a database another program is writing to.
    static constexpr int CallWaitMs = 250;
    // How often kept rows are tried again; these tries do not wait at all.
    static constexpr int RetryIntervalMs = 3000;

    // Writes on a connection of its own to the database of `database`. A call
    // kept for its lookup is looked up with the shop's `areaCode`.
    CallLogWriter(const Connection &database, const QString &journalPath, const QString &areaCode = {},
                  QObject *parent = nullptr);
    // A last try to write the kept rows; what cannot be written stays in the journal.
    ~CallLogWriter() override;

    // Picks up the calls an earlier run kept and tries them once the event loop runs.
    void resume();
    // A call the line reported, kept in the journal before anything else is
    // done with it; `lookup` Due while its number is still to be looked up.
    // Written once lookedUp() is told, or at the next try.
    void arrive(const QUuid &token, const CallLogRow &call, KeptCall::Lookup lookup);
    // The lookup of the call `token` found `customer` (none: a new number, or
    // no number to look up): the call is written now. A refusal does not fail
    // the call: it is kept, with what the lookup found.
    void lookedUp(const QUuid &token, const std::optional<Customer> &customer);
    // Tries to write the kept calls now; true when none is left.
    bool writeKept(int waitMs = CallWaitMs);

    qsizetype keptCount() const { return m_kept.size(); }
    bool retrying() const { return m_retry.isActive(); }

Q_SIGNALS:
    // What the user is told; raised inside lookedUp() or a try, before it returns.
    void notice(const QString &text);
    // A failure of the log's own events (the journal unreadable at start).
    void failed(const QString &message);
    // Kept calls reached the database: rows of table calls were written.
    void written();

private:
    // Ordered: a worse notice is told even after a milder one.
    enum class Notice { None, Kept, KeptInMemory };

    // Into the journal, ahead of its lookup (not waiting for the disk).
    void keep(const KeptCall &call);
    void writeKeptCall(const KeptCall &call);
    void tellRefused();
    void retry();
    void saveWholeJournal();
    void tell(Notice level);
    std::function<void(const QString &)> reportFailure();

    Connection m_connection;
    CallLogStore m_calls{m_connection};
    CallStore m_callRows{m_connection};
    CallLogJournal m_journal;
    QString m_areaCode;
    // This desk, as table calls names it.
    QString m_desk;
    QList<KeptCall> m_kept;
    // False once the journal could not be written: it then lacks rows m_kept holds.
    bool m_journalComplete = true;
    QString m_journalFailure;
    Notice m_told = Notice::None;
    QTimer m_retry;
};

} // namespace corvane
