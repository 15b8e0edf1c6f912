#pragma once

#include <QObject>

namespace corvane {

class Dataset;

// Binds a dataset to data-aware controls (DataSource1 ...): editors and grids
// name a data source, and follow whatever dataset it points to.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(Dataset *dataset = nullptr, QObject *parent = nullptr);

    Dataset *dataset() const;
    void setDataset(Dataset *dataset);

Q_SIGNALS:
    void datasetChanged();

private:
    Dataset *m_dataset = nullptr;
};

} // namespace corvane
