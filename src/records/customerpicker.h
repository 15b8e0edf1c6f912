#pragma once

#include "widgets/modalresult.h"

#include <QDialog>

class QFrame;
class QLabel;

namespace corvane {

class CustomerStore;
class Dataset;
class DatasetModel;
class FaceButton;
class RowGrid;

// Lists every customer by code and name for the user to choose one. Its
// caller creates one for each use (see pickcustomer.h).
class CustomerPicker : public QDialog
{
    Q_OBJECT
public:
    explicit CustomerPicker(CustomerStore &customers, QWidget *parent = nullptr);
    ~CustomerPicker() override;

    // The code of the customer chosen; empty until one is.
    QString chosenCode() const;

    // Closing by the close box or Escape gives Cancel.
    void reject() override;
    // Every ending of a showing closes the customer query again.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void onShown();
    void choose();

    Dataset *m_customers;
    DatasetModel *m_model;
    QFrame *m_upperPanel;
    QFrame *m_lowerPanel;
    RowGrid *m_list;
    FaceButton *m_okButton;
    FaceButton *m_cancelButton;
    QString m_chosenCode;
};

} // namespace corvane
