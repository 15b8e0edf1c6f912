#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// GBK by the system's own converter, for a Qt built without ICU: glibc's
// iconv, or Windows' code page 936. Bytes it cannot read become '?'.
namespace corvane::systemcodepage {

QString decodeGbk(QByteArrayView bytes);
QByteArray encodeGbk(const QString &text);

} // namespace corvane::systemcodepage
