#include "wavfile.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace corvane {

namespace {

constexpr quint16 FormatPcm = 0x0001;
constexpr quint16 FormatExtensible = 0xFFFE;
constexpr qsizetype ChunkHeaderSize = 8;
constexpr qsizetype PlainFormatSize = 16;
constexpr qsizetype ExtensibleFormatSize = 40;

// The sub-format GUID of KSDATAFORMAT_SUBTYPE_PCM, as stored in the file.
constexpr char PcmSubFormat[] = "\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";

quint16 read16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

quint32 read32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

struct Format
{
    quint16 tag = 0;
    int channels = 0;
    int sampleRate = 0;
    int blockAlign = 0;
    int bitsPerSample = 0;
};

std::optional<Format> parseFormat(QByteArrayView chunk)
{
    if (chunk.size() < PlainFormatSize) {
        return std::nullopt;
    }
    Format format;
    format.tag = read16(chunk, 0);
    format.channels = read16(chunk, 2);
    format.sampleRate = int(qMin<quint32>(read32(chunk, 4), 0x7fffffff));
    format.blockAlign = read16(chunk, 12);
    format.bitsPerSample = read16(chunk, 14);
    if (format.tag == FormatExtensible) {
        if (chunk.size() < ExtensibleFormatSize || chunk.sliced(24, 16) != QByteArrayView(PcmSubFormat, 16)) {
            return std::nullopt;
        }
        format.tag = FormatPcm;
    }
    return format;
}

bool isPlayable(const Format &f)
{
    const bool supported = f.tag == FormatPcm && (f.channels == 1 || f.channels == 2) &&
                           (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.sampleRate >= 1000 &&
                           f.sampleRate <= 384000;
    return supported && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

} // namespace

std::optional<PcmSound> parseWav(QByteArrayView file)
{
    if (file.size() < 12 || file.first(4) != "RIFF" || file.sliced(8, 4) != "WAVE") {
        return std::nullopt;
    }
    std::optional<Format> format;
    std::optional<QByteArrayView> data;
    // The RIFF size field is often wrong in the wild; the chunks are walked up
    // to the real end of the file instead.
    qsizetype at = 12;
    while (at + ChunkHeaderSize <= file.size() && !(format && data)) {
        const QByteArrayView id = file.sliced(at, 4);
        const qint64 declared = read32(file, at + 4);
        const qsizetype body = at + ChunkHeaderSize;
        const qsizetype available = qsizetype(qMin<qint64>(declared, file.size() - body));
        if (id == "fmt ") {
            if (available < declared) {
                return std::nullopt;
            }
            format = parseFormat(file.sliced(body, available));
            if (!format) {
                return std::nullopt;
            }
        } else if (id == "data" && !data) {
            data = file.sliced(body, available);
        }
        // Chunks are word-aligned: an odd-sized one is followed by a pad byte.
        const qint64 next = qint64(body) + declared + (declared & 1);
        if (next > file.size()) {
            break;
        }
        at = qsizetype(next);
    }
    if (!format || !data || !isPlayable(*format)) {
        return std::nullopt;
    }
    PcmSound sound{format->channels, format->sampleRate, format->bitsPerSample, {}};
    const qsizetype whole = data->size() - data->size() % sound.bytesPerFrame();
    if (whole == 0) {
        return std::nullopt;
    }
    sound.frames = data->first(whole).toByteArray();
    return sound;
}

std::optional<PcmSound> readWavFile(const QString &fileName)
{
    // Only regular files: a FIFO or a device could block or never end.
    if (!QFileInfo(fileName).isFile()) {
        return std::nullopt;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(MaxWavFileSize + 1);
    if (bytes.size() > MaxWavFileSize) {
        return std::nullopt;
    }
    return parseWav(bytes);
}

} // namespace corvane
