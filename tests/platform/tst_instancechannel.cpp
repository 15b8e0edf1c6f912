#include "platform/instancechannel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace corvane;

class InstanceChannelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The channel's socket file goes to the temporary folder: a private one
    // keeps a Corvane running on this machine out of the test.
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        qputenv("TMPDIR", QFile::encodeName(m_tmp->path()));
    }

    void cleanup() { m_tmp.reset(); }

    void onlyTheFirstOfTwoCopiesGoesOnAndIsToldToComeForward()
    {
        InstanceChannel first;
        QSignalSpy asked(&first, &InstanceChannel::activationRequested);
        QVERIFY(first.claim());
        InstanceChannel second;
        QVERIFY(!second.claim());
        QTRY_COMPARE(asked.count(), 1);
    }

    void aSocketLeftByACrashedCopyIsTakenOver()
    {
        leaveStaleSocket();
        InstanceChannel next;
        QVERIFY(next.claim());
        QSignalSpy asked(&next, &InstanceChannel::activationRequested);
        QVERIFY(InstanceChannel::activateRunningInstance());
        QTRY_COMPARE(asked.count(), 1);
    }

private:
    // A socket file nobody listens on, as a killed copy leaves it.
    void leaveStaleSocket()
    {
        const QByteArray path = QFile::encodeName(m_tmp->path() + QLatin1Char('/') + InstanceChannel::channelName());
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        QVERIFY(size_t(path.size()) < sizeof address.sun_path);
        memcpy(address.sun_path, path.constData(), path.size());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFile::exists(QFile::decodeName(path)));
        QVERIFY(!InstanceChannel::activateRunningInstance());
    }

    std::unique_ptr<QTemporaryDir> m_tmp;
};

QTEST_GUILESS_MAIN(InstanceChannelTest)
#include "tst_instancechannel.moc"
