// Latency of the caller-ID line: from the last byte of a report on the serial
// line to the parsed number written in the main window, and to the caller's
// customer record shown, with 1,000,000 customers in tel.mdb. 100 reports at
// 9600 baud on a pseudo-terminal; prints median and worst. The ring plays on no
// device here, so its length is not part of the figures.
//
// bench_line [none|bus|notify]: no session bus (the default); a private bus
// with no notification service on it; or one with a service in a thread of
// its own, which adds the figures from the last byte to the call's
// notification received there.

#include "app/application.h"
#include "app/mainwindow.h"
#include "benchdata.h"
#include "desktop/messagebox.h"
#include "linerate.h"
#include "sessionbus.h"
#include "testsupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <pty.h>

using namespace corvane;
using bench::Clock;
using bench::sendReport;

namespace {

constexpr int Reports = 100;
constexpr int Customers = 1'000'000;

// The number of report i: a known caller from the middle of the table.
QString caller(int i)
{
    return bench::telOf(Customers / 2 + i);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    // No sound device: playing the ring returns at once.
    qputenv("ALSA_CONFIG_PATH", "/nonexistent/alsa.conf");
    QApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArrayLiteral("none");
    // Read by the program's first use of the bus, in its start-up.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/corvane-bench-bus");
    std::unique_ptr<test::SessionBus> bus;
    std::unique_ptr<test::NotificationServer> server;
    QThread serverThread;
    if (mode != "none") {
        bus = std::make_unique<test::SessionBus>();
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus->address().toUtf8());
    }
    if (mode == "notify") {
        server = std::make_unique<test::NotificationServer>(bus->connect(QStringLiteral("server")),
                                                            QStringList{QStringLiteral("body")});
        serverThread.start();
        server->moveToThread(&serverThread);
    }
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    test::ProgramFolder folder(false);
    folder.writeFile(QStringLiteral("zel.ini"),
                     "[zel]\r\nfather=com1\r\n[ports]\r\ncom1=" + QByteArray(name) + "\r\n");
    // The customers the reports are looked up among; the call log starts empty.
    bench::createFilledDatabase(folder.file(QStringLiteral("tel.mdb")), Customers, 0);
    test::MessageCapture boxes;

    auto corvane = std::make_unique<Application>();
    MainWindow *main = &corvane->mainWindow();
    main->show();
    QTest::qWait(500);

    Clock::time_point written;
    Clock::time_point shown;
    const QLineEdit *number = main->findChild<QLineEdit *>(QStringLiteral("numberEdit"));
    QObject::connect(number, &QLineEdit::textChanged, main, [&] { written = Clock::now(); });
    // The address is the last of the customer's fields to be filled.
    QObject::connect(main->findChild<QLineEdit *>(QStringLiteral("addressEdit")), &QLineEdit::textChanged,
                     main, [&] { shown = Clock::now(); });

    std::vector<double> latencies;
    std::vector<double> recordLatencies;
    std::vector<double> notificationLatencies;
    for (int i = 0; i < Reports; ++i) {
        written = {};
        shown = {};
        std::atomic<Clock::time_point> lastByte{};
        const qsizetype notifiedBefore = server ? server->received().size() : 0;
        std::thread writer([&] { lastByte = sendReport(master, bench::reportOf(caller(i))); });
        // The real event loop's wait, so that nothing here delays the line.
        QTimer wake;
        wake.start(50);
        QDeadlineTimer deadline(5000);
        while (shown == Clock::time_point{} && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        writer.join();
        if (server) {
            // The notification follows once the desk's sequence has run; the
            // end of a ring period may have sent one more before.
            const auto announced = [&] { return server->received().size() > notifiedBefore; };
            while (!announced() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (announced())
                notificationLatencies.push_back(
                    std::chrono::duration<double, std::milli>(server->received().at(notifiedBefore).at -
                                                              lastByte.load())
                        .count());
        }
        if (written == Clock::time_point{}) {
            std::printf("report %d: no number shown within 5 s\n", i);
            continue;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(written - lastByte.load()).count());
        if (shown != Clock::time_point{})
            recordLatencies.push_back(
                std::chrono::duration<double, std::milli>(shown - lastByte.load()).count());
        if (number->text() != caller(i))
            std::printf("report %d: number read as '%s'\n", i, qPrintable(number->text()));
        QTest::qWait(100);
    }
    if (latencies.empty() || recordLatencies.empty())
        return 1;
    std::printf(
        "caller-ID report, last byte to customer record shown (%d customers, %zu reports): median %.1f ms, "
        "worst %.1f ms\n",
        Customers, recordLatencies.size(), median(recordLatencies),
        *std::max_element(recordLatencies.begin(), recordLatencies.end()));
    if (!notificationLatencies.empty())
        std::printf("caller-ID report, last byte to notification received by the service (%zu reports): "
                    "median %.1f ms, worst %.1f ms\n",
                    notificationLatencies.size(), median(notificationLatencies),
                    *std::max_element(notificationLatencies.begin(), notificationLatencies.end()));
    std::sort(latencies.begin(), latencies.end());
    std::printf("caller-ID report, last byte to number shown (%d reports at 9600 baud): median %.1f ms, "
                "worst %.1f ms, best %.1f ms\n",
                Reports, latencies[latencies.size() / 2], latencies.back(), latencies.front());

    corvane.reset();
    serverThread.quit();
    serverThread.wait();
    ::close(master);
    ::close(slave);
    return 0;
}
