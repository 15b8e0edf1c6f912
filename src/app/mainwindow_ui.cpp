#include "app/iconset.h"
#include "app/mainwindow.h"
#include "platform/guard.h"
#include "platform/serialcontrol.h"
#include "platform/timer.h"
#include "platform/trayicon.h"
#include "widgets/menuskin.h"
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

QLabel *label(QWidget *parent, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
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

QAction *item(QMenu *menu, const char *name, const QString &caption, const ImageList &images, int image)
{
    QAction *action = menu->addAction(images.image(image), caption);
    action->setObjectName(QLatin1String(name));
    action->setProperty("ImageIndex", image);
    return action;
}

} // namespace

void MainWindow::buildControls()
{
    setObjectName(QStringLiteral("Frm_main"));
    setWindowTitle(QStringLiteral("Corvane"));
    setOuterSize(this, 612, 467);

    auto *client = new QWidget(this);
    auto *column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    Panel1 = panel(client, "Panel1", 12);
    Panel1->setFixedHeight(73);
    column->addWidget(Panel1);
    Label1 = label(Panel1, tr("您有来电显示号码："), 8, 24);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(songti(14));
    Label1->adjustSize();
    Edit2 = edit(Panel1, "Edit2", 144, 12, 233, 45);
    Edit2->setFont(songti(32));
    BitBtn1 = new QPushButton(tr("保存新号码"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(384, 16, 105, 41);

    Panel2 = panel(client, "Panel2", 14);
    column->addWidget(Panel2, 1);
    Label12 = label(Panel2, tr("本次来电客户完整信息如下："), 32, 16);
    Label12->setObjectName(QStringLiteral("Label12"));

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
        {48, tr("客户编号："), "Edit3", &Edit3, tr("客户名称："), "Edit7", &Edit7},
        {96, tr("邮政编码："), "Edit4", &Edit4, tr("QQ号码："), "Edit8", &Edit8},
        {152, tr("联系人："), "Edit5", &Edit5, tr("电子邮件："), "Edit9", &Edit9},
        {208, tr("电话号码："), "Edit6", &Edit6, tr("地址："), "Edit10", &Edit10},
        {264, tr("来电日期："), "Edit11", &Edit11, tr("来电时间："), "Edit12", &Edit12},
    };
    for (const Row &row : rows) {
        QLabel *leftLabel = label(Panel2, row.leftCaption, 32, row.top);
        *row.left = edit(Panel2, row.leftEdit, 112, row.top, 121);
        QLabel *rightLabel = label(Panel2, row.rightCaption, 288, row.top);
        *row.right = edit(Panel2, row.rightEdit, 368, row.top, 217);
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

    // Hidden members that hold intermediate texts of a receive event.
    Edit1 = edit(this, "Edit1", 0, 0, 0);
    Edit1->setVisible(false);
    for (auto [member, name] : {std::pair{&Label4, "Label4"}, std::pair{&Label5, "Label5"},
                                std::pair{&Label15, "Label15"}, std::pair{&Label16, "Label16"}}) {
        *member = new QLabel(this);
        (*member)->setObjectName(QLatin1String(name));
        (*member)->setVisible(false);
    }

    MSComm1 = new SerialControl(this);
    MSComm1->setObjectName(QStringLiteral("MSComm1"));

    Timer1 = new Timer(3000, this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new Timer(9000, this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
}

void MainWindow::buildMenus()
{
    ImageList1 = new ImageList(this);
    ImageList1->setObjectName(QStringLiteral("ImageList1"));
    fillMenuImages(*ImageList1);
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *file = MainMenu1->addMenu(tr("[文件]"));
    N2 = item(file, "N2", tr("系统设置"), *ImageList1, ImageIndex::Settings);
    N10 = item(file, "N10", tr("来电铃声设置"), *ImageList1, ImageIndex::Ring);
    N3 = item(file, "N3", tr("退出"), *ImageList1, ImageIndex::Exit);
    QMenu *customers = MainMenu1->addMenu(tr("[客户资料]"));
    N5 = item(customers, "N5", tr("客户资料输入"), *ImageList1, ImageIndex::Customer);
    N6 = item(customers, "N6", tr("客户资料查询"), *ImageList1, ImageIndex::Customer);
    QMenu *calls = MainMenu1->addMenu(tr("[来电资料]"));
    N12 = item(calls, "N12", tr("来电祥情"), *ImageList1, ImageIndex::CallLog);
    QMenu *about = MainMenu1->addMenu(tr("[关于]"));
    N8 = item(about, "N8", tr("帮助"), *ImageList1, ImageIndex::Help);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    n50 = item(PopupMenu1, "n50", tr("显示窗体"), *ImageList1, ImageIndex::ShowWindow);
    MenuItem2 = item(PopupMenu1, "MenuItem2", tr("退出"), *ImageList1, ImageIndex::Exit);
    // The tray menu's items are chosen with the left button only.
    PopupMenu1->installEventFilter(this);

    const std::pair<QAction *, void (MainWindow::*)()> handlers[] = {
        {N2, &MainWindow::N2Click}, {N10, &MainWindow::N10Click}, {N3, &MainWindow::N3Click},
        {N5, &MainWindow::N5Click}, {N6, &MainWindow::N6Click},   {N12, &MainWindow::N12Click},
        {N8, &MainWindow::N8Click}, {n50, &MainWindow::n50Click}, {MenuItem2, &MainWindow::MenuItem2Click},
    };
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this,
                [this, handler = handler] { guarded([&] { (this->*handler)(); }); });

    ImageList::setMenuImages(MainMenu1, ImageList1);
    ImageList::setMenuImages(PopupMenu1, ImageList1);
    // The flat look of both menus and of the window's edits, panels and button.
    MenuSkin1 = new MenuSkin(this);
    MenuSkin1->setObjectName(QStringLiteral("MenuSkin1"));
    QFont skinFont(QStringLiteral("Tahoma"));
    skinFont.setPixelSize(11);
    MenuSkin1->setFont(skinFont);
    MenuSkin1->setAutoDetect(true);
    MenuSkin1->setActive(true);

    Tray = new TrayIcon(applicationIcon(), QStringLiteral("Corvane"), this);
    connect(Tray, &TrayIcon::restoreRequested, this, &MainWindow::wmTrayNotifyRestore);
    connect(Tray, &TrayIcon::contextMenuRequested, this, &MainWindow::wmTrayNotifyContext);
}

} // namespace corvane
