#pragma once

#include <QMainWindow>

#include <memory>

class QLineEdit;
class QMenu;
class QPushButton;

namespace corvane {

class CallLogWriter;
class ImageList;
class LastActiveWindow;
class OtherWindows;
class RingPlayer;
class SerialControl;
struct Stores;
class Timer;
class TrayIcon;
struct CallerIdReport;

// The call display, the menus that open every other window, and the tray icon
// through which the program lives while minimised.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(OtherWindows &otherWindows, Stores &stores, QWidget *parent = nullptr);
    ~MainWindow() override;

    SerialControl &serialPort() { return *m_serialPort; }
    // The one player of every ring, the ring dialog's preview included.
    RingPlayer &ringPlayer() { return *m_ringPlayer; }

    // Takes the tray icon away, closes the port and makes a last try at kept
    // calls; run on every way out.
    void releaseSystemResources();

    // A second copy was started: the window the user worked in last comes
    // forward, or this one back from the tray.
    void bringForward();

    // See OtherWindows::settleUnsavedEntry.
    bool settleUnsavedEntry(bool offerCancel);
    // A request to end from outside (a termination signal): ends as "退出"
    // does, without a question.
    void endOnRequest();

Q_SIGNALS:
    // Bytes came in from the line and are about to be handled.
    void lineDataArrived();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();

    // The set-up at the first showing: the database's place, the call log,
    // the line settings and the port.
    void onFirstShown();
    // The port part of the set-up, at start and whenever the line comes back:
    // opens the port unless it is open, then sends the mode command.
    void openLine();
    void onLineData();
    void showIncomingCall(const QString &text, int bufferCount);
    // Writing the number field looks the number up.
    void setNumber(const QString &text);
    void lookUpNumber();
    // The call the window shows: its number, date and time texts.
    CallerIdReport shownCall() const;
    void playRing();
    void onRepeatRingTimeout();
    void onRingPeriodTimeout();
    void onSaveNewNumberClicked();
    void onExitTriggered();
    void onShowWindowTriggered();
    void onTrayExitTriggered();
    void onTrayContextMenuRequested();
    // Minimised: into the tray, where there is one.
    void hideToTray();

    OtherWindows &m_otherWindows;
    Stores &m_stores;
    RingPlayer *m_ringPlayer;
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
    QPushButton *m_saveNewNumberButton = nullptr;
    QMenu *m_trayMenu = nullptr;
    ImageList *m_menuImages = nullptr;
    TrayIcon *m_trayIcon = nullptr;
    SerialControl *m_serialPort = nullptr;
    // Rings again every 3 s until the caller is found or the ring period ends.
    Timer *m_repeatRingTimer = nullptr;
    // Ends the repeated ringing 9 s after the report.
    Timer *m_ringPeriodTimer = nullptr;

    bool m_shownOnce = false;
    // Made at show time, when the database's place is known.
    std::unique_ptr<CallLogWriter> m_callLog;
    QString m_mode;
};

} // namespace corvane
