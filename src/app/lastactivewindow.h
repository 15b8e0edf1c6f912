#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace corvane {

// Follows which of the program's windows the user worked in last, so that a
// second start can bring that one forward: the main window, or a modeless
// window such as the ring dialog or the entry form.
class LastActiveWindow : public QObject
{
    Q_OBJECT
public:
    // fallback: the window to bring forward when no other one qualifies.
    explicit LastActiveWindow(QWidget *fallback);

    // A modal window open over the others wins; then the last active window
    // while it is visible and enabled; otherwise the fallback.
    QWidget *windowToBringForward() const;

private:
    void focusWindowChanged(QWindow *window);

    QPointer<QWidget> m_fallback;
    QPointer<QWidget> m_last;
};

} // namespace corvane
