#pragma once

namespace corvane {

// The tray menu's "退出": ends the process from inside the click handler, even
// while a modal dialog runs its own loop. The caller takes the tray icon away
// and closes the port first; nothing after the click is handled.
[[noreturn]] void haltNow();

} // namespace corvane
