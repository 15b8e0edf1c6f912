#pragma once

#include "platform/serialcontrol.h"

#include <QObject>
#include <QString>

namespace corvane {

struct LineConfig;

// The caller-ID line: the port with the line's fixed parameters, opened at
// start and taken up again whenever its device comes back, the modem told its
// mode each time, and the reports told apart from the modem's answers.
class LineSession : public QObject
{
    Q_OBJECT
public:
    explicit LineSession(QObject *parent = nullptr);

    SerialControl &serialPort() { return m_serialPort; }

    // Sets the port up from the settings and opens it. Throws Failure when
    // the port name gives no number, and when the mode command cannot be sent.
    void start(const LineConfig &config);
    // Closes the port; no reopening follows.
    void close();

Q_SIGNALS:
    // Bytes came in from the line and are about to be read.
    void dataArrived();
    // A caller-ID report (upper-cased) and the count of characters that
    // waited before it was read.
    void reportReceived(const QString &text, int bufferCount);
    // What the user is told about the line.
    void notice(const QString &text);
    // A failure of the line's own events.
    void failed(const QString &message);

private:
    // Opens the port unless it is open, then sends the mode command.
    void open();
    void onDataReceived();

    SerialControl m_serialPort;
    QString m_mode;
};

} // namespace corvane
