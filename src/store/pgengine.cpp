#include "store/pgengine.h"

#include "platform/failure.h"
#include "store/pgconnect.h"
#include "store/pgexchange.h"
#include "store/pgschema.h"
#include "store/schemaupgrade.h"
#include "store/serverlink.h"
#include "store/serverwait.h"

#include <QCoreApplication>
#include <QHash>

#include <libpq-fe.h>

#include <algorithm>
#include <vector>

namespace corvane {

namespace {

// Unique index on the customer codes, as the tables are created.
const char *const CustomerCodeIndex = "customer_customercode";

QString serverMessage(const char *message)
{
    return QString::fromUtf8(message).trimmed();
}

QString tr(const char *text)
{
    return QCoreApplication::translate("PgEngine", text);
}

// The message for a result that failed: a customer code another desk took
// first is said in the user's words.
QString failureOf(PGconn *conn, const PGresult *result)
{
    const char *constraint = PQresultErrorField(result, PG_DIAG_CONSTRAINT_NAME);
    if (constraint && qstrcmp(constraint, CustomerCodeIndex) == 0)
        return tr("此客户编号已被使用（可能刚由另一台电脑保存），请换一个客户编号后再保存");
    const QString message = serverMessage(PQresultErrorMessage(result));
    return message.isEmpty() ? serverMessage(PQerrorMessage(conn)) : message;
}

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The text with SQLite's marks ('?', ':name') as the server's numbered ones
// ($1, $2 …), and the number of each name. Quoted text is left alone, and so
// is a '::' cast.
struct Translated
{
    QByteArray text;
    QHash<QByteArray, int> names;
    int count = 0;
};

Translated translate(const QString &sql)
{
    Translated out;
    QString text;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            text += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            text += c;
        } else if (c == QLatin1Char('?')) {
            text += QLatin1Char('$') + QString::number(++out.count);
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && isNameStart(sql[i + 1]) &&
                   (i == 0 || sql[i - 1] != QLatin1Char(':'))) {
            qsizetype end = i + 1;
            while (end < sql.size() && isNamePart(sql[end]))
                ++end;
            const QByteArray name = sql.mid(i, end - i).toUtf8();
            int &number = out.names[name];
            if (number == 0)
                number = ++out.count;
            text += QLatin1Char('$') + QString::number(number);
            i = end - 1;
        } else {
            text += c;
        }
    }
    out.text = text.toUtf8();
    return out;
}

} // namespace

class PgStatement : public EngineStatement
{
public:
    PgStatement(PgEngine &engine, const QString &sql) : m_engine(engine), m_sql(translate(sql))
    {
        if (m_sql.text.trimmed().isEmpty())
            throw Failure(QStringLiteral("Command text was not set for the command object"));
        m_values.resize(std::size_t(m_sql.count));
    }
    ~PgStatement() override { PQclear(m_result); }
    PgStatement(const PgStatement &) = delete;
    PgStatement &operator=(const PgStatement &) = delete;

    void bind(int index, const std::optional<QString> &value) override
    {
        // The server's text cannot hold a NUL character, and libpq would end
        // the value there: refused rather than cut short unseen.
        if (value && value->contains(QChar(0)))
            throw Failure(
                QCoreApplication::translate("PgEngine", "文本中含有空字符（NUL），服务器数据库无法保存：%1")
                    .arg(QString(*value).replace(QChar(0), QStringLiteral("\\0"))));
        slot(index) = value ? std::optional<QByteArray>(value->toUtf8()) : std::nullopt;
    }

    void bind(int index, qint64 value) override { slot(index) = QByteArray::number(value); }

    int parameterIndex(const char *name) const override { return m_sql.names.value(QByteArray(name)); }

    bool step() override
    {
        if (!m_result)
            execute();
        return ++m_row < PQntuples(m_result);
    }

    void reset() override
    {
        PQclear(m_result);
        m_result = nullptr;
        m_row = -1;
        std::fill(m_values.begin(), m_values.end(), std::nullopt);
    }

    int changes() const override { return m_result ? QByteArray(PQcmdTuples(m_result)).toInt() : 0; }
    int columnCount() const override { return m_result ? PQnfields(m_result) : 0; }

    std::optional<QString> text(int column) const override
    {
        if (PQgetisnull(m_result, m_row, column))
            return std::nullopt;
        return QString::fromUtf8(PQgetvalue(m_result, m_row, column), PQgetlength(m_result, m_row, column));
    }

    qint64 integer(int column) const override
    {
        return QByteArray(PQgetvalue(m_result, m_row, column)).toLongLong();
    }

private:
    std::optional<QByteArray> &slot(int index)
    {
        if (index < 1 || index > m_sql.count)
            throw Failure(QStringLiteral("No parameter %1 in the statement").arg(index));
        return m_values[std::size_t(index - 1)];
    }

    void execute()
    {
        std::vector<const char *> values;
        for (const std::optional<QByteArray> &value : m_values)
            values.push_back(value ? value->constData() : nullptr);
        m_result = m_engine.run(m_sql.text, m_sql.count, values.data());
    }

