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
    std::string result(bool ok) const;
    // What the modem writes for a command line: now, or after the answer delay,
    // each line's in turn.
    void respond(const std::string &bytes);
    void writeDueAnswers();

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
    // "results numbers": 0 for OK and 4 for ERROR, as after ATV0.
    bool m_numericResults = false;
    // "delay MS": echo and answer of each command line come MS late.
    std::chrono::milliseconds m_answerDelay{0};
    std::deque<std::pair<Clock::time_point, std::string>> m_lateAnswers;
    // After "reset": calls only ring until a caller-ID command is taken.
    bool m_callerIdOff = false;
};

} // namespace modemsim
