#include "platform/openproblem.h"

#include <windows.h>

namespace corvane {

// Opening the port once more tells why it failed: a port another program has
// open answers "access denied", one that is not plugged in "not found".
OpenProblem openProblem(const QString &device)
{
    OpenProblem problem;
    problem.device = device;
    const QString full =
        device.startsWith(QLatin1String("\\\\")) ? device : QStringLiteral("\\\\.\\") + device;
    const HANDLE handle = ::CreateFileW(full.toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
        return problem;
    }
    switch (::GetLastError()) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        problem.kind = OpenProblem::Kind::Busy;
        break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        problem.kind = OpenProblem::Kind::Absent;
        break;
    default:
        break;
    }
    return problem;
}

} // namespace corvane
