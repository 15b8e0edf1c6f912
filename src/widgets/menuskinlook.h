#pragma once

#include "widgets/menuskincolors.h"

#include <QFont>

namespace corvane {

// Everything a drawing of the skin reads: the properties that shape the
// drawing and the working colours of this drawing.
struct SkinLook
{
    WorkingColors colors;
    QFont font;
    QColor fontColor;
    SkinColor menuBarProperty = SystemColor::BtnFace; // the MenuBarColor property itself
    int IconWidth = 24;
    int DimLevel = 30;
    int GrayLevel = 10;
    bool DrawSelect = true;
    bool Gradient = false;
    bool FlatMenu = false;
    bool UseSystemColors = true;
};

} // namespace corvane
