#include "app/application.h"

#include "app/appwindows.h"
#include "app/fonts.h"
#include "app/iconset.h"
#include "app/mainwindow.h"
#include "platform/instancechannel.h"
#include "records/calllogqueryform.h"
#include "records/customerqueryform.h"
#include "records/datamodule.h"
#include "widgets/windowgeometry.h"

#include <QApplication>

#include <memory>

namespace corvane {

namespace {
std::unique_ptr<InstanceChannel> instanceChannel;
std::unique_ptr<DataModule> dataModule;
} // namespace

AppWindows &windows()
{
    static AppWindows w;
    return w;
}

void createWindows()
{
    AppWindows &w = windows();
    w.Frm_main = new MainWindow;
    // From here on a second copy finds this one.
    instanceChannel = std::make_unique<InstanceChannel>();
    QObject::connect(instanceChannel.get(), &InstanceChannel::activationRequested, w.Frm_main,
                     &MainWindow::wmActivateInstance);
    instanceChannel->listen();
    dataModule = std::make_unique<DataModule>();
    w.Form5 = new CallLogQueryForm(*dm, w.Frm_main);
    w.Form7 = new CustomerQueryForm(*dm, w.Frm_main);
}

void destroyWindows()
{
    AppWindows &w = windows();
    delete std::exchange(w.Form7, nullptr);
    delete std::exchange(w.Form5, nullptr);
    dataModule.reset();
    instanceChannel.reset();
    delete std::exchange(w.Frm_main, nullptr);
}

int runCorvane(int argc, char **argv)
{
    QApplication app(argc, argv);
    // A second copy asks the first to come forward and ends, having created,
    // read and opened nothing.
    if (InstanceChannel::activateRunningInstance())
        return 0;

    installFontSubstitutions();
    QApplication::setWindowIcon(applicationIcon());
    // The main window may sit hidden in the tray while a dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);

    createWindows();
    MainWindow *main = windows().Frm_main;
    centreOnScreen(main);
    main->show();
    const int rc = QApplication::exec();
    destroyWindows();
    return rc;
}

} // namespace corvane
