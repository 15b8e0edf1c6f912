// The line's talk with its modem over the fake modem at 9600 baud: from the
// start of the line to caller ID on, for a modem that takes the mode's own
// command and for one that takes only the third tried; and the longest the
// event loop is held up while devices are asked whether they are modems (two
// that answer nothing, one absent, then one that answers), beside the same
// measure of an idle loop, the machine's own noise.

#include "core/lineconfig.h"
#include "core/linesession.h"
#include "core/modemconfig.h"
#include "core/modemprobe.h"
#include "coresupport.h"
#include "modemsim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace corvane;

namespace {

constexpr int Starts = 20;

// Watches the event loop with a 1 ms timer; the longest gap between ticks.
class StallMeter
{
public:
    StallMeter()
    {
        m_clock.start();
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_timer.start(1);
    }
    qint64 longestMs() const { return m_longest; }

private:
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_longest = 0;
};

void printFigures(const char *what, std::vector<qint64> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%s (%zu starts): median %lld ms, worst %lld ms\n", what, ms.size(), ms[ms.size() / 2],
                ms.back());
}

// Start of the line to caller ID on, for a modem answering as `answers` says.
std::vector<qint64> startToCallerIdOn(const QString &answers)
{
    test::ModemSim modem;
    modem.command(QStringLiteral("answers ") + answers);
    test::ProgramFolder folder(false);
    folder.writeFile(QStringLiteral("zel.ini"), "[zel]\r\nfather=com1\r\nschool=制式1\r\n[ports]\r\ncom1=" +
                                                    modem.devicePath().toUtf8() + "\r\n");
    std::vector<qint64> ms;
    for (int i = 0; i < Starts; ++i) {
        // The command taken last time is forgotten, so every start tries them all.
        rememberCallerIdCommand(QStringLiteral("com1"), {});
        LineSession line;
        bool on = false;
        QObject::connect(&line, &LineSession::callerIdOn, [&on] { on = true; });
        QElapsedTimer clock;
        clock.start();
        line.start(readLineConfig(), readModemSettings(QStringLiteral("com1")));
        if (QTest::qWaitFor([&on] { return on; }, 10000))
            ms.push_back(clock.elapsed());
        line.close();
    }
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir noDevices;
    qputenv("CORVANE_DEVICE_FOLDER", noDevices.path().toLocal8Bit());

    printFigures("start to caller ID on, modem taking the first command",
                 startToCallerIdOn(QStringLiteral("ok")));
    printFigures("start to caller ID on, modem taking only the third (AT%CCID=1)",
                 startToCallerIdOn(QStringLiteral("only AT%CCID=1")));

    std::vector<std::unique_ptr<test::ModemSim>> modems;
    QStringList devices;
    for (const char *answers : {"none", "none", "ok"}) {
        modems.push_back(std::make_unique<test::ModemSim>());
        modems.back()->command(QStringLiteral("answers ") + QLatin1String(answers));
        devices.append(modems.back()->devicePath());
    }
    devices.insert(2, QStringLiteral("/nonexistent/ttyACM9"));
    {
        // The machine's own noise: the same meter over an idle loop.
        const StallMeter idle;
        QTest::qWait(2000);
        std::printf("idle event loop for 2000 ms: longest stall %lld ms\n", idle.longestMs());
    }
    ModemProbe probe(1000);
    bool done = false;
    QObject::connect(&probe, &ModemProbe::finished, [&done](bool found) { done = found; });
    QElapsedTimer clock;
    clock.start();
    const StallMeter stalls;
    probe.start(devices);
    const bool found = QTest::qWaitFor([&done] { return done; }, 20000);
    std::printf("asking %lld devices for a modem: %lld ms in all, longest event-loop stall %lld ms\n",
                qlonglong(devices.size()), clock.elapsed(), stalls.longestMs());
    return found ? 0 : 1;
}
