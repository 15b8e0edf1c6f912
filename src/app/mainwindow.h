#pragma once

#include <QMainWindow>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace corvane {

class CallDesk;
class CallerHistory;
class ImageList;
class LastActiveWindow;
class OtherWindows;
class TrayIcon;
struct CallerIdReport;
struct Customer;

// The call display of the call desk with the caller's history under the
// record, the menus that open every other window, and the tray icon through
// which the program lives while minimised.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(OtherWindows &otherWindows, CallDesk &callDesk, CallerHistory &callerHistory,
               TrayIcon &trayIcon, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Takes the tray icon away and releases the desk's port and call log;
    // run on every way out.
    void releaseSystemResources();

    // A second copy was started: the window the user worked in last comes
    // forward, or this one back from the tray.
    void bringForward();
    // Starts as from the login: the line is set up with no window shown, the
    // program waiting in the tray. Without a tray host the window starts
    // minimised instead, so it can still be reached.
    void startInTray();

    // The user chose "显示" on the notification of a call: the main window,
    // with the caller, comes forward even from behind others.
    void showFromNotification(const QString &activationToken);

    // See OtherWindows::settleUnsavedEntry.
    bool settleUnsavedEntry(bool offerCancel);
    // A request to end from outside (a termination signal): ends as "退出"
    // does, without a question.
    void endOnRequest();

Q_SIGNALS:
    // The user brought the window forward, by any way but the notification's
    // own: the tray, the taskbar, a second start.
    void cameForward();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();

    void connectCallDesk();
    void onCallArrived();
    void showCall(const CallerIdReport &call);
    void showCustomer(const Customer &customer);
    // A long background keying of the customers' numbers, in the status line.
    void showKeyingProgress(qint64 keyed, qint64 total);
    static constexpr int KeyingDoneShownMs = 10000;
    void showCallHistory(const QStringList &lines);
    void onSaveNewNumberClicked();
    void onExitTriggered();
    void onShowWindowTriggered();
    // Shown, restored, raised and activated, wherever it was.
    void comeForward();
    void onTrayExitTriggered();
    void onTrayContextMenuRequested();
    // Minimised: into the tray, where there is one.
    void hideToTray();

    OtherWindows &m_otherWindows;
    CallDesk &m_callDesk;
    LastActiveWindow *m_lastActive;

    QLineEdit *m_numberEdit = nullptr;
    QLineEdit *m_customerCodeEdit = nullptr;
    QLineEdit *m_postcodeEdit = nullptr;
    QLineEdit *m_contactEdit = nullptr;
    QLineEdit *m_telEdit = nullptr;
    QLineEdit *m_customerNameEdit = nullptr;
    QLineEdit *m_qqEdit = nullptr;
    QLineEdit *m_emailEdit = nullptr;
    QLineEdit *m_addressEdit = nullptr;
    QLineEdit *m_callDateEdit = nullptr;
    QLineEdit *m_callTimeEdit = nullptr;
    QLabel *m_callHistoryLabel = nullptr;
    QPushButton *m_saveNewNumberButton = nullptr;
    QMenu *m_trayMenu = nullptr;
    ImageList *m_menuImages = nullptr;
    TrayIcon &m_trayIcon;

    // Set up the line once, on the first show or the start in the tray.
    void startCallDesk();
    bool m_callDeskStarted = false;
    // The call brought the window back from the tray: that activation is
    // the call's, not the user's.
    bool m_callBringsForward = false;
};

} // namespace corvane
