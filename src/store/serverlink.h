#pragma once

#include "store/serveraddress.h"

#include <QString>

#include <memory>

using PGconn = struct pg_conn;

namespace corvane {

class PgConnectAttempt;
class ServerWait;

// What every connection of the program to one server shares: whether the
// server answers. A server that let a wait run out is not waited for again:
// every connection fails at once while one attempt keeps trying in the
// background, and the connection it makes goes to the first that asks. A
// server that refuses at once (it is down, the machine is up) costs no wait,
// so each connection simply tries again.
class ServerLink
{
public:
    explicit ServerLink(ServerAddress server);
    ~ServerLink();
    ServerLink(const ServerLink &) = delete;
    ServerLink &operator=(const ServerLink &) = delete;

    const ServerAddress &server() const { return m_server; }

    // A new connection (the caller owns it), made within `wait`. Throws
    // Failure naming the server at once while the server is known not to
    // answer, and when it cannot be reached.
    PGconn *connect(ServerWait &wait);
    // Throws that Failure while the server is known not to answer.
    void checkAnswering();
    // A connection waited `wait` out for an answer in vain.
    void notAnswering(const ServerWait &wait);

private:
    // Tries in the background until the server answers; till then
    // connections fail with `failure`, or why its last try failed.
    void keepTrying(std::unique_ptr<PgConnectAttempt> attempt, const QString &failure);

    ServerAddress m_server;
    // Set while the server is known not to answer.
    std::unique_ptr<PgConnectAttempt> m_background;
    QString m_failure;
    // Made in the background, not yet asked for.
    PGconn *m_spare = nullptr;
};

} // namespace corvane
