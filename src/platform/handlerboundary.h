#pragma once

#include "platform/failure.h"

#include <QString>

#include <exception>
#include <utility>

namespace corvane {

// The handler boundary without a window: a failure that escapes the handler
// ends it there and its message goes to report; the event loop then goes on.
template <typename Handler, typename Report> void runGuarded(Handler &&handler, Report &&report)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const Failure &failure) {
        report(failure.message());
    } catch (const std::exception &e) {
        report(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace corvane
