#include "customerrows.h"
#include "desktop/guard.h"
#include "layoutfaults.h"
#include "records/customerentryform.h"
#include "records/dataset.h"
#include "records/dbedit.h"
#include "testsupport.h"

#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace corvane;
using State = Dataset::State;

class CustomerEntryFormTest : public QObject
{
    Q_OBJECT

    QList<DBEdit *> editors() const
    {
        return {editor("customerCodeEdit"), editor("customerNameEdit"),
                editor("addressEdit"),      editor("postcodeEdit"),
                editor("contactEdit"),      editor("telEdit"),
                editor("emailEdit"),        editor("qqEdit")};
    }

    // Every control in the look that goes with browse (false) or edit (true).
    void verifyLook(bool edit)
    {
        const QColor infoBk = m_form->palette().color(QPalette::ToolTipBase);
        for (DBEdit *editor : editors()) {
            QCOMPARE(editor->isEnabled(), edit);
            QCOMPARE(editor->palette().color(QPalette::Base) == infoBk, !edit);
        }
        for (QToolButton *button :
             {button("addButton"), button("editButton"), button("deleteButton"), button("firstButton"),
              button("priorButton"), button("nextButton"), button("lastButton"), button("exitButton")})
            QCOMPARE(button->isEnabled(), !edit);
        QCOMPARE(button("cancelButton")->isEnabled(), edit);
        QCOMPARE(button("saveButton")->isEnabled(), edit);
        QCOMPARE(m_form->isEditLook(), edit);
    }

    Dataset &query() { return *m_form->findChild<Dataset *>(); }
    DBEdit *editor(const char *name) const { return m_form->findChild<DBEdit *>(QLatin1String(name)); }
    QToolButton *button(const char *name) const
    {
        return m_form->findChild<QToolButton *>(QLatin1String(name));
    }

    void fill(const QStringList &codes)
    {
        for (const QString &code : codes)
            test::insertCustomer(m_stores->connection, code, code + QStringLiteral("-tel"));
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_stores = std::make_unique<Stores>();
        m_stores->connection.setDatabasePath(m_folder->file(QStringLiteral("tel.mdb")));
        m_form = std::make_unique<CustomerEntryForm>(m_stores->customers);
        m_capture = std::make_unique<test::MessageCapture>();
    }

    void cleanup()
    {
        m_capture.reset();
        m_form.reset();
        m_stores.reset();
        m_folder.reset();
    }

    void layoutAndFirstShowing()
    {
        fill({"A", "B"});
        QCOMPARE(m_form->windowTitle(), QStringLiteral("客户资料输入"));
        QCOMPARE(button("saveButton")->text(), QStringLiteral("保存"));
        QCOMPARE(button("addButton")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(editor("qqEdit")->field(), QStringLiteral("qq"));
        verifyLook(false);
        m_form->show();
        // The tab key walks the fields in the table's order, not row by row.
        QCOMPARE(test::layoutFaults(*m_form, test::TabOrder::Own), QString());
        QCOMPARE(query().state(), State::Browse);
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("A"));
        QCOMPARE(editor("telEdit")->text(), QStringLiteral("A-tel"));
        test::saveScreenshot(m_form.get(), QStringLiteral("customerentryform-browse.png"));
        button("addButton")->click();
        editor("customerNameEdit")->insert(QStringLiteral("深圳市某某有限公司"));
        test::saveScreenshot(m_form.get(), QStringLiteral("customerentryform-edit.png"));
        QVERIFY(m_capture->take().isEmpty());
    }

