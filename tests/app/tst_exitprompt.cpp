// Ending the program while the customer entry form holds a row typed and not
// saved: the question, and what each answer does, on every way out.

#include "app/application.h"
#include "app/mainwindow.h"
#include "records/customerentryform.h"
#include "records/dataset.h"
#include "records/dbedit.h"
#include "testsupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUuid>

using namespace corvane;

class TestExitPrompt : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::MessageCapture> m_capture;

    std::unique_ptr<Application> m_app;

    MainWindow &w() { return m_app->mainWindow(); }
    CustomerEntryForm &form() { return m_app->customerEntryForm(); }
    void chooseExit() { test::child<QAction>(w(), "exitAction")->trigger(); }
    DBEdit *codeEdit() { return test::child<DBEdit>(form(), "customerCodeEdit"); }

    // A new customer typed into the form shown beside the main window, as
    // after "保存新号码", and left unsaved.
    void typeNewCustomer()
    {
        form().saveNewNumber(QStringLiteral("5550001"));
        QTest::keyClicks(codeEdit(), QStringLiteral("K9"));
        QVERIFY(form().hasChangedRow());
    }

    QStringList storedCodes()
    {
        const QString name = QUuid::createUuid().toString();
        QStringList codes;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_folder->file(QStringLiteral("tel.mdb")));
            db.open();
            QSqlQuery q(QStringLiteral("select customercode from customer"), db);
            while (q.next())
                codes.append(q.value(0).toString());
        }
        QSqlDatabase::removeDatabase(name);
        return codes;
    }

    void runStatement(const QString &statement)
    {
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_folder->file(QStringLiteral("tel.mdb")));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(statement));
        }
        QSqlDatabase::removeDatabase(name);
    }

    // Runs the event loop until the program quits (true) or a moment has
    // passed without it (false).
    static bool quitsAfter(const std::function<void()> &action)
    {
        QTimer::singleShot(0, qApp, action);
        QTimer patience;
        patience.setSingleShot(true);
        QObject::connect(&patience, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
        patience.start(1500);
        return QCoreApplication::exec() == 0;
    }

    msg::Box onlyQuestion()
    {
        const QList<msg::Box> shown = m_capture->take();
        if (shown.size() != 1)
            return {};
        return shown.first();
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_capture = std::make_unique<test::MessageCapture>();
        m_app = std::make_unique<Application>();
        // Shown as at start-up; without a zel.ini the set-up ends in its error box.
        w().show();
        QList<msg::Box> shown;
        QTRY_VERIFY((shown += m_capture->take(), !shown.isEmpty()));
    }

    void cleanup()
    {
        m_app.reset();
        m_capture.reset();
        m_folder.reset();
    }

    void nothingTypedEndsWithoutAQuestion()
    {
        form().saveNewNumber(QString());
        QVERIFY(!form().hasChangedRow());
        QVERIFY(quitsAfter([this] { chooseExit(); }));
        QVERIFY(m_capture->take().isEmpty());
    }

    void yesSavesTheRowAndEnds()
    {
        typeNewCustomer();
        m_capture->answer(msg::Answer::Yes);
        QVERIFY(quitsAfter([this] { chooseExit(); }));
        const msg::Box question = onlyQuestion();
        QCOMPARE(question.text, QStringLiteral("客户资料尚未保存，是否保存？"));
        QCOMPARE(question.buttons, msg::Buttons::YesNoCancel);
        QCOMPARE(question.icon, msg::Icon::Question);
        QCOMPARE(question.defaultAnswer, msg::Answer::Yes);
        QCOMPARE(storedCodes(), QStringList{QStringLiteral("K9")});
        QVERIFY(!form().isEditLook());
    }

    void yesStaysWhenTheDatabaseRefusesTheRow()
    {
        runStatement(QStringLiteral("create trigger refuse before insert on customer "
                                    "begin select raise(abort, 'disk full'); end"));
        typeNewCustomer();
        m_capture->answer(msg::Answer::Yes);
        QVERIFY(!quitsAfter([this] { chooseExit(); }));
        const QList<msg::Box> shown = m_capture->take();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[1].icon, msg::Icon::Error);
        QVERIFY2(shown[1].text.contains(QStringLiteral("disk full")), qPrintable(shown[1].text));
        // The row is still there to be corrected, in front of the user.
        QVERIFY(form().hasChangedRow());
        QVERIFY(form().isVisible());
        QCOMPARE(codeEdit()->text(), QStringLiteral("K9"));
        QVERIFY(storedCodes().isEmpty());
    }

    void noDropsTheRowAndEnds()
    {
        typeNewCustomer();
        m_capture->answer(msg::Answer::No);
        QVERIFY(quitsAfter([this] { chooseExit(); }));
        QCOMPARE(onlyQuestion().text, QStringLiteral("客户资料尚未保存，是否保存？"));
        QVERIFY(storedCodes().isEmpty());
        QVERIFY(!form().isEditLook());
    }

    void cancelKeepsTheProgramAndTheRow()
    {
        typeNewCustomer();
        m_capture->answer(msg::Answer::Cancel);
        QVERIFY(!quitsAfter([this] { chooseExit(); }));
        QCOMPARE(onlyQuestion().buttons, msg::Buttons::YesNoCancel);
        QVERIFY(form().hasChangedRow());
        QVERIFY(storedCodes().isEmpty());
    }

    void closeBoxAsksTooAndCancelKeepsTheWindowOpen()
    {
        typeNewCustomer();
        m_capture->answer(msg::Answer::Cancel);
        QCloseEvent refused;
        QCoreApplication::sendEvent(&w(), &refused);
        QVERIFY(!refused.isAccepted());
        QCOMPARE(onlyQuestion().text, QStringLiteral("客户资料尚未保存，是否保存？"));
        QVERIFY(w().isVisible());

        // The form hidden by its own close box keeps the row, and still counts.
        form().close();
        QVERIFY(form().hasChangedRow());
        m_capture->answer(msg::Answer::Yes);
        QVERIFY(quitsAfter([this] { w().close(); }));
        QCOMPARE(storedCodes(), QStringList{QStringLiteral("K9")});
    }

    void endingWithoutAChoiceSavesWithoutAsking()
    {
        // The tray's "退出" ends at once: no question, the row saved.
        typeNewCustomer();
        QVERIFY(w().settleUnsavedEntry(false));
        QVERIFY(m_capture->take().isEmpty());
        QCOMPARE(storedCodes(), QStringList{QStringLiteral("K9")});

        // A refused row cannot hold the end up either.
        runStatement(QStringLiteral("create trigger refuse before insert on customer "
                                    "begin select raise(abort, 'disk full'); end"));
        form().saveNewNumber(QStringLiteral("5550002"));
        QTest::keyClicks(codeEdit(), QStringLiteral("K10"));
        QVERIFY(w().settleUnsavedEntry(false));
        QVERIFY(m_capture->take().isEmpty());
    }
};

QTEST_MAIN(TestExitPrompt)
#include "tst_exitprompt.moc"
