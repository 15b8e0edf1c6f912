#pragma once

#include <QSaveFile>
#include <QString>
#include <QStringList>

namespace corvane {

class Failure;

// A CSV file as a spreadsheet opens it: UTF-8 after a byte-order mark, one
// record a line, written whole by commit() or not at all. Every failure
// throws a Failure that names the file and why, in Chinese.
class CsvFile
{
public:
    explicit CsvFile(const QString &path);

    void put(const QStringList &fields);
    void commit();

private:
    Failure cannotWrite() const;

    QString m_path;
    QSaveFile m_file;
};

} // namespace corvane
