#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;

namespace corvane {

class PortDeviceList;
class SerialControl;

// The choice of the modem's serial port and caller-ID mode, the shop's area
// code, a port test, and saving the choice, which ends the program (the line
// is only set up at start). The area code is read from and written to zel.ini
// itself.
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
    // The label and edit of the area code, at `top`.
    void buildAreaCodeRow(int top);
    // The area code typed, as zel.ini keeps it ("" for none); std::nullopt,
    // after telling the user, when it is no area code.
    std::optional<QString> typedAreaCode();
    void onSaveClicked();
    void onPortTestClicked();

    QComboBox *m_portBox;
    QComboBox *m_modeBox;
    QLineEdit *m_areaCodeEdit = nullptr;
    PortDeviceList *m_devices;
    // The port the test opens, apart from the call desk's.
    SerialControl *m_testPort;
    SerialControl &m_mainPort;
    ConfigWriter m_writeConfig;
};

} // namespace corvane
