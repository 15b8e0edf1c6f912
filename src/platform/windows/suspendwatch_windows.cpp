#include "platform/suspendwatch.h"

#include <windows.h>

#include <realtimeapiset.h>

namespace corvane {

// The tick count goes on while the PC sleeps; the unbiased interrupt time
// does not.
SuspendWatch::Clocks SuspendWatch::systemClocks()
{
    ULONGLONG unbiased = 0;
    ::QueryUnbiasedInterruptTime(&unbiased);
    return {qint64(::GetTickCount64()), qint64(unbiased / 10'000)};
}

} // namespace corvane
