#pragma once

#include <QWidget>

namespace corvane {

class RowGrid;

// The strip along a grid's left edge: an empty header cell per row in view,
// pressed in on the selected row so the eye finds it, and a blank cell in the
// corner above. Pressing a row's cell selects that row.
class RowMarkers : public QWidget
{
    Q_OBJECT
public:
    explicit RowMarkers(RowGrid &grid);

    void setHeaderHeight(int height);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    RowGrid &m_grid;
    int m_headerHeight = 0;
};

} // namespace corvane
