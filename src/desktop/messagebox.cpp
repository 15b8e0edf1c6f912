#include "desktop/messagebox.h"

#include "desktop/modalshow.h"
#include "platform/programfolder.h"

#include <QApplication>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

namespace corvane::msg {

namespace {

struct Recorder
{
    bool active = false;
    QList<Answer> answers;
    QList<Box> shown;
};

Recorder &recorder()
{
    static Recorder r;
    return r;
}

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answerer &answerer()
{
    static Answerer a;
    return a;
}

// A call arriving while the program is in the tray finds no window active:
// the box then stands over the program's main window.
QWidget *mainWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto main = std::find_if(windows.cbegin(), windows.cend(),
                                   [](const QWidget *w) { return qobject_cast<const QMainWindow *>(w); });
    return main == windows.cend() ? nullptr : *main;
}

// A box as narrow as a short text would cut its own caption: the window frame
// needs room beside the title for its icon and buttons.
void keepCaptionVisible(QMessageBox &dialog)
{
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    if (!grid)
        return;
    // The frame's icon and three buttons, and a little space, each about as
    // wide as the title bar is high.
    const int furniture = 5 * dialog.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const int width = dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + furniture;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

Answer showDialog(const Box &box)
{
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    if (!parent)
        parent = mainWindow();
    QMessageBox dialog(toQt(box.icon), box.caption, box.text, QMessageBox::NoButton, parent);
    if (box.buttons == Buttons::YesNo || box.buttons == Buttons::YesNoCancel) {
        QPushButton *yes = dialog.addButton(QMessageBox::Yes);
        QPushButton *no = dialog.addButton(QMessageBox::No);
        QPushButton *cancel =
            box.buttons == Buttons::YesNoCancel ? dialog.addButton(QMessageBox::Cancel) : nullptr;
        const std::pair<Answer, QPushButton *> answers[] = {
            {Answer::Yes, yes}, {Answer::No, no}, {Answer::Cancel, cancel}};
        dialog.setDefaultButton(yes);
        for (const auto &[answer, button] : answers) {
            if (answer == box.defaultAnswer && button)
                dialog.setDefaultButton(button);
        }
        dialog.setEscapeButton(cancel ? cancel : no);
        keepCaptionVisible(dialog);
        execModal(dialog);
        for (const auto &[answer, button] : answers) {
            if (button && dialog.clickedButton() == button)
                return answer;
        }
        return cancel ? Answer::Cancel : Answer::No;
    }
    dialog.setDefaultButton(dialog.addButton(QMessageBox::Ok));
    keepCaptionVisible(dialog);
    execModal(dialog);
    return Answer::Ok;
}

} // namespace

Answer show(const Box &box)
{
    Recorder &r = recorder();
    if (!r.active)
        return answerer() ? answerer()(box) : showDialog(box);
    r.shown.append(box);
    return r.answers.isEmpty() ? box.defaultAnswer : r.answers.takeFirst();
}

void setAnswerer(Answerer a)
{
    answerer() = std::move(a);
}

void inform(const QString &text)
{
    show({text, applicationTitle(), Icon::None, Buttons::Ok, Answer::Ok});
}

QString errorText(const QString &message)
{
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    return message + QLatin1Char('.');
}

void error(const QString &message)
{
    show({errorText(message), applicationTitle(), Icon::Error, Buttons::Ok, Answer::Ok});
}

void startRecording()
{
    recorder() = Recorder{};
    recorder().active = true;
}

void stopRecording()
{
    recorder() = Recorder{};
}

void queueAnswer(Answer answer)
{
    recorder().answers.append(answer);
}

QList<Box> takeShown()
{
    return std::exchange(recorder().shown, {});
}

} // namespace corvane::msg
