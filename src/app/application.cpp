#include "app/application.h"

#include "app/callerhistory.h"
#include "app/callnotifier.h"
#include "app/chineselocale.h"
#include "app/commandline.h"
#include "app/customertransfer.h"
#include "app/fonts.h"
#include "app/iconset.h"
#include "app/mainwindow.h"
#include "app/notraynotice.h"
#include "app/unsavedentry.h"
#include "core/calldesk.h"
#include "core/datafolder.h"
#include "core/desktopsettings.h"
#include "core/lineconfig.h"
#include "core/servercopycommand.h"
#include "desktop/filechooser.h"
#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "desktop/notifications.h"
#include "desktop/trayicon.h"
#include "platform/failure.h"
#include "platform/instancechannel.h"
#include "platform/linelog.h"
#include "platform/programfolder.h"
#include "platform/ringplayer.h"
#include "platform/serialcontrol.h"
#include "platform/terminationsignals.h"
#include "records/calllogqueryform.h"
#include "records/callstatsform.h"
#include "records/customerentryform.h"
#include "records/customerqueryform.h"
#include "records/recentcallsform.h"
#include "settings/helpwindow.h"
#include "settings/linesettingsdialog.h"
#include "settings/ringdialog.h"
#include "store/callerfiguresreader.h"
#include "store/stores.h"
#include "widgets/windowgeometry.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <optional>

