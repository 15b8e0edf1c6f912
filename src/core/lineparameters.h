#pragma once

namespace corvane {

class SerialControl;

// The caller-ID line's fixed parameters, in the order the serial control
// expects them: buffer, input, thresholds, RTS and "9600,N,8,1". The port
// number is left to the caller. The line session's port and the port test
// both use exactly these.
void setLineParameters(SerialControl &port);

} // namespace corvane
