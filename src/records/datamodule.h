#pragma once

#include "records/connection.h"
#include "records/dataset.h"
#include "records/datasource.h"

#include <QObject>

namespace corvane {

// The data module dm: the one connection, the program's queries and the data
// sources the windows bind to, used by name. It has no behaviour of its own.
class DataModule : public QObject
{
    Q_OBJECT
public:
    explicit DataModule(QObject *parent = nullptr);
    ~DataModule() override;

    Connection ADOConnection1;
    Dataset *ADOQuery1;
    Dataset *ADOQuery2;
    Dataset *ADOQuery3;
    Dataset *ADOQuerycustomer;
    Dataset *ADOQuerychange;
    DataSource *DataSource1;
    DataSource *DataSource2;
    DataSource *DataSource3;
};

// The program's data module, set by the first DataModule created and cleared
// when it goes.
extern DataModule *dm;

} // namespace corvane
