#pragma once

namespace corvane {

// On a desktop with no tray (plain GNOME, say) the program cannot wait there:
// once, at the first start that finds the desktop's notifications working,
// the user is told that calls come as notifications and that the window
// minimises into the taskbar.
void tellOnceThatCallsComeAsNotifications();

} // namespace corvane
