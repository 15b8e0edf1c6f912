#include "platform/suspendwatch.h"

#include <time.h>

namespace corvane {

namespace {

qint64 milliseconds(clockid_t clock)
{
    timespec now{};
    ::clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

} // namespace

SuspendWatch::Clocks SuspendWatch::systemClocks()
{
    return {milliseconds(CLOCK_BOOTTIME), milliseconds(CLOCK_MONOTONIC)};
}

} // namespace corvane
