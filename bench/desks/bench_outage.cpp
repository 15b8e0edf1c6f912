// The two-desk outage, over and over: two real desks on a private database
// server over loopback, desk A with a line, desk B without. Each round the
// server goes away just as a known customer calls on desk A's line, stays
// away a moment, and comes back; the call must then be in the call log once,
// neither lost nor doubled. The rounds take turns: the server stopped (its
// connections closed) or halted (its processes stopped, their sockets open),
// the call sent 0 to 160 ms after the server began to go. Prints the rounds
// lost and doubled, last byte to number shown on desk A, and the longest the
// desk's event loop stood still; exits 1 when a call was lost or doubled.
// Argument: the number of rounds (50).

#include "linerate.h"
#include "pgserver.h"
#include "runningprogram.h"
#include "store/stores.h"
#include "twodesks.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

using namespace corvane;

namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int OutageMs = 1500;

double systemNowMs()
{
    return Milliseconds(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Round i's call time: one minute apart, from 10:00.
QString timeOf(int round)
{
    return QStringLiteral("%1:%2")
        .arg(10 + round / 60, 2, 10, QLatin1Char('0'))
        .arg(round % 60, 2, 10, QLatin1Char('0'));
}

int loggedAt(const test::PgServer &server, const QString &time)
{
    return server.query(QStringLiteral("SELECT count(*) FROM detail WHERE atime = '%1'").arg(time))
        .value(0)
        .toInt();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 50;
    test::PgServer server;
    const ServerAddress address = server.loopbackAddress();
    {
        Stores stores;
        stores.connection.setServer(address);
        stores.rings.currentRing();
    }
    server.query(QStringLiteral("INSERT INTO customer (customercode, customername, tel) "
                                "VALUES ('C1', '五金店', '5551234')"));

    bench::TwoDesks desks(address);
    if (!desks.started())
        return 1;
    const int master = desks.master;
    test::RunningProgram &deskA = *desks.deskA;
    test::RunningProgram &deskB = *desks.deskB;
    QThread::msleep(3000);

    QElapsedTimer whole;
    whole.start();
    const double first = systemNowMs();
    int lost = 0;
    int doubled = 0;
    std::vector<double> numberShown;
    for (int round = 0; round < rounds; ++round) {
        const bool halt = round % 2 == 1;
        const QString time = timeOf(round);
        const QByteArray report =
            "\r\nDATE = 0321\r\nTIME = " + QString(time).remove(QLatin1Char(':')).toLatin1() +
            "\r\nNMBR = 5551234\r\n\r\n";
        char drained[256];
        while (::read(master, drained, sizeof drained) > 0) {
        }
        std::thread goingAway([&server, halt] {
            if (halt)
                server.pause();
            else
                server.stop();
        });
        QThread::msleep(ulong(40 * (round / 2 % 5)));
        const bench::Clock::time_point last = bench::sendReport(master, report);
        const double lastByte = systemNowMs() - Milliseconds(bench::Clock::now() - last).count();
        goingAway.join();

        QDeadlineTimer showing(10000);
        while (deskA.windowText(QStringLiteral("callTimeEdit")) != time && !showing.hasExpired())
            QThread::msleep(10);
        for (const QJsonObject &change : deskA.windowChanges())
            if (change.value(QStringLiteral("what")).toString() == QLatin1String("callTimeEdit") &&
                change.value(QStringLiteral("text")).toString() == time)
                numberShown.push_back(change.value(QStringLiteral("ms")).toDouble() - lastByte);

        QThread::msleep(OutageMs);
        if (halt)
            server.resume();
        else
            server.start();
        // Logged by the call log's next try, then nothing more once the
        // journal is empty.
        QDeadlineTimer logging(20000);
        while (loggedAt(server, time) == 0 && !logging.hasExpired())
            QThread::msleep(100);
        QDeadlineTimer settling(10000);
        while (QFile::exists(deskA.folder() + QStringLiteral("calls.journal")) && !settling.hasExpired())
            QThread::msleep(100);
        const int count = loggedAt(server, time);
        if (count != 1) {
            std::printf("round %d (%s, %s): the call is in the log %d times\n", round,
                        halt ? "halted" : "stopped", qPrintable(time), count);
            (count == 0 ? lost : doubled) += 1;
        }
        if (!deskA.isRunning() || !deskB.isRunning()) {
            std::printf("round %d: a desk ended\n", round);
            return 1;
        }
    }
    std::sort(numberShown.begin(), numberShown.end());
    std::printf("%d rounds in %.0f s: %d calls lost, %d doubled\n", rounds, double(whole.elapsed()) / 1000,
                lost, doubled);
    if (!numberShown.empty())
        std::printf(
            "desk A, last byte on the line to number shown (%zu calls): median %.1f ms, worst %.1f ms\n",
            numberShown.size(), numberShown[numberShown.size() / 2], numberShown.back());
    std::printf("desk A's event loop stood still %.0f ms at the longest\n", deskA.longestStallMs(first));
    return lost == 0 && doubled == 0 ? 0 : 1;
}
