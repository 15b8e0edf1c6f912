#pragma once

#include "core/callerid.h"

#include <QObject>
#include <QStringList>

namespace corvane {

class CallDesk;
class CallHistory;
struct Customer;

// The caller's history under the record: a known customer's last calls
// ("12-08 14:05  要两箱矿泉水"), how often a new number called before. Nothing
// for a withheld number, no call, or a read that fails: the history is a
// help, never a reason to stop the counter with a box.
class CallerHistory : public QObject
{
    Q_OBJECT
public:
    // The calls listed for a known customer.
    static constexpr int ShownCalls = 3;

    CallerHistory(CallDesk &callDesk, CallHistory &history, QObject *parent = nullptr);

    const QStringList &lines() const { return m_lines; }

Q_SIGNALS:
    void linesChanged(const QStringList &lines);

private:
    enum class Caller { None, Known, New };

    void onCallShown(const CallerIdReport &call);
    void onCustomerShown(const Customer &customer);
    void onNewNumber();
    // Read once the desk's sequence has run (a new number's box may wait
    // meanwhile), and once for several signals in a row.
    void readLater();
    void read();
    QStringList readLines();
    void setLines(const QStringList &lines);

    CallDesk &m_callDesk;
    CallHistory &m_history;
    CallerIdReport m_call;
    Caller m_caller = Caller::None;
    QString m_customerCode;
    QStringList m_lines;
    bool m_readQueued = false;
};

} // namespace corvane
