#include "platform/profilefile.h"

#include "platform/textencoding.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

#include <optional>

namespace corvane::profile {

namespace {

// A file is kept as its raw lines (without their line ends), so that lines we
// do not touch are written back byte for byte.
struct Lines
{
    QList<QByteArray> lines;
    QByteArray eol = "\n";
    bool endsWithEol = true;
    TextEncoding encoding;
};

Lines load(const QString &fileName)
{
    Lines result;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    QByteArray bytes = file.readAll();
    result.encoding = TextEncoding::detect(bytes);
    if (bytes.isEmpty())
        return result;
    if (bytes.contains("\r\n"))
        result.eol = "\r\n";
    result.endsWithEol = bytes.endsWith('\n');
    result.lines = bytes.split('\n');
    if (result.endsWithEol)
        result.lines.removeLast();
    for (QByteArray &line : result.lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return result;
}

QString trimmedBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// The section name of a header line "[name]", or nothing for other lines.
std::optional<QString> sectionName(const QByteArray &line, const TextEncoding &encoding)
{
    const QString text = trimmedBlanks(encoding.decode(line));
    if (!text.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    return trimmedBlanks(text.mid(1, close < 0 ? -1 : close - 1));
}

// Key and value of a "key=value" line; '=' never occurs inside a GBK or
// UTF-8 character, so the split can be made on the bytes.
struct Entry
{
    QString key;
    QByteArray value;
};

std::optional<Entry> entry(const QByteArray &line, const TextEncoding &encoding)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return Entry{trimmedBlanks(encoding.decode(line.left(eq))), line.mid(eq + 1)};
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Position
{
    qsizetype header = -1; // line of the section header
    qsizetype end = -1;    // one past the section's last non-blank line
    qsizetype key = -1;    // line of the key
};

Position find(const Lines &file, const QString &section, const QString &key)
{
    Position pos;
    bool inSection = false;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const QByteArray &line = file.lines.at(i);
        if (const auto name = sectionName(line, file.encoding)) {
            if (inSection)
                break;
            if (pos.header < 0 && sameName(*name, section)) {
                inSection = true;
                pos.header = i;
                pos.end = i + 1;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!line.trimmed().isEmpty())
            pos.end = i + 1;
        if (pos.key < 0) {
            const auto e = entry(line, file.encoding);
            if (e && sameName(e->key, key))
                pos.key = i;
        }
    }
    return pos;
}

} // namespace

QString readString(const QString &fileName, const QString &section, const QString &key,
                   const QString &defaultValue)
{
    const Lines file = load(fileName);
    const Position pos = find(file, section, key);
    if (pos.key < 0)
        return defaultValue;
    const QString value =
        trimmedBlanks(file.encoding.decode(entry(file.lines.at(pos.key), file.encoding)->value));
    return value.left(MaxValueLength);
}

bool writeString(const QString &fileName, const QString &section, const QString &key, const QString &value)
{
    Lines file = load(fileName);
    const QByteArray line = file.encoding.encode(key) + '=' + file.encoding.encode(value);
    const Position pos = find(file, section, key);
    if (pos.key >= 0) {
        file.lines[pos.key] = line;
    } else if (pos.header >= 0) {
        file.lines.insert(pos.end, line);
    } else {
        if (!file.lines.isEmpty() && !file.lines.constLast().trimmed().isEmpty())
            file.lines.append(QByteArray());
        file.lines.append('[' + file.encoding.encode(section) + ']');
        file.lines.append(line);
    }

    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(file.encoding.prefix());
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        out.write(file.lines.at(i));
        if (i + 1 < file.lines.size() || file.endsWithEol || pos.key < 0)
            out.write(file.eol);
    }
    return out.commit();
}

} // namespace corvane::profile
