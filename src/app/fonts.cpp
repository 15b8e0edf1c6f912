#include "app/fonts.h"

#include <QFont>
#include <QStringList>

namespace corvane {

void installFontSubstitutions()
{
    const QStringList chinese{QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("Droid Sans Fallback")};
    const QStringList latin = QStringList{QStringLiteral("DejaVu Sans")} + chinese;
    QFont::insertSubstitutions(QStringLiteral("宋体"), chinese);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), chinese);
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), latin);
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), latin);
}

} // namespace corvane
