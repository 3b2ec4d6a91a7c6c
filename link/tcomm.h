#pragma once

// Serial port component: opens a named port with the configured line settings, writes queued
// frames from a writer thread and hands every received chunk from a reader thread back to the
// owner thread as a notice.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "link/comm_types.h"

namespace serial {

class PortBackend;

class ECommsError : public std::runtime_error {
  public:
    explicit ECommsError(const char* message, int osError = 0)
        : std::runtime_error(message), osError_(osError) {}
    // The system's error number (errno) behind the failure, 0 when there is none.
    int osError() const { return osError_; }

  private:
    int osError_;
};

// Something a worker thread reports. Plain values, so a notice that outlives its session is
// still safe to dispatch.
struct Notice {
    enum Kind { Data = 1025, Error, Hangup, Modem, SendEmpty } kind;
    std::vector<uint8_t> data;  // Data: the received chunk
    uint32_t value = 0;         // Error: line-error flags; Modem: 8 carrier detect, 4 ring
};

// Carries notices from the worker threads to the owner thread in the order posted. post() is
// called on worker threads and must not block for long; the owner later passes each notice to
// TComm::dispatch.
class NoticeSink {
  public:
    virtual ~NoticeSink() = default;
    virtual void post(Notice n) = 0;
};

class TComm {
  public:
    static constexpr size_t kReadBufferSize = 2048;

    TComm();
    // On another port implementation, e.g. one that stands in for the system in tests.
    explicit TComm(std::unique_ptr<PortBackend> port);
    // Closes an open port first: the workers must not outlive the component.
    ~TComm();
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;

    void Open();  // throws ECommsError
    void Close();
    bool WriteData(const uint8_t* data, uint16_t length);

    bool isOpen() const { return open_; }
    bool sendDataEmpty() const { return sendDataEmpty_.load(); }

    // Without a sink, notices are dropped. Set it before Open; it must outlive the open port.
    void setNoticeSink(NoticeSink* sink) { sink_.store(sink); }
    // Owner thread: calls the event matching the notice, if assigned.
    void dispatch(const Notice& notice);

    std::function<void(TComm&, const uint8_t*, uint16_t)> OnReceiveData;
    std::function<void(TComm&, uint32_t)> OnReceiveError;
    std::function<void(TComm&, uint32_t)> OnModemStateChange;
    std::function<void(TComm&)> OnRequestHangup;
    std::function<void(TComm&)> OnSendDataEmpty;

    // The port's own account of its last refusal or failure (a HART-IP device's error or NAK,
    // why a session ended), empty when it has none. Any thread.
    std::string lastError() const;
    // How many such accounts it gave so far, a repeated one counted again.
    std::uint64_t errorCount() const;

    const std::string& commName() const { return commName_; }
    void setCommName(std::string name) { commName_ = std::move(name); }

