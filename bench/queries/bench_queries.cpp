// Figures for the windows over the big tables with ten million customers and
// ten million logged calls: the time from the user's action to the first rows
// painted, the memory the process holds, and the write-ahead log left after
// calls are logged while the entry form's customers are open.
#include "benchdata.h"
#include "core/calllogwriter.h"
#include "desktop/filechooser.h"
#include "loggedcall.h"
#include "peakmeter.h"
#include "records/calllogqueryform.h"
#include "records/customerentryform.h"
#include "records/customerpicker.h"
#include "records/customerqueryform.h"
#include "records/dbedit.h"
#include "records/dbgrid.h"
#include "records/recentcallsform.h"
#include "store/stores.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

using namespace corvane;
using corvane::bench::PeakMeter;

namespace {

double residentMb()
{
    long pages = 0;
    long resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

class NoFileChooser : public FileChooser
{
public:
    QString fileToOpen(QWidget *, const QString &, const QString &) override { return {}; }
    QString fileToSave(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

// Notes when a view's viewport has painted.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QAbstractItemView *view) : m_viewport(view->viewport())
    {
        m_viewport->installEventFilter(this);
    }
    ~PaintWatch() override { m_viewport->removeEventFilter(this); }

    // Runs `action`, then the event loop until the view has painted; in ms.
    template <typename Action> double timeToPaint(Action action)
    {
        m_painted = false;
        QElapsedTimer timer;
        timer.start();
        action();
        m_viewport->update();
        while (!m_painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return double(timer.nsecsElapsed()) / 1e6;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QWidget *m_viewport;
    bool m_painted = false;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The row count can be lowered for a quick run: bench_queries 10000
    const int Rows = argc > 1 ? std::max(1000, QByteArray(argv[1]).toInt()) : 10'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tel.mdb"));
    QElapsedTimer building;
    building.start();
    bench::createFilledDatabase(path, Rows, Rows, Rows);
    std::printf(
        "%d customers, %d logged calls (all in 2024) and %d recent calls, ready in %.1f s (setup, not a "
        "target)\n",
        Rows, Rows, Rows, double(building.elapsed()) / 1000.0);

    // Peak memory from here on: generating the file is not the program's work.
    PeakMeter meter;

    Stores stores;
    stores.connection.setDatabasePath(path);
    stores.rings.currentRing();
    std::printf("resident memory before the windows: %.1f MB\n", residentMb());

    meter.reset();
    {
        CustomerPicker picker(stores.customers);
        auto *list = picker.findChild<QAbstractItemView *>(QStringLiteral("customerList"));
        PaintWatch watch(list);
        const double opening = watch.timeToPaint([&] { picker.show(); });
        std::printf("opening the customer picker, %d items (target <= 1000 ms): %.0f ms\n",
                    list->model()->rowCount(), opening);
        std::printf("resident memory with the picker open (target <= 150 MB): %.1f MB\n", residentMb());
        meter.report("the picker");
    }

    meter.reset();

    CustomerQueryForm customers(stores.customers);
    customers.show();
    {
        auto *grid = customers.findChild<DBGrid *>(QStringLiteral("resultGrid"));
        auto *query = customers.findChild<QPushButton *>(QStringLiteral("queryButton"));
        PaintWatch watch(grid);
        const double querying = watch.timeToPaint([&] { query->click(); });
        std::printf("querying all customers, %d rows (target <= 1000 ms): %.0f ms\n",
                    grid->model()->rowCount(), querying);
        const double scrolling = watch.timeToPaint([&] { grid->scrollToBottom(); });
        std::printf("scrolling to the last customer: %.0f ms\n", scrolling);
        std::printf("resident memory with all customers listed (target <= 150 MB): %.1f MB\n", residentMb());
        meter.report("all customers listed");
    }
    customers.hide();

    meter.reset();

    CallLogQueryForm calls(stores.calls, stores.customers);
    calls.show();
    const auto queryYear = [&](const char *log) {
        calls.findChild<QDateEdit *>(QStringLiteral("firstDateEdit"))->setDate(QDate(2024, 1, 1));
        calls.findChild<QDateEdit *>(QStringLiteral("lastDateEdit"))->setDate(QDate(2024, 12, 31));
        auto *grid = calls.findChild<DBGrid *>(QStringLiteral("resultGrid"));
        PaintWatch watch(grid);
        const double querying = watch.timeToPaint(
            [&] { calls.findChild<QPushButton *>(QStringLiteral("queryButton"))->click(); });
        std::printf("querying a year of calls, %s, %d rows (target <= 1000 ms): %.0f ms\n", log,
                    grid->model()->rowCount(), querying);
        std::printf("resident memory with a year of calls listed (target <= 150 MB): %.1f MB\n",
                    residentMb());
    };
    queryYear("dates shuffled");
    meter.report("a year of calls listed");
    calls.hide();

    meter.reset();

    meter.reset();
    {
        NoFileChooser files;
        RecentCallsForm recent(stores.recentCalls, stores.customers, files, {});
        auto *list = recent.findChild<QAbstractItemView *>(QStringLiteral("callList"));
        PaintWatch watch(list);
        std::printf("opening 最近来电 on %d calls, first %d rows (target <= 1000 ms): %.0f ms\n", Rows,
                    list->model()->rowCount(), watch.timeToPaint([&] { recent.show(); }));
        const auto check = [&](const char *name, bool on) {
            recent.findChild<QCheckBox *>(QLatin1String(name))->setChecked(on);
        };
        const auto filtered = [&](const char *filter) {
            const double ms = watch.timeToPaint(
                [&] { recent.findChild<QPushButton *>(QStringLiteral("queryButton"))->click(); });
            std::printf("最近来电 %s, first %d rows (target <= 1000 ms): %.0f ms\n", filter,
                        list->model()->rowCount(), ms);
        };
        check("todayBox", true);
        filtered("today");
        check("todayBox", false);
        check("notHandledBox", true);
        filtered("not handled");
        check("notHandledBox", false);
        check("dateRangeBox", true);
        filtered("a week up to today");
        check("dateRangeBox", false);
        auto *number = recent.findChild<QLineEdit *>(QStringLiteral("numberEdit"));
        number->setText(bench::telOf(4242));
        filtered("one customer's number");
        number->setText(QStringLiteral("13900000000"));
        filtered("a number that never called");
        number->clear();
        recent.findChild<QLineEdit *>(QStringLiteral("codeBox"))->setText(QStringLiteral("KH4242"));
        filtered("one customer's code");
        recent.findChild<QLineEdit *>(QStringLiteral("codeBox"))->clear();
        filtered("without filters");
        const double scrolling = watch.timeToPaint([&] {
            for (int i = 0; i < 50; ++i) {
                list->scrollToBottom();
                QCoreApplication::processEvents();
            }
        });
        std::printf("最近来电 scrolled down 50 times: %.0f ms, %d rows read\n", scrolling,
                    list->model()->rowCount());
        std::printf("resident memory with 最近来电 open (target <= 150 MB): %.1f MB\n", residentMb());
        meter.report("最近来电");
    }

    meter.reset();

    CustomerEntryForm entry(stores.customers);
    {
        QElapsedTimer timer;
        timer.start();
        entry.show();
        QCoreApplication::processEvents();
        std::printf("showing the entry form on the first of %d customers (%s, target <= 1000 ms): %.0f ms\n",
                    Rows, qPrintable(entry.findChild<DBEdit *>(QStringLiteral("customerCodeEdit"))->text()),
                    double(timer.nsecsElapsed()) / 1e6);
        std::printf("resident memory with the entry form open (target <= 150 MB): %.1f MB\n", residentMb());
        meter.report("the entry form");
    }
    entry.hide();
    {
        // The entry form's customers stay open, as in the tray for months;
        // the calls go through the program's call-log writer.
        CallLogWriter writer(stores.connection, dir.filePath(QStringLiteral("calls.journal")));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 10'000; ++i)
            test::logCall(writer, {QStringLiteral("2025-01-02"), QStringLiteral("09:30"),
                                   bench::telOf(i % Rows), QStringLiteral("KH%1").arg(i % Rows),
                                   QStringLiteral("深圳市客户%1有限公司").arg(i)});
        const double wal = double(QFileInfo(path + QStringLiteral("-wal")).size()) / (1024.0 * 1024.0);
        std::printf(
            "10000 calls logged with the entry form's customers open in %.1f s: write-ahead log %.2f MB "
            "(target < 4 MB)\n",
            double(timer.elapsed()) / 1000.0, wal);
    }
    std::printf("peak resident memory of the run (target <= 150 MB): %.1f MB\n", meter.runPeak());
    return 0;
}
