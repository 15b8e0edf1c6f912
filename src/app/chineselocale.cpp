#include "app/chineselocale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace corvane {

ChineseLocale::ChineseLocale()
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    // Without the translations installed Qt's texts stay English; nothing else
    // depends on them.
    if (m_qtTexts.load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTexts);
}

} // namespace corvane
