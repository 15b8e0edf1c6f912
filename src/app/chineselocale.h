#pragma once

#include <QTranslator>

namespace corvane {

// Every window of the program speaks Chinese, so Qt's own texts (the standard
// buttons of message boxes, calendars, edit menus) and the form of dates do
// too, whatever language the system is set to. Made once the application
// object exists and before any window; lives until the windows are gone.
class ChineseLocale
{
public:
    ChineseLocale();

private:
    QTranslator m_qtTexts;
};

} // namespace corvane
