#pragma once

namespace corvane {

// Program entry: single-instance check, the windows in their creation order,
// the event loop, and the windows destroyed in reverse order.
int runCorvane(int argc, char **argv);

} // namespace corvane
