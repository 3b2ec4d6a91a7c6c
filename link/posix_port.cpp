// Serial port on POSIX terminals: termios for the line, poll() on the port and a self-pipe for
// every wait, so both workers sleep in the kernel until there is something to do.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>

#include "link/port_backend.h"

namespace serial {

namespace {

struct BaudEntry {
    uint32_t rate;
    speed_t code;
};

constexpr BaudEntry kBaudRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

constexpr tcflag_t kByteSizeFlags[] = {CS5, CS6, CS7, CS8};  // indexed by ByteSize

constexpr uint32_t kNoWait = 0xFFFFFFFF;

int closeQuietly(int fd) {
    if (fd >= 0) ::close(fd);
    return -1;
}

void setModemLine(int fd, int line, bool on) {
    // Pseudo-terminals refuse these; the port is still usable without them.
    (void)::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

class PosixPort final : public PortBackend {
  public:
    ~PosixPort() override { close(); }

    OpenStatus open(const std::string& name) override {
        const std::string path = commDevicePath(name);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return {OpenResult::CannotOpen, errno};

        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !::isatty(fd)) {
            closeQuietly(fd);
            return {OpenResult::NotComm, 0};
        }
        // TIOCEXCL keeps other (unprivileged) openers out (they get EBUSY); the lock also
        // covers privileged ones and a second component in this process, and says the same.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            closeQuietly(fd);
            return {OpenResult::CannotOpen, error};
        }
        (void)::ioctl(fd, TIOCEXCL);
        fd_ = fd;
        return {};
    }

    void close() override {
        if (fd_ >= 0) (void)::ioctl(fd_, TIOCNXCL);
        fd_ = closeQuietly(fd_);
        wakeRead_ = closeQuietly(wakeRead_);
        wakeWrite_ = closeQuietly(wakeWrite_);
    }

    bool createCloseSignal() override {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        for (int fd : fds) {
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
        }
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
        return true;
    }

    void signalClose() override {
        // The byte is never read back: the pipe stays readable, so every later wait ends too.
        const char byte = 1;
        if (wakeWrite_ >= 0) (void)!::write(wakeWrite_, &byte, 1);
    }

    void purge(PurgeWhat what) override {
        if (fd_ < 0) return;
        static constexpr int kQueue[] = {TCIFLUSH, TCOFLUSH, TCIOFLUSH};
        (void)::tcflush(fd_, kQueue[static_cast<int>(what)]);
    }

    void applyLineSettings(const LineSettings& s) override {
        if (fd_ < 0) return;
        termios t{};
        if (::tcgetattr(fd_, &t) != 0) return;

        ::cfmakeraw(&t);
        t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
#ifdef CMSPAR
        t.c_cflag &= ~CMSPAR;
#endif
        t.c_cflag |= CLOCAL | CREAD | kByteSizeFlags[static_cast<int>(s.byteSize)];
        if (s.stopBits != StopBits::_1) t.c_cflag |= CSTOPB;  // 1.5 with 5 data bits
        if (s.outxCtsFlow || s.rtsControl == RtsControl::RtsHandshake) t.c_cflag |= CRTSCTS;

        t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | ISTRIP);
        if (s.outxXonXoffFlow) t.c_iflag |= IXON;
        if (s.inxXonXoffFlow) t.c_iflag |= IXOFF;
        t.c_cc[VSTART] = s.xonChar;
        t.c_cc[VSTOP] = s.xoffChar;
        // Reads are non-blocking and paced by poll(); VMIN 1 keeps read() returning 0 only
        // for a hung-up line.
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;

        const auto* baud = std::find_if(std::begin(kBaudRates), std::end(kBaudRates),
                                        [&](const BaudEntry& e) { return e.rate == s.baudRate; });
        if (baud != std::end(kBaudRates)) {
            ::cfsetispeed(&t, baud->code);
            ::cfsetospeed(&t, baud->code);
        }

