#include "core/databaseconfig.h"
#include "core/lineconfig.h"
#include "coresupport.h"
#include "platform/gbk.h"

#include <QFile>
#include <QTest>

using namespace corvane;

namespace {
const QString Password = QStringLiteral("秘密 pw=1");
} // namespace

class TestDatabaseConfig : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void telMdbStaysTheDefault_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("no zel.ini") << QByteArray();
        QTest::newRow("no section") << QByteArray("[zel]\r\nfather=com1\r\n");
        QTest::newRow("no engine") << QByteArray("[database]\r\nhost=db\r\nname=shop\r\n");
        // The server lines may stay behind when a shop goes back to tel.mdb,
        // broken or not.
        QTest::newRow("sqlite, server lines kept")
            << QByteArray("[Database]\r\nEngine= SQLite \r\nhost=db\r\nport=abc\r\nsslmode=x\r\n");
    }
    void telMdbStaysTheDefault()
    {
        QFETCH(QByteArray, ini);
        test::ProgramFolder folder(false);
        if (!ini.isEmpty())
            folder.writeFile(QStringLiteral("zel.ini"), ini);
        const DatabaseConfig config = readDatabaseConfig();
        QCOMPARE(config.engine, DatabaseConfig::Engine::Sqlite);
        QCOMPARE(config.server.host, QString());
    }

    void serverIsReadInFullFromAGbkFile()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(
            QStringLiteral("zel.ini"),
            gbk::encode(QStringLiteral("[zel]\r\nfather=com1\r\n[database]\r\nengine=PostgreSQL\r\n"
                                       "host=/run/postgresql\r\nport=6543\r\nname=客户库\r\n"
                                       "user=desk1\r\npassword=%1\r\nsslmode=Require\r\n")
                            .arg(Password)));
        const DatabaseConfig config = readDatabaseConfig();
        QCOMPARE(config.engine, DatabaseConfig::Engine::Postgresql);
        QCOMPARE(config.server.host, QStringLiteral("/run/postgresql"));
        QCOMPARE(config.server.port, 6543);
        QCOMPARE(config.server.name, QStringLiteral("客户库"));
        QCOMPARE(config.server.user, QStringLiteral("desk1"));
        QCOMPARE(config.server.password, Password);
        QCOMPARE(config.server.sslmode, QStringLiteral("require"));

        const QString described = describeServer(config.server);
        QVERIFY(described.contains(QStringLiteral("desk1@/run/postgresql:6543/客户库")));
        QVERIFY(!described.contains(Password));
    }

    void missingServerKeysTakeTheirDefaults()
    {
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"), "[database]\nengine=postgresql\nname=shop\nport=\n");
        const ServerAddress server = readDatabaseConfig().server;
        QCOMPARE(server.host, QString());
        QCOMPARE(server.port, 5432);
        QCOMPARE(server.user, QString());
        QCOMPARE(server.password, QString());
        QCOMPARE(server.sslmode, QStringLiteral("prefer"));
        QCOMPARE(describeServer(server), QStringLiteral("localhost:5432/shop"));
    }

    void brokenValuesAreRefusedByName_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown engine") << "engine=mysql\nname=shop"
                                        << "engine=mysql";
        QTest::newRow("port not a number") << "engine=postgresql\nname=shop\nport=abc"
                                           << "port=abc";
        QTest::newRow("port zero") << "engine=postgresql\nname=shop\nport=0"
                                   << "port=0";
        QTest::newRow("port too large") << "engine=postgresql\nname=shop\nport=65536"
                                        << "port=65536";
        QTest::newRow("port with sign") << "engine=postgresql\nname=shop\nport=+5432"
                                        << "port=+5432";
        QTest::newRow("port with inner blank") << "engine=postgresql\nname=shop\nport=54 32"
                                               << "port=54 32";
        QTest::newRow("unknown sslmode") << "engine=postgresql\nname=shop\nsslmode=maybe"
                                         << "sslmode=maybe";
        QTest::newRow("no database name") << "engine=postgresql\nhost=db"
                                          << "name";
    }
    void brokenValuesAreRefusedByName()
    {
        QFETCH(QString, lines);
        QFETCH(QString, named);
        test::ProgramFolder folder(false);
        folder.writeFile(QStringLiteral("zel.ini"),
                         gbk::encode(QStringLiteral("[database]\n%1\npassword=%2\n").arg(lines, Password)));
        const QString message = test::failureOf([] { readDatabaseConfig(); });
        QVERIFY2(message.contains(named), qPrintable(message));
        QVERIFY(message.contains(QStringLiteral("zel.ini")));
        QVERIFY(!message.contains(Password));
    }

    // The program writes zel.ini (the line settings): with the server's
    // password in it the file becomes its owner's alone; without, it stays
    // as the user made it.
    void aWrittenFileWithThePasswordIsTheOwnersAlone()
    {
        test::ProgramFolder folder(false);
        const QString file = folder.file(QStringLiteral("zel.ini"));
        const QFileDevice::Permissions shared = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther;
        folder.writeFile(QStringLiteral("zel.ini"), "[database]\r\nengine=postgresql\r\nname=shop\r\n");
        QVERIFY(QFile::setPermissions(file, shared));
        QVERIFY(writeLineConfig(QStringLiteral("com2"), QStringLiteral("制式1")));
        QCOMPARE(QFile::permissions(file) & 0xf0ff, shared);

        folder.writeFile(QStringLiteral("zel.ini"),
                         "[database]\r\nengine=postgresql\r\nname=shop\r\npassword=pw\r\n");
        QVERIFY(QFile::setPermissions(file, shared));
        QVERIFY(writeLineConfig(QStringLiteral("com2"), QStringLiteral("制式1")));
        QCOMPARE(QFile::permissions(file) & 0xf0ff, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(readLineConfig().portName, QStringLiteral("com2"));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseConfig)
#include "tst_databaseconfig.moc"
