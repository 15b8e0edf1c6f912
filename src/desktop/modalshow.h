#pragma once

class QDialog;

namespace corvane {

// Shows a dialog modally over its parent window and returns its result. Modal
// to the window it stands over, not to the whole application, so the tray
// icon and its menu stay live: the tray's "退出" must work while a dialog is open.
int execModal(QDialog &dialog);

} // namespace corvane
