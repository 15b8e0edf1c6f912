#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane {

// PCM audio as a WAV file holds it: interleaved little-endian frames of
// unsigned 8-bit or signed 16-bit samples.
struct PcmSound
{
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    QByteArray frames;

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    qint64 frameCount() const { return bytesPerFrame() > 0 ? frames.size() / bytesPerFrame() : 0; }
    double seconds() const { return sampleRate > 0 ? double(frameCount()) / sampleRate : 0.0; }
    bool operator==(const PcmSound &) const = default;
};

// A file larger than this is not read: no ring is that long, and a device or a
// mistaken name must not fill the memory.
inline constexpr qint64 MaxWavFileSize = 64 * 1024 * 1024;

// Reads a RIFF/WAVE image holding PCM we can play: 8 or 16 bits, mono or stereo,
// 1 kHz to 384 kHz. Anything else (a compressed or float format, a missing or
// inconsistent format chunk, no data) gives no sound, so the caller can fall
// back. A data chunk cut short, as in a truncated file, keeps the whole frames
// that are there.
std::optional<PcmSound> parseWav(QByteArrayView file);

// parseWav on a file's contents; a missing, unreadable, special or oversized
// file gives no sound.
std::optional<PcmSound> readWavFile(const QString &fileName);

} // namespace corvane
