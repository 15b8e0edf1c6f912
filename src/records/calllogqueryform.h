#pragma once

#include "records/queryform.h"

class QDateEdit;

namespace corvane {

class CallLogStore;

// "来电显示明细记录查询": the logged calls of a date range.
class CallLogQueryForm : public QueryForm
{
    Q_OBJECT
public:
    CallLogQueryForm(CallLogStore &calls, CustomerStore &customers, QWidget *parent = nullptr);

protected:
    void onShown() override;
    std::unique_ptr<PagedQuery> query() const override;

private:
    CallLogStore &m_calls;
    QDateEdit *m_firstDateEdit;
    QDateEdit *m_lastDateEdit;
};

} // namespace corvane