    void browseLookShowsLongValuesFromTheStartInFullContrast()
    {
        const QString name =
            QStringLiteral("深圳市南山区科技园高新技术产业有限公司第一分公司").repeated(3).left(60);
        test::run(m_stores->connection,
                  QStringLiteral("insert into customer(customercode,customername) values('A',?)"), {name});
        fill({"B"});
        m_form->show();
        DBEdit *nameEditor = editor("customerNameEdit");
        QCOMPARE(nameEditor->text(), name);
        QCOMPARE(nameEditor->cursorPosition(), 0);
        QVERIFY(test::showsTextFromStart(nameEditor));
        button("lastButton")->click();
        button("firstButton")->click();
        QCOMPARE(nameEditor->cursorPosition(), 0);
        QVERIFY(test::showsTextFromStart(nameEditor));

        // Disabled in the browse look, but its text is as dark as when editing.
        const QImage shot = nameEditor->grab().toImage();
        int darkest = 255;
        for (int y = 3; y < shot.height() - 3; ++y)
            for (int x = 3; x < shot.width() - 3; ++x)
                darkest = std::min(darkest, qGray(shot.pixel(x, y)));
        QVERIFY2(darkest < 64, qPrintable(QString::number(darkest)));
        test::saveScreenshot(m_form.get(), QStringLiteral("customerentryform-long-name.png"));
    }

    void insertThenCancelOrSave()
    {
        fill({"A"});
        m_form->show();
        button("addButton")->click();
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(m_form->focusWidget(), editor("customerCodeEdit"));
        QCOMPARE(editor("customerCodeEdit")->text(), QString());
        QTest::keyClicks(editor("customerCodeEdit"), QStringLiteral("dropped"));
        button("cancelButton")->click();
        verifyLook(false);
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("A"));

