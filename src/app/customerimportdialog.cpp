#include "app/customerimportdialog.h"

#include "core/customercolumns.h"
#include "core/customerimport.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace corvane {

namespace {

QString mappingText(const CustomerImport &import)
{
    QStringList columns;
    for (qsizetype i = 0; i < import.headings().size(); ++i) {
        const std::optional<int> field = import.mapping().at(i);
        columns.append(QStringLiteral("%1 → %2").arg(import.headings().at(i),
                                                     field ? CustomerColumns::heading(*field)
                                                           : CustomerImportDialog::tr("（不导入）")));
    }
    return columns.join(QStringLiteral("；"));
}

} // namespace

CustomerImportDialog::CustomerImportDialog(const CustomerImport &import, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("customerImportDialog"));
    setWindowTitle(tr("导入客户"));
    resize(720, 420);
    auto *column = new QVBoxLayout(this);

    auto *mapping = new QLabel(tr("文件各列对应的客户资料：") + mappingText(import), this);
    mapping->setObjectName(QStringLiteral("mappingLabel"));
    mapping->setWordWrap(true);
    column->addWidget(mapping);

    const QList<Customer> &customers = import.customers();
    const int rows = int(std::min<qsizetype>(customers.size(), PreviewRows));
    auto *preview = new QTableWidget(rows, CustomerColumns::FieldCount, this);
    preview->setObjectName(QStringLiteral("previewTable"));
    preview->setHorizontalHeaderLabels(CustomerColumns::headings());
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < rows; ++row) {
        for (int field = 0; field < CustomerColumns::FieldCount; ++field)
            preview->setItem(row, field,
                             new QTableWidgetItem(CustomerColumns::field(customers.at(row), field)));
    }
    preview->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(preview, 1);

    auto *count = new QLabel(tr("共 %1 行可以导入，上表为前 %2 行。").arg(customers.size()).arg(rows), this);
    count->setObjectName(QStringLiteral("countLabel"));
    column->addWidget(count);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *importButton = buttons->addButton(tr("导入"), QDialogButtonBox::AcceptRole);
    importButton->setObjectName(QStringLiteral("importButton"));
    importButton->setEnabled(!customers.isEmpty());
    QPushButton *cancelButton = buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

} // namespace corvane
