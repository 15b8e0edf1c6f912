#pragma once

#include "core/calllogjournal.h"
#include "store/calllogstore.h"
#include "store/connection.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

namespace corvane {

// Writes the call log so that no call is lost: every row goes to the journal
// first and stays there while the database refuses it (locked by another
// program, full, read-only, a server that does not answer); it is written as
// soon as the database accepts it again, in the order the calls came, and
// then dropped from the journal. Each row is written with its journal token,
// so a write that may or may not have reached the database is never doubled.
// The user is told once while the database refuses (notice). A call never
// waits long for a busy database.
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

    // Picks up the rows an earlier run kept and tries them once the event loop runs.
    void resume();
    // Logs one call. A refusal does not fail the call: the row is kept.
    void write(const CallLogRow &row);
    // Keeps a call whose number could not be looked up (the database away):
    // it is logged once written, if the number then belongs to a customer.
    // The caller has told the user already.
    void keepForLookup(const QString &adate, const QString &atime, const QString &tel);
    // Tries to write the kept rows now; true when none is left.
    bool writeKept(int waitMs = CallWaitMs);

    qsizetype keptCount() const { return m_kept.size(); }
    bool retrying() const { return m_retry.isActive(); }

Q_SIGNALS:
    // What the user is told; raised inside write(), before it returns.
    void notice(const QString &text);
    // A failure of the log's own events (the journal unreadable at start).
    void failed(const QString &message);

private:
    // Ordered: a worse notice is told even after a milder one.
    enum class Notice { None, Kept, KeptInMemory };

    void keep(const CallLogRow &row);
    void retry();
    void saveWholeJournal();
    void tell(Notice level);
    std::function<void(const QString &)> reportFailure();

    Connection m_connection;
    CallLogStore m_calls{m_connection};
    CallLogJournal m_journal;
    QString m_areaCode;
    QList<KeptCall> m_kept;
    // False once the journal could not be written: it then lacks rows m_kept holds.
    bool m_journalComplete = true;
    QString m_journalFailure;
    Notice m_told = Notice::None;
    QTimer m_retry;
};

} // namespace corvane
