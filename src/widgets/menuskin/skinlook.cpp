#include "widgets/menuskin/skinlook.h"

namespace corvane {

namespace {

void useSystemColorsDeep(WorkingColors &w)
{
    w.menuColor = blendToWhite(SystemColor::BtnFace, 86);
    w.iconBackColor = blendToWhite(SystemColor::BtnFace, 16);
    w.selectColor = blendToWhite(SystemColor::Highlight, 68);
    w.selectBorderColor = SkinColor(SystemColor::Highlight).resolved();
    w.menuBarColor = SkinColor(SystemColor::BtnFace).resolved();
    w.disabledColor = blendToWhite(SystemColor::BtnShadow, 10);
    w.separatorColor = blendToWhite(SystemColor::BtnShadow, 25);
    w.checkedColor = SkinColor(SystemColor::Highlight).resolved();
    w.boxFill = blendToWhite(SystemColor::Highlight, 80);
    w.boxFillSelected = blendToWhite(SystemColor::Highlight, 50);
}

void useSystemColorsShallow(WorkingColors &w)
{
    const QColor white(255, 255, 255);
    w.menuColor = white;
    w.iconBackColor = SkinColor(SystemColor::BtnFace).resolved();
    w.selectColor = white;
    w.selectBorderColor = SkinColor(SystemColor::Highlight).resolved();
    w.menuBarColor = SkinColor(SystemColor::BtnFace).resolved();
    w.disabledColor = SkinColor(SystemColor::BtnShadow).resolved();
    w.checkedColor = SkinColor(SystemColor::Highlight).resolved();
    w.separatorColor = SkinColor(SystemColor::BtnShadow).resolved();
    w.boxFill = white;
    w.boxFillSelected = white;
}

} // namespace

WorkingColors computeWorkingColors(const SkinColors &p, bool useSystemColors, bool deepColor)
{
    WorkingColors w;
    w.deepColor = deepColor;
    w.menuColor = p.menuColor.resolved();
    w.iconBackColor = p.iconBackColor.resolved();
    if (deepColor) {
        w.selectColor = blendToWhite(p.selectColor, 68);
        w.boxFill = blendToWhite(p.selectColor, 80);
        w.boxFillSelected = blendToWhite(p.selectColor, 50);
        w.popupFrameColor = shadeDown(SystemColor::BtnFace, 90);
        w.popupShadowColor = shadeDown(SystemColor::BtnFace, 76);
    } else {
        w.selectColor = p.selectColor.resolved();
        w.boxFill = QColor(255, 255, 255);
        w.boxFillSelected = QColor(192, 192, 192);
        w.popupFrameColor = SkinColor(SystemColor::BtnShadow).resolved();
        w.popupShadowColor = w.popupFrameColor;
    }
    w.selectBorderColor = p.selectBorderColor.resolved();
    w.selectFontColor = p.selectFontColor.resolved();
    w.menuBarColor = p.menuBarColor.resolved();
    w.disabledColor = p.disabledColor.resolved();
    w.checkedColor = p.checkedColor.resolved();
    w.separatorColor = p.separatorColor.resolved();
    if (useSystemColors) {
        w.selectFontColor = SkinColor(SystemColor::MenuText).resolved();
        if (deepColor)
            useSystemColorsDeep(w);
        else
            useSystemColorsShallow(w);
    }
    return w;
}

} // namespace corvane
