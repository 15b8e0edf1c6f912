#include "platform/textencoding.h"

#include "platform/gbk.h"

#include <QStringDecoder>

#include <algorithm>

namespace corvane {

namespace {

constexpr char Utf8Bom[] = "\xEF\xBB\xBF";

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    // The decoding happens when the result becomes a string.
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

TextEncoding TextEncoding::detect(QByteArray &bytes)
{
    TextEncoding encoding;
    if (bytes.startsWith(Utf8Bom)) {
        bytes.remove(0, qsizetype(sizeof Utf8Bom) - 1);
        encoding.m_kind = Kind::Utf8WithBom;
    } else if (!isAscii(bytes) && isValidUtf8(bytes)) {
        encoding.m_kind = Kind::Utf8;
    }
    return encoding;
}

QString TextEncoding::decode(QByteArrayView bytes) const
{
    return m_kind == Kind::Gbk ? gbk::decode(bytes) : QString::fromUtf8(bytes);
}

QByteArray TextEncoding::encode(const QString &text) const
{
    return m_kind == Kind::Gbk ? gbk::encode(text) : text.toUtf8();
}

QByteArray TextEncoding::prefix() const
{
    return m_kind == Kind::Utf8WithBom ? QByteArray(Utf8Bom) : QByteArray();
}

} // namespace corvane
