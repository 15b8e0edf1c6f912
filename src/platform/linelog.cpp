#include "platform/linelog.h"

#include <QDateTime>

namespace corvane {

LineLog::LineLog(const QString &fileName, qint64 limitBytes) : m_file(fileName), m_limit(limitBytes) {}

QByteArray LineLog::escaped(const QByteArray &bytes)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (b >= 0x20 && b < 0x7f)
            out += c;
        else
            out += QByteArray("\\x") + Hex[b >> 4] + Hex[b & 0xf];
    }
    return out;
}

void LineLog::append(char direction, const QByteArray &bytes)
{
    const QByteArray line =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1() + ' ' +
        direction + ' ' + escaped(bytes) + '\n';
    if (!m_file.isOpen() && !m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    if (m_file.size() > 0 && m_file.size() + line.size() > m_limit) {
        rotate();
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    // Written through at once: the log matters most when something goes wrong.
    m_file.write(line);
    m_file.flush();
}

void LineLog::rotate()
{
    m_file.close();
    const QString older = m_file.fileName() + QStringLiteral(".1");
    QFile::remove(older);
    QFile::rename(m_file.fileName(), older);
}

} // namespace corvane
