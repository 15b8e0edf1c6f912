#pragma once

#include "records/queryform.h"

namespace corvane {

// "客户资料明细查询": the full records of all customers or of one code.
class CustomerQueryForm : public QueryForm
{
    Q_OBJECT
public:
    explicit CustomerQueryForm(CustomerStore &customers, QWidget *parent = nullptr);

protected:
    std::unique_ptr<PagedQuery> query() const override;

private:
    CustomerStore &m_customers;
};

} // namespace corvane
