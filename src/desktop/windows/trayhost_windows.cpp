#include "desktop/trayicon.h"

namespace corvane {

// The notification area reports single and double clicks alike.
bool trayHostReportsDoubleClick()
{
    return true;
}

} // namespace corvane
