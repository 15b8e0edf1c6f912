#pragma once

#include "widgets/menucolors.h"

namespace corvane {

// The colour properties of the skin, as set.
struct SkinColors
{
    SkinColor Color = SystemColor::BtnFace;
    SkinColor IconBackColor = SystemColor::BtnFace;
    SkinColor MenuBarColor = SystemColor::BtnFace;
    SkinColor SelectColor = SystemColor::Highlight;
    SkinColor SelectBorderColor = SystemColor::Highlight;
    SkinColor SelectFontColor = SystemColor::MenuText;
    SkinColor DisabledColor = SystemColor::InactiveCaption;
    SkinColor SeparatorColor = SystemColor::BtnFace;
    SkinColor CheckedColor = SystemColor::Highlight;
};

// The colours one drawing uses, worked out afresh from the properties (and
// the system colours) at its start.
struct WorkingColors
{
    bool DeepColor = true;
    QColor Color;
    QColor IconBackColor;
    QColor SelectColor;
    QColor SelectBorderColor;
    QColor SelectFontColor;
    QColor MenuBarColor;
    QColor DisabledColor;
    QColor SeparatorColor;
    QColor CheckedColor;
    QColor BoxFill;
    QColor BoxFillSelected;
    QColor PopupFrameColor;
    QColor PopupShadowColor;
};

// deepColor: the device shows at least 16 bits per pixel.
WorkingColors computeWorkingColors(const SkinColors &properties, bool useSystemColors, bool deepColor);

} // namespace corvane
