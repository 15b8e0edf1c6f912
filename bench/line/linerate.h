#pragma once

// A caller-ID report played onto a pseudo-terminal at 9600 baud, as the
// line benchmarks send it.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace corvane::bench {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal the program opens as its modem's port (name()); the
// benchmark plays the modem on its master side, which never blocks.
class ModemPty
{
public:
    ModemPty()
    {
        char name[256] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
            std::perror("openpty");
            return;
        }
        m_name = QString::fromLatin1(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~ModemPty()
    {
        for (const int fd : {m_master, m_slave})
            if (fd >= 0)
                ::close(fd);
    }
    ModemPty(const ModemPty &) = delete;
    ModemPty &operator=(const ModemPty &) = delete;

    bool isOpen() const { return !m_name.isEmpty(); }
    int master() const { return m_master; }
    QString name() const { return m_name; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_name;
};

// 9600 baud, 8N1: ten bits a character.
constexpr std::chrono::nanoseconds CharTime{10'000'000'000LL / 9600};

// A well-formed report of a call from tel on 21 March at 14:05.
inline QByteArray reportOf(const QString &tel)
{
    return "\r\nDATE = 0321\r\nTIME = 1405\r\nNMBR = " + tel.toLatin1() + "\r\n\r\n";
}

// Plays one report at line rate and returns when its last byte went out.
inline Clock::time_point sendReport(int master, const QByteArray &bytes)
{
    auto next = Clock::now();
    Clock::time_point last;
    for (char c : bytes) {
        std::this_thread::sleep_until(next);
        while (::write(master, &c, 1) != 1)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        last = Clock::now();
        next += CharTime;
    }
    return last;
}

using Milliseconds = std::chrono::duration<double, std::milli>;

inline double systemNowMs()
{
    return Milliseconds(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Reads away what the program wrote, then plays a report of tel: the time of
// its last byte, in milliseconds since the epoch.
inline double sendReportOf(int master, const QString &tel)
{
    char drained[256];
    while (::read(master, drained, sizeof drained) > 0) {
    }
    const Clock::time_point last = sendReport(master, reportOf(tel));
    return systemNowMs() - Milliseconds(Clock::now() - last).count();
}

} // namespace corvane::bench
