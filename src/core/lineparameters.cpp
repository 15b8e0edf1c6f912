#include "core/lineparameters.h"

#include "platform/serialcontrol.h"

namespace corvane {

void setLineParameters(SerialControl &port)
{
    port.setInBufferSize(1024);
    port.setInputLength(0);
    port.setInputMode(0);
    port.setReceiveThreshold(1);
    port.setRtsEnabled(true);
    port.setLineFormat(QStringLiteral("9600,N,8,1"));
    port.setSendThreshold(0);
}

} // namespace corvane
