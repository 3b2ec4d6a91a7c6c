// The line the simulator talks on: a pseudo-terminal it creates, or a serial device.
#pragma once

#include <string>

namespace hartsim {

struct Port {
    // Read and written by the simulator, non-blocking.
    int fd = -1;
    // Pseudo-terminal only: the slave, held open so the master never hangs up between the
    // tool's sessions, and a watch that reports the tool closing it.
    int holdFd = -1;
    int watchFd = -1;
    int openers = 0;   // the tool's open descriptors of the slave, as the watch counted them
    std::string path;  // what the tool opens
};

// Creates a pseudo-terminal pair in raw mode. Returns false with the reason in `error`.
bool openPseudoTerminal(Port& port, std::string& error);
// Opens an existing serial device at 1200 baud, 8 data bits, odd parity, raw. A device that
// refuses the line settings (a pty, say) is used as it is.
bool openSerialDevice(const std::string& path, Port& port, std::string& error);
void closePort(Port& port);

// Call when watchFd is readable. A pseudo-terminal keeps the exclusive-use flag that the
// tool's port sets after the tool closes it, so nobody but root could open it again: once
// the tool has closed the port, the flag is cleared, and what it left unread is dropped.
void serviceWatch(Port& port);
// False while nobody has the pseudo-terminal open: what is sent then is lost, as on a wire
// with no modem listening.
bool peerOpen(const Port& port);

// Points `link` at `target`, replacing an older symlink; anything else at `link` is left alone.
bool makeLink(const std::string& link, const std::string& target, std::string& error);
// Removes `link` if it still points at `target`.
void removeLink(const std::string& link, const std::string& target);

}  // namespace hartsim
