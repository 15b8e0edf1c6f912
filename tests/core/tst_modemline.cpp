// The line's talk with its modem, over the fake modem on a pseudo-terminal:
// the answer to the caller-ID command read and other commands tried, the
// idle modem looked after, another modem found by its name, and why a port
// cannot be opened, told to an ordinary user.

#include "core/lineconfig.h"
#include "core/linesession.h"
#include "core/modemconfig.h"
#include "coresupport.h"
#include "modemsim.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "platform/serialdevice.h"
#include "platform/suspendwatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvane;

namespace {

constexpr LineTiming Quick{300, 300, 60000, 15000};

// A session on com1, the fake modem, in mode 1.
struct Line
{
    explicit Line(const LineTiming &timing = Quick, const QString &device = {}) : session(timing)
    {
        folder.writeFile(QStringLiteral("zel.ini"),
                         "[zel]\r\nfather=com1\r\nschool=制式1\r\n[ports]\r\ncom1=" +
                             (device.isEmpty() ? modem.devicePath() : device).toUtf8() + "\r\n");
    }
    void start() { session.start(readLineConfig(), readModemSettings(QStringLiteral("com1"))); }
    QString notice(int i = 0) const { return notices.at(i).at(0).toString(); }

    test::ProgramFolder folder{false};
    test::ModemSim modem;
    LineSession session;
    QSignalSpy notices{&session, &LineSession::notice};
    QSignalSpy reports{&session, &LineSession::reportReceived};
    QSignalSpy callerIdOn{&session, &LineSession::callerIdOn};
    QSignalSpy offers{&session, &LineSession::modemOffered};
};

const QString callCommand = QStringLiteral("call 5551234 0321 1405");

// What the line tells about a device it cannot open.
QString noticeFor(const QString &device)
{
    Line line(Quick, device);
    line.start();
    return line.notices.isEmpty() ? QString() : line.notice();
}

} // namespace

class TestModemLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_noDevices;

