#pragma once

#include <string>

namespace modemsim {

// The pseudo-terminal the program under test opens as its serial port. The
// slave side is kept open here as well, so that the master never sees a
// hang-up while the program closes and reopens the port.
class Pty
{
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    // Opens the pair and makes the slave raw; when link is not empty, a
    // symbolic link there names the slave, so the device keeps its path across
    // unplug() and open() again. Returns false with errno set on failure.
    bool open(const std::string &link = {});
    // Closes the master: for the program the device vanishes.
    void hangup();
    // Closes both sides and removes the link: the device is gone, as an
    // unplugged USB modem is.
    void unplug();
    // A new device in place of the old one, at the same path (the link's).
    bool replug();

    int master() const { return m_master; }
    // The link when there is one, else the slave itself.
    const std::string &devicePath() const { return m_link.empty() ? m_slavePath : m_link; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::string m_link;
};

} // namespace modemsim
