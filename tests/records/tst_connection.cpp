#include "records/datamodule.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

#include <sqlite3.h>

using namespace corvane;

class ConnectionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingFileFailsEveryActionAndIsNeverCreated()
    {
        test::ProgramFolder folder(false);
        const QString path = folder.file(QStringLiteral("tel.mdb"));
        DataModule data;
        data.ADOConnection1.setDatabasePath(path);
        const QString expected = QStringLiteral("Could not find file '%1'").arg(path);
        QCOMPARE(test::failureOf([&] { data.ADOQuery1->open(); }), expected);
        data.ADOQuerychange->setSql(QStringLiteral("update ring set   bz='0'"));
        QCOMPARE(test::failureOf([&] { data.ADOQuerychange->execute(); }), expected);
        QCOMPARE(test::failureOf([&] { data.ADOConnection1.database(); }), expected);
        QVERIFY(!data.ADOQuery1->isOpen());
        QVERIFY(!QFile::exists(path));

        // Once the file is back, the next action simply works.
        test::createDatabase(path);
        data.ADOQuery1->open();
        QCOMPARE(data.ADOQuery1->recordCount(), 0);
    }

    void fileThatIsNotADatabaseIsReportedAndLeftAlone()
    {
        test::ProgramFolder folder(false);
        const QByteArray garbage = QByteArray("this is no database\0\xff\xfe", 23).repeated(200);
        folder.writeFile(QStringLiteral("tel.mdb"), garbage);
        Connection connection;
        connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        Dataset query(connection, QStringLiteral("select * from customer"));
        QVERIFY(test::failureOf([&] { query.open(); }).contains(QStringLiteral("not a database")));
        QFile file(folder.file(QStringLiteral("tel.mdb")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage);
    }

    void opensWithWalAndFullSyncUnderAnOddPath()
    {
        test::ProgramFolder folder(false);
        const QString dir = folder.file(QStringLiteral("程序 #1 ?%20'x"));
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/tel.mdb");
        test::createDatabase(path);
        Connection connection;
        connection.setDatabasePath(path);
        QCOMPARE(connection.databasePath(), path);
        QSqlQuery pragma(connection.database());
        QVERIFY(pragma.exec(QStringLiteral("PRAGMA journal_mode")) && pragma.next());
        QCOMPARE(pragma.value(0).toString(), QStringLiteral("wal"));
        QVERIFY(pragma.exec(QStringLiteral("PRAGMA synchronous")) && pragma.next());
        QCOMPARE(pragma.value(0).toInt(), 2);
        QVERIFY(pragma.exec(QStringLiteral("select count(*) from ring")) && pragma.next());
        QCOMPARE(pragma.value(0).toInt(), 3);
    }

    void lockedFileIsReportedAfterTheBusyTimeout()
    {
        test::ProgramFolder folder;
        const QByteArray path = folder.file(QStringLiteral("tel.mdb")).toUtf8();
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(path.constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        Connection connection;
        connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        Dataset query(connection, QStringLiteral("select * from customer"));
        QVERIFY(test::failureOf([&] { query.open(); }).endsWith(QStringLiteral("database is locked")));
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        query.open();
        QVERIFY(query.isOpen());
    }

    void noPathIsAFailureToo()
    {
        Connection connection;
        QVERIFY(!test::failureOf([&] { connection.database(); }).isEmpty());
    }
};

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
