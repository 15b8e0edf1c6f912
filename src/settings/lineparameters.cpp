#include "settings/lineparameters.h"

#include "platform/serialcontrol.h"

namespace corvane {

void setLineParameters(SerialControl &port)
{
    port.setInBufferSize(1024);
    port.setInputLen(0);
    port.setInputMode(0);
    port.setRThreshold(1);
    port.setRTSEnable(true);
    port.setSettings(QStringLiteral("9600,N,8,1"));
    port.setSThreshold(0);
}

} // namespace corvane
