// Figures for the customer picker and the two query windows with a million
// customers and a million logged calls: the time from the user's action to the
// first rows painted, and the memory the process holds.
#include "benchdata.h"
#include "records/calllogqueryform.h"
#include "records/customerpicker.h"
#include "records/customerqueryform.h"
#include "records/datamodule.h"
#include "records/dbgrid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

using namespace corvane;

namespace {

double residentMb()
{
    long pages = 0;
    long resident = 0;
    std::ifstream statm("/proc/self/statm");
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Rewrites the call log in date order, the order in which the program logs
// calls; the generated log has its dates shuffled over the year.
void logCallsChronologically(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const char *columns = "adate,atime,tel,customercode,customername";
    const QByteArray script = QByteArray("begin; create temp table sorted as select ") + columns +
                              " from detail order by adate, id; delete from detail; insert into detail(" +
                              columns + ") select * from sorted; drop table sorted; commit;";
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "reordering the call log: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
}

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
    const int Rows = argc > 1 ? std::max(1000, QByteArray(argv[1]).toInt()) : 1'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tel.mdb"));
    bench::createFilledDatabase(path, Rows, Rows);
    std::printf("%d customers and %d calls (the calls all in 2024)\n", Rows, Rows);

    DataModule data;
    data.ADOConnection1.setDatabasePath(path);
    data.ADOConnection1.database();
    std::printf("resident memory before the windows: %.1f MB\n", residentMb());

    {
        CustomerPicker picker(*data.ADOQuerycustomer);
        PaintWatch watch(picker.ListView);
        const double opening = watch.timeToPaint([&] { picker.show(); });
        std::printf("opening the customer picker, %d items (target < 1000 ms): %.0f ms\n",
                    picker.ListView->model()->rowCount(), opening);
        std::printf("resident memory with the picker open (target < 300 MB): %.1f MB\n", residentMb());
    }

    CustomerQueryForm customers(data);
    customers.show();
    {
        PaintWatch watch(customers.DBGrid1);
        const double querying = watch.timeToPaint([&] { customers.BitBtn1->click(); });
        std::printf("querying all customers, %d rows (target < 1000 ms): %.0f ms\n",
                    customers.DBGrid1->model()->rowCount(), querying);
        std::printf("resident memory with all customers listed (target < 300 MB): %.1f MB\n", residentMb());
    }
    customers.hide();

    CallLogQueryForm calls(data);
    calls.show();
    const auto queryYear = [&](const char *log) {
        calls.dp1->setDate(QDate(2024, 1, 1));
        calls.dp2->setDate(QDate(2024, 12, 31));
        PaintWatch watch(calls.DBGrid1);
        const double querying = watch.timeToPaint([&] { calls.BitBtn1->click(); });
        std::printf("querying a year of calls, %s, %d rows (target < 1000 ms): %.0f ms\n", log,
                    calls.DBGrid1->model()->rowCount(), querying);
        std::printf("resident memory with a year of calls listed (target < 300 MB): %.1f MB\n", residentMb());
    };
    queryYear("dates shuffled");
    calls.hide();
    logCallsChronologically(path);
    calls.show();
    queryYear("logged in date order");
    std::printf("peak resident memory of the run (target < 300 MB): %.1f MB\n", peakMb());
    return 0;
}
