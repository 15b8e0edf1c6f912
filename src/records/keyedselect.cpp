#include "records/keyedselect.h"

#include <QRegularExpression>

namespace corvane {

std::optional<KeyedSelect> keyedSelect(sqlite3 *db, const QString &sql)
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z_]\w*)(\s+where\b.*)?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression reshaping(
        QStringLiteral(R"(\b(?:union|intersect|except|group|having|window|order|limit)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(sql);
    if (!match.hasMatch())
        return std::nullopt;
    const QString condition = match.captured(2);
    if (condition.contains(reshaping))
        return std::nullopt;
    KeyedSelect select{tableKeyOf(db, match.captured(1)), {}};
    if (select.target.key.isEmpty())
        return std::nullopt;
    select.keysSql = QStringLiteral("select ") + sqlName(select.target.key) + QStringLiteral(" from ") +
                     sqlName(select.target.table) + condition;
    return select;
}

} // namespace corvane
