#pragma once

#include "records/datasetmodel.h"

#include "records/rowgrid.h"

namespace corvane {

class DataSource;

// A read-only grid bound to a data source; columns are configured as
// (field, title, width). A closed dataset shows no rows; the strip of row
// markers at the left shows which row is selected.
class DBGrid : public RowGrid
{
    Q_OBJECT
public:
    explicit DBGrid(DataSource *source, QWidget *parent = nullptr);

    void addColumn(const QString &field, const QString &title, int width);

private:
    DataSource *m_source;
    DatasetModel *m_model;
};

} // namespace corvane
