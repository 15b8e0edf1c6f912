#include "app/mainwindow.h"

#include "app/iconset.h"
#include "app/lineconfig.h"
#include "app/shutdown.h"
#include "platform/guard.h"
#include "platform/trayicon.h"
#include "widgets/windowgeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace corvane {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowIcon(applicationIcon());
    buildControls();
    buildMenus();
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
}

void MainWindow::ReadConfig(QString &portName, QString &mode)
{
    const LineConfig config = readLineConfig();
    portName = config.portName;
    mode = config.mode;
}

void MainWindow::WriteConfig(const QString &portName, const QString &mode)
{
    writeLineConfig(portName, mode);
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
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9, Edit10, Edit11, Edit12})
        e->clear();
}

void MainWindow::N2Click() {}

void MainWindow::N10Click() {}

void MainWindow::N3Click()
{
    QCoreApplication::quit();
}

void MainWindow::N5Click() {}

void MainWindow::N6Click() {}

void MainWindow::N12Click() {}

void MainWindow::N8Click() {}

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

void MainWindow::MenuItem2Click()
{
    haltNow();
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
    QWidget *front = QApplication::activeModalWidget();
    if (!front || !front->isVisible() || !front->isEnabled())
        front = this;
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
    event->accept();
    QCoreApplication::quit();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PopupMenu1 && (event->type() == QEvent::MouseButtonRelease ||
                                  event->type() == QEvent::MouseButtonPress)) {
        if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace corvane
