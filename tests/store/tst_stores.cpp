#include "callrows.h"
#include "core/callperiod.h"
#include "coresupport.h"
#include "customerrows.h"
#include "databaselock.h"
#include "pgserver.h"
#include "store/customerkeying.h"
#include "store/customerkeys.h"
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

    // Found however the number was written, through every way a customer is
    // written: the entry form's save and change, an import, another
    // program's insert, removal. The number itself is never rewritten.
    void customersAreFoundByTheKeysOfTheirNumbers()
    {
        CustomerStore &customers = m_stores->customers;
        const auto all = customers.allCustomers();
        const qint64 second = all->insert(
            customerRow(QStringLiteral("K2"), {}, QStringLiteral("020-8765 4321 / 139 1234 5678")),
            CodeNameTel);
        all->insert(customerRow(QStringLiteral("K3"), {}, QStringLiteral("02087654321")), CodeNameTel);
        all->insert(customerRow(QStringLiteral("K1"), {}, QStringLiteral("(020)87654321")), CodeNameTel);
        const auto codeOf = [&](const QString &number, const QString &areaCode = {}) {
            const std::optional<Customer> found = customers.customerByTel(number, areaCode);
            return found ? found->customerCode + QLatin1Char(' ') + found->tel : QString();
        };
        // The exact number first, then the lowest code of those with the key.
        QCOMPARE(codeOf(QStringLiteral("02087654321")), QStringLiteral("K3 02087654321"));
        QCOMPARE(codeOf(QStringLiteral("87654321"), QStringLiteral("020")),
                 QStringLiteral("K1 (020)87654321"));
        QCOMPARE(codeOf(QStringLiteral("87654321")), QString());
        QCOMPARE(codeOf(QStringLiteral("013912345678")), QStringLiteral("K2 020-8765 4321 / 139 1234 5678"));

        Record changed = customerRow(QStringLiteral("K2"), {}, QStringLiteral("+86 139 0000 0000"));
        QVERIFY(all->update(second, changed, marking({Tel})));
        QCOMPARE(codeOf(QStringLiteral("13912345678")), QString());
        QCOMPARE(codeOf(QStringLiteral("13900000000")), QStringLiteral("K2 +86 139 0000 0000"));

        customers.addCustomers(
            {{QStringLiteral("K4"), {}, {}, {}, {}, QStringLiteral("0755-2345 6789"), {}, {}}},
            [](qsizetype) { return true; });
        QCOMPARE(codeOf(QStringLiteral("075523456789")), QStringLiteral("K4 0755-2345 6789"));

        // Another program's row: found at once, and keyed in the background.
        const auto unkeyed = [this] { return unkeyedCustomerCount(m_stores->connection.engine()); };
        Statement(m_stores->connection,
                  QStringLiteral("INSERT INTO customer (customercode, tel) VALUES ('K5', '138-0000-0005')"))
            .run();
        QCOMPARE(unkeyed(), qint64(1));
        QCOMPARE(codeOf(QStringLiteral("13800000005")), QStringLiteral("K5 138-0000-0005"));
        // Keyed by the older rules, which took an extension into the key: a
        // stale key never finds its customer, and goes when the database is
        // keyed again after opening.
        for (const char *sql :
             {"UPDATE schema_version SET version = 2",
              "UPDATE customer SET tel = '0755-2345678-9' WHERE customercode = 'K4'",
              "INSERT INTO customer_key (numberkey, customerid) SELECT '075523456789', id FROM customer "
              "WHERE customercode = 'K4'"})
            Statement(m_stores->connection, QLatin1String(sql)).run();
        QCOMPARE(codeOf(QStringLiteral("23456789"), QStringLiteral("0755")), QString());
        m_stores->connection.close();
        m_stores->connection.engine();
        CustomerKeying keying(m_stores->connection);
        keying.start();
        QTRY_COMPARE(unkeyed(), qint64(0));
        Statement keys(m_stores->connection,
                       QStringLiteral("SELECT count(*), min(numberkey) FROM customer_key"));
        QVERIFY(keys.step());
        QCOMPARE(keys.integer(0), qint64(5));
        QCOMPARE(keys.text(1), QStringLiteral("02087654321"));
        QCOMPARE(codeOf(QStringLiteral("13800000005")), QStringLiteral("K5 138-0000-0005"));
        QCOMPARE(codeOf(QStringLiteral("2345678"), QStringLiteral("0755")),
                 QStringLiteral("K4 0755-2345678-9"));

        all->remove(second);
        QCOMPARE(codeOf(QStringLiteral("13900000000")), QString());
    }

    // Another program's thousands of customers: the lookup reads only the
    // newest of them until they are keyed, a batch per transaction, and a
    // keying stopped half way is taken up where it stopped.
    void aBacklogIsKeyedInBatchesAndResumed()
    {
        const qint64 total = 2 * CustomerKeying::Batch + 7;
        Statement insert(
            m_stores->connection,
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                           "i < ?) INSERT INTO customer (customercode, tel) "
                           "SELECT 'B' || i, '138' || (10000000 + i) FROM n"));
        insert.bind(1, total);
        insert.run();
        const auto count = [this](const char *sql) {
            Statement select(m_stores->connection, QLatin1String(sql));
            return select.step() ? select.integer(0) : -1;
        };
        const auto codeOf = [this](const char *number) {
            const std::optional<Customer> found = m_stores->customers.customerByTel(QLatin1String(number));
            return found ? found->customerCode : QString();
        };
        QCOMPARE(codeOf("+86 138 1001 0007"), QStringLiteral("B10007"));

        // Stopped after its first batch, as a kill between two would.
        qint64 firstTotal = 0;
        {
            CustomerKeying stopped(m_stores->connection);
            connect(
                &stopped, &CustomerKeying::progress, this,
                [&](qint64, qint64 of) {
                    firstTotal = of;
                    stopped.stop();
                },
                Qt::DirectConnection);
            stopped.start();
        }
        QCOMPARE(firstTotal, total);
        const qint64 left = count("SELECT count(*) FROM customer_unkeyed");
        QCOMPARE(left, total - CustomerKeying::Batch);
        QCOMPARE(count("SELECT count(DISTINCT customerid) FROM customer_key") + left, total);

        qint64 resumedTotal = 0;
        qint64 resumedKeyed = 0;
        CustomerKeying resumed(m_stores->connection);
        connect(&resumed, &CustomerKeying::progress, this, [&](qint64 keyed, qint64 of) {
            resumedKeyed = keyed;
            resumedTotal = of;
        });
        resumed.start();
        QTRY_VERIFY(resumedKeyed > 0 && resumedKeyed == resumedTotal);
        QCOMPARE(resumedTotal, left);
        QCOMPARE(count("SELECT count(*) FROM customer_key"), total);
        QCOMPARE(codeOf("8613810000001"), QStringLiteral("B1"));
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
        calls.logKeptCall(
            QStringLiteral("with the area code"),
            {QStringLiteral("2024-03-01"), QStringLiteral("10:02"), QStringLiteral("0205550001"), {}, {}},
            QStringLiteral("020"));
        transaction.commit();
        const PagedQuery::Start logged =
            calls.callsBetween(QDate(2024, 3, 1), QDate(2024, 3, 1), {})->start(100, 10);
        QStringList rows;
        for (const Record &row : logged.firstRows)
            rows.append(QStringList{row[2].value_or(QString()), row[3].value_or(QString()),
                                    row[4].value_or(QString()), row[5].value_or(QString())}
                            .join(QLatin1Char(' ')));
        QCOMPARE(rows, (QStringList{QStringLiteral("10:00 5550001 C1 张三"),
                                    QStringLiteral("10:02 0205550001 C1 张三")}));
    }

    void recentCallsAreFilteredNamedAndKeepTheirNotes()
    {
        const auto all = m_stores->customers.allCustomers();
        all->insert(customerRow(QStringLiteral("C1"), QStringLiteral("张三"), QStringLiteral("13800001111")),
                    CodeNameTel);
        Connection &db = m_stores->connection;
        const qint64 known = addCall(db, QStringLiteral("2025-03-01 09:00:00"), QStringLiteral("13800001111"),
                                     QStringLiteral("C1"));
        const qint64 saved =
            addCall(db, QStringLiteral("2025-03-02 09:00:00"), QStringLiteral("+86 138 0000 1111"));
        const qint64 fresh = addCall(db, QStringLiteral("2025-03-03 10:00:00"), QStringLiteral("020-555"));
        const qint64 withheld = addCall(db, QStringLiteral("2025-03-03 11:00:00"), QStringLiteral("P"));
        RecentCallsStore &store = m_stores->recentCalls;
        const QDate today(2025, 3, 3);
        const auto ids = [&](const std::function<void(RecentCallsFilter &)> &narrow) {
            RecentCallsFilter filter;
            narrow(filter);
            std::vector<qint64> found;
            for (const Record &row : store.calls(filter, today)->first(10))
                found.push_back(keyOf(row));
            return found;
        };
        // Newest first; a number saved after its call shows its customer.
        const std::vector<Record> rows = store.calls({}, today)->first(10);
        QCOMPARE(rows.size(), std::size_t(4));
        QCOMPARE(keyOf(rows[0]), withheld);
        QCOMPARE(rows[2][RecentCallsStore::CustomerName], QStringLiteral("张三"));
        QCOMPARE(rows[2][RecentCallsStore::FoundCode], QStringLiteral("C1"));
        QVERIFY(!rows[1][RecentCallsStore::FoundCode]);

        QCOMPARE(ids([](auto &f) { f.today = true; }), (std::vector<qint64>{withheld, fresh}));
        QCOMPARE(ids([](auto &f) { f.first = QDate(2025, 3, 1), f.last = QDate(2025, 3, 2); }),
                 (std::vector<qint64>{saved, known}));
        QCOMPARE(ids([](auto &f) { f.number = QStringLiteral("138-0000-1111"); }),
                 (std::vector<qint64>{saved, known}));
        QCOMPARE(ids([](auto &f) { f.number = QStringLiteral("p"); }), std::vector<qint64>{});
        QCOMPARE(ids([](auto &f) { f.number = QStringLiteral("P"); }), std::vector<qint64>{withheld});
        QCOMPARE(ids([](auto &f) { f.customerCode = QStringLiteral("C1"); }), std::vector<qint64>{known});

        // Quotes and odd characters stay text; the mark narrows the list.
        const QString note = QStringLiteral("他说\"明天'再打\"; DROP TABLE calls; --\n第二行 ✓");
        QCOMPARE(store.saveNote(fresh, {}, note), note);
        QVERIFY(store.saveHandled(fresh, true));
        QCOMPARE(store.saveNote(9999, {}, note), std::nullopt);
        // Saved over another text than the one it started from: nothing
        // written, the note there told.
        QCOMPARE(store.saveNote(fresh, QStringLiteral("旧"), QStringLiteral("新")), note);
        QCOMPARE(ids([](auto &f) { f.today = f.notHandled = true; }), std::vector<qint64>{withheld});
        RecentCallsFilter byNumber;
        byNumber.number = QStringLiteral("020555");
        const Record noted = store.calls(byNumber, today)->first(1).at(0);
        QCOMPARE(noted[RecentCallsStore::Note], note);
        QCOMPARE(noted[RecentCallsStore::Handled], QStringLiteral("1"));

        // The marks of the calls still there, as the list holds them, the
        // last one asked for beyond the first statement's values.
        std::vector<qint64> asked(150, 9999);
        asked.front() = fresh;
        asked.back() = withheld;
        const std::vector<RecentCallsStore::Marks> marks = store.marks(asked);
        QCOMPARE(marks.size(), std::size_t(2));
        QCOMPARE(marks[0].id, fresh);
        QCOMPARE(marks[0].note, noted[RecentCallsStore::Note]);
        QCOMPARE(marks[0].handled, noted[RecentCallsStore::Handled]);
        QCOMPARE(marks[1].id, withheld);
        QCOMPARE(marks[1].handled, QStringLiteral("0"));
    }

    // 来电统计's figures on a hand-made month: each call counted once under its
    // kind, the periods cut at midnight at the turn of a month and of the
    // year, the customers who called most in order with their ties.
    void callFiguresCountEachCallOnceWithinThePeriod()
    {
        const auto all = m_stores->customers.allCustomers();
        for (const auto &[code, name, tel] :
             {std::tuple("C1", "张三", "13800001111"), std::tuple("C2", "李四", "13900002222"),
              std::tuple("C3", "王五", "13700003333"), std::tuple("C4", "赵六", "13600004444")})
            all->insert(customerRow(QLatin1String(code), QString::fromUtf8(name), QLatin1String(tel)),
                        CodeNameTel);
        Connection &db = m_stores->connection;
        const QString c1 = QStringLiteral("C1"), c2 = QStringLiteral("C2"), c3 = QStringLiteral("C3");
        addCall(db, QStringLiteral("2024-12-31 23:59:59"), QStringLiteral("13800001111"), c1);
        addCall(db, QStringLiteral("2025-01-01 00:00:00"), QStringLiteral("020-555"));
        addCall(db, QStringLiteral("2025-01-05 09:00:00"), QStringLiteral("13800001111"), c1);
        addCall(db, QStringLiteral("2025-01-05 09:00:00"), QStringLiteral("13600004444"),
                QStringLiteral("C4"));
        addCall(db, QStringLiteral("2025-01-10 12:00:00"), QStringLiteral("O"));
        // Saved as 王五 after this call.
        addCall(db, QStringLiteral("2025-01-15 08:00:00"), QStringLiteral("137 0000 3333"));
        addCall(db, QStringLiteral("2025-01-20 08:30:00"), QStringLiteral("13700003333"), c3);
        addCall(db, QStringLiteral("2025-01-25 14:00:00"), QStringLiteral("13700003333"), c3);
        const qint64 handled =
            addCall(db, QStringLiteral("2025-01-31 10:00:00"), QStringLiteral("13900002222"), c2);
        addCall(db, QStringLiteral("2025-01-31 23:59:59"), QStringLiteral("13900002222"), c2);
        addCall(db, QStringLiteral("2025-02-01 00:00:00"), QStringLiteral("P"));
        addCall(db, QStringLiteral("2025-02-01 09:30:00"), QStringLiteral("020555"));
        QVERIFY(m_stores->recentCalls.saveHandled(handled, true));

        CallFiguresStore &store = m_stores->callFigures;
        const auto figuresOf = [&](const CallPeriod &period) {
            CallFigures figures = store.counts(period.first(), period.last(), period.byMonth());
            figures.callers = store.callers(period.first(), period.last());
            return figures;
        };
        const auto slotsOf = [](const CallFigures &figures) {
            QStringList slots;
            for (const SlotCounts &slot : figures.bySlot)
                slots.append(QStringLiteral("%1 %2/%3/%4")
                                 .arg(slot.slot)
                                 .arg(slot.counts[CallerKind::Customer])
                                 .arg(slot.counts[CallerKind::NewNumber])
                                 .arg(slot.counts[CallerKind::Withheld]));
            return slots;
        };
        const CallFigures january = figuresOf(CallPeriod::of(PeriodChoice::ThisMonth, QDate(2025, 1, 31)));
        QCOMPARE(slotsOf(january),
                 (QStringList{QStringLiteral("2025-01-01 0/1/0"), QStringLiteral("2025-01-05 2/0/0"),
                              QStringLiteral("2025-01-10 0/0/1"), QStringLiteral("2025-01-15 0/1/0"),
                              QStringLiteral("2025-01-20 1/0/0"), QStringLiteral("2025-01-25 1/0/0"),
                              QStringLiteral("2025-01-31 2/0/0")}));
        QCOMPARE(january.calls, qint64(9));
        QCOMPARE(january.callers.numbers, qint64(5));
        QCOMPARE(january.callers.savedNumbers, qint64(1));
        QCOMPARE(january.notHandled, qint64(8));
        QCOMPARE(january.byHour[0][CallerKind::NewNumber], qint64(1));
        QCOMPARE(january.byHour[9][CallerKind::Customer], qint64(2));
        QCOMPARE(january.byHour[23][CallerKind::Customer], qint64(1));
        qint64 byHour = 0;
        for (const KindCounts &hour : january.byHour)
            byHour += hour.total();
        QCOMPARE(byHour, qint64(9));
        QStringList top;
        for (const TopCaller &caller : january.callers.topCallers)
            top.append(QStringLiteral("%1 %2 %3 %4")
                           .arg(caller.code, caller.name)
                           .arg(caller.calls)
                           .arg(caller.lastCall));
        QCOMPARE(top, (QStringList{QStringLiteral("C2 李四 2 2025-01-31 23:59:59"),
                                   QStringLiteral("C3 王五 2 2025-01-25 14:00:00"),
                                   QStringLiteral("C1 张三 1 2025-01-05 09:00:00"),
                                   QStringLiteral("C4 赵六 1 2025-01-05 09:00:00")}));
        QVERIFY(january.callers.topCallers[0].customerId > 0);
        QCOMPARE(store.callers(QDate(2025, 1, 1), QDate(2025, 1, 31), 2).topCallers.size(), std::size_t(2));

        // The week of New Year's Day begins on Monday 30 December.
        const CallPeriod week = CallPeriod::of(PeriodChoice::ThisWeek, QDate(2025, 1, 1));
        QCOMPARE(week.first(), QDate(2024, 12, 30));
        QCOMPARE(slotsOf(figuresOf(week)),
                 (QStringList{QStringLiteral("2024-12-31 1/0/0"), QStringLiteral("2025-01-01 0/1/0")}));
        const CallFigures february =
            figuresOf(CallPeriod::of(PeriodChoice::Dates, {}, QDate(2025, 2, 28), QDate(2025, 2, 1)));
        QCOMPARE(slotsOf(february), (QStringList{QStringLiteral("2025-02-01 0/1/1")}));
        QCOMPARE(february.callers.numbers, qint64(1));
        QVERIFY(february.callers.topCallers.empty());
        // Over 62 days the bars are months.
        const CallPeriod quarter =
            CallPeriod::of(PeriodChoice::Dates, {}, QDate(2024, 12, 1), QDate(2025, 2, 28));
        QVERIFY(quarter.byMonth());
        QCOMPARE(quarter.slots(), (QStringList{QStringLiteral("2024-12"), QStringLiteral("2025-01"),
                                               QStringLiteral("2025-02")}));
        QCOMPARE(slotsOf(figuresOf(quarter)),
                 (QStringList{QStringLiteral("2024-12 1/0/0"), QStringLiteral("2025-01 6/2/1"),
                              QStringLiteral("2025-02 0/1/1")}));
        // The counts follow a call taken away, and are made afresh for a
        // database whose calls were written before there were any.
        Statement(db, QStringLiteral("DELETE FROM calls WHERE number = 'P'")).run();
        for (const char *sql : {"UPDATE schema_version SET version = 3", "DELETE FROM calls_hourly"})
            Statement(db, QLatin1String(sql)).run();
        db.close();
        db.engine();
        QCOMPARE(slotsOf(figuresOf(quarter)),
                 (QStringList{QStringLiteral("2024-12 1/0/0"), QStringLiteral("2025-01 6/2/1"),
                              QStringLiteral("2025-02 0/1/0")}));
        QCOMPARE(figuresOf(quarter).notHandled, qint64(10));
        QFETCH_GLOBAL(bool, onServer);
        if (!onServer) {
            // Held by another program when opened, an older file has no
            // counts yet: its calls are grouped instead.
            for (const char *sql : {"DROP TABLE calls_hourly", "UPDATE schema_version SET version = 3"})
                Statement(db, QLatin1String(sql)).run();
            db.close();
            test::DatabaseLock held(m_folder->file(QStringLiteral("tel.mdb")));
            QVERIFY(!db.engine().schemaCurrent());
            QCOMPARE(slotsOf(figuresOf(quarter)),
                     (QStringList{QStringLiteral("2024-12 1/0/0"), QStringLiteral("2025-01 6/2/1"),
                                  QStringLiteral("2025-02 0/1/0")}));
            QCOMPARE(figuresOf(quarter).notHandled, qint64(10));
        }
        QVERIFY(!CallPeriod::of(PeriodChoice::Last30Days, QDate(2025, 1, 31)).byMonth());
        QCOMPARE(figuresOf(CallPeriod::of(PeriodChoice::Today, QDate(2025, 1, 2))).calls, qint64(0));
    }

    // A caller's history leaves out the call shown (by its token) and other
    // callers' calls, newest first; the same second goes by the row's order.
    void aCallersHistoryIsNewestFirstWithoutTheCallShown()
    {
        const auto addCall = [this](const char *day, const char *key, const std::optional<QString> &code,
                                    const char *note, const std::optional<QString> &token) {
            Statement insert(
                m_stores->connection,
                QStringLiteral("INSERT INTO calls (taken, number, numberkey, customercode, note, "
                               "token) VALUES (?, ?, ?, ?, ?, ?)"));
            const QString taken = QStringLiteral("2024-03-0%1 09:00:00").arg(QLatin1String(day));
            const std::optional<QString> values[] = {
                taken, QString(), QString::fromUtf8(key), code, QString::fromUtf8(note), token};
            for (int i = 0; i < 6; ++i)
                insert.bind(i + 1, values[i]);
            insert.run();
        };
        const QString c1 = QStringLiteral("C1");
        addCall("1", "5550001", c1, "一", std::nullopt);
        addCall("3", "5550001", c1, "三", QStringLiteral("t3"));
        addCall("2", "5550001", c1, "二", QStringLiteral("t2"));
        addCall("3", "5550001", c1, "四", QStringLiteral("t4"));
        addCall("4", "5550002", QStringLiteral("C2"), "别人", QStringLiteral("t5"));
        addCall("5", "", std::nullopt, "", QStringLiteral("t6")); // withheld
        addCall("6", "5550001", c1, "本次", QStringLiteral("shown"));
        CallHistory &history = m_stores->callHistory;
        QStringList notes;
        for (const EarlierCall &call : history.lastCalls(QStringLiteral("C1"), QStringLiteral("shown"), 3))
            notes.append(call.taken + QLatin1Char(' ') + call.note);
        QCOMPARE(notes, (QStringList{QStringLiteral("2024-03-03 09:00:00 四"),
                                     QStringLiteral("2024-03-03 09:00:00 三"),
                                     QStringLiteral("2024-03-02 09:00:00 二")}));
        QCOMPARE(history.lastCalls(QStringLiteral("C1"), {}, 9).size(), 5);
        QVERIFY(history.lastCalls(QStringLiteral("C9"), {}, 3).isEmpty());
        QCOMPARE(history.callCount(QStringLiteral("5550001"), QStringLiteral("shown")), qint64(4));
        QCOMPARE(history.callCount(QStringLiteral("5550001"), QStringLiteral("t5")), qint64(5));
        QCOMPARE(history.callCount(QStringLiteral("5550001"), {}), qint64(5));
        // Withheld numbers share the empty key: they are nobody's history.
        QCOMPARE(history.callCount({}, {}), qint64(0));
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
