#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace corvane::test {

// How the program is started: `executable`, copied into the program folder
// as `name`, is run through `launcher` when one is given (a command that the
// program's path is added to, such as Wine for a Windows build).
struct ProgramLaunch
{
    QString executable = QStringLiteral(CORVANE_UNDER_TEST);
    QString name = QStringLiteral("Corvane");
    QStringList launcher;
};

// The real Corvane (the build for tests), copied into a fresh program folder
// of its own (a new tel.mdb, a zel.ini for port com1 on `device` in `mode`,
// or no port when `device` is empty, followed by `moreIni`) and run offscreen
// without a sound device, with `moreEnvironment` added to its environment.
// Every message box goes to a log instead of the screen, answered by its
// default; the main window's texts are logged too. `childSetUp`, when given,
// runs in the program's process before it starts; `launch` tells what runs.
class RunningProgram
{
public:
    RunningProgram(const QString &mode, const QString &device, const QString &moreIni = {},
                   const QProcessEnvironment &moreEnvironment = {},
                   const std::function<void()> &childSetUp = {}, const ProgramLaunch &launch = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // Starts the program again in its folder, once it has ended.
    void restart();
    QProcess &process() { return m_process; }
    QString folder() const; // ends in '/'

    QList<QJsonObject> messages() const;
    QStringList messageTexts() const;
    // What the main window's text boxes showed since the start, in order:
    // "what" (a box's object name, or "shown" when the window came on the
    // screen), "text", and "ms" since the epoch.
    QList<QJsonObject> windowChanges() const;
    // When the named box (or "shown") last showed `text`, any text when it is
    // null, in ms since the epoch; none when that was before `sinceMs`.
    std::optional<double> shownAt(const QString &what, const QString &text = {}, double sinceMs = 0) const;
    // The text the named box of the main window shows now.
    QString windowText(const QString &editName) const;
    // What 最近来电 lists now, top row first, each "number|handled|note"
    // (handled 1 or 0), when the program was started with
    // CORVANE_OPEN_RECENT_CALLS set.
    QStringList recentCalls() const;
    // The longest time the program's event loop stood still (of those over a
    // tenth of a second) that ended at or after `sinceMs` since the epoch; 0
    // when none did.
    double longestStallMs(double sinceMs = 0) const;
    qint64 residentKb() const;

    // Runs one statement on the program's database from another connection,
    // as a second program would; each row's columns joined by '|'.
    QStringList query(const QString &sql) const;
    // The customers the database notes as waiting for their number keys,
    // one by one or (a whole book of dense ids) as a range.
    qint64 customersWaitingForKeys() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QStringList m_command; // the launcher, if any, and the program's path
};

} // namespace corvane::test
