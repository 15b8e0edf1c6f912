#include "records/sqltext.h"

#include <QStringList>

namespace corvane {

QString sqlText(const QString &value)
{
    // SQLite stops reading a statement at a NUL, so a NUL cannot sit inside a
    // literal: the value is cut there and the NULs are concatenated back in.
    const QStringList pieces = value.split(QChar(u'\0'));
    QString literal;
    literal.reserve(value.size() + 2);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            literal += QStringLiteral("||char(0)||");
        QString piece = pieces[i];
        literal +=
            QLatin1Char('\'') + piece.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    }
    return literal;
}

} // namespace corvane
