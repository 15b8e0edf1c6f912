#pragma once

#include <QAbstractItemView>

class QHeaderView;

namespace corvane {

class RowMarkers;

// A read-only grid of rows of one height under a header of columns, selecting
// whole rows. Where a row lies follows from its number alone, so the view
// keeps nothing per row: ten million rows cost what a screenful does. Rows
// scroll one at a time and columns one at a time, as in a table view, and at
// the end of their scrolling the last row rests on the bottom edge and the
// last column on the right one. An optional strip of row markers at the left
// edge stands out on the selected row.
class RowGrid : public QAbstractItemView
{
    Q_OBJECT
public:
    explicit RowGrid(QWidget *parent = nullptr);
    ~RowGrid() override;

    void setModel(QAbstractItemModel *model) override;
    void setSelectionModel(QItemSelectionModel *selectionModel) override;

    QHeaderView *horizontalHeader() const { return m_header; }
    void setColumnWidth(int column, int width);
    int columnWidth(int column) const;
    void setRowHeight(int height);
    int rowHeight() const { return m_rowHeight; }
    void setShowGrid(bool show);
    // On by default, as in a table view.
    void setWordWrap(bool wrap);
    void setRowMarkersShown(bool shown);

    // The row at viewport height y, -1 below the last row.
    int rowAt(int y) const;
    // Where a row's top edge lies in the viewport.
    qint64 rowViewportPosition(int row) const;

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;
    void paintEvent(QPaintEvent *event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

private:
    int rowCount() const;
    int columnCount() const;
    int rowsInViewport() const;
    qint64 contentTop() const;
    int columnAt(int x) const;
    int columnViewportPosition(int column) const;
    QRect rowsRect(int top, int bottom) const;
    void scrollToColumn(int column);
    void alignHeader();
    void paintGrid(QPainter &painter, int firstRow, int lastRow) const;

    QHeaderView *m_header;
    RowMarkers *m_markers;
    int m_rowHeight;
    bool m_showGrid = true;
    bool m_wordWrap = true;
    bool m_updatingGeometries = false;
};

} // namespace corvane
