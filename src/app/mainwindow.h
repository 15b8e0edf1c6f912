#pragma once

#include "widgets/imagelist.h"

#include <QMainWindow>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace corvane {

class LastActiveWindow;
class SerialControl;
class MenuSkin;
class Timer;
class TrayIcon;

// Frm_main: the call display, the menus that open every other window, and the
// tray icon through which the program lives while minimised.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    SerialControl &serialPort() { return *MSComm1; }

    // Takes the tray icon away and closes the port; run on every way out.
    void releaseSystemResources();

    // The second copy's activation message.
    void wmActivateInstance();

    // Every way out runs this first: a customer row typed and not saved is
    // saved, dropped or kept as the user answers (offerCancel: staying is one
    // of the answers; without, the row is saved when it can be). Returns
    // whether the program may end.
    bool settleUnsavedEntry(bool offerCancel);

    // Line settings file access, used at show time and by the settings dialog.
    static void ReadConfig(QString &portName, QString &mode);
    static void WriteConfig(const QString &portName, const QString &mode);

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
    // Writing the number field runs its change handler, only for a new text.
    void setEdit2(const QString &text);
    void buildControls();
    void buildMenus();

    bool m_shownOnce = false;
    LastActiveWindow *m_lastActive;
};

} // namespace corvane