namespace corvane {

Application::Application(std::function<bool()> endRequested)
{
    if (lineLogWanted())
        m_lineLog = std::make_unique<LineLog>(lineLogFile());
    m_stores = std::make_unique<Stores>();
    m_stores->connection.setEndRequested(std::move(endRequested));
    m_ringPlayer = std::make_unique<RingPlayer>();
    m_callDesk = std::make_unique<CallDesk>(*m_stores, *m_ringPlayer);
    if (m_lineLog)
        m_callDesk->serialPort().setLineLog(m_lineLog.get());
    m_trayIcon = std::make_unique<TrayIcon>(applicationIcon(), QStringLiteral("Corvane"));
    if (notificationsWanted())
        m_notifications = desktopNotifications(applicationIcon().pixmap(48).toImage(), *m_trayIcon);
    if (m_notifications)
        m_callNotifier = std::make_unique<CallNotifier>(*m_callDesk, *m_notifications);
    m_callerHistory = std::make_unique<CallerHistory>(*m_callDesk, m_stores->callHistory);
    m_mainWindow = std::make_unique<MainWindow>(static_cast<OtherWindows &>(*this), *m_callDesk,
                                                *m_callerHistory, *m_trayIcon);
    MainWindow *main = m_mainWindow.get();
    if (m_notifications)
        connectNotifications();
    m_lineSettings = std::make_unique<LineSettingsDialog>(m_callDesk->serialPort(), &writeLineConfig, main);
    m_customerEntry = std::make_unique<CustomerEntryForm>(m_stores->customers, main);
    m_callLogQuery = std::make_unique<CallLogQueryForm>(m_stores->calls, m_stores->customers, main);
    m_customerQuery = std::make_unique<CustomerQueryForm>(m_stores->customers, main);
    m_ringDialog = std::make_unique<RingDialog>(m_stores->rings, *m_ringPlayer, main);
    m_helpWindow = std::make_unique<HelpWindow>(main);
    m_fileChooser = std::make_unique<DialogFileChooser>();
    m_customerTransfer =
        std::make_unique<CustomerTransfer>(m_stores->connection, m_stores->customers, *m_fileChooser);
    m_recentCalls = std::make_unique<RecentCallsForm>(
        m_stores->recentCalls, m_stores->customers, *m_fileChooser,
        RecentCallsForm::Callers{[this](const QString &number) { enterNewNumber(number); },
                                 [this](qint64 customer) { m_customerEntry->showCustomer(customer); }},
        main);
    QObject::connect(m_callDesk.get(), &CallDesk::callsChanged, m_recentCalls.get(),
                     [form = m_recentCalls.get()] { guarded([form] { form->onCallsChanged(); }); });
    QObject::connect(m_recentCalls.get(), &RecentCallsForm::callEdited, m_callDesk.get(),
                     [desk = m_callDesk.get()](qint64 callId) { desk->tellCallEdited(callId); });
    m_callerFigures = std::make_unique<CallerFiguresReader>(m_stores->connection);
    m_callStats = std::make_unique<CallStatsForm>(
        m_stores->callFigures, *m_callerFigures, *m_fileChooser,
        [this](qint64 customer) { m_customerEntry->showCustomer(customer); }, &QDate::currentDate, main);
    // Every call this desk writes or another desk announces comes here too.
    QObject::connect(m_callDesk.get(), &CallDesk::callsChanged, m_callStats.get(),
                     [form = m_callStats.get()] { guarded([form] { form->onCallsChanged(); }); });
}

Application::~Application()
{
    // Each one is gone before the next is destroyed: a way out taken meanwhile
    // finds no entry form rather than one half torn down.
    m_callStats.reset();
    m_recentCalls.reset();
    m_customerTransfer.reset();
    m_fileChooser.reset();
    m_helpWindow.reset();
    m_ringDialog.reset();
    m_customerQuery.reset();
    m_callLogQuery.reset();
    m_customerEntry.reset();
    m_lineSettings.reset();
    m_mainWindow.reset();
    m_callerHistory.reset();
    m_callNotifier.reset();
    m_notifications.reset();
    m_trayIcon.reset();
    m_callDesk.reset();
    m_ringPlayer.reset();
    m_stores.reset();
    m_lineLog.reset();
}

void Application::connectNotifications()
{
    MainWindow *main = m_mainWindow.get();
    QObject::connect(m_notifications.get(), &Notifications::activated, main,
                     [main](const QString &token) { guarded([&] { main->showFromNotification(token); }); });
    CallNotifier *notifier = m_callNotifier.get();
    QObject::connect(main, &MainWindow::cameForward, notifier,
                     [notifier] { guarded([notifier] { notifier->withdraw(); }); });
    QObject::connect(m_notifications.get(), &Notifications::available, main,
                     [] { guarded([] { tellOnceThatCallsComeAsNotifications(); }); });
}

void Application::start()
{
    centreOnScreen(m_mainWindow.get());
    m_mainWindow->show();
}

void Application::startInTray()
{
    // Centred for when it is brought up.
    centreOnScreen(m_mainWindow.get());
    m_mainWindow->startInTray();
}

void Application::showLineSettings()
{
    m_lineSettings->showModalFromMenu();
}

void Application::showRingSettings()
{
    m_ringDialog->showFromMenu();
}

void Application::showCustomerEntry()
{
    // Already open beside the others (a new number or a caller sent it there):
    // it only comes forward.
    if (m_customerEntry->isVisible())
        m_customerEntry->bringForward();
    else
        m_customerEntry->showModalFromMenu();
}

void Application::showCustomerQuery()
{
    m_customerQuery->showModalFromMenu();
}

void Application::showCallLog()
{
    m_callLogQuery->showModalFromMenu();
}

void Application::showRecentCalls()
{
    m_recentCalls->bringForward();
}

void Application::showCallStats()
{
    m_callStats->bringForward();
}

void Application::showHelp()
{
    m_helpWindow->showModalFromMenu();
}

void Application::importCustomers()
{
    if (m_customerTransfer->importCustomers(m_mainWindow.get()))
        m_customerEntry->rereadCustomers();
}

void Application::exportCustomers()
{
    m_customerTransfer->exportCustomers(m_mainWindow.get());
}

void Application::backupDatabase()
{
    m_customerTransfer->backupDatabase(m_mainWindow.get());
}

void Application::enterNewNumber(const QString &number)
{
    m_customerEntry->saveNewNumber(number);
}

bool Application::settleUnsavedEntry(bool offerCancel)
{
    return !m_customerEntry || corvane::settleUnsavedEntry(*m_customerEntry, offerCancel);
}

namespace {

QString dataFolderFor(const QString &requestedFolder)
{
    return chooseDataFolder({QCoreApplication::applicationDirPath(), requestedFolder,
                             qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath(),
                             qEnvironmentVariable("LOCALAPPDATA")});
}

// Points the program at its data folder, first filling it from the defaults
// when it is not the executable's own folder. False, after saying why, when
// it cannot be set up.
bool useDataFolder(const QString &requestedFolder)
{
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString folder = dataFolderFor(requestedFolder);
    const QString installedDefaults = installedDefaultsFolder(executableFolder);
    if (QDir(folder) != QDir(executableFolder)) {
        try {
            setUpDataFolder(folder, installedDefaults.isEmpty() ? executableFolder : installedDefaults);
        } catch (const Failure &failure) {
            msg::error(failure.message());
            return false;
        }
    }
    setProgramFolder(folder);
    return true;
}

// How long --quit waits for the running copy, which saves and ends within a
// second or two.
constexpr int QuitWaitMs = 10000;

// What the command line asks that needs no window: help, the version, the
// message about a bad option, the running copy asked to end, the copy to the
// server. The exit status when it is one of them.
std::optional<int> runWithoutWindows(const CommandLine &commandLine)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (commandLine.endNow) {
        (commandLine.exitCode == 0 ? out : err) << commandLine.output;
        return commandLine.exitCode;
    }
    if (commandLine.quitRunning) {
        if (InstanceChannel::askRunningInstanceToQuit(QuitWaitMs) !=
            InstanceChannel::QuitAnswer::StillRunning)
            return 0;
        err << QCoreApplication::translate("CommandLine",
                                           "正在运行的 Corvane 没有结束，请从托盘菜单选“退出”后再试。")
            << '\n';
        return 1;
    }
    if (!commandLine.copyToServer)
        return std::nullopt;
    // zel.ini and tel.mdb are read where the program keeps them: an installed
    // copy's are in the user's data folder, or in the folder --data names.
    setProgramFolder(dataFolderFor(commandLine.dataFolder));
    return runServerCopyCommand({commandLine.copySource, commandLine.addToExisting
                                                             ? ExistingCustomers::AddTo
                                                             : ExistingCustomers::Refuse},
                                out, err);
}

} // namespace

