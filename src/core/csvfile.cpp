#include "core/csvfile.h"

#include "core/csv.h"
#include "platform/failure.h"

#include <QCoreApplication>
#include <QDir>

namespace corvane {

CsvFile::CsvFile(const QString &path) : m_path(path), m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly) || m_file.write("\xEF\xBB\xBF") < 0)
        throw cannotWrite();
}

void CsvFile::put(const QStringList &fields)
{
    if (m_file.write(csv::line(fields).toUtf8()) < 0)
        throw cannotWrite();
}

void CsvFile::commit()
{
    if (!m_file.commit())
        throw cannotWrite();
}

Failure CsvFile::cannotWrite() const
{
    return Failure(QCoreApplication::translate("CsvFile", "无法写入文件 %1：%2")
                       .arg(QDir::toNativeSeparators(m_path), m_file.errorString()));
}

} // namespace corvane
