#include "settings/portdevicelist.h"

#include "desktop/guard.h"
#include "platform/serialcontrol.h"
#include "platform/serialdevice.h"
#include "settings/dialogparts.h"
#include "settings/porttest.h"

#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>

namespace corvane {

namespace {

constexpr int Left = 16;
constexpr int ListWidth = 508;
constexpr int ListHeight = 130;
constexpr int ProbeAnswerMs = 1000;
enum Column { PortColumn, DeviceColumn, NoteColumn };

} // namespace

PortDeviceList::PortDeviceList(QDialog &dialog, SerialControl &mainPort, int top)
    : QObject(&dialog), m_list(new QTreeWidget(&dialog)), m_mainPort(mainPort), m_probe(ProbeAnswerMs)
{
    placedLabel(&dialog, tr("本机的串口和设备（点击一行即选择它）："), Left, top);
    m_list->setObjectName(QStringLiteral("deviceList"));
    m_list->setGeometry(Left, top + 18, ListWidth, ListHeight);
    m_list->setHeaderLabels({tr("端口"), tr("设备"), tr("说明")});
    m_list->setRootIsDecorated(false);
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setColumnWidth(PortColumn, 150);
    m_list->setColumnWidth(DeviceColumn, 210);
    m_list->header()->setStretchLastSection(true);
    const int buttonTop = top + 18 + ListHeight + 8;
    m_findButton = placedButton(&dialog, tr("查找调制解调器"), Left, buttonTop, 110);
    m_findButton->setObjectName(QStringLiteral("findModemButton"));
    m_status = placedLabel(&dialog, QString(), Left + 118, buttonTop + 6);
    m_status->setObjectName(QStringLiteral("findModemStatus"));
    m_status->setFixedWidth(ListWidth - 118);

    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { guarded([&] { Q_EMIT chosen(item->text(PortColumn)); }); });
    connect(m_findButton, &QPushButton::clicked, this, [this] { guarded([this] { findModem(); }); });
    connect(&dialog, &QDialog::finished, this, [this] { guarded([this] { endSearch(); }); });
    m_probe.setLineLog(mainPort.lineLog());
    connect(&m_probe, &ModemProbe::asking, this, [this](int index, int count, const QString &device) {
        guarded([&] {
            const int row = rowOf(device);
            m_status->setText(tr("正在询问 %1（第 %2 个，共 %3 个）……")
                                  .arg(row < 0 ? device : m_choices.at(row).label)
                                  .arg(index + 1)
                                  .arg(count));
        });
    });
    connect(&m_probe, &ModemProbe::passedOver, this, [this](const QString &device, const QString &reason) {
        guarded([&] { setNote(rowOf(device), reason); });
    });
    connect(&m_probe, &ModemProbe::found, this, [this](const QString &device, const QString &name) {
        guarded([&] {
            const int row = rowOf(device);
            if (row < 0)
                return;
            setNote(row, name.isEmpty() ? tr("调制解调器") : tr("调制解调器：%1").arg(name));
            m_list->setCurrentItem(m_list->topLevelItem(row));
            m_status->setText(tr("找到了调制解调器：%1").arg(m_choices.at(row).label));
            Q_EMIT chosen(m_choices.at(row).label);
        });
    });
    connect(&m_probe, &ModemProbe::finished, this, [this](bool found) {
        guarded([&] {
            if (!found)
                m_status->setText(tr("没有找到应答的调制解调器，请检查它的连线和电源。"));
            endSearch();
        });
    });
}

PortDeviceList::~PortDeviceList() = default;

void PortDeviceList::refresh()
{
    endSearch();
    m_status->clear();
    m_choices = portChoices();
    m_list->clear();
    for (const PortChoice &choice : m_choices) {
        auto *item = new QTreeWidgetItem(m_list, {choice.label, choice.device, choice.note});
        item->setToolTip(DeviceColumn, choice.device);
    }
}

QString PortDeviceList::deviceOf(const QString &label) const
{
    for (const PortChoice &choice : m_choices)
        if (!choice.comPort && (choice.label == label || choice.device == label))
            return choice.device;
    return {};
}

void PortDeviceList::followInTabOrder(QWidget *before)
{
    QWidget::setTabOrder(before, m_list);
    QWidget::setTabOrder(m_list, m_findButton);
}

void PortDeviceList::findModem()
{
    // The devices plugged in first, as a modem bought for the job is; then
    // the ports' own. Each once, and only those that are there.
    QStringList devices;
    for (const bool comPorts : {false, true})
        for (const PortChoice &choice : m_choices) {
            const bool asked = std::any_of(devices.begin(), devices.end(), [&choice](const QString &d) {
                return sameDevice(d, choice.device);
            });
            if (choice.comPort == comPorts && !asked && serialDeviceExists(choice.device))
                devices.append(choice.device);
        }
    m_findButton->setEnabled(false);
    m_pause = std::make_unique<MainPortPause>(m_mainPort);
    m_probe.start(devices);
}

void PortDeviceList::endSearch()
{
    m_probe.stop();
    // The call desk's port comes back once the asking is over.
    m_pause.reset();
    m_findButton->setEnabled(true);
}

int PortDeviceList::rowOf(const QString &device) const
{
    for (int row = 0; row < m_choices.size(); ++row)
        if (sameDevice(m_choices.at(row).device, device))
            return row;
    return -1;
}

void PortDeviceList::setNote(int row, const QString &note)
{
    if (QTreeWidgetItem *item = m_list->topLevelItem(row)) {
        item->setText(NoteColumn, note);
        item->setToolTip(NoteColumn, note);
    }
}

} // namespace corvane