int runCorvane(int argc, char **argv)
{
    // The command line is read before any window system is needed, so that
    // it works on a text console too.
    CommandLine commandLine;
    {
        const QCoreApplication console(argc, argv);
        // First, so that what the command line is told back is in Chinese too.
        const ChineseLocale chinese;
        commandLine = parseCommandLine(QCoreApplication::arguments());
        if (const std::optional<int> status = runWithoutWindows(commandLine))
            return *status;
    }
    QApplication app(argc, argv);
    const ChineseLocale chinese;
    // From here a request to end by signal waits for the event loop, which
    // then ends as the menu's "退出" ends it: windows, tray icon and port go.
    TerminationSignals endRequests;
    // A second copy asks the first to come forward and ends, having shown,
    // read and opened nothing. Requests wait for the event loop, when every
    // window exists.
    InstanceChannel channel;
    if (!channel.claim())
        return 0;

    installFontSubstitutions();
    QApplication::setWindowIcon(applicationIcon());
    // The main window may sit hidden in the tray while a dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);
    if (!useDataFolder(commandLine.dataFolder))
        return 1;

    Application corvane([&endRequests] { return endRequests.requested(); });
    MainWindow *main = &corvane.mainWindow();
    QObject::connect(&channel, &InstanceChannel::activationRequested, main, &MainWindow::bringForward);
    // An installer's --quit ends it as a logoff does.
    const auto endOnRequest = [main] { guarded([main] { main->endOnRequest(); }); };
    QObject::connect(&endRequests, &TerminationSignals::received, main, endOnRequest);
    QObject::connect(&channel, &InstanceChannel::quitRequested, main, endOnRequest);
    if (commandLine.intoTray)
        corvane.startInTray();
    else
        corvane.start();
    return QApplication::exec();
}

} // namespace corvane
