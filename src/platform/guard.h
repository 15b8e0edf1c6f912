#pragma once

#include "platform/failure.h"
#include "platform/messagebox.h"

#include <exception>
#include <utility>

namespace corvane {

// The handler boundary: every event handler runs through this. A failure that
// escapes the handler ends it there and is shown in the generic error box; the
// event loop then goes on.
template <typename Handler> void guarded(Handler &&handler)
{
    try {
        std::forward<Handler>(handler)();
    } catch (const Failure &failure) {
        msg::error(failure.message());
    } catch (const std::exception &e) {
        msg::error(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace corvane
