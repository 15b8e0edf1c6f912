#include "customerrows.h"
#include "pgserver.h"
#include "platform/failure.h"
#include "records/dataset.h"
#include "store/transaction.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sqlite3.h>

#include <memory>

using namespace corvane;

class ConnectionTest : public QObject
{
    Q_OBJECT

    // Started by the first case that runs on the server.
    std::unique_ptr<test::PgServer> m_server;

    // A new tel.mdb, or a new database on the server, as the case's row says.
    std::unique_ptr<test::FolderDatabase> database()
    {
        QFETCH(bool, onServer);
        auto db = std::make_unique<test::FolderDatabase>();
        if (onServer) {
            if (!m_server)
                m_server = std::make_unique<test::PgServer>();
            m_server->emptyDatabase();
            db->connection.setServer(m_server->socketAddress());
        }
        return db;
    }

private Q_SLOTS:
    void missingFileFailsEveryActionAndIsNeverCreated()
    {
        test::ProgramFolder folder(false);
        const QString path = folder.file(QStringLiteral("tel.mdb"));
        Stores stores;
        stores.connection.setDatabasePath(path);
        Dataset customers(stores.customers.allCustomers());
        const QString expected = test::failureOf([&] { customers.open(); });
        QVERIFY2(expected.startsWith(QStringLiteral("找不到数据库文件 %1。").arg(path)),
                 qPrintable(expected));
        QCOMPARE(test::failureOf([&] { stores.rings.chooseRing(QStringLiteral("1")); }), expected);
        QCOMPARE(test::failureOf([&] { stores.customers.customerByTel(QStringLiteral("1")); }), expected);
        QVERIFY(!customers.isOpen());
        QVERIFY(!QFile::exists(path));

        // Once the file is back, the next action simply works.
        test::createDatabase(path);
        customers.open();
        QCOMPARE(customers.recordCount(), 0);
    }

    // Nothing is written into a file that is no database of the program's:
    // SQLite would make an empty one a database, and a foreign one its own.
    void fileThatIsNotADatabaseIsReportedAndLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("told");
        QTest::newRow("garbage") << QByteArray("this is no database\0\xff\xfe", 23).repeated(200)
                                 << QStringLiteral("已损坏");
        QTest::newRow("zero bytes") << QByteArray() << QStringLiteral("是空的（0 字节）");
    }
    void fileThatIsNotADatabaseIsReportedAndLeftAlone()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, told);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("tel.mdb"), content);
        Stores stores;
        stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        Dataset customers(stores.customers.allCustomers());
        const QString message = test::failureOf([&] { customers.open(); });
        QVERIFY2(message.contains(told) && message.contains(folder.path().chopped(1)), qPrintable(message));
        QFile file(folder.file(QStringLiteral("tel.mdb")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    void opensWithWalAndFullSyncUnderAnOddPath()
    {
        test::ProgramFolder folder(false);
        const QString dir = folder.file(QStringLiteral("程序 #1 ?%20'x"));
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/tel.mdb");
        test::createDatabase(path);
        // As a tel.mdb made before the build made them in WAL mode.
        test::sqlColumn(path, QStringLiteral("PRAGMA journal_mode=DELETE"));
        Connection connection;
        connection.setDatabasePath(path);
        QCOMPARE(connection.databasePath(), path);
        QCOMPARE(test::column(connection, QStringLiteral("PRAGMA journal_mode")), QStringList{"wal"});
        QCOMPARE(test::column(connection, QStringLiteral("PRAGMA synchronous")), QStringList{"2"});
        QCOMPARE(test::column(connection, QStringLiteral("select count(*) from ring")), QStringList{"3"});
    }

    // Another program holding the file makes an action fail after the busy
    // timeout, told in the user's words; once it lets go, the same
    // connection works, with nothing of the failed action left over.
    void lockedFileIsReportedAfterTheBusyTimeout()
    {
        test::ProgramFolder folder;
        const QByteArray path = folder.file(QStringLiteral("tel.mdb")).toUtf8();
        Stores stores;
        stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        stores.connection.setBusyTimeout(100);
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(path.constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other,
                              "PRAGMA journal_mode=WAL; BEGIN EXCLUSIVE; "
                              "insert into customer(customercode) values('other')",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY(test::failureOf([&] {
                    stores.rings.chooseRing(QStringLiteral("2"));
                }).contains(QStringLiteral("正被其他程序占用")));
        QVERIFY(test::failureOf([&] {
                    stores.calls.logCall({QStringLiteral("2024-01-01"), {}, {}, {}, {}});
                }).contains(QStringLiteral("正被其他程序占用")));
        // Readers are not held up by a writer.
        Dataset customers(stores.customers.allCustomers());
        customers.open();
        QCOMPARE(customers.recordCount(), 0);
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        stores.rings.chooseRing(QStringLiteral("2"));
        QCOMPARE(stores.rings.currentRing(), QStringLiteral("2"));
        QCOMPARE(test::customerCodes(stores.connection), QStringList{QStringLiteral("other")});
    }

    void noPathIsAFailureToo()
    {
        Stores stores;
        QVERIFY(!test::failureOf([&] { stores.rings.currentRing(); }).isEmpty());
    }

    void statementsAreRunAloneAndErrorsReported_data() { test::PgServer::addEngineRows(); }
    void statementsAreRunAloneAndErrorsReported()
    {
        QFETCH(bool, onServer);
        const auto db = database();
        // Each engine refuses the second statement in its own words.
        const QString second = test::failureOf(
            [&] { test::column(db->connection, QStringLiteral("select 1; drop table customer")); });
        if (onServer)
            QVERIFY(second.contains(QStringLiteral("multiple commands")));
        else
            QCOMPARE(second, QStringLiteral("Characters found after end of SQL statement"));
        const QString missing = test::failureOf(
            [&] { test::column(db->connection, QStringLiteral("select * from nosuchtable")); });
        QVERIFY2(
            missing.contains(onServer ? QStringLiteral("does not exist") : QStringLiteral("no such table")),
            qPrintable(missing));
        QCOMPARE(test::column(db->connection, QStringLiteral("select count(*) from customer")),
                 QStringList{"0"});
    }

    // A write transaction left without commit (a failure half way) undoes
    // everything written inside it.
    void transactionLeftWithoutCommitUndoesItsWrites_data() { test::PgServer::addEngineRows(); }
    void transactionLeftWithoutCommitUndoesItsWrites()
    {
        const auto db = database();
        try {
            Transaction transaction(db->connection);
            test::insertCustomer(db->connection, QStringLiteral("half"));
            db->stores.calls.logCall({QStringLiteral("2024-01-01"), {}, QStringLiteral("1"), {}, {}});
            test::run(db->connection, QStringLiteral("insert into nosuchtable values(1)"));
            transaction.commit();
        } catch (const Failure &) {
        }
        QCOMPARE(test::customerCodes(db->connection), QStringList());
        QCOMPARE(test::column(db->connection, QStringLiteral("select count(*) from detail")),
                 QStringList{"0"});
        test::insertCustomer(db->connection, QStringLiteral("after"));
        QCOMPARE(test::customerCodes(db->connection), QStringList{QStringLiteral("after")});
    }
};

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
