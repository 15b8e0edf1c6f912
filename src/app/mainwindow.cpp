#include "app/mainwindow.h"

#include "app/callerhistory.h"
#include "app/lastactivewindow.h"
#include "app/otherwindows.h"
#include "app/shutdown.h"
#include "core/calldesk.h"
#include "core/callernumber.h"
#include "core/keyingnotice.h"
#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "desktop/trayicon.h"
#include "desktop/windowactivation.h"
#include "platform/programfolder.h"
#include "widgets/lineedittext.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>

namespace corvane {

MainWindow::MainWindow(OtherWindows &otherWindows, CallDesk &callDesk, CallerHistory &callerHistory,
                       TrayIcon &trayIcon, QWidget *parent)
    : QMainWindow(parent), m_otherWindows(otherWindows), m_callDesk(callDesk),
      m_lastActive(new LastActiveWindow(this)), m_trayIcon(trayIcon)
{
    buildControls();
    buildMenus();
    connectCallDesk();
    connect(&callerHistory, &CallerHistory::linesChanged, this,
            [this](const QStringList &lines) { guarded([&] { showCallHistory(lines); }); });
    showCallHistory(callerHistory.lines());
    // The tray icon and the minimise hook live as long as the window.
    m_trayIcon.add();
}

MainWindow::~MainWindow()
{
    releaseSystemResources();
}

void MainWindow::connectCallDesk()
{
    // Direct connections: a box opens at the very point of the call's
    // sequence that asks for it, before the sequence goes on.
    connect(&m_callDesk, &CallDesk::callArrived, this, &MainWindow::onCallArrived, Qt::DirectConnection);
    connect(&m_callDesk, &CallDesk::callShown, this, &MainWindow::showCall, Qt::DirectConnection);
    connect(&m_callDesk, &CallDesk::customerShown, this, &MainWindow::showCustomer, Qt::DirectConnection);
    connect(
        &m_callDesk, &CallDesk::newNumber, this,
        [] { msg::inform(tr("此号码为新号码，如果要保存的话请点击<保存新号码>按钮")); },
        Qt::DirectConnection);
    connect(
        &m_callDesk, &CallDesk::notice, this, [](const QString &text) { msg::inform(text); },
        Qt::DirectConnection);
    connect(
        &m_callDesk, &CallDesk::failed, this, [](const QString &message) { msg::error(message); },
        Qt::DirectConnection);
    connect(&m_callDesk, &CallDesk::keyingProgress, this, &MainWindow::showKeyingProgress);
    connect(
        &m_callDesk, &CallDesk::modemOffered, this,
        [this](const QString &question, const QString &device) {
            guarded([&] {
                if (msg::show({question, applicationTitle(), msg::Icon::Question, msg::Buttons::YesNo,
                               msg::Answer::Yes}) == msg::Answer::Yes)
                    m_callDesk.useModem(device);
            });
        },
        Qt::DirectConnection);
}

void MainWindow::onCallArrived()
{
    m_callBringsForward = !isVisible() || isMinimized();
    onShowWindowTriggered();
    // Where the desktop will not bring the window forward, its taskbar or
    // dock at least flashes it.
    QApplication::alert(this);
}

void MainWindow::showFromNotification(const QString &activationToken)
{
    prepareToComeForward(*this, activationToken);
    comeForward();
}

void MainWindow::releaseSystemResources()
{
    m_trayIcon.remove();
    m_callDesk.release();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    startCallDesk();
}

void MainWindow::startInTray()
{
    if (!TrayIcon::hostAvailable()) {
        showMinimized();
        return;
    }
    startCallDesk();
}

void MainWindow::startCallDesk()
{
    if (m_callDeskStarted)
        return;
    m_callDeskStarted = true;
    // Queued, so the window is on the screen before any message of the set-up;
    // a set-up that fails (no port number) ends in the error box.
    QTimer::singleShot(0, this, [this] { guarded([this] { m_callDesk.start(); }); });
}

void MainWindow::showCall(const CallerIdReport &call)
{
    showFromStart(m_callDateEdit, call.dateText);
    showFromStart(m_callTimeEdit, call.timeText);
    showFromStart(m_numberEdit, shownNumber(call.number));
}

void MainWindow::showCustomer(const Customer &customer)
{
    const std::pair<QLineEdit *, const QString *> fields[] = {
        {m_customerCodeEdit, &customer.customerCode},
        {m_postcodeEdit, &customer.postcode},
        {m_contactEdit, &customer.contact},
        {m_telEdit, &customer.tel},
        {m_customerNameEdit, &customer.name},
        {m_qqEdit, &customer.qq},
        {m_emailEdit, &customer.email},
        {m_addressEdit, &customer.address},
    };
    for (const auto &[edit, text] : fields)
        showFromStart(edit, *text);
}

void MainWindow::showCallHistory(const QStringList &lines)
{
    // A long note ends in "…" rather than running out of the panel.
    QStringList shown;
    for (const QString &line : lines)
        shown.append(
            m_callHistoryLabel->fontMetrics().elidedText(line, Qt::ElideRight, m_callHistoryLabel->width()));
    m_callHistoryLabel->setText(shown.join(QLatin1Char('\n')));
}

void MainWindow::onSaveNewNumberClicked()
{
    m_otherWindows.enterNewNumber(numberForNewCustomer(m_callDesk.shownCall().number));
    m_callDesk.clearNumber();
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
    comeForward();
}

void MainWindow::comeForward()
{
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
    // The user asked: a call's showing that the desktop left without the
    // focus does not make this activation the call's.
    m_callBringsForward = false;
    if (!isVisible() || isMinimized()) {
        onShowWindowTriggered();
    } else {
        QWidget *front = m_lastActive->windowToBringForward();
        front->raise();
        front->activateWindow();
    }
    // The user is at the window now, whether or not the desktop hands it the
    // focus: a window shown by a call while another program kept the focus
    // may be activated without a word to the program.
    Q_EMIT cameForward();
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
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !std::exchange(m_callBringsForward, false))
        Q_EMIT cameForward();
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

void MainWindow::showKeyingProgress(qint64 keyed, qint64 total)
{
    const QString text = keyingNotice(keyed, total);
    if (text.isEmpty())
        return;
    // The last word stays a while, then the line is free again.
    statusBar()->showMessage(text, keyed >= total ? KeyingDoneShownMs : 0);
}

} // namespace corvane
