#include "store/connection.h"

#include "store/pgengine.h"
#include "store/serverlink.h"
#include "store/sqliteengine.h"

#include "platform/failure.h"

namespace corvane {

Connection::Connection() = default;

Connection::~Connection() = default;

void Connection::setDatabasePath(const QString &path)
{
    if (path == m_path && !m_server && m_unavailableReason.isEmpty())
        return;
    close();
    m_server.reset();
    m_link.reset();
    m_unavailableReason.clear();
    m_path = path;
}

QString Connection::databasePath() const
{
    return m_path;
}

void Connection::setVfs(const QString &name)
{
    close();
    m_vfs = name;
}

void Connection::setServer(const ServerAddress &server)
{
    close();
    m_unavailableReason.clear();
    m_server = server;
    m_link = std::make_shared<ServerLink>(server);
}

void Connection::setUnavailable(const QString &reason)
{
    close();
    m_unavailableReason = reason;
}

void Connection::setSameDatabaseAs(const Connection &other)
{
    close();
    m_path = other.m_path;
    m_vfs = other.m_vfs;
    m_server = other.m_server;
    m_link = other.m_link;
    m_endRequested = other.m_endRequested;
    m_answerWaitMs = other.m_answerWaitMs;
    m_unavailableReason = other.m_unavailableReason;
}

void Connection::setEndRequested(std::function<bool()> endRequested)
{
    m_endRequested = std::move(endRequested);
}

void Connection::setAnswerWait(int ms)
{
    close();
    m_answerWaitMs = ms;
}

void Connection::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    if (m_engine)
        m_engine->setBusyTimeout(ms);
}

Engine &Connection::engine()
{
    if (!m_engine) {
        if (!m_unavailableReason.isEmpty())
            throw Failure(m_unavailableReason);
        if (m_server)
            m_engine = std::make_unique<PgEngine>(m_link, m_busyTimeoutMs,
                                                  WaitRules{m_endRequested, m_answerWaitMs});
        else
            m_engine = std::make_unique<SqliteEngine>(m_path, m_vfs, m_busyTimeoutMs);
    }
    return *m_engine;
}

void Connection::close()
{
    m_engine.reset();
}

} // namespace corvane
