#pragma once

#include "widgets/imagelist.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace corvane {

class CallLogWriter;
class LastActiveWindow;
class SerialControl;
class MenuSkin;
class RingPlayer;
struct Stores;
class Timer;
struct CallerIdReport;
class TrayIcon;

// Frm_main: the call display, the menus that open every other window, and the
// tray icon through which the program lives while minimised.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(Stores &stores, QWidget *parent = nullptr);
    ~MainWindow() override;

    SerialControl &serialPort() { return *MSComm1; }
    // The one player of every ring, the ring dialog's preview included.
    RingPlayer &ringPlayer() { return *m_ringPlayer; }

    // Takes the tray icon away, closes the port and makes a last try at kept
    // calls; run on every way out.
    void releaseSystemResources();

    // The second copy's activation message.
    void wmActivateInstance();

    // Every way out runs this first: a customer row typed and not saved is
    // saved, dropped or kept as the user answers (offerCancel: staying is one
    // of the answers; without, the row is saved when it can be). Returns
    // whether the program may end.
    bool settleUnsavedEntry(bool offerCancel);
    // A request to end from outside (a termination signal): ends as "退出"
    // does, without a question.
    void endOnRequest();

    // Line settings file access, used at show time and by the settings dialog.
    static void ReadConfig(QString &portName, QString &mode);
    static bool WriteConfig(const QString &portName, const QString &mode);

    // Controls, by their names.
    QFrame *Panel1;
    QFrame *Panel2;
    QLabel *Label1;
    QLabel *Label12;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QLineEdit *Edit5;
    QLineEdit *Edit6;
    QLineEdit *Edit7;
    QLineEdit *Edit8;
    QLineEdit *Edit9;
    QLineEdit *Edit10;
    QLineEdit *Edit11;
    QLineEdit *Edit12;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label15;
    QLabel *Label16;
    QPushButton *BitBtn1;
    SerialControl *MSComm1;
    Timer *Timer1;
    Timer *Timer2;
    QMenuBar *MainMenu1;
    QMenu *PopupMenu1;
    ImageList *ImageList1;
    MenuSkin *MenuSkin1;
    TrayIcon *Tray;

    // Menu items, by their names.
    QAction *N2;
    QAction *N10;
    QAction *N3;
    QAction *N5;
    QAction *N6;
    QAction *N12;
    QAction *N8;
    QAction *n50;
    QAction *MenuItem2;

    // Handlers.
    void FormShow();
    void MSComm1Comm();
    void IncomingCall(const QString &text, int bufferCount);
    void Edit2Change();
    void Timer1Timer();
    void Timer2Timer();
    void BitBtn1Click();
    void PlayRing();
    void N2Click();
    void N10Click();
    void N3Click();
    void N5Click();
    void N6Click();
    void N12Click();
    void N8Click();
    void n50Click();
    void MenuItem2Click();
    void wmTrayNotifyRestore();
    void wmTrayNotifyContext();
    void minimize();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Writing the number field runs its change handler.
    void setEdit2(const QString &text);
    // The call the window shows: its number, date and time texts.
    CallerIdReport shownCall() const;
    void buildControls();
    void buildMenus();
    // The port part of the set-up, at start and whenever the line comes back:
    // opens the port unless it is open, then sends the mode command.
    void openLine();

    Stores &m_stores;
    RingPlayer *m_ringPlayer;
    bool m_shownOnce = false;
    // Made at show time, when the database's place is known.
    std::unique_ptr<CallLogWriter> m_callLog;
    QString m_mode;
    LastActiveWindow *m_lastActive;
};

} // namespace corvane
