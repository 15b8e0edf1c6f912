#include "platform/serialline.h"

#include <QSerialPort>

namespace corvane {

struct SerialLine::Private
{
    QSerialPort port;
};

SerialLine::SerialLine(QObject *parent) : QObject(parent), d(std::make_unique<Private>())
{
    connect(&d->port, &QSerialPort::readyRead, this, &SerialLine::readyRead);
    connect(&d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // A vanished device shows as a resource error, or (a pseudo-terminal
        // whose master was closed) as reads that return nothing while the
        // port keeps signalling data.
        if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && d->port.isOpen())
            Q_EMIT lost();
    });
}

SerialLine::~SerialLine()
{
    d->port.close();
}

bool SerialLine::open(const QString &device, const LineFormat &format, bool rts, qint64 readBufferSize)
{
    d->port.setPortName(device);
    if (!d->port.open(QIODevice::ReadWrite))
        return false;
    d->port.setBaudRate(format.baudRate);
    switch (format.parity) {
    case 'E':
        d->port.setParity(QSerialPort::EvenParity);
        break;
    case 'O':
        d->port.setParity(QSerialPort::OddParity);
        break;
    case 'M':
        d->port.setParity(QSerialPort::MarkParity);
        break;
    case 'S':
        d->port.setParity(QSerialPort::SpaceParity);
        break;
    default:
        d->port.setParity(QSerialPort::NoParity);
    }
    d->port.setDataBits(static_cast<QSerialPort::DataBits>(format.dataBits));
    switch (format.stopBits) {
    case LineFormat::StopBits::One:
        d->port.setStopBits(QSerialPort::OneStop);
        break;
    case LineFormat::StopBits::OneAndHalf:
        d->port.setStopBits(QSerialPort::OneAndHalfStop);
        break;
    case LineFormat::StopBits::Two:
        d->port.setStopBits(QSerialPort::TwoStop);
        break;
    }
    d->port.setFlowControl(QSerialPort::NoFlowControl);
    d->port.setReadBufferSize(readBufferSize);
    // Pseudo-terminals and some USB adapters have no modem lines; that is no
    // reason to refuse the port, so these two may fail quietly.
    d->port.setDataTerminalReady(true);
    d->port.setRequestToSend(rts);
    d->port.clearError();
    return true;
}

void SerialLine::close()
{
    d->port.close();
}

bool SerialLine::isOpen() const
{
    return d->port.isOpen();
}

qint64 SerialLine::write(const QByteArray &bytes)
{
    return d->port.write(bytes);
}

qint64 SerialLine::bytesAvailable() const
{
    return d->port.bytesAvailable();
}

QByteArray SerialLine::read(qint64 maxSize)
{
    return maxSize > 0 ? d->port.read(maxSize) : d->port.readAll();
}

char SerialLine::lastByte() const
{
    const QByteArray waiting = d->port.peek(d->port.bytesAvailable());
    return waiting.isEmpty() ? '\0' : waiting.back();
}

qint64 SerialLine::readBufferSize() const
{
    return d->port.readBufferSize();
}

QString SerialLine::errorString() const
{
    return d->port.errorString();
}

} // namespace corvane
