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

    // Opens the pair and makes the slave raw. Returns false with errno set on
    // failure.
    bool open();
    // Closes the master: for the program the device vanishes.
    void hangup();

    int master() const { return m_master; }
    const std::string &slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

} // namespace modemsim
