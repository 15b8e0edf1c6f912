#include "records/rowgrid.h"

#include "records/rowmarkers.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <climits>

namespace corvane {

RowGrid::RowGrid(QWidget *parent)
    : QAbstractItemView(parent), m_header(new QHeaderView(Qt::Horizontal, this)),
      m_markers(new RowMarkers(*this)), m_rowHeight(fontMetrics().height() + 4)
{
    m_header->setSectionsClickable(true);
    m_header->setHighlightSections(true);
    m_markers->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
    connect(m_header, &QHeaderView::geometriesChanged, this, &RowGrid::updateGeometries);
}

// The header outlives this part of the grid while the widget is torn down;
// what it reports then must not reach it.
RowGrid::~RowGrid()
{
    disconnect(m_header, nullptr, this, nullptr);
}

void RowGrid::setModel(QAbstractItemModel *model)
{
    m_header->setModel(model);
    QAbstractItemView::setModel(model);
}

void RowGrid::setSelectionModel(QItemSelectionModel *selectionModel)
{
    // The header marks the columns of the selected row, as a table's does.
    m_header->setSelectionModel(selectionModel);
    QAbstractItemView::setSelectionModel(selectionModel);
}

void RowGrid::setColumnWidth(int column, int width)
{
    m_header->resizeSection(column, width);
}

int RowGrid::columnWidth(int column) const
{
    return m_header->sectionSize(column);
}

void RowGrid::setRowHeight(int height)
{
    m_rowHeight = std::max(1, height);
    updateGeometries();
    viewport()->update();
}

void RowGrid::setShowGrid(bool show)
{
    m_showGrid = show;
    viewport()->update();
}

void RowGrid::setWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    viewport()->update();
}

void RowGrid::setRowMarkersShown(bool shown)
{
    m_markers->setVisible(shown);
    updateGeometries();
}

// How far the rows are scrolled, in pixels: a whole number of rows, except at
// the end, where the last row rests on the bottom edge.
qint64 RowGrid::contentTop() const
{
    const QScrollBar *bar = verticalScrollBar();
    if (bar->value() > 0 && bar->value() == bar->maximum())
        return std::max<qint64>(0, qint64(rowCount()) * m_rowHeight - viewport()->height());
    return qint64(bar->value()) * m_rowHeight;
}

int RowGrid::rowAt(int y) const
{
    if (y < 0)
        return -1;
    const qint64 row = (contentTop() + y) / m_rowHeight;
    return row < rowCount() ? int(row) : -1;
}

qint64 RowGrid::rowViewportPosition(int row) const
{
    return qint64(row) * m_rowHeight - contentTop();
}

int RowGrid::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int RowGrid::columnCount() const
{
    return model() ? model()->columnCount(rootIndex()) : 0;
}

// Rows wholly inside the viewport; at least one, so a tiny viewport still moves.
int RowGrid::rowsInViewport() const
{
    return std::max(1, viewport()->height() / m_rowHeight);
}

int RowGrid::columnAt(int x) const
{
    return m_header->logicalIndexAt(x);
}

int RowGrid::columnViewportPosition(int column) const
{
    return m_header->sectionViewportPosition(column);
}

QRect RowGrid::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != model())
        return {};
    // Rows far off screen get no rectangle: their position need not fit an int.
    const qint64 top = rowViewportPosition(index.row());
    if (top < -m_rowHeight || top > viewport()->height())
        return {};
    const int grid = m_showGrid ? 1 : 0;
    return {columnViewportPosition(index.column()), int(top), columnWidth(index.column()) - grid,
            m_rowHeight - grid};
}

QModelIndex RowGrid::indexAt(const QPoint &point) const
{
    const int row = rowAt(point.y());
    const int column = columnAt(point.x());
    if (row < 0 || column < 0)
        return {};
    return model()->index(row, column, rootIndex());
}

void RowGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model())
        return;
    // Right after the rows change the scroll range may not have caught up.
    updateGeometries();
    const int row = index.row();
    const int visible = rowsInViewport();
    const int top = verticalScrollBar()->value();
    int newTop = top;
    switch (hint) {
    case PositionAtTop:
        newTop = row;
        break;
    case PositionAtBottom:
        newTop = row - visible + 1;
        break;
    case PositionAtCenter:
        newTop = row - visible / 2;
        break;
    case EnsureVisible:
        if (row < top)
            newTop = row;
        else if (row >= top + visible)
            newTop = row - visible + 1;
        break;
    }
    verticalScrollBar()->setValue(newTop);
    scrollToColumn(index.column());
}

void RowGrid::scrollToColumn(int column)
{
    const int first = horizontalScrollBar()->value();
    if (column < first) {
        horizontalScrollBar()->setValue(column);
        return;
    }
    // Scroll right until the column's right edge is inside the viewport.
    const int right = m_header->sectionPosition(column) + columnWidth(column);
    int newFirst = first;
    while (newFirst < column && right - m_header->sectionPosition(newFirst) > viewport()->width())
        ++newFirst;
    horizontalScrollBar()->setValue(newFirst);
}

QModelIndex RowGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows == 0 || columns == 0)
        return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return model()->index(0, 0, rootIndex());
    int row = current.row();
    int column = current.column();
    const bool control = modifiers & Qt::ControlModifier;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MoveLeft:
        --column;
        break;
    case MoveRight:
        ++column;
        break;
    case MovePageUp:
        row -= rowsInViewport();
        break;
    case MovePageDown:
        row += rowsInViewport();
        break;
    case MoveHome:
        column = 0;
        if (control)
            row = 0;
        break;
    case MoveEnd:
        column = columns - 1;
        if (control)
            row = rows - 1;
        break;
    }
    return model()->index(std::clamp(row, 0, rows - 1), std::clamp(column, 0, columns - 1), rootIndex());
}

int RowGrid::horizontalOffset() const
{
    return m_header->offset();
}

int RowGrid::verticalOffset() const
{
    return int(std::min<qint64>(contentTop(), INT_MAX));
}

bool RowGrid::isIndexHidden(const QModelIndex &) const
{
    return false;
}

void RowGrid::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows == 0 || columns == 0)
        return;
    const QRect area = rect.normalized();
    const auto rowNear = [&](int y) {
        const int row = rowAt(std::max(0, y));
        return row < 0 ? rows - 1 : row;
    };
    const int top = rowNear(area.top());
    const int bottom = rowNear(area.bottom());
    const QItemSelection rowsSelected(model()->index(top, 0, rootIndex()),
                                      model()->index(bottom, columns - 1, rootIndex()));
    selectionModel()->select(rowsSelected, command);
}

QRect RowGrid::rowsRect(int top, int bottom) const
{
    const qint64 first = std::max<qint64>(rowViewportPosition(top), -m_rowHeight);
    const qint64 last =
        std::min<qint64>(rowViewportPosition(bottom) + m_rowHeight, viewport()->height() + m_rowHeight);
    if (last <= first)
        return {};
    return {0, int(first), viewport()->width(), int(last - first)};
}

QRegion RowGrid::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    for (const QItemSelectionRange &range : selection)
        region += rowsRect(range.top(), range.bottom());
    return region;
}

void RowGrid::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected);
    m_markers->update();
}

void RowGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const int rows = rowCount();
    const int columns = columnCount();
    if (rows == 0 || columns == 0)
        return;
    const QRect dirty = event->rect();
    const int firstRow = rowAt(std::max(0, dirty.top()));
    if (firstRow < 0)
        return;
    int lastRow = rowAt(dirty.bottom());
    if (lastRow < 0)
        lastRow = rows - 1;
    const int firstColumn = std::max(0, columnAt(dirty.left()));
    int lastColumn = columnAt(dirty.right());
    if (lastColumn < 0)
        lastColumn = columns - 1;

    QStyleOptionViewItem base;
    initViewItemOption(&base);
    base.showDecorationSelected = true;
    base.features.setFlag(QStyleOptionViewItem::WrapText, m_wordWrap);
    const bool focused = hasFocus() || viewport()->hasFocus();
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const QModelIndex index = model()->index(row, column, rootIndex());
            QStyleOptionViewItem option = base;
            option.rect = visualRect(index);
            if (selectionModel()->isSelected(index))
                option.state |= QStyle::State_Selected;
            if (focused && index == currentIndex())
                option.state |= QStyle::State_HasFocus;
            style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
            itemDelegateForIndex(index)->paint(&painter, option, index);
        }
    }
    if (m_showGrid)
        paintGrid(painter, firstRow, lastRow);
}

// Lines along the bottom of each row and the right of each column, reaching
// no further than the last row and column.
void RowGrid::paintGrid(QPainter &painter, int firstRow, int lastRow) const
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const auto gridColor =
        QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    painter.setPen(QPen(gridColor, 0, Qt::SolidLine));
    const int lastColumn = m_header->logicalIndex(m_header->count() - 1);
    const int right =
        std::min(viewport()->width(), columnViewportPosition(lastColumn) + columnWidth(lastColumn)) - 1;
    const int bottom =
        int(std::min<qint64>(viewport()->height(), rowViewportPosition(lastRow) + m_rowHeight)) - 1;
    for (int row = firstRow; row <= lastRow; ++row) {
        const int y = int(rowViewportPosition(row)) + m_rowHeight - 1;
        painter.drawLine(0, y, right, y);
    }
    const int top = int(rowViewportPosition(firstRow));
    for (int column = 0; column < m_header->count(); ++column) {
        const int x = columnViewportPosition(column) + columnWidth(column) - 1;
        if (x >= 0 && x <= right)
            painter.drawLine(x, top, x, bottom);
    }
}

void RowGrid::updateGeometries()
{
    // Setting the margins resizes the viewport, which lands here again.
    if (m_updatingGeometries)
        return;
    m_updatingGeometries = true;
    const int headerHeight = m_header->isHidden() ? 0 : m_header->sizeHint().height();
    const int markersWidth = m_markers->isHidden() || rowCount() == 0 ? 0 : m_markers->sizeHint().width();
    setViewportMargins(markersWidth, headerHeight, 0, 0);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
    m_markers->setGeometry(area.left() - markersWidth, area.top() - headerHeight, markersWidth,
                           area.height() + headerHeight);
    m_markers->setHeaderHeight(headerHeight);

    const int visible = rowsInViewport();
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - visible));
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(visible);

    // Columns scroll until the last one is wholly in view.
    int columnsInView = 0;
    int width = 0;
    for (int visual = m_header->count() - 1; visual >= 0; --visual) {
        width += m_header->sectionSize(m_header->logicalIndex(visual));
        if (width > area.width())
            break;
        ++columnsInView;
    }
    horizontalScrollBar()->setRange(0, std::max(0, m_header->count() - columnsInView));
    horizontalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setPageStep(std::max(1, columnsInView));
    alignHeader();
    m_updatingGeometries = false;
    QAbstractItemView::updateGeometries();
}

// Columns scroll one at a time, except at the end, where the last column
// rests on the right edge.
void RowGrid::alignHeader()
{
    const QScrollBar *bar = horizontalScrollBar();
    if (bar->value() > 0 && bar->value() == bar->maximum())
        m_header->setOffsetToLastSection();
    else
        m_header->setOffsetToSectionPosition(bar->value());
}

// Every scroll repaints the whole viewport: it holds a screenful of rows.
void RowGrid::scrollContentsBy(int, int)
{
    alignHeader();
    viewport()->update();
    m_markers->update();
}

} // namespace corvane
