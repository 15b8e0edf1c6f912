#include "widgets/menuskincolors.h"

namespace corvane {

namespace {

void useSystemColorsDeep(WorkingColors &w)
{
    w.Color = BlendToWhite(SystemColor::BtnFace, 86);
    w.IconBackColor = BlendToWhite(SystemColor::BtnFace, 16);
    w.SelectColor = BlendToWhite(SystemColor::Highlight, 68);
    w.SelectBorderColor = SkinColor(SystemColor::Highlight).resolved();
    w.MenuBarColor = SkinColor(SystemColor::BtnFace).resolved();
    w.DisabledColor = BlendToWhite(SystemColor::BtnShadow, 10);
    w.SeparatorColor = BlendToWhite(SystemColor::BtnShadow, 25);
    w.CheckedColor = SkinColor(SystemColor::Highlight).resolved();
    w.BoxFill = BlendToWhite(SystemColor::Highlight, 80);
    w.BoxFillSelected = BlendToWhite(SystemColor::Highlight, 50);
}

void useSystemColorsShallow(WorkingColors &w)
{
    const QColor white(255, 255, 255);
    w.Color = white;
    w.IconBackColor = SkinColor(SystemColor::BtnFace).resolved();
    w.SelectColor = white;
    w.SelectBorderColor = SkinColor(SystemColor::Highlight).resolved();
    w.MenuBarColor = SkinColor(SystemColor::BtnFace).resolved();
    w.DisabledColor = SkinColor(SystemColor::BtnShadow).resolved();
    w.CheckedColor = SkinColor(SystemColor::Highlight).resolved();
    w.SeparatorColor = SkinColor(SystemColor::BtnShadow).resolved();
    w.BoxFill = white;
    w.BoxFillSelected = white;
}

} // namespace

WorkingColors computeWorkingColors(const SkinColors &p, bool useSystemColors, bool deepColor)
{
    WorkingColors w;
    w.DeepColor = deepColor;
    w.Color = p.Color.resolved();
    w.IconBackColor = p.IconBackColor.resolved();
    if (deepColor) {
        w.SelectColor = BlendToWhite(p.SelectColor, 68);
        w.BoxFill = BlendToWhite(p.SelectColor, 80);
        w.BoxFillSelected = BlendToWhite(p.SelectColor, 50);
        w.PopupFrameColor = ShadeDown(SystemColor::BtnFace, 90);
        w.PopupShadowColor = ShadeDown(SystemColor::BtnFace, 76);
    } else {
        w.SelectColor = p.SelectColor.resolved();
        w.BoxFill = QColor(255, 255, 255);
        w.BoxFillSelected = QColor(192, 192, 192);
        w.PopupFrameColor = SkinColor(SystemColor::BtnShadow).resolved();
        w.PopupShadowColor = w.PopupFrameColor;
    }
    w.SelectBorderColor = p.SelectBorderColor.resolved();
    w.SelectFontColor = p.SelectFontColor.resolved();
    w.MenuBarColor = p.MenuBarColor.resolved();
    w.DisabledColor = p.DisabledColor.resolved();
    w.CheckedColor = p.CheckedColor.resolved();
    w.SeparatorColor = p.SeparatorColor.resolved();
    if (useSystemColors) {
        w.SelectFontColor = SkinColor(SystemColor::MenuText).resolved();
        if (deepColor)
            useSystemColorsDeep(w);
        else
            useSystemColorsShallow(w);
    }
    return w;
}

} // namespace corvane