private Q_SLOTS:
    void initTestCase()
    {
        // No modem of this machine is ever asked.
        qputenv("CORVANE_DEVICE_FOLDER", m_noDevices.path().toLocal8Bit());
    }

    // A modem that takes only the standard command: refused once, then the
    // one it takes is kept for the next start, which sends the init string
    // and then that command first. Nobody is told anything.
    void commandsAreTriedAndTheOneTakenIsKept()
    {
        Line line;
        QVERIFY(line.modem.command(QStringLiteral("answers only AT+VCID=1")));
        QVERIFY(line.modem.command(QStringLiteral("reset")));
        line.start();
        QTRY_COMPARE(line.callerIdOn.size(), 1);
        QCOMPARE(line.callerIdOn.at(0).at(0).toString(), QStringLiteral("AT+VCID=1"));
        QCOMPARE(line.modem.recorded(), QByteArray("at#cid=1\rAT+VCID=1\r"));
        QVERIFY(line.modem.command(callCommand));
        QTRY_COMPARE(line.reports.size(), 1);
        QCOMPARE(readModemSettings(QStringLiteral("com1")).rememberedCommand, QStringLiteral("AT+VCID=1"));
        QCOMPARE(readLineConfig().mode, QStringLiteral("制式1"));

        line.session.close();
        QVERIFY(profile::writeString(configFile(), QStringLiteral("line"), QStringLiteral("init"),
                                     QStringLiteral("AT+GCI=26")));
        line.start();
        QTRY_COMPARE(line.callerIdOn.size(), 2);
        QCOMPARE(line.modem.recorded(), QByteArray("at#cid=1\rAT+VCID=1\rAT+GCI=26\rAT+VCID=1\r"));
        QCOMPARE(line.notices.size(), 0);
    }

    // Answers in numbers, or each after its command was given up on: every
    // answer is its own command's, the modem's "0" its OK, and a slow modem
    // is told once, its command's OK kept all the same.
    void numberAndLateAnswersAreTheirCommandsOwn_data()
    {
        QTest::addColumn<QString>("personality");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("told");
        QTest::newRow("numbers") << QStringLiteral("results numbers") << QByteArray("at#cid=1\rAT+VCID=1\r")
                                 << 0;
        QTest::newRow("late") << QStringLiteral("delay 450") << QByteArray("at#cid=1\rAT\rAT+VCID=1\r") << 1;
    }
    void numberAndLateAnswersAreTheirCommandsOwn()
    {
        QFETCH(QString, personality);
        QFETCH(QByteArray, sent);
        QFETCH(int, told);
        Line line;
        QVERIFY(line.modem.command(personality));
        QVERIFY(line.modem.command(QStringLiteral("answers only AT+VCID=1")));
        line.start();
        QTRY_COMPARE(line.callerIdOn.size(), 1);
        QCOMPARE(line.callerIdOn.at(0).at(0).toString(), QStringLiteral("AT+VCID=1"));
        QCOMPARE(line.modem.recorded(), sent);
        QCOMPARE(readModemSettings(QStringLiteral("com1")).rememberedCommand, QStringLiteral("AT+VCID=1"));
        QCOMPARE(line.notices.size(), told);
        if (told)
            QVERIFY2(line.notice().contains(QStringLiteral("应答很慢")), qPrintable(line.notice()));
    }

    // A modem refusing every command, or one answering nothing, is told
    // once; the line stays open and its calls still come, also one arriving
    // while the modem is being asked.
    void refusingAndSilentModemsAreToldOnce_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("told");
        QTest::newRow("refuses")
            << QStringLiteral("error")
            << QStringLiteral("不接受来电显示命令（试过：at#cid=1、AT+VCID=1、AT%CCID=1、at#vcid=1）");
        QTest::newRow("silent") << QStringLiteral("none") << QStringLiteral("没有调制解调器应答");
    }
    void refusingAndSilentModemsAreToldOnce()
    {
        QFETCH(QString, answers);
        QFETCH(QString, told);
        Line line;
        QVERIFY(line.modem.command(QStringLiteral("answers ") + answers));
        line.start();
        // A silent modem echoes nothing that could break into the report.
        if (answers == QLatin1String("none"))
            QVERIFY(line.modem.command(callCommand));
        QTRY_COMPARE(line.notices.size(), 1);
        QVERIFY2(line.notice().contains(told), qPrintable(line.notice()));
        QVERIFY(line.notice().contains(QStringLiteral("com1（") + line.modem.devicePath()));
        QVERIFY(line.modem.command(callCommand));
        QTRY_COMPARE(line.reports.size(), answers == QLatin1String("none") ? 2 : 1);
        QVERIFY(line.session.serialPort().isOpen());
        QTest::qWait(300);
        QCOMPARE(line.notices.size(), 1);
        QCOMPARE(line.callerIdOn.size(), 0);
    }

    // The idle modem is checked, never while the line is busy with a call;
    // one that stops answering is opened afresh and given its command again
    // once it is back, reset, and then reports again.
    void keepAliveFindsAModemThatWentAway()
    {
        Line line({300, 300, 400, 250});
        line.start();
        QTRY_COMPARE(line.callerIdOn.size(), 1);
        for (int ring = 0; ring < 6; ++ring) {
            QVERIFY(line.modem.command(QStringLiteral("ring")));
            QTest::qWait(100);
        }
        QVERIFY(!line.modem.recorded().contains("AT\r"));

        QVERIFY(line.modem.command(QStringLiteral("answers none")));
        QVERIFY(line.modem.command(QStringLiteral("reset")));
        QTRY_VERIFY_WITH_TIMEOUT(line.modem.recorded().count("at#cid=1\r") == 2, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(line.notices.size(), 1, 5000);
        QVERIFY(line.notice().contains(QStringLiteral("没有调制解调器应答")));
        QVERIFY(line.modem.command(QStringLiteral("answers ok")));
        QTRY_COMPARE_WITH_TIMEOUT(line.callerIdOn.size(), 2, 5000);
        QVERIFY(line.modem.command(callCommand));
        QTRY_COMPARE(line.reports.size(), 1);
        QCOMPARE(line.notices.size(), 1);
    }

    // Nothing answers on com1, but a device whose udev name says "modem"
    // does: it is offered, and taken at once, kept in zel.ini by its stable
    // name. A serial device not named a modem is never asked.
    void aModemElsewhereIsOfferedAndTakenAtOnce()
    {
        QTemporaryDir devices;
        QVERIFY(QDir(devices.path()).mkpath(QStringLiteral("serial/by-id")));
        test::ModemSim modem;
        test::ModemSim printer;
        const QString byId =
            devices.filePath(QStringLiteral("serial/by-id/usb-Conexant_USB_Modem_12345678-if00"));
        QVERIFY(QFile::link(modem.devicePath(), byId));
        QVERIFY(QFile::link(
            printer.devicePath(),
            devices.filePath(QStringLiteral("serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"))));
        QVERIFY(QFile::link(printer.devicePath(), devices.filePath(QStringLiteral("ttyUSB0"))));
        QVERIFY(QFile::link(modem.devicePath(), devices.filePath(QStringLiteral("ttyACM0"))));
        qputenv("CORVANE_DEVICE_FOLDER", devices.path().toLocal8Bit());
        const auto restore =
            qScopeGuard([this] { qputenv("CORVANE_DEVICE_FOLDER", m_noDevices.path().toLocal8Bit()); });

        // ttyACM0 and ttyUSB0 have stable names, so they are listed by those.
        const QList<SerialDeviceInfo> present = presentSerialDevices();
        QCOMPARE(present.size(), 2);
        QCOMPARE(present[0].model, QStringLiteral("Conexant USB Modem"));
        QVERIFY(present[0].namedModem);
        QCOMPARE(present[1].model, QStringLiteral("FTDI FT232R USB UART"));
        QVERIFY(!present[1].namedModem);

        Line line;
        QVERIFY(line.modem.command(QStringLiteral("answers none")));
        line.start();
        QTRY_COMPARE_WITH_TIMEOUT(line.offers.size(), 1, 5000);
        QVERIFY(line.offers[0][0].toString().contains(QStringLiteral("Conexant USB Modem")));
        QCOMPARE(line.offers[0][1].toString(), byId);
        QCOMPARE(line.notices.size(), 0);
        QCOMPARE(printer.recorded(), QByteArray());

        line.session.useDevice(byId);
        QTRY_COMPARE(line.callerIdOn.size(), 1);
        QCOMPARE(modem.recorded(), QByteArray("AT\rATI\rat#cid=1\r"));
        QCOMPARE(profile::readString(configFile(), QStringLiteral("ports"), QStringLiteral("com1")), byId);
        QVERIFY(modem.command(callCommand));
        QTRY_COMPARE(line.reports.size(), 1);
        QCOMPARE(printer.recorded(), QByteArray());
    }

    // Run as an ordinary user: a device of group dialout names the group and
    // the command that fixes it; one another program of the user holds
    // exclusively names that program.
    void openProblemsAsAnOrdinaryUser()
    {
        const QStringList devices = qEnvironmentVariable("CORVANE_TEST_DEVICES").split(QLatin1Char(' '));
        if (devices.size() == 2) {
            const QString refused = noticeFor(devices[0]);
            QVERIFY2(refused.contains(devices[0]) &&
                         refused.contains(QStringLiteral("sudo adduser nobody dialout")) &&
                         refused.contains(QStringLiteral("重新登录")),
                     qPrintable(refused));
            QProcess holder;
            holder.start(QStringLiteral("perl"), {QStringLiteral("-e"),
                                                  QStringLiteral("open(my $f, '+<', $ARGV[0]) or die $!; "
                                                                 "ioctl($f, $ARGV[1], 0) or die $!; $| = 1; "
                                                                 "print \"held\\n\"; sleep 60"),
                                                  devices[1], QString::number(TIOCEXCL)});
            QVERIFY(holder.waitForReadyRead(10000));
            const QString held = noticeFor(devices[1]);
            const qint64 holderPid = holder.processId();
            holder.kill();
            holder.waitForFinished();
            QVERIFY2(held.contains(QStringLiteral("perl（进程号 %1）").arg(holderPid)), qPrintable(held));
            return;
        }
        const group *dialout = ::getgrnam("dialout");
        if (::geteuid() != 0 || !dialout)
            QSKIP("needs root and group dialout to run the check as another user");
        int masters[2], slaves[2];
        QStringList paths;
        for (int i = 0; i < 2; ++i) {
            char name[256] = {};
            QCOMPARE(::openpty(&masters[i], &slaves[i], name, nullptr, nullptr), 0);
            paths.append(QString::fromLocal8Bit(name));
        }
        QCOMPARE(::chown(qPrintable(paths[0]), 0, dialout->gr_gid), 0);
        QCOMPARE(::chmod(qPrintable(paths[0]), 0660), 0);
        QCOMPARE(::chmod(qPrintable(paths[1]), 0666), 0);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVANE_TEST_DEVICES"), paths.join(QLatin1Char(' ')));
        env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("runuser"), {QStringLiteral("-u"), QStringLiteral("nobody"),
                                                QStringLiteral("--"), QCoreApplication::applicationFilePath(),
                                                QStringLiteral("openProblemsAsAnOrdinaryUser")});
        QVERIFY(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        for (int i = 0; i < 2; ++i) {
            ::close(masters[i]);
            ::close(slaves[i]);
        }
        QVERIFY2(child.exitCode() == 0, output.constData());
        QVERIFY2(output.contains("PASS   : TestModemLine::openProblemsAsAnOrdinaryUser"), output.constData());
    }

    // The clock that counts suspended time running ahead is a wake-up.
    void aSleepIsNoticed()
    {
        SuspendWatch::Clocks clocks;
        SuspendWatch watch([&clocks] { return clocks; }, 10);
        QSignalSpy resumed(&watch, &SuspendWatch::resumed);
        clocks = {1000, 1000};
        QTest::qWait(50);
        QCOMPARE(resumed.size(), 0);
        clocks = {70000, 1100};
        QTRY_COMPARE(resumed.size(), 1);
        QTest::qWait(50);
        QCOMPARE(resumed.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestModemLine)
#include "tst_modemline.moc"
