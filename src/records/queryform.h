#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace corvane {

class ButtonEdit;
class CustomerStore;
class DBGrid;
class Dataset;
class DataSource;
class PagedQuery;

// What the two query windows share: an upper panel with a customer-code box
// (its button opens the customer picker) and a "查询" button, over a grid of
// what the query found. A window adds its own captions and says its query.
class QueryForm : public QDialog
{
    Q_OBJECT
public:
    int showModalFromMenu();

protected:
    QueryForm(CustomerStore &customers, int panelHeight, QWidget *parent);

    QWidget *panel() const { return m_panel; }
    ButtonEdit *codeBox() const { return m_codeBox; }
    QPushButton *queryButton() const { return m_queryButton; }
    DBGrid *grid() const { return m_grid; }
    QLabel *labelAt(const QString &text, int left, int top) const;

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    virtual void onShown();
    virtual std::unique_ptr<PagedQuery> query() const = 0;

private:
    void onQueryClicked();

    CustomerStore &m_customers;
    Dataset *m_results;
    DataSource *m_source;
    QWidget *m_panel;
    ButtonEdit *m_codeBox;
    QPushButton *m_queryButton;
    DBGrid *m_grid;
};

} // namespace corvane
