#pragma once

namespace corvane {

// Modal results of the program's dialogs: OK ends a showing with 1, Cancel
// (also the close box) with 2.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

} // namespace corvane
