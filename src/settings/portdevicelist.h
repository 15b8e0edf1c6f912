#pragma once

#include "core/modemprobe.h"
#include "core/portchoices.h"

#include <QObject>

#include <memory>

class QDialog;
class QLabel;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace corvane {

class MainPortPause;
class SerialControl;

// The line settings' list of ports and the serial devices present, and the
// search for the modem among them ("查找调制解调器"), which frees the call
// desk's port while it asks and takes it up again afterwards. Its controls
// stand on the dialog from `top` down.
class PortDeviceList : public QObject
{
    Q_OBJECT
public:
    PortDeviceList(QDialog &dialog, SerialControl &mainPort, int top);
    ~PortDeviceList() override;

    // Lists what is there now; a search under way ends.
    void refresh();
    // The device a listed device's label stands for; empty for com1 … com8
    // and for any other text.
    QString deviceOf(const QString &label) const;
    // Its controls follow `before` in the tab order.
    void followInTabOrder(QWidget *before);

Q_SIGNALS:
    // A line was chosen, or the search found its modem: the port box shows
    // the label.
    void chosen(const QString &label);

private:
    void findModem();
    void endSearch();
    int rowOf(const QString &device) const;
    void setNote(int row, const QString &note);

    QTreeWidget *m_list;
    QPushButton *m_findButton;
    QLabel *m_status;
    SerialControl &m_mainPort;
    ModemProbe m_probe;
    std::unique_ptr<MainPortPause> m_pause;
    QList<PortChoice> m_choices;
};

} // namespace corvane
