#pragma once

#include <QObject>
#include <QPointer>

namespace corvane {

class Dataset;

// Binds a dataset to data-aware controls: editors and grids
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
    // Guarded: a dataset may go before the controls bound to it.
    QPointer<Dataset> m_dataset;
};

} // namespace corvane
