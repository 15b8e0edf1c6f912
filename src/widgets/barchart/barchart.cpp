#include "widgets/barchart/barchart.h"

#include "widgets/drawing/canvas.h"
#include "widgets/drawing/colors.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr int Margin = 8;
constexpr int Swatch = 10;
constexpr int AxisSteps = 5;
constexpr int TickLength = 4;

qint64 totalOf(const ChartBar &bar)
{
    qint64 total = 0;
    for (qint64 figure : bar.figures)
        total += figure;
    return total;
}

} // namespace

qint64 roundStep(qint64 top, int steps)
{
    for (qint64 power = 1;; power *= 10) {
        for (qint64 factor : {1, 2, 5}) {
            if (factor * power * steps >= top)
                return factor * power;
        }
    }
}

struct BarChart::Frame
{
    QRect plot;      // the area of the bars, the figure axis on its left edge
    qint64 step = 1; // between two lines of the figure axis
    qint64 top = 1;  // the figure at the plot's top edge
    double slot = 0; // the width each bar has, gap included
    int captionEvery = 1;
};

BarChart::BarChart(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void BarChart::setTitle(const QString &title)
{
    m_title = title;
    update();
}

void BarChart::setSeries(std::vector<ChartSeries> series)
{
    m_series = std::move(series);
    update();
}

void BarChart::setBars(std::vector<ChartBar> bars)
{
    m_bars = std::move(bars);
    update();
}

void BarChart::setEmptyText(const QString &text)
{
    m_emptyText = text;
    update();
}

bool BarChart::isEmpty() const
{
    return std::none_of(m_bars.begin(), m_bars.end(), [](const ChartBar &bar) { return totalOf(bar) > 0; });
}

QSize BarChart::sizeHint() const
{
    return {640, 220};
}

QSize BarChart::minimumSizeHint() const
{
    return {320, 140};
}

BarChart::Frame BarChart::frame() const
{
    const QFontMetrics metrics = fontMetrics();
    Frame frame;
    qint64 highest = 0;
    for (const ChartBar &bar : m_bars)
        highest = std::max(highest, totalOf(bar));
    frame.step = roundStep(std::max<qint64>(highest, 1), AxisSteps);
    frame.top = (std::max<qint64>(highest, 1) + frame.step - 1) / frame.step * frame.step;
    const int figureWidth = metrics.horizontalAdvance(QString::number(frame.top));
    const int lineHeight = metrics.height();
    frame.plot =
        QRect(QPoint(Margin + figureWidth + TickLength + 2, Margin + lineHeight + Margin + lineHeight / 2),
              QPoint(width() - Margin - 1, height() - Margin - lineHeight - TickLength - 1));
    if (!m_bars.empty()) {
        frame.slot = double(frame.plot.width()) / double(m_bars.size());
        int widest = 0;
        for (const ChartBar &bar : m_bars)
            widest = std::max(widest, metrics.horizontalAdvance(bar.caption));
        frame.captionEvery = std::max(1, int(std::ceil((widest + Margin) / std::max(frame.slot, 1.0))));
    }
    return frame;
}

int BarChart::barAt(const QPoint &point) const
{
    const Frame f = frame();
    if (m_bars.empty() || !f.plot.adjusted(0, 0, 1, 1).contains(point))
        return -1;
    return std::min(int(m_bars.size()) - 1, int((point.x() - f.plot.left()) / f.slot));
}

QString BarChart::toolTipAt(const QPoint &point) const
{
    if (isEmpty())
        return {};
    const int index = barAt(point);
    if (index < 0)
        return {};
    const ChartBar &bar = m_bars[std::size_t(index)];
    QStringList lines{bar.heading.isEmpty() ? bar.caption : bar.heading};
    for (std::size_t i = 0; i < m_series.size() && i < bar.figures.size(); ++i)
        lines.append(tr("%1：%2").arg(m_series[i].name).arg(bar.figures[i]));
    if (m_series.size() > 1)
        lines.append(tr("合计：%1").arg(totalOf(bar)));
    return lines.join(QLatin1Char('\n'));
}

bool BarChart::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto *help = static_cast<QHelpEvent *>(event);
    const QString tip = toolTipAt(help->pos());
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, this);
    return true;
}

void BarChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor ink = palette().color(QPalette::WindowText);
    const QColor axis = SkinColor(SystemColor::BtnShadow).resolved();
    const QColor grid = blendToWhite(SkinColor(SystemColor::BtnShadow), 70);
    painter.fillRect(rect(), widgetBackground(this));
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = metrics.height();

    QFont titleFont = font();
    titleFont.setBold(true);
    painter.setFont(titleFont);
    painter.setPen(ink);
    painter.drawText(QRect(Margin, Margin, width() - 2 * Margin, lineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, m_title);
    painter.setFont(font());
    // The legend to the right, in the series' order.
    int x = width() - Margin;
    for (auto series = m_series.rbegin(); series != m_series.rend(); ++series) {
        const int textWidth = metrics.horizontalAdvance(series->name);
        x -= textWidth;
        painter.drawText(QRect(x, Margin, textWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         series->name);
        x -= Swatch + 4;
        const int swatchTop = Margin + (lineHeight - Swatch) / 2;
        rectangleBox(painter, {x, swatchTop, x + Swatch, swatchTop + Swatch}, series->colour.darker(130),
                     series->colour);
        x -= 2 * Margin;
    }

    if (isEmpty()) {
        painter.setPen(ink);
        painter.drawText(rect().adjusted(Margin, Margin + lineHeight, -Margin, -Margin), Qt::AlignCenter,
                         m_emptyText);
        return;
    }

    const Frame f = frame();
    const auto yOf = [&](qint64 figure) {
        return f.plot.bottom() - int(std::lround(double(figure) * f.plot.height() / double(f.top)));
    };
    for (qint64 figure = 0; figure <= f.top; figure += f.step) {
        const int y = yOf(figure);
        if (figure > 0)
            fillBox(painter, {f.plot.left() + 1, y, f.plot.right() + 1, y + 1}, grid);
        fillBox(painter, {f.plot.left() - TickLength, y, f.plot.left(), y + 1}, axis);
        painter.setPen(ink);
        painter.drawText(
            QRect(Margin, y - lineHeight / 2, f.plot.left() - TickLength - 2 - Margin, lineHeight),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(figure));
    }

    const int barWidth = std::max(1, int(f.slot * 0.7));
    for (std::size_t i = 0; i < m_bars.size(); ++i) {
        const ChartBar &bar = m_bars[i];
        const int left = f.plot.left() + int(std::lround(f.slot * double(i) + (f.slot - barWidth) / 2));
        qint64 below = 0;
        for (std::size_t s = 0; s < bar.figures.size() && s < m_series.size(); ++s) {
            if (bar.figures[s] <= 0)
                continue;
            const int bottom = yOf(below);
            below += bar.figures[s];
            fillBox(painter, {left, yOf(below), left + barWidth, bottom}, m_series[s].colour);
        }
        if (int(i) % f.captionEvery == 0) {
            const int centre = left + barWidth / 2;
            fillBox(painter, {centre, f.plot.bottom() + 1, centre + 1, f.plot.bottom() + 1 + TickLength},
                    axis);
            const int captionWidth = int(f.slot * f.captionEvery);
            painter.setPen(ink);
            painter.drawText(
                QRect(centre - captionWidth / 2, f.plot.bottom() + TickLength + 1, captionWidth, lineHeight),
                Qt::AlignHCenter | Qt::AlignTop, bar.caption);
        }
    }
    // The axes over the bars' feet.
    fillBox(painter, {f.plot.left(), f.plot.top(), f.plot.left() + 1, f.plot.bottom() + 1}, axis);
    fillBox(painter, {f.plot.left(), f.plot.bottom(), f.plot.right() + 1, f.plot.bottom() + 1}, axis);
}

} // namespace corvane
