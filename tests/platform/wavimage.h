#pragma once

// Builds WAV file images byte by byte, so tests can make exactly the valid,
// odd and broken files they need.

#include <QByteArray>
#include <QtEndian>

#include <cmath>
#include <numbers>
#include <optional>

namespace corvane::test {

inline QByteArray le16(quint16 v)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

inline QByteArray le32(quint32 v)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

// One RIFF chunk, padded to an even length; `declaredSize` overrides the size
// field so that a test can lie about it.
inline QByteArray chunk(const char *id, const QByteArray &body, std::optional<quint32> declaredSize = {})
{
    QByteArray bytes = QByteArray(id, 4) + le32(declaredSize.value_or(quint32(body.size()))) + body;
    if (body.size() % 2 != 0) {
        bytes += '\0';
    }
    return bytes;
}

inline QByteArray formatBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 blockAlign = quint16(channels * bits / 8);
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * blockAlign) + le16(blockAlign) + le16(bits);
}

inline QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

inline QByteArray pcmWav(quint16 channels, quint32 rate, quint16 bits, const QByteArray &frames)
{
    return riff(chunk("fmt ", formatBody(1, channels, rate, bits)) + chunk("data", frames));
}

// A 16-bit mono sine tone, never silent after its first sample.
inline QByteArray tone16(int frames, double frequency, int rate)
{
    QByteArray samples;
    for (int i = 0; i < frames; ++i) {
        const double value = 8000.0 * std::sin(2.0 * std::numbers::pi * frequency * i / rate);
        samples += le16(quint16(qint16(std::lround(value))));
    }
    return samples;
}

} // namespace corvane::test
