#pragma once

#include <QDialog>

namespace corvane {

class CustomerImport;

// The first rows of a customer file as they will be added, under the field
// each column of the file goes to, before anything is written.
class CustomerImportDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int PreviewRows = 20;

    CustomerImportDialog(const CustomerImport &import, QWidget *parent);
};

} // namespace corvane
