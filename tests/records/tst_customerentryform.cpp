#include "customerrows.h"
#include "platform/guard.h"
#include "records/customerentryform.h"
#include "records/datamodule.h"
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
        return {m_form->DBEdit1, m_form->DBEdit2, m_form->DBEdit3, m_form->DBEdit4,
                m_form->DBEdit5, m_form->DBEdit6, m_form->DBEdit7, m_form->DBEdit8};
    }

    // Every control in the look that goes with browse (false) or edit (true).
    void verifyLook(bool edit)
    {
        const QColor infoBk = m_form->palette().color(QPalette::ToolTipBase);
        for (DBEdit *editor : editors()) {
            QCOMPARE(editor->isEnabled(), edit);
            QCOMPARE(editor->palette().color(QPalette::Base) == infoBk, !edit);
        }
        for (QToolButton *button : {m_form->n_insert, m_form->n_edit, m_form->n_delete, m_form->sp1,
                                    m_form->sp2, m_form->sp3, m_form->sp4, m_form->n_exit})
            QCOMPARE(button->isEnabled(), !edit);
        QCOMPARE(m_form->n_cancel->isEnabled(), edit);
        QCOMPARE(m_form->n_save->isEnabled(), edit);
        QCOMPARE(m_form->isEditLook(), edit);
    }

    Dataset &query() { return *m_data->ADOQuery1; }

    void fill(const QStringList &codes)
    {
        for (const QString &code : codes)
            test::insertCustomer(m_data->ADOConnection1, code, code + QStringLiteral("-tel"));
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_data = std::make_unique<DataModule>();
        m_data->ADOConnection1.setDatabasePath(m_folder->file(QStringLiteral("tel.mdb")));
        m_form = std::make_unique<CustomerEntryForm>(*m_data);
        m_capture = std::make_unique<test::MessageCapture>();
    }

    void cleanup()
    {
        m_capture.reset();
        m_form.reset();
        m_data.reset();
        m_folder.reset();
    }

    void layoutAndFirstShowing()
    {
        fill({"A", "B"});
        QCOMPARE(m_form->windowTitle(), QStringLiteral("客户资料输入"));
        QCOMPARE(m_form->size(), QSize(634 - 8, 289 - 31));
        QCOMPARE(m_form->Panel1->geometry(), QRect(0, 0, m_form->width(), 49));
        QCOMPARE(m_form->n_exit->geometry(), QRect(558, 11, 50, 22));
        QCOMPARE(m_form->n_save->text(), QStringLiteral("保存"));
        QCOMPARE(m_form->n_insert->focusPolicy(), Qt::NoFocus);
        QCOMPARE(m_form->DBEdit6->geometry(), QRect(360, 192, 217, 21));
        QCOMPARE(m_form->DBEdit8->field(), QStringLiteral("qq"));
        verifyLook(false);
        m_form->show();
        QCOMPARE(query().state(), State::Browse);
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("A"));
        QCOMPARE(m_form->DBEdit6->text(), QStringLiteral("A-tel"));
        test::saveScreenshot(m_form.get(), QStringLiteral("customerentryform-browse.png"));
        m_form->n_insert->click();
        m_form->DBEdit2->insert(QStringLiteral("深圳市某某有限公司"));
        test::saveScreenshot(m_form.get(), QStringLiteral("customerentryform-edit.png"));
        QVERIFY(m_capture->take().isEmpty());
    }

    void browseLookShowsLongValuesFromTheStartInFullContrast()
    {
        const QString name =
            QStringLiteral("深圳市南山区科技园高新技术产业有限公司第一分公司").repeated(3).left(60);
        Dataset writer(m_data->ADOConnection1, {});
        writer.setSql(QStringLiteral("insert into customer(customercode,customername) values('A',") +
                      sqlText(name) + QLatin1Char(')'));
        writer.execute();
        fill({"B"});
        m_form->show();
        DBEdit *nameEditor = m_form->DBEdit2;
        QCOMPARE(nameEditor->text(), name);
        QCOMPARE(nameEditor->cursorPosition(), 0);
        QVERIFY(test::showsTextFromStart(nameEditor));
        m_form->sp4->click();
        m_form->sp1->click();
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
        m_form->n_insert->click();
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(m_form->focusWidget(), m_form->DBEdit1);
        QCOMPARE(m_form->DBEdit1->text(), QString());
        QTest::keyClicks(m_form->DBEdit1, QStringLiteral("dropped"));
        m_form->n_cancel->click();
        verifyLook(false);
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("A"));

        m_form->n_insert->click();
        QTest::keyClicks(m_form->DBEdit1, QStringLiteral("B'1"));
        m_form->n_save->click();
        verifyLook(false);
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("B'1"));
        QCOMPARE(test::customerCodes(m_data->ADOConnection1), (QStringList{"A", "B'1"}));
        QVERIFY(m_capture->take().isEmpty());
    }

    void editKeepsFocusAndSavesByKey()
    {
        fill({"A", "B"});
        m_form->show();
        m_form->sp4->click();
        QWidget *focus = m_form->focusWidget();
        m_form->n_edit->click();
        verifyLook(true);
        QCOMPARE(query().state(), State::Edit);
        QCOMPARE(m_form->focusWidget(), focus);
        m_form->DBEdit3->insert(QStringLiteral("新地址"));
        m_form->n_save->click();
        verifyLook(false);
        QCOMPARE(test::column(m_data->ADOConnection1, QStringLiteral("select * from customer"),
                              QStringLiteral("address")),
                 (QStringList{"", "新地址"}));
    }

    void editOnAnEmptyTableStartsARowAndSavesAllEmptyFields()
    {
        m_form->show();
        m_form->n_edit->click();
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        m_form->n_save->click();
        verifyLook(false);
        QCOMPARE(query().recordCount(), 1);
        QCOMPARE(test::customerCodes(m_data->ADOConnection1), QStringList{QString()});
        m_form->n_insert->click();
        m_form->n_save->click();
        QCOMPARE(query().recordCount(), 2);
        QVERIFY(m_capture->take().isEmpty());
    }

    void deleteAsksFirst()
    {
        fill({"A", "B"});
        m_form->show();
        m_capture->answer(msg::Answer::No);
        m_form->n_delete->click();
        const QList<msg::Box> boxes = m_capture->take();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("请确认是否要删除"));
        QCOMPARE(boxes[0].caption, QStringLiteral("Corvane"));
        QCOMPARE(boxes[0].icon, msg::Icon::Information);
        QCOMPARE(boxes[0].buttons, msg::Buttons::YesNo);
        QCOMPARE(boxes[0].defaultAnswer, msg::Answer::Yes);
        QCOMPARE(query().recordCount(), 2);

        m_capture->answer(msg::Answer::Yes);
        m_form->n_delete->click();
        verifyLook(false);
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("B"));
        QCOMPARE(test::customerCodes(m_data->ADOConnection1), QStringList{QStringLiteral("B")});
    }

    void deleteOnAnEmptyTableAsksThenFails()
    {
        m_form->show();
        m_capture->answer(msg::Answer::Yes);
        m_form->n_delete->click();
        QCOMPARE(m_capture->takeTexts(),
                 (QStringList{"请确认是否要删除", "Cannot perform this operation on an empty dataset."}));
        verifyLook(false);
    }

    void navigationStopsSilentlyAtTheEnds()
    {
        fill({"A", "B", "C"});
        m_form->show();
        m_form->sp2->click();
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("A"));
        m_form->sp3->click();
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("B"));
        m_form->sp4->click();
        m_form->sp3->click();
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("C"));
        m_form->sp2->click();
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("B"));
        m_form->sp1->click();
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("A"));
        verifyLook(false);
        QVERIFY(m_capture->take().isEmpty());
    }

    void refusedSaveKeepsTheRowPending()
    {
        Dataset refuse(
            m_data->ADOConnection1,
            QStringLiteral("create trigger refuse before insert on customer "
                           "when new.customercode='bad' begin select raise(abort,'refused'); end"));
        refuse.execute();
        m_form->show();
        m_form->n_insert->click();
        QTest::keyClicks(m_form->DBEdit1, QStringLiteral("bad"));
        m_form->n_save->click();
        QCOMPARE(m_capture->takeTexts(), QStringList{QStringLiteral("refused.")});
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("bad"));
        m_form->DBEdit1->setText(QStringLiteral("good"));
        m_form->n_save->click();
        verifyLook(false);
        QCOMPARE(test::customerCodes(m_data->ADOConnection1), QStringList{QStringLiteral("good")});
    }

    void enterWalksTheFieldsRowByRow()
    {
        m_form->show();
        m_form->n_insert->click();
        const QList<QPair<DBEdit *, DBEdit *>> walk = {
            {m_form->DBEdit1, m_form->DBEdit2}, {m_form->DBEdit2, m_form->DBEdit4},
            {m_form->DBEdit4, m_form->DBEdit3}, {m_form->DBEdit3, m_form->DBEdit5},
            {m_form->DBEdit5, m_form->DBEdit7}, {m_form->DBEdit7, m_form->DBEdit8},
            {m_form->DBEdit6, m_form->DBEdit3}, {m_form->DBEdit8, m_form->DBEdit8}};
        for (const auto &[from, to] : walk) {
            from->setFocus();
            QTest::keyClicks(from, QStringLiteral("x"));
            QTest::keyClick(from, Qt::Key_Return);
            QCOMPARE(m_form->focusWidget(), to);
            QCOMPARE(from->text(), QStringLiteral("x"));
        }
        QTest::keyClick(m_form->DBEdit8, Qt::Key_Enter);
        QCOMPARE(m_form->focusWidget(), m_form->DBEdit8);
        QVERIFY(m_form->isVisible());
    }

    void closeBoxKeepsThePendingRow()
    {
        m_form->show();
        m_form->n_insert->click();
        QTest::keyClicks(m_form->DBEdit2, QStringLiteral("half typed"));
        m_form->close();
        QVERIFY(!m_form->isVisible());
        QCOMPARE(query().recordCount(), 0);
        m_form->show();
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(m_form->DBEdit2->text(), QStringLiteral("half typed"));
        QTest::keyClick(m_form.get(), Qt::Key_Escape);
        QVERIFY(m_form->isVisible());
    }

    void exitHidesAndLeavesTheModalShowing()
    {
        fill({"A"});
        QTimer::singleShot(0, m_form->n_exit, &QToolButton::click);
        QCOMPARE(m_form->showModalFromMenu(), int(QDialog::Rejected));
        QVERIFY(!m_form->isVisible());
        QCOMPARE(query().state(), State::Browse);
    }

    void menuCannotShowAVisibleFormModally()
    {
        m_form->show();
        m_form->n_insert->click();
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
        QCOMPARE(m_form->DBEdit6->text(), QStringLiteral("13800138000"));
        QCOMPARE(query().fieldText(QStringLiteral("tel")), QStringLiteral("13800138000"));
        QCOMPARE(m_form->focusWidget(), m_form->DBEdit1);
        m_form->n_cancel->click();
        QCOMPARE(test::customerCodes(m_data->ADOConnection1), QStringList{QStringLiteral("A")});
    }

    // The form is already in the edit look when another unknown number calls.
    void newNumberWhilePendingKeepsWhatWasTyped()
    {
        m_form->saveNewNumber(QStringLiteral("111"));
        QTest::keyClicks(m_form->DBEdit1, QStringLiteral("first"));
        m_form->saveNewNumber(QStringLiteral("222"));
        verifyLook(true);
        QCOMPARE(query().state(), State::Insert);
        QCOMPARE(m_form->DBEdit6->text(), QStringLiteral("222"));
        QCOMPARE(m_form->DBEdit1->text(), QString());
        QCOMPARE(m_form->focusWidget(), m_form->DBEdit1);
        QCOMPARE(test::column(m_data->ADOConnection1, QStringLiteral("select * from customer"),
                              QStringLiteral("tel")),
                 QStringList{QStringLiteral("111")});

        // An untouched pending row (no number, nothing typed) is simply replaced.
        m_form->n_cancel->click();
        m_form->n_insert->click();
        m_form->saveNewNumber(QStringLiteral("333"));
        QCOMPARE(query().recordCount(), 1);
        QCOMPARE(m_form->DBEdit6->text(), QStringLiteral("333"));
        QVERIFY(m_capture->take().isEmpty());
    }

    void newNumberWhileARefusedRowIsPendingLeavesThatRow()
    {
        Dataset refuse(
            m_data->ADOConnection1,
            QStringLiteral("create trigger refuse before insert on customer "
                           "when new.customercode='bad' begin select raise(abort,'refused'); end"));
        refuse.execute();
        m_form->saveNewNumber(QStringLiteral("111"));
        QTest::keyClicks(m_form->DBEdit1, QStringLiteral("bad"));
        guarded([&] { m_form->saveNewNumber(QStringLiteral("222")); });
        QCOMPARE(m_capture->takeTexts(), QStringList{QStringLiteral("refused.")});
        verifyLook(true);
        QCOMPARE(m_form->DBEdit1->text(), QStringLiteral("bad"));
        QCOMPARE(m_form->DBEdit6->text(), QStringLiteral("111"));
    }

    void missingDatabaseShowsTheErrorAndChangesNothing()
    {
        QFile::remove(m_folder->file(QStringLiteral("tel.mdb")));
        m_form->show();
        QVERIFY(m_form->isVisible());
        m_form->n_insert->click();
        const QStringList texts = m_capture->takeTexts();
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].startsWith(QStringLiteral("Could not find file")));
        verifyLook(false);
        QVERIFY(!QFile::exists(m_folder->file(QStringLiteral("tel.mdb"))));
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<DataModule> m_data;
    std::unique_ptr<CustomerEntryForm> m_form;
    std::unique_ptr<test::MessageCapture> m_capture;
};

QTEST_MAIN(CustomerEntryFormTest)
#include "tst_customerentryform.moc"
