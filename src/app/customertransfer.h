#pragma once

#include <QCoreApplication>

class QWidget;

namespace corvane {

class Connection;
class CustomerStore;
class FileChooser;

// The "[客户资料]" menu's import and export and the "[文件]" menu's backup:
// each asks for a file, does the work through the core and the store, and
// tells the user how it went.
class CustomerTransfer
{
    Q_DECLARE_TR_FUNCTIONS(corvane::CustomerTransfer)

public:
    // Files with more rows than this show a progress bar while they are added.
    static constexpr qsizetype ProgressFrom = 2000;

    CustomerTransfer(Connection &connection, CustomerStore &customers, FileChooser &files);

    // Whether customers were added.
    bool importCustomers(QWidget *parent);
    void exportCustomers(QWidget *parent);
    void backupDatabase(QWidget *parent);

private:
    Connection &m_connection;
    CustomerStore &m_customers;
    FileChooser &m_files;
};

} // namespace corvane
