#include "coresupport.h"
#include "pgserver.h"
#include "store/pagedquery.h"
#include "store/statement.h"
#include "store/stores.h"
#include "store/transaction.h"

#include <QDate>
#include <QTest>

using namespace corvane;

namespace {

// The server as a desk on another PC reaches it: over the network, with the
// password.
ServerAddress overLoopback(const test::PgServer &server, const QString &password)
{
    ServerAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.port = server.port();
    address.name = server.databaseName();
    address.user = server.user();
    address.password = password;
    return address;
}

} // namespace

// What only a shared server does: tables made on first connect, a password,
// and a server that goes away and comes back.
class TestPgEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void tablesAreMadeOnceWithTelMdbsColumns()
    {
        test::PgServer server;
        {
            Stores first;
            first.connection.setServer(overLoopback(server, server.password()));
            QCOMPARE(first.rings.currentRing(), QStringLiteral("1"));
            first.rings.chooseRing(QStringLiteral("2"));
            first.calls.logCall({QStringLiteral("2024-01-01"), QStringLiteral("09:00:00"),
                                 QStringLiteral("5550001"), QStringLiteral("C1"), QStringLiteral("张三")});
        }
        Stores second;
        second.connection.setServer(overLoopback(server, server.password()));
        QCOMPARE(second.rings.currentRing(), QStringLiteral("2"));
        QCOMPARE(second.calls.callsBetween(QDate(2024, 1, 1), QDate(2024, 1, 1), {})->start(10, 10).count,
                 qint64(1));
        QCOMPARE(server.query(QStringLiteral("SELECT count(*) FROM ring")), QStringList{QStringLiteral("3")});

        test::ProgramFolder folder;
        const QString telMdb = folder.file(QStringLiteral("tel.mdb"));
        for (const QString &table :
             {QStringLiteral("customer"), QStringLiteral("detail"), QStringLiteral("ring")}) {
            QCOMPARE(server.query(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE "
                                                 "table_name = '%1' ORDER BY ordinal_position")
                                      .arg(table)),
                     test::sqlColumn(telMdb,
                                     QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(table)));
        }
    }

    void aWrongPasswordIsRefusedWithoutBeingShown()
    {
        test::PgServer server;
        const QString wrong = QStringLiteral("not-the-password");
        Stores stores;
        stores.connection.setServer(overLoopback(server, wrong));
        const QString failure = test::failureOf([&stores] { stores.rings.currentRing(); });
        QVERIFY2(failure.contains(QStringLiteral("127.0.0.1:%1").arg(server.port())), qPrintable(failure));
        QVERIFY(!failure.contains(wrong));
    }

    void aServerThatWentAwayIsReachedAgainByItself()
    {
        test::PgServer server;
        Stores stores;
        stores.connection.setServer(overLoopback(server, server.password()));
        QCOMPARE(stores.rings.currentRing(), QStringLiteral("1"));

        server.stop();
        const QString failure = test::failureOf([&stores] { stores.rings.currentRing(); });
        QVERIFY2(failure.contains(QStringLiteral("127.0.0.1:%1").arg(server.port())), qPrintable(failure));
        QVERIFY(!failure.contains(server.password()));
        server.start();
        QCOMPARE(stores.rings.currentRing(), QStringLiteral("1"));

        // A transaction the server lost half way is not finished on a new
        // connection: its first write would be gone, its second alone kept.
        const auto all = stores.customers.allCustomers();
        Record row(9);
        row[1] = QStringLiteral("C1");
        const std::vector<bool> code{false, true, false, false, false, false, false, false, false};
        QVERIFY(!test::failureOf([&] {
                     Transaction transaction(stores.connection);
                     all->insert(row, code);
                     server.stop();
                     server.start();
                     all->insert(row, code);
                     transaction.commit();
                 }).isEmpty());
        QCOMPARE(all->start(10, 10).count, qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestPgEngine)
#include "tst_pgengine.moc"
