#pragma once

// A private PulseAudio server for the real-time sound tests. Its only sink is a
// pipe sink clocked by the system clock, so playback takes real time; a reader
// thread keeps every byte the sink writes into its FIFO. ALSA's device
// "default" is routed to it through an ALSA configuration file.

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::test {

class PulsePipeSink
{
public:
    // The sink's sample format; tests pick the format of the sounds they play,
    // so that the bytes come out as they went in.
    PulsePipeSink(int sampleRate, int channels) : m_rate(sampleRate), m_channels(channels) {}

    ~PulsePipeSink()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(5000)) {
                m_daemon.kill();
                m_daemon.waitForFinished(5000);
            }
        }
        m_stop = true;
        if (m_reader.joinable()) {
            m_reader.join();
        }
        if (m_fifo >= 0) {
            ::close(m_fifo);
        }
    }

    PulsePipeSink(const PulsePipeSink &) = delete;
    PulsePipeSink &operator=(const PulsePipeSink &) = delete;

    // Starts the server and the reader; on failure errorString() says why.
    bool start()
    {
        if (!m_dir.isValid() || !startReader() || !writeAlsaConfig()) {
            m_error = QStringLiteral("cannot prepare ") + m_dir.path();
            return false;
        }
        startDaemon();
        if (!waitForSocket()) {
            m_error = QStringLiteral("PulseAudio did not start: ") + m_daemon.errorString() +
                      QLatin1Char('\n') + QString::fromLocal8Bit(m_daemon.readAllStandardError());
            return false;
        }
        return true;
    }

    QString errorString() const { return m_error; }

    // An ALSA configuration whose "default" device plays to this sink.
    QString alsaConfig() const { return path("asound.conf"); }
    QString clientConfig() const { return path("client.conf"); }

    void clear()
    {
        const std::lock_guard lock(m_mutex);
        m_bytes.clear();
    }

    QByteArray captured() const
    {
        const std::lock_guard lock(m_mutex);
        return m_bytes;
    }

    // A stalled sound server: it keeps its socket but answers nothing.
    void freeze() { ::kill(pid_t(m_daemon.processId()), SIGSTOP); }
    void thaw() { ::kill(pid_t(m_daemon.processId()), SIGCONT); }

private:
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    QString socket() const { return path("native"); }

    bool startReader()
    {
        const QByteArray fifo = QFile::encodeName(path("sink.fifo"));
        if (mkfifo(fifo.constData(), 0600) != 0) {
            return false;
        }
        // Opened read-write, the FIFO always has a writer: no end-of-file
        // before the daemon opens it or after it has gone.
        m_fifo = ::open(fifo.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (m_fifo < 0) {
            return false;
        }
        m_reader = std::thread([this] { readUntilStopped(); });
        return true;
    }

    void readUntilStopped()
    {
        char buffer[16384];
        while (!m_stop) {
            pollfd fd{m_fifo, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0) {
                continue;
            }
            const ssize_t n = ::read(m_fifo, buffer, sizeof buffer);
            if (n > 0) {
                const std::lock_guard lock(m_mutex);
                m_bytes.append(buffer, n);
            }
        }
    }

    bool writeAlsaConfig() const
    {
        const QByteArray device = "{ type pulse; server \"unix:" + QFile::encodeName(socket()) + "\" }\n";
        QFile alsa(alsaConfig());
        QFile client(clientConfig());
        return alsa.open(QIODevice::WriteOnly) &&
               alsa.write("pcm.!default " + device + "ctl.!default " + device) > 0 &&
               client.open(QIODevice::WriteOnly) && client.write("autospawn = no\n") > 0;
    }

    void startDaemon()
    {
        const QString format = QStringLiteral("format=s16le rate=%1 channels=%2").arg(m_rate).arg(m_channels);
        const QStringList arguments = {
            QStringLiteral("--daemonize=no"),
            QStringLiteral("-n"),
            QStringLiteral("--exit-idle-time=-1"),
            QStringLiteral("--disallow-exit"),
            QStringLiteral("--use-pid-file=no"),
            QStringLiteral("--system=false"),
            QStringLiteral("--realtime=no"),
            QStringLiteral("--high-priority=no"),
            QStringLiteral("--log-target=stderr"),
            QStringLiteral("-L"),
            QStringLiteral("module-pipe-sink sink_name=fifo use_system_clock_for_timing=yes file=") +
                path("sink.fifo") + QLatin1Char(' ') + format,
            QStringLiteral("-L"),
            QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket(),
        };
        // Its own home and runtime folders: nothing of a user's session leaks
        // in, and nothing is left behind.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("run"));
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), path("run"));
        env.insert(QStringLiteral("PULSE_STATE_PATH"), path("state"));
        env.remove(QStringLiteral("PULSE_SERVER"));
        m_daemon.setProcessEnvironment(env);
        // Should this test die, the daemon goes with it.
        m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_daemon.start(QStringLiteral("pulseaudio"), arguments);
    }

    bool waitForSocket()
    {
        if (!m_daemon.waitForStarted(5000)) {
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000 && m_daemon.state() == QProcess::Running) {
            if (QFile::exists(socket())) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    const int m_rate;
    const int m_channels;
    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/corvane-pulse-XXXXXX")};
    QProcess m_daemon;
    QString m_error;
    int m_fifo = -1;
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QByteArray m_bytes;
};

} // namespace corvane::test
