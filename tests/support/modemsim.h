#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace corvane::test {

// Today as a report gives it ("1209"), and as the program shows it
// ("2026-12-09"). The tests' calls come today: the year of a day far from
// today would be that of the nearer year.
QString todayAsReported();
QString todayText();

// A caller-ID report as the modem sends it; `number` may carry lines of its own.
QString callerIdReport(const QString &number, const QString &date = todayAsReported(),
                       const QString &time = QStringLiteral("1405"));

// The fake caller-ID modem (tools/modemsim) on a pseudo-terminal, run as a
// child process. Commands wait for the modem's "done" while the event loop
// keeps running, so a program in this process can read the line meanwhile.
class ModemSim
{
public:
    ModemSim();
    ~ModemSim();
    ModemSim(const ModemSim &) = delete;
    ModemSim &operator=(const ModemSim &) = delete;

    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // The serial device the program under test opens: a link to the
    // pseudo-terminal, so it keeps its path across "unplug" and "replug".
    QString devicePath() const { return m_device; }

    // Sends one command ("call 5551234 0321 1405", "send AT\r", "hangup",
    // "unplug", "replug" …)
    // and waits until the modem has fully written it. False on an error
    // answer or a timeout.
    bool command(const QString &line, int timeoutMs = 30000);
    // "send" with the text escaped: line ends and backslashes arrive as they are.
    bool send(const QString &text);

    // Every byte the modem has received so far.
    QByteArray recorded() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_device;
};

} // namespace corvane::test
