#include "app/commandline.h"

#include <QProcess>
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
        QVERIFY(!none.quitRunning);
        QVERIFY(parse({QStringLiteral("--quit")}).quitRunning);
        QCOMPARE(none.dataFolder, QString());

        const CommandLine both =
            parse({QStringLiteral("--tray"), QStringLiteral("--data"), QStringLiteral("/srv/shop")});
        QVERIFY(!both.endNow);
        QVERIFY(both.intoTray);
        QCOMPARE(both.dataFolder, QStringLiteral("/srv/shop"));
        QCOMPARE(parse({QStringLiteral("--data=店 数据")}).dataFolder, QStringLiteral("店 数据"));
        QVERIFY(!both.copyToServer);

        const CommandLine copy =
            parse({QStringLiteral("--copy-to-server"), QStringLiteral("--add-to-existing"),
                   QStringLiteral("/srv/二店/tel.mdb"), QStringLiteral("--data=/srv/shop")});
        QVERIFY(!copy.endNow);
        QVERIFY(copy.copyToServer);
        QVERIFY(copy.addToExisting);
        QCOMPARE(copy.copySource, QStringLiteral("/srv/二店/tel.mdb"));
        QCOMPARE(copy.dataFolder, QStringLiteral("/srv/shop"));
        QCOMPARE(parse({QStringLiteral("--copy-to-server")}).copySource, QString());
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
        QTest::newRow("two files to copy") << QStringList{QStringLiteral("--copy-to-server"),
                                                          QStringLiteral("a.mdb"), QStringLiteral("b.mdb")}
                                           << QStringLiteral("b.mdb");
        QTest::newRow("unknown option to the copy")
            << QStringList{QStringLiteral("--copy-to-server"), QStringLiteral("--force")}
            << QStringLiteral("force");
        QTest::newRow("adding without copying")
            << QStringList{QStringLiteral("--add-to-existing")} << QStringLiteral("--copy-to-server");
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

    // The program itself on a text console, with no display at all: help,
    // version and a bad option answer without a window system.
    void theProgramAnswersWithoutADisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("help") << "--help" << 0
                              << QStringList{QStringLiteral("--data"),
                                             QStringLiteral("--tray"),
                                             QStringLiteral("--quit"),
                                             QStringLiteral("--copy-to-server"),
                                             QStringLiteral("--add-to-existing"),
                                             QStringLiteral("--help"),
                                             QStringLiteral("--version")};
        QTest::newRow("version") << "--version" << 0 << QStringList{QStringLiteral("Corvane 0.")};
        QTest::newRow("bad option") << "--trey" << 2 << QStringList{QStringLiteral("--help")};
    }
    void theProgramAnswersWithoutADisplay()
    {
        QFETCH(QString, option);
        QFETCH(int, exitCode);
        QFETCH(QStringList, told);
        QProcess program;
        QProcessEnvironment console = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            console.remove(QLatin1String(name));
        program.setProcessEnvironment(console);
        program.start(QStringLiteral(CORVANE_UNDER_TEST), {option});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString output = QString::fromUtf8(exitCode == 0 ? program.readAllStandardOutput()
                                                               : program.readAllStandardError());
        for (const QString &text : told)
            QVERIFY2(output.contains(text), qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
