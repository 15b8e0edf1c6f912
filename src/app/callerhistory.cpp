#include "app/callerhistory.h"

#include "core/calldesk.h"
#include "platform/handlerboundary.h"
#include "store/callhistory.h"
#include "store/numberkey.h"

#include <QDateTime>
#include <QTimer>

namespace corvane {

namespace {

// "12-08 14:05  要两箱矿泉水"; a call of another year shows its year. A time
// written in another form (by another program) is shown as it is.
QString lineOf(const EarlierCall &call)
{
    const QDateTime taken = QDateTime::fromString(call.taken, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString when = call.taken;
    if (taken.isValid())
        when = taken.toString(taken.date().year() == QDate::currentDate().year()
                                  ? QStringLiteral("MM-dd HH:mm")
                                  : QStringLiteral("yyyy-MM-dd HH:mm"));
    // One call, one line, whatever was typed in the note.
    const QString note = call.note.simplified();
    return note.isEmpty() ? when : when + QStringLiteral("  ") + note;
}

} // namespace

CallerHistory::CallerHistory(CallDesk &callDesk, CallHistory &history, QObject *parent)
    : QObject(parent), m_callDesk(callDesk), m_history(history)
{
    connect(&callDesk, &CallDesk::callShown, this, &CallerHistory::onCallShown);
    connect(&callDesk, &CallDesk::customerShown, this, &CallerHistory::onCustomerShown);
    connect(&callDesk, &CallDesk::newNumber, this, &CallerHistory::onNewNumber);
    connect(&callDesk, &CallDesk::callsChanged, this, &CallerHistory::readLater);
}

void CallerHistory::onCallShown(const CallerIdReport &call)
{
    // A repeat of the call keeps its history; another call, or the number
    // handed on to the entry form, has none until its lookup tells whose it is.
    if (call == m_call)
        return;
    m_call = call;
    m_caller = Caller::None;
    readLater();
}

void CallerHistory::onCustomerShown(const Customer &customer)
{
    // An empty record: a withheld number, a new one (newNumber follows) or a
    // lookup that failed.
    m_customerCode = customer.customerCode;
    m_caller = m_customerCode.isEmpty() ? Caller::None : Caller::Known;
    readLater();
}

void CallerHistory::onNewNumber()
{
    m_caller = Caller::New;
    readLater();
}

void CallerHistory::readLater()
{
    if (std::exchange(m_readQueued, true))
        return;
    QTimer::singleShot(0, this, &CallerHistory::read);
}

void CallerHistory::read()
{
    m_readQueued = false;
    runGuarded([this] { setLines(readLines()); }, [this](const QString &) { setLines({}); });
}

QStringList CallerHistory::readLines()
{
    const QString &shownToken = m_callDesk.shownCallToken();
    QStringList lines;
    if (m_caller == Caller::Known) {
        for (const EarlierCall &call : m_history.lastCalls(m_customerCode, shownToken, ShownCalls))
            lines.append(lineOf(call));
    } else if (m_caller == Caller::New) {
        const QString key = numberKey(m_call.number);
        if (key.isEmpty())
            return {};
        const qint64 count = m_history.callCount(key, shownToken);
        lines.append(count == 0 ? tr("此号码第一次来电") : tr("此号码以前来电 %1 次").arg(count));
    }
    return lines;
}

void CallerHistory::setLines(const QStringList &lines)
{
    if (lines == m_lines)
        return;
    m_lines = lines;
    Q_EMIT linesChanged(m_lines);
}

} // namespace corvane
