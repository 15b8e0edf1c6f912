#pragma once

#include "store/serveraddress.h"

#include <QString>

#include <memory>

using PGconn = struct pg_conn;

namespace corvane {

class ServerWait;

// A connection to the server being made on a thread of its own: the host
// name is resolved there and the server waited for there, so neither a name
// service nor a server that does not answer holds whoever asked for it. The
// asker waits as long as it likes and may walk away at any time; the thread
// is never joined (it may be stuck in a name lookup for many seconds) and
// closes what it made once nobody wants it.
class PgConnectAttempt
{
public:
    enum class Tables { Make, Leave };
    // Time between the tries of an attempt that keeps trying.
    static constexpr int RetryGapMs = 1000;

    // With Tables::Make, an empty database gets the program's tables before
    // the connection is handed over. With `keepTrying`, a failed try is
    // followed by another until one connects.
    PgConnectAttempt(const ServerAddress &server, Tables tables, bool keepTrying);
    ~PgConnectAttempt();
    PgConnectAttempt(const PgConnectAttempt &) = delete;
    PgConnectAttempt &operator=(const PgConnectAttempt &) = delete;

    // Waits until the attempt has ended or `wait` is over; true when it has
    // ended: connected, or failed without trying again.
    bool waitFor(ServerWait &wait) const;
    bool ended() const;
    // From now on a failed try is followed by another.
    void keepTrying();
    // The connection, once connected; the caller owns it from then on.
    PGconn *take();
    // Why the last try failed, naming the server (never the password).
    QString failure() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

// A server that went down (and maybe came back) has closed the connection:
// reading what waits on the socket, its last words and then the end, marks the
// connection lost, so it is not used. Never waits.
void noticeClosedConnection(PGconn *conn);

// The message for a server that cannot be reached: it names the server, never
// the password.
QString serverUnreachable(const ServerAddress &server, const QString &reason);

} // namespace corvane
