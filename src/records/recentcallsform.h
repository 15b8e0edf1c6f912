#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableView;

namespace corvane {

class ButtonEdit;
class CustomerStore;
class FileChooser;
class RecentCallsModel;
class RecentCallsStore;
struct RecentCallsFilter;

// "最近来电": the calls newest first, narrowed by the filters above the list;
// a view of RecentCallsModel. A double-click on a call opens the entry form
// on its caller, and "导出" writes the list as filtered to a CSV file.
class RecentCallsForm : public QDialog
{
    Q_OBJECT
public:
    // What a double-click does: a new number goes to the entry form as a new
    // customer, a known caller opens the form on that customer.
    struct Callers
    {
        std::function<void(const QString &number)> enterNewNumber;
        std::function<void(qint64 customerId)> showCustomer;
    };

    RecentCallsForm(RecentCallsStore &calls, CustomerStore &customers, FileChooser &files, Callers callers,
                    QWidget *parent = nullptr);

    // Comes forward, shown beside the other windows: it stays open while
    // calls come in and a caller's record is worked on.
    void bringForward();
    // Calls were written or shown, or edited elsewhere: the new ones come in
    // on top, and the rows shown show their notes and handled marks as saved.
    void onCallsChanged();

Q_SIGNALS:
    // The note or handled mark of the call of row `callId` was saved.
    void callEdited(qint64 callId);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    RecentCallsFilter filter() const;
    void onQueryClicked();
    void onExportClicked();
    void onCallActivated(const QModelIndex &index);

    RecentCallsStore &m_calls;
    CustomerStore &m_customers;
    FileChooser &m_files;
    Callers m_callers;
    RecentCallsModel *m_model;
    QCheckBox *m_todayBox;
    QCheckBox *m_notHandledBox;
    QCheckBox *m_dateRangeBox;
    QDateEdit *m_firstDateEdit;
    QDateEdit *m_lastDateEdit;
    QLineEdit *m_numberEdit;
    ButtonEdit *m_codeBox;
    QPushButton *m_queryButton;
    QPushButton *m_exportButton;
    QTableView *m_callList;
};

} // namespace corvane
