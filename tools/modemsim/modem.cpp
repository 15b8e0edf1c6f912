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
    if (m_queue.empty() || m_waitWritable)
        return std::chrono::nanoseconds(-1);
    return std::max(std::chrono::nanoseconds(0), m_next - Clock::now());
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

std::string Modem::answerTo(const std::string &atLine)
{
    const std::string command = upper(atLine.substr(atLine.find_first_not_of(' ')));
    if (command == "ATI")
        return "\r\nmodemsim caller-ID modem\r\n\r\nOK\r\n";
    if (!isCallerIdCommand(command) || m_answers == Answers::Ok ||
        (m_answers == Answers::Only && command == m_onlyCommand)) {
        if (isCallerIdCommand(command))
            m_callerIdOff = false;
        return "\r\nOK\r\n";
    }
    return "\r\nERROR\r\n";
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
    writeNow(bytes);
    for (char c : bytes) {
        if (c == '\r') {
            if (isAtCommand(m_atLine))
                writeNow(answerTo(m_atLine));
            m_atLine.clear();
        } else if (c != '\n' && m_atLine.size() < 256) {
            m_atLine += c;
        }
    }
}

} // namespace modemsim
