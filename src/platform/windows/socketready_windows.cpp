#include "platform/socketready.h"

#include <winsock2.h>

namespace corvane {

SocketReady waitForSocket(long long socket, bool orWritable, int timeoutMs)
{
    WSAPOLLFD waiting{SOCKET(socket), short(orWritable ? POLLRDNORM | POLLWRNORM : POLLRDNORM), 0};
    const int ready = ::WSAPoll(&waiting, 1, timeoutMs);
    if (ready == 0)
        return SocketReady::TimedOut;
    return ready < 0 && ::WSAGetLastError() == WSAEINTR ? SocketReady::Interrupted : SocketReady::Ready;
}

} // namespace corvane
