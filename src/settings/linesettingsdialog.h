#pragma once

#include <QDialog>

#include <functional>

class QComboBox;

namespace corvane {

class PortDeviceList;
class SerialControl;

// The choice of the modem's serial port and caller-ID mode, a port test, and
// saving the choice, which ends the program (the line is only set up at start).
class LineSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    // Writes both values; false when the file could not be written.
    using ConfigWriter = std::function<bool(const QString &port, const QString &mode)>;

    // mainPort: the call desk's port, freed for the test and taken up again after it.
    LineSettingsDialog(SerialControl &mainPort, ConfigWriter writeConfig, QWidget *parent = nullptr);

    // "系统设置": shows the dialog modally; returns the modal result.
    int showModalFromMenu();

    // Closing by the close box or Escape gives Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void clearChoices();
    void onSaveClicked();
    void onPortTestClicked();

    QComboBox *m_portBox;
    QComboBox *m_modeBox;
    PortDeviceList *m_devices;
    // The port the test opens, apart from the call desk's.
    SerialControl *m_testPort;
    SerialControl &m_mainPort;
    ConfigWriter m_writeConfig;
};

} // namespace corvane