    PgEngine &m_engine;
    Translated m_sql;
    std::vector<std::optional<QByteArray>> m_values;
    PGresult *m_result = nullptr;
    int m_row = -1;
};

PgEngine::PgEngine(std::shared_ptr<ServerLink> link, int busyTimeoutMs, WaitRules waits)
    : m_link(std::move(link)), m_waits(std::move(waits)), m_busyTimeoutMs(busyTimeoutMs)
{
    ServerWait wait(m_waits);
    connectIfLost(wait);
}

PgEngine::~PgEngine()
{
    drop();
}

PGresult *PgEngine::run(const QByteArray &sql, int count, const char *const *values)
{
    ServerWait wait(m_waits);
    connectIfLost(wait);
    // No lock timeout (0) would be no limit at all on the server. A lock
    // another desk holds ends the statement before the wait for the answer
    // does, so that the server is not taken for one that stopped.
    const int lockTimeoutMs = std::clamp(m_busyTimeoutMs, 1, m_waits.answerMs * 3 / 4);
    if (lockTimeoutMs != m_lockTimeoutMs) {
        PQclear(ask("SET lock_timeout = " + QByteArray::number(lockTimeoutMs), 0, nullptr, wait));
        m_lockTimeoutMs = lockTimeoutMs;
    }
    PGresult *result = ask(sql, count, values, wait);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString message = failureOf(m_conn, result);
        PQclear(result);
        throw Failure(message);
    }
    return result;
}

void PgEngine::connectIfLost(ServerWait &wait)
{
    if (m_conn && !m_inTransaction)
        noticeClosedConnection(m_conn);
    if (m_conn && PQstatus(m_conn) == CONNECTION_OK) {
        m_link->checkAnswering();
        return;
    }
    const QString lost = m_conn ? serverMessage(PQerrorMessage(m_conn)) : QStringLiteral("connection lost");
    drop();
    if (m_inTransaction)
        throw Failure(serverUnreachable(m_link->server(), lost));
    m_conn = m_link->connect(wait);
    // Sending and reading are driven step by step, so that no call waits.
    PQsetnonblocking(m_conn, 1);
    bringUpToDate();
}

void PgEngine::bringUpToDate()
{
    try {
        begin(TransactionKind::Write);
        PQclear(run("SELECT pg_advisory_xact_lock(" + QByteArray::number(PgTablesLock) + ")"));
        upgradeSchema(*this, SqlDialect::Postgresql);
        commit();
    } catch (...) {
        // Tried again on the next connection rather than going on without
        // the tables.
        rollback();
        drop();
        throw;
    }
}

PGresult *PgEngine::ask(const QByteArray &sql, int count, const char *const *values, ServerWait &wait)
{
    PGresult *result = nullptr;
    switch (exchange(m_conn, sql, count, values, wait, result)) {
    case PgExchange::Answered:
        return result;
    case PgExchange::Lost: {
        const QString reason = serverMessage(PQerrorMessage(m_conn));
        PQclear(result);
        drop();
        throw Failure(serverUnreachable(m_link->server(), reason));
    }
    case PgExchange::NoAnswer:
        break;
    }
    // Given up without a word to the server: asking it to cancel means a new
    // connection to it, which would wait in turn.
    drop();
    m_link->notAnswering(wait);
    throw Failure(serverUnreachable(m_link->server(), wait.ranOut()));
}

void PgEngine::drop()
{
    PQfinish(std::exchange(m_conn, nullptr));
    m_lockTimeoutMs = -1;
}

std::unique_ptr<EngineStatement> PgEngine::prepare(const QString &sql)
{
    return std::make_unique<PgStatement>(*this, sql);
}

void PgEngine::begin(TransactionKind kind)
{
    // A read transaction is one view of the database, as SQLite's read gives.
    PQclear(
        run(kind == TransactionKind::Write ? "BEGIN" : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    m_inTransaction = true;
}

void PgEngine::commit()
{
    // The server answers a COMMIT after a failed statement with a rollback,
    // not an error.
    if (m_conn && PQtransactionStatus(m_conn) == PQTRANS_INERROR) {
        rollback();
        throw Failure(QStringLiteral("The transaction was rolled back after a failed statement"));
    }
    // The transaction ends whether the commit succeeds or not; until the
    // answer comes, a lost connection is not made again for it.
    try {
        PQclear(run("COMMIT"));
    } catch (...) {
        m_inTransaction = false;
        throw;
    }
    m_inTransaction = false;
}

bool PgEngine::inTransaction() const
{
    return m_inTransaction;
}

void PgEngine::rollback() noexcept
{
    m_inTransaction = false;
    // A setting made inside the transaction goes with it.
    m_lockTimeoutMs = -1;
    if (!m_conn)
        return;
    // A server that does not answer undoes the transaction by itself once it
    // finds the connection gone.
    try {
        m_link->checkAnswering();
        ServerWait wait(m_waits);
        PQclear(ask("ROLLBACK", 0, nullptr, wait));
    } catch (...) {
        drop();
    }
}

void PgEngine::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
}

} // namespace corvane
