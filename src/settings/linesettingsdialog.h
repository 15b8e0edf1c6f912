#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace corvane {

class SerialControl;

// Frm_sz: the choice of the modem's serial port and caller-ID mode, a port
// test, and saving the choice, which ends the program (the line is only set up
// at start).
class LineSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    // Writes both values; false when the file could not be written.
    using ConfigWriter = std::function<bool(const QString &port, const QString &mode)>;

    // mainPort: the main window's port, freed for the test and taken up again after it.
    // writeConfig: the main window's configuration writer.
    LineSettingsDialog(SerialControl &mainPort, ConfigWriter writeConfig, QWidget *parent = nullptr);

    // "系统设置": shows the dialog modally; returns the modal result.
    int showModalFromMenu();

    // Closing by the close box or Escape gives Cancel.
    void reject() override;

    QLabel *Label41;
    QLabel *Label55;
    QLabel *Label1;
    QLabel *Label2;
    QComboBox *ComboBox1;
    QPushButton *Button3;
    QLabel *Label3;
    QComboBox *ComboBox2;
    QPushButton *Button1;
    QPushButton *Button2;
    SerialControl *MSComm1;

    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    SerialControl &m_mainPort;
    ConfigWriter m_writeConfig;
};

} // namespace corvane
