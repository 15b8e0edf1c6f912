#include "script.h"

#include <cstdlib>
#include <ctime>
#include <random>
#include <sstream>

namespace modemsim {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool parseCount(const std::string &text, long max, long &value)
{
    char *end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && value >= 0 && value <= max;
}

std::string clockText(const char *format)
{
    const std::time_t now = std::time(nullptr);
    char buffer[8] = {};
    std::strftime(buffer, sizeof buffer, format, std::localtime(&now));
    return buffer;
}

std::string randomBytes(long count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(static_cast<size_t>(count), '\0');
    for (char &c : bytes)
        c = static_cast<char>(byte(generator));
    return bytes;
}

Step marker(Step::Kind kind, int gapMs = 0)
{
    Step step;
    step.kind = kind;
    step.gapMs = gapMs;
    return step;
}

} // namespace

std::string callReport(const std::string &number, const std::string &mmdd, const std::string &hhmm)
{
    return "\r\nDATE = " + mmdd + "\r\nTIME = " + hhmm + "\r\nNMBR = " + number + "\r\n\r\n";
}

std::string unescape(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char e = text[++i];
        if (e == 'r')
            out += '\r';
        else if (e == 'n')
            out += '\n';
        else if (e == 't')
            out += '\t';
        else if (e == 'x' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                 hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += e;
        }
    }
    return out;
}

bool parseCommand(const std::string &line, Delivery &delivery, std::vector<Step> &steps, std::string &error)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    std::string rest;
    std::getline(in >> std::ws, rest);
    std::istringstream args(rest);
    std::string a, b, c;
    args >> a >> b >> c;
    long n = 0;
    const auto bytes = [&](std::string text) {
        steps.push_back({Step::Bytes, std::move(text), delivery.chunk, delivery.charNs(), 0});
    };

    if (verb == "ring") {
        bytes("\r\nRING\r\n");
    } else if (verb == "call" && !a.empty()) {
        const std::string mmdd = b.empty() ? clockText("%m%d") : b;
        const std::string hhmm = c.empty() ? clockText("%H%M") : c;
        bytes(callReport(a, mmdd, hhmm));
    } else if (verb == "send") {
        bytes(unescape(rest));
    } else if (verb == "random" && parseCount(a, 100L * 1024 * 1024, n)) {
        long seed = 1;
        if (!b.empty() && !parseCount(b, 0x7fffffffL, seed)) {
            error = "bad seed";
            return false;
        }
        bytes(randomBytes(n, static_cast<unsigned>(seed)));
    } else if (verb == "gap" && parseCount(a, 3600L * 1000, n)) {
        steps.push_back(marker(Step::Gap, static_cast<int>(n)));
    } else if (verb == "chunk" && parseCount(a, 1 << 20, n) && n > 0) {
        delivery.chunk = static_cast<int>(n);
    } else if (verb == "rate" && parseCount(a, 100'000'000L, n) && n >= 50) {
        delivery.baud = n;
    } else if (verb == "hangup") {
        steps.push_back(marker(Step::Hangup));
    } else if (verb == "unplug") {
        steps.push_back(marker(Step::Unplug));
    } else if (verb == "replug") {
        steps.push_back(marker(Step::Replug));
    } else if (verb == "quit") {
        steps.push_back(marker(Step::Quit));
        return true;
    } else {
        error = "unknown command: " + line;
        return false;
    }
    steps.push_back(marker(Step::Done));
    return true;
}

} // namespace modemsim
