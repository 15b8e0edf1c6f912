// modemsim: a fake caller-ID modem on a pseudo-terminal, for tests.
//
//   modemsim [--link PATH] [--record FILE]
//
// Prints the device path (the link, else the slave) on its first output line,
// then takes commands on stdin, one a line, and prints "done" when a command
// has been fully written to the line:
//   ring                      RING report
//   call NUMBER [MMDD HHMM]   caller-ID report (date and time default to now)
//   send TEXT                 TEXT with \r \n \t \\ \xHH escapes
//   random COUNT [SEED]       COUNT random bytes, NUL and high-bit included
//   gap MS                    keep the line quiet for MS milliseconds
//   chunk N                   deliver N characters per write from now on
//   rate BAUD                 pace later output at BAUD (8N1) instead of 9600
//   hangup                    close the master: the device vanishes
//   unplug                    close both sides and remove the link
//   replug                    a new pseudo-terminal behind the same link
//   quit                      end once everything before has been written
//   answers ok|error|none     OK to every AT command (the default); ERROR to
//                             every caller-ID command; nothing at all
//   answers only COMMAND      OK to that caller-ID command only, ERROR to others
//   reset                     caller ID off: calls only ring until a caller-ID
//                             command is taken
//   results words|numbers     OK and ERROR (the default), or 0 and 4 (ATV0)
//   delay MS                  echo and answer each command line MS after the
//                             one before was answered (0, the default: at once)
// Output is paced at the line rate. Bytes received are echoed, an AT command
// line ending in CR is answered as "answers" says (ATI with the modem's
// name), and every byte received is appended to the record file at once.

#include "modem.h"
#include "pty.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

void installSignals()
{
    struct sigaction action
    {
    };
    action.sa_handler = requestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int usage()
{
    std::fputs("usage: modemsim [--link PATH] [--record FILE]\n", stderr);
    return 2;
}

// Feeds complete lines from stdin to the modem; false at end of input.
bool readCommands(modemsim::Modem &modem, std::string &pending)
{
    char buffer[4096];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0)
        return n < 0 && errno == EINTR;
    pending.append(buffer, size_t(n));
    size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
        modem.command(pending.substr(0, end));
        pending.erase(0, end + 1);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    std::string link, record;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc)
            return usage();
        if (option == "--link")
            link = argv[++i];
        else if (option == "--record")
            record = argv[++i];
        else
            return usage();
    }
    installSignals();

    modemsim::Pty pty;
    if (!pty.open(link)) {
        std::fprintf(stderr, "modemsim: cannot create the line: %s\n", std::strerror(errno));
        return 1;
    }
    int recordFd = -1;
    if (!record.empty() && (recordFd = ::open(record.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) < 0) {
        std::fprintf(stderr, "modemsim: cannot write %s: %s\n", record.c_str(), std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", pty.devicePath().c_str());
    std::fflush(stdout);

    modemsim::Modem modem(pty, recordFd);
    std::string pending;
    bool input = true;
    while (!stopRequested && modem.play()) {
        pollfd fds[2] = {{input ? STDIN_FILENO : -1, POLLIN, 0}, {pty.master(), POLLIN, 0}};
        if (modem.waitingToWrite())
            fds[1].events |= POLLOUT;
        const auto idle = modem.idleTime();
        timespec timeout{idle.count() / 1'000'000'000, idle.count() % 1'000'000'000};
        if (ppoll(fds, 2, idle.count() < 0 ? nullptr : &timeout, nullptr) < 0)
            continue;
        if (fds[0].revents & (POLLIN | POLLHUP) && !readCommands(modem, pending)) {
            // The test has gone: finish what was asked, then end.
            input = false;
            modem.command("quit");
        }
        if (fds[1].revents & POLLOUT)
            modem.writable();
        if (fds[1].revents & POLLIN)
            modem.receive();
    }
    if (recordFd >= 0)
        ::close(recordFd);
    return 0;
}
