#include "modemsim.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace corvane;

namespace {

// The program's end of the line: reads everything the modem sends, in a
// thread of its own, and notes when each piece arrived.
class LineEnd
{
public:
    explicit LineEnd(const QString &device)
    {
        m_fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        m_clock.start();
        m_reader = std::thread([this] { run(); });
    }
    ~LineEnd()
    {
        m_stop = true;
        m_reader.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }
    void write(const QByteArray &bytes) const
    {
        QCOMPARE(::write(m_fd, bytes.constData(), bytes.size()), bytes.size());
    }
    QByteArray received() const
    {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }
    // Milliseconds from the first to the last byte received.
    qint64 spanMs() const
    {
        std::lock_guard lock(m_mutex);
        return m_last - m_first;
    }
    bool hungUp() const { return m_hungUp; }
    void clear()
    {
        std::lock_guard lock(m_mutex);
        m_bytes.clear();
        m_first = -1;
    }

private:
    void run()
    {
        while (!m_stop && m_fd >= 0) {
            pollfd fd{m_fd, POLLIN, 0};
            if (::poll(&fd, 1, 5) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0) {
                m_hungUp = true;
                return;
            }
            std::lock_guard lock(m_mutex);
            const qint64 now = m_clock.elapsed();
            if (m_first < 0)
                m_first = now;
            m_last = now;
            m_bytes.append(buffer, n);
        }
    }

    int m_fd = -1;
    QElapsedTimer m_clock;
    std::thread m_reader;
    std::atomic_bool m_stop = false;
    std::atomic_bool m_hungUp = false;
    mutable std::mutex m_mutex;
    QByteArray m_bytes;
    qint64 m_first = -1;
    qint64 m_last = -1;
};

const QByteArray report = "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = 5551234\r\n\r\n";

} // namespace

class TestModemSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // 46 characters at 9600 baud take about 48 ms on the line; the modem must
    // pace them, not hand them over at once.
    void reportIsPacedAtLineRate()
    {
        test::ModemSim modem;
        QVERIFY(QFileInfo::exists(modem.devicePath()));
        LineEnd line(modem.devicePath());
        QVERIFY(line.isOpen());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(modem.command(QStringLiteral("call 5551234 0321 1405")));
        const qint64 commandMs = clock.elapsed();
        QTRY_COMPARE(line.received(), report);
        qInfo("report: %lld ms from first to last byte, command %lld ms", line.spanMs(), commandMs);
        QVERIFY(line.spanMs() >= 40);
        QVERIFY(commandMs >= 45);
    }

    void callDefaultsToThePcClock()
    {
        test::ModemSim modem;
        LineEnd line(modem.devicePath());
        QVERIFY(modem.command(QStringLiteral("call 123")));
        QTRY_VERIFY(line.received().endsWith("NMBR = 123\r\n\r\n"));
        const QByteArray today = "DATE = " + QDate::currentDate().toString(QStringLiteral("MMdd")).toLatin1();
        QVERIFY(line.received().contains(today));
    }

    void answersAtCommandsAndRecords()
    {
        test::ModemSim modem;
        LineEnd line(modem.devicePath());
        line.write("at#cid=1\r");
        QTRY_COMPARE(line.received(), QByteArray("at#cid=1\r\r\nOK\r\n"));
        line.clear();
        line.write("hello\r");
        QTRY_COMPARE(line.received(), QByteArray("hello\r"));
        QTest::qWait(50);
        QCOMPARE(line.received(), QByteArray("hello\r"));
        QTRY_COMPARE(modem.recorded(), QByteArray("at#cid=1\rhello\r"));
    }

    void scriptedBytes()
    {
        test::ModemSim modem;
        LineEnd line(modem.devicePath());
        QVERIFY(modem.command(QStringLiteral("send a\\x00b\\xff\\r\\n\\\\")));
        QTRY_COMPARE(line.received(), QByteArray("a\0b\xff\r\n\\", 7));
        line.clear();
        QVERIFY(modem.command(QStringLiteral("chunk 64")));
        QVERIFY(modem.command(QStringLiteral("random 3000 7")));
        QTRY_COMPARE(line.received().size(), 3000);
        line.clear();
        QVERIFY(modem.command(QStringLiteral("rate 960000")));
        QVERIFY(modem.command(QStringLiteral("random 50000")));
        QTRY_COMPARE(line.received().size(), 50000);
        QVERIFY(!modem.command(QStringLiteral("dial 123")));
        QVERIFY(!modem.command(QStringLiteral("random lots")));
    }

    void gapKeepsTheLineQuiet()
    {
        test::ModemSim modem;
        LineEnd line(modem.devicePath());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(modem.command(QStringLiteral("gap 120")));
        QVERIFY(clock.elapsed() >= 115);
        QVERIFY(line.received().isEmpty());
    }

    void hangupMakesTheDeviceVanish()
    {
        test::ModemSim modem;
        LineEnd line(modem.devicePath());
        QVERIFY(modem.command(QStringLiteral("ring")));
        QVERIFY(modem.command(QStringLiteral("hangup")));
        QTRY_VERIFY(line.hungUp());
        QCOMPARE(line.received(), QByteArray("\r\nRING\r\n"));
        QVERIFY(modem.isRunning());
    }

    // Unplugged, the device is gone from its path; plugged in again, a new
    // line is there at the same path, and what it receives is still recorded.
    void unplugAndReplugKeepThePath()
    {
        test::ModemSim modem;
        const QString path = modem.devicePath();
        {
            LineEnd line(path);
            line.write("AT\r");
            QTRY_COMPARE(modem.recorded(), QByteArray("AT\r"));
            QVERIFY(modem.command(QStringLiteral("unplug")));
            QTRY_VERIFY(line.hungUp());
        }
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(modem.command(QStringLiteral("replug")));
        QVERIFY(QFileInfo::exists(path));
        LineEnd line(path);
        QVERIFY(line.isOpen());
        QVERIFY(modem.command(QStringLiteral("call 5551234 0321 1405")));
        QTRY_COMPARE(line.received(), report);
        line.write("ATZ\r");
        QTRY_COMPARE(modem.recorded(), QByteArray("AT\rATZ\r"));
    }
};

QTEST_GUILESS_MAIN(TestModemSim)
#include "tst_modemsim.moc"
