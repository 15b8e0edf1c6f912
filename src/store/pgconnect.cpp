#include "store/pgconnect.h"

#include "store/pgparameters.h"
#include "store/pgschema.h"
#include "store/serverwait.h"

#include "platform/socketready.h"

#include <libpq-fe.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace corvane {

namespace {

QString messageOf(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}

// Runs a statement without values; the server's message when it fails.
QString execute(PGconn *conn, const QByteArray &sql)
{
    PGresult *result = PQexec(conn, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    QString failure;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        failure = messageOf(PQresultErrorMessage(result));
        if (failure.isEmpty())
            failure = messageOf(PQerrorMessage(conn));
    }
    PQclear(result);
    return failure;
}

QString makeTablesIfMissing(PGconn *conn)
{
    if (QString failure = execute(conn, "BEGIN"); !failure.isEmpty())
        return failure;
    QString failure = execute(conn, "SELECT pg_advisory_xact_lock(" + QByteArray::number(PgTablesLock) + ")");
    if (failure.isEmpty()) {
        PGresult *found = PQexec(conn, "SELECT to_regclass('customer') IS NULL");
        const bool missing = PQresultStatus(found) == PGRES_TUPLES_OK && PQntuples(found) == 1 &&
                             PQgetvalue(found, 0, 0)[0] == 't';
        PQclear(found);
        if (missing)
            failure = execute(conn, PgSchema);
    }
    if (failure.isEmpty())
        return execute(conn, "COMMIT");
    execute(conn, "ROLLBACK");
    return failure;
}

// One try: the connection, or nullptr and why not.
PGconn *connectOnce(const ServerAddress &server, PgConnectAttempt::Tables tables, QString &failure)
{
    const PgParameters parameters(server);
    PGconn *conn = PQconnectdbParams(parameters.keys(), parameters.values(), 0);
    if (!conn) {
        failure = QStringLiteral("out of memory");
        return nullptr;
    }
    if (PQstatus(conn) == CONNECTION_OK) {
        // The server's notices ("already exists, skipping") are not the
        // user's business; libpq would print them on stderr.
        PQsetNoticeProcessor(
            conn, [](void *, const char *) {}, nullptr);
        failure = tables == PgConnectAttempt::Tables::Make ? makeTablesIfMissing(conn) : QString();
        if (failure.isEmpty())
            return conn;
    } else {
        failure = messageOf(PQerrorMessage(conn));
    }
    PQfinish(conn);
    return nullptr;
}

} // namespace

// Owned jointly by the attempt and its thread, so that a thread left behind
// still has what it touches.
struct PgConnectAttempt::Shared
{
    ServerAddress server;
    std::mutex mutex;
    std::condition_variable changed;
    PGconn *conn = nullptr;
    QString failure;
    bool keepTrying = false;
    bool ended = false;
    bool abandoned = false;

    void run(Tables tables)
    {
        for (;;) {
            QString reason;
            PGconn *made = connectOnce(server, tables, reason);
            std::unique_lock lock(mutex);
            if (made && abandoned) {
                lock.unlock();
                PQfinish(made);
                return;
            }
            conn = made;
            if (!made)
                failure = reason;
            if (made || !keepTrying) {
                ended = true;
                changed.notify_all();
                return;
            }
            if (changed.wait_for(lock, std::chrono::milliseconds(RetryGapMs), [this] { return abandoned; }))
                return;
        }
    }
};

PgConnectAttempt::PgConnectAttempt(const ServerAddress &server, Tables tables, bool keepTrying)
    : m_shared(std::make_shared<Shared>())
{
    m_shared->server = server;
    m_shared->keepTrying = keepTrying;
    std::thread([shared = m_shared, tables] { shared->run(tables); }).detach();
}

PgConnectAttempt::~PgConnectAttempt()
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->abandoned = true;
    PQfinish(std::exchange(m_shared->conn, nullptr));
    m_shared->changed.notify_all();
}

bool PgConnectAttempt::waitFor(ServerWait &wait) const
{
    std::unique_lock lock(m_shared->mutex);
    while (!m_shared->ended) {
        const int stepMs = wait.nextStepMs();
        if (stepMs <= 0)
            return false;
        m_shared->changed.wait_for(lock, std::chrono::milliseconds(stepMs));
    }
    return true;
}

bool PgConnectAttempt::ended() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->ended;
}

void PgConnectAttempt::keepTrying()
{
    const std::lock_guard lock(m_shared->mutex);
    m_shared->keepTrying = true;
}

PGconn *PgConnectAttempt::take()
{
    const std::lock_guard lock(m_shared->mutex);
    return std::exchange(m_shared->conn, nullptr);
}

QString PgConnectAttempt::failure() const
{
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->failure.isEmpty() ? QString() : serverUnreachable(m_shared->server, m_shared->failure);
}

void noticeClosedConnection(PGconn *conn)
{
    while (PQstatus(conn) == CONNECTION_OK) {
        if (waitForSocket(PQsocket(conn), false, 0) != SocketReady::Ready || !PQconsumeInput(conn))
            return;
    }
}

QString serverUnreachable(const ServerAddress &server, const QString &reason)
{
    return QStringLiteral("Cannot connect to database server %1: %2").arg(describeServer(server), reason);
}

} // namespace corvane
