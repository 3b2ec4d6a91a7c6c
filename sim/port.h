// The line the simulator talks on: a pseudo-terminal it creates, or a serial device.
#pragma once

#include <string>

namespace hartsim {

struct Port {
    int fd = -1;       // read and written by the simulator, non-blocking
    int holdFd = -1;   // pseudo-terminal only: keeps the slave open between the tool's sessions
    std::string path;  // what the tool opens
};

// Creates a pseudo-terminal pair in raw mode. Returns false with the reason in `error`.
bool openPseudoTerminal(Port& port, std::string& error);
// Opens an existing serial device at 1200 baud, 8 data bits, odd parity, raw. A device that
// refuses the line settings (a pty, say) is used as it is.
bool openSerialDevice(const std::string& path, Port& port, std::string& error);
void closePort(Port& port);

// Points `link` at `target`, replacing an older symlink; anything else at `link` is left alone.
bool makeLink(const std::string& link, const std::string& target, std::string& error);
// Removes `link` if it still points at `target`.
void removeLink(const std::string& link, const std::string& target);

}  // namespace hartsim
