#include "platform/systemcodepage.h"

#include <windows.h>

namespace corvane::systemcodepage {

namespace {

constexpr UINT Gbk = 936;

} // namespace

QString decodeGbk(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const int size = ::MultiByteToWideChar(Gbk, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring wide(size_t(size), L'\0');
    ::MultiByteToWideChar(Gbk, 0, bytes.data(), int(bytes.size()), wide.data(), size);
    return QString::fromStdWString(wide);
}

QByteArray encodeGbk(const QString &text)
{
    if (text.isEmpty())
        return {};
    const std::wstring wide = text.toStdWString();
    const char unknown = '?';
    const int size =
        ::WideCharToMultiByte(Gbk, 0, wide.data(), int(wide.size()), nullptr, 0, &unknown, nullptr);
    QByteArray bytes(size, Qt::Uninitialized);
    ::WideCharToMultiByte(Gbk, 0, wide.data(), int(wide.size()), bytes.data(), size, &unknown, nullptr);
    return bytes;
}

} // namespace corvane::systemcodepage
