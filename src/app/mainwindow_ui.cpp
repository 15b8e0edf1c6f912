#include "app/iconset.h"
#include "app/mainwindow.h"
#include "app/otherwindows.h"
#include "desktop/guard.h"
#include "desktop/trayicon.h"
#include "widgets/imagelist.h"
#include "widgets/menuskin/menuskin.h"
#include "widgets/windowgeometry.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

// Building the main window: every control at its place, size, font and caption.

namespace corvane {

namespace {

QFont songti(int pixelHeight)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixelHeight);
    return font;
}

QFrame *panel(QWidget *parent, const char *name, int fontHeight)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(1);
    frame->setFont(songti(fontHeight));
    return frame;
}

QLabel *label(QWidget *parent, const QString &text, int x, int y, const char *name = nullptr)
{
    auto *l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit *edit(QWidget *parent, const char *name, int x, int y, int width, int height = 22)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setGeometry(x, y, width, height);
    return e;
}

QAction *item(QMenu *menu, const char *name, const QString &caption, ImageList &images, MenuImage image)
{
    const int index = static_cast<int>(image);
    QAction *action = menu->addAction(images.image(index), caption);
    action->setObjectName(QLatin1String(name));
    images.assign(action, index);
    return action;
}

} // namespace

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Corvane"));
    setOuterSize(this, 612, 467);

    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    QFrame *callerPanel = panel(client, "callerPanel", 12);
    callerPanel->setFixedHeight(73);
    column->addWidget(callerPanel);
    QLabel *callerLabel = label(callerPanel, tr("您有来电显示号码："), 8, 24, "callerLabel");
    callerLabel->setFont(songti(14));
    callerLabel->adjustSize();
    m_numberEdit = edit(callerPanel, "numberEdit", 144, 12, 233, 45);
    m_numberEdit->setFont(songti(32));
    // Drawn by the skin as a glyph button (see buildMenus).
    m_saveNewNumberButton = new QPushButton(tr("保存新号码"), callerPanel);
    m_saveNewNumberButton->setObjectName(QStringLiteral("saveNewNumberButton"));
    m_saveNewNumberButton->setGeometry(384, 16, 105, 41);
    connect(m_saveNewNumberButton, &QPushButton::clicked, this,
            [this] { guarded([this] { onSaveNewNumberClicked(); }); });

    QFrame *customerPanel = panel(client, "customerPanel", 14);
    column->addWidget(customerPanel, 1);
    label(customerPanel, tr("本次来电客户完整信息如下："), 32, 16, "customerHeading");

    struct Row
    {
        int top;
        QString leftCaption;
        const char *leftEdit;
        QLineEdit **left;
        QString rightCaption;
        const char *rightEdit;
        QLineEdit **right;
    };
    const Row rows[] = {
        {48, tr("客户编号："), "customerCodeEdit", &m_customerCodeEdit, tr("客户名称："), "customerNameEdit",
         &m_customerNameEdit},
        {96, tr("邮政编码："), "postcodeEdit", &m_postcodeEdit, tr("QQ号码："), "qqEdit", &m_qqEdit},
        {152, tr("联系人："), "contactEdit", &m_contactEdit, tr("电子邮件："), "emailEdit", &m_emailEdit},
        {208, tr("电话号码："), "telEdit", &m_telEdit, tr("地址："), "addressEdit", &m_addressEdit},
        {264, tr("来电日期："), "callDateEdit", &m_callDateEdit, tr("来电时间："), "callTimeEdit",
         &m_callTimeEdit},
    };
    for (const Row &row : rows) {
        QLabel *leftLabel = label(customerPanel, row.leftCaption, 32, row.top);
        *row.left = edit(customerPanel, row.leftEdit, 112, row.top, 121);
        QLabel *rightLabel = label(customerPanel, row.rightCaption, 288, row.top);
        *row.right = edit(customerPanel, row.rightEdit, 368, row.top, 217);
        if (row.top == 264) {
            // The date and time of the call are drawn in black.
            for (QWidget *w : {static_cast<QWidget *>(leftLabel), static_cast<QWidget *>(rightLabel),
                               static_cast<QWidget *>(*row.left), static_cast<QWidget *>(*row.right)}) {
                QPalette palette = w->palette();
                palette.setColor(QPalette::WindowText, Qt::black);
                palette.setColor(QPalette::Text, Qt::black);
                w->setPalette(palette);
            }
        }
    }

    // The caller's last calls, one a line, in the room left under the record:
    // three lines of the smaller font fit.
    label(customerPanel, tr("以往来电："), 32, 294);
    m_callHistoryLabel = new QLabel(customerPanel);
    m_callHistoryLabel->setFont(songti(12));
    m_callHistoryLabel->setObjectName(QStringLiteral("callHistoryLabel"));
    // A note is shown as typed, never as markup.
    m_callHistoryLabel->setTextFormat(Qt::PlainText);
    m_callHistoryLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_callHistoryLabel->setGeometry(112, 295, 473, 44);
}