    uint32_t baudRate() const { return line_.baudRate; }
    void setBaudRate(uint32_t v) { setLine(&LineSettings::baudRate, v); }
    bool parityCheck() const { return line_.parityCheck; }
    void setParityCheck(bool v) { setLine(&LineSettings::parityCheck, v); }
    bool outxCtsFlow() const { return line_.outxCtsFlow; }
    void setOutxCtsFlow(bool v) { setLine(&LineSettings::outxCtsFlow, v); }
    bool outxDsrFlow() const { return line_.outxDsrFlow; }
    void setOutxDsrFlow(bool v) { setLine(&LineSettings::outxDsrFlow, v); }
    DtrControl dtrControl() const { return line_.dtrControl; }
    void setDtrControl(DtrControl v) { setLine(&LineSettings::dtrControl, v); }
    bool dsrSensitivity() const { return line_.dsrSensitivity; }
    void setDsrSensitivity(bool v) { setLine(&LineSettings::dsrSensitivity, v); }
    bool txContinueOnXoff() const { return line_.txContinueOnXoff; }
    void setTxContinueOnXoff(bool v) { setLine(&LineSettings::txContinueOnXoff, v); }
    bool outxXonXoffFlow() const { return line_.outxXonXoffFlow; }
    void setOutxXonXoffFlow(bool v) { setLine(&LineSettings::outxXonXoffFlow, v); }
    bool inxXonXoffFlow() const { return line_.inxXonXoffFlow; }
    void setInxXonXoffFlow(bool v) { setLine(&LineSettings::inxXonXoffFlow, v); }
    bool replaceWhenParityError() const { return line_.replaceWhenParityError; }
    void setReplaceWhenParityError(bool v) { setLine(&LineSettings::replaceWhenParityError, v); }
    bool ignoreNullChar() const { return line_.ignoreNullChar; }
    void setIgnoreNullChar(bool v) { setLine(&LineSettings::ignoreNullChar, v); }
    RtsControl rtsControl() const { return line_.rtsControl; }
    void setRtsControl(RtsControl v) { setLine(&LineSettings::rtsControl, v); }
    uint16_t xonLimit() const { return line_.xonLimit; }
    void setXonLimit(uint16_t v) { setLine(&LineSettings::xonLimit, v); }
    uint16_t xoffLimit() const { return line_.xoffLimit; }
    void setXoffLimit(uint16_t v) { setLine(&LineSettings::xoffLimit, v); }
    ByteSize byteSize() const { return line_.byteSize; }
    void setByteSize(ByteSize v) { setLine(&LineSettings::byteSize, v); }
    Parity parity() const { return line_.parity; }
    void setParity(Parity v) { setLine(&LineSettings::parity, v); }
    StopBits stopBits() const { return line_.stopBits; }
    void setStopBits(StopBits v) { setLine(&LineSettings::stopBits, v); }
    uint8_t xonChar() const { return line_.xonChar; }
    void setXonChar(uint8_t v) { setLine(&LineSettings::xonChar, v); }
    uint8_t xoffChar() const { return line_.xoffChar; }
    void setXoffChar(uint8_t v) { setLine(&LineSettings::xoffChar, v); }
    uint8_t replacedChar() const { return line_.replacedChar; }
    void setReplacedChar(uint8_t v) { setLine(&LineSettings::replacedChar, v); }

    uint32_t readIntervalTimeout() const { return timeouts_.readInterval; }
    void setReadIntervalTimeout(uint32_t v) { setTimeout(&Timeouts::readInterval, v); }
    uint32_t readTotalTimeoutMultiplier() const { return timeouts_.readMultiplier; }
    void setReadTotalTimeoutMultiplier(uint32_t v) { setTimeout(&Timeouts::readMultiplier, v); }
    uint32_t readTotalTimeoutConstant() const { return timeouts_.readConstant; }
    void setReadTotalTimeoutConstant(uint32_t v) { setTimeout(&Timeouts::readConstant, v); }
    uint32_t writeTotalTimeoutMultiplier() const { return timeouts_.writeMultiplier; }
    void setWriteTotalTimeoutMultiplier(uint32_t v) { setTimeout(&Timeouts::writeMultiplier, v); }
    uint32_t writeTotalTimeoutConstant() const { return timeouts_.writeConstant; }
    void setWriteTotalTimeoutConstant(uint32_t v) { setTimeout(&Timeouts::writeConstant, v); }

  private:
    template <class T>
    void setLine(T LineSettings::*field, T value) {
        if (line_.*field == value) return;
        line_.*field = value;
        if (open_) applyLineSettings();
    }
    void setTimeout(uint32_t Timeouts::*field, uint32_t value) {
        if (timeouts_.*field == value) return;
        timeouts_.*field = value;
        if (open_) applyTimeouts();
    }
    void applyLineSettings();
    void applyTimeouts();

    void post(Notice::Kind kind, std::vector<uint8_t> data = {}, uint32_t value = 0);
    void readerLoop();
    void writerLoop();
    void stopReader();
    void stopWriter();

    std::string commName_ = "COM2";
    LineSettings line_;
    Timeouts timeouts_;

    std::unique_ptr<PortBackend> port_;
    bool open_ = false;
    std::thread reader_;
    std::thread writer_;
    std::atomic<bool> writerRunning_{false};
    std::atomic<bool> sendDataEmpty_{true};
    std::atomic<NoticeSink*> sink_{nullptr};

    // Frames waiting for the writer; closing_ wakes it for good.
    std::mutex queueMutex_;
    std::condition_variable queueCv_;
    std::deque<std::vector<uint8_t>> queue_;
    bool closing_ = false;
};

// The HART line every master here uses: 1200 baud, 8 data bits, odd parity, 1 stop bit, no
// software flow control. Set before Open.
void useHartLine(TComm& comm);

}  // namespace serial
