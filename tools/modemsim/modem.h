#pragma once

#include "pty.h"
#include "script.h"

#include <chrono>
#include <deque>
#include <string>

namespace modemsim {

// How the modem answers AT command lines; changed by the "answers" command.
//   ok      OK to every command (the default)
//   only    OK to one caller-ID command, ERROR to the others
//   error   ERROR to every caller-ID command
//   none    nothing at all, not even the echo
enum class Answers { Ok, Only, Error, None };

// The modem's behaviour on its line: scripted output paced at the line rate,
// echo and answers for AT command lines, and a record of every byte received.
class Modem
{
public:
    using Clock = std::chrono::steady_clock;
    Modem(Pty &pty, int recordFd) : m_pty(pty), m_recordFd(recordFd) {}

    // Takes one command line from the test.
    void command(const std::string &line);
    // Writes what is due now; returns false once "quit" has come due.
    bool play();
    // How long the main loop may sleep before play() has work, or -1 when
    // only input can give it work.
    std::chrono::nanoseconds idleTime() const;
    bool waitingToWrite() const { return m_waitWritable; }
    void writable();
    void receive();

private:
    void writeNow(const std::string &bytes);
    // Handles the commands about the modem's own state; false for the others.
    bool personality(const std::string &line);
    std::string answerTo(const std::string &atLine);

    Pty &m_pty;
    int m_recordFd;
    std::deque<Step> m_queue;
    size_t m_offset = 0;
    Delivery m_delivery;
    Clock::time_point m_next = Clock::now();
    bool m_waitWritable = false;
    std::string m_atLine;
    Answers m_answers = Answers::Ok;
    std::string m_onlyCommand;
    // After "reset": calls only ring until a caller-ID command is taken.
    bool m_callerIdOff = false;
};

} // namespace modemsim
