// The caller-ID line end to end: the real Corvane executable in a program
// folder of its own, a real tel.mdb, and the fake modem on a pseudo-terminal.

#include "modemsim.h"
#include "runningprogram.h"

#include <QFile>
#include <QJsonObject>
#include <QTest>

#include <csignal>

using namespace corvane;

using Program = test::RunningProgram;

namespace {

// The lock the serial port library takes for a device while it is open.
QString lockFileOf(const QString &device)
{
    return QStringLiteral("/var/lock/LCK..") + QString(device).replace(QLatin1Char('/'), QLatin1Char('_'));
}

void addCustomer(const Program &program, const QString &code, const QString &tel)
{
    program.query(
        QStringLiteral("insert into customer(customercode, customername, tel) values('%1', 'Shop', '%2')")
            .arg(code, tel));
}

} // namespace

class TestLineEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modeCommandSentOnce_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("制式1") << QStringLiteral("制式1") << QByteArray("at#cid=1\r");
        QTest::newRow("制式2") << QStringLiteral("制式2") << QByteArray("at#vcid=1\r");
    }
    void modeCommandSentOnce()
    {
        QFETCH(QString, mode);
        QFETCH(QByteArray, command);
        test::ModemSim modem;
        Program program(mode, modem.devicePath());
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), command, 20000);
        QTest::qWait(1000);
        QCOMPARE(modem.recorded(), command);
        // The modem's echo and "OK" are dropped without a word.
        QVERIFY(program.isRunning());
        QCOMPARE(program.messageTexts(), QStringList());
    }

    void unknownModeSendsNothing()
    {
        test::ModemSim modem;
        Program program(QStringLiteral("制式3"), modem.devicePath());
        QTest::qWait(3000);
        QVERIFY(program.isRunning());
        QCOMPARE(modem.recorded(), QByteArray());
        QCOMPARE(program.messageTexts(), QStringList());
    }

    // A device that is not there is said to be not plugged in, once.
    void absentDevice()
    {
        Program program(QStringLiteral("制式1"), QStringLiteral("/nonexistent/ttyCID"));
        QTRY_COMPARE_WITH_TIMEOUT(program.messages().size(), 1, 20000);
        const QList<QJsonObject> boxes = program.messages();
        QVERIFY(boxes[0]
                    .value(QStringLiteral("text"))
                    .toString()
                    .startsWith(QStringLiteral("没有找到串口设备 /nonexistent/ttyCID：")));
        QCOMPARE(boxes[0].value(QStringLiteral("caption")).toString(), QStringLiteral("Corvane"));
        QTest::qWait(500);
        QVERIFY(program.isRunning());
        QCOMPARE(program.messages().size(), 1);
    }

    // A modem that takes only the standard command gives logged calls with no
    // setting changed by the user; one refusing every caller-ID command and
    // one answering nothing each get their one message, and the program goes
    // on taking their calls. So in words or in numbers (ATV0), at once or
    // late: the bytes sent, the command kept in zel.ini, the boxes shown; a
    // late answer is its own command's, and a slow modem is told once.
    void modemsThatTakeOtherCommands_data()
    {
        QTest::addColumn<QStringList>("personality");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("told");
        const QStringList onlyStandard{QStringLiteral("answers only AT+VCID=1"), QStringLiteral("reset")};
        const QByteArray allCommands("at#cid=1\rAT+VCID=1\rAT%CCID=1\rat#vcid=1\r");
        const QString refused = QStringLiteral("不接受来电显示命令");
        const QString slow = QStringLiteral("应答很慢（约 2.5 秒后才应答）");
        QTest::newRow("takes AT+VCID=1 only") << onlyStandard << QByteArray("at#cid=1\rAT+VCID=1\r")
                                              << QStringLiteral("AT+VCID=1") << QString();
        QTest::newRow("refuses all") << QStringList{QStringLiteral("answers error")} << allCommands
                                     << QString() << refused;
        QTest::newRow("silent") << QStringList{QStringLiteral("answers none")} << QByteArray("at#cid=1\rAT\r")
                                << QString() << QStringLiteral("没有调制解调器应答");
        QTest::newRow("numbers, takes AT+VCID=1 only")
            << QStringList{QStringLiteral("results numbers")} + onlyStandard
            << QByteArray("at#cid=1\rAT+VCID=1\r") << QStringLiteral("AT+VCID=1") << QString();
        QTest::newRow("numbers, refuses all")
            << QStringList{QStringLiteral("results numbers"), QStringLiteral("answers error")} << allCommands
            << QString() << refused;
        QTest::newRow("late, takes its own")
            << QStringList{QStringLiteral("delay 2500")} << QByteArray("at#cid=1\rAT\r") << QString() << slow;
        QTest::newRow("late, takes AT+VCID=1 only")
            << QStringList{QStringLiteral("delay 2500")} + onlyStandard
            << QByteArray("at#cid=1\rAT\rAT+VCID=1\r") << QStringLiteral("AT+VCID=1") << slow;
    }
    void modemsThatTakeOtherCommands()
    {
        QFETCH(QStringList, personality);
        QFETCH(QByteArray, sent);
        QFETCH(QString, kept);
        QFETCH(QString, told);
        test::ModemSim modem;
        for (const QString &command : personality)
            QVERIFY(modem.command(command));
        Program program(QStringLiteral("制式1"), modem.devicePath());
        addCustomer(program, QStringLiteral("C5"), QStringLiteral("5555555"));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), sent, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(program.messages().size(), told.isEmpty() ? 0 : 1, 20000);
        QVERIFY(modem.command(QStringLiteral("call 5555555 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(program.query(QStringLiteral("select tel, customercode from detail")),
                                  QStringList{QStringLiteral("5555555|C5")}, 10000);
        QVERIFY(program.isRunning());
        const auto zelIni = [&program] {
            QFile ini(program.folder() + QStringLiteral("zel.ini"));
            return ini.open(QIODevice::ReadOnly) ? ini.readAll() : QByteArray();
        };
        if (kept.isEmpty())
            QVERIFY2(!zelIni().toUpper().contains("\nCOM1=AT"), zelIni().constData());
        else
            QTRY_VERIFY2_WITH_TIMEOUT(zelIni().contains(QByteArray(QByteArray("\ncom1=") + kept.toLatin1())),
                                      zelIni().constData(), 10000);
        QVERIFY(zelIni().contains("father=com1\r\n"));
        QCOMPARE(modem.recorded(), sent);
        QCOMPARE(program.messages().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(program.messageTexts().first().contains(told),
                     qPrintable(program.messageTexts().first()));
    }

    // A known caller's report, streamed at line rate, is read whole in one
    // event: the log row holds exactly its number, date and time.
    void reportAtLineRateIsLogged()
    {
        test::ModemSim modem;
        Program program(QStringLiteral("制式1"), modem.devicePath());
        program.query(QStringLiteral("insert into customer(customercode, customername, tel) "
                                     "values('C1', 'Shop', '5551234')"));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#cid=1\r"), 20000);
        QTest::qWait(300);
        QVERIFY(modem.command(QStringLiteral("ring")));
        QVERIFY(modem.command(QStringLiteral("call 5551234 %1 1405").arg(test::todayAsReported())));
        QTRY_COMPARE_WITH_TIMEOUT(
            program.query(QStringLiteral("select adate, atime, tel, customercode from detail")),
            QStringList{QStringLiteral("%1|14:05|5551234|C1").arg(test::todayText())}, 10000);
        QCOMPARE(program.messageTexts(), QStringList());
    }

    // Line noise, odd bytes, an overlong report and bulk garbage: the program
    // keeps running with bounded memory, still takes calls, and says once
    // that the line is gone when the device vanishes.
    void hostileLine()
    {
        test::ModemSim modem;
        Program program(QStringLiteral("制式1"), modem.devicePath());
        program.query(QStringLiteral("insert into customer(customercode, customername, tel) "
                                     "values('C2', 'O''Brien', '5550000')"));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#cid=1\r"), 20000);
        QTest::qWait(300);
        const qint64 startKb = program.residentKb();

        QVERIFY(modem.command(
            QStringLiteral("send \\x00\\xff\\x80NMBR = '\\x00;drop table customer;--\\xfe\\r\\n")));
        QTest::qWait(300);
        QVERIFY(modem.command(QStringLiteral("send \\r\\nNMBR = ") + QString(2000, QLatin1Char('7')) +
                              QStringLiteral("\\r\\n")));
        QTest::qWait(300);
        QVERIFY(modem.command(QStringLiteral("rate 2000000")));
        QVERIFY(modem.command(QStringLiteral("chunk 256")));
        QVERIFY(modem.command(QStringLiteral("random 1048576 42"), 120000));
        QVERIFY(modem.command(QStringLiteral("rate 9600")));
        QVERIFY(modem.command(QStringLiteral("chunk 1")));
        QTest::qWait(500);
        QVERIFY(program.isRunning());
        const qint64 afterKb = program.residentKb();
        qInfo("resident memory: %lld kB before, %lld kB after 1 MB of line noise", startKb, afterKb);
        QVERIFY(afterKb - startKb < 32 * 1024);
        // The odd numbers were treated as new numbers; nothing was altered.
        QCOMPARE(program.query(QStringLiteral("select count(*) from customer")),
                 QStringList{QStringLiteral("1")});

        QVERIFY(modem.command(QStringLiteral("call 5550000 1231 2359")));
        QTRY_COMPARE_WITH_TIMEOUT(program.query(QStringLiteral("select atime, customername from detail")),
                                  QStringList{QStringLiteral("23:59|O'Brien")}, 10000);

        const qsizetype before = program.messages().size();
        QVERIFY(modem.command(QStringLiteral("hangup")));
        QTRY_COMPARE_WITH_TIMEOUT(program.messages().size(), before + 1, 10000);
        QTest::qWait(1000);
        QCOMPARE(program.messages().size(), before + 1);
        QVERIFY(program.messageTexts().last().contains(modem.devicePath()));
        QVERIFY(program.isRunning());
    }

    // A USB modem unplugged and plugged in again: one message says the line
    // is lost; once the device is back at the same path the line is taken up
    // again by itself, the modem told its mode anew, and the next call logged.
    void lineComesBackWhenTheDeviceDoes()
    {
        test::ModemSim modem;
        Program program(QStringLiteral("制式2"), modem.devicePath());
        addCustomer(program, QStringLiteral("C3"), QStringLiteral("5553333"));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#vcid=1\r"), 20000);
        QVERIFY(modem.command(QStringLiteral("unplug")));
        QTRY_COMPARE_WITH_TIMEOUT(program.messages().size(), 1, 10000);
        QVERIFY(program.messageTexts().first().contains(modem.devicePath()));
        // Gone for longer than one look for it.
        QTest::qWait(4000);
        QVERIFY(modem.command(QStringLiteral("replug")));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#vcid=1\rat#vcid=1\r"), 10000);
        QTest::qWait(300);
        QVERIFY(modem.command(QStringLiteral("call 5553333 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(program.query(QStringLiteral("select tel, customercode from detail")),
                                  QStringList{QStringLiteral("5553333|C3")}, 10000);
        QCOMPARE(program.messages().size(), 1);
    }

    // Started before the modem is plugged in: it is said to be not plugged
    // in, then the line is taken up by itself once the device appears.
    void lineIsTakenUpWhenTheDeviceFirstAppears()
    {
        test::ModemSim modem;
        QVERIFY(modem.command(QStringLiteral("unplug")));
        Program program(QStringLiteral("制式1"), modem.devicePath());
        addCustomer(program, QStringLiteral("C4"), QStringLiteral("5554444"));
        QTRY_COMPARE_WITH_TIMEOUT(program.messages().size(), 1, 20000);
        QVERIFY(program.messageTexts().first().startsWith(QStringLiteral("没有找到串口设备 ") +
                                                          modem.devicePath()));
        QVERIFY(modem.command(QStringLiteral("replug")));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#cid=1\r"), 10000);
        QTest::qWait(300);
        QVERIFY(modem.command(QStringLiteral("call 5554444 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(program.query(QStringLiteral("select tel, customercode from detail")),
                                  QStringList{QStringLiteral("5554444|C4")}, 10000);
        QCOMPARE(program.messages().size(), 1);
    }

    // Ending by signal is ending by the menu: the port is closed (its lock
    // gone), and the exit code is 0.
    void signalEndsTheProgramCleanly_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void signalEndsTheProgramCleanly()
    {
        QFETCH(int, signalNumber);
        test::ModemSim modem;
        Program program(QStringLiteral("制式1"), modem.devicePath());
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#cid=1\r"), 20000);
        const QString lock = lockFileOf(modem.devicePath());
        QVERIFY2(QFile::exists(lock), qPrintable(lock));
        QCOMPARE(::kill(pid_t(program.process().processId()), signalNumber), 0);
        QVERIFY(program.process().waitForFinished(10000));
        QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.process().exitCode(), 0);
        QVERIFY(!QFile::exists(lock));
        QCOMPARE(program.messageTexts(), QStringList());
    }

    // With log=1 in [line], the bytes of the line are in line.log beside the
    // database: the mode command sent and the modem's report received.
    void lineLogRecordsBothDirections()
    {
        test::ModemSim modem;
        Program program(QStringLiteral("制式1"), modem.devicePath(), QStringLiteral("[line]\r\nlog=1\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#cid=1\r"), 20000);
        QTest::qWait(300);
        QVERIFY(modem.command(QStringLiteral("call 5551234 0321 1405")));
        const auto logText = [&] {
            QFile log(program.folder() + QStringLiteral("line.log"));
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains("NMBR"), 10000);
        const QByteArray text = logText();
        QVERIFY2(text.contains(" > at#cid=1\\r\n"), text.constData());
        QVERIFY2(text.contains(" < \\r\\nDATE = 0321\\r\\nTIME = 1405\\r\\nNMBR = 5551234\\r\\n\\r\\n\n"),
                 text.constData());
    }

    void lineLogIsOffByDefault()
    {
        test::ModemSim modem;
        Program program(QStringLiteral("制式1"), modem.devicePath());
        QTRY_COMPARE_WITH_TIMEOUT(modem.recorded(), QByteArray("at#cid=1\r"), 20000);
        QVERIFY(modem.command(QStringLiteral("ring")));
        QTest::qWait(500);
        QVERIFY(!QFile::exists(program.folder() + QStringLiteral("line.log")));
    }
};

QTEST_MAIN(TestLineEndToEnd)
#include "tst_line_e2e.moc"
