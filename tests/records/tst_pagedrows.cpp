// Results too big to read whole at opening are read a page at a time as they
// are shown; they must behave exactly as a small result does, and leave the
// database free to reset its write-ahead log.
#include "customerrows.h"
#include "pgserver.h"
#include "records/dataset.h"
#include "records/datasetmodel.h"
#include "testsupport.h"

#include <QDate>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

using namespace corvane;
using State = Dataset::State;

namespace {

constexpr int Calls = Dataset::CachedRows * 2 + 300;
const QDate NewYear(2026, 1, 1);
const QDate NewYearsEve(2026, 12, 31);

// Logs `count` calls numbered from `first`: call i is from customer 'Ki' on
// the day `dateOfCall` gives for i.
void logCalls(Connection &connection, int first, int count, const QString &dateOfCall)
{
    test::run(connection,
              QStringLiteral("with recursive n(i) as (select %1 union all select i+1 from n where i<%2) "
                             "insert into detail(adate,atime,tel,customercode) "
                             "select %3, '09:30', 'T'||i, 'K'||(i % 7) from n")
                  .arg(first)
                  .arg(first + count - 1)
                  .arg(dateOfCall));
}

// Five days only, scattered: most rows share their date with thousands of
// others, so pages end and start among equal dates.
const QString FewDays = QStringLiteral("'2026-0' || (1 + (i*7) % 5) || '-01'");

QStringList idsOf(Dataset &query, const QList<int> &rows)
{
    QStringList ids;
    for (int row : rows) {
        query.moveTo(row);
        ids.append(query.fieldText(QStringLiteral("id")));
    }
    return ids;
}

QList<int> range(int from, int to, int step)
{
    QList<int> rows;
    for (int row = from; step > 0 ? row < to : row > to; row += step)
        rows.append(row);
    return rows;
}

} // namespace

class PagedRowsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every case runs on tel.mdb and on a shared server's database.
    void initTestCase_data() { test::PgServer::addEngineRows(); }

    void initTestCase() { m_server = std::make_unique<test::PgServer>(); }

    void init()
    {
        QFETCH_GLOBAL(bool, onServer);
        m_db = std::make_unique<test::FolderDatabase>();
        if (onServer) {
            m_server->emptyDatabase();
            m_db->connection.setServer(m_server->socketAddress());
            // Hundreds of thousands of rows are loaded in one statement.
            m_db->connection.setAnswerWait(60'000);
        }
    }

    void cleanup() { m_db.reset(); }

    // Every row comes exactly once and in date order however the rows are
    // reached: walking on, walking back, or jumping about.
    void rowsComeInDateOrderHoweverTheyAreReached()
    {
        logCalls(m_db->connection, 1, Calls, FewDays);
        logCalls(m_db->connection, Calls + 1, 5, QStringLiteral("'2025-03-01'"));
        const QStringList expected =
            test::column(m_db->connection,
                         QStringLiteral("select id from detail where adate like '2026%' order by adate, id"));
        QCOMPARE(expected.size(), Calls);

        Dataset walkedOn(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        walkedOn.open();
        QCOMPARE(walkedOn.recordCount(), Calls);
        QCOMPARE(idsOf(walkedOn, range(0, Calls, 1)), expected);

        Dataset walkedBack(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        walkedBack.open();
        walkedBack.last();
        QStringList backwards = idsOf(walkedBack, range(Calls - 1, -1, -1));
        std::reverse(backwards.begin(), backwards.end());
        QCOMPARE(backwards, expected);

        Dataset jumped(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        jumped.open();
        QList<int> rows;
        for (int i = 0; i < 400; ++i)
            rows.append(int(QRandomGenerator::global()->bounded(Calls)));
        for (int row : {Calls - 1, Calls / 2, Dataset::CachedRows, Dataset::CachedRows - 1, 0})
            rows.append(row);
        QStringList wanted;
        for (int row : rows)
            wanted.append(expected[row]);
        QCOMPARE(idsOf(jumped, rows), wanted);
    }

    void oneCustomersCallsArePagedAlike()
    {
        logCalls(m_db->connection, 1, Calls * 4, FewDays);
        const QStringList expected =
            test::column(m_db->connection,
                         QStringLiteral("select id from detail where customercode='K3' order by adate, id"));
        QVERIFY(expected.size() > Dataset::CachedRows);
        Dataset query(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, QStringLiteral("K3")));
        query.open();
        QCOMPARE(query.recordCount(), expected.size());
        QCOMPARE(idsOf(query, range(int(expected.size()) - 1, -1, -1)).first(), expected.last());
        QCOMPARE(idsOf(query, range(0, int(expected.size()), 1)), expected);
    }

    void rowsShownStayAsTheyWereAndRowsAddedLaterStayOut()
    {
        logCalls(m_db->connection, 1, Calls, FewDays);
        const QString expectedLast =
            test::column(m_db->connection,
                         QStringLiteral("select id from detail order by adate desc, id desc limit 1"))
                .value(0);
        Dataset query(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        query.open();
        // Calls logged after opening would sort last: they are not read.
        logCalls(m_db->connection, Calls + 1, 3, QStringLiteral("'2026-12-01'"));
        query.last();
        const QString lastId = query.fieldText(QStringLiteral("id"));
        QCOMPARE(lastId, expectedLast);
        const QString lastCode = query.fieldText(QStringLiteral("customercode"));
        test::run(m_db->connection, QStringLiteral("update detail set customercode='changed'"));
        test::run(m_db->connection, QStringLiteral("delete from detail where id=") + lastId);
        QCOMPARE(query.recordCount(), Calls);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), lastCode);
        query.first();
        QVERIFY(query.fieldText(QStringLiteral("customercode")).startsWith(QLatin1Char('K')));

        query.close();
        query.open();
        QCOMPARE(query.recordCount(), Calls + 2);
        query.last();
        QCOMPARE(query.fieldText(QStringLiteral("adate")), QStringLiteral("2026-12-01"));
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("changed"));
    }

    void reopeningKeepsCurrentRowAndPendingEdit()
    {
        logCalls(m_db->connection, 1, Calls, FewDays);
        Dataset query(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        query.open();
        query.moveTo(Calls - 1234);
        const QString id = query.fieldText(QStringLiteral("id"));
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("pending"));
        query.open();
        QCOMPARE(query.state(), State::Edit);
        QCOMPARE(query.recordNumber(), Calls - 1234);
        QCOMPARE(query.fieldText(QStringLiteral("id")), id);
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("pending"));
    }

    void ownEditsLieOverThePages()
    {
        logCalls(m_db->connection, 1, Calls, FewDays);
        Dataset query(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        query.open();
        const int row = Calls - 10;
        query.moveTo(row);
        const QString id = query.fieldText(QStringLiteral("id"));
        const QString below = (query.next(), query.fieldText(QStringLiteral("id")));
        query.moveTo(row);
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("edited"));
        query.post();
        query.next();
        query.prior();
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("edited"));
        QCOMPARE(
            test::column(m_db->connection, QStringLiteral("select customername from detail where id=") + id),
            QStringList{QStringLiteral("edited")});

        // A call logged here shows at the end, as in a small result.
        query.append();
        query.setFieldText(QStringLiteral("adate"), QStringLiteral("2026-02-02"));
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("new"));
        query.post();
        QCOMPARE(query.recordCount(), Calls + 1);
        QCOMPARE(query.recordNumber(), Calls);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("new"));

        // Deleting moves the rows after it up one place, read or not.
        query.moveTo(row);
        query.remove();
        QCOMPARE(query.recordCount(), Calls);
        QCOMPARE(query.fieldText(QStringLiteral("id")), below);
        QVERIFY(
            test::column(m_db->connection, QStringLiteral("select id from detail where id=") + id).isEmpty());
        query.moveTo(Dataset::CachedRows + 5);
        QCOMPARE(query.fieldText(QStringLiteral("id")),
                 test::column(m_db->connection,
                              QStringLiteral("select id from detail where adate like '2026%' and id<=%1 "
                                             "order by adate, id limit 1 offset %2")
                                  .arg(Calls)
                                  .arg(Dataset::CachedRows + 5))
                     .value(0));

        // A row deleted elsewhere cannot be saved over.
        query.first();
        test::run(m_db->connection,
                  QStringLiteral("delete from detail where id=") + query.fieldText(QStringLiteral("id")));
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("lost"));
        QVERIFY(test::failureOf([&] { query.post(); }).startsWith(QStringLiteral("Row cannot be located")));
    }

    void emptyAndSmallResultsBehaveAlike()
    {
        logCalls(m_db->connection, 1, Calls, FewDays);
        Dataset query(m_db->stores.calls.callsBetween(QDate(2027, 1, 1), QDate(2027, 12, 31), {}));
        query.open();
        QCOMPARE(query.recordCount(), 0);
        QCOMPARE(query.recordNumber(), -1);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QString());
        query.setQuery(
            m_db->stores.calls.callsBetween(QDate(2026, 5, 1), QDate(2026, 5, 1), QStringLiteral("K1")));
        query.open();
        QCOMPARE(
            query.recordCount(),
            test::column(
                m_db->connection,
                QStringLiteral("select count(*) from detail where adate='2026-05-01' and customercode='K1'"))
                .value(0)
                .toInt());
    }

    // A range of more calls than are counted one by one is counted as the
    // whole log less the calls outside it: before, after, and undated.
    void bigRangesAreCountedExactly()
    {
        const int inYear = 200'000 + 17;
        logCalls(m_db->connection, 1, inYear, FewDays);
        logCalls(m_db->connection, inYear + 1, 50, QStringLiteral("'2025-12-31'"));
        logCalls(m_db->connection, inYear + 51, 30, QStringLiteral("'2027-01-01'"));
        logCalls(m_db->connection, inYear + 81, 20, QStringLiteral("null"));
        logCalls(m_db->connection, inYear + 101, 10, QStringLiteral("'2026-12-31'"));
        Dataset year(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        year.open();
        QCOMPARE(year.recordCount(), inYear + 10);
        year.last();
        QCOMPARE(year.fieldText(QStringLiteral("adate")), QStringLiteral("2026-12-31"));
        Dataset days(m_db->stores.calls.callsBetween(QDate(2026, 2, 1), QDate(2026, 3, 1), {}));
        days.open();
        QCOMPARE(
            days.recordCount(),
            test::column(m_db->connection,
                         QStringLiteral("select count(*) from detail where adate between '2026-02-01' and "
                                        "'2026-03-01'"))
                .value(0)
                .toInt());
    }

    void closingEmptiesTheGrid()
    {
        logCalls(m_db->connection, 1, Calls, FewDays);
        Dataset query(m_db->stores.calls.callsBetween(NewYear, NewYearsEve, {}));
        DatasetModel grid;
        grid.setDataset(&query);
        grid.addColumn({QStringLiteral("customercode"), QStringLiteral("code")});
        query.open();
        QCOMPARE(grid.rowCount(), Calls);
        QVERIFY(grid.data(grid.index(Calls - 1, 0)).toString().startsWith(QLatin1Char('K')));
        query.close();
        QCOMPARE(grid.rowCount(), 0);
    }

    // The entry form keeps its customers open for as long as the program runs;
    // calls logged meanwhile (by the call log's own connection) must still let
    // the write-ahead log be reset instead of growing with every call, and
    // checkpoints come often enough to keep it near a megabyte.
    void anOpenDatasetLeavesTheWriteAheadLogBounded()
    {
        QFETCH_GLOBAL(bool, onServer);
        if (onServer)
            QSKIP("tel.mdb's own write-ahead log");
        test::run(m_db->connection,
                  QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<%1) "
                                 "insert into customer(customercode,tel) select 'C'||i, i from n")
                      .arg(Calls));
        Dataset customers(m_db->stores.customers.allCustomers());
        customers.open();
        customers.moveTo(Calls / 2);
        QCOMPARE(customers.fieldText(QStringLiteral("customercode")),
                 QStringLiteral("C%1").arg(Calls / 2 + 1));

        Stores callLog;
        callLog.connection.setDatabasePath(m_db->folder.file(QStringLiteral("tel.mdb")));
        for (int i = 0; i < 4000; ++i) {
            callLog.calls.logCall({QStringLiteral("2026-01-01"), QStringLiteral("09:30"), QString::number(i),
                                   QStringLiteral("C1"), QString(200, QLatin1Char('x'))});
            if (i % 500 == 0)
                customers.moveTo(int(QRandomGenerator::global()->bounded(Calls)));
        }
        const qint64 wal = QFileInfo(m_db->folder.file(QStringLiteral("tel.mdb-wal"))).size();
        QVERIFY2(wal < 2 * 1024 * 1024, qPrintable(QString::number(wal)));
        customers.last();
        QCOMPARE(customers.fieldText(QStringLiteral("customercode")), QStringLiteral("C%1").arg(Calls));
    }

private:
    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::FolderDatabase> m_db;
};

QTEST_MAIN(PagedRowsTest)
#include "tst_pagedrows.moc"
