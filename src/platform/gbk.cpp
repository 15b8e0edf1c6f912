#include "platform/gbk.h"

#include "platform/systemcodepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace corvane::gbk {

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder("GBK");
    if (decoder.isValid())
        return decoder.decode(bytes);
    return systemcodepage::decodeGbk(bytes);
}

QByteArray encode(const QString &text)
{
    QStringEncoder encoder("GBK");
    if (encoder.isValid())
        return encoder.encode(text);
    return systemcodepage::encodeGbk(text);
}

} // namespace corvane::gbk
