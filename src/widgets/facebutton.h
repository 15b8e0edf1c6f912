#pragma once

#include "widgets/facedrawing.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QMenu;
class QShortcut;
class QTimer;

namespace corvane {

// A flat, self-painted push button: a one-pixel border, a face that changes
// colour while hot or pressed, an optional glyph strip of up to four images,
// optional latching in a group and optional see-through modes.
class FaceButton : public QWidget
{
    Q_OBJECT

public:
    static constexpr TColor DefaultColor = 14805739;        // $E1EAEB
    static constexpr TColor DefaultColorFocused = 14805739; // $E1EAEB
    static constexpr TColor DefaultColorDown = 12965593;    // $C5D6D9
    static constexpr TColor DefaultColorBorder = 8623776;   // $8396A0
    static constexpr TColor DefaultColorHighLight = 16777215;
    static constexpr TColor DefaultColorShadow = 0;
    static constexpr int HotTimerInterval = 100;

    explicit FaceButton(QWidget *parent = nullptr);
    ~FaceButton() override;

    TTransparentMode transparentMode() const { return m_transparentMode; }
    void setTransparentMode(TTransparentMode mode);
    bool isDefault() const { return m_default; }
    void setDefault(bool on);
    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool on);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool on);
    TColor colorFocused() const { return m_colorFocused; }
    void setColorFocused(TColor color);
    TColor colorDown() const { return m_colorDown; }
    void setColorDown(TColor color);
    TColor colorBorder() const { return m_colorBorder; }
    void setColorBorder(TColor color);
    TColor colorHighLight() const { return m_colorHighLight; }
    void setColorHighLight(TColor color);
    TColor colorShadow() const { return m_colorShadow; }
    void setColorShadow(TColor color);

    TAdvColors advColorFocused() const { return m_advColorFocused; }
    void setAdvColorFocused(TAdvColors amount);
    TAdvColors advColorDown() const { return m_advColorDown; }
    void setAdvColorDown(TAdvColors amount);
    TAdvColors advColorBorder() const { return m_advColorBorder; }
    void setAdvColorBorder(TAdvColors amount);
    bool useAdvColors() const { return m_useAdvColors; }
    void setUseAdvColors(bool on);

    int groupIndex() const { return m_groupIndex; }
    void setGroupIndex(int index);
    bool isDown() const { return m_down; }
    void setDown(bool down);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QImage glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph);
    TButtonLayout layout() const { return m_layout; }
    void setLayout(TButtonLayout layout);
    int margin() const { return m_margin; }
    void setMargin(int margin);
    TNumGlyphs numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(TNumGlyphs count);
    int spacing() const { return m_spacing; }
    void setSpacing(int spacing);
    bool tabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void setTabStop(bool on);
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }
    void setPopupMenu(QMenu *menu);

    FaceButtonState state() const { return m_state; }
    bool isHot() const { return m_hot; }
    bool isDragging() const { return m_dragging; }
    QPoint glyphOrigin() const { return m_glyphOrigin; }
    QRect captionRect() const { return m_captionRect; }

    // The click of the rules: modal result to the owning dialog, then clicked().
    void click();
    // Group notification from a sibling that latched or changed its group settings.
    void GroupPressed(int groupIndex, FaceButton *sender);

    static int LiveButtonCount();
    static FaceButton *HotButton();
    static QTimer *HotTimer();
    // The topmost widget under the pointer, disabled ones included.
    static QWidget *widgetUnderPointer();

Q_SIGNALS:
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseMove(Qt::KeyboardModifiers modifiers, const QPoint &pos);
    void mouseEnter();
    void mouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void EnterHot();
    void LeaveHot();
    void ReleaseHotTimer();
    void RefreshHot();
    void HotTimerTick();
    void UpdateAdvColors();
    void NotifyGroup();
    void AcceleratorTyped();
    void followParentColor();
    void updateAccelerator();
    void normaliseState();
    bool inside(const QPoint &pos) const;
    TColor faceColor() const;
    void paintFrame(QPainter &painter);
    void paintGlyph(QPainter &painter);
    void paintCaption(QPainter &painter);

    TTransparentMode m_transparentMode = tmNone;
    bool m_default = false;
    bool m_allowAllUp = false;
    TColor m_color = DefaultColor;
    bool m_parentColor = true;
    TColor m_colorFocused = DefaultColorFocused;
    TColor m_colorDown = DefaultColorDown;
    TColor m_colorBorder = DefaultColorBorder;
    TColor m_colorHighLight = DefaultColorHighLight;
    TColor m_colorShadow = DefaultColorShadow;
    TAdvColors m_advColorFocused = 10;
    TAdvColors m_advColorDown = 10;
    TAdvColors m_advColorBorder = 50;
    bool m_useAdvColors = false;
    int m_groupIndex = 0;
    bool m_down = false;
    QString m_caption;
    QImage m_glyph;
    TButtonLayout m_layout = blGlyphTop;
    int m_margin = -1;
    TNumGlyphs m_numGlyphs = 1;
    int m_spacing = 4;
    int m_modalResult = 0;
    QPointer<QMenu> m_popupMenu;
    QShortcut *m_accelerator = nullptr;

    FaceButtonState m_state = fbsUp;
    bool m_hot = false;
    bool m_dragging = false;
    QPoint m_glyphOrigin;
    QRect m_captionRect;
};

} // namespace corvane
