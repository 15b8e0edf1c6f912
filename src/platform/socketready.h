#pragma once

namespace corvane {

enum class SocketReady { Ready, TimedOut, Interrupted };

// Waits at most timeoutMs (0: not at all) for a socket to have something to
// read, or also room to write. An error on the socket counts as ready: the
// next call on it reports the error.
SocketReady waitForSocket(long long socket, bool orWritable, int timeoutMs);

} // namespace corvane
