#include "pgserver.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <memory>

using namespace corvane::test;

class TestPgServer : public QObject
{
    Q_OBJECT

    // Whether a client on the loopback address gets in with `password`.
    static bool loopbackAccepts(const PgServer &server, const QString &password)
    {
        QProcess psql;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGPASSWORD"), password);
        psql.setProcessEnvironment(environment);
        psql.start(QStringLiteral("/usr/lib/postgresql/15/bin/psql"),
                   {QStringLiteral("-X"), QStringLiteral("-w"), QStringLiteral("-h"),
                    QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(server.port()),
                    QStringLiteral("-U"), server.user(), QStringLiteral("-d"), server.databaseName(),
                    QStringLiteral("-c"), QStringLiteral("SELECT 1")});
        psql.waitForFinished(-1);
        return psql.exitStatus() == QProcess::NormalExit && psql.exitCode() == 0;
    }

private Q_SLOTS:
    void dataOutlivesTheServerBeingTakenAway()
    {
        PgServer server;
        QVERIFY(server.isReady());
        QCOMPARE(server.query(QStringLiteral("SELECT current_database()")),
                 QStringList{server.databaseName()});
        server.query(QStringLiteral("CREATE TABLE t (id integer, name text); "
                                    "INSERT INTO t VALUES (1, '张三'), (2, NULL)"));

        server.stop();
        QVERIFY(!server.isReady());
        server.start();
        QVERIFY(server.isReady());
        QCOMPARE(server.query(QStringLiteral("SELECT id, name FROM t ORDER BY id")),
                 (QStringList{QStringLiteral("1|张三"), QStringLiteral("2|")}));
    }

    void loopbackClientsNeedThePassword()
    {
        PgServer server;
        QVERIFY(loopbackAccepts(server, server.password()));
        QVERIFY(!loopbackAccepts(server, QStringLiteral("wrong")));
    }

    void twoServersRunSideBySideAndLeaveNothingBehind()
    {
        auto first = std::make_unique<PgServer>();
        PgServer second;
        QVERIFY(first->port() != second.port());
        first->query(QStringLiteral("CREATE TABLE only_in_first (id integer)"));
        QCOMPARE(
            second.query(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename = 'only_in_first'")),
            QStringList{QStringLiteral("0")});

        const QString folder = first->socketFolder();
        first.reset();
        QVERIFY(!QDir(folder).exists());
        QVERIFY(second.isReady());
    }
};

QTEST_GUILESS_MAIN(TestPgServer)
#include "tst_pgserver.moc"
