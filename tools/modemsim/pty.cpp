#include "pty.h"

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace modemsim {

Pty::~Pty()
{
    hangup();
    if (m_slave >= 0)
        ::close(m_slave);
}

bool Pty::open()
{
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    if (openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
        return false;
    m_slavePath = name;
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void Pty::hangup()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

} // namespace modemsim
