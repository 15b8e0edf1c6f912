#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace corvane {

class ButtonEdit;
class DBGrid;
class DataModule;

// Statement 7: every customer, or those whose code is `code` when it is not empty.
QString customerQueryStatement(const QString &code);

// Form7, "客户资料明细查询": the full records of all customers or of one code.
class CustomerQueryForm : public QDialog
{
    Q_OBJECT
public:
    explicit CustomerQueryForm(DataModule &data, QWidget *parent = nullptr);

    int showModalFromMenu();

    QLabel *Label1;
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
