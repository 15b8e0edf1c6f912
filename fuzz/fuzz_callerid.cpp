// Feeds arbitrary line bytes and receive counts to the caller-ID report
// parser. Input: 4 bytes of bufferCount (any int, negative and huge included),
// 2 bytes of year, then the received bytes, one character each.

#include "line/callerid.h"

#include <cstdint>
#include <cstring>

using namespace corvane;

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    int32_t bufferCount = 0;
    std::memcpy(&bufferCount, data, sizeof bufferCount);
    const int year = data[4] | (data[5] << 8);
    const QString text = upperAscii(
        QString::fromLatin1(reinterpret_cast<const char *>(data + 6), static_cast<qsizetype>(size - 6)));

    const bool report = isCallerIdReport(text);
    const CallerIdReport parsed = ParseCallerIdReport(text, bufferCount, year);
    const CallerIdTrace trace = traceCallerIdReport(text, bufferCount);

    // Every result is a piece of the received text, never more.
    require(parsed.number.size() <= text.size());
    require(parsed.timeText.size() <= 5 && parsed.timeText.contains(QLatin1Char(':')));
    require(parsed.dateText.startsWith(QString::number(year).rightJustified(4, QLatin1Char('0'))));
    require(trace.label4.size() <= trace.label5.size());
    require(!report || nmbrPosition(text) > 0);
    return 0;
}
