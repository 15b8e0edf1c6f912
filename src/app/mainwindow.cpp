#include "app/mainwindow.h"

#include "app/lastactivewindow.h"
#include "app/lineconfig.h"
#include "app/otherwindows.h"
#include "app/shutdown.h"
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
#include "settings/lineparameters.h"
#include "store/stores.h"
#include "widgets/lineedittext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace corvane {

MainWindow::MainWindow(OtherWindows &otherWindows, Stores &stores, QWidget *parent)
    : QMainWindow(parent), m_otherWindows(otherWindows), m_stores(stores), m_ringPlayer(new RingPlayer(this)),
      m_lastActive(new LastActiveWindow(this))
{
    buildControls();
    buildMenus();
    connect(m_serialPort, &SerialControl::dataReceived, this, [this] { guarded([this] { onLineData(); }); });
    connect(m_repeatRingTimer, &Timer::timeout, this, [this] { guarded([this] { onRepeatRingTimeout(); }); });
    connect(m_ringPeriodTimer, &Timer::timeout, this, [this] { guarded([this] { onRingPeriodTimeout(); }); });
    connect(m_serialPort, &SerialControl::lineLost, this,
            [](const QString &message) { msg::inform(tr("与来电显示设备的连接已断开：") + message); });
    // The device is back (plugged in again, or freed by the port test): the
    // modem may have been reset, so it is told its mode again, without a word.
    connect(m_serialPort, &SerialControl::lineRestored, this, [this] { guarded([this] { openLine(); }); });
    // The tray icon and the minimise hook live as long as the window.
    m_trayIcon->add();
}

MainWindow::~MainWindow()
{
    releaseSystemResources();
}

void MainWindow::releaseSystemResources()
{
    m_trayIcon->remove();
    m_serialPort->setOpen(false);
    // Its last try at kept calls, also on the tray's immediate exit.
    m_callLog.reset();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Queued, so the window is on the screen before any message of the set-up.
    QTimer::singleShot(0, this, [this] { guarded([this] { onFirstShown(); }); });
}

void MainWindow::onFirstShown()
{
    const QString database = programFolder() + QStringLiteral("tel.mdb");
    m_stores.connection.setDatabasePath(database);
    m_callLog = std::make_unique<CallLogWriter>(database, programFolder() + QStringLiteral("calls.journal"));
    m_callLog->resume();
    for (QLineEdit *e : {m_customerCodeEdit, m_postcodeEdit, m_contactEdit, m_telEdit, m_customerNameEdit,
                         m_qqEdit, m_emailEdit, m_addressEdit, m_callDateEdit, m_callTimeEdit})
        e->clear();
    setNumber(QString());

    const LineConfig config = readLineConfig();
    const QString portNumber = portNumberText(config.portName);

    setLineParameters(*m_serialPort);
    // Not guarded: without a port number the set-up ends here, in the error box.
    m_serialPort->setPortNumber(strToInt(portNumber));
    m_mode = config.mode;
    openLine();
}

void MainWindow::openLine()
{
    try {
        if (!m_serialPort->isOpen())
            m_serialPort->setOpen(true);
    } catch (const Failure &) {
        // A modem not plugged in yet, or held by another program, is taken
        // up as soon as it can be, as one that was unplugged is.
        m_serialPort->reopen();
        msg::inform(tr("无效的端口号，请进入[文件]菜单下的[系统设置]进行端口号设置"));
    }

    // Not guarded either: a closed port rejects the command into the error box.
    const QString command = modeCommand(m_mode);
    if (!command.isEmpty())
        m_serialPort->output(command);
}

void MainWindow::onLineData()
{
    const int bufferCount = m_serialPort->inBufferCount();
    Q_EMIT lineDataArrived();
    const QString text = upperAscii(m_serialPort->input());
    // Modem answers (the echo, "OK", "RING") end here.
    if (!isCallerIdReport(text))
        return;
    showIncomingCall(text, bufferCount);
}

void MainWindow::showIncomingCall(const QString &text, int bufferCount)
{
    onShowWindowTriggered();
    // The ring sounds on its own thread while the caller is shown.
    playRing();

    // The year is the PC clock's at this moment, the ring having started.
    const CallerIdReport report = parseCallerIdReport(text, bufferCount);
    // Some lines send one call's report twice; the repeat rings, but is
    // neither looked up nor logged again. A new call from the number shown is.
    const bool repeat = report == shownCall();
    showFromStart(m_callDateEdit, report.dateText);
    showFromStart(m_callTimeEdit, report.timeText);
    if (!repeat)
        setNumber(report.number);

    m_repeatRingTimer->setEnabled(true);
    m_ringPeriodTimer->setEnabled(true);
}

void MainWindow::setNumber(const QString &text)
{
    showFromStart(m_numberEdit, text);
    lookUpNumber();
}

CallerIdReport MainWindow::shownCall() const
{
    return {m_numberEdit->text(), m_callDateEdit->text(), m_callTimeEdit->text()};
}

void MainWindow::lookUpNumber()
{
    if (trimControls(m_numberEdit->text()).isEmpty())
        return;
    const std::optional<Customer> customer = m_stores.customers.customerByTel(m_numberEdit->text());
    if (!customer) {
        msg::inform(tr("此号码为新号码，如果要保存的话请点击<保存新号码>按钮"));
        m_repeatRingTimer->setEnabled(false);
        return;
    }
    const std::pair<QLineEdit *, const QString *> fields[] = {
        {m_customerCodeEdit, &customer->customerCode},
        {m_postcodeEdit, &customer->postcode},
        {m_contactEdit, &customer->contact},
        {m_telEdit, &customer->tel},
        {m_customerNameEdit, &customer->name},
        {m_qqEdit, &customer->qq},
        {m_emailEdit, &customer->email},
        {m_addressEdit, &customer->address},
    };
    for (const auto &[edit, text] : fields)
        showFromStart(edit, *text);
    m_repeatRingTimer->setEnabled(false);

    m_callLog->write({m_callDateEdit->text(), m_callTimeEdit->text(), m_numberEdit->text(),
                      m_customerCodeEdit->text(), m_customerNameEdit->text()});
}

void MainWindow::onRepeatRingTimeout()
{
    playRing();
}

void MainWindow::onRingPeriodTimeout()
{
    m_repeatRingTimer->setEnabled(false);
    m_ringPeriodTimer->setEnabled(false);
}

void MainWindow::onSaveNewNumberClicked()
{
    m_otherWindows.enterNewNumber(m_numberEdit->text());
    setNumber(QString());
}

void MainWindow::playRing()
{
    m_ringPlayer->play(currentRingFile(m_stores.rings));
}

void MainWindow::onExitTriggered()
{
    if (settleUnsavedEntry(true))
        QCoreApplication::quit();
}

void MainWindow::onShowWindowTriggered()
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

void MainWindow::onTrayExitTriggered()
{
    settleUnsavedEntry(false);
    releaseSystemResources();
    haltNow();
}

bool MainWindow::settleUnsavedEntry(bool offerCancel)
{
    return m_otherWindows.settleUnsavedEntry(offerCancel);
}

void MainWindow::onTrayContextMenuRequested()
{
    m_trayMenu->popup(QCursor::pos());
}

void MainWindow::bringForward()
{
    if (!isVisible() || isMinimized()) {
        onShowWindowTriggered();
        return;
    }
    QWidget *front = m_lastActive->windowToBringForward();
    front->raise();
    front->activateWindow();
}

void MainWindow::hideToTray()
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
                hideToTray();
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
    if (watched == m_trayMenu &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonPress)) {
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace corvane
