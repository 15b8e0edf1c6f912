#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace corvane {

// Form10: the built-in user instructions in a read-only memo.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // "帮助": shows the window modally; returns the modal result.
    int showModalFromMenu();

    // Closing by the close box or Escape gives Cancel.
    void reject() override;

    QPlainTextEdit *Memo1;
};

} // namespace corvane
