#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

namespace corvane {

// How the line is spoken: "9600,N,8,1".
struct LineFormat
{
    enum class StopBits { One, OneAndHalf, Two };
    qint32 baudRate = 9600;
    // N, E, O, M or S.
    char parity = 'N';
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

// An open serial device and the bytes it has received, one implementation per
// operating system: QSerialPort on Linux, the Win32 communications API on
// Windows. Received bytes wait here, up to the read buffer's size; beyond it
// they stay with the driver.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    explicit SerialLine(QObject *parent = nullptr);
    ~SerialLine() override;
    SerialLine(const SerialLine &) = delete;
    SerialLine &operator=(const SerialLine &) = delete;

    // False with errorString() set when the device cannot be opened or set.
    // DTR is raised and RTS set as asked where the device has modem lines.
    bool open(const QString &device, const LineFormat &format, bool rts, qint64 readBufferSize);
    void close();
    bool isOpen() const;

    // The number of bytes written, or -1 with errorString() set.
    qint64 write(const QByteArray &bytes);
    qint64 bytesAvailable() const;
    // At most maxSize bytes of what waits; all of it when maxSize is 0.
    QByteArray read(qint64 maxSize);
    // The last of the bytes that wait, left waiting; 0 when none wait.
    char lastByte() const;
    qint64 readBufferSize() const;
    QString errorString() const;

Q_SIGNALS:
    // Bytes came; raised in the line's own thread.
    void readyRead();
    // The device is gone or can no longer be read; it is still open.
    void lost();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace corvane
