#include "coresupport.h"
#include "customerrows.h"
#include "pgserver.h"
#include "store/pagedquery.h"
#include "store/statement.h"
#include "store/stores.h"
#include "store/transaction.h"

#include <QDate>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace corvane;
using namespace corvane::test;

namespace {

// The server as a desk on another PC reaches it: over the network, with the
// password.
ServerAddress overLoopback(const test::PgServer &server, const QString &password)
{
    ServerAddress address = server.loopbackAddress();
    address.password = password;
    return address;
}

// A listening loopback socket that takes connections and never says a word,
// as a machine whose server hangs would.
class SilentListener
{
public:
    SilentListener() : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            ::listen(m_socket, 4) != 0 ||
            ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            qFatal("no listening socket");
        m_port = ntohs(address.sin_port);
    }
    ~SilentListener() { ::close(m_socket); }
    SilentListener(const SilentListener &) = delete;
    SilentListener &operator=(const SilentListener &) = delete;
    int port() const { return m_port; }

private:
    int m_socket;
    int m_port = 0;
};

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
        // Away and back between two statements: the next one goes through
        // rather than failing on the connection the server closed.
        server.stop();
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

    // A server that takes the connection but never answers is given up
    // after its short wait, saying so, rather than holding the window.
    void aServerThatNeverAnswersIsGivenUp()
    {
        SilentListener silent;
        Stores stores;
        ServerAddress address;
        address.host = QStringLiteral("127.0.0.1");
        address.port = silent.port();
        address.name = QStringLiteral("corvane");
        stores.connection.setServer(address);
        const QString failure = test::failureOf([&stores] { stores.rings.currentRing(); });
        QVERIFY2(failure.contains(QStringLiteral("no answer within 1 s")), qPrintable(failure));
    }

    // Two desks on one customer: each save writes only what it changed, a
    // row gone at the other desk is not saved, and a customer code is taken
    // once; rows without a code are many.
    void twoDesksShareCustomersWithoutOverwriting()
    {
        test::PgServer server;
        Stores deskA;
        Stores deskB;
        deskA.connection.setServer(overLoopback(server, server.password()));
        deskB.connection.setServer(overLoopback(server, server.password()));
        const auto atA = deskA.customers.allCustomers();
        const auto atB = deskB.customers.allCustomers();
        const Record loaded =
            customerRow(QStringLiteral("C1"), QStringLiteral("张三"), QStringLiteral("5550001"));
        const qint64 key = atA->insert(loaded, marking({CustomerCode, CustomerName, Tel}));

        Record renamed = loaded;
        renamed[CustomerName] = QStringLiteral("张三丰");
        QVERIFY(atA->update(key, renamed, marking({CustomerName})));
        Record renumbered = loaded;
        renumbered[Tel] = QStringLiteral("5550009");
        QVERIFY(atB->update(key, renumbered, marking({Tel})));
        QCOMPARE(server.query(QStringLiteral("SELECT customername || ' ' || tel FROM customer")),
                 QStringList{QStringLiteral("张三丰 5550009")});

        const QString taken = test::failureOf([&] {
            atB->insert(customerRow(QStringLiteral("C1"), QStringLiteral("李四"), QStringLiteral("5550002")),
                        marking({CustomerCode, CustomerName, Tel}));
        });
        QCOMPARE(taken,
                 QStringLiteral("此客户编号已被使用（可能刚由另一台电脑保存），请换一个客户编号后再保存"));
        for (Stores *desk : {&deskA, &deskB}) {
            desk->customers.allCustomers()->insert(
                customerRow(QString(), QStringLiteral("无编号"), QStringLiteral("5550003")),
                marking({CustomerName}));
            desk->customers.allCustomers()->insert(
                customerRow(QString(), QStringLiteral("空编号"), QStringLiteral("5550004")),
                marking({CustomerCode, CustomerName}));
        }
        QCOMPARE(server.query(QStringLiteral("SELECT count(*) FROM customer")),
                 QStringList{QStringLiteral("5")});

        atA->remove(key);
        QVERIFY(!atB->update(key, renumbered, marking({CustomerName})));
        QCOMPARE(server.query(QStringLiteral("SELECT count(*) FROM customer WHERE customercode = 'C1'")),
                 QStringList{QStringLiteral("0")});
    }
};

QTEST_GUILESS_MAIN(TestPgEngine)
#include "tst_pgengine.moc"
