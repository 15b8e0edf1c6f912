#pragma once

#include "runningprogram.h"
#include "store/serveraddress.h"

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <unistd.h>

namespace corvane::bench {

// Two real programs on one server: desk A with a modem on a pseudo-terminal
// whose master end the benchmark writes reports into, desk B without one.
struct TwoDesks
{
    explicit TwoDesks(const ServerAddress &address)
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            std::perror("openpty");
            return;
        }
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        const QString ini = QStringLiteral("[database]\r\nengine=postgresql\r\nhost=%1\r\nport=%2\r\nname=%"
                                           "3\r\nuser=%4\r\npassword=%5\r\n")
                                .arg(address.host)
                                .arg(address.port)
                                .arg(address.name, address.user, address.password);
        deskA =
            std::make_unique<test::RunningProgram>(QStringLiteral("制式1"), QString::fromLatin1(name), ini);
        deskB = std::make_unique<test::RunningProgram>(QStringLiteral("制式1"), QString(), ini);
    }
    ~TwoDesks()
    {
        deskB.reset();
        deskA.reset();
        if (master >= 0) {
            ::close(master);
            ::close(slave);
        }
    }
    TwoDesks(const TwoDesks &) = delete;
    TwoDesks &operator=(const TwoDesks &) = delete;

    bool started() const { return deskA != nullptr; }

    int master = -1;
    int slave = -1;
    std::unique_ptr<test::RunningProgram> deskA;
    std::unique_ptr<test::RunningProgram> deskB;
};

} // namespace corvane::bench
