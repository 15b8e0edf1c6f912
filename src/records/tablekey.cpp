#include "records/tablekey.h"

#include "platform/failure.h"
#include "records/statement.h"

#include <QRegularExpression>

namespace corvane {

TableKey tableKey(sqlite3 *db, const QString &selectSql, const QStringList &fields)
{
    static const QRegularExpression from(
        QStringLiteral(R"(^\s*select\b.*?\bfrom\s+([A-Za-z_]\w*)\s*(?:(?:where|order|limit)\b.*)?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = from.match(selectSql);
    const QString insufficient =
        QStringLiteral("Insufficient key column information for updating or refreshing");
    if (!match.hasMatch())
        throw Failure(insufficient);
    const TableKey result = tableKeyOf(db, match.captured(1));
    if (result.key.isEmpty() || !fields.contains(result.key, Qt::CaseInsensitive))
        throw Failure(insufficient);
    return result;
}

TableKey tableKeyOf(sqlite3 *db, const QString &table)
{
    TableKey result;
    result.table = table;
    Statement info(db, QStringLiteral("PRAGMA table_info(") + sqlName(table) + QLatin1Char(')'));
    int keys = 0;
    QString integerKey;
    while (info.step()) {
        const QString name = QString::fromUtf8(info.column(1).value_or(QByteArrayView()));
        const QString type = QString::fromUtf8(info.column(2).value_or(QByteArrayView()));
        result.columns.append(name);
        if (info.column(5).value_or(QByteArrayView("0")) != "0") {
            ++keys;
            if (type.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
                integerKey = name;
        }
    }
    if (keys == 1)
        result.key = integerKey;
    return result;
}

QString sqlName(const QString &name)
{
    QString quoted = name;
    return QLatin1Char('"') + quoted.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace corvane
