#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace corvane {

class LineLog;
class SerialLine;

// The serial port of the caller-ID line, over the system's serial line. Its settings take
// effect at the next opening of the port; a value it cannot honour throws
// Failure("Invalid property value"). Text is taken one character per byte
// (Latin-1), so character counts match byte counts.
class SerialControl : public QObject
{
    Q_OBJECT
public:
    explicit SerialControl(QObject *parent = nullptr);
    ~SerialControl() override;

    void setInBufferSize(int size);
    void setInputLength(int length);
    void setInputMode(int mode); // 0 text, the only mode offered
    void setReceiveThreshold(int threshold);
    void setRtsEnabled(bool on);
    void setLineFormat(const QString &format); // "9600,N,8,1"
    void setSendThreshold(int threshold);      // 0: no transmit event, the only value offered
    void setPortNumber(int port);
    int portNumber() const;
    // Opens this device rather than the port number's (empty: the port
    // number's again): a device being asked whether it is a modem.
    void setDevice(const QString &path) { m_chosenDevice = path; }
    // The device last opened, or tried.
    QString devicePath() const { return m_device; }

    bool isOpen() const;
    // true opens the device of the port number and throws Failure when it is absent,
    // busy or not a serial device; false closes it.
    void setOpen(bool open);

    // Sends the Latin-1 bytes of text; throws Failure when the port is closed.
    void output(const QString &text);

    int inBufferCount() const;
    // With input length 0 everything waiting, which is then gone from the buffer;
    // otherwise at most that many characters.
    QString input();

    // Opens the port again on the device it last had open: now when it is
    // there, else every ReopenIntervalMs until it is back. lineRestored follows
    // the opening. Closing the port stops the attempts.
    void reopen();
    // True while the port waits for its device to come back.
    bool reopening() const { return m_reopen.isActive(); }

    // Bytes received and sent are reported here when set (nullptr: none).
    void setLineLog(LineLog *log) { m_log = log; }
    LineLog *lineLog() const { return m_log; }

    // How long the line must stay quiet before a burst that ends with a line
    // end counts as ended; one that stops inside a line waits longer.
    static constexpr int QuietGapMs = 25;
    static constexpr int UnendedLineGapMs = 500;
    // How often a vanished device is looked for.
    static constexpr int ReopenIntervalMs = 3000;

Q_SIGNALS:
    // Data is waiting in the input buffer; always raised through the event loop.
    void dataReceived();
    // Raised once when the open device vanishes; the port is closed by then,
    // and the device is looked for until it is back.
    void lineLost(const QString &message);
    // Raised through the event loop when reopen() has opened the port again.
    void lineRestored();

private:
    void received();
    // Starts the wait for the line to go quiet, as long as its last byte asks.
    void awaitQuiet();
    void raiseDataReceived();
    void deviceError();
    bool openDevice();
    bool tryReopen();

    SerialLine *m_port = nullptr;
    QTimer m_quiet;
    QTimer m_reopen;
    LineLog *m_log = nullptr;
    int m_inBufferSize = 1024;
    int m_inputLength = 0;
    int m_receiveThreshold = 0;
    bool m_rtsEnabled = false;
    QString m_lineFormat = QStringLiteral("9600,N,8,1");
    int m_portNumber = 1;
    bool m_dataPending = false;
    bool m_lost = false;
    QString m_device;
    QString m_chosenDevice;
};

} // namespace corvane
