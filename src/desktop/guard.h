#pragma once

#include "desktop/messagebox.h"
#include "platform/handlerboundary.h"

#include <utility>

namespace corvane {

// The handler boundary: every event handler runs through this. A failure that
// escapes the handler ends it there and is shown in the generic error box; the
// event loop then goes on.
template <typename Handler> void guarded(Handler &&handler)
{
    runGuarded(std::forward<Handler>(handler), [](const QString &message) { msg::error(message); });
}

} // namespace corvane
