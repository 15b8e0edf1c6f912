#pragma once

namespace corvane {

// Modal results of the program's dialogs: OK ends a showing with 1, Cancel
// (also the close box) with 2.
enum class ModalResult { None = 0, Ok = 1, Cancel = 2 };

} // namespace corvane
