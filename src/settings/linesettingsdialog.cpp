#include "settings/linesettingsdialog.h"

#include "platform/guard.h"
#include "platform/messagebox.h"
#include "platform/modalshow.h"
#include "platform/serialcontrol.h"
#include "records/formfont.h"
#include "settings/dialogparts.h"
#include "settings/porttest.h"
#include "widgets/modalresult.h"
#include "widgets/windowgeometry.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace corvane {

namespace {

constexpr int OuterWidth = 428;
constexpr int OuterHeight = 274;
constexpr int ComboWidth = 121;
constexpr int ComboHeight = 20;
// The instruction lines keep clear of the dialog's right edge.
constexpr int LabelRightMargin = 4;

// A drop-down that also takes typed text. Typed text is never added to the
// list: the list stays as it was built.
QComboBox *choiceBox(QWidget *parent, const QStringList &items, int left, int top)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setGeometry(left, top, ComboWidth, ComboHeight);
    return box;
}

} // namespace

LineSettingsDialog::LineSettingsDialog(SerialControl &mainPort, ConfigWriter writeConfig, QWidget *parent)
    : QDialog(parent), MSComm1(new SerialControl(this)), m_mainPort(mainPort),
      m_writeConfig(std::move(writeConfig))
{
    setObjectName(QStringLiteral("Frm_sz"));
    setWindowTitle(tr("设置"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    Label41 = placedLabel(this, tr("如果是外置猫，则选择连接到计算机的是com1还是com2"), 16, 16);
    Label55 = placedLabel(this, tr("如果是内置猫，则根据内置猫的com口设置进行选择。"), 16, 32);
    Label1 =
        placedLabel(this, tr("选择完端口后，点击后面的端口测试，如果modem接入的端口号测试成功后，"), 16, 48);
    for (QLabel *line : {Label41, Label55, Label1})
        keepLabelWithin(line, width() - LabelRightMargin);
    Label2 = placedLabel(this, tr("请选择您的猫所在的端口："), 40, 96);
    QStringList ports;
    for (int n = 1; n <= 8; ++n)
        ports.append(QStringLiteral("com") + QString::number(n));
    ComboBox1 = choiceBox(this, ports, 200, 88);
    Button3 = placedButton(this, tr("端口测试"), 328, 88);
    Label3 = placedLabel(this, tr("请选择你的猫的制式："), 40, 136);
    ComboBox2 = choiceBox(this, {tr("制式1"), tr("制式2")}, 200, 128);
    Button1 = placedButton(this, tr("保存配置"), 80, 184);
    Button2 = placedButton(this, tr("退出"), 216, 184);

    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);

    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { guarded([this] { Button3Click(); }); });
}

int LineSettingsDialog::showModalFromMenu()
{
    return execModal(*this);
}

void LineSettingsDialog::reject()
{
    done(mrCancel);
}

void LineSettingsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] { FormShow(); });
}

void LineSettingsDialog::FormShow()
{
    // The stored settings are not shown: the user chooses afresh every time.
    for (QComboBox *box : {ComboBox1, ComboBox2}) {
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
}

void LineSettingsDialog::Button1Click()
{
    // The start-up recognises only the listed ports; anything else would leave
    // the next start without a line.
    const QString port = ComboBox1->currentText();
    if (ComboBox1->findText(port, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0) {
        msg::inform(tr("端口号必须是com1至com8之一。"));
        ComboBox1->setFocus();
        return;
    }
    // Ending the program only makes sense once the new values are in the file.
    if (!m_writeConfig(port, ComboBox2->currentText())) {
        msg::inform(tr("配置无法保存：zel.ini无法写入（文件或文件夹只读，或磁盘已满）。"));
        return;
    }
    msg::inform(tr("配置已保存，将退出程序，请重新运行。"));
    // The program ends once this dialog has returned to the menu command.
    close();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void LineSettingsDialog::Button2Click()
{
    close();
}

void LineSettingsDialog::Button3Click()
{
    testPort(*MSComm1, m_mainPort, ComboBox1->currentText());
}

} // namespace corvane
