#include "app/mainwindow.h"

#include "app/appwindows.h"
#include "app/lastactivewindow.h"
#include "app/lineconfig.h"
#include "app/shutdown.h"
#include "app/unsavedentry.h"
#include "line/callerid.h"
#include "line/calllogwriter.h"
#include "line/ring.h"
#include "platform/guard.h"
#include "platform/messagebox.h"
#include "platform/programfolder.h"
#include "platform/ringplayer.h"
#include "platform/serialcontrol.h"
#include "platform/strtoint.h"
#include "platform/timer.h"
#include "platform/trayicon.h"
#include "records/calllogqueryform.h"
#include "records/customerentryform.h"
#include "records/customerqueryform.h"
#include "settings/helpwindow.h"
#include "settings/lineparameters.h"
#include "settings/linesettingsdialog.h"
#include "settings/ringdialog.h"
#include "store/stores.h"
#include "widgets/lineedittext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace corvane {

MainWindow::MainWindow(Stores &stores, QWidget *parent)
    : QMainWindow(parent), m_stores(stores), m_ringPlayer(new RingPlayer(this)),
      m_lastActive(new LastActiveWindow(this))
{
    buildControls();
    buildMenus();
    msg::setOwnerWindow(this);
    connect(MSComm1, &SerialControl::comm, this, [this] { guarded([this] { MSComm1Comm(); }); });
    connect(Timer1, &Timer::timeout, this, [this] { guarded([this] { Timer1Timer(); }); });
    connect(Timer2, &Timer::timeout, this, [this] { guarded([this] { Timer2Timer(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn1Click(); }); });
    connect(MSComm1, &SerialControl::lineLost, this,
            [](const QString &message) { msg::inform(tr("与来电显示设备的连接已断开：") + message); });
    // The device is back (plugged in again, or freed by the port test): the
    // modem may have been reset, so it is told its mode again, without a word.
    connect(MSComm1, &SerialControl::lineRestored, this, [this] { guarded([this] { openLine(); }); });
    // FormCreate: the tray icon and the minimise hook live from here on.
    Tray->add();
}

MainWindow::~MainWindow()
{
    // FormDestroy
    releaseSystemResources();
}

void MainWindow::releaseSystemResources()
{
    Tray->remove();
    MSComm1->setPortOpen(false);
    // Its last try at kept calls, also on the tray's immediate exit.
    m_callLog.reset();
}

void MainWindow::ReadConfig(QString &portName, QString &mode)
{
    const LineConfig config = readLineConfig();
    portName = config.portName;
    mode = config.mode;
}

bool MainWindow::WriteConfig(const QString &portName, const QString &mode)
{
    return writeLineConfig(portName, mode);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Queued, so the window is on the screen before any message of the set-up.
    QTimer::singleShot(0, this, [this] { guarded([this] { FormShow(); }); });
}

void MainWindow::FormShow()
{
    const QString database = programFolder() + QStringLiteral("tel.mdb");
    m_stores.connection.setDatabasePath(database);
    m_callLog = std::make_unique<CallLogWriter>(database, programFolder() + QStringLiteral("calls.journal"));
    m_callLog->resume();
    for (QLineEdit *e : {Edit1, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11, Edit12})
        e->clear();
    setEdit2(QString());

    QString portName;
    QString mode;
    ReadConfig(portName, mode);
    const QString portNumber = portNumberText(portName);

    setLineParameters(*MSComm1);
    // Not guarded: without a port number the set-up ends here, in the error box.
    MSComm1->setCommPort(strToInt(portNumber));
    m_mode = mode;
    openLine();
}

void MainWindow::openLine()
{
    try {
        if (!MSComm1->portOpen())
            MSComm1->setPortOpen(true);
    } catch (const Failure &) {
        // A modem not plugged in yet, or held by another program, is taken
        // up as soon as it can be, as one that was unplugged is.
        MSComm1->reopen();
        msg::inform(tr("无效的端口号，请进入[文件]菜单下的[系统设置]进行端口号设置"));
    }

    // Not guarded either: a closed port rejects the command into the error box.
    const QString command = modeCommand(m_mode);
    if (!command.isEmpty())
        MSComm1->output(command);
}

void MainWindow::MSComm1Comm()
{
    const int bufferCount = MSComm1->inBufferCount();
    Edit1->setText(QString::number(bufferCount));
    const QString text = upperAscii(MSComm1->input());
    // Modem answers (the echo, "OK", "RING") end here.
    if (!isCallerIdReport(text))
        return;
    IncomingCall(text, bufferCount);
}

void MainWindow::IncomingCall(const QString &text, int bufferCount)
{
    n50Click();
    // The ring sounds on its own thread while the caller is shown.
    PlayRing();

    const CallerIdTrace trace = traceCallerIdReport(text, bufferCount);
    Label5->setText(trace.label5);
    Label15->setText(trace.label15);
    Label16->setText(trace.label16);
    Label4->setText(trace.label4);
    // The year is the PC clock's at this moment, the ring having started.
    const CallerIdReport report = ParseCallerIdReport(text, bufferCount);
    // Some lines send one call's report twice; the repeat rings, but is
    // neither looked up nor logged again. A new call from the number shown is.
    const bool repeat = report == shownCall();
    showFromStart(Edit11, report.dateText);
    showFromStart(Edit12, report.timeText);
    if (!repeat)
        setEdit2(report.number);

    Timer1->setEnabled(true);
    Timer2->setEnabled(true);
}

void MainWindow::setEdit2(const QString &text)
{
    showFromStart(Edit2, text);
    Edit2Change();
}

CallerIdReport MainWindow::shownCall() const
{
    return {Edit2->text(), Edit11->text(), Edit12->text()};
}

void MainWindow::Edit2Change()
{
    if (trimControls(Edit2->text()).isEmpty())
        return;
    const std::optional<Customer> customer = m_stores.customers.customerByTel(Edit2->text());
    if (!customer) {
        msg::inform(tr("此号码为新号码，如果要保存的话请点击<保存新号码>按钮"));
        Timer1->setEnabled(false);
        return;
    }
    const std::pair<QLineEdit *, const QString *> fields[] = {
        {Edit3, &customer->customerCode}, {Edit4, &customer->postcode}, {Edit5, &customer->contact},
        {Edit6, &customer->tel},          {Edit7, &customer->name},     {Edit8, &customer->qq},
        {Edit9, &customer->email},        {Edit10, &customer->address},
    };
    for (const auto &[edit, text] : fields)
        showFromStart(edit, *text);
    Timer1->setEnabled(false);

    m_callLog->write({Edit11->text(), Edit12->text(), Edit2->text(), Edit3->text(), Edit7->text()});
}

void MainWindow::Timer1Timer()
{
    PlayRing();
}

void MainWindow::Timer2Timer()
{
    Timer1->setEnabled(false);
    Timer2->setEnabled(false);
}

void MainWindow::BitBtn1Click()
{
    windows().Form3->saveNewNumber(Edit2->text());
    setEdit2(QString());
}

void MainWindow::PlayRing()
{
    m_ringPlayer->play(currentRingFile(m_stores.rings));
}

void MainWindow::N2Click()
{
    windows().Frm_sz->showModalFromMenu();
}

void MainWindow::N10Click()
{
    windows().Form8->showFromMenu();
}

void MainWindow::N3Click()
{
    if (settleUnsavedEntry(true))
        QCoreApplication::quit();
}

void MainWindow::N5Click()
{
    windows().Form3->showModalFromMenu();
}

void MainWindow::N6Click()
{
    windows().Form7->showModalFromMenu();
}

void MainWindow::N12Click()
{
    windows().Form5->showModalFromMenu();
}

void MainWindow::N8Click()
{
    windows().Form10->showModalFromMenu();
}

void MainWindow::n50Click()
{
    // Only a window that is away (in the tray or minimised) comes back; one that
    // is merely covered stays where it is.
    if (isVisible() && !isMinimized())
        return;
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void MainWindow::endOnRequest()
{
    // Nobody may be there to answer: a typed row is saved when it can be.
    settleUnsavedEntry(false);
    QCoreApplication::quit();
}

void MainWindow::MenuItem2Click()
{
    settleUnsavedEntry(false);
    haltNow();
}

bool MainWindow::settleUnsavedEntry(bool offerCancel)
{
    CustomerEntryForm *form = windows().Form3;
    return !form || corvane::settleUnsavedEntry(*form, offerCancel);
}

void MainWindow::wmTrayNotifyRestore()
{
    guarded([this] { n50Click(); });
}

void MainWindow::wmTrayNotifyContext()
{
    PopupMenu1->popup(QCursor::pos());
}

void MainWindow::wmActivateInstance()
{
    if (!isVisible() || isMinimized()) {
        n50Click();
        return;
    }
    QWidget *front = m_lastActive->windowToBringForward();
    front->raise();
    front->activateWindow();
}

void MainWindow::minimize()
{
    // Without a tray host the window would be unreachable once hidden: it then
    // stays minimised with its taskbar button.
    if (TrayIcon::hostAvailable())
        hide();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                minimize();
        });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A failure while settling keeps the program, and the row, where they are.
    bool mayEnd = false;
    guarded([&] { mayEnd = settleUnsavedEntry(true); });
    if (!mayEnd) {
        event->ignore();
        return;
    }
    event->accept();
    // Queued: quitting closes every window, this one included.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PopupMenu1 &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress)) {
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace corvane
