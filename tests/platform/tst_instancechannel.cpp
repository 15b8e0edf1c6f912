#include "platform/instancechannel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace corvane;

namespace {

// A Unix socket at path, bound and, when asked, listening; the descriptor is
// returned open (the caller closes it) unless `keep` is false.
int plantSocket(const QString &path, bool listening, bool keep = true)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof address.sun_path)
        return -1;
    memcpy(address.sun_path, name.constData(), name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        (listening && ::listen(fd, 0) != 0))
        return -1;
    if (!keep) {
        ::close(fd);
        return 0;
    }
    return fd;
}

// The uid of "nobody", the other user of these tests.
uid_t otherUser()
{
    const passwd *entry = ::getpwnam("nobody");
    return entry ? entry->pw_uid : 65534;
}

QString ownerOnly(const QString &path)
{
    QDir().mkpath(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return path;
}

} // namespace

class InstanceChannelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A private runtime folder of the test's own keeps a Corvane running on
    // this machine out of the test, and the temporary folder is the test's too.
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_runtime = ownerOnly(m_tmp->filePath(QStringLiteral("runtime")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime));
        qputenv("TMPDIR", QFile::encodeName(ownerOnly(m_tmp->filePath(QStringLiteral("tmp")))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_tmp->filePath(QStringLiteral("cache"))));
    }

    void cleanup()
    {
        for (const int fd : std::as_const(m_fds))
            ::close(fd);
        m_fds.clear();
        m_tmp.reset();
    }

    void onlyTheFirstOfTwoCopiesGoesOnAndIsToldToComeForward()
    {
        QCOMPARE(InstanceChannel::channelFolder(), m_runtime);
        InstanceChannel first;
        QSignalSpy asked(&first, &InstanceChannel::activationRequested);
        QVERIFY(first.claim());
        QVERIFY(QFileInfo(InstanceChannel::channelPath()).exists());
        InstanceChannel second;
        QVERIFY(!second.claim());
        QTRY_COMPARE(asked.count(), 1);
    }

    // --quit: the running copy is asked to end, and the asker returns once it
    // has let go of the channel, or says it still runs.
    void aRunningCopyIsAskedToEndAndAwaited()
    {
        using Answer = InstanceChannel::QuitAnswer;
        QCOMPARE(InstanceChannel::askRunningInstanceToQuit(1000), Answer::NoneRunning);
        auto running = std::make_unique<InstanceChannel>();
        QVERIFY(running->claim());
        QSignalSpy asked(running.get(), &InstanceChannel::quitRequested);
        std::atomic<Answer> answer{Answer::NoneRunning};
        std::thread asker([&answer] { answer = InstanceChannel::askRunningInstanceToQuit(200); });
        QTRY_COMPARE(asked.count(), 1);
        asker.join();
        QCOMPARE(answer.load(), Answer::StillRunning);

        asker = std::thread([&answer] { answer = InstanceChannel::askRunningInstanceToQuit(10000); });
        QTRY_COMPARE(asked.count(), 2);
        running.reset();
        asker.join();
        QCOMPARE(answer.load(), Answer::Ended);
    }

    void aSocketLeftByACrashedCopyIsTakenOver()
    {
        QCOMPARE(plantSocket(InstanceChannel::channelPath(), false, false), 0);
        QVERIFY(!InstanceChannel::activateRunningInstance());
        InstanceChannel next;
        QVERIFY(next.claim());
        QSignalSpy asked(&next, &InstanceChannel::activationRequested);
        QVERIFY(InstanceChannel::activateRunningInstance());
        QTRY_COMPARE(asked.count(), 1);
    }

    // A copy that listens but does not take the connection in time is alive:
    // its socket stays, and this copy ends rather than run beside it.
    void aSlowCopyKeepsItsSocket()
    {
        const QString path = InstanceChannel::channelPath();
        const int listener = keep(plantSocket(path, true));
        QVERIFY(listener >= 0);
        // Its one waiting place taken, further connections have to wait.
        const int waiting = keep(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        memcpy(address.sun_path, QFile::encodeName(path).constData(), QFile::encodeName(path).size());
        QCOMPARE(::connect(waiting, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

        InstanceChannel next;
        QVERIFY(!next.claim());
        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QVERIFY(S_ISSOCK(info.st_mode));
    }

    // Without a runtime folder the channel goes to a folder of the user's own
    // in the temporary folder, which nobody else may enter.
    void withoutRuntimeFolderAPrivateOneIsMade()
    {
        qunsetenv("XDG_RUNTIME_DIR");
        const QString expected =
            QDir::tempPath() + QStringLiteral("/corvane-") + QString::number(::geteuid());
        QCOMPARE(InstanceChannel::channelFolder(), expected);
        struct stat info
        {
        };
        QCOMPARE(::lstat(QFile::encodeName(expected).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0700));
        InstanceChannel first;
        QVERIFY(first.claim());
        QVERIFY(QFileInfo::exists(expected + QStringLiteral("/TCorvaneMainWindow")));
    }

    // Folders that another user owns or may enter are never used: neither a
    // runtime folder open to others nor a "corvane-<uid>" somebody planted.
    // The channel then lives in the user's cache folder.
    void foldersOthersControlAreRefused_data()
    {
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("isLink");
        QTest::newRow("another user's folder") << true << 0700 << false;
        QTest::newRow("open to everyone") << false << 0777 << false;
        QTest::newRow("open to the group") << false << 0750 << false;
        QTest::newRow("a link to a private folder") << false << 0700 << true;
    }
    void foldersOthersControlAreRefused()
    {
        QFETCH(bool, otherOwner);
        QFETCH(int, mode);
        QFETCH(bool, isLink);
        const QString planted = QDir::tempPath() + QStringLiteral("/corvane-") + QString::number(::geteuid());
        QString folder = planted;
        if (isLink) {
            folder = ownerOnly(m_tmp->filePath(QStringLiteral("elsewhere")));
            QVERIFY(QFile::link(folder, planted));
        } else {
            QVERIFY(QDir().mkpath(folder));
        }
        const QByteArray name = QFile::encodeName(folder);
        QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
        if (otherOwner)
            QCOMPARE(::chown(name.constData(), otherUser(), gid_t(-1)), 0);
        // The other user's copy, listening there.
        const int listener = keep(plantSocket(folder + QStringLiteral("/TCorvaneMainWindow"), true));
        QVERIFY(listener >= 0);

        const QString cache =
            m_tmp->filePath(QStringLiteral("cache/corvane-")) + QString::number(::geteuid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(planted));
        QCOMPARE(InstanceChannel::channelFolder(), cache);
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(InstanceChannel::channelFolder(), cache);
        InstanceChannel copy;
        QVERIFY(copy.claim());
        InstanceChannel second;
        QVERIFY(!second.claim());
    }

    // Another user listening under the name the channel once had in the
    // shared temporary folder does not stop a start.
    void aSocketPlantedElsewhereIsIgnored()
    {
        const QString old =
            QDir::tempPath() + QStringLiteral("/TCorvaneMainWindow-") + QString::number(::geteuid());
        const int listener = keep(plantSocket(old, true));
        QVERIFY(listener >= 0);
        QCOMPARE(::chown(QFile::encodeName(old).constData(), otherUser(), gid_t(-1)), 0);
        InstanceChannel copy;
        QVERIFY(copy.claim());
        QCOMPARE(InstanceChannel::channelFolder(), m_runtime);
    }

private:
    int keep(int fd)
    {
        if (fd >= 0)
            m_fds.append(fd);
        return fd;
    }

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_runtime;
    QList<int> m_fds;
};

QTEST_GUILESS_MAIN(InstanceChannelTest)
#include "tst_instancechannel.moc"
