// The caller-ID line end to end: the real Corvane executable in a program
// folder of its own, a real tel.mdb, and the fake modem on a pseudo-terminal.

#include "modemsim.h"
#include "platform/gbk.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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
};

QTEST_MAIN(TestLineEndToEnd)
#include "tst_line_e2e.moc"
