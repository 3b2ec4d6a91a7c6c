// Serial port on Windows: overlapped ReadFile and WriteFile, each worker waiting on its own
// event and the close event at once, so both sleep in the system until there is something to do.
// Reads rest on the port's interval timeout alone, not on WaitCommEvent: that is what ends a
// chunk, and some drivers (and wine) never complete a comm-event wait.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>

#include "hart/utf8_path.h"
#include "link/port_backend.h"

namespace serial {

namespace {

constexpr DWORD kQueueSize = 4096;
constexpr uint32_t kNoWait = 0xFFFFFFFF;

// Why an open failed, as the errno the window and hart-cli explain. A port another program
// holds is refused as access denied by Windows' serial drivers (wine says sharing violation).
int errnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_UNIT:
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_DEVICE_REMOVED:
        case ERROR_FILENAME_EXCED_RANGE:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_BUSY:
            return EBUSY;
        case ERROR_PRIVILEGE_NOT_HELD:
        case ERROR_INVALID_ACCESS:
            return EACCES;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
        case ERROR_NO_SYSTEM_RESOURCES:
            return ENOMEM;
        default:
            return EIO;
    }
}

HANDLE closeQuietly(HANDLE h) {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    return nullptr;
}

class Win32Port final : public PortBackend {
  public:
    ~Win32Port() override { close(); }

    OpenStatus open(const std::string& name) override {
        const HANDLE h = ::CreateFileW(hart::utf8Path(commDevicePath(name)).c_str(),
                                       GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OVERLAPPED, nullptr);
        if (h == INVALID_HANDLE_VALUE) return {OpenResult::CannotOpen, errnoOf(::GetLastError())};
        // A character device that is no serial port (NUL, CON) has no line state.
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (::GetFileType(h) != FILE_TYPE_CHAR || !::GetCommState(h, &dcb)) {
            closeQuietly(h);
            return {OpenResult::NotComm, 0};
        }
        if (!::SetupComm(h, kQueueSize, kQueueSize)) {
            const DWORD error = ::GetLastError();
            closeQuietly(h);
            return {OpenResult::BufferSetup, errnoOf(error)};
        }
        port_ = h;
        return {};
    }

    void close() override {
        port_ = closeQuietly(port_);
        closeEvent_ = closeQuietly(closeEvent_);
        readEvent_ = closeQuietly(readEvent_);
        writeEvent_ = closeQuietly(writeEvent_);
    }

    bool createCloseSignal() override {
        // Each worker's overlapped calls get their own event; all three live as long as the
        // close signal.
        closeEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        readEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        writeEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        return closeEvent_ != nullptr && readEvent_ != nullptr && writeEvent_ != nullptr;
    }

    void signalClose() override {
        if (closeEvent_ != nullptr) ::SetEvent(closeEvent_);
    }

    void purge(PurgeWhat what) override {
        if (port_ == nullptr) return;
        static constexpr DWORD kFlags[] = {
            PURGE_RXABORT | PURGE_RXCLEAR,
            PURGE_TXABORT | PURGE_TXCLEAR,
            PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR,
        };
        (void)::PurgeComm(port_, kFlags[static_cast<int>(what)]);
    }

    void applyLineSettings(const LineSettings& s) override {
        if (port_ == nullptr) return;
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(port_, &dcb)) return;
        const BYTE portParity = dcb.Parity;

