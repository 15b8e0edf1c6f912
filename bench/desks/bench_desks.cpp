// Two desks on one database server over loopback, 1,000,000 customers on it:
// from the last byte of a report on desk A's line to the caller's record
// shown on desk A, and from the announcement (as a third listener on the
// server hears it) to the record shown on desk B. Both desks are the real
// program in program folders of their own; their windows log when a text box
// changed. 100 reports at 9600 baud on a pseudo-terminal; prints median and
// worst. Then the server halted (its processes stopped, their sockets open):
// from the last byte of a report to its number shown on desk A, and the
// longest the desk's event loop stood still meanwhile.

#include "linerate.h"
#include "pgserver.h"
#include "runningprogram.h"
#include "store/callannouncements.h"
#include "store/stores.h"
#include "twodesks.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <optional>
#include <vector>

using namespace corvane;
using bench::Clock;

namespace {

constexpr int Reports = 100;
constexpr int Customers = 1'000'000;
constexpr int ReportsWhileHalted = 5;

QString telOf(int customer)
{
    return QStringLiteral("1380%1").arg(customer, 7, 10, QLatin1Char('0'));
}

QString addressOf(int customer)
{
    return QStringLiteral("人民路 %1 号").arg(customer);
}

void report(const char *what, std::vector<double> v)
{
    if (v.empty()) {
        std::printf("%s: no figures\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    std::printf("%s (%d customers, %zu reports): median %.1f ms, worst %.1f ms\n", what, Customers, v.size(),
                v[v.size() / 2], v.back());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    test::PgServer server;
    const ServerAddress address = server.loopbackAddress();
    {
        // The program's tables, as a desk's first connect makes them.
        Stores stores;
        stores.connection.setServer(address);
        stores.rings.currentRing();
    }
    QElapsedTimer loading;
    loading.start();
    server.query(QStringLiteral("INSERT INTO customer (customercode, customername, address, tel) "
                                "SELECT 'K' || i, '客户' || i, '人民路 ' || i || ' 号', "
                                "'1380' || lpad(i::text, 7, '0') FROM generate_series(1, %1) AS i; "
                                "ANALYZE customer")
                     .arg(Customers));
    std::printf("%d customers loaded in %.1f s\n", Customers, double(loading.elapsed()) / 1000);

    bench::TwoDesks desks(address);
    if (!desks.started())
        return 1;
    const int master = desks.master;
    test::RunningProgram &deskA = *desks.deskA;
    test::RunningProgram &deskB = *desks.deskB;

    // The listener hears on a thread of its own, so reading the desks' logs
    // here does not delay the moment it notes.
    QThread listening;
    listening.start();
    auto *listener = new CallAnnouncements(address);
    listener->moveToThread(&listening);
    QObject::connect(&listening, &QThread::finished, listener, &QObject::deleteLater);
    std::atomic<double> heardAt{0};
    QObject::connect(
        listener, &CallAnnouncements::heard, listener, [&] { heardAt = bench::systemNowMs(); },
        Qt::DirectConnection);
    QMetaObject::invokeMethod(listener, [listener] { listener->open(); });
    // Both desks and this listener on the channel.
    QDeadlineTimer ready(30000);
    while (
        server
            .query(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE query LIKE 'LISTEN corvane%'"))
            .value(0)
            .toInt() < 3) {
        if (ready.hasExpired()) {
            std::printf("the desks did not listen within 30 s\n");
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        QThread::msleep(100);
    }
    QThread::msleep(1000);

    std::vector<double> shownOnA;
    std::vector<double> shownOnB;
    std::vector<double> lineToB;
    for (int i = 0; i < Reports; ++i) {
        const int customer = Customers / 2 + i * 997;
        heardAt = 0;
        const double lastByte = bench::sendReportOf(master, telOf(customer));
        std::optional<double> a;
        std::optional<double> b;
        QDeadlineTimer deadline(5000);
        while ((!a || !b || heardAt == 0) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(10);
            a = deskA.shownAt(QStringLiteral("addressEdit"), addressOf(customer));
            b = deskB.shownAt(QStringLiteral("addressEdit"), addressOf(customer));
        }
        if (!a || !b || heardAt == 0) {
            std::printf("report %d: not shown on %s within 5 s\n", i,
                        !a   ? "desk A"
                        : !b ? "desk B"
                             : "the channel");
            continue;
        }
        shownOnA.push_back(*a - lastByte);
        shownOnB.push_back(*b - heardAt);
        lineToB.push_back(*b - lastByte);
        QThread::msleep(100);
    }
    report("desk A, last byte on the line to customer record shown", shownOnA);
    report("desk B, announcement heard to customer record shown", shownOnB);
    report("desk B, last byte on desk A's line to customer record shown", lineToB);

    const double halted = bench::systemNowMs();
    server.pause();
    std::vector<double> numberShown;
    for (int i = 0; i < ReportsWhileHalted; ++i) {
        const QString tel = telOf(Customers / 3 + i);
        const double lastByte = bench::sendReportOf(master, tel);
        std::optional<double> shown;
        QDeadlineTimer deadline(30000);
        while (!shown && !deadline.hasExpired()) {
            QThread::msleep(10);
            shown = deskA.shownAt(QStringLiteral("numberEdit"), tel);
        }
        if (!shown) {
            std::printf("server halted, report %d: number not shown within 30 s\n", i);
            break;
        }
        numberShown.push_back(*shown - lastByte);
        QThread::msleep(500);
    }
    report("server halted, desk A, last byte on the line to number shown", numberShown);
    server.resume();
    // A loop that stood still until now has just logged it.
    QThread::msleep(2000);
    std::printf("server halted: desk A's event loop stood still %.0f ms at the longest\n",
                deskA.longestStallMs(halted));
    listening.quit();
    listening.wait();
    return shownOnA.empty() ? 1 : 0;
}
