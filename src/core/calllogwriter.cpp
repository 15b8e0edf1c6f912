#include "core/calllogwriter.h"

#include "core/callernumber.h"
#include "platform/failure.h"
#include "platform/handlerboundary.h"
#include "store/numberkey.h"
#include "store/transaction.h"

#include <QDateTime>
#include <QSysInfo>

namespace corvane {

namespace {

// The PC clock's time of a call, as table calls keeps it.
QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

CallLogWriter::CallLogWriter(const Connection &database, const QString &journalPath, const QString &areaCode,
                             QObject *parent)
    : QObject(parent), m_journal(journalPath), m_areaCode(areaCode), m_desk(QSysInfo::machineHostName())
{
    m_connection.setSameDatabaseAs(database);
    m_retry.setInterval(RetryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, [this] { runGuarded([this] { retry(); }, reportFailure()); });
}

CallLogWriter::~CallLogWriter()
{
    if (!writeKept() && !m_journalComplete)
        saveWholeJournal();
}

void CallLogWriter::resume()
{
    try {
        m_kept = m_journal.read();
    } catch (const Failure &failure) {
        QTimer::singleShot(0, this, [this, message = failure.message()] { Q_EMIT failed(message); });
        return;
    }
    if (m_kept.isEmpty())
        return;
    QTimer::singleShot(0, this, [this] {
        runGuarded(
            [this] {
                if (writeKept())
                    return;
                m_retry.start();
                tell(Notice::Kept);
            },
            reportFailure());
    });
}

void CallLogWriter::arrive(const QUuid &token, const CallLogRow &call, KeptCall::Lookup lookup)
{
    keep({token, call, now(), m_desk, lookup});
}

void CallLogWriter::lookedUp(const QUuid &token, const std::optional<Customer> &customer)
{
    const auto kept = std::find_if(m_kept.begin(), m_kept.end(),
                                   [&token](const KeptCall &call) { return call.token == token; });
    // Written already, by a try that came while it was looked up.
    if (kept == m_kept.end()) {
        writeKept();
        return;
    }
    const bool wasDue = kept->lookup == KeptCall::Lookup::Due;
    kept->lookup = KeptCall::Lookup::Done;
    if (customer) {
        kept->row.customercode = customer->customerCode;
        kept->row.customername = customer->name;
    }
    if (writeKept())
        return;
    // What the lookup found goes with the call, not looked up again later;
    // should the file refuse, the call is still there, its lookup due.
    if (wasDue)
        saveWholeJournal();
    tellRefused();
}

bool CallLogWriter::writeKept(int waitMs)
{
    if (m_kept.isEmpty())
        return true;
    try {
        m_connection.setBusyTimeout(waitMs);
        // A call and its token are written together, so a journal line that
        // outlived its rows (a crash right after the commit) is not written again.
        Transaction transaction(m_connection);
        for (const KeptCall &call : std::as_const(m_kept))
            writeKeptCall(call);
        transaction.commit();
    } catch (const Failure &) {
        return false;
    }
    QStringList tokens;
    for (const KeptCall &call : std::as_const(m_kept))
        tokens.append(call.token.toString(QUuid::WithoutBraces));
    m_kept.clear();
    m_journalComplete = true;
    m_retry.stop();
    m_told = Notice::None;
    try {
        m_journal.replace({});
        // No journal holds the calls now: their tokens are of no more use.
        m_calls.forgetKeptCalls(tokens);
    } catch (const Failure &) {
        // Calls left in the file are skipped by their tokens; tokens left in
        // the database only take a little room.
    }
    Q_EMIT written();
    return true;
}

void CallLogWriter::writeKeptCall(const KeptCall &call)
{
    const QString token = call.token.toString(QUuid::WithoutBraces);
    const std::optional<CallLogRow> logged =
        m_calls.logKeptCall(token, call.row, m_areaCode, call.lookup == KeptCall::Lookup::Done);
    if (!logged)
        return;
    const QString &number = call.row.tel;
    const bool realNumber = callerNumberKind(number) == CallerNumberKind::Number;
    m_callRows.addCall({token, call.taken, number, realNumber ? numberKey(number) : QString(),
                        logged->customercode.isEmpty() ? std::nullopt : std::optional(logged->customercode),
                        call.desk.isEmpty() ? m_desk : call.desk});
}

void CallLogWriter::keep(const KeptCall &call)
{
    m_kept.append(call);
    if (!m_retry.isActive())
        m_retry.start();
    try {
        if (!m_journalComplete)
            m_journal.replace(m_kept);
        else
            m_journal.append(call);
        m_journalComplete = true;
    } catch (const Failure &failure) {
        m_journalComplete = false;
        m_journalFailure = failure.message();
    }
}

void CallLogWriter::tellRefused()
{
    tell(m_journalComplete ? Notice::Kept : Notice::KeptInMemory);
}

void CallLogWriter::retry()
{
    if (!writeKept(0) && !m_journalComplete)
        saveWholeJournal();
}

void CallLogWriter::saveWholeJournal()
{
    try {
        m_journal.replace(m_kept);
        m_journalComplete = true;
    } catch (const Failure &failure) {
        m_journalFailure = failure.message();
    }
}

void CallLogWriter::tell(Notice level)
{
    if (level <= m_told)
        return;
    // Noted first: the box runs an event loop in which more calls may come.
    m_told = level;
    if (level == Notice::Kept)
        Q_EMIT notice(tr("数据库暂时无法写入，来电记录已保存在备用文件中，数据库恢复后将自动写入。"));
    else
        Q_EMIT notice(tr("数据库暂时无法写入，来电记录也无法保存到备用文件（%1），暂时只保存在内存中。"
                         "请不要退出程序；磁盘有了空间、数据库恢复后将自动写入。")
                          .arg(m_journalFailure));
}

std::function<void(const QString &)> CallLogWriter::reportFailure()
{
    return [this](const QString &message) { Q_EMIT failed(message); };
}

} // namespace corvane
