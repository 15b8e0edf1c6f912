#include "records/rowgrid.h"
#include "records/rowmarkers.h"

#include <QAbstractTableModel>
#include <QProxyStyle>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionHeader>
#include <QTest>

using namespace corvane;

namespace {

// As many rows as asked for, each cell naming its row and column; nothing is
// stored, so ten million rows cost nothing.
class CountedRows : public QAbstractTableModel
{
public:
    CountedRows(int rows, int columns) : m_rows(rows), m_columns(columns) {}

    void setRows(int rows)
    {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return QStringLiteral("r%1c%2").arg(index.row()).arg(index.column());
    }

private:
    int m_rows;
    int m_columns;
};

// Notes which rows' markers are drawn pressed in.
class MarkerRecorder : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
        if (element == CE_Header && header && header->orientation == Qt::Vertical &&
            (option->state & State_On))
            marked.append(header->section);
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    mutable QList<int> marked;
};

constexpr int ManyRows = 10'000'000;

struct ShownGrid
{
    ShownGrid(int rows, int columns, bool markers = false) : model(rows, columns)
    {
        grid.setModel(&model);
        grid.setSelectionMode(QAbstractItemView::SingleSelection);
        grid.setRowMarkersShown(markers);
        for (int c = 0; c < columns; ++c)
            grid.setColumnWidth(c, 90);
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
    }

    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : grid.selectionModel()->selectedRows())
            rows.append(index.row());
        return rows;
    }

    bool inView(const QModelIndex &index) const
    {
        const QRect rect = grid.visualRect(index);
        return rect.isValid() && grid.viewport()->rect().contains(rect);
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&grid, key, modifiers); }

    CountedRows model;
    RowGrid grid;
};

} // namespace

