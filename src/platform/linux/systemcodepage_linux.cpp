#include "platform/systemcodepage.h"

#include <iconv.h>

namespace corvane::systemcodepage {

namespace {

QByteArray viaIconv(const char *to, const char *from, QByteArrayView in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray out(in.size() * 4 + 16, Qt::Uninitialized);
    char *src = const_cast<char *>(in.data());
    size_t srcLeft = size_t(in.size());
    char *dst = out.data();
    size_t dstLeft = size_t(out.size());
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1))
            break;
        if (dstLeft == 0)
            break;
        // Unconvertible or invalid input: replace one byte and go on.
        ++src;
        --srcLeft;
        *dst++ = '?';
        --dstLeft;
    }
    iconv_close(cd);
    out.truncate(dst - out.data());
    return out;
}

} // namespace

QString decodeGbk(QByteArrayView bytes)
{
    return QString::fromUtf8(viaIconv("UTF-8", "GBK", bytes));
}

QByteArray encodeGbk(const QString &text)
{
    return viaIconv("GBK", "UTF-8", text.toUtf8());
}

} // namespace corvane::systemcodepage