        // Parity goes in a second step: a pseudo-terminal may refuse it, and the rest
        // (raw mode above all) must hold regardless.
        (void)::tcsetattr(fd_, TCSANOW, &t);
        if (s.parity != Parity::None) {
            t.c_cflag |= PARENB;
            if (s.parity == Parity::Odd || s.parity == Parity::Mark) t.c_cflag |= PARODD;
#ifdef CMSPAR
            if (s.parity == Parity::Mark || s.parity == Parity::Space) t.c_cflag |= CMSPAR;
#endif
            // Without PARMRK the driver hands a byte with a parity error in as 0x00.
            if (s.parityCheck) t.c_iflag |= INPCK;
            (void)::tcsetattr(fd_, TCSANOW, &t);
        }

        setModemLine(fd_, TIOCM_DTR, s.dtrControl != DtrControl::DtrDisable);
        // Under handshake the driver drives RTS; a transmit toggle has no termios equivalent,
        // so RTS is then left as the driver has it.
        if (s.rtsControl == RtsControl::RtsEnable || s.rtsControl == RtsControl::RtsDisable) {
            setModemLine(fd_, TIOCM_RTS, s.rtsControl == RtsControl::RtsEnable);
        }
        ignoreNull_ = s.ignoreNullChar;
    }

    void applyTimeouts(const Timeouts& t) override {
        readInterval_ = t.readInterval;
        readMultiplier_ = t.readMultiplier;
        readConstant_ = t.readConstant;
    }

    IoResult readChunk(uint8_t* buf, size_t capacity, size_t& got) override {
        using Clock = std::chrono::steady_clock;
        got = 0;
        IoResult result = readSome(buf, capacity, got, -1);

        const uint64_t total = uint64_t{readMultiplier_} * capacity + readConstant_;
        const auto deadline = Clock::now() + std::chrono::milliseconds(total);
        while (result == IoResult::Ok && got > 0 && got < capacity) {
            const uint32_t interval = readInterval_;
            int64_t wait = interval == kNoWait ? 0 : interval == 0 ? -1 : int64_t{interval};
            if (total != 0) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
                        .count();
                const int64_t remaining = std::max<int64_t>(left, 0);
                wait = wait < 0 ? remaining : std::min(wait, remaining);
            }
            const size_t before = got;
            result =
                readSome(buf, capacity, got, static_cast<int>(std::min<int64_t>(wait, INT_MAX)));
            if (got == before) break;  // the line stayed idle
        }

        if (ignoreNull_) got = std::remove(buf, buf + got, uint8_t{0}) - buf;
        return result;
    }

    IoResult writeAll(const uint8_t* data, size_t length) override {
        size_t done = 0;
        while (done < length) {
            const ssize_t n = ::write(fd_, data + done, length - done);
            if (n > 0) {
                done += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return IoResult::Failed;

            pollfd fds[2] = {{fd_, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return IoResult::Failed;
            }
            if (fds[1].revents != 0) return IoResult::Closed;
            if ((fds[0].revents & POLLOUT) == 0 &&
                (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                return IoResult::Failed;
            }
        }
        return IoResult::Ok;
    }

  private:
    // One wait of at most timeoutMs (-1: no limit) followed by one read. Ok with got unchanged
    // means the wait ran out.
    IoResult readSome(uint8_t* buf, size_t capacity, size_t& got, int timeoutMs) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        for (;;) {
            fds[0].revents = fds[1].revents = 0;
            const int ready = ::poll(fds, 2, timeoutMs);
            if (ready < 0) {
                if (errno == EINTR) continue;
                return IoResult::Failed;
            }
            if (ready == 0) return IoResult::Ok;
            if (fds[1].revents != 0) return IoResult::Closed;
            if ((fds[0].revents & POLLIN) != 0) {
                const ssize_t n = ::read(fd_, buf + got, capacity - got);
                if (n > 0) {
                    got += static_cast<size_t>(n);
                    return IoResult::Ok;
                }
                if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
                    continue;
                }
                return IoResult::Failed;  // 0: the line hung up
            }
            if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return IoResult::Failed;
        }
    }

    int fd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::atomic<uint32_t> readInterval_{100};
    std::atomic<uint32_t> readMultiplier_{0};
    std::atomic<uint32_t> readConstant_{0};
    std::atomic<bool> ignoreNull_{false};
};

}  // namespace

std::unique_ptr<PortBackend> makeSerialBackend() {
    return std::make_unique<PosixPort>();
}

}  // namespace serial
