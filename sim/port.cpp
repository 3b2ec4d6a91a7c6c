#include "sim/port.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace hartsim {

namespace {

std::string reason(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void setRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
}

}  // namespace

bool openPseudoTerminal(Port& port, std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = reason("posix_openpt");
        return false;
    }
    const char* name = nullptr;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (name = ptsname(master)) == nullptr) {
        error = reason("pseudo-terminal");
        close(master);
        return false;
    }
    port.path = name;
    // Holding the slave open keeps the master from hanging up whenever the tool closes its
    // port, and lets the line be set raw (no echo, no line editing) before anyone opens it.
    port.holdFd = open(port.path.c_str(), O_RDWR | O_NOCTTY);
    if (port.holdFd < 0) {
        error = reason("open " + port.path);
        close(master);
        return false;
    }
    setRaw(port.holdFd);
    port.watchFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (port.watchFd >= 0 && inotify_add_watch(port.watchFd, port.path.c_str(),
                                               IN_OPEN | IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        close(port.watchFd);
        port.watchFd = -1;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    port.fd = master;
    return true;
}

bool openSerialDevice(const std::string& path, Port& port, std::string& error) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = reason("open " + path);
        return false;
    }
    termios t{};
    if (tcgetattr(fd, &t) == 0) {
        cfmakeraw(&t);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | CRTSCTS);
        t.c_cflag |= CS8 | PARENB | PARODD | CLOCAL | CREAD;
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        cfsetispeed(&t, B1200);
        cfsetospeed(&t, B1200);
        tcsetattr(fd, TCSANOW, &t);
    }
    port.fd = fd;
    port.path = path;
    return true;
}

void closePort(Port& port) {
    if (port.fd >= 0) close(port.fd);
    if (port.holdFd >= 0) close(port.holdFd);
    if (port.watchFd >= 0) close(port.watchFd);
    port.fd = port.holdFd = port.watchFd = -1;
}

void serviceWatch(Port& port) {
    alignas(inotify_event) char buf[1024];
    for (ssize_t n; (n = read(port.watchFd, buf, sizeof buf)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buf + at);
            if (event->mask & IN_OPEN) ++port.openers;
            if ((event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) && port.openers > 0) {
                if (--port.openers == 0) {
                    tcflush(port.holdFd, TCIFLUSH);
                    ioctl(port.holdFd, TIOCNXCL);
                }
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

bool peerOpen(const Port& port) {
    return port.watchFd < 0 || port.openers > 0;
}

bool makeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = link + " exists and is not a symlink";
            return false;
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        error = reason("symlink " + link);
        return false;
    }
    return true;
}

void removeLink(const std::string& link, const std::string& target) {
    char buf[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), buf, sizeof buf);
    if (n > 0 && std::string(buf, static_cast<std::size_t>(n)) == target) unlink(link.c_str());
}

}  // namespace hartsim
