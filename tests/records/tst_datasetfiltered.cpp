// A big result with a condition (a year of calls) is read from a held snapshot
// like a whole big table; it must behave exactly like a copied result.
#include "customerrows.h"
#include "records/connection.h"
#include "records/dataset.h"
#include "records/datasetmodel.h"
#include "records/snapshotrows.h"
#include "records/storedrows.h"
#include "testsupport.h"

#include <QTest>

using namespace corvane;
using State = Dataset::State;

namespace {

constexpr int Calls = SnapshotRows::MinimumRows + 10;
const QString Year =
    QStringLiteral("select * from detail where adate >='2026-01-01' and adate <='2026-12-31'");

// Logs `count` calls numbered from `first`: call i is from customer 'Ki' on
// the day `dateOfCall` gives for i.
void logCalls(Connection &connection, int first, int count, const QString &dateOfCall)
{
    Dataset fill(connection,
                 QStringLiteral("with recursive n(i) as (select %1 union all select i+1 from n where i<%2) "
                                "insert into detail(adate,atime,tel,customercode) "
                                "select %3, '09:30', 'T'||i, 'K'||i from n")
                     .arg(first)
                     .arg(first + count - 1)
                     .arg(dateOfCall));
    fill.execute();
}

// Dates scattered over the year, as when the log was merged from elsewhere.
const QString Shuffled = QStringLiteral("printf('2026-%02d-%02d', 1 + (i*7) % 12, 1 + (i*13) % 28)");

// The same field of every row of an open dataset, from the first on.
QStringList fieldOfAll(Dataset &query, const QString &field)
{
    QStringList values;
    query.first();
    for (int i = 0; i < query.recordCount(); ++i, query.next())
        values.append(query.fieldText(field));
    return values;
}

QStringList copiedIds(Connection &connection, const QString &sql)
{
    StoredRows copy(connection.handle(), sql);
    const int id = int(copy.fields().indexOf(QStringLiteral("id")));
    QStringList ids;
    for (int row = 0; row < copy.size(); ++row)
        ids.append(copy.value(row, id).value_or(QString()));
    return ids;
}

} // namespace

class FilteredDatasetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_db = std::make_unique<test::FolderDatabase>(); }

    void cleanup() { m_db.reset(); }

    void onlyBigResultsOfOneTableAreHeld()
    {
        logCalls(m_db->connection, 1, Calls, QStringLiteral("'2026-03-01'"));
        logCalls(m_db->connection, Calls + 1, 5, QStringLiteral("'2025-03-01'"));
        const std::unique_ptr<SnapshotRows> held = SnapshotRows::open(m_db->connection, Year);
        QVERIFY(held);
        QCOMPARE(held->size(), Calls);
        QVERIFY(SnapshotRows::open(m_db->connection, QStringLiteral("select * from detail")));
        QVERIFY(SnapshotRows::open(m_db->connection, QStringLiteral("SELECT * FROM detail\nWHERE id>0 ")));
        for (const char *copied :
             {"select * from detail where adate <'2026-01-01'",
              "select * from detail where customercode='K1'",
              "select * from detail where adate >'2025' order by 2",
              "select * from detail where adate >'2025' limit 60000",
              "select * from detail where id>0 union select * from detail where id<0",
              "select * from detail where adate >'2025' group by adate",
              "select * from detail d where d.id>0", "select * from detail, ring where id>0",
              "select id from detail where id>0"})
            QVERIFY2(!SnapshotRows::open(m_db->connection, QString::fromLatin1(copied)), copied);
    }

    // The rows come exactly as the copied result gives them: here in date
    // order, from the index on adate, although the calls were logged in
    // another order.
    void rowsComeInTheOrderOfTheCopiedResult()
    {
        logCalls(m_db->connection, 1, Calls, Shuffled);
        QVERIFY(SnapshotRows::open(m_db->connection, Year));
        Dataset query(m_db->connection, Year);
        query.open();
        const QStringList ids = fieldOfAll(query, QStringLiteral("id"));
        QCOMPARE(ids, copiedIds(m_db->connection, Year));
        QCOMPARE(fieldOfAll(query, QStringLiteral("adate")).first(), QStringLiteral("2026-01-01"));
        QVERIFY(ids.first() != QStringLiteral("1"));
    }

    // Listing the keys of customers by number may walk the index on tel
    // while the query itself walks the table: the rows still come in the
    // table's order.
    void rowsComeInTableOrderWhenTheTableIsWalked()
    {
        Dataset fill(
            m_db->connection,
            QStringLiteral("with recursive n(i) as (select 1 union all select i+1 from n where i<%1) "
                           "insert into customer(customercode,tel) select 'C'||i, %1-i from n")
                .arg(Calls));
        fill.execute();
        const QString numbers = QStringLiteral("select * from customer where tel <> ''");
        Dataset query(m_db->connection, numbers);
        query.open();
        QVERIFY(SnapshotRows::open(m_db->connection, numbers));
        const QStringList ids = fieldOfAll(query, QStringLiteral("id"));
        QCOMPARE(ids.size(), Calls);
        QCOMPARE(ids, copiedIds(m_db->connection, numbers));
    }

    void snapshotIgnoresLaterWrites()
    {
        logCalls(m_db->connection, 1, Calls, Shuffled);
        Dataset query(m_db->connection, Year);
        query.open();
        query.last();
        const QString lastId = query.fieldText(QStringLiteral("id"));
        const QString lastCode = query.fieldText(QStringLiteral("customercode"));
        Dataset other(m_db->connection, QStringLiteral("update detail set customercode='changed'"));
        other.execute();
        other.setSql(QStringLiteral("delete from detail where id=") + lastId);
        other.execute();
        logCalls(m_db->connection, Calls + 1, 3, QStringLiteral("'2026-06-01'"));
        QCOMPARE(query.recordCount(), Calls);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), lastCode);
        query.first();
        QVERIFY(query.fieldText(QStringLiteral("customercode")).startsWith(QLatin1Char('K')));

        query.close();
        query.open();
        QCOMPARE(query.recordCount(), Calls + 2);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("changed"));
    }

    void reopeningKeepsCurrentRowAndPendingEdit()
    {
        logCalls(m_db->connection, 1, Calls, Shuffled);
        Dataset query(m_db->connection, Year);
        query.open();
        query.moveTo(1234);
        const QString id = query.fieldText(QStringLiteral("id"));
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("pending"));
        query.open();
        QCOMPARE(query.state(), State::Edit);
        QCOMPARE(query.recordNumber(), 1234);
        QCOMPARE(query.fieldText(QStringLiteral("id")), id);
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("pending"));
    }

    void ownEditsLieOverTheSnapshot()
    {
        logCalls(m_db->connection, 1, Calls, Shuffled);
        Dataset query(m_db->connection, Year);
        query.open();
        query.moveTo(10);
        const QString id = query.fieldText(QStringLiteral("id"));
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("edited"));
        query.post();
        query.next();
        query.prior();
        QCOMPARE(query.fieldText(QStringLiteral("customername")), QStringLiteral("edited"));
        QCOMPARE(test::column(m_db->connection, QStringLiteral("select * from detail where id=") + id,
                              QStringLiteral("customername")),
                 QStringList{QStringLiteral("edited")});

        // A call logged here shows at the end, as in a copied result.
        query.append();
        query.setFieldText(QStringLiteral("adate"), QStringLiteral("2026-02-02"));
        query.setFieldText(QStringLiteral("customercode"), QStringLiteral("new"));
        query.post();
        QCOMPARE(query.recordCount(), Calls + 1);
        QCOMPARE(query.recordNumber(), Calls);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QStringLiteral("new"));

        query.moveTo(10);
        query.remove();
        QCOMPARE(query.recordCount(), Calls);
        QVERIFY(query.fieldText(QStringLiteral("id")) != id);
        QVERIFY(test::column(m_db->connection, QStringLiteral("select * from detail where id=") + id,
                             QStringLiteral("id"))
                    .isEmpty());

        // A row deleted elsewhere cannot be saved over.
        query.first();
        Dataset other(m_db->connection,
                      QStringLiteral("delete from detail where id=") + query.fieldText(QStringLiteral("id")));
        other.execute();
        query.edit();
        query.setFieldText(QStringLiteral("customername"), QStringLiteral("lost"));
        QVERIFY(test::failureOf([&] { query.post(); }).startsWith(QStringLiteral("Row cannot be located")));
    }

    void emptyAndSmallResultsBehaveAlike()
    {
        logCalls(m_db->connection, 1, Calls, Shuffled);
        Dataset query(m_db->connection, QStringLiteral("select * from detail where adate >='2027-01-01'"));
        query.open();
        QCOMPARE(query.recordCount(), 0);
        QCOMPARE(query.recordNumber(), -1);
        QCOMPARE(query.fieldText(QStringLiteral("customercode")), QString());
        query.setSql(Year + QStringLiteral(" and customercode = 'K7'"));
        query.open();
        QCOMPARE(query.recordCount(), 1);
        QCOMPARE(query.fieldText(QStringLiteral("tel")), QStringLiteral("T7"));
    }

    void closingEmptiesTheGrid()
    {
        logCalls(m_db->connection, 1, Calls, Shuffled);
        Dataset query(m_db->connection, Year);
        DatasetModel grid;
        grid.setDataset(&query);
        grid.addColumn({QStringLiteral("customercode"), QStringLiteral("code")});
        query.open();
        QCOMPARE(grid.rowCount(), Calls);
        QVERIFY(grid.data(grid.index(Calls - 1, 0)).toString().startsWith(QLatin1Char('K')));
        query.close();
        QCOMPARE(grid.rowCount(), 0);
    }

private:
    std::unique_ptr<test::FolderDatabase> m_db;
};

QTEST_MAIN(FilteredDatasetTest)
#include "tst_datasetfiltered.moc"
