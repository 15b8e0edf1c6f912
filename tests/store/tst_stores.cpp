#include "coresupport.h"
#include "customerrows.h"
#include "pgserver.h"
#include "store/pagedquery.h"
#include "store/statement.h"
#include "store/stores.h"
#include "store/transaction.h"

#include <QDate>
#include <QTest>

#include <memory>

using namespace corvane;
using namespace corvane::test;

namespace {

const std::vector<bool> CodeNameTel = marking({CustomerCode, CustomerName, Tel});

qint64 keyOf(const Record &row)
{
    return row[Id].value_or(QString()).toLongLong();
}

CallLogRow call(const QString &date, const QString &tel, const QString &code)
{
    return {date, QStringLiteral("10:00:00"), tel, code, QStringLiteral("客户") + code};
}

} // namespace

// The stores' behaviour on each engine: every test runs on tel.mdb and on a
// shared server's database, both new for each test.
class TestStores : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::PgServer> m_server;
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Stores> m_stores;

private Q_SLOTS:
    void initTestCase_data() { test::PgServer::addEngineRows(); }

    void initTestCase() { m_server = std::make_unique<test::PgServer>(); }

    void init()
    {
        QFETCH_GLOBAL(bool, onServer);
        m_stores = std::make_unique<Stores>();
        if (onServer) {
            m_server->emptyDatabase();
            m_stores->connection.setServer(m_server->socketAddress());
        } else {
            m_folder = std::make_unique<test::ProgramFolder>();
            m_stores->connection.setDatabasePath(m_folder->file(QStringLiteral("tel.mdb")));
        }
    }

    void cleanup()
    {
        m_stores.reset();
        m_folder.reset();
    }

    void ringOneIsCurrentAtFirstAndAChoiceReplacesIt()
    {
        RingStore &rings = m_stores->rings;
        QCOMPARE(rings.currentRing(), QStringLiteral("1"));
        rings.chooseRing(QStringLiteral("3"));
        QCOMPARE(rings.currentRing(), QStringLiteral("3"));
        rings.chooseRing(QString());
        QCOMPARE(rings.currentRing(), QString());
    }

    void customersAreAddedFoundChangedAndRemoved()
    {
        CustomerStore &customers = m_stores->customers;
        const auto all = customers.allCustomers();
        const qint64 first =
            all->insert(customerRow(QStringLiteral("C1"), QStringLiteral("张三"), QStringLiteral("5550001")),
                        CodeNameTel);
        const qint64 second =
            all->insert(customerRow(QStringLiteral("C2"), QStringLiteral("李四"), QStringLiteral("5550001")),
                        CodeNameTel);
        QVERIFY(first > 0);
        QVERIFY(second > first);
        // A row with nothing given still gets its key.
        QVERIFY(all->insert(Record(CustomerColumns), marking({})) > second);

        // The first customer with the number is the one shown.
        QCOMPARE(customers.customerByTel(QStringLiteral("5550001"))->name, QStringLiteral("张三"));
        QVERIFY(!customers.customerByTel(QStringLiteral("5550002")));

        // Only the changed field is written: the name set here survives a
        // change of the number from a record that still holds the old name.
        Record edited =
            customerRow(QStringLiteral("C1"), QStringLiteral("张三丰"), QStringLiteral("5550001"));
        QVERIFY(all->update(first, edited, marking({CustomerName})));
        edited[CustomerName] = QStringLiteral("张三");
        edited[Tel] = QStringLiteral("5550009");
        QVERIFY(all->update(first, edited, marking({Tel})));
        const std::optional<Customer> changed = customers.customerByTel(QStringLiteral("5550009"));
        QVERIFY(changed);
        QCOMPARE(changed->name, QStringLiteral("张三丰"));

        all->remove(first);
        QVERIFY(!all->update(first, edited, marking({Tel})));
        QVERIFY(!customers.customerByTel(QStringLiteral("5550009")));

        const auto withCode = customers.customersWithCode(QStringLiteral("C2"));
        const PagedQuery::Start found = withCode->start(100, 10);
        QCOMPARE(found.count, qint64(1));
        QCOMPARE(keyOf(found.firstRows.at(0)), second);
        QCOMPARE(customers.customersWithCode(QStringLiteral("c2"))->start(100, 10).count, qint64(0));
    }

    void pagesFollowEachOtherBothWaysAndIgnoreLaterRows()
    {
        const auto all = m_stores->customers.allCustomers();
        std::vector<qint64> keys;
        for (int i = 0; i < 25; ++i)
            keys.push_back(all->insert(customerRow(QString::number(i), {}, {}), CodeNameTel));

        const PagedQuery::Start start = all->start(10, 5);
        QCOMPARE(start.count, qint64(25));
        QCOMPARE(start.firstRows.size(), std::size_t(5));
        all->insert(customerRow(QStringLiteral("later"), {}, {}), CodeNameTel);

        const std::vector<Record> next =
            all->read(&start.firstRows.back(), PagedQuery::Direction::Forward, 0, 5);
        QCOMPARE(next.size(), std::size_t(5));
        QCOMPARE(keyOf(next.front()), keys[5]);
        const std::vector<Record> skipped =
            all->read(&start.firstRows.back(), PagedQuery::Direction::Forward, 15, 10);
        QCOMPARE(skipped.size(), std::size_t(5));
        QCOMPARE(keyOf(skipped.back()), keys[24]);
        const std::vector<Record> back = all->read(&next.back(), PagedQuery::Direction::Backward, 0, 3);
        QCOMPARE(keyOf(back.front()), keys[8]);
        QCOMPARE(keyOf(back.back()), keys[6]);
        // The whole result at once when it is small enough.
        QCOMPARE(all->start(100, 5).firstRows.size(), std::size_t(26));
    }

    void callLogIsReadInDateOrderAndAKeptCallIsWrittenOnce()
    {
        CallLogStore &calls = m_stores->calls;
        calls.logCall(call(QStringLiteral("2024-03-02"), QStringLiteral("1"), QStringLiteral("A")));
        calls.logCall(call(QStringLiteral("2024-03-01"), QStringLiteral("2"), QStringLiteral("B")));
        calls.logCall(call(QStringLiteral("2024-02-28"), QStringLiteral("3"), QStringLiteral("A")));
        for (int i = 0; i < 2; ++i) {
            Transaction transaction(m_stores->connection);
            calls.logKeptCall(QStringLiteral("token-1"),
                              call(QStringLiteral("2024-03-01"), QStringLiteral("4"), QStringLiteral("A")));
            transaction.commit();
        }

        const QDate first(2024, 3, 1);
        const QDate last(2024, 3, 31);
        const PagedQuery::Start march = calls.callsBetween(first, last, {})->start(100, 10);
        QCOMPARE(march.count, qint64(3));
        QStringList tels;
        for (const Record &row : march.firstRows)
            tels.append(row[3].value_or(QString()));
        QCOMPARE(tels, (QStringList{QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("1")}));
        QCOMPARE(calls.callsBetween(first, last, QStringLiteral("A"))->start(100, 10).count, qint64(2));
    }

    // A call kept before its number could be looked up takes the customer
    // of its number when written, and is not logged for a number nobody has.
    void aKeptCallWithoutCustomerIsLookedUpWhenWritten()
    {
        m_stores->customers.allCustomers()->insert(
            customerRow(QStringLiteral("C1"), QStringLiteral("张三"), QStringLiteral("5550001")),
            CodeNameTel);
        m_stores->customers.allCustomers()->insert(
            customerRow(QStringLiteral("C2"), QStringLiteral("李四"), QStringLiteral("5550001")),
            CodeNameTel);
        CallLogStore &calls = m_stores->calls;
        Transaction transaction(m_stores->connection);
        calls.logKeptCall(
            QStringLiteral("known"),
            {QStringLiteral("2024-03-01"), QStringLiteral("10:00"), QStringLiteral("5550001"), {}, {}});
        calls.logKeptCall(
            QStringLiteral("unknown"),
            {QStringLiteral("2024-03-01"), QStringLiteral("10:01"), QStringLiteral("5559999"), {}, {}});
        transaction.commit();
        const PagedQuery::Start logged =
            calls.callsBetween(QDate(2024, 3, 1), QDate(2024, 3, 1), {})->start(100, 10);
        QCOMPARE(logged.count, qint64(1));
        const Record &row = logged.firstRows.at(0);
        QCOMPARE((QStringList{row[2].value_or(QString()), row[3].value_or(QString()),
                              row[4].value_or(QString()), row[5].value_or(QString())}),
                 (QStringList{QStringLiteral("10:00"), QStringLiteral("5550001"), QStringLiteral("C1"),
                              QStringLiteral("张三")}));
    }

    void typedTextStaysTextAndOneStatementIsOne()
    {
        const QStringList hostile = {QStringLiteral("x'); DELETE FROM customer; --"), QStringLiteral("?"),
                                     QStringLiteral(":code"), QStringLiteral("$1"), QStringLiteral("\"q\"")};
        const auto all = m_stores->customers.allCustomers();
        for (const QString &text : hostile)
            all->insert(customerRow(text, text, text), CodeNameTel);
        for (const QString &text : hostile) {
            QCOMPARE(m_stores->customers.customerByTel(text)->customerCode, text);
            QCOMPARE(m_stores->customers.customersWithCode(text)->start(10, 10).count, qint64(1));
        }

        QVERIFY(!test::failureOf([this] {
                     Statement(m_stores->connection, QStringLiteral("SELECT 1; DELETE FROM customer")).run();
                 }).isEmpty());
        QCOMPARE(all->start(10, 10).count, qint64(hostile.size()));
    }

    void aFailedTransactionLeavesNothingBehind()
    {
        const auto all = m_stores->customers.allCustomers();
        const QString failure = test::failureOf([this, &all] {
            Transaction transaction(m_stores->connection);
            all->insert(customerRow(QStringLiteral("C1"), {}, {}), CodeNameTel);
            Statement(m_stores->connection, QStringLiteral("SELECT no_such_column FROM customer")).run();
            transaction.commit();
        });
        QVERIFY(failure.contains(QStringLiteral("no_such_column")));
        QCOMPARE(all->start(10, 10).count, qint64(0));
        // The connection is usable again at once.
        QVERIFY(all->insert(customerRow(QStringLiteral("C2"), {}, {}), CodeNameTel) > 0);
    }
};

QTEST_GUILESS_MAIN(TestStores)
#include "tst_stores.moc"
