#pragma once

namespace corvane {

// What zel.ini says about the desktop around the program.

// Key "notify" of section "line": "0" keeps calls out of the desktop's
// notifications; anything else, or nothing, announces them there.
bool notificationsWanted();

// Whether the user has been told that, with no tray on the desktop, calls
// come as notifications; kept in section "desktop" so it is said once.
bool noTrayNoticeGiven();
// False when zel.ini could not be written: the notice then comes again.
bool rememberNoTrayNotice();

} // namespace corvane
