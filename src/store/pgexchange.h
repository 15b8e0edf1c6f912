#pragma once

#include <QByteArray>

using PGconn = struct pg_conn;
using PGresult = struct pg_result;

namespace corvane {

class ServerWait;

enum class PgExchange {
    Answered, // the result is there, success or the server's error
    Lost,     // the connection broke
    NoAnswer, // the wait ran out; the statement may or may not have run
};

// Sends one statement with its values on a connection in non-blocking mode
// and reads its result, waiting for the socket no longer than `wait` allows.
// `result` gets the last result when answered (the caller clears it).
PgExchange exchange(PGconn *conn, const QByteArray &sql, int count, const char *const *values,
                    ServerWait &wait, PGresult *&result);

} // namespace corvane
