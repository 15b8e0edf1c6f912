#pragma once

#include <QFont>

namespace corvane {

// "宋体" with a character height of 12 pixels: the font of the customer windows.
inline QFont songTi12()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

} // namespace corvane
