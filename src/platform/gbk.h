#pragma once

#include <QByteArray>
#include <QString>

namespace corvane::gbk {

// Text files of the program (zel.ini) are in the Chinese ANSI code page, GBK.
QString decode(QByteArrayView bytes);
QByteArray encode(const QString &text);

} // namespace corvane::gbk
