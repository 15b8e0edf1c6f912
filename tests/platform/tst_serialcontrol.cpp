#include "platform/failure.h"
#include "platform/linelog.h"
#include "platform/serialcontrol.h"
#include "platform/serialdevice.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

using namespace corvane;
using namespace std::chrono_literals;

namespace {

// A pseudo-terminal whose slave stands in for the modem's serial port; the
// test plays the modem on the master side.
class Pty
{
public:
    Pty()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            m_path = QString::fromLocal8Bit(name);
        // Never block the GUI thread: the control under test lives on it.
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    QString path() const { return m_path; }
    void write(const QByteArray &bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (errno == EAGAIN)
                std::this_thread::sleep_for(1ms);
            else
                return;
        }
    }
    // Plays bytes one at a time with a pause after each, from another thread,
    // as a modem on a real line would.
    std::thread writePaced(const QByteArray &bytes, std::chrono::microseconds perChar) const
    {
        return std::thread([this, bytes, perChar] {
            auto next = std::chrono::steady_clock::now();
            for (char c : bytes) {
                write(QByteArray(1, c));
                next += perChar;
                std::this_thread::sleep_until(next);
            }
        });
    }
    QByteArray readAvailable(int expected) const
    {
        QByteArray result;
        QElapsedTimer clock;
        clock.start();
        while (result.size() < expected && clock.elapsed() < 2000) {
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                result.append(buffer, n);
            else
                QTest::qWait(1);
        }
        return result;
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// Reads the whole input at every event, as the main window does.
struct Reader
{
    explicit Reader(SerialControl &control) : control(control)
    {
        QObject::connect(&control, &SerialControl::dataReceived, &control, [this] {
            counts.append(this->control.inBufferCount());
            texts.append(this->control.input());
            if (onEvent)
                onEvent();
        });
    }
    QString all() const { return texts.join(QString()); }

    SerialControl &control;
    QList<int> counts;
    QStringList texts;
    std::function<void()> onEvent;
};

void configure(SerialControl &control, int port = 1)
{
    control.setInBufferSize(1024);
    control.setInputLength(0);
    control.setInputMode(0);
    control.setReceiveThreshold(1);
    control.setRtsEnabled(true);
    control.setLineFormat(QStringLiteral("9600,N,8,1"));
    control.setSendThreshold(0);
    control.setPortNumber(port);
}

const QByteArray report = "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\n\r\n";

} // namespace

class TestSerialControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>(false);
        m_pty = std::make_unique<Pty>();
        QVERIFY(!m_pty->path().isEmpty());
        m_folder->writeFile(QStringLiteral("zel.ini"),
                            "[ports]\r\ncom1=" + m_pty->path().toLocal8Bit() +
                                "\r\ncom2=/nonexistent/tty\r\ncom3=" +
                                m_folder->file(QStringLiteral("zel.ini")).toLocal8Bit() + "\r\n");
    }
    void cleanup()
    {
        m_pty.reset();
        m_folder.reset();
    }

    void deviceMapping()
    {
        QCOMPARE(serialDevicePath(1), m_pty->path());
        QCOMPARE(serialDevicePath(4), QStringLiteral("/dev/ttyS3"));
    }

    void openOutputClose()
    {
        SerialControl control;
        configure(control);
        QVERIFY(!control.isOpen());
        control.setOpen(true);
        QVERIFY(control.isOpen());
        QCOMPARE(control.inBufferCount(), 0);
        control.output(QStringLiteral("at#cid=1\r"));
        QCOMPARE(m_pty->readAvailable(9), QByteArray("at#cid=1\r"));
        control.setOpen(false);
        QVERIFY(!control.isOpen());
        // The control's own message, as the generic error box shows it.
        QCOMPARE(test::failureOf([&] { control.output(QStringLiteral("at#cid=1\r")); }),
                 QStringLiteral("Operation valid only when the port is open"));
    }

    // The modem's echo and answer to the mode command come as an event of
    // their own, not joined to a report that follows later.
    void answerToOutputIsItsOwnEvent()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        control.output(QStringLiteral("at#cid=1\r"));
        QCOMPARE(m_pty->readAvailable(9), QByteArray("at#cid=1\r"));
        m_pty->write("at#cid=1\r\r\nOK\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(reader.texts.size(), 1, 2000);
        QTest::qWait(100);
        m_pty->write(report);
        QTRY_COMPARE_WITH_TIMEOUT(reader.texts.size(), 2, 2000);
        QCOMPARE(reader.texts,
                 (QStringList{QStringLiteral("at#cid=1\r\r\nOK\r\n"), QString::fromLatin1(report)}));
    }

    void openFailures_data()
    {
        QTest::addColumn<int>("port");
        QTest::newRow("absent device") << 2;
        QTest::newRow("not a serial device") << 3;
    }
    void openFailures()
    {
        QFETCH(int, port);
        SerialControl control;
        configure(control, port);
        QVERIFY_THROWS_EXCEPTION(Failure, control.setOpen(true));
        QVERIFY(!control.isOpen());
        QVERIFY_THROWS_EXCEPTION(Failure, control.output(QStringLiteral("x")));
    }

    void busyPortFails()
    {
        SerialControl first;
        configure(first);
        first.setOpen(true);
        SerialControl second;
        configure(second);
        QVERIFY_THROWS_EXCEPTION(Failure, second.setOpen(true));
        QVERIFY(first.isOpen());
    }

    void badPropertiesRejected()
    {
        SerialControl control;
        QVERIFY_THROWS_EXCEPTION(Failure, control.setLineFormat(QStringLiteral("9600,X,8,1")));
        QVERIFY_THROWS_EXCEPTION(Failure, control.setLineFormat(QStringLiteral("fast")));
        QVERIFY_THROWS_EXCEPTION(Failure, control.setLineFormat(QStringLiteral("9600,N,9,1")));
        QVERIFY_THROWS_EXCEPTION(Failure, control.setInBufferSize(0));
        QVERIFY_THROWS_EXCEPTION(Failure, control.setInputMode(1));
        QVERIFY_THROWS_EXCEPTION(Failure, control.setSendThreshold(1));
        control.setLineFormat(QStringLiteral("1200,e,7,2"));
    }

    // A report at line rate (about 1 ms a character) comes in many fragments;
    // it must reach the program as one event holding the whole report.
    void lineRateStreamIsOneEvent()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        std::thread writer = m_pty->writePaced(report, 1040us);
        QTRY_COMPARE_WITH_TIMEOUT(reader.texts.size(), 1, 2000);
        writer.join();
        QTest::qWait(150);
        QCOMPARE(reader.texts, QStringList{QString::fromLatin1(report)});
        QCOMPARE(reader.counts, QList<int>{int(report.size())});
        QCOMPARE(control.inBufferCount(), 0);
    }

    // A pause after a line end ends an event; one inside a line (a delivery
    // that stalled) does not.
    void quietGapSplitsEvents()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        std::thread writer([this] {
            m_pty->writePaced("RING\r\n", 1040us).join();
            std::this_thread::sleep_for(60ms);
            const qsizetype inNumber = report.indexOf("555");
            m_pty->writePaced(report.first(inNumber), 1040us).join();
            std::this_thread::sleep_for(150ms);
            m_pty->writePaced(report.sliced(inNumber), 1040us).join();
        });
        QTRY_COMPARE_WITH_TIMEOUT(reader.texts.size(), 2, 2000);
        writer.join();
        QTest::qWait(150);
        QCOMPARE(reader.texts, (QStringList{QStringLiteral("RING\r\n"), QString::fromLatin1(report)}));
    }

    // A sender that never pauses is read in buffer-sized pieces; no event ever
    // holds more than the buffer and nothing is lost or reordered.
    void inputBufferCap()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        QByteArray bytes(5000, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + i / 256);
        std::thread writer([&] { m_pty->write(bytes); });
        QTRY_COMPARE_WITH_TIMEOUT(reader.all().size(), bytes.size(), 5000);
        writer.join();
        QCOMPARE(reader.counts.first(), 1024);
        for (int count : std::as_const(reader.counts))
            QVERIFY(count <= 1024);
        QCOMPARE(reader.all(), QString::fromLatin1(bytes));
    }

    void everyByteValueArrives()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        m_pty->write(bytes);
        QTRY_COMPARE_WITH_TIMEOUT(reader.all().size(), 256, 2000);
        for (int b = 0; b < 256; ++b)
            QCOMPARE(reader.all().at(b).unicode(), ushort(b));
    }

    void inputLenLimitsOneRead()
    {
        SerialControl control;
        configure(control);
        control.setInputLength(4);
        control.setOpen(true);
        m_pty->write("RING\r\n");
        QTRY_COMPARE(control.inBufferCount(), 6);
        QCOMPARE(control.input(), QStringLiteral("RING"));
        QCOMPARE(control.inBufferCount(), 2);
        QCOMPARE(control.input(), QStringLiteral("\r\n"));
        QCOMPARE(control.input(), QString());
    }

    // While the handler blocks (a ring playing), arriving characters wait and
    // are read together by the next event.
    void charactersWaitWhileBlocked()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        reader.onEvent = [&] {
            if (reader.texts.size() == 1) {
                m_pty->write("abc");
                std::this_thread::sleep_for(100ms);
                m_pty->write("def");
                std::this_thread::sleep_for(100ms);
            }
        };
        m_pty->write(report);
        QTRY_COMPARE_WITH_TIMEOUT(reader.texts.size(), 2, 2000);
        QTest::qWait(100);
        QCOMPARE(reader.texts, (QStringList{QString::fromLatin1(report), QStringLiteral("abcdef")}));
    }

    void deviceVanishes()
    {
        SerialControl control;
        configure(control);
        control.setOpen(true);
        Reader reader(control);
        QSignalSpy lost(&control, &SerialControl::lineLost);
        // Received, but the line has not been quiet long enough for an event
        // yet: it must still be handed over before the loss is reported.
        m_pty->write("NMBR = 1");
        QTest::qWait(5);
        m_pty->closeMaster();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 2000);
        QTest::qWait(200);
        QCOMPARE(lost.size(), 1);
        QVERIFY(!control.isOpen());
        QVERIFY(lost.first().first().toString().contains(m_pty->path()));
        QCOMPARE(reader.all(), QStringLiteral("NMBR = 1"));
        QVERIFY_THROWS_EXCEPTION(Failure, control.output(QStringLiteral("at\r")));
    }

    // A USB modem unplugged and plugged in again: the device vanishes and a
    // new one appears at the same path. The loss is told once; the line comes
    // back by itself and carries reports again.
    void deviceComesBackAtTheSamePath()
    {
        const QString link = m_folder->file(QStringLiteral("modem"));
        QVERIFY(QFile::link(m_pty->path(), link));
        m_folder->writeFile(QStringLiteral("zel.ini"), "[ports]\r\ncom5=" + link.toLocal8Bit() + "\r\n");
        SerialControl control;
        configure(control, 5);
        control.setOpen(true);
        Reader reader(control);
        QSignalSpy lost(&control, &SerialControl::lineLost);
        QSignalSpy restored(&control, &SerialControl::lineRestored);

        QFile::remove(link);
        m_pty->closeMaster();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 2000);
        QVERIFY(control.reopening());
        // Looked for in vain meanwhile, quietly.
        QTest::qWait(SerialControl::ReopenIntervalMs + 500);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(restored.size(), 0);
        QVERIFY(!control.isOpen());

        Pty replugged;
        QVERIFY(QFile::link(replugged.path(), link));
        QTRY_COMPARE_WITH_TIMEOUT(restored.size(), 1, SerialControl::ReopenIntervalMs + 2000);
        QVERIFY(control.isOpen());
        QVERIFY(!control.reopening());
        replugged.write(report);
        QTRY_COMPARE_WITH_TIMEOUT(reader.all(), QString::fromLatin1(report), 2000);
        control.output(QStringLiteral("at#cid=1\r"));
        QCOMPARE(replugged.readAvailable(9), QByteArray("at#cid=1\r"));
        QCOMPARE(lost.size(), 1);
    }

    // Closing the port on purpose ends the search for a lost device; asked to
    // reopen while the device is there, the port opens at once.
    void reopenOnRequest()
    {
        SerialControl control;
        configure(control);
        QSignalSpy restored(&control, &SerialControl::lineRestored);
        control.reopen();
        QVERIFY(!control.isOpen());
        QVERIFY(!control.reopening());

        control.setOpen(true);
        control.setOpen(false);
        control.reopen();
        QVERIFY(control.isOpen());
        QTRY_COMPARE(restored.size(), 1);
        control.reopen();
        QTest::qWait(50);
        QCOMPARE(restored.size(), 1);

        QSignalSpy lost(&control, &SerialControl::lineLost);
        m_pty->closeMaster();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 2000);
        QVERIFY(control.reopening());
        control.setOpen(false);
        QVERIFY(!control.reopening());
    }

    // What the program reads and writes is what the line log records.
    void trafficGoesToTheLineLog()
    {
        LineLog log(m_folder->file(QStringLiteral("line.log")));
        SerialControl control;
        configure(control);
        control.setLineLog(&log);
        control.setOpen(true);
        Reader reader(control);
        control.output(QStringLiteral("at#cid=1\r"));
        QCOMPARE(m_pty->readAvailable(9), QByteArray("at#cid=1\r"));
        m_pty->write(report);
        QTRY_COMPARE_WITH_TIMEOUT(reader.all(), QString::fromLatin1(report), 2000);
        QFile file(m_folder->file(QStringLiteral("line.log")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].endsWith(" > at#cid=1\\r"));
        QVERIFY(lines[1].endsWith(QByteArray(" < ").append(LineLog::escaped(report))));
        QCOMPARE(lines[2], QByteArray());
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Pty> m_pty;
};

QTEST_MAIN(TestSerialControl)
#include "tst_serialcontrol.moc"
