#include "app/callerhistory.h"
#include "app/mainwindow.h"
#include "app/otherwindows.h"
#include "core/calldesk.h"
#include "desktop/trayicon.h"
#include "layoutfaults.h"
#include "platform/programfolder.h"
#include "platform/ringplayer.h"
#include "store/statement.h"
#include "store/stores.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace corvane;

namespace {

// The main window on its own: its menus open nothing, and nothing typed waits
// to be saved.
class NoOtherWindows : public OtherWindows
{
public:
    void showLineSettings() override {}
    void showRingSettings() override {}
    void showCustomerEntry() override {}
    void showCustomerQuery() override {}
    void showCallLog() override {}
    void showRecentCalls() override {}
    void showCallStats() override {}
    void showHelp() override {}
    void importCustomers() override {}
    void exportCustomers() override {}
    void backupDatabase() override {}
    void enterNewNumber(const QString &) override {}
    bool settleUnsavedEntry(bool) override { return true; }
};

// The call desk the window shows, with what it works with.
struct Desk
{
    Stores stores;
    RingPlayer ringPlayer;
    CallDesk callDesk{stores, ringPlayer};
    CallerHistory callerHistory{callDesk, stores.callHistory};
    TrayIcon trayIcon{QIcon(), QStringLiteral("Corvane")};
};

QAction *action(const MainWindow &w, const char *name)
{
    return test::child<QAction>(w, name);
}

} // namespace

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
    void controlsShowWholeWithTheirCaptions()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture; // no configuration yet: its error box is not the point here
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(test::layoutFaults(w), QString());
        QCOMPARE(w.windowTitle(), QStringLiteral("Corvane"));
        QLineEdit *number = test::child<QLineEdit>(w, "numberEdit");
        QVERIFY(number->isReadOnly());
        // The caller's number is read from across the room.
        QCOMPARE(number->font().pixelSize(), 32);
        QCOMPARE(test::child<QPushButton>(w, "saveNewNumberButton")->text(), QStringLiteral("保存新号码"));
        QCOMPARE(test::child<QLabel>(w, "callerLabel")->text(), QStringLiteral("您有来电显示号码："));
        QCOMPARE(test::child<QLabel>(w, "customerHeading")->text(),
                 QStringLiteral("本次来电客户完整信息如下："));
        // The date of the call stands out in black.
        const QLabel *dateLabel = nullptr;
        for (const QLabel *l : test::child<QFrame>(w, "customerPanel")->findChildren<QLabel *>())
            if (l->text() == QStringLiteral("来电日期："))
                dateLabel = l;
        QVERIFY(dateLabel);
        QCOMPARE(dateLabel->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    // Under the record: a customer's last calls, how often a new number
    // called, nothing for a withheld number or a read that fails.
    void theCallersHistoryShowsUnderTheRecord()
    {
        test::ProgramFolder folder;
        test::MessageCapture capture;
        NoOtherWindows others;
        Desk desk;
        desk.stores.connection.setDatabasePath(folder.file(QStringLiteral("tel.mdb")));
        const int year = QDate::currentDate().year();
        const QString longNote = QString(60, QChar(0x6C34));
        const auto addCall = [&](const QString &taken, const QString &number,
                                 const std::optional<QString> &code, const QString &note) {
            Statement insert(
                desk.stores.connection,
                QStringLiteral("INSERT INTO calls (taken, number, numberkey, customercode, note) "
                               "VALUES (?, ?, ?, ?, ?)"));
            const QStringList values{taken, number, number};
            for (int i = 0; i < 3; ++i)
                insert.bind(i + 1, values[i]);
            insert.bind(4, code);
            insert.bind(5, note);
            insert.run();
        };
        const QString known = QStringLiteral("C001");
        addCall(QStringLiteral("%1-12-30 17:45:00").arg(year - 1), QStringLiteral("5551234"), known, {});
        addCall(QStringLiteral("%1-01-02 09:30:00").arg(year), QStringLiteral("5551234"), known,
                QStringLiteral("<b>急</b>\n两箱"));
        addCall(QStringLiteral("%1-01-03 10:00:00").arg(year), QStringLiteral("5551234"), known, longNote);
        for (int i = 0; i < 2; ++i)
            addCall(QStringLiteral("%1-01-0%2 11:00:00").arg(year).arg(i + 1), QStringLiteral("88888888"), {},
                    {});

        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        QSignalSpy started(&desk.callDesk, &CallDesk::callShown);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The desk has started and shows no call.
        QTRY_VERIFY(!started.isEmpty());
        capture.take();
        const QLabel *history = test::child<QLabel>(w, "callHistoryLabel");
        CallDesk &callDesk = desk.callDesk;
        const auto showCall = [&](const QString &number, const QString &code) {
            Q_EMIT callDesk.callShown({number, QStringLiteral("2026-01-05"), QStringLiteral("14:05")});
            Customer customer;
            customer.customerCode = code;
            Q_EMIT callDesk.customerShown(customer);
            if (code.isEmpty() && number != QStringLiteral("P"))
                Q_EMIT callDesk.newNumber();
        };

        showCall(QStringLiteral("5551234"), known);
        QTRY_VERIFY(!history->text().isEmpty());
        const QStringList lines = history->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), CallerHistory::ShownCalls);
        QVERIFY2(lines[0].startsWith(QStringLiteral("01-03 10:00  水")) && lines[0].endsWith(QChar(0x2026)),
                 qPrintable(lines[0]));
        QCOMPARE(lines.mid(1), (QStringList{QStringLiteral("01-02 09:30  <b>急</b> 两箱"),
                                            QStringLiteral("%1-12-30 17:45").arg(year - 1)}));
        QCOMPARE(test::layoutFaults(w), QString());
        // A call written meanwhile is read again.
        addCall(QStringLiteral("%1-01-04 12:00:00").arg(year), QStringLiteral("5551234"), known,
                QStringLiteral("要两箱矿泉水"));
        Q_EMIT callDesk.callsChanged();
        QTRY_VERIFY(history->text().startsWith(QStringLiteral("01-04 12:00  要两箱矿泉水\n01-03")));

        showCall(QStringLiteral("88888888"), {});
        QTRY_COMPARE(history->text(), QStringLiteral("此号码以前来电 2 次"));
        showCall(QStringLiteral("77777777"), {});
        QTRY_COMPARE(history->text(), QStringLiteral("此号码第一次来电"));
        showCall(QStringLiteral("P"), {});
        QTRY_COMPARE(history->text(), QString());

        // The database goes away: the history goes quietly, call after call.
        showCall(QStringLiteral("5551234"), known);
        QTRY_VERIFY(!history->text().isEmpty());
        capture.take();
        desk.stores.connection.setUnavailable(QStringLiteral("gone"));
        Q_EMIT callDesk.callsChanged();
        QTRY_COMPARE(history->text(), QString());
        showCall(QStringLiteral("88888888"), {});
        QTest::qWait(0);
        QCOMPARE(history->text(), QString());
        QCOMPARE(capture.takeTexts(),
                 QStringList{QStringLiteral("此号码为新号码，如果要保存的话请点击<保存新号码>按钮")});
    }

    void menusHoldTheirItemsAndPictures()
    {
        test::ProgramFolder folder(false);
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        const QList<QAction *> top = w.menuBar()->actions();
        QCOMPARE(captions(top), (QStringList{QStringLiteral("[文件]"), QStringLiteral("[客户资料]"),
                                             QStringLiteral("[来电资料]"), QStringLiteral("[关于]")}));
        QCOMPARE(captions(top[0]->menu()->actions()),
                 (QStringList{QStringLiteral("系统设置"), QStringLiteral("来电铃声设置"),
                              QStringLiteral("备份数据库…"), QStringLiteral("退出")}));
        QCOMPARE(captions(top[1]->menu()->actions()),
                 (QStringList{QStringLiteral("客户资料输入"), QStringLiteral("客户资料查询"),
                              QStringLiteral("导入客户…"), QStringLiteral("导出客户…")}));
        QCOMPARE(captions(top[2]->menu()->actions()),
                 QStringList(
                     {QStringLiteral("来电祥情"), QStringLiteral("最近来电"), QStringLiteral("来电统计")}));
        QCOMPARE(captions(top[3]->menu()->actions()), QStringList{QStringLiteral("帮助")});
        const QMenu *trayMenu = test::child<QMenu>(w, "trayMenu");
        QCOMPARE(captions(trayMenu->actions()),
                 (QStringList{QStringLiteral("显示窗体"), QStringLiteral("退出")}));

        // Every item has its 16 x 16 picture; the two "退出" items share theirs.
        QList<QAction *> items = trayMenu->actions();
        for (const QAction *menu : top)
            items += menu->menu()->actions();
        for (const QAction *item : items) {
            QVERIFY2(!item->icon().isNull(), qPrintable(item->text()));
            QCOMPARE(item->icon().pixmap(16, 16).size(), QSize(16, 16));
        }
        QCOMPARE(action(w, "exitAction")->icon().pixmap(16, 16).toImage(),
                 action(w, "trayExitAction")->icon().pixmap(16, 16).toImage());
    }

    void missingConfigurationShowsTheConversionError()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        w.show();
        QList<msg::Box> shown;
        QTRY_VERIFY((shown += capture.take(), shown.size() >= 2));
        // The folder has no tel.mdb either, and the user is told so first.
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].text.startsWith(QStringLiteral("找不到数据库文件")), qPrintable(shown[0].text));
        QCOMPARE(shown[1].text, QStringLiteral("'' is not a valid integer value."));
        QCOMPARE(shown[1].icon, msg::Icon::Error);
        QCOMPARE(shown[1].caption, applicationTitle());
        QVERIFY(w.isVisible());
        // The window stays usable: its commands still run.
        action(w, "showWindowAction")->trigger();
        QVERIFY(w.isVisible());
    }

    void exitCommandAndCloseBoxEndTheLoop()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        w.show();
        QTimer::singleShot(50, &w, [&] { action(w, "exitAction")->trigger(); });
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
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        w.show();
        w.showMinimized();
        QTest::qWait(50);
        QVERIFY(w.isVisible());
        action(w, "showWindowAction")->trigger();
        QVERIFY(!w.isMinimized());
    }

    void secondStartBringsForwardTheWindowUsedLast()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
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
        w.bringForward();
        QTRY_COMPARE(QApplication::activeWindow(), &ring);

        // Once that window is closed, the main window comes forward.
        ring.hide();
        other.requestActivate();
        QTRY_COMPARE(QGuiApplication::focusWindow(), &other);
        w.bringForward();
        QTRY_COMPARE(QApplication::activeWindow(), &w);
    }

    void showCommandRestoresOnlyAWindowThatIsAway()
    {
        test::ProgramFolder folder(false);
        test::MessageCapture capture;
        NoOtherWindows others;
        Desk desk;
        MainWindow w(others, desk.callDesk, desk.callerHistory, desk.trayIcon);
        w.hide();
        action(w, "showWindowAction")->trigger();
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMinimized());
        w.showMinimized();
        action(w, "showWindowAction")->trigger();
        QVERIFY(!w.isMinimized());

        // Merely covered: the window the user works in keeps the focus.
        QWidget other;
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        action(w, "showWindowAction")->trigger();
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &other);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
