#include "store/connection.h"

#include "store/pgengine.h"
#include "store/sqliteengine.h"

namespace corvane {

Connection::Connection() = default;

Connection::~Connection() = default;

void Connection::setDatabasePath(const QString &path)
{
    if (path == m_path && !m_server)
        return;
    close();
    m_server.reset();
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
    m_server = server;
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
        if (m_server)
            m_engine = std::make_unique<PgEngine>(*m_server, m_busyTimeoutMs);
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
