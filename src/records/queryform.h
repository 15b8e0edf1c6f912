#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace corvane {

class ButtonEdit;
class DBGrid;
class Dataset;
class DataSource;

// What the two query windows share: an upper panel with a customer-code box
// (its button opens the customer picker) and a "查询" button, over a grid of
// what the query found. A window adds its own captions and says its statement.
class QueryForm : public QDialog
{
    Q_OBJECT
public:
    int showModalFromMenu();

    ButtonEdit *ButtonEdit2;
    QPushButton *BitBtn1;
    DBGrid *DBGrid1;

protected:
    QueryForm(Dataset &customers, Dataset &query, DataSource *results, int panelHeight, QWidget *parent);

    QWidget *panel() const { return m_panel; }
    QLabel *labelAt(const QString &text, int left, int top) const;

    void showEvent(QShowEvent *event) override;
    virtual void FormShow();
    virtual QString statement() const = 0;

private:
    void ButtonEdit2ButtonClick(int index);
    void BitBtn1Click();

    Dataset &m_customers;
    Dataset &m_query;
    QWidget *m_panel;
};

} // namespace corvane
