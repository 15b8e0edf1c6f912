// Feeds arbitrary line bytes and receive counts to the caller-ID report
// parser. Input: 4 bytes of bufferCount (any int, negative and huge included),
// 2 bytes of year, then the received bytes, one character each. The same bytes
// also make a well-formed report, whose fields must come back as sent.

#include "core/callerid.h"

#include <cstdint>
#include <cstring>

using namespace corvane;

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Four digits from the start of `digits`, padded with zeros when short.
QString fourDigits(const QString &digits, qsizetype from)
{
    return digits.mid(from, 4).leftJustified(4, QLatin1Char('0'));
}

// A report as the modem sends it, built from the digits among the received
// bytes: the first four for the date, the next four for the time, all of them
// for the number. An even year drops the blanks around "=".
void requireRoundTrip(const QByteArray &received, int year)
{
    QString digits;
    for (char c : received) {
        if (c >= '0' && c <= '9')
            digits.append(QLatin1Char(c));
    }
    const QString date = fourDigits(digits, 0);
    const QString time = fourDigits(digits, 4);
    const QString equals = (year & 1) ? QStringLiteral(" = ") : QStringLiteral("=");
    const QString text = QStringLiteral("\r\nDATE") + equals + date + QStringLiteral("\r\nTIME") + equals +
                         time + QStringLiteral("\r\nNMBR") + equals + digits + QStringLiteral("\r\n\r\n");

    const CallerIdReport parsed = ParseCallerIdReport(text, int(text.size()), year);
    require(parsed.number == digits);
    require(parsed.dateText ==
            QStringLiteral("%1-%2-%3").arg(year, 4, 10, QLatin1Char('0')).arg(date.first(2), date.last(2)));
    require(parsed.timeText == time.first(2) + QLatin1Char(':') + time.last(2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 6)
        return 0;
    int32_t bufferCount = 0;
    std::memcpy(&bufferCount, data, sizeof bufferCount);
    const int year = data[4] | (data[5] << 8);
    const QByteArray received(reinterpret_cast<const char *>(data + 6), static_cast<qsizetype>(size - 6));
    const QString text = upperAscii(QString::fromLatin1(received));

    const bool report = isCallerIdReport(text);
    const CallerIdReport parsed = ParseCallerIdReport(text, bufferCount, year);
    const CallerIdTrace trace = traceCallerIdReport(text, bufferCount);

    // Every result is a piece of the received text, never more.
    require(parsed.number.size() <= text.size());
    require(parsed.timeText.size() <= 5 && parsed.timeText.contains(QLatin1Char(':')));
    require(parsed.dateText.startsWith(QString::number(year).rightJustified(4, QLatin1Char('0'))));
    require(trace.label4.size() <= trace.label5.size());
    require(!report || nmbrPosition(text) > 0);

    requireRoundTrip(received, year);
    return 0;
}
