#pragma once

// A call logged the way the call desk logs it: kept as it arrives, written
// once its lookup is done.

#include "core/calllogwriter.h"

#include <QUuid>

namespace corvane::test {

inline void logCall(CallLogWriter &log, const CallLogRow &call)
{
    const QUuid token = QUuid::createUuid();
    log.arrive(token, call, KeptCall::Lookup::Done);
    log.lookedUp(token, std::nullopt);
}

} // namespace corvane::test
