#include "customerrows.h"
#include "layoutfaults.h"
#include "records/customerpicker.h"
#include "records/dataset.h"
#include "records/pickcustomer.h"
#include "records/rowgrid.h"
#include "testsupport.h"
#include "widgets/buttonedit/buttonedit.h"
#include "widgets/facebutton/facebutton.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace corvane;

namespace {

void addCustomer(Stores &stores, const QString &code, const QString &name)
{
    test::run(stores.connection,
              QStringLiteral("insert into customer(customercode,customername) values(?,?)"), {code, name});
}

RowGrid *listOf(CustomerPicker *picker)
{
    return picker->findChild<RowGrid *>(QStringLiteral("customerList"));
}

FaceButton *okButtonOf(CustomerPicker *picker)
{
    return picker->findChild<FaceButton *>(QStringLiteral("okButton"));
}

FaceButton *cancelButtonOf(CustomerPicker *picker)
{
    return picker->findChild<FaceButton *>(QStringLiteral("cancelButton"));
}

// Acts on the picker once its modal showing has started.
void whenPickerShows(const std::function<void(CustomerPicker *)> &act)
{
    QTimer::singleShot(0, qApp, [act] {
        auto *picker = qobject_cast<CustomerPicker *>(QApplication::activeModalWidget());
        QVERIFY(picker);
        act(picker);
    });
}

void selectRow(CustomerPicker *picker, int row)
{
    listOf(picker)->setCurrentIndex(listOf(picker)->model()->index(row, 0));
}

void click(FaceButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
}

} // namespace

class TestCustomerPicker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_stores = std::make_unique<Stores>();
        m_stores->connection.setDatabasePath(m_folder->file(QStringLiteral("tel.mdb")));
        m_owner = std::make_unique<QWidget>();
        m_box = new ButtonEdit(m_owner.get());
        m_box->setText(QStringLiteral("before"));
    }

    void cleanup()
    {
        m_owner.reset();
        m_stores.reset();
        m_folder.reset();
    }

    void showingListsEveryCustomerInTableOrder()
    {
        addCustomer(*m_stores, QStringLiteral("C2"), QStringLiteral("第二"));
        addCustomer(*m_stores, QString(), QString());
        addCustomer(*m_stores, QStringLiteral("C1"), QStringLiteral("第一"));
        addCustomer(*m_stores, QStringLiteral("C1"), QStringLiteral("重复"));
        CustomerPicker picker(m_stores->customers);
        picker.show();
        const QAbstractItemModel *model = listOf(&picker)->model();
        const auto text = [model](int row, int column) {
            return model->index(row, column).data().toString();
        };
        QCOMPARE(model->rowCount(), 4);
        QCOMPARE(text(0, 0), QStringLiteral("C2"));
        QCOMPARE(text(0, 1), QStringLiteral("第二"));
        QCOMPARE(text(1, 0), QString());
        QCOMPARE(text(3, 1), QStringLiteral("重复"));
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("客户编码"));
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QCOMPARE(test::layoutFaults(picker), QString());
        selectRow(&picker, 0);
        test::saveScreenshot(&picker, QStringLiteral("customer-picker.png"));
        picker.close();
        QVERIFY(!picker.findChild<Dataset *>()->isOpen());
    }

    void okHandsBackTheSelectedCode()
    {
        addCustomer(*m_stores, QStringLiteral("A'1"), QStringLiteral("甲"));
        addCustomer(*m_stores, QStringLiteral("B2"), QStringLiteral("乙"));
        whenPickerShows([](CustomerPicker *picker) {
            selectRow(picker, 1);
            click(okButtonOf(picker));
        });
        pickCustomerInto(m_owner.get(), m_stores->customers, m_box);
        QCOMPARE(m_box->text(), QStringLiteral("B2"));
        // The picker is gone once its showing ends.
        QVERIFY(m_owner->findChildren<CustomerPicker *>().isEmpty());

        // Cancelling after a choice leaves the first choice in the box.
        whenPickerShows([](CustomerPicker *picker) {
            selectRow(picker, 0);
            click(cancelButtonOf(picker));
        });
        pickCustomerInto(m_owner.get(), m_stores->customers, m_box);
        QCOMPARE(m_box->text(), QStringLiteral("B2"));
    }

    void doubleClickChoosesAndTheCloseBoxCancels()
    {
        addCustomer(*m_stores, QStringLiteral("D1"), QStringLiteral("丁"));
        addCustomer(*m_stores, QStringLiteral("D1"), QStringLiteral("丁二"));
        CustomerPicker picker(m_stores->customers);
        QTimer::singleShot(0, &picker, [&picker] {
            RowGrid *list = listOf(&picker);
            const QPoint row = list->visualRect(listOf(&picker)->model()->index(1, 0)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
        });
        QCOMPARE(picker.exec(), int(ModalResult::Ok));
        QCOMPARE(picker.chosenCode(), QStringLiteral("D1"));

        QTimer::singleShot(0, &picker, [&picker] { picker.close(); });
        QCOMPARE(picker.exec(), int(ModalResult::Cancel));
    }

    void okWithoutSelectionKeepsThePickerOpen()
    {
        addCustomer(*m_stores, QStringLiteral("E1"), QStringLiteral("戊"));
        bool stayedOpen = false;
        whenPickerShows([&stayedOpen](CustomerPicker *picker) {
            click(okButtonOf(picker));
            stayedOpen = picker->isVisible();
            click(cancelButtonOf(picker));
        });
        pickCustomerInto(m_owner.get(), m_stores->customers, m_box);
        QVERIFY(stayedOpen);
        QCOMPARE(m_box->text(), QStringLiteral("before"));
    }

    void emptyTableAndEmptyCode()
    {
        whenPickerShows([](CustomerPicker *picker) {
            QCOMPARE(listOf(picker)->model()->rowCount(), 0);
            click(cancelButtonOf(picker));
        });
        pickCustomerInto(m_owner.get(), m_stores->customers, m_box);
        QCOMPARE(m_box->text(), QStringLiteral("before"));

        addCustomer(*m_stores, QString(), QStringLiteral("无编码"));
        whenPickerShows([](CustomerPicker *picker) {
            selectRow(picker, 0);
            click(okButtonOf(picker));
        });
        pickCustomerInto(m_owner.get(), m_stores->customers, m_box);
        QCOMPARE(m_box->text(), QString());
    }

    void databaseErrorIsShownAndThePickerStillGoes()
    {
        test::MessageCapture capture;
        m_stores->connection.setDatabasePath(m_folder->file(QStringLiteral("missing.mdb")));
        whenPickerShows([](CustomerPicker *picker) {
            QCOMPARE(listOf(picker)->model()->rowCount(), 0);
            click(cancelButtonOf(picker));
        });
        pickCustomerInto(m_owner.get(), m_stores->customers, m_box);
        QCOMPARE(capture.take().size(), 1);
        QCOMPARE(m_box->text(), QStringLiteral("before"));
        QVERIFY(m_owner->findChildren<CustomerPicker *>().isEmpty());
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Stores> m_stores;
    std::unique_ptr<QWidget> m_owner;
    ButtonEdit *m_box = nullptr;
};

QTEST_MAIN(TestCustomerPicker)
#include "tst_customerpicker.moc"