void MainWindow::buildMenus()
{
    m_menuImages = new ImageList(this);
    m_menuImages->setObjectName(QStringLiteral("menuImages"));
    fillMenuImages(*m_menuImages);
    QMenuBar *mainMenu = menuBar();
    mainMenu->setObjectName(QStringLiteral("mainMenu"));
    ImageList &images = *m_menuImages;

    QMenu *file = mainMenu->addMenu(tr("[文件]"));
    QAction *lineSettings = item(file, "lineSettingsAction", tr("系统设置"), images, MenuImage::Settings);
    QAction *ringSettings = item(file, "ringSettingsAction", tr("来电铃声设置"), images, MenuImage::Ring);
    QAction *backup = item(file, "backupAction", tr("备份数据库…"), images, MenuImage::Settings);
    QAction *exit = item(file, "exitAction", tr("退出"), images, MenuImage::Exit);
    QMenu *customers = mainMenu->addMenu(tr("[客户资料]"));
    QAction *customerEntry =
        item(customers, "customerEntryAction", tr("客户资料输入"), images, MenuImage::Customer);
    QAction *customerQuery =
        item(customers, "customerQueryAction", tr("客户资料查询"), images, MenuImage::Customer);
    QAction *customerImport =
        item(customers, "customerImportAction", tr("导入客户…"), images, MenuImage::Customer);
    QAction *customerExport =
        item(customers, "customerExportAction", tr("导出客户…"), images, MenuImage::Customer);
    QMenu *calls = mainMenu->addMenu(tr("[来电资料]"));
    QAction *callLog = item(calls, "callLogAction", tr("来电祥情"), images, MenuImage::CallLog);
    QAction *recentCalls = item(calls, "recentCallsAction", tr("最近来电"), images, MenuImage::CallLog);
    QAction *callStats = item(calls, "callStatsAction", tr("来电统计"), images, MenuImage::CallLog);
    QMenu *about = mainMenu->addMenu(tr("[关于]"));
    QAction *help = item(about, "helpAction", tr("帮助"), images, MenuImage::Help);

    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    QAction *showWindow = item(m_trayMenu, "showWindowAction", tr("显示窗体"), images, MenuImage::ShowWindow);
    QAction *trayExit = item(m_trayMenu, "trayExitAction", tr("退出"), images, MenuImage::Exit);
    // The tray menu's items are chosen with the left button only.
    m_trayMenu->installEventFilter(this);

    const std::pair<QAction *, std::function<void()>> handlers[] = {
        {lineSettings, [this] { m_otherWindows.showLineSettings(); }},
        {ringSettings, [this] { m_otherWindows.showRingSettings(); }},
        {backup, [this] { m_otherWindows.backupDatabase(); }},
        {exit, [this] { onExitTriggered(); }},
        {customerEntry, [this] { m_otherWindows.showCustomerEntry(); }},
        {customerQuery, [this] { m_otherWindows.showCustomerQuery(); }},
        {customerImport, [this] { m_otherWindows.importCustomers(); }},
        {customerExport, [this] { m_otherWindows.exportCustomers(); }},
        {callLog, [this] { m_otherWindows.showCallLog(); }},
        {recentCalls, [this] { m_otherWindows.showRecentCalls(); }},
        {callStats, [this] { m_otherWindows.showCallStats(); }},
        {help, [this] { m_otherWindows.showHelp(); }},
        {showWindow, [this] { onShowWindowTriggered(); }},
        {trayExit, [this] { onTrayExitTriggered(); }},
    };
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this, [handler = handler] { guarded(handler); });

    // The flat look of both menus and of the window's edits, panels and button.
    auto *menuSkin = new MenuSkin(this);
    menuSkin->setObjectName(QStringLiteral("menuSkin"));
    menuSkin->setMenuImages(mainMenu, m_menuImages);
    menuSkin->setMenuImages(m_trayMenu, m_menuImages);
    menuSkin->setGlyphButton(m_saveNewNumberButton);
    QFont skinFont(QStringLiteral("Tahoma"));
    skinFont.setPixelSize(11);
    menuSkin->setFont(skinFont);
    menuSkin->setAutoDetect(true);
    menuSkin->setActive(true);

    m_trayIcon.setMenu(m_trayMenu);
    connect(&m_trayIcon, &TrayIcon::restoreRequested, this,
            [this] { guarded([this] { onShowWindowTriggered(); }); });
    connect(&m_trayIcon, &TrayIcon::contextMenuRequested, this, &MainWindow::onTrayContextMenuRequested);
}

} // namespace corvane
