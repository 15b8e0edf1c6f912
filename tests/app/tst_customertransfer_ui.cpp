#include "app/customertransfer.h"
#include "desktop/filechooser.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace corvane;

namespace {

// Answers the file dialogs with one file, or gives up when it is empty.
class GivenFile : public FileChooser
{
public:
    QString file;
    QString fileToOpen(QWidget *, const QString &, const QString &) override { return file; }
    QString fileToSave(QWidget *, const QString &, const QString &, const QString &) override { return file; }
};

// The window of the given name once it is open, or nullptr.
template <typename T> T *openWindow(const char *name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return qobject_cast<T *>(w);
    }
    return nullptr;
}

} // namespace

class CustomerTransferUiTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Stores> m_stores;
    GivenFile m_files;
    std::unique_ptr<CustomerTransfer> m_transfer;

    QString database() const { return m_folder->file(QStringLiteral("tel.mdb")); }
    QStringList codes() const
    {
        return test::sqlColumn(database(), QStringLiteral("select customercode from customer order by id"));
    }
    void givenCustomerFile(int rows)
    {
        QString text = QStringLiteral("客户编号,客户名称,备注\r\n");
        for (int i = 1; i <= rows; ++i)
            text += QStringLiteral("K%1,客户%1,无\r\n").arg(i);
        m_files.file = m_folder->file(QStringLiteral("客户.csv"));
        m_folder->writeFile(QStringLiteral("客户.csv"), text.toUtf8());
    }
    // Presses `button` of the preview once it opens; what the preview showed,
    // with what the database held meanwhile, goes to `seen`.
    void pressInPreview(const char *button, QStringList *seen = nullptr)
    {
        QTimer::singleShot(0, this, [this, button, seen] {
            auto *preview = openWindow<QDialog>("customerImportDialog");
            QVERIFY(preview);
            if (seen) {
                const auto *table = test::child<QTableWidget>(*preview, "previewTable");
                *seen << test::child<QLabel>(*preview, "mappingLabel")->text()
                      << QString::number(table->rowCount()) << table->item(0, 1)->text()
                      << QString::number(codes().size());
                test::saveScreenshot(preview, QStringLiteral("customer-import-preview.png"));
            }
            test::child<QPushButton>(*preview, button)->click();
        });
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_stores = std::make_unique<Stores>();
        m_stores->connection.setDatabasePath(database());
        m_transfer = std::make_unique<CustomerTransfer>(m_stores->connection, m_stores->customers, m_files);
    }
    void cleanup()
    {
        m_transfer.reset();
        m_stores.reset();
        m_folder.reset();
    }

    void importShowsThePreviewBeforeWriting()
    {
        test::MessageCapture capture;
        givenCustomerFile(30);
        QStringList seen;
        pressInPreview("importButton", &seen);
        m_transfer->importCustomers(nullptr);
        QCOMPARE(seen, (QStringList{QStringLiteral("文件各列对应的客户资料：客户编号 → 客户编号；客户名称 → "
                                                   "客户名称；备注 → （不导入）"),
                                    "20", QStringLiteral("客户1"), "0"}));
        QCOMPARE(codes().size(), 30);
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("已导入 30 个客户，跳过 0 行。")});
    }

    void cancellingTheImportWritesNothing()
    {
        test::MessageCapture capture;
        givenCustomerFile(10);
        pressInPreview("cancelButton");
        m_transfer->importCustomers(nullptr);
        QVERIFY(codes().isEmpty());
        QVERIFY(capture.takeTexts().isEmpty());

        // A long file shows its progress, and stopping there undoes every row.
        givenCustomerFile(int(CustomerTransfer::ProgressFrom) * 2);
        pressInPreview("importButton");
        bool progressShown = false;
        QTimer::singleShot(0, this, [&] {
            QTimer::singleShot(0, this, [&] {
                auto *progress = openWindow<QProgressDialog>("importProgress");
                progressShown = progress != nullptr;
                if (progress)
                    progress->cancel();
            });
        });
        m_transfer->importCustomers(nullptr);
        QVERIFY(progressShown);
        QVERIFY(codes().isEmpty());
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("导入已取消，未导入任何客户。")});
    }

    void anUnreadableFileIsExplained()
    {
        test::MessageCapture capture;
        m_files.file = m_folder->file(QStringLiteral("坏.csv"));
        m_folder->writeFile(QStringLiteral("坏.csv"), QStringLiteral("客户编号\n\"K1\n").toUtf8());
        m_transfer->importCustomers(nullptr);
        const QList<msg::Box> shown = capture.take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().icon, msg::Icon::Warning);
        QCOMPARE(shown.first().text,
                 QStringLiteral("文件第 2 行的引号没有结束，文件可能已损坏，未导入任何客户。"));
        QVERIFY(codes().isEmpty());
    }

    void exportAndBackupSayWhereTheyWrote()
    {
        test::MessageCapture capture;
        givenCustomerFile(3);
        pressInPreview("importButton");
        m_transfer->importCustomers(nullptr);
        capture.takeTexts();

        m_files.file = m_folder->file(QStringLiteral("导出.csv"));
        m_transfer->exportCustomers(nullptr);
        QCOMPARE(capture.takeTexts(),
                 QStringList{QStringLiteral("已导出 3 个客户到文件：\n") + m_files.file});
        QVERIFY(QFile::exists(m_files.file));

        m_files.file = m_folder->file(QStringLiteral("备份.mdb"));
        m_transfer->backupDatabase(nullptr);
        QCOMPARE(capture.takeTexts(), QStringList{QStringLiteral("数据库已备份到：\n") + m_files.file});
        QCOMPARE(test::sqlColumn(m_files.file, QStringLiteral("select count(*) from customer")),
                 QStringList{"3"});

        // The database itself is not a place for its copy.
        m_files.file = database();
        m_transfer->backupDatabase(nullptr);
        QCOMPARE(capture.takeTexts(),
                 QStringList{QStringLiteral("不能把数据库备份到它自己的文件上，请选择另一个文件。")});
        QCOMPARE(codes().size(), 3);

        // Giving up in the file dialog does nothing.
        m_files.file.clear();
        m_transfer->exportCustomers(nullptr);
        m_transfer->backupDatabase(nullptr);
        QVERIFY(capture.takeTexts().isEmpty());
    }
};

QTEST_MAIN(CustomerTransferUiTest)
#include "tst_customertransfer_ui.moc"
