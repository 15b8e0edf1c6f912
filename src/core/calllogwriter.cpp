#include "core/calllogwriter.h"

#include "platform/failure.h"
#include "platform/handlerboundary.h"
#include "store/transaction.h"

namespace corvane {

CallLogWriter::CallLogWriter(const Connection &database, const QString &journalPath, const QString &areaCode,
                             QObject *parent)
    : QObject(parent), m_journal(journalPath), m_areaCode(areaCode)
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

void CallLogWriter::write(const CallLogRow &row)
{
    // In the journal before the database is asked: neither a write that
    // fails or does not come back nor the end of the program meanwhile takes
    // the call with it. Rows kept earlier go first, so the log keeps the
    // order of the calls.
    keep(row);
    if (!writeKept())
        tell(m_journalComplete ? Notice::Kept : Notice::KeptInMemory);
}

void CallLogWriter::keepForLookup(const QString &adate, const QString &atime, const QString &tel)
{
    keep({adate, atime, tel, {}, {}});
}

bool CallLogWriter::writeKept(int waitMs)
{
    if (m_kept.isEmpty())
        return true;
    try {
        m_connection.setBusyTimeout(waitMs);
        // A row and its token are written together, so a journal line that
        // outlived its row (a crash right after the commit) is not written again.
        Transaction transaction(m_connection);
        for (const KeptCall &call : std::as_const(m_kept))
            m_calls.logKeptCall(call.token.toString(QUuid::WithoutBraces), call.row, m_areaCode);
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
        // No journal holds the rows now: their tokens are of no more use.
        m_calls.forgetKeptCalls(tokens);
    } catch (const Failure &) {
        // Rows left in the file are skipped by their tokens; tokens left in
        // the database only take a little room.
    }
    return true;
}

void CallLogWriter::keep(const CallLogRow &row)
{
    const KeptCall call{QUuid::createUuid(), row};
    m_kept.append(call);
    if (!m_retry.isActive())
        m_retry.start();
    try {
        if (m_journalComplete)
            m_journal.append(call);
        else
            m_journal.replace(m_kept);
        m_journalComplete = true;
    } catch (const Failure &failure) {
        m_journalComplete = false;
        m_journalFailure = failure.message();
    }
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
        Q_EMIT notice(tr("数据库暂时无法写入，来电记录也无法保存到备用文件（%1），请不要退出程序，"
                         "数据库恢复后将自动写入。")
                          .arg(m_journalFailure));
}

std::function<void(const QString &)> CallLogWriter::reportFailure()
{
    return [this](const QString &message) { Q_EMIT failed(message); };
}

} // namespace corvane
