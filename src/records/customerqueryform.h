#pragma once

#include "records/queryform.h"

namespace corvane {

class DataModule;

// Statement 7: every customer, or those whose code is `code` when it is not empty.
QString customerQueryStatement(const QString &code);

// Form7, "客户资料明细查询": the full records of all customers or of one code.
class CustomerQueryForm : public QueryForm
{
    Q_OBJECT
public:
    explicit CustomerQueryForm(DataModule &data, QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;

protected:
    QString statement() const override;
};

} // namespace corvane
