// Corvane on Linux beside its Windows build under Wine, on the same machine
// and measured the same way, each the real program in a process of its own
// read through its window log: start-up to the main window shown (median and
// worst of 5 starts after one warm-up start, which under Wine also keeps the
// prefix's first boot out); the last byte of a caller-ID report to the
// customer's record shown (100 reports at 9600 baud on a pseudo-terminal as
// the program's port, COM1 under Wine, with 1,000,000 customers in tel.mdb);
// and the size of what a shop gets.
//
//   bench_wine [<Windows build folder> <dependency cache>]
//
// Without a Windows build, the Linux figures alone. The Windows build's
// corvane-under-test.exe runs through tools/windows/wine-run.sh in a prefix
// made for the run; its size is that of the program folder gathered by the
// Windows build's target windows-program-folder.

#include "benchdata.h"
#include "linerate.h"
#include "runningprogram.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <poll.h>
#include <unistd.h>
#include <vector>

using namespace corvane;

namespace {

constexpr int Starts = 5;
constexpr int Reports = 100;
constexpr int Customers = 1'000'000;

void report(const char *platform, const char *what, std::vector<double> ms)
{
    if (ms.empty()) {
        std::printf("%s, %s: no figures\n", platform, what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s, %s: median %.0f ms, worst %.0f ms\n", platform, what, ms[ms.size() / 2], ms.back());
}

// Runs a command to its end, for at most a minute: its exit code, or -1.
int run(const QStringList &command)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// What the window did show of a report whose record did not come: whether
// the number came, and how long the program stood still meanwhile.
void missed(const test::RunningProgram &program, const char *platform, int report, const QString &tel,
            double lastByteMs)
{
    const std::optional<double> number = program.shownAt(QStringLiteral("numberEdit"), tel, lastByteMs - 1);
    const QString numberShown =
        number ? QStringLiteral("number shown after %1 ms").arg(*number - lastByteMs, 0, 'f', 0)
               : QStringLiteral("number not shown");
    std::printf("%s, report %d: record not shown within 10 s (%s, longest stall %.0f ms)\n", platform, report,
                qPrintable(numberShown), program.longestStallMs(lastByteMs));
}

// Ends the program as a request to end by signal does.
void terminate(test::RunningProgram &program)
{
    QProcess &process = program.process();
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
}

using Stop = std::function<void(test::RunningProgram &)>;

// Starts the program `launch` names until its window is shown, each time
// after `stop` ended it, and then plays the reports to it.
void measure(const char *platform, int master, const QString &port, const test::ProgramLaunch &launch,
             const QProcessEnvironment &environment, const Stop &stop)
{
    test::RunningProgram program(QStringLiteral("制式1"), port, {}, environment, {}, launch);
    stop(program);
    const QString file = program.folder() + QStringLiteral("tel.mdb");
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
    bench::createFilledDatabase(file, Customers, 0);

    std::vector<double> startUps;
    for (int start = 0; start <= Starts; ++start) {
        if (start > 0)
            stop(program);
        const double startMs = bench::systemNowMs();
        program.restart();
        std::optional<double> shown;
        const QDeadlineTimer deadline(120000);
        while (!shown && program.isRunning() && !deadline.hasExpired()) {
            QThread::msleep(5);
            shown = program.shownAt(QStringLiteral("shown"), {}, startMs);
        }
        if (!shown) {
            std::printf("%s: the main window was not shown (%s)\n", platform,
                        qPrintable(program.messageTexts().join(QLatin1Char(' '))));
            return;
        }
        if (start > 0)
            startUps.push_back(*shown - startMs);
    }
    report(platform, "start-up to main window shown (5 starts after one warm-up start)", startUps);

    // The port is open once the program has told the modem its mode.
    pollfd written{master, POLLIN, 0};
    if (::poll(&written, 1, 60000) != 1) {
        std::printf("%s: the program wrote nothing to its port\n", platform);
        return;
    }
    QThread::msleep(1000);
    std::vector<double> latencies;
    for (int i = 0; i < Reports; ++i) {
        const int customer = Customers / 2 + i;
        const double lastByte = bench::sendReportOf(master, bench::telOf(customer));
        std::optional<double> shown;
        const QDeadlineTimer deadline(10000);
        while (!shown && !deadline.hasExpired()) {
            QThread::msleep(5);
            shown = program.shownAt(QStringLiteral("addressEdit"), bench::addressOf(customer), lastByte - 1);
        }
        if (shown)
            latencies.push_back(*shown - lastByte);
        else
            missed(program, platform, i, bench::telOf(customer), lastByte);
        QThread::msleep(300);
    }
    report(platform, "last byte to customer record shown (100 reports at 9600 baud, 1,000,000 customers)",
           latencies);
    // Under Wine the process started is Wine's start.exe, which starts the
    // program in a process of its own.
    if (launch.launcher.isEmpty())
        std::printf("%s, resident memory after the calls: %.0f MB\n", platform,
                    double(program.residentKb()) / 1024);
    stop(program);
    // Read once the program has ended: SQLite's locks under Wine are not seen here.
    std::printf("%s, calls written: %s of %d, with no customer found %s\n", platform,
                qPrintable(program.query(QStringLiteral("SELECT count(*) FROM calls")).value(0)), Reports,
                qPrintable(program
                               .query(QStringLiteral("SELECT count(*) FROM calls WHERE customercode IS NULL "
                                                     "OR customercode = ''"))
                               .value(0)));
}

double megabytes(qint64 bytes)
{
    return double(bytes) / 1e6;
}

// The executable stripped as the Debian package ships it.
void linuxSize()
{
    const QTemporaryDir dir;
    const QString stripped = dir.filePath(QStringLiteral("corvane"));
    QProcess::execute(QStringLiteral("strip"), {QStringLiteral("--strip-unneeded"), QStringLiteral("-o"),
                                                stripped, QStringLiteral(CORVANE_EXECUTABLE)});
    std::printf("Linux, size: corvane %.1f MB stripped as the package ships it (%.1f MB as built); Qt and "
                "the rest come from Debian's packages\n",
                megabytes(QFileInfo(stripped).size()),
                megabytes(QFileInfo(QStringLiteral(CORVANE_EXECUTABLE)).size()));
}

void windowsSize(const QString &windowsBuild)
{
    const QStringList folders = QDir(windowsBuild + QStringLiteral("/windows-package"))
                                    .entryList({QStringLiteral("Corvane-*")}, QDir::Dirs);
    if (folders.isEmpty()) {
        std::printf("Wine, size: no program folder; build the Windows build's target "
                    "windows-program-folder first\n");
        return;
    }
    const QString folder = windowsBuild + QStringLiteral("/windows-package/") + folders.first();
    qint64 binaries = 0;
    qint64 all = 0;
    int dlls = 0;
    for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo file = it.nextFileInfo();
        all += file.size();
        if (file.suffix().compare(QLatin1String("dll"), Qt::CaseInsensitive) == 0) {
            binaries += file.size();
            ++dlls;
        }
    }
    const qint64 exe = QFileInfo(folder + QStringLiteral("/Corvane.exe")).size();
    std::printf("Wine, size: Corvane.exe %.1f MB, with the %d DLLs it ships %.1f MB (the whole program "
                "folder %.1f MB)\n",
                megabytes(exe), dlls, megabytes(exe + binaries), megabytes(all));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() != 0 && arguments.size() != 2) {
        std::fprintf(stderr, "usage: bench_wine [<Windows build folder> <dependency cache>]\n");
        return 2;
    }
    const bench::ModemPty modem;
    if (!modem.isOpen())
        return 1;
    const int master = modem.master();

    QProcessEnvironment noBus;
    // No session bus: a call's notification reaches no desktop.
    noBus.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
    measure("Linux", master, modem.name(), {}, noBus, terminate);
    linuxSize();

    if (arguments.size() == 2) {
        const QString windowsBuild = QDir(arguments.at(0)).absolutePath();
        const QTemporaryDir wine;
        const QString prefix = wine.filePath(QStringLiteral("prefix"));
        if (run({QStringLiteral(CORVANE_SOURCE_DIR "/tools/windows/wine-prefix.sh"), arguments.at(1), prefix,
                 modem.name()}) != 0)
            return 1;
        const QStringList launcher{QStringLiteral(CORVANE_SOURCE_DIR "/tools/windows/wine-run.sh"),
                                   arguments.at(1), prefix};
        const QStringList wineserver{QStringLiteral("env"), QStringLiteral("WINEPREFIX=") + prefix,
                                     QStringLiteral("/usr/lib/wine/wineserver64")};
        // The program is asked to end as its installer asks it, and every
        // start begins with none of the prefix's programs running and its
        // wineserver ended.
        const auto quit = [&](test::RunningProgram &program) {
            run(launcher +
                QStringList{program.folder() + QStringLiteral("Corvane.exe"), QStringLiteral("--quit")});
            if (!program.process().waitForFinished(10000)) {
                run(wineserver + QStringList{QStringLiteral("-k")});
                program.process().waitForFinished();
            }
            run(wineserver + QStringList{QStringLiteral("-w")});
        };
        std::printf("Wine: a prefix of its own, COM1 the pseudo-terminal; every start with no program of the "
                    "prefix running and its wineserver ended; the warm-up start, the first after the "
                    "prefix's boot, not counted\n");
        measure("Wine", master, QStringLiteral("COM1"),
                {windowsBuild + QStringLiteral("/tests/support/corvane-under-test.exe"),
                 QStringLiteral("Corvane.exe"), launcher},
                {}, quit);
        // Whatever of the prefix still runs ends with it.
        run(wineserver + QStringList{QStringLiteral("-k")});
        windowsSize(windowsBuild);
    }
    return 0;
}
