// The caller-ID line end to end: the real Corvane executable in a program
// folder of its own, a real tel.mdb, and the fake modem on a pseudo-terminal.

#include "modemsim.h"
#include "platform/gbk.h"
#include "testsupport.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

using namespace corvane;

namespace {

// Corvane, copied into a fresh program folder and run offscreen. Every message
// box goes to a log instead of the screen, answered by its default.
class Program
{
public:
    Program(const QString &mode, const QString &device)
    {
        const QString folder = m_dir.path() + QLatin1Char('/');
        QFile::copy(QStringLiteral(CORVANE_PROGRAM_FOLDER "/Corvane"), folder + QStringLiteral("Corvane"));
        test::createDatabase(folder + QStringLiteral("tel.mdb"));
        QFile ini(folder + QStringLiteral("zel.ini"));
        if (ini.open(QIODevice::WriteOnly))
            ini.write(gbk::encode(QStringLiteral("[zel]\r\nfather=com1\r\nschool=") + mode +
                                  QStringLiteral("\r\n[ports]\r\ncom1=") + device + QStringLiteral("\r\n")));
        QDir(folder).mkdir(QStringLiteral("tmp"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CORVANE_MESSAGE_LOG"), folder + QStringLiteral("messages.log"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // A private temp folder keeps the single-instance channel apart from
        // any other Corvane running on this machine.
        env.insert(QStringLiteral("TMPDIR"), folder + QStringLiteral("tmp"));
        // No sound device: a ring returns at once.
        env.insert(QStringLiteral("ALSA_CONFIG_PATH"), folder + QStringLiteral("no-alsa.conf"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.setWorkingDirectory(folder);
        m_process.start(folder + QStringLiteral("Corvane"), {});
        m_process.waitForStarted();
    }
    ~Program()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    bool isRunning() const { return m_process.state() == QProcess::Running; }

    QList<QJsonObject> messages() const
    {
        QList<QJsonObject> result;
        QFile log(m_dir.filePath(QStringLiteral("messages.log")));
        if (log.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : log.readAll().split('\n'))
                if (!line.isEmpty())
                    result.append(QJsonDocument::fromJson(line).object());
        }
        return result;
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const QJsonObject &m : messages())
            texts.append(m.value(QStringLiteral("text")).toString());
        return texts;
    }

    qint64 residentKb() const
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(m_process.processId()));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        return -1;
    }

    // Runs one statement on the program's database, from another connection,
    // as a second program would.
    QStringList query(const QString &sql) const
    {
        QStringList rows;
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_dir.filePath(QStringLiteral("tel.mdb")));
            if (db.open()) {
                QSqlQuery q(db);
                q.exec(sql);
                while (q.next()) {
                    QStringList columns;
                    for (int i = 0; i < q.record().count(); ++i)
                        columns.append(q.value(i).toString());
                    rows.append(columns.join(QLatin1Char('|')));
                }
            }
        }
        QSqlDatabase::removeDatabase(name);
        return rows;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

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

    void absentDevice()
    {
        Program program(QStringLiteral("制式1"), QStringLiteral("/nonexistent/ttyCID"));
        QTRY_COMPARE_WITH_TIMEOUT(program.messages().size(), 2, 20000);
        const QList<QJsonObject> boxes = program.messages();
        QCOMPARE(boxes[0].value(QStringLiteral("text")).toString(),
                 QStringLiteral("无效的端口号，请进入[文件]菜单下的[系统设置]进行端口号设置"));
        QCOMPARE(boxes[0].value(QStringLiteral("caption")).toString(), QStringLiteral("Corvane"));
        QCOMPARE(boxes[1].value(QStringLiteral("text")).toString(),
                 QStringLiteral("Operation valid only when the port is open."));
        QCOMPARE(boxes[1].value(QStringLiteral("icon")).toInt(), int(msg::Icon::Error));
        QTest::qWait(500);
        QVERIFY(program.isRunning());
        QCOMPARE(program.messages().size(), 2);
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
        QVERIFY(modem.command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE_WITH_TIMEOUT(
            program.query(QStringLiteral("select adate, atime, tel, customercode from detail")),
            QStringList{QStringLiteral("%1-03-21|14:05|5551234|C1").arg(QDate::currentDate().year())}, 10000);
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
};

QTEST_MAIN(TestLineEndToEnd)
#include "tst_line_e2e.moc"
