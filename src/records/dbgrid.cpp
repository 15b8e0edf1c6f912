#include "records/dbgrid.h"

#include "records/datasource.h"

#include <QHeaderView>

namespace corvane {

DBGrid::DBGrid(DataSource *source, QWidget *parent)
    : QTableView(parent), m_source(source), m_model(new DatasetModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // Fixed row heights: with a million rows the view must not measure each one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(m_source, &DataSource::datasetChanged, this,
            [this] { m_model->setDataset(m_source->dataset()); });
    m_model->setDataset(m_source->dataset());
}

void DBGrid::addColumn(const QString &field, const QString &title, int width)
{
    m_model->addColumn({field, title});
    setColumnWidth(int(m_model->columns().size()) - 1, width);
}

} // namespace corvane
