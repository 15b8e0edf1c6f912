#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QToolButton;

namespace corvane {

class CustomerStore;
class Dataset;
class DataSource;
class DBEdit;

// "客户资料输入": adds, edits, deletes and browses customers one at a time.
// Its record state is the look of its controls: the browse look (editors off,
// tool buttons on) or the edit look (the other way round).
class CustomerEntryForm : public QDialog
{
    Q_OBJECT
public:
    explicit CustomerEntryForm(CustomerStore &customers, QWidget *parent = nullptr);

    // From the menu: modal. Fails when the form is already shown non-modally.
    int showModalFromMenu();
    // After a call from an unknown number: shown beside the main window on a
    // new row holding the number.
    void saveNewNumber(const QString &number);

    bool isEditLook() const;

    // A row typed or changed in the edit look and not saved yet.
    bool hasChangedRow() const;
    // "保存" and "放弃" as their buttons do them. Saving throws the database's
    // failure when it refuses the row, which then stays pending.
    void saveChangedRow();
    void dropChangedRow();
    // Shows the form beside the main window (centred when it was hidden) and
    // puts it in front.
    void bringForward();
    // Comes forward on the customer of key `id`.
    void showCustomer(qint64 id);
    // Customers were added behind the form (an import): it reads them again,
    // at once when shown, else when next shown. A row being typed is kept,
    // and the rows are read again only after it is settled.
    void rereadCustomers();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    std::array<DBEdit *, 8> editors() const;
    std::array<QToolButton *, 10> toolButtons() const;
    // The editor Enter moves on to from `editor`, null for the last one.
    QWidget *nextOnEnter(QObject *editor) const;

    void onShown();
    void toggleEditLook();
    void onAddClicked();
    void onEditClicked();
    void onDeleteClicked();
    void onCancelClicked();
    void onSaveClicked();

    Dataset *m_customers;
    DataSource *m_source;
    QFrame *m_toolPanel;
    QToolButton *m_addButton;
    QToolButton *m_editButton;
    QToolButton *m_deleteButton;
    QToolButton *m_cancelButton;
    QToolButton *m_saveButton;
    QToolButton *m_firstButton;
    QToolButton *m_priorButton;
    QToolButton *m_nextButton;
    QToolButton *m_lastButton;
    QToolButton *m_exitButton;
    DBEdit *m_customerCodeEdit;
    DBEdit *m_customerNameEdit;
    DBEdit *m_addressEdit;
    DBEdit *m_postcodeEdit;
    DBEdit *m_contactEdit;
    DBEdit *m_telEdit;
    DBEdit *m_emailEdit;
    DBEdit *m_qqEdit;
};

} // namespace corvane
