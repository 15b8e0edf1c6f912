#pragma once

#include "widgets/modalresult.h"

#include <QDialog>

class QFrame;
class QLabel;
class QTreeView;

namespace corvane {

class Dataset;
class DatasetModel;
class FaceButton;

// The code of the customer last chosen in a picker, for the picker's caller.
// Empty at start; set only by a choice; outlives the picker.
extern QString PickedCustomerCode;

// Frm_customerquery: lists every customer by code and name for the user to
// choose one. Its caller creates one for each use (see pickcustomer.h).
class CustomerPicker : public QDialog
{
    Q_OBJECT
public:
    explicit CustomerPicker(Dataset &customers, QWidget *parent = nullptr);
    ~CustomerPicker() override;

    QTreeView *ListView;
    QLabel *Label1;
    FaceButton *FaceButton1;
    FaceButton *FaceButton2;

    // Closing by the close box or Escape gives Cancel.
    void reject() override;
    // Every ending of a showing closes the customer query again.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void FaceButton1Click();
    void FaceButton2Click();
    void ListViewDblClick();
    void choose();

    Dataset &m_customers;
    DatasetModel *m_model;
    QFrame *m_upperPanel;
    QFrame *m_lowerPanel;
};

} // namespace corvane
