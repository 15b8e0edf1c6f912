#pragma once

#include <QHash>
#include <QPointer>
#include <QProxyStyle>

namespace corvane {

// A menu's owner-draw mode. Qt measures and draws menu items through the
// menu widget's style, so owner-draw mode sets this proxy as the style of
// that one QMenu or QMenuBar: it hands an item to the measure and draw events
// kept on its QAction (menuitemhandler.h) and leaves items without them, and
// everything else, to the style the menu had. A style per menu rather than
// one for the whole application keeps every other widget untouched, and
// keeping the events on the QAction lets an item carry its own handler,
// which the skin keeps unless told to override it.
class OwnerDrawMenuStyle : public QProxyStyle
{
    Q_OBJECT
public:
    static void setOwnerDraw(QWidget *menu, bool on);
    static bool isOwnerDraw(const QWidget *menu);
    // Makes the menu measure and draw its items again.
    static void refresh(QWidget *menu);

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                           const QWidget *widget = nullptr) const override;
    // A menu whose items are owner-drawn has no margins of the platform's
    // between its items and its edge, and a drop-down menu a one-pixel frame
    // that its handler draws, so that no stray strip of the platform's menu
    // background breaks up the icon column or the bar.
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    OwnerDrawMenuStyle() = default;
    static OwnerDrawMenuStyle *instance();

    // The style each owner-drawn menu had set of its own, given back when it
    // leaves owner-draw mode.
    QHash<const QWidget *, QPointer<QStyle>> m_ownStyles;
};

} // namespace corvane
