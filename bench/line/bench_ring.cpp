// The call display while the real ring files sound: from the last byte of a
// report on the serial line to the caller's customer record shown, and the
// longest the main window's event loop stood still between the report and
// the end of its ring. The rings play through ALSA into a private PulseAudio
// whose pipe sink runs on the system clock, so each takes its real time.
// 30 reports at 9600 baud on a pseudo-terminal, the three rings in turn,
// 100,000 customers; prints median and worst.

#include "app/application.h"
#include "app/mainwindow.h"
#include "benchdata.h"
#include "core/calldesk.h"
#include "linerate.h"
#include "platform/ringplayer.h"
#include "platform/timer.h"
#include "pulse-sink.h"
#include "testsupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <pty.h>

using namespace corvane;
using bench::Clock;

namespace {

constexpr int Reports = 30;
constexpr int Customers = 100'000;

QString caller(int i)
{
    return bench::telOf(Customers / 2 + i);
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void printFigures(const char *what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::printf("%s (%zu reports): median %.1f ms, worst %.1f ms, best %.1f ms\n", what, v.size(),
                v[v.size() / 2], v.back(), v.front());
}

void chooseRing(const QString &database, int code)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
        db.setDatabaseName(database);
        db.open();
        QSqlQuery(QStringLiteral("update ring set bz=case code when '%1' then '1' else '0' end").arg(code),
                  db);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench"));
}

} // namespace

int main(int argc, char **argv)
{
    test::PulsePipeSink sink(22050, 1);
    if (!sink.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(sink.errorString()));
        return 1;
    }
    qputenv("ALSA_CONFIG_PATH", QFile::encodeName(sink.alsaConfig()));
    qputenv("PULSE_CLIENTCONFIG", QFile::encodeName(sink.clientConfig()));
    QApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    test::ProgramFolder folder(false);
    folder.writeFile(QStringLiteral("zel.ini"),
                     "[zel]\r\nfather=com1\r\n[ports]\r\ncom1=" + QByteArray(name) + "\r\n");
    for (const char *ring : {"ringin1.wav", "ringin2.wav", "ringin3.wav"})
        QFile::copy(QStringLiteral(CORVANE_SOURCE_DIR "/resources/") + QLatin1String(ring),
                    folder.file(QLatin1String(ring)));
    const QString database = folder.file(QStringLiteral("tel.mdb"));
    bench::createFilledDatabase(database, Customers, 0);
    test::MessageCapture boxes;

    auto corvane = std::make_unique<Application>();
    MainWindow *main = &corvane->mainWindow();
    CallDesk &desk = corvane->callDesk();
    const RingPlayer *ringPlayer = &corvane->ringPlayer();
    main->show();
    QTest::qWait(500);

    Clock::time_point shown;
    QObject::connect(main->findChild<QLineEdit *>(QStringLiteral("addressEdit")), &QLineEdit::textChanged,
                     main, [&] { shown = Clock::now(); });
    // The event loop's pulse: a 1 ms timer, and the longest gap between ticks.
    Clock::time_point lastTick = Clock::now();
    Clock::duration longestGap{};
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
    });
    pulse.start(1);

    std::vector<double> recordLatencies;
    std::vector<double> stalls;
    std::vector<double> rings;
    for (int i = 0; i < Reports; ++i) {
        chooseRing(database, i % 3 + 1);
        shown = {};
        std::atomic<Clock::time_point> lastByte{};
        QTest::qWait(50);
        lastTick = Clock::now();
        longestGap = {};
        std::thread writer([&] { lastByte = bench::sendReport(master, bench::reportOf(caller(i))); });
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && (shown == Clock::time_point{} || !ringPlayer->isIdle()))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        writer.join();
        const Clock::time_point ringEnded = Clock::now();
        // One ring per report: no repeats.
        desk.findChild<Timer *>(QStringLiteral("repeatRingTimer"))->setEnabled(false);
        desk.findChild<Timer *>(QStringLiteral("ringPeriodTimer"))->setEnabled(false);
        if (shown == Clock::time_point{}) {
            std::printf("report %d: no record shown within 10 s\n", i);
            continue;
        }
        recordLatencies.push_back(ms(shown - lastByte.load()));
        stalls.push_back(ms(longestGap));
        rings.push_back(ms(ringEnded - lastByte.load()));
    }
    if (recordLatencies.empty())
        return 1;
    printFigures("with the real rings sounding, last byte to customer record shown", recordLatencies);
    printFigures("last byte to the end of the ring (ring length 1.7 to 2.3 s)", rings);
    printFigures("longest event-loop stall from the report to the end of its ring", stalls);

    corvane.reset();
    ::close(master);
    ::close(slave);
    return 0;
}
