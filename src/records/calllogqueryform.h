#pragma once

#include "records/queryform.h"

class QDate;
class QDateEdit;

namespace corvane {

class DataModule;

// Statement 8: the calls from `first` to `last`, both included, and of one
// customer code when `code` is not empty.
QString callLogQueryStatement(const QDate &first, const QDate &last, const QString &code);

// Form5, "来电显示明细记录查询": the logged calls of a date range.
class CallLogQueryForm : public QueryForm
{
    Q_OBJECT
public:
    explicit CallLogQueryForm(DataModule &data, QWidget *parent = nullptr);

    QLabel *Label8;
    QLabel *Label3;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label7;
    QLabel *Label1;
    QDateEdit *dp1;
    QLabel *Label6;
    QDateEdit *dp2;
    QLabel *Label2;

protected:
    void FormShow() override;
    QString statement() const override;
};

} // namespace corvane
