#include "platform/serialcontrol.h"

#include "platform/failure.h"
#include "platform/linelog.h"
#include "platform/serialdevice.h"
#include "platform/serialline.h"

#include <algorithm>
#include <climits>

namespace corvane {

namespace {

Failure invalidProperty()
{
    return Failure(QStringLiteral("Invalid property value"));
}

void require(bool valid)
{
    if (!valid)
        throw invalidProperty();
}

// "9600,N,8,1": baud rate, parity letter, data bits, stop bits.
LineFormat parseLineFormat(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        throw invalidProperty();
    LineFormat s;
    bool ok = false;
    s.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        throw invalidProperty();

    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NEOMS").contains(parity))
        throw invalidProperty();
    s.parity = parity.at(0).toLatin1();

    const int dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        throw invalidProperty();
    s.dataBits = dataBits;

    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = LineFormat::StopBits::One;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = LineFormat::StopBits::OneAndHalf;
    else if (stop == QLatin1String("2"))
        s.stopBits = LineFormat::StopBits::Two;
    else
        throw invalidProperty();
    return s;
}

} // namespace

SerialControl::SerialControl(QObject *parent) : QObject(parent), m_port(new SerialLine(this))
{
    // Qt hands received data over in fragments as the driver delivers them: a
    // UART FIFO about every 15 ms at 9600 baud, a USB modem every few ms. A
    // caller-ID report must be read whole in one event, so the receive event
    // waits until the line has been quiet for longer than the slowest of those
    // hand-overs (25 ms), or until the input buffer is full. Every modem
    // ends what it says with a line end: a pause inside a line is a delivery
    // that stalled (Wine's ports hand over pieces up to 70 ms apart), so the
    // rest of the line is waited for, up to half a second.
    m_quiet.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        if (inBufferCount() > 0)
            raiseDataReceived();
    });
    m_reopen.setInterval(ReopenIntervalMs);
    connect(&m_reopen, &QTimer::timeout, this, &SerialControl::tryReopen);
    connect(m_port, &SerialLine::readyRead, this, &SerialControl::received);
    connect(m_port, &SerialLine::lost, this, &SerialControl::deviceError);
}

SerialControl::~SerialControl()
{
    m_port->close();
}

void SerialControl::setInBufferSize(int size)
{
    require(size > 0);
    m_inBufferSize = size;
}

void SerialControl::setInputLength(int length)
{
    require(length >= 0);
    m_inputLength = length;
}

// Input is always text, and no transmit event is ever raised: those are the
// only values the program uses, so anything else is refused rather than
// silently ignored.
void SerialControl::setInputMode(int mode)
{
    require(mode == 0);
}

void SerialControl::setSendThreshold(int threshold)
{
    require(threshold == 0);
}

void SerialControl::setReceiveThreshold(int threshold)
{
    require(threshold >= 0);
    m_receiveThreshold = threshold;
}

void SerialControl::setRtsEnabled(bool on)
{
    m_rtsEnabled = on;
}

void SerialControl::setLineFormat(const QString &format)
{
    parseLineFormat(format);
    m_lineFormat = format;
}

void SerialControl::setPortNumber(int port)
{
    m_portNumber = port;
}

int SerialControl::portNumber() const
{
    return m_portNumber;
}

bool SerialControl::isOpen() const
{
    return m_port->isOpen();
}

void SerialControl::setOpen(bool open)
{
    m_reopen.stop();
    if (!open) {
        m_quiet.stop();
        m_port->close();
        return;
    }
    if (m_port->isOpen())
        throw Failure(QStringLiteral("Port already open"));

    m_device = m_chosenDevice.isEmpty() ? serialDevicePath(m_portNumber) : m_chosenDevice;
    m_lost = false;
    if (!openDevice())
        throw Failure(QStringLiteral("Cannot open port %1 (%2): %3")
                          .arg(QString::number(m_portNumber), m_device, m_port->errorString()));
}

void SerialControl::reopen()
{
    if (m_port->isOpen() || m_device.isEmpty())
        return;
    if (!tryReopen())
        m_reopen.start();
}

bool SerialControl::tryReopen()
{
    if (!openDevice())
        return false;
    m_reopen.stop();
    m_lost = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_port->isOpen())
                Q_EMIT lineRestored();
        },
        Qt::QueuedConnection);
    return true;
}

bool SerialControl::openDevice()
{
    // Bytes beyond the input buffer stay with the driver (and, once its buffer
    // is full, hold up the sender) until the program has read what it has.
    return m_port->open(m_device, parseLineFormat(m_lineFormat), m_rtsEnabled, m_inBufferSize);
}

void SerialControl::output(const QString &text)
{
    if (!m_port->isOpen())
        throw Failure(QStringLiteral("Operation valid only when the port is open"));
    const QByteArray bytes = text.toLatin1();
    if (m_port->write(bytes) != bytes.size())
        throw Failure(m_port->errorString());
    if (m_log)
        m_log->sent(bytes);
}

int SerialControl::inBufferCount() const
{
    if (!m_port->isOpen())
        return 0;
    return static_cast<int>(std::min<qint64>(m_port->bytesAvailable(), INT_MAX));
}

QString SerialControl::input()
{
    if (!m_port->isOpen())
        return {};
    const QByteArray bytes = m_port->read(m_inputLength);
    if (m_log && !bytes.isEmpty())
        m_log->received(bytes);
    return QString::fromLatin1(bytes);
}

void SerialControl::received()
{
    // The size the port was opened with: a later change waits for the next opening.
    if (m_port->bytesAvailable() >= m_port->readBufferSize())
        raiseDataReceived();
    else
        awaitQuiet();
}

void SerialControl::awaitQuiet()
{
    const char last = m_port->lastByte();
    m_quiet.start(last == '\r' || last == '\n' ? QuietGapMs : UnendedLineGapMs);
}

void SerialControl::raiseDataReceived()
{
    if (m_receiveThreshold <= 0 || m_dataPending)
        return;
    m_dataPending = true;
    m_quiet.stop();
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_dataPending = false;
            if (!m_port->isOpen())
                return;
            Q_EMIT dataReceived();
            // Characters the handler left unread, or that came while it ran,
            // get an event of their own once the line is quiet again.
            if (inBufferCount() > 0 && !m_quiet.isActive())
                awaitQuiet();
        },
        Qt::QueuedConnection);
}

void SerialControl::deviceError()
{
    // The port is of no further use, and reading on would only spin.
    if (!m_port->isOpen() || m_lost)
        return;
    m_lost = true;
    // Closing the port from inside its own notification is not safe; finish
    // the job from the event loop. What was already received is still handed
    // over before the line is reported lost.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_port->isOpen())
                return;
            m_quiet.stop();
            if (inBufferCount() > 0)
                Q_EMIT dataReceived();
            m_port->close();
            // A USB modem plugged in again, or a cable put back, brings the
            // line back without the user doing anything.
            m_reopen.start();
            Q_EMIT lineLost(tr("串口 %1 已不可用").arg(m_device));
        },
        Qt::QueuedConnection);
}

} // namespace corvane
