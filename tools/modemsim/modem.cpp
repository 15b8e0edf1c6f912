#include "modem.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace modemsim {

namespace {

void say(const std::string &text)
{
    std::fputs((text + "\n").c_str(), stdout);
    std::fflush(stdout);
}

bool isAtCommand(const std::string &line)
{
    const size_t start = line.find_first_not_of(' ');
    return start != std::string::npos && line.size() >= start + 2 && (line[start] | 0x20) == 'a' &&
           (line[start + 1] | 0x20) == 't';
}

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The commands modems use to switch caller-ID reporting on or off.
bool isCallerIdCommand(const std::string &upperLine)
{
    for (const char *prefix : {"AT#CID=", "AT#VCID=", "AT+VCID=", "AT%CCID="})
        if (upperLine.rfind(prefix, 0) == 0)
            return true;
    return false;
}

} // namespace

bool Modem::personality(const std::string &line)
{
    std::istringstream in(line);
    std::string verb, mode, only;
    in >> verb >> mode >> only;
    if (verb == "reset") {
        m_callerIdOff = true;
    } else if (verb == "results" && (mode == "words" || mode == "numbers")) {
        m_numericResults = mode == "numbers";
    } else if (verb == "delay" && !mode.empty() && mode.size() <= 6 &&
               mode.find_first_not_of("0123456789") == std::string::npos) {
        m_answerDelay = std::chrono::milliseconds(std::stoi(mode));
    } else if (verb == "answers" &&
               (mode == "ok" || mode == "error" || mode == "none" || (mode == "only" && !only.empty()))) {
        m_answers = mode == "ok"      ? Answers::Ok
                    : mode == "error" ? Answers::Error
                    : mode == "none"  ? Answers::None
                                      : Answers::Only;
        m_onlyCommand = upper(only);
    } else {
        return false;
    }
    say("done");
    return true;
}

void Modem::command(const std::string &line)
{
    if (line.find_first_not_of(" \t\r") == std::string::npos || personality(line))
        return;
    // A modem without caller ID on only rings.
    const bool call = line.rfind("call ", 0) == 0;
    std::vector<Step> steps;
    std::string error;
    if (!parseCommand(call && m_callerIdOff ? "ring" : line, m_delivery, steps, error)) {
        say("error: " + error);
        return;
    }
    // A schedule that fell idle starts again from now; one that is running
    // keeps its absolute times, so pacing does not drift.
    if (m_queue.empty() && m_next < Clock::now())
        m_next = Clock::now();
    m_queue.insert(m_queue.end(), steps.begin(), steps.end());
}

bool Modem::play()
{
    writeDueAnswers();
    while (!m_queue.empty() && !m_waitWritable) {
        Step &step = m_queue.front();
        if (step.kind == Step::Gap) {
            m_next += std::chrono::milliseconds(step.gapMs);
            m_queue.pop_front();
            continue;
        }
        if (Clock::now() < m_next)
            return true;
        if (step.kind == Step::Bytes) {
            if (m_offset < step.bytes.size()) {
                const size_t count = std::min(step.bytes.size() - m_offset, size_t(step.chunk));
                const ssize_t n =
                    m_pty.master() < 0 ? -1 : ::write(m_pty.master(), step.bytes.data() + m_offset, count);
                if (n < 0 && errno == EAGAIN) {
                    m_waitWritable = true;
                    return true;
                }
                if (n > 0) {
                    m_offset += size_t(n);
                    m_next += std::chrono::nanoseconds(step.charNs * n);
                    continue;
                }
            }
            m_offset = 0;
            m_queue.pop_front();
            continue;
        }
        const Step::Kind kind = step.kind;
        m_queue.pop_front();
        if (kind == Step::Done)
            say("done");
        else if (kind == Step::Hangup)
            m_pty.hangup();
        else if (kind == Step::Unplug)
            m_pty.unplug();
        else if (kind == Step::Replug && !m_pty.replug())
            say("error: cannot bring the line back");
        else if (kind == Step::Quit)
            return false;
    }
    return true;
}

std::chrono::nanoseconds Modem::idleTime() const
{
    std::chrono::nanoseconds idle(-1);
    if (!m_queue.empty() && !m_waitWritable)
        idle = std::max(std::chrono::nanoseconds(0), m_next - Clock::now());
    if (!m_lateAnswers.empty()) {
        const auto answerDue =
            std::max(std::chrono::nanoseconds(0), m_lateAnswers.front().first - Clock::now());
        idle = idle.count() < 0 ? answerDue : std::min(idle, answerDue);
    }
    return idle;
}

void Modem::writable()
{
    // The program stopped reading for a while; go on at the line rate from
    // now rather than catching up in one burst.
    m_waitWritable = false;
    m_next = Clock::now();
}

void Modem::writeNow(const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size() && m_pty.master() >= 0) {
        const ssize_t n = ::write(m_pty.master(), bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

std::string Modem::result(bool ok) const
{
    if (m_numericResults)
        return ok ? "0\r" : "4\r";
    return ok ? "\r\nOK\r\n" : "\r\nERROR\r\n";
}

std::string Modem::answerTo(const std::string &atLine)
{
    const std::string command = upper(atLine.substr(atLine.find_first_not_of(' ')));
    if (command == "ATI")
        return (m_numericResults ? "modemsim caller-ID modem\r\n" : "\r\nmodemsim caller-ID modem\r\n") +
               result(true);
    if (!isCallerIdCommand(command) || m_answers == Answers::Ok ||
        (m_answers == Answers::Only && command == m_onlyCommand)) {
        if (isCallerIdCommand(command))
            m_callerIdOff = false;
        return result(true);
    }
    return result(false);
}

void Modem::respond(const std::string &bytes)
{
    if (m_answerDelay.count() == 0) {
        writeNow(bytes);
        return;
    }
    // One line at a time: the next waits until the one before is answered.
    const Clock::time_point from =
        m_lateAnswers.empty() ? Clock::now() : std::max(Clock::now(), m_lateAnswers.back().first);
    m_lateAnswers.emplace_back(from + m_answerDelay, bytes);
}

void Modem::writeDueAnswers()
{
    while (!m_lateAnswers.empty() && m_lateAnswers.front().first <= Clock::now()) {
        writeNow(m_lateAnswers.front().second);
        m_lateAnswers.pop_front();
    }
}

void Modem::receive()
{
    char buffer[4096];
    const ssize_t n = ::read(m_pty.master(), buffer, sizeof buffer);
    if (n <= 0)
        return;
    if (m_recordFd >= 0 && ::write(m_recordFd, buffer, size_t(n)) != n)
        std::perror("modemsim: record");
    if (m_answers == Answers::None)
        return;
    const std::string bytes(buffer, size_t(n));
    const bool late = m_answerDelay.count() > 0;
    if (!late)
        writeNow(bytes);
    for (char c : bytes) {
        if (c == '\r') {
            const std::string echo = late ? m_atLine + '\r' : std::string();
            respond(isAtCommand(m_atLine) ? echo + answerTo(m_atLine) : echo);
            m_atLine.clear();
        } else if (c != '\n' && m_atLine.size() < 256) {
            m_atLine += c;
        }
    }
}

} // namespace modemsim
