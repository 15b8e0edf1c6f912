#pragma once

#include <string>
#include <vector>

namespace modemsim {

// One thing the modem does, in order: send bytes, keep the line quiet, tell
// the test that the command before has been fully written, drop the line,
// take the device away or bring it back, end.
struct Step
{
    enum Kind { Bytes, Gap, Done, Hangup, Unplug, Replug, Quit };
    Kind kind = Done;
    std::string bytes;
    int chunk = 1;        // characters per write, for Bytes
    long long charNs = 0; // line time of one character, for Bytes
    int gapMs = 0;        // for Gap
};

// How bytes go onto the line; changed by the "chunk" and "rate" commands.
struct Delivery
{
    int chunk = 1;
    long baud = 9600;
    // 8N1: ten bits a character.
    long long charNs() const { return 10'000'000'000LL / baud; }
};

// The report a caller-ID modem sends for one call: CR LF, the DATE, TIME and
// NMBR lines each ending in CR LF, then CR LF.
std::string callReport(const std::string &number, const std::string &mmdd, const std::string &hhmm);

// "\r", "\n", "\t", "\\" and "\xHH" escapes; anything else is taken as written.
std::string unescape(const std::string &text);

// Parses one command line into steps, delivered as the current delivery says.
// Returns false with an error text for a line it does not understand.
bool parseCommand(const std::string &line, Delivery &delivery, std::vector<Step> &steps, std::string &error);

} // namespace modemsim