class TestRowGrid : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placesAndFindsRowsAnywhereInTenMillion()
    {
        ShownGrid shown(ManyRows, 3);
        RowGrid &grid = shown.grid;
        const QModelIndex last = shown.model.index(ManyRows - 1, 2);
        grid.scrollTo(last);
        QVERIFY(shown.inView(last));
        QCOMPARE(grid.indexAt(grid.visualRect(last).center()), last);
        // The last row rests on the bottom edge: nothing blank is scrolled into view.
        QCOMPARE(grid.rowViewportPosition(ManyRows - 1) + grid.rowHeight(), grid.viewport()->height());
        QCOMPARE(grid.rowAt(grid.viewport()->height() - 1), ManyRows - 1);
        QVERIFY(!grid.visualRect(shown.model.index(0, 0)).isValid());

        const QModelIndex middle = shown.model.index(ManyRows / 2, 1);
        grid.scrollTo(middle, QAbstractItemView::PositionAtTop);
        QCOMPARE(grid.rowAt(0), ManyRows / 2);
        QCOMPARE(grid.indexAt(grid.visualRect(middle).center()), middle);
        QCOMPARE(grid.indexAt(QPoint(grid.visualRect(middle).center().x(), 0)), middle);

        grid.scrollToTop();
        QCOMPARE(grid.rowAt(0), 0);
        grid.scrollToBottom();
        QVERIFY(shown.inView(shown.model.index(ManyRows - 1, 0)));
    }

    void keysMoveTheSelectedRowAndKeepItInView()
    {
        ShownGrid shown(ManyRows, 5);
        RowGrid &grid = shown.grid;
        grid.setFocus();
        grid.setCurrentIndex(shown.model.index(0, 0));
        QCOMPARE(shown.selectedRows(), QList<int>{0});

        shown.press(Qt::Key_Up);
        QCOMPARE(grid.currentIndex().row(), 0);
        shown.press(Qt::Key_Down);
        QCOMPARE(shown.selectedRows(), QList<int>{1});

        const int page = grid.viewport()->height() / grid.rowHeight();
        shown.press(Qt::Key_PageDown);
        QCOMPARE(grid.currentIndex().row(), 1 + page);
        QVERIFY(shown.inView(grid.currentIndex()));

        // Ctrl+End: the last row and, past the right edge, the last column.
        shown.press(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid.currentIndex(), shown.model.index(ManyRows - 1, 4));
        QCOMPARE(shown.selectedRows(), QList<int>{ManyRows - 1});
        QVERIFY(shown.inView(grid.currentIndex()));
        QVERIFY(grid.horizontalScrollBar()->value() > 0);
        // Its right edge (less the grid line) rests on the viewport's.
        QCOMPARE(grid.visualRect(grid.currentIndex()).right() + 2, grid.viewport()->width());

        shown.press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid.currentIndex(), shown.model.index(0, 0));
        QVERIFY(shown.inView(grid.currentIndex()));
        QCOMPARE(grid.horizontalScrollBar()->value(), 0);
    }

    void aClickSelectsTheWholeRowUnderTheMouseOrItsMarker()
    {
        ShownGrid shown(ManyRows, 3, true);
        RowGrid &grid = shown.grid;
        const QPoint secondColumnOfRow2 = grid.visualRect(shown.model.index(2, 1)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, secondColumnOfRow2);
        QCOMPARE(shown.selectedRows(), QList<int>{2});
        QCOMPARE(grid.currentIndex(), shown.model.index(2, 1));

        // Scrolled down, the same point is over another row.
        grid.scrollTo(shown.model.index(1000, 0), QAbstractItemView::PositionAtTop);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, secondColumnOfRow2);
        QCOMPARE(shown.selectedRows(), QList<int>{1002});
        // So is a press on its marker.
        auto *markers = grid.findChild<RowMarkers *>();
        const int header = grid.viewport()->geometry().top() - markers->geometry().top();
        QTest::mouseClick(markers, Qt::LeftButton, {},
                          QPoint(1, header + int(grid.rowViewportPosition(1005)) + 2));
        QCOMPARE(shown.selectedRows(), QList<int>{1005});

        QSignalSpy doubleClicked(&grid, &QAbstractItemView::doubleClicked);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, secondColumnOfRow2);
        QCOMPARE(doubleClicked.size(), 1);
        QCOMPARE(doubleClicked.first().first().toModelIndex().row(), 1002);
    }

    void paintingMarksTheSelectedRowOnly()
    {
        ShownGrid shown(5, 2, true);
        RowGrid &grid = shown.grid;
        auto *markers = grid.findChild<RowMarkers *>();
        QVERIFY(markers && markers->width() > 0);
        MarkerRecorder recorder;
        markers->setStyle(&recorder);
        const auto cellOf = [&](int row) {
            const QImage cell = grid.viewport()->grab(grid.visualRect(shown.model.index(row, 1))).toImage();
            return cell.pixel(cell.width() - 2, 1);
        };
        const auto markedRows = [&] {
            recorder.marked.clear();
            markers->repaint();
            return recorder.marked;
        };

        grid.setCurrentIndex(shown.model.index(1, 0));
        QCOMPARE(markedRows(), QList<int>{1});
        QVERIFY(cellOf(1) != cellOf(3));
        QCOMPARE(cellOf(2), cellOf(3));

        grid.setCurrentIndex(shown.model.index(3, 0));
        QCOMPARE(markedRows(), QList<int>{3});
        QVERIFY(cellOf(3) != cellOf(1));
        QCOMPARE(cellOf(1), cellOf(2));

        // Scrolled so that row 3 is the top one, its marker is still the one.
        shown.model.setRows(400);
        grid.setCurrentIndex(shown.model.index(3, 0));
        grid.scrollTo(shown.model.index(3, 0), QAbstractItemView::PositionAtTop);
        QCOMPARE(grid.rowAt(0), 3);
        QCOMPARE(markedRows(), QList<int>{3});
    }

    void anEmptyGridShowsNoMarkerStrip()
    {
        ShownGrid shown(0, 2, true);
        QCOMPARE(shown.grid.viewport()->geometry().left(), shown.grid.frameWidth());
        QVERIFY(!shown.grid.indexAt(QPoint(5, 5)).isValid());
        QTest::keyClick(&shown.grid, Qt::Key_Down);
        QVERIFY(!shown.grid.currentIndex().isValid());
    }
};

QTEST_MAIN(TestRowGrid)
#include "tst_rowgrid.moc"
