#pragma once

#include <QDialog>

class QTextEdit;

namespace corvane {

// The built-in user instructions in a read-only memo.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // "帮助": shows the window modally; returns the modal result.
    int showModalFromMenu();

    // Closing by the close box or Escape gives Cancel.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Lines of about 36 characters read best; a narrower window wraps them
    // at its width instead.
    void fitLineWidth();

    QTextEdit *m_text;
};

} // namespace corvane
