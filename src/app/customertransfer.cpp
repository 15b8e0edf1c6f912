#include "app/customertransfer.h"

#include "app/customerimportdialog.h"
#include "core/customerexport.h"
#include "core/customerimport.h"
#include "desktop/filechooser.h"
#include "desktop/messagebox.h"
#include "desktop/modalshow.h"
#include "platform/failure.h"
#include "platform/programfolder.h"
#include "store/backup.h"
#include "store/connection.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <optional>

namespace corvane {

namespace {

void warn(const QString &text)
{
    msg::show({text, applicationTitle(), msg::Icon::Warning});
}

void tell(const QString &text)
{
    msg::show({text, applicationTitle(), msg::Icon::Information});
}

std::optional<CustomerImport> readImport(const QString &path)
{
    try {
        return CustomerImport::fromFile(path);
    } catch (const Failure &failure) {
        warn(failure.message());
        return std::nullopt;
    }
}

} // namespace

CustomerTransfer::CustomerTransfer(Connection &connection, CustomerStore &customers, FileChooser &files)
    : m_connection(connection), m_customers(customers), m_files(files)
{
}

bool CustomerTransfer::importCustomers(QWidget *parent)
{
    const QString path = m_files.fileToOpen(parent, tr("导入客户"), tr("CSV 文件 (*.csv);;所有文件 (*)"));
    if (path.isEmpty())
        return false;
    const std::optional<CustomerImport> import = readImport(path);
    if (!import)
        return false;
    CustomerImportDialog preview(*import, parent);
    if (execModal(preview) != QDialog::Accepted)
        return false;

    std::optional<QProgressDialog> progress;
    if (import->customers().size() > ProgressFrom) {
        progress.emplace(tr("正在导入客户…"), tr("取消"), 0, int(import->customers().size()), parent);
        progress->setObjectName(QStringLiteral("importProgress"));
        progress->setWindowTitle(tr("导入客户"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
    }
    const CustomerImport::Report report = import->write(m_customers, [&](qsizetype done, qsizetype) {
        if (!progress)
            return true;
        progress->setValue(int(done));
        return !progress->wasCanceled();
    });
    progress.reset();
    tell(CustomerImport::summary(report));
    return report.added > 0;
}

void CustomerTransfer::exportCustomers(QWidget *parent)
{
    const QString path =
        m_files.fileToSave(parent, tr("导出客户"), tr("客户资料.csv"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    try {
        const qsizetype count = CustomerExport::toFile(m_customers, path);
        tell(tr("已导出 %1 个客户到文件：\n%2").arg(count).arg(QDir::toNativeSeparators(path)));
    } catch (const Failure &failure) {
        warn(failure.message());
    }
}

void CustomerTransfer::backupDatabase(QWidget *parent)
{
    const QString suggested =
        tr("tel-备份-%1.mdb").arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    const QString path = m_files.fileToSave(parent, tr("备份数据库"), suggested, tr("数据库文件 (*.mdb)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(m_connection.databasePath()).absoluteFilePath()) {
        warn(tr("不能把数据库备份到它自己的文件上，请选择另一个文件。"));
        return;
    }
    try {
        corvane::backupDatabase(m_connection, path);
        tell(tr("数据库已备份到：\n%1").arg(QDir::toNativeSeparators(path)));
    } catch (const Failure &failure) {
        warn(tr("数据库备份失败：%1").arg(failure.message()));
    }
}

} // namespace corvane
