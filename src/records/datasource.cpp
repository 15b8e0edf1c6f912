#include "records/datasource.h"

#include "records/dataset.h"

namespace corvane {

DataSource::DataSource(Dataset *dataset, QObject *parent) : QObject(parent), m_dataset(dataset) {}

Dataset *DataSource::dataset() const
{
    return m_dataset;
}

void DataSource::setDataset(Dataset *dataset)
{
    if (dataset == m_dataset)
        return;
    m_dataset = dataset;
    Q_EMIT datasetChanged();
}

} // namespace corvane
