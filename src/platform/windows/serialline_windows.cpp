#include "platform/serialline.h"

#include <QMetaObject>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <windows.h>

namespace corvane {

namespace {

// ReadFile returns after this long without a byte, so the reader sees a close
// in time, and a write (which waits for the read on a synchronous handle)
// never waits longer.
constexpr DWORD ReadWaitMs = 50;
// A gap between two bytes this long ends one read.
constexpr DWORD ByteGapMs = 10;
constexpr DWORD WriteWaitMs = 2000;

QString systemMessage(DWORD error)
{
    return qt_error_string(int(error));
}

BYTE parityCode(char parity)
{
    switch (parity) {
    case 'E':
        return EVENPARITY;
    case 'O':
        return ODDPARITY;
    case 'M':
        return MARKPARITY;
    case 'S':
        return SPACEPARITY;
    default:
        return NOPARITY;
    }
}

BYTE stopBitsCode(LineFormat::StopBits stopBits)
{
    switch (stopBits) {
    case LineFormat::StopBits::OneAndHalf:
        return ONE5STOPBITS;
    case LineFormat::StopBits::Two:
        return TWOSTOPBITS;
    case LineFormat::StopBits::One:
        break;
    }
    return ONESTOPBIT;
}

// "COM3" is a name of the DOS device space; "COM10" and above are reachable
// only through it, so every port goes that way.
std::wstring deviceName(const QString &device)
{
    const QString full =
        device.startsWith(QLatin1String("\\\\")) ? device : QStringLiteral("\\\\.\\") + device;
    return full.toStdWString();
}

} // namespace

// A thread in a blocking ReadFile with interval timeouts: Windows and Wine
// serve that alike, while Wine's pseudo-terminal ports lack WaitCommEvent,
// queue counts and modem status.
struct SerialLine::Private
{
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::thread reader;
    // The reader's own handle, for cancelling its read; null until it runs.
    HANDLE readerThread = nullptr;
    mutable std::mutex mutex;
    std::condition_variable roomLeft;
    QByteArray received;
    qint64 bufferSize = 0;
    bool stopping = false;
    QString error;
};

SerialLine::SerialLine(QObject *parent) : QObject(parent), d(std::make_unique<Private>()) {}

SerialLine::~SerialLine()
{
    close();
}

bool SerialLine::open(const QString &device, const LineFormat &format, bool rts, qint64 readBufferSize)
{
    close();
    const HANDLE handle = ::CreateFileW(deviceName(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        d->error = systemMessage(::GetLastError());
        return false;
    }
    DCB state{};
    state.DCBlength = sizeof state;
    ::GetCommState(handle, &state);
    state.BaudRate = DWORD(format.baudRate);
    state.ByteSize = BYTE(format.dataBits);
    state.Parity = parityCode(format.parity);
    state.fParity = format.parity != 'N';
    state.StopBits = stopBitsCode(format.stopBits);
    state.fBinary = TRUE;
    state.fOutxCtsFlow = FALSE;
    state.fOutxDsrFlow = FALSE;
    state.fDsrSensitivity = FALSE;
    state.fOutX = FALSE;
    state.fInX = FALSE;
    state.fNull = FALSE;
    state.fAbortOnError = FALSE;
    state.fDtrControl = DTR_CONTROL_ENABLE;
    state.fRtsControl = rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    if (!::SetCommState(handle, &state)) {
        // A port without modem lines may refuse them; the line itself still counts.
        state.fDtrControl = DTR_CONTROL_DISABLE;
        state.fRtsControl = RTS_CONTROL_DISABLE;
        if (!::SetCommState(handle, &state)) {
            d->error = systemMessage(::GetLastError());
            ::CloseHandle(handle);
            return false;
        }
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = ByteGapMs;
    timeouts.ReadTotalTimeoutConstant = ReadWaitMs;
    timeouts.WriteTotalTimeoutConstant = WriteWaitMs;
    ::SetCommTimeouts(handle, &timeouts);

    d->handle = handle;
    d->bufferSize = readBufferSize > 0 ? readBufferSize : 4096;
    d->received.clear();
    d->stopping = false;
    d->error.clear();
    d->reader = std::thread([this, handle] {
        char chunk[512];
        for (;;) {
            {
                std::unique_lock lock(d->mutex);
                if (!d->readerThread)
                    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                                      &d->readerThread, 0, FALSE, DUPLICATE_SAME_ACCESS);
                d->roomLeft.wait(lock, [this] { return d->stopping || d->received.size() < d->bufferSize; });
                if (d->stopping)
                    return;
            }
            DWORD count = 0;
            if (!::ReadFile(handle, chunk, sizeof chunk, &count, nullptr)) {
                const DWORD error = ::GetLastError();
                std::lock_guard lock(d->mutex);
                if (d->stopping || error == ERROR_OPERATION_ABORTED)
                    return;
                d->error = systemMessage(error);
                QMetaObject::invokeMethod(this, &SerialLine::lost, Qt::QueuedConnection);
                return;
            }
            if (count == 0)
                continue;
            {
                std::lock_guard lock(d->mutex);
                d->received.append(chunk, qsizetype(count));
            }
            QMetaObject::invokeMethod(this, &SerialLine::readyRead, Qt::QueuedConnection);
        }
    });
    return true;
}

void SerialLine::close()
{
    if (d->handle == INVALID_HANDLE_VALUE)
        return;
    HANDLE reader = nullptr;
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
        reader = d->readerThread;
    }
    d->roomLeft.notify_all();
    // A read that has not begun yet ends after its wait of ReadWaitMs.
    if (reader)
        ::CancelSynchronousIo(reader);
    d->reader.join();
    if (reader)
        ::CloseHandle(reader);
    d->readerThread = nullptr;
    ::CloseHandle(d->handle);
    d->handle = INVALID_HANDLE_VALUE;
    std::lock_guard lock(d->mutex);
    d->received.clear();
}

bool SerialLine::isOpen() const
{
    return d->handle != INVALID_HANDLE_VALUE;
}

qint64 SerialLine::write(const QByteArray &bytes)
{
    DWORD written = 0;
    if (!::WriteFile(d->handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr)) {
        const std::lock_guard lock(d->mutex);
        d->error = systemMessage(::GetLastError());
        return -1;
    }
    return qint64(written);
}

qint64 SerialLine::bytesAvailable() const
{
    const std::lock_guard lock(d->mutex);
    return d->received.size();
}

QByteArray SerialLine::read(qint64 maxSize)
{
    QByteArray bytes;
    {
        const std::lock_guard lock(d->mutex);
        if (maxSize <= 0 || maxSize >= d->received.size()) {
            bytes.swap(d->received);
        } else {
            bytes = d->received.left(maxSize);
            d->received.remove(0, maxSize);
        }
    }
    d->roomLeft.notify_all();
    return bytes;
}

char SerialLine::lastByte() const
{
    const std::lock_guard lock(d->mutex);
    return d->received.isEmpty() ? '\0' : d->received.back();
}

qint64 SerialLine::readBufferSize() const
{
    return d->bufferSize;
}

QString SerialLine::errorString() const
{
    const std::lock_guard lock(d->mutex);
    return d->error;
}

} // namespace corvane
