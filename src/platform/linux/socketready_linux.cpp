#include "platform/socketready.h"

#include <cerrno>
#include <poll.h>

namespace corvane {

SocketReady waitForSocket(long long socket, bool orWritable, int timeoutMs)
{
    pollfd waiting{int(socket), short(orWritable ? POLLIN | POLLOUT : POLLIN), 0};
    const int ready = ::poll(&waiting, 1, timeoutMs);
    if (ready == 0)
        return SocketReady::TimedOut;
    return ready < 0 && errno == EINTR ? SocketReady::Interrupted : SocketReady::Ready;
}

} // namespace corvane
