#include "core/customerimport.h"

#include "core/csv.h"
#include "core/customercolumns.h"
#include "platform/failure.h"
#include "platform/textencoding.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace corvane {

namespace {

// Lines listed per reason in the summary; a longer list would not fit the box.
constexpr qsizetype ListedLines = 10;

QString lineList(const QList<int> &lines)
{
    QStringList shown;
    for (qsizetype i = 0; i < std::min(lines.size(), ListedLines); ++i)
        shown.append(QString::number(lines.at(i)));
    QString text = shown.join(QStringLiteral("、"));
    if (lines.size() > ListedLines)
        text += QStringLiteral(" …");
    return text;
}

} // namespace

CustomerImport CustomerImport::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(tr("无法读取文件 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(tr("无法读取文件 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString()));
    return fromBytes(std::move(bytes));
}

CustomerImport CustomerImport::fromBytes(QByteArray bytes)
{
    if (bytes.contains('\0'))
        throw Failure(tr("这不是一个文本格式的客户文件，未导入任何客户。"));
    const TextEncoding encoding = TextEncoding::detect(bytes);
    const QString text = encoding.decode(bytes);
    csv::Table table = csv::parse(text);
    if (table.unclosedQuoteLine > 0)
        throw Failure(
            tr("文件第 %1 行的引号没有结束，文件可能已损坏，未导入任何客户。").arg(table.unclosedQuoteLine));
    if (table.records.isEmpty() || table.records.first().malformed)
        throw Failure(tr("文件的第一行应为各列的标题，未导入任何客户。"));

    CustomerImport import;
    import.m_headings = table.records.takeFirst().fields;
    for (const QString &heading : import.m_headings)
        import.m_mapping.append(CustomerColumns::fieldOfHeading(heading));
    const qsizetype codeColumn = import.m_mapping.indexOf(CustomerColumns::CodeField);
    if (codeColumn < 0)
        throw Failure(tr("文件的标题行中没有“客户编号”一列，未导入任何客户。"));

    for (const csv::Record &record : std::as_const(table.records)) {
        if (record.malformed || record.fields.size() != import.m_headings.size()) {
            import.m_skippedOnReading.append({record.line, SkipReason::Unparsable});
            continue;
        }
        if (record.fields.at(codeColumn).trimmed().isEmpty()) {
            import.m_skippedOnReading.append({record.line, SkipReason::EmptyCode});
            continue;
        }
        // A column the file has gives a text, empty or not, as its export
        // had it; the fields of the others stay null.
        Customer customer;
        for (qsizetype column = 0; column < record.fields.size(); ++column) {
            if (const std::optional<int> field = import.m_mapping.at(column)) {
                const QString text = csv::unguarded(record.fields.at(column));
                CustomerColumns::field(customer, *field) = text.isNull() ? QStringLiteral("") : text;
            }
        }
        import.m_customers.append(std::move(customer));
        import.m_customerLines.append(record.line);
    }
    return import;
}

CustomerImport::Report CustomerImport::write(CustomerStore &store, const Progress &progress) const
{
    const qsizetype total = m_customers.size();
    const AddedCustomers added =
        store.addCustomers(m_customers, [&](qsizetype done) { return progress(done, total); });
    Report report;
    report.cancelled = added.cancelled;
    if (added.cancelled)
        return report;
    report.added = total - added.codesPresent.size();
    report.skipped = m_skippedOnReading;
    for (const qsizetype index : added.codesPresent)
        report.skipped.append({m_customerLines.at(index), SkipReason::CodePresent});
    std::sort(report.skipped.begin(), report.skipped.end(),
              [](const Skip &a, const Skip &b) { return a.line < b.line; });
    return report;
}

QString CustomerImport::summary(const Report &report)
{
    if (report.cancelled)
        return tr("导入已取消，未导入任何客户。");
    QString text = tr("已导入 %1 个客户，跳过 %2 行。").arg(report.added).arg(report.skipped.size());
    const std::pair<SkipReason, QString> reasons[] = {
        {SkipReason::CodePresent, tr("客户编号已存在")},
        {SkipReason::EmptyCode, tr("客户编号为空")},
        {SkipReason::Unparsable, tr("无法识别的行")},
    };
    for (const auto &[reason, caption] : reasons) {
        QList<int> lines;
        for (const Skip &skip : report.skipped) {
            if (skip.reason == reason)
                lines.append(skip.line);
        }
        if (!lines.isEmpty())
            text += QLatin1Char('\n') +
                    tr("%1（%2 行）：第 %3 行").arg(caption).arg(lines.size()).arg(lineList(lines));
    }
    return text;
}

} // namespace corvane