        button("addButton")->click();
        QTest::keyClicks(editor("customerCodeEdit"), QStringLiteral("B'1"));
        button("saveButton")->click();
        verifyLook(false);
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("B'1"));
        QCOMPARE(test::customerCodes(m_stores->connection), (QStringList{"A", "B'1"}));
        QVERIFY(m_capture->take().isEmpty());
    }

    void editKeepsFocusAndSavesByKey()
    {
        fill({"A", "B"});
        m_form->show();
        button("lastButton")->click();
        QWidget *focus = m_form->focusWidget();
        button("editButton")->click();
        verifyLook(true);
        QCOMPARE(query().state(), State::Edit);
        QCOMPARE(m_form->focusWidget(), focus);
        editor("addressEdit")->insert(QStringLiteral("新地址"));
        button("saveButton")->click();
        verifyLook(false);
        QCOMPARE(
            test::column(m_stores->connection, QStringLiteral("select address from customer order by id")),
            (QStringList{"", "新地址"}));
    }

    void editOnAnEmptyTableStartsARowAndSavesAllEmptyFields()
    {
        m_form->show();
        button("editButton")->click();
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        button("saveButton")->click();
        verifyLook(false);
        QCOMPARE(query().recordCount(), 1);
        QCOMPARE(test::customerCodes(m_stores->connection), QStringList{QString()});
        button("addButton")->click();
        button("saveButton")->click();
        QCOMPARE(query().recordCount(), 2);
        QVERIFY(m_capture->take().isEmpty());
    }

    void deleteAsksFirst()
    {
        fill({"A", "B"});
        m_form->show();
        m_capture->answer(msg::Answer::No);
        button("deleteButton")->click();
        const QList<msg::Box> boxes = m_capture->take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("请确认是否要删除"));
        QCOMPARE(boxes[0].caption, QStringLiteral("Corvane"));
        QCOMPARE(boxes[0].icon, msg::Icon::Information);
        QCOMPARE(boxes[0].buttons, msg::Buttons::YesNo);
        QCOMPARE(boxes[0].defaultAnswer, msg::Answer::Yes);
        QCOMPARE(query().recordCount(), 2);

        m_capture->answer(msg::Answer::Yes);
        button("deleteButton")->click();
        verifyLook(false);
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("B"));
        QCOMPARE(test::customerCodes(m_stores->connection), QStringList{QStringLiteral("B")});
    }

    void deleteOnAnEmptyTableAsksThenFails()
    {
        m_form->show();
        m_capture->answer(msg::Answer::Yes);
        button("deleteButton")->click();
        QCOMPARE(m_capture->takeTexts(),
                 (QStringList{"请确认是否要删除", "Cannot perform this operation on an empty dataset."}));
        verifyLook(false);
    }

    void navigationStopsSilentlyAtTheEnds()
    {
        fill({"A", "B", "C"});
        m_form->show();
        button("priorButton")->click();
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("A"));
        button("nextButton")->click();
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("B"));
        button("lastButton")->click();
        button("nextButton")->click();
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("C"));
        button("priorButton")->click();
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("B"));
        button("firstButton")->click();
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("A"));
        verifyLook(false);
        QVERIFY(m_capture->take().isEmpty());
    }

    void refusedSaveKeepsTheRowPending()
    {
        test::run(m_stores->connection,
                  QStringLiteral("create trigger refuse before insert on customer "
                                 "when new.customercode='bad' begin select raise(abort,'refused'); end"));
        m_form->show();
        button("addButton")->click();
        QTest::keyClicks(editor("customerCodeEdit"), QStringLiteral("bad"));
        button("saveButton")->click();
        QCOMPARE(m_capture->takeTexts(), QStringList{QStringLiteral("refused.")});
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("bad"));
        editor("customerCodeEdit")->setText(QStringLiteral("good"));
        button("saveButton")->click();
        verifyLook(false);
        QCOMPARE(test::customerCodes(m_stores->connection), QStringList{QStringLiteral("good")});
    }

    void enterWalksTheFieldsRowByRow()
    {
        m_form->show();
        button("addButton")->click();
        const QList<QPair<DBEdit *, DBEdit *>> walk = {
            {editor("customerCodeEdit"), editor("customerNameEdit")},
            {editor("customerNameEdit"), editor("postcodeEdit")},
            {editor("postcodeEdit"), editor("addressEdit")},
            {editor("addressEdit"), editor("contactEdit")},
            {editor("contactEdit"), editor("emailEdit")},
            {editor("emailEdit"), editor("qqEdit")},
            {editor("telEdit"), editor("addressEdit")},
            {editor("qqEdit"), editor("qqEdit")}};
        for (const auto &[from, to] : walk) {
            from->setFocus();
            QTest::keyClicks(from, QStringLiteral("x"));
            QTest::keyClick(from, Qt::Key_Return);
            QCOMPARE(m_form->focusWidget(), to);
            QCOMPARE(from->text(), QStringLiteral("x"));
        }
        QTest::keyClick(editor("qqEdit"), Qt::Key_Enter);
        QCOMPARE(m_form->focusWidget(), editor("qqEdit"));
        QVERIFY(m_form->isVisible());
    }

    void closeBoxKeepsThePendingRow()
    {
        m_form->show();
        button("addButton")->click();
        QTest::keyClicks(editor("customerNameEdit"), QStringLiteral("half typed"));
        m_form->close();
        QVERIFY(!m_form->isVisible());
        QCOMPARE(query().recordCount(), 0);
        m_form->show();
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(editor("customerNameEdit")->text(), QStringLiteral("half typed"));
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
        QVERIFY(m_form->isVisible());
    }

    void exitHidesAndLeavesTheModalShowing()
    {
        fill({"A"});
        QTimer::singleShot(0, button("exitButton"), &QToolButton::click);
        QCOMPARE(m_form->showModalFromMenu(), int(QDialog::Rejected));
        QVERIFY(!m_form->isVisible());
        QCOMPARE(query().state(), State::Browse);
    }

    void customersAddedBehindTheFormShowAfterReading()
    {
        fill({"A"});
        m_form->show();
        m_form->hide();
        fill({"B"});
        m_form->rereadCustomers();
        m_form->show();
        QCOMPARE(query().recordCount(), 2);

        fill({"C"});
        m_form->rereadCustomers();
        QCOMPARE(query().recordCount(), 3);

        // A row being typed is not thrown away for it.
        button("addButton")->click();
        editor("customerCodeEdit")->insert(QStringLiteral("D"));
        fill({"E"});
        m_form->rereadCustomers();
        verifyLook(true);
        QCOMPARE(query().fieldText(QStringLiteral("customercode")), QStringLiteral("D"));
    }

    void menuCannotShowAVisibleFormModally()
    {
        m_form->show();
        button("addButton")->click();
        QCOMPARE(test::failureOf([this] { m_form->showModalFromMenu(); }),
                 QStringLiteral("Cannot make a visible window modal"));
        verifyLook(true);
        QVERIFY(!m_form->isModal());
    }

    void newNumberStartsARowHoldingIt()
    {
        fill({"A"});
        m_form->saveNewNumber(QStringLiteral("13800138000"));
        QVERIFY(m_form->isVisible());
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(editor("telEdit")->text(), QStringLiteral("13800138000"));
        QCOMPARE(query().fieldText(QStringLiteral("tel")), QStringLiteral("13800138000"));
        QCOMPARE(m_form->focusWidget(), editor("customerCodeEdit"));
        button("cancelButton")->click();
        QCOMPARE(test::customerCodes(m_stores->connection), QStringList{QStringLiteral("A")});
    }

    // The form is already in the edit look when another unknown number calls.
    void newNumberWhilePendingKeepsWhatWasTyped()
    {
        m_form->saveNewNumber(QStringLiteral("111"));
        QTest::keyClicks(editor("customerCodeEdit"), QStringLiteral("first"));
        m_form->saveNewNumber(QStringLiteral("222"));
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(editor("telEdit")->text(), QStringLiteral("222"));
        QCOMPARE(editor("customerCodeEdit")->text(), QString());
        QCOMPARE(m_form->focusWidget(), editor("customerCodeEdit"));
        QCOMPARE(test::column(m_stores->connection, QStringLiteral("select tel from customer order by id")),
                 QStringList{QStringLiteral("111")});

        // An untouched pending row (no number, nothing typed) is simply replaced.
        button("cancelButton")->click();
        button("addButton")->click();
        m_form->saveNewNumber(QStringLiteral("333"));
        QCOMPARE(query().recordCount(), 1);
        QCOMPARE(editor("telEdit")->text(), QStringLiteral("333"));
        QVERIFY(m_capture->take().isEmpty());
    }

    void newNumberWhileARefusedRowIsPendingLeavesThatRow()
    {
        test::run(m_stores->connection,
                  QStringLiteral("create trigger refuse before insert on customer "
                                 "when new.customercode='bad' begin select raise(abort,'refused'); end"));
        m_form->saveNewNumber(QStringLiteral("111"));
        QTest::keyClicks(editor("customerCodeEdit"), QStringLiteral("bad"));
        guarded([&] { m_form->saveNewNumber(QStringLiteral("222")); });
        QCOMPARE(m_capture->takeTexts(), QStringList{QStringLiteral("refused.")});
        verifyLook(true);
        QCOMPARE(editor("customerCodeEdit")->text(), QStringLiteral("bad"));
        QCOMPARE(editor("telEdit")->text(), QStringLiteral("111"));
    }

    void missingDatabaseShowsTheErrorAndChangesNothing()
    {
        QFile::remove(m_folder->file(QStringLiteral("tel.mdb")));
        m_form->show();
        QVERIFY(m_form->isVisible());
        button("addButton")->click();
        const QStringList texts = m_capture->takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].startsWith(QStringLiteral("找不到数据库文件")));
        verifyLook(false);
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("tel.mdb"))));
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<Stores> m_stores;
    std::unique_ptr<CustomerEntryForm> m_form;
    std::unique_ptr<test::MessageCapture> m_capture;
};

QTEST_MAIN(CustomerEntryFormTest)
#include "tst_customerentryform.moc"
