#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <vector>

namespace corvane {

// One part of every bar, named in the legend.
struct ChartSeries
{
    QString name;
    QColor colour;
};

// A bar: its caption under the axis and one figure per series, stacked from
// the bottom in the series' order.
struct ChartBar
{
    QString caption;
    std::vector<qint64> figures;
    // The tooltip's first line; the caption when empty.
    QString heading;
};

// A chart of stacked bars in the flat skin, drawn by the program itself on
// any system: a title with the legend, a figure axis with round steps, the
// bars' captions as many as fit, and a tooltip giving the figures of the bar
// under the mouse. Everything is drawn in device-independent coordinates,
// so a high-DPI screen gets sharp lines and text rather than a scaled picture.
// With no figure above zero it says so in its place.
class BarChart : public QWidget
{
    Q_OBJECT
public:
    explicit BarChart(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    void setSeries(std::vector<ChartSeries> series);
    void setBars(std::vector<ChartBar> bars);
    // Said in place of the axes when no bar has a figure.
    void setEmptyText(const QString &text);

    bool isEmpty() const;
    // What the tooltip says at `point`: the bar's caption, each part and the
    // total; empty away from the bars.
    QString toolTipAt(const QPoint &point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Frame; // where the parts of the chart stand at the present size
    Frame frame() const;
    int barAt(const QPoint &point) const;

    QString m_title;
    QString m_emptyText;
    std::vector<ChartSeries> m_series;
    std::vector<ChartBar> m_bars;
};

// The axis's step: 1, 2 or 5 times a power of ten, so that `top` needs at
// most `steps` of them.
qint64 roundStep(qint64 top, int steps);

} // namespace corvane
