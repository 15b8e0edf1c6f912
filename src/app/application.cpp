#include "app/application.h"

#include "app/appwindows.h"
#include "app/chineselocale.h"
#include "app/fonts.h"
#include "app/iconset.h"
#include "app/lineconfig.h"
#include "app/mainwindow.h"
#include "platform/guard.h"
#include "platform/instancechannel.h"
#include "platform/linelog.h"
#include "platform/serialcontrol.h"
#include "platform/terminationsignals.h"
#include "records/calllogqueryform.h"
#include "records/customerentryform.h"
#include "records/customerqueryform.h"
#include "settings/helpwindow.h"
#include "settings/linesettingsdialog.h"
#include "settings/ringdialog.h"
#include "store/stores.h"
#include "widgets/windowgeometry.h"

#include <QApplication>

#include <memory>

namespace corvane {

namespace {
std::unique_ptr<Stores> stores;
} // namespace

AppWindows &windows()
{
    static AppWindows w;
    return w;
}

void createWindows()
{
    AppWindows &w = windows();
    // The stores come first and go last: every window reads through them.
    stores = std::make_unique<Stores>();
    w.Frm_main = new MainWindow(*stores);
    w.Frm_sz = new LineSettingsDialog(w.Frm_main->serialPort(), &MainWindow::WriteConfig, w.Frm_main);
    w.Form3 = new CustomerEntryForm(stores->customers, w.Frm_main);
    w.Form5 = new CallLogQueryForm(stores->calls, stores->customers, w.Frm_main);
    w.Form7 = new CustomerQueryForm(stores->customers, w.Frm_main);
    w.Form8 = new RingDialog(stores->rings, w.Frm_main->ringPlayer(), w.Frm_main);
    w.Form10 = new HelpWindow(w.Frm_main);
}

void destroyWindows()
{
    AppWindows &w = windows();
    delete std::exchange(w.Form10, nullptr);
    delete std::exchange(w.Form8, nullptr);
    delete std::exchange(w.Form7, nullptr);
    delete std::exchange(w.Form5, nullptr);
    delete std::exchange(w.Form3, nullptr);
    delete std::exchange(w.Frm_sz, nullptr);
    delete std::exchange(w.Frm_main, nullptr);
    stores.reset();
}

int runCorvane(int argc, char **argv)
{
    QApplication app(argc, argv);
    // From here a request to end by signal waits for the event loop, which
    // then ends as the menu's "退出" ends it: windows, tray icon and port go.
    TerminationSignals endRequests;
    // A second copy asks the first to come forward and ends, having shown,
    // read and opened nothing. Requests wait for the event loop, when every
    // window exists.
    InstanceChannel channel;
    if (!channel.claim())
        return 0;

    const ChineseLocale chinese;
    installFontSubstitutions();
    QApplication::setWindowIcon(applicationIcon());
    // The main window may sit hidden in the tray while a dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);

    createWindows();
    MainWindow *main = windows().Frm_main;
    // Outlives the windows: the port reports to it until it is closed.
    std::unique_ptr<LineLog> lineLog;
    if (lineLogWanted()) {
        lineLog = std::make_unique<LineLog>(lineLogFile());
        main->serialPort().setLineLog(lineLog.get());
    }
    QObject::connect(&channel, &InstanceChannel::activationRequested, main, &MainWindow::wmActivateInstance);
    QObject::connect(&endRequests, &TerminationSignals::received, main,
                     [main] { guarded([main] { main->endOnRequest(); }); });
    centreOnScreen(main);
    main->show();
    const int rc = QApplication::exec();
    destroyWindows();
    return rc;
}

} // namespace corvane
