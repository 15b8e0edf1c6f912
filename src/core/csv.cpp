#include "core/csv.h"

namespace corvane::csv {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Reads a text record by record, keeping count of the lines.
class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    Table read()
    {
        Table table;
        while (m_at < m_text.size()) {
            Record record;
            record.line = m_line;
            if (!readRecord(record)) {
                table.unclosedQuoteLine = record.line;
                break;
            }
            const bool blank =
                record.fields.size() == 1 && record.fields.first().isEmpty() && !record.malformed;
            if (!blank)
                table.records.append(std::move(record));
        }
        return table;
    }

private:
    // False when a quoted field runs to the end of the text.
    bool readRecord(Record &record)
    {
        for (;;) {
            QString field;
            if (peek() == u'"') {
                ++m_at;
                if (!readQuoted(field))
                    return false;
                if (!atFieldEnd()) {
                    record.malformed = true;
                    skipToLineEnd();
                }
            } else {
                while (!atFieldEnd()) {
                    if (peek() == u'"') {
                        record.malformed = true;
                        skipToLineEnd();
                        break;
                    }
                    field.append(m_text.at(m_at++));
                }
            }
            record.fields.append(field);
            if (m_at >= m_text.size())
                return true;
            if (isLineBreak(peek())) {
                endLine();
                return true;
            }
            ++m_at; // the comma
        }
    }

    bool readQuoted(QString &field)
    {
        while (m_at < m_text.size()) {
            const QChar c = m_text.at(m_at++);
            if (c == u'"') {
                if (peek() != u'"')
                    return true;
                ++m_at;
            } else if (c == u'\n' || (c == u'\r' && peek() != u'\n')) {
                ++m_line;
            }
            field.append(c);
        }
        return false;
    }

    QChar peek() const { return m_at < m_text.size() ? m_text.at(m_at) : QChar(); }

    bool atFieldEnd() const { return m_at >= m_text.size() || peek() == u',' || isLineBreak(peek()); }

    // Past the line's end, quotes or not: a malformed line is given up as a
    // whole, so that the next one is read from its start.
    void skipToLineEnd()
    {
        while (m_at < m_text.size() && !isLineBreak(peek()))
            ++m_at;
    }

    void endLine()
    {
        if (peek() == u'\r' && m_at + 1 < m_text.size() && m_text.at(m_at + 1) == u'\n')
            ++m_at;
        ++m_at;
        ++m_line;
    }

    QStringView m_text;
    qsizetype m_at = 0;
    int m_line = 1;
};

bool looksLikeFormula(QStringView field)
{
    while (field.startsWith(u'\''))
        field = field.mid(1);
    if (field.isEmpty())
        return false;
    const QChar first = field.front();
    return first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' ||
           first == u'\r';
}

bool needsQuotes(const QString &field)
{
    return field.contains(u',') || field.contains(u'"') || field.contains(u'\r') || field.contains(u'\n');
}

} // namespace

Table parse(QStringView text)
{
    return Reader(text).read();
}

QString guarded(const QString &field)
{
    return looksLikeFormula(field) ? u'\'' + field : field;
}

QString unguarded(const QString &field)
{
    return field.startsWith(u'\'') && looksLikeFormula(QStringView(field).mid(1)) ? field.mid(1) : field;
}

QString line(const QStringList &fields)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.append(u',');
        const QString field = guarded(fields.at(i));
        if (needsQuotes(field)) {
            QString quoted = field;
            quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
            out.append(u'"').append(quoted).append(u'"');
        } else {
            out.append(field);
        }
    }
    out.append(QLatin1String("\r\n"));
    return out;
}

} // namespace corvane::csv
