// The application as start-up builds it: each menu command of the main window
// opens its own window.

#include "app/application.h"
#include "app/mainwindow.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

using namespace corvane;

class TestApplication : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::ProgramFolder> m_folder;
    std::unique_ptr<test::MessageCapture> m_capture;
    std::unique_ptr<Application> m_app;

    MainWindow &w() { return m_app->mainWindow(); }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<test::ProgramFolder>();
        m_capture = std::make_unique<test::MessageCapture>();
        m_app = std::make_unique<Application>();
        // Started as the program starts; without a zel.ini the set-up ends in
        // its error box.
        m_app->start();
        QList<msg::Box> shown;
        QTRY_VERIFY((shown += m_capture->take(), !shown.isEmpty()));
    }

    void cleanup()
    {
        m_app.reset();
        m_capture.reset();
        m_folder.reset();
    }

    void eachMenuCommandOpensItsWindow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("modal");
        QTest::newRow("系统设置") << "lineSettingsAction"
                                  << "设置" << true;
        QTest::newRow("来电铃声设置") << "ringSettingsAction"
                                      << "来电铃声设置" << false;
        QTest::newRow("客户资料输入") << "customerEntryAction"
                                      << "客户资料输入" << true;
        QTest::newRow("客户资料查询") << "customerQueryAction"
                                      << "客户资料明细查询" << true;
        QTest::newRow("来电祥情") << "callLogAction"
                                  << "来电显示明细记录查询" << true;
        QTest::newRow("最近来电") << "recentCallsAction"
                                  << "最近来电" << false;
        QTest::newRow("来电统计") << "callStatsAction"
                                  << "来电统计" << false;
        QTest::newRow("帮助") << "helpAction"
                              << "使用说明" << true;
    }
    void eachMenuCommandOpensItsWindow()
    {
        QFETCH(QString, action);
        QFETCH(QString, title);
        QFETCH(bool, modal);
        QAction *command = test::child<QAction>(w(), action.toLatin1().constData());
        if (!modal) {
            command->trigger();
            QTRY_VERIFY(QApplication::activeWindow() && QApplication::activeWindow()->windowTitle() == title);
            QVERIFY(m_capture->take().isEmpty());
            return;
        }
        // A modal window runs its own loop: it is looked at, then closed, from
        // inside that loop.
        QString seen;
        QTimer::singleShot(100, qApp, [&] {
            if (QWidget *front = QApplication::activeModalWidget()) {
                seen = front->windowTitle();
                front->close();
            }
        });
        command->trigger();
        QCOMPARE(seen, title);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(m_capture->take().isEmpty());
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
