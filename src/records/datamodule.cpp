#include "records/datamodule.h"

namespace corvane {

DataModule *dm = nullptr;

namespace {

const QString selectCustomer = QStringLiteral("select * from customer");

} // namespace

DataModule::DataModule(QObject *parent)
    : QObject(parent), ADOQuery1(new Dataset(ADOConnection1, selectCustomer, this)),
      ADOQuery2(new Dataset(ADOConnection1, QStringLiteral("select * from detail"), this)),
      ADOQuery3(new Dataset(ADOConnection1, selectCustomer, this)),
      ADOQuerycustomer(new Dataset(ADOConnection1, selectCustomer, this)),
      ADOQuerychange(new Dataset(ADOConnection1, selectCustomer, this)),
      DataSource1(new DataSource(ADOQuery1, this)), DataSource2(new DataSource(ADOQuery2, this)),
      DataSource3(new DataSource(ADOQuery3, this))
{
    if (!dm)
        dm = this;
}

DataModule::~DataModule()
{
    if (dm == this)
        dm = nullptr;
    // The queries go before the connection they use.
    qDeleteAll(findChildren<Dataset *>(Qt::FindDirectChildrenOnly));
}

} // namespace corvane
