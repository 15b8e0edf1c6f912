#include "settings/linesettingsdialog.h"

#include "core/lineconfig.h"
#include "core/modemconfig.h"
#include "desktop/guard.h"
#include "desktop/messagebox.h"
#include "desktop/modalshow.h"
#include "platform/serialcontrol.h"
#include "records/formfont.h"
#include "settings/dialogparts.h"
#include "settings/portdevicelist.h"
#include "settings/porttest.h"
#include "store/numberkey.h"
#include "widgets/modalresult.h"
#include "widgets/windowgeometry.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace corvane {

namespace {

// Wide and tall enough below the buttons for the list of ports and devices,
// whose stable names are long.
constexpr int OuterWidth = 540;
constexpr int OuterHeight = 482;
constexpr int AreaCodeTop = 168;
constexpr int ButtonTop = 208;
constexpr int DeviceListTop = 256;
constexpr int ComboWidth = 121;
constexpr int ComboHeight = 20;
// The instruction lines keep clear of the dialog's right edge.
constexpr int LabelRightMargin = 4;

// A drop-down that also takes typed text. Typed text is never added to the
// list: the list stays as it was built.
QComboBox *choiceBox(QWidget *parent, const char *name, const QStringList &items, int left, int top)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setGeometry(left, top, ComboWidth, ComboHeight);
    return box;
}

} // namespace

LineSettingsDialog::LineSettingsDialog(SerialControl &mainPort, ConfigWriter writeConfig, QWidget *parent)
    : QDialog(parent), m_testPort(new SerialControl(this)), m_mainPort(mainPort),
      m_writeConfig(std::move(writeConfig))
{
    setObjectName(QStringLiteral("lineSettingsDialog"));
    setWindowTitle(tr("设置"));
    setFont(songTi12());
    setOuterSize(this, OuterWidth, OuterHeight);
    centreOnScreen(this);

    const std::pair<const char *, QString> hints[] = {
        {"externalModemHint", tr("如果是外置猫，则选择连接到计算机的是com1还是com2")},
        {"internalModemHint", tr("如果是内置猫，则根据内置猫的com口设置进行选择。")},
        {"portTestHint", tr("选择完端口后，点击后面的端口测试，如果modem接入的端口号测试成功后，")},
    };
    int top = 16;
    for (const auto &[name, text] : hints) {
        QLabel *line = placedLabel(this, text, 16, top);
        line->setObjectName(QLatin1String(name));
        keepLabelWithin(line, width() - LabelRightMargin);
        top += 16;
    }
    placedLabel(this, tr("请选择您的猫所在的端口："), 40, 96);
    QStringList ports;
    for (int n = 1; n <= 8; ++n)
        ports.append(QStringLiteral("com") + QString::number(n));
    m_portBox = choiceBox(this, "portBox", ports, 200, 88);
    QPushButton *portTest = placedButton(this, tr("端口测试"), 328, 88);
    portTest->setObjectName(QStringLiteral("portTestButton"));
    placedLabel(this, tr("请选择你的猫的制式："), 40, 136);
    m_modeBox = choiceBox(this, "modeBox", {tr("制式1"), tr("制式2")}, 200, 128);
    buildAreaCodeRow(AreaCodeTop);
    QPushButton *save = placedButton(this, tr("保存配置"), 80, ButtonTop);
    save->setObjectName(QStringLiteral("saveButton"));
    QPushButton *exit = placedButton(this, tr("退出"), 216, ButtonTop);
    exit->setObjectName(QStringLiteral("exitButton"));
    m_testPort->setObjectName(QStringLiteral("testPort"));
    m_devices = new PortDeviceList(*this, mainPort, DeviceListTop);
    connect(m_devices, &PortDeviceList::chosen, this, [this](const QString &label) {
        guarded([&] {
            m_portBox->setEditText(label);
            m_portBox->lineEdit()->setCursorPosition(0);
        });
    });

    setTabOrder(m_portBox, m_modeBox);
    setTabOrder(m_modeBox, m_areaCodeEdit);
    setTabOrder(m_areaCodeEdit, save);
    setTabOrder(save, exit);
    setTabOrder(exit, portTest);
    m_devices->followInTabOrder(portTest);

    connect(save, &QPushButton::clicked, this, [this] { guarded([this] { onSaveClicked(); }); });
    connect(exit, &QPushButton::clicked, this, [this] { guarded([this] { close(); }); });
    connect(portTest, &QPushButton::clicked, this, [this] { guarded([this] { onPortTestClicked(); }); });
}

int LineSettingsDialog::showModalFromMenu()
{
    return execModal(*this);
}

void LineSettingsDialog::reject()
{
    done(int(ModalResult::Cancel));
}

void LineSettingsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    guarded([this] {
        clearChoices();
        // Unlike the port and mode, shown as kept: saving a new port must
        // not lose it.
        m_areaCodeEdit->setText(readAreaCode());
        m_devices->refresh();
    });
}

void LineSettingsDialog::buildAreaCodeRow(int top)
{
    placedLabel(this, tr("本地电话区号："), 40, top + 8);
    m_areaCodeEdit = new QLineEdit(this);
    m_areaCodeEdit->setObjectName(QStringLiteral("areaCodeEdit"));
    m_areaCodeEdit->setPlaceholderText(tr("如020，可不填"));
    m_areaCodeEdit->setGeometry(200, top, ComboWidth, ComboHeight);
}

std::optional<QString> LineSettingsDialog::typedAreaCode()
{
    const QString typed = m_areaCodeEdit->text().trimmed();
    const QString areaCode = areaCodeOf(typed);
    if (typed.isEmpty() || !areaCode.isEmpty())
        return areaCode;
    msg::inform(tr("区号应是以0开头的3至4位数字，例如020；不用区号请留空。"));
    m_areaCodeEdit->setFocus();
    return std::nullopt;
}

void LineSettingsDialog::clearChoices()
{
    // The stored settings are not shown: the user chooses afresh every time.
    for (QComboBox *box : {m_portBox, m_modeBox}) {
        box->setCurrentIndex(-1);
        box->clearEditText();
    }
}

void LineSettingsDialog::onSaveClicked()
{
    // The start-up recognises only the listed ports; anything else would leave
    // the next start without a line. A device chosen from the list is kept
    // under one of them.
    const QString device = m_devices->deviceOf(m_portBox->currentText());
    const QString port = device.isEmpty() ? m_portBox->currentText() : portForDevice(device);
    if (m_portBox->findText(port, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0) {
        msg::inform(tr("端口号必须是com1至com8之一，或列表中的设备。"));
        m_portBox->setFocus();
        return;
    }
    const std::optional<QString> areaCode = typedAreaCode();
    if (!areaCode)
        return;
    // Ending the program only makes sense once the new values are in the file.
    if ((!device.isEmpty() && !assignPortDevice(port, device)) ||
        !m_writeConfig(port, m_modeBox->currentText()) ||
        (*areaCode != readAreaCode() && !writeAreaCode(*areaCode))) {
        msg::inform(tr("配置无法保存：zel.ini无法写入（文件或文件夹只读，或磁盘已满）。"));
        return;
    }
    msg::inform(tr("配置已保存，将退出程序，请重新运行。"));
    // The program ends once this dialog has returned to the menu command.
    close();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void LineSettingsDialog::onPortTestClicked()
{
    testPort(*m_testPort, m_mainPort, m_portBox->currentText());
}

} // namespace corvane
