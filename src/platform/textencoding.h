#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// The encoding of one of the program's text files (zel.ini). The program
// writes GBK, the Chinese ANSI code page; a text editor may save the file as
// UTF-8, with or without a byte-order mark. Bytes that are valid UTF-8 and not
// plain ASCII are taken as UTF-8 (Chinese text in GBK practically never is),
// anything else as GBK. Writing keeps the encoding the file came in.
class TextEncoding
{
public:
    // Detects the encoding of a file's bytes and removes a UTF-8 byte-order
    // mark from them; empty bytes are GBK.
    static TextEncoding detect(QByteArray &bytes);

    QString decode(QByteArrayView bytes) const;
    QByteArray encode(const QString &text) const;
    // What goes before the file's first line: the byte-order mark it had.
    QByteArray prefix() const;

private:
    enum class Kind { Gbk, Utf8, Utf8WithBom };
    Kind m_kind = Kind::Gbk;
};

} // namespace corvane
