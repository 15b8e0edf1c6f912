#include "store/pgengine.h"

#include "platform/failure.h"
#include "store/pgparameters.h"
#include "store/pgschema.h"
#include "store/schemaupgrade.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHash>

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace corvane {

namespace {

// How long a connect may take: the library's own timeout is 2 s at least,
// and a window waiting longer than about a second seems frozen.
constexpr int ConnectWaitMs = 1000;
// Unique index on the customer codes, as the tables are created.
const char *const CustomerCodeIndex = "customer_customercode";
// Any constant shared by every desk: the desks that connect first to an empty
// database at the same moment create the tables once, one after the other.
constexpr qint64 TablesLock = 0x436f7276616e65;

QString serverMessage(const char *message)
{
    return QString::fromUtf8(message).trimmed();
}

// Names the server, never the password.
QString unreachable(const ServerAddress &server, const char *reason)
{
    return QStringLiteral("Cannot connect to database server %1: %2")
        .arg(describeServer(server), serverMessage(reason));
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

// Waits for a connect begun with PQconnectStartParams; false when it failed or
// did not finish within ConnectWaitMs.
bool finishConnect(PGconn *conn)
{
    const QDeadlineTimer deadline(ConnectWaitMs);
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (state != PGRES_POLLING_OK) {
        if (state == PGRES_POLLING_FAILED || PQstatus(conn) == CONNECTION_BAD)
            return false;
        pollfd socket{PQsocket(conn), short(state == PGRES_POLLING_READING ? POLLIN : POLLOUT), 0};
        const int left = int(deadline.remainingTime());
        const int ready = left > 0 ? ::poll(&socket, 1, left) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        state = PQconnectPoll(conn);
    }
    return true;
}

// A server that went down (and maybe came back) has closed the connection:
// reading what waits on the socket, its last words and then the end, marks the
// connection lost, so the next statement goes to a new one rather than failing
// on the dead one. Never waits.
void noticeClosedConnection(PGconn *conn)
{
    while (PQstatus(conn) == CONNECTION_OK) {
        pollfd socket{PQsocket(conn), POLLIN, 0};
        if (::poll(&socket, 1, 0) <= 0 || !PQconsumeInput(conn))
            return;
    }
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

class PgStatement : public EngineStatement
{
public:
    PgStatement(PGconn *conn, const ServerAddress &server, const QString &sql)
        : m_conn(conn), m_server(server), m_sql(translate(sql))
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
        m_result = PQexecParams(m_conn, m_sql.text.constData(), m_sql.count, nullptr, values.data(), nullptr,
                                nullptr, 0);
        const ExecStatusType status = PQresultStatus(m_result);
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw Failure(unreachable(m_server, PQerrorMessage(m_conn)));
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            throw Failure(failureOf(m_conn, m_result));
    }

    PGconn *m_conn;
    const ServerAddress &m_server;
    Translated m_sql;
    std::vector<std::optional<QByteArray>> m_values;
    PGresult *m_result = nullptr;
    int m_row = -1;
};

} // namespace

PgEngine::PgEngine(const ServerAddress &server, int busyTimeoutMs)
    : m_server(server), m_busyTimeoutMs(busyTimeoutMs)
{
    connect();
    try {
        createTablesIfMissing();
    } catch (...) {
        PQfinish(m_conn);
        throw;
    }
}

PgEngine::~PgEngine()
{
    PQfinish(m_conn);
}

void PgEngine::connect()
{
    PQfinish(std::exchange(m_conn, nullptr));
    // A lock another desk holds longer than the busy timeout fails the
    // statement rather than freezing the window.
    const PgParameters parameters(m_server, "-c lock_timeout=" + QByteArray::number(m_busyTimeoutMs));
    m_conn = PQconnectStartParams(parameters.keys(), parameters.values(), 0);
    if (!m_conn)
        throw Failure(unreachable(m_server, "out of memory"));
    if (!finishConnect(m_conn)) {
        // Closed here: when the constructor throws, no destructor runs.
        const QByteArray reason = PQstatus(m_conn) == CONNECTION_BAD ? QByteArray(PQerrorMessage(m_conn))
                                                                     : QByteArray("no answer within 1 s");
        const QString message = unreachable(m_server, reason.constData());
        PQfinish(std::exchange(m_conn, nullptr));
        throw Failure(message);
    }
    // The server's notices ("already exists, skipping") are not the user's
    // business; libpq would print them on stderr.
    PQsetNoticeProcessor(
        m_conn, [](void *, const char *) {}, nullptr);
}

void PgEngine::createTablesIfMissing()
{
    execute("BEGIN");
    m_inTransaction = true;
    execute(QByteArray("SELECT pg_advisory_xact_lock(" + QByteArray::number(TablesLock) + ")").constData());
    PGresult *found = PQexec(m_conn, "SELECT to_regclass('customer') IS NULL");
    const bool missing = PQresultStatus(found) == PGRES_TUPLES_OK && PQntuples(found) == 1 &&
                         PQgetvalue(found, 0, 0)[0] == 't';
    PQclear(found);
    if (missing)
        execute(PgSchema);
    // The tables added since, under the same lock.
    upgradeSchema(*this, SqlDialect::Postgresql);
    commit();
}

void PgEngine::execute(const char *sql)
{
    PGresult *result = PQexec(m_conn, sql);
    const ExecStatusType status = PQresultStatus(result);
    const QString message = failureOf(m_conn, result);
    PQclear(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw Failure(message);
}

void PgEngine::reconnectIfLost()
{
    if (!m_inTransaction)
        noticeClosedConnection(m_conn);
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    if (m_inTransaction)
        throw Failure(unreachable(m_server, PQerrorMessage(m_conn)));
    connect();
}

std::unique_ptr<EngineStatement> PgEngine::prepare(const QString &sql)
{
    reconnectIfLost();
    return std::make_unique<PgStatement>(m_conn, m_server, sql);
}

void PgEngine::begin(TransactionKind kind)
{
    reconnectIfLost();
    // A read transaction is one view of the database, as SQLite's read gives.
    execute(kind == TransactionKind::Write ? "BEGIN" : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    m_inTransaction = true;
}

void PgEngine::commit()
{
    // The transaction ends whether the commit succeeds or not. The server
    // answers a COMMIT after a failed statement with a rollback, not an error.
    m_inTransaction = false;
    if (PQtransactionStatus(m_conn) == PQTRANS_INERROR) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
        throw Failure(QStringLiteral("The transaction was rolled back after a failed statement"));
    }
    execute("COMMIT");
}

bool PgEngine::inTransaction() const
{
    return m_inTransaction;
}

void PgEngine::rollback() noexcept
{
    m_inTransaction = false;
    PQclear(PQexec(m_conn, "ROLLBACK"));
}

void PgEngine::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    if (PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, QByteArray("SET lock_timeout = " + QByteArray::number(ms)).constData()));
}

} // namespace corvane