        static constexpr DWORD kDtr[] = {DTR_CONTROL_ENABLE, DTR_CONTROL_DISABLE,
                                         DTR_CONTROL_HANDSHAKE};
        static constexpr DWORD kRts[] = {RTS_CONTROL_ENABLE, RTS_CONTROL_DISABLE,
                                         RTS_CONTROL_HANDSHAKE, RTS_CONTROL_TOGGLE};
        dcb.BaudRate = s.baudRate;
        dcb.fBinary = TRUE;
        dcb.fParity = s.parityCheck;
        dcb.fOutxCtsFlow = s.outxCtsFlow;
        dcb.fOutxDsrFlow = s.outxDsrFlow;
        dcb.fDtrControl = kDtr[static_cast<int>(s.dtrControl)];
        dcb.fDsrSensitivity = s.dsrSensitivity;
        dcb.fTXContinueOnXoff = s.txContinueOnXoff;
        dcb.fOutX = s.outxXonXoffFlow;
        dcb.fInX = s.inxXonXoffFlow;
        dcb.fErrorChar = s.replaceWhenParityError;
        dcb.fNull = s.ignoreNullChar;
        dcb.fRtsControl = kRts[static_cast<int>(s.rtsControl)];
        // A line error must not stop the reader: with abort-on-error every read fails until the
        // error is cleared, which would look like a pulled port.
        dcb.fAbortOnError = FALSE;
        dcb.XonLim = s.xonLimit;
        dcb.XoffLim = s.xoffLimit;
        dcb.ByteSize = static_cast<BYTE>(static_cast<int>(s.byteSize) + 5);
        dcb.Parity = static_cast<BYTE>(s.parity);      // same order: none, odd, even, mark, space
        dcb.StopBits = static_cast<BYTE>(s.stopBits);  // same order: 1, 1.5, 2
        dcb.XonChar = static_cast<char>(s.xonChar);
        dcb.XoffChar = static_cast<char>(s.xoffChar);
        dcb.ErrorChar = static_cast<char>(s.replacedChar);
        if (::SetCommState(port_, &dcb)) return;
        // A port that refuses the parity (a virtual one without it) must still take the rest.
        dcb.Parity = portParity;
        (void)::SetCommState(port_, &dcb);
    }

    void applyTimeouts(const Timeouts& t) override {
        if (port_ == nullptr) return;
        // A read waits for its first byte without limit here as on POSIX. The port's own
        // "return at once" (interval MAXDWORD, no totals) would make the reader spin, so it
        // becomes the shortest interval: the bytes as they come.
        COMMTIMEOUTS c{t.readInterval, t.readMultiplier, t.readConstant, t.writeMultiplier,
                       t.writeConstant};
        if (t.readInterval == kNoWait && t.readMultiplier == 0 && t.readConstant == 0)
            c.ReadIntervalTimeout = 1;
        (void)::SetCommTimeouts(port_, &c);
    }

    IoResult readChunk(uint8_t* buf, size_t capacity, size_t& got) override {
        got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(capacity, MAXDWORD));
        for (;;) {
            DWORD n = 0;
            const IoResult result = transfer(readEvent_, n, [&](OVERLAPPED* ov) {
                return ::ReadFile(port_, buf, want, nullptr, ov);
            });
            got = n;
            if (result != IoResult::Ok || n > 0) return result;
            // Timed out with nothing (read totals set): keep waiting for the first byte, as
            // long as the port is still there.
            DWORD errors = 0;
            if (!::ClearCommError(port_, &errors, nullptr)) return ended();
        }
    }

    IoResult writeAll(const uint8_t* data, size_t length) override {
        size_t done = 0;
        while (done < length) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(length - done, MAXDWORD));
            DWORD n = 0;
            const IoResult result = transfer(writeEvent_, n, [&](OVERLAPPED* ov) {
                return ::WriteFile(port_, data + done, chunk, nullptr, ov);
            });
            if (result != IoResult::Ok) return result;
            done += n;  // a write timeout leaves the rest for the next round
        }
        return IoResult::Ok;
    }

  private:
    bool closing() const { return ::WaitForSingleObject(closeEvent_, 0) == WAIT_OBJECT_0; }

    // The close signal explains an abort or a handle gone; any other failure is a port gone
    // (broken pipe, not ready, device removed, access denied: a USB adapter pulled out).
    IoResult ended() const { return closing() ? IoResult::Closed : IoResult::Failed; }

    // One overlapped call waited for together with the close signal. n: the bytes moved, also
    // when the port's timeout ended the call (Windows then succeeds short, wine reports
    // ERROR_TIMEOUT).
    template <class Start>
    IoResult transfer(HANDLE event, DWORD& n, Start start) {
        OVERLAPPED ov{};
        ov.hEvent = event;
        if (!start(&ov) && ::GetLastError() != ERROR_IO_PENDING) return ended();
        const HANDLE waits[] = {closeEvent_, event};
        const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woke != WAIT_OBJECT_0 + 1) {
            // The buffer and the OVERLAPPED must outlive the call: cancel it and wait for it.
            ::CancelIoEx(port_, &ov);
            ::GetOverlappedResult(port_, &ov, &n, TRUE);
            n = 0;
            return woke == WAIT_OBJECT_0 ? IoResult::Closed : IoResult::Failed;
        }
        if (::GetOverlappedResult(port_, &ov, &n, FALSE)) return IoResult::Ok;
        const DWORD error = ::GetLastError();
        if (error == ERROR_TIMEOUT || error == ERROR_SEM_TIMEOUT) return IoResult::Ok;
        return ended();
    }

    HANDLE port_ = nullptr;
    HANDLE closeEvent_ = nullptr;
    HANDLE readEvent_ = nullptr;   // the reader's
    HANDLE writeEvent_ = nullptr;  // the writer's
};

}  // namespace

std::unique_ptr<PortBackend> makeSerialBackend() {
    return std::make_unique<Win32Port>();
}

}  // namespace serial
