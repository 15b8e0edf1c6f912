#include "records/rowmarkers.h"

#include "records/rowgrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace corvane {

RowMarkers::RowMarkers(RowGrid &grid) : QWidget(&grid), m_grid(grid)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
}

void RowMarkers::setHeaderHeight(int height)
{
    m_headerHeight = height;
    update();
}

// As wide as an empty header cell: the strip shows where the rows are, not
// what they hold.
QSize RowMarkers::sizeHint() const
{
    QStyleOptionHeader option;
    option.initFrom(this);
    option.orientation = Qt::Vertical;
    return style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
}

void RowMarkers::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionHeader corner;
    corner.initFrom(this);
    corner.state |= QStyle::State_Raised;
    corner.position = QStyleOptionHeader::OnlyOneSection;
    corner.rect = QRect(0, 0, width(), m_headerHeight);
    style()->drawControl(QStyle::CE_Header, &corner, &painter, this);

    const QAbstractItemModel *model = m_grid.model();
    if (!model)
        return;
    const int rows = model->rowCount(m_grid.rootIndex());
    const int height = m_grid.rowHeight();
    const int first = std::max(0, m_grid.rowAt(0));
    painter.setClipRect(0, m_headerHeight, width(), this->height() - m_headerHeight);
    for (int row = first, top = m_headerHeight + int(m_grid.rowViewportPosition(first));
         row < rows && top < this->height(); ++row, top += height) {
        QStyleOptionHeader marker;
        marker.initFrom(this);
        marker.orientation = Qt::Vertical;
        marker.section = row;
        marker.position = rows == 1         ? QStyleOptionHeader::OnlyOneSection
                          : row == 0        ? QStyleOptionHeader::Beginning
                          : row == rows - 1 ? QStyleOptionHeader::End
                                            : QStyleOptionHeader::Middle;
        if (m_grid.selectionModel() && m_grid.selectionModel()->isRowSelected(row, m_grid.rootIndex()))
            marker.state |= QStyle::State_On | QStyle::State_Sunken;
        marker.rect = QRect(0, top, width(), height);
        style()->drawControl(QStyle::CE_Header, &marker, &painter, this);
    }
}

void RowMarkers::mousePressEvent(QMouseEvent *event)
{
    const int row = m_grid.rowAt(event->position().toPoint().y() - m_headerHeight);
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    const int column = std::max(0, m_grid.currentIndex().column());
    m_grid.setCurrentIndex(m_grid.model()->index(row, column, m_grid.rootIndex()));
}

} // namespace corvane
