#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QToolButton;

namespace corvane {

class DBEdit;
class DataModule;

// Form3, "客户资料输入": adds, edits, deletes and browses customers one at a
// time on ADOQuery1. Its record state is the look of its controls: the browse
// look (editors off, tool buttons on) or the edit look (the other way round).
class CustomerEntryForm : public QDialog
{
    Q_OBJECT
public:
    explicit CustomerEntryForm(DataModule &data, QWidget *parent = nullptr);

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

    QFrame *Panel1;
    QToolButton *n_insert;
    QToolButton *n_edit;
    QToolButton *n_delete;
    QToolButton *n_cancel;
    QToolButton *n_save;
    QToolButton *sp1;
    QToolButton *sp2;
    QToolButton *sp3;
    QToolButton *sp4;
    QToolButton *n_exit;
    DBEdit *DBEdit1;
    DBEdit *DBEdit2;
    DBEdit *DBEdit3;
    DBEdit *DBEdit4;
    DBEdit *DBEdit5;
    DBEdit *DBEdit6;
    DBEdit *DBEdit7;
    DBEdit *DBEdit8;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    std::array<DBEdit *, 8> editors() const;
    std::array<QToolButton *, 10> toolButtons() const;

    void FormShow();
    void ToggleEditMode();
    void n_insertClick();
    void n_editClick();
    void n_deleteClick();
    void n_cancelClick();
    void n_saveClick();
    void n_exitClick();
    void sp1Click();
    void sp2Click();
    void sp3Click();
    void sp4Click();
    void DBEdit1KeyPress(char &key);
    void DBEdit2KeyPress(char &key);
    void DBEdit3KeyPress(char &key);
    void DBEdit4KeyPress(char &key);
    void DBEdit5KeyPress(char &key);
    void DBEdit6KeyPress(char &key);
    void DBEdit7KeyPress(char &key);

    DataModule &m_data;
};

} // namespace corvane
