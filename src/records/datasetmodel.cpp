#include "records/datasetmodel.h"

#include "records/dataset.h"

namespace corvane {

DatasetModel::DatasetModel(QObject *parent) : QAbstractTableModel(parent) {}

void DatasetModel::setDataset(Dataset *dataset)
{
    if (m_dataset)
        disconnect(m_dataset, nullptr, this, nullptr);
    m_dataset = dataset;
    if (m_dataset)
        connect(m_dataset, &Dataset::rowsChanged, this, &DatasetModel::refresh);
    refresh();
}

void DatasetModel::addColumn(const Column &column)
{
    beginResetModel();
    m_columns.append(column);
    m_fieldIndexes.append(m_dataset ? m_dataset->fieldIndex(column.field) : -1);
    endResetModel();
}

const QList<DatasetModel::Column> &DatasetModel::columns() const
{
    return m_columns;
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !m_dataset || index.row() >= m_rows)
        return {};
    const int field = m_fieldIndexes.value(index.column(), -1);
    return field < 0 ? QString() : m_dataset->cellText(index.row(), field);
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_columns.size() ? m_columns[section].title : QString();
    return {};
}

// Rows are re-read from the dataset whenever its rows change; the counts are
// kept here so the view never asks for a row the dataset has just dropped.
void DatasetModel::refresh()
{
    beginResetModel();
    m_rows = m_dataset && m_dataset->isOpen() ? m_dataset->recordCount() : 0;
    for (int i = 0; i < m_columns.size(); ++i)
        m_fieldIndexes[i] = m_dataset ? m_dataset->fieldIndex(m_columns[i].field) : -1;
    endResetModel();
}

} // namespace corvane
