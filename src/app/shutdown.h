#pragma once

namespace corvane {

// The tray menu's "退出": ends the process from inside the click handler, even
// while a modal dialog runs its own loop. The tray icon is taken away and the
// port closed first; nothing after the click is handled.
[[noreturn]] void haltNow();

} // namespace corvane
