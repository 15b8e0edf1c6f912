#pragma once

#include "app/otherwindows.h"

#include <functional>
#include <memory>

namespace corvane {

class CallDesk;
class CallerHistory;
class CallNotifier;
class CallLogQueryForm;
class CallStatsForm;
class CallerFiguresReader;
class CustomerEntryForm;
class CustomerQueryForm;
class CustomerTransfer;
class DialogFileChooser;
class HelpWindow;
class LineLog;
class LineSettingsDialog;
class MainWindow;
class Notifications;
class RecentCallsForm;
class RingDialog;
class RingPlayer;
class TrayIcon;
struct Stores;

// The program's windows and services: built in start-up order, torn down in
// the reverse order. Each window gets what it needs through its constructor.
class Application : private OtherWindows
{
public:
    // `endRequested`, when set, tells whether the program is to end: waits
    // for a database server are then cut short.
    explicit Application(std::function<bool()> endRequested = {});
    ~Application() override;
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    // Centres the main window and shows it, which sets up the line.
    void start();
    // As at login: sets up the line with the window hidden, in the tray.
    void startInTray();

    CallDesk &callDesk() { return *m_callDesk; }
    RingPlayer &ringPlayer() { return *m_ringPlayer; }
    MainWindow &mainWindow() { return *m_mainWindow; }
    LineSettingsDialog &lineSettingsDialog() { return *m_lineSettings; }
    CustomerEntryForm &customerEntryForm() { return *m_customerEntry; }

private:
    // The notifications' "显示" brings the window forward; the window coming
    // forward otherwise takes the notification away.
    void connectNotifications();

    void showLineSettings() override;
    void showRingSettings() override;
    void showCustomerEntry() override;
    void showCustomerQuery() override;
    void showCallLog() override;
    void showRecentCalls() override;
    void showCallStats() override;
    void showHelp() override;
    void importCustomers() override;
    void exportCustomers() override;
    void backupDatabase() override;
    void enterNewNumber(const QString &number) override;
    bool settleUnsavedEntry(bool offerCancel) override;

    // Outlives the windows: the port reports to it until it is closed.
    std::unique_ptr<LineLog> m_lineLog;
    // Before every window and gone after them: they all read through it.
    std::unique_ptr<Stores> m_stores;
    // The one player of every ring, the ring dialog's preview included.
    std::unique_ptr<RingPlayer> m_ringPlayer;
    // Outlives the windows that show it.
    std::unique_ptr<CallDesk> m_callDesk;
    // The main window's, and where the system shows notifications as its
    // messages, the notifications' too.
    std::unique_ptr<TrayIcon> m_trayIcon;
    // Before the main window, so a call's notification knows what the desk
    // found before the window's new-number box waits for the user. None
    // when zel.ini turns notifications off.
    std::unique_ptr<Notifications> m_notifications;
    std::unique_ptr<CallNotifier> m_callNotifier;
    // What the main window shows under the record.
    std::unique_ptr<CallerHistory> m_callerHistory;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<LineSettingsDialog> m_lineSettings;
    std::unique_ptr<CustomerEntryForm> m_customerEntry;
    std::unique_ptr<CallLogQueryForm> m_callLogQuery;
    std::unique_ptr<RecentCallsForm> m_recentCalls;
    // Before the window that asks it, so that it outlives the window.
    std::unique_ptr<CallerFiguresReader> m_callerFigures;
    std::unique_ptr<CallStatsForm> m_callStats;
    std::unique_ptr<CustomerQueryForm> m_customerQuery;
    std::unique_ptr<RingDialog> m_ringDialog;
    std::unique_ptr<HelpWindow> m_helpWindow;
    std::unique_ptr<DialogFileChooser> m_fileChooser;
    std::unique_ptr<CustomerTransfer> m_customerTransfer;
};

// Program entry: the command line (help, version and the copy to the server
// need no display), then the single-instance check, the application and the
// event loop.
int runCorvane(int argc, char **argv);

} // namespace corvane
