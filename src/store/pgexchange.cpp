#include "store/pgexchange.h"

#include "store/serverwait.h"

#include "platform/socketready.h"

#include <libpq-fe.h>

namespace corvane {

namespace {

// False when the wait is over before the socket is ready for `events`.
bool waitForServer(PGconn *conn, bool orWritable, ServerWait &wait)
{
    for (;;) {
        const int stepMs = wait.nextStepMs();
        if (stepMs <= 0)
            return false;
        // An error on the socket is for libpq to find and report.
        if (waitForSocket(PQsocket(conn), orWritable, stepMs) == SocketReady::Ready)
            return true;
    }
}

} // namespace

PgExchange exchange(PGconn *conn, const QByteArray &sql, int count, const char *const *values,
                    ServerWait &wait, PGresult *&result)
{
    result = nullptr;
    if (!PQsendQueryParams(conn, sql.constData(), count, nullptr, values, nullptr, nullptr, 0))
        return PgExchange::Lost;
    // A long statement goes out as the socket takes it; what the server says
    // meanwhile is read, so that neither side waits on the other.
    for (int left = PQflush(conn); left != 0; left = PQflush(conn)) {
        if (left < 0)
            return PgExchange::Lost;
        if (!waitForServer(conn, true, wait))
            return PgExchange::NoAnswer;
        if (!PQconsumeInput(conn))
            return PgExchange::Lost;
    }
    // The last result counts, as with a blocking exec.
    for (;;) {
        while (PQisBusy(conn)) {
            if (!waitForServer(conn, false, wait)) {
                PQclear(result);
                result = nullptr;
                return PgExchange::NoAnswer;
            }
            if (!PQconsumeInput(conn))
                break;
        }
        PGresult *next = PQgetResult(conn);
        if (!next)
            break;
        PQclear(result);
        result = next;
        if (PQstatus(conn) == CONNECTION_BAD)
            break;
    }
    return PQstatus(conn) == CONNECTION_OK ? PgExchange::Answered : PgExchange::Lost;
}

} // namespace corvane
