#pragma once

#include <QDialog>

class QDate;
class QDateEdit;
class QLabel;
class QPushButton;

namespace corvane {

class ButtonEdit;
class DBGrid;
class DataModule;

// Statement 8: the calls from `first` to `last`, both included, and of one
// customer code when `code` is not empty.
QString callLogQueryStatement(const QDate &first, const QDate &last, const QString &code);

// Form5, "来电显示明细记录查询": the logged calls of a date range.
class CallLogQueryForm : public QDialog
{
    Q_OBJECT
public:
    explicit CallLogQueryForm(DataModule &data, QWidget *parent = nullptr);

    int showModalFromMenu();

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
    ButtonEdit *ButtonEdit2;
    QPushButton *BitBtn1;
    DBGrid *DBGrid1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void ButtonEdit2ButtonClick(int index);
    void BitBtn1Click();

    DataModule &m_data;
};

} // namespace corvane
