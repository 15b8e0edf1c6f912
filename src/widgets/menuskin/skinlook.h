#pragma once

#include "widgets/drawing/colors.h"
#include <QFont>

namespace corvane {

// The colour settings of the skin, as set.
struct SkinColors
{
    SkinColor menuColor = SystemColor::BtnFace;
    SkinColor iconBackColor = SystemColor::BtnFace;
    SkinColor menuBarColor = SystemColor::BtnFace;
    SkinColor selectColor = SystemColor::Highlight;
    SkinColor selectBorderColor = SystemColor::Highlight;
    SkinColor selectFontColor = SystemColor::MenuText;
    SkinColor disabledColor = SystemColor::InactiveCaption;
    SkinColor separatorColor = SystemColor::BtnFace;
    SkinColor checkedColor = SystemColor::Highlight;
};

// The colours one drawing uses, worked out afresh from the settings (and
// the system colours) at its start.
struct WorkingColors
{
    bool deepColor = true;
    QColor menuColor;
    QColor iconBackColor;
    QColor selectColor;
    QColor selectBorderColor;
    QColor selectFontColor;
    QColor menuBarColor;
    QColor disabledColor;
    QColor separatorColor;
    QColor checkedColor;
    QColor boxFill;
    QColor boxFillSelected;
    QColor popupFrameColor;
    QColor popupShadowColor;
};

// deepColor: the device shows at least 16 bits per pixel.
WorkingColors computeWorkingColors(const SkinColors &settings, bool useSystemColors, bool deepColor);

// Everything a drawing of the skin reads: the settings that shape the
// drawing and the working colours of this drawing.
struct SkinLook
{
    WorkingColors colors;
    QFont font;
    QColor fontColor;
    SkinColor menuBarSetting = SystemColor::BtnFace; // the menu bar colour as set
    int iconWidth = 24;
    int dimLevel = 30;
    int grayLevel = 10;
    bool drawSelect = true;
    bool gradient = false;
    bool flatMenu = false;
    bool useSystemColors = true;
};

} // namespace corvane
