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

bool Pty::open(const std::string &link)
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
    if (!link.empty()) {
        // Made beside and renamed over: the path never names nothing while
        // the device is there.
        const std::string fresh = link + ".new";
        ::unlink(fresh.c_str());
        if (::symlink(m_slavePath.c_str(), fresh.c_str()) != 0 || ::rename(fresh.c_str(), link.c_str()) != 0)
            return false;
        m_link = link;
    }
    return true;
}

void Pty::hangup()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void Pty::unplug()
{
    if (!m_link.empty())
        ::unlink(m_link.c_str());
    hangup();
    if (m_slave >= 0)
        ::close(m_slave);
    m_slave = -1;
}

bool Pty::replug()
{
    unplug();
    return open(m_link);
}

} // namespace modemsim
