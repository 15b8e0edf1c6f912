#pragma once

#include "widgets/drawing/glyphcaptionlayout.h"
#include "widgets/facebutton/facepainting.h"

#include <QBasicTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>

class QMenu;
class QShortcut;

namespace corvane {

// A flat, self-painted push button: a one-pixel border, a face that changes
// colour while hot or pressed, an optional glyph strip of up to four images,
// optional latching in a group and optional see-through modes.
class FaceButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    static inline const QColor DefaultColor = QColor::fromRgb(0xEBEAE1);
    static inline const QColor DefaultColorFocused = QColor::fromRgb(0xEBEAE1);
    static inline const QColor DefaultColorDown = QColor::fromRgb(0xD9D6C5);
    static inline const QColor DefaultColorBorder = QColor::fromRgb(0xA09683);
    static inline const QColor DefaultColorHighLight = QColor::fromRgb(0xFFFFFF);
    static inline const QColor DefaultColorShadow = QColor::fromRgb(0x000000);

    explicit FaceButton(QWidget *parent = nullptr);

    TransparentMode transparentMode() const { return m_transparentMode; }
    void setTransparentMode(TransparentMode mode);
    bool isDefault() const { return m_default; }
    void setDefault(bool on);
    bool allowAllUp() const { return m_allowAllUp; }
    void setAllowAllUp(bool on);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool on);
    QColor colorFocused() const { return m_colorFocused; }
    void setColorFocused(const QColor &color);
    QColor colorDown() const { return m_colorDown; }
    void setColorDown(const QColor &color);
    QColor colorBorder() const { return m_colorBorder; }
    void setColorBorder(const QColor &color);
    QColor colorHighLight() const { return m_colorHighLight; }
    void setColorHighLight(const QColor &color);
    QColor colorShadow() const { return m_colorShadow; }
    void setColorShadow(const QColor &color);

    int advColorFocused() const { return m_advColorFocused; }
    void setAdvColorFocused(int amount);
    int advColorDown() const { return m_advColorDown; }
    void setAdvColorDown(int amount);
    int advColorBorder() const { return m_advColorBorder; }
    void setAdvColorBorder(int amount);
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
    GlyphPosition layout() const { return m_layout; }
    void setLayout(GlyphPosition layout);
    int margin() const { return m_margin; }
    void setMargin(int margin);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
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
    void groupPressed(int groupIndex, FaceButton *sender);

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
    void timerEvent(QTimerEvent *event) override;

private:
    void enterHot();
    void leaveHot();
    void watchPointer();
    void refreshHot();
    void updateAdvColors();
    void notifyGroup();
    void acceleratorTyped();
    void followParentColor();
    void updateAccelerator();
    void normaliseState();
    bool inside(const QPoint &pos) const;
    QColor faceColor() const;
    void paintFrame(QPainter &painter);
    void paintGlyph(QPainter &painter);
    void paintCaption(QPainter &painter);

    TransparentMode m_transparentMode = TransparentMode::None;
    bool m_default = false;
    bool m_allowAllUp = false;
    QColor m_color = DefaultColor;
    bool m_parentColor = true;
    QColor m_colorFocused = DefaultColorFocused;
    QColor m_colorDown = DefaultColorDown;
    QColor m_colorBorder = DefaultColorBorder;
    QColor m_colorHighLight = DefaultColorHighLight;
    QColor m_colorShadow = DefaultColorShadow;
    int m_advColorFocused = 10;
    int m_advColorDown = 10;
    int m_advColorBorder = 50;
    bool m_useAdvColors = false;
    int m_groupIndex = 0;
    bool m_down = false;
    QString m_caption;
    QImage m_glyph;
    GlyphPosition m_layout = GlyphPosition::Top;
    int m_margin = -1;
    int m_numGlyphs = 1;
    int m_spacing = 4;
    int m_modalResult = 0;
    QPointer<QMenu> m_popupMenu;
    QShortcut *m_accelerator = nullptr;

    FaceButtonState m_state = FaceButtonState::Up;
    bool m_hot = false;
    // Runs only while the pointer has made this button hot; its ticks cool
    // the button once the pointer has gone, even to another program's window.
    QBasicTimer m_hotTimer;
    bool m_dragging = false;
    QPoint m_glyphOrigin;
    QRect m_captionRect;
};

} // namespace corvane
