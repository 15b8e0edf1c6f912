#include "store/serverlink.h"

#include "platform/failure.h"
#include "store/pgconnect.h"
#include "store/serverwait.h"

#include <libpq-fe.h>

namespace corvane {

ServerLink::ServerLink(ServerAddress server) : m_server(std::move(server)) {}

ServerLink::~ServerLink()
{
    PQfinish(m_spare);
}

PGconn *ServerLink::connect(ServerWait &wait)
{
    checkAnswering();
    if (m_spare) {
        // It may have waited a long while: a server gone since is tried anew.
        noticeClosedConnection(m_spare);
        if (PQstatus(m_spare) == CONNECTION_OK)
            return std::exchange(m_spare, nullptr);
        PQfinish(std::exchange(m_spare, nullptr));
    }
    auto attempt = std::make_unique<PgConnectAttempt>(m_server, PgConnectAttempt::Tables::Make, false);
    if (!attempt->waitFor(wait)) {
        keepTrying(std::move(attempt), serverUnreachable(m_server, wait.ranOut()));
        throw Failure(m_failure);
    }
    if (PGconn *conn = attempt->take())
        return conn;
    throw Failure(attempt->failure());
}

void ServerLink::checkAnswering()
{
    if (!m_background)
        return;
    if (m_background->ended()) {
        // Connected; or, when it failed just before it was told to keep
        // trying, a new one takes over.
        m_spare = m_background->take();
        m_background.reset();
        if (m_spare)
            return;
        keepTrying(std::make_unique<PgConnectAttempt>(m_server, PgConnectAttempt::Tables::Make, true),
                   m_failure);
    }
    const QString failure = m_background->failure();
    throw Failure(failure.isEmpty() ? m_failure : failure);
}

void ServerLink::notAnswering(const ServerWait &wait)
{
    if (!m_background)
        keepTrying(std::make_unique<PgConnectAttempt>(m_server, PgConnectAttempt::Tables::Make, true),
                   serverUnreachable(m_server, wait.ranOut()));
}

void ServerLink::keepTrying(std::unique_ptr<PgConnectAttempt> attempt, const QString &failure)
{
    attempt->keepTrying();
    m_background = std::move(attempt);
    m_failure = failure;
}

} // namespace corvane
