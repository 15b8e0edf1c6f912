#include "app/iconset.h"
#include "app/mainwindow.h"
#include "platform/programfolder.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace corvane;

class TestMainWindow : public QObject
{
    Q_OBJECT

    static QStringList captions(const QList<QAction *> &actions)
    {
        QStringList list;
        for (const QAction *a : actions)
            list.append(a->text());
        return list;
    }

private Q_SLOTS:
    void controlsStandWhereTheShopExpectsThem()
    {
        test::ProgramFolder folder(false);
        Stores stores;
        MainWindow w(stores);
        QCOMPARE(w.windowTitle(), QStringLiteral("Corvane"));
        QCOMPARE(w.Panel1->height(), 73);
        QCOMPARE(w.Edit2->geometry(), QRect(144, 12, 233, 45));
        QCOMPARE(w.Edit2->font().pixelSize(), 32);
        QCOMPARE(w.Edit2->font().family(), QStringLiteral("宋体"));
        QVERIFY(w.Edit2->isReadOnly());
        QCOMPARE(w.BitBtn1->geometry(), QRect(384, 16, 105, 41));
        QCOMPARE(w.BitBtn1->text(), QStringLiteral("保存新号码"));
        QCOMPARE(w.Label1->text(), QStringLiteral("您有来电显示号码："));
        QCOMPARE(w.Label1->pos(), QPoint(8, 24));
        QCOMPARE(w.Label1->font().pixelSize(), 14);
        QCOMPARE(w.Label12->text(), QStringLiteral("本次来电客户完整信息如下："));
        QCOMPARE(w.Panel2->font().pixelSize(), 14);
        QCOMPARE(w.Edit3->geometry(), QRect(112, 48, 121, 22));
        QCOMPARE(w.Edit8->geometry(), QRect(368, 96, 217, 22));
        QCOMPARE(w.Edit12->geometry(), QRect(368, 264, 217, 22));
        QCOMPARE(w.Edit10->parentWidget(), w.Panel2);
        const QLabel *dateLabel = nullptr;
        for (const QLabel *l : w.Panel2->findChildren<QLabel *>())
            if (l->text() == QStringLiteral("来电日期："))
                dateLabel = l;
        QVERIFY(dateLabel);
        QCOMPARE(dateLabel->pos(), QPoint(32, 264));
        QCOMPARE(dateLabel->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(!w.Edit1->isVisibleTo(&w));
        QVERIFY(!w.Label4->isVisibleTo(&w));
        // Outer size 612 x 467 less the frame allowance.
        QCOMPARE(w.size(), QSize(604, 436));
    }

    void menusHoldTheirItemsAndPictures()
    {
        test::ProgramFolder folder(false);
        Stores stores;
        MainWindow w(stores);
        const QList<QAction *> top = w.MainMenu1->actions();
        QCOMPARE(captions(top), (QStringList{QStringLiteral("[文件]"), QStringLiteral("[客户资料]"),
                                             QStringLiteral("[来电资料]"), QStringLiteral("[关于]")}));
        QCOMPARE(captions(top[0]->menu()->actions()),
                 (QStringList{QStringLiteral("系统设置"), QStringLiteral("来电铃声设置"),
                              QStringLiteral("退出")}));
        QCOMPARE(captions(top[1]->menu()->actions()),
                 (QStringList{QStringLiteral("客户资料输入"), QStringLiteral("客户资料查询")}));
        QCOMPARE(captions(top[2]->menu()->actions()), QStringList{QStringLiteral("来电祥情")});
        QCOMPARE(captions(top[3]->menu()->actions()), QStringList{QStringLiteral("帮助")});
        QCOMPARE(captions(w.PopupMenu1->actions()),
                 (QStringList{QStringLiteral("显示窗体"), QStringLiteral("退出")}));

        const std::pair<QAction *, int> images[] = {{w.N2, 5},  {w.N10, 0},  {w.N3, 34},
                                                    {w.N5, 20}, {w.N6, 20},  {w.N12, 4},
                                                    {w.N8, 37}, {w.n50, 36}, {w.MenuItem2, 34}};
        for (const auto &[action, index] : images) {
            QCOMPARE(action->property("ImageIndex").toInt(), index);
            QVERIFY2(!w.ImageList1->image(index).isNull(), qPrintable(action->text()));
            QCOMPARE(w.ImageList1->image(index).size(), QSize(16, 16));
        }
    }

    void missingConfigurationShowsTheConversionError()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        Stores stores;
        MainWindow w(stores);
        w.show();
        QList<msg::Box> shown;
        QTRY_VERIFY((shown += capture.take(), !shown.isEmpty()));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text, QStringLiteral("'' is not a valid integer value."));
        QCOMPARE(shown[0].icon, msg::Icon::Error);
        QCOMPARE(shown[0].caption, applicationTitle());
        QVERIFY(w.isVisible());
        // The window stays usable: its commands still run.
        w.n50Click();
        QVERIFY(w.isVisible());
    }

    void exitCommandAndCloseBoxEndTheLoop()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        Stores stores;
        MainWindow w(stores);
        w.show();
        QTimer::singleShot(50, &w, [&] { w.N3->trigger(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);

        QTimer::singleShot(50, &w, [&] { w.close(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void withoutTrayHostMinimisingKeepsTheWindowReachable()
    {
        // The offscreen platform has no tray host.
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        Stores stores;
        MainWindow w(stores);
        w.show();
        w.showMinimized();
        QTest::qWait(50);
        QVERIFY(w.isVisible());
        w.n50Click();
        QVERIFY(!w.isMinimized());
    }

    void secondStartBringsForwardTheWindowUsedLast()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        Stores stores;
        MainWindow w(stores);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // A modeless window of the program (the ring dialog, say) worked in last,
        QDialog ring(&w);
        ring.show();
        ring.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &ring);
        // then another program's window in front.
        QWindow other;
        other.show();
        other.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &other);
        w.wmActivateInstance();
        QTRY_COMPARE(QApplication::activeWindow(), &ring);

        // Once that window is closed, the main window comes forward.
        ring.hide();
        other.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &other);
        w.wmActivateInstance();
        QTRY_COMPARE(QApplication::activeWindow(), &w);
    }

    void showCommandRestoresOnlyAWindowThatIsAway()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        Stores stores;
        MainWindow w(stores);
        w.hide();
        w.n50Click();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        w.showMinimized();
        w.n50Click();
        QVERIFY(!w.isMinimized());

        // Merely covered: the window the user works in keeps the focus.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        w.n50Click();
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &other);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
