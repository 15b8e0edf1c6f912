#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

namespace corvane {

class Dataset;

// A read-only table model straight over a dataset's rows: nothing is copied, so
// a grid over a million rows costs only what is on screen.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString field;
        QString title;
    };

    explicit DatasetModel(QObject *parent = nullptr);

    void setDataset(Dataset *dataset);
    void addColumn(const Column &column);
    const QList<Column> &columns() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void refresh();

    QPointer<Dataset> m_dataset;
    QList<Column> m_columns;
    QList<int> m_fieldIndexes;
    int m_rows = 0;
};

} // namespace corvane
