#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace corvane::msg {

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct Box
{
    QString text;
    QString caption;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    Answer defaultAnswer = Answer::Ok;
};

// Every message box of the program goes through here, so that tests can see
// what was shown and answer without a dialog ever blocking.
Answer show(const Box &box);

// Who answers the boxes instead of the screen. Nothing answers in the program
// itself; the build that tests run installs one before start-up.
using Answerer = std::function<Answer(const Box &)>;
void setAnswerer(Answerer answerer);

// A plain program message: OK only, application title as caption.
void inform(const QString &text);

// The generic error box: the failure's message with the full-stop rule,
// application title as caption, error icon, OK.
void error(const QString &message);

// The text the generic error box shows for a failure message: a full stop is
// appended unless the text is empty or ends in a character at or before '.'.
QString errorText(const QString &message);

// Test hook: while recording, no dialog is shown; each box is kept and answered
// with the next queued answer (or its default when none is queued).
void startRecording();
void stopRecording();
void queueAnswer(Answer answer);
QList<Box> takeShown();

} // namespace corvane::msg
