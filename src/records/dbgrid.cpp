#include "records/dbgrid.h"

#include "records/datasource.h"

namespace corvane {

DBGrid::DBGrid(DataSource *source, QWidget *parent)
    : RowGrid(parent), m_source(source), m_model(new DatasetModel(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setRowMarkersShown(true);
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
