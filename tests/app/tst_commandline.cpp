#include "app/commandline.h"

#include <QTest>

using namespace corvane;

namespace {

CommandLine parse(const QStringList &options)
{
    return parseCommandLine(QStringList{QStringLiteral("corvane")} + options);
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void optionsAreRead()
    {
        const CommandLine none = parse({});
        QVERIFY(!none.endNow);
        QVERIFY(!none.intoTray);
        QCOMPARE(none.dataFolder, QString());

        const CommandLine both =
            parse({QStringLiteral("--tray"), QStringLiteral("--data"), QStringLiteral("/srv/shop")});
        QVERIFY(!both.endNow);
        QVERIFY(both.intoTray);
        QCOMPARE(both.dataFolder, QStringLiteral("/srv/shop"));
        QCOMPARE(parse({QStringLiteral("--data=店 数据")}).dataFolder, QStringLiteral("店 数据"));
    }

    void badUseEndsWithAMessageAndCode2_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("named");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--trey")} << QStringLiteral("trey");
        QTest::newRow("folder missing") << QStringList{QStringLiteral("--data")} << QStringLiteral("data");
        QTest::newRow("empty folder") << QStringList{QStringLiteral("--data=")} << QStringLiteral("--data");
        QTest::newRow("stray argument")
            << QStringList{QStringLiteral("tel.mdb")} << QStringLiteral("tel.mdb");
    }
    void badUseEndsWithAMessageAndCode2()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, named);
        const CommandLine bad = parse(options);
        QVERIFY(bad.endNow);
        QCOMPARE(bad.exitCode, 2);
        QVERIFY2(bad.output.contains(named), qPrintable(bad.output));
        QVERIFY2(bad.output.contains(QStringLiteral("--help")), qPrintable(bad.output));
    }

    void helpListsTheOptions()
    {
        const CommandLine help = parse({QStringLiteral("--help")});
        QVERIFY(help.endNow);
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.output.contains(QStringLiteral("--data")));
        QVERIFY(help.output.contains(QStringLiteral("--tray")));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
