#pragma once

#include "coresupport.h"
#include "desktop/filechooser.h"
#include "desktop/messagebox.h"

#include <QString>
#include <QStringList>

class QLineEdit;
class QWidget;

namespace corvane::test {

// Records every message box for the lifetime of the object; none is shown.
class MessageCapture
{
public:
    MessageCapture() { msg::startRecording(); }
    ~MessageCapture() { msg::stopRecording(); }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    void answer(msg::Answer a) { msg::queueAnswer(a); }
    QList<msg::Box> take() { return msg::takeShown(); }
    QStringList takeTexts();
};

// A file chooser the user always cancels.
class NoFileChooser : public FileChooser
{
public:
    QString fileToOpen(QWidget *, const QString &, const QString &) override { return {}; }
    QString fileToSave(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

void saveScreenshot(QWidget *widget, const QString &name);

// Whether a line edit shows its text from the first character, as the user
// sees it: the start of its inside looks like that of an edit of the same
// size, font and colours that holds the first few characters only.
bool showsTextFromStart(QLineEdit *edit);

} // namespace corvane::test
