#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace corvane {

// A record of the bytes that pass over the modem's line, for when a modem
// reports calls oddly: one line per read or write, with a millisecond
// timestamp, "<" for received and ">" for sent, and every byte outside
// printable ASCII escaped (\r, \n, \t, \\, \xHH). The file is kept below a
// size limit by moving it to "<file>.1" (replacing an older one) when the next
// line would pass the limit. Failures to write are ignored: the log must never
// get in the way of the line.
class LineLog
{
public:
    static constexpr qint64 DefaultLimit = 1024 * 1024;

    explicit LineLog(const QString &fileName, qint64 limitBytes = DefaultLimit);

    void received(const QByteArray &bytes) { append('<', bytes); }
    void sent(const QByteArray &bytes) { append('>', bytes); }

    // The escaped form of bytes, as it stands in the log.
    static QByteArray escaped(const QByteArray &bytes);

private:
    void append(char direction, const QByteArray &bytes);
    void rotate();

    QFile m_file;
    qint64 m_limit;
};

} // namespace corvane
