#include "link/tcomm.h"

#include <system_error>

#include "link/port_backend.h"

namespace serial {

namespace {

enum class Failure {
    AlreadyOpen,
    CannotOpen,
    NotComm,
    BufferSetup,
    EventCreate,
    ReadThread,
    WriteThread,
};

struct FailureText {
    Failure failure;
    const char* text;
};

constexpr FailureText kFailureTexts[] = {
    {Failure::AlreadyOpen, "This serial port already opened"},
    {Failure::CannotOpen, "Error opening serial port"},
    {Failure::NotComm, "File handle is not a comm handle "},
    {Failure::BufferSetup, "Cannot setup comm buffer"},
    {Failure::EventCreate, "Unable to create event"},
    {Failure::ReadThread, "Unable to create read thread"},
    {Failure::WriteThread, "Unable to create write thread"},
};

[[noreturn]] void fail(Failure failure, int osError = 0) {
    for (const auto& entry : kFailureTexts) {
        if (entry.failure == failure) throw ECommsError(entry.text, osError);
    }
    throw ECommsError("Error opening serial port", osError);
}

}  // namespace

TComm::TComm() : port_(makePortBackend()) {}

TComm::TComm(std::unique_ptr<PortBackend> port) : port_(std::move(port)) {}

TComm::~TComm() {
    Close();
}

std::string TComm::lastError() const {
    return port_->lastError();
}

std::uint64_t TComm::errorCount() const {
    return port_->errorCount();
}

void TComm::applyLineSettings() {
    port_->applyLineSettings(line_);
}

void TComm::applyTimeouts() {
    port_->applyTimeouts(timeouts_);
}

void TComm::Open() {
    if (open_) fail(Failure::AlreadyOpen);

    const OpenStatus status = port_->open(commName_);
    switch (status.result) {
        case OpenResult::Ok:
            break;
        case OpenResult::CannotOpen:
            fail(Failure::CannotOpen, status.osError);
        case OpenResult::NotComm:
            fail(Failure::NotComm, status.osError);
        case OpenResult::BufferSetup:
            fail(Failure::BufferSetup, status.osError);
    }

    port_->purge(PurgeWhat::Both);
    sendDataEmpty_ = true;
    applyTimeouts();
    applyLineSettings();

    if (!port_->createCloseSignal()) {
        port_->close();
        fail(Failure::EventCreate);
    }

    {
        std::lock_guard lock(queueMutex_);
        queue_.clear();
        closing_ = false;
    }

    try {
        reader_ = std::thread(&TComm::readerLoop, this);
    } catch (const std::system_error&) {
        port_->close();
        fail(Failure::ReadThread);
    }

    writerRunning_ = true;
    try {
        writer_ = std::thread(&TComm::writerLoop, this);
    } catch (const std::system_error&) {
        writerRunning_ = false;
        stopReader();
        port_->close();
        fail(Failure::WriteThread);
    }

    open_ = true;
}

void TComm::stopReader() {
    {
        std::lock_guard lock(queueMutex_);
        closing_ = true;
    }
    port_->signalClose();
    queueCv_.notify_all();
    port_->purge(PurgeWhat::Receive);
    // Both workers always watch the close signal, so joining cannot hang the way an
    // unresponsive driver could on other systems; no forced termination is needed.
    if (reader_.joinable()) reader_.join();
}

void TComm::stopWriter() {
    {
        std::lock_guard lock(queueMutex_);
        closing_ = true;
    }
    port_->signalClose();
    queueCv_.notify_all();
    port_->purge(PurgeWhat::Transmit);
    sendDataEmpty_ = true;
    if (writer_.joinable()) writer_.join();
}

void TComm::Close() {
    if (!open_) return;
    stopReader();
    stopWriter();
    port_->close();
    {
        std::lock_guard lock(queueMutex_);
        queue_.clear();
    }
    open_ = false;
}

bool TComm::WriteData(const uint8_t* data, uint16_t length) {
    // A writer that ended on a failure writes nothing more, so the frame cannot be queued.
    if (!open_ || !writerRunning_ || length == 0 || data == nullptr) return false;
    {
        std::lock_guard lock(queueMutex_);
        if (closing_) return false;
        queue_.emplace_back(data, data + length);
        sendDataEmpty_ = false;
    }
    queueCv_.notify_one();
    return true;
}

void TComm::post(Notice::Kind kind, std::vector<uint8_t> data, uint32_t value) {
    if (NoticeSink* sink = sink_.load()) sink->post(Notice{kind, std::move(data), value});
}

void TComm::readerLoop() {
    std::vector<uint8_t> buf(kReadBufferSize);
    for (;;) {
        size_t got = 0;
        const IoResult result = port_->readChunk(buf.data(), buf.size(), got);
        if (result == IoResult::Closed) break;
        // Bytes that came in before a failure are still delivered.
        if (got > 0) post(Notice::Data, std::vector<uint8_t>(buf.begin(), buf.begin() + got));
        if (result == IoResult::Failed) {
            post(Notice::Hangup);
            break;
        }
    }
    port_->purge(PurgeWhat::Receive);
}

void TComm::writerLoop() {
    bool wroteSinceEmpty = true;  // a fresh writer reports its empty queue once
    for (;;) {
        std::vector<uint8_t> frame;
        {
            std::unique_lock lock(queueMutex_);
            if (queue_.empty() && !closing_) {
                sendDataEmpty_ = true;
                if (wroteSinceEmpty) {
                    wroteSinceEmpty = false;
                    post(Notice::SendEmpty);
                }
                queueCv_.wait(lock, [this] { return closing_ || !queue_.empty(); });
            }
            if (closing_) break;
            frame = std::move(queue_.front());
            queue_.pop_front();
        }
        const IoResult result = port_->writeAll(frame.data(), frame.size());
        if (result == IoResult::Closed) break;
        if (result == IoResult::Failed) {
            writerRunning_ = false;  // before the notice, so its receiver sees writes refused
            post(Notice::Hangup);
            break;
        }
        wroteSinceEmpty = true;
    }
    writerRunning_ = false;
    port_->purge(PurgeWhat::Transmit);
    sendDataEmpty_ = true;
}

void TComm::dispatch(const Notice& notice) {
    switch (notice.kind) {
        case Notice::Data:
            if (OnReceiveData && !notice.data.empty()) {
                OnReceiveData(*this, notice.data.data(), static_cast<uint16_t>(notice.data.size()));
            }
            break;
        case Notice::Error:
            if (OnReceiveError) OnReceiveError(*this, notice.value);
            break;
        case Notice::Hangup:
            if (OnRequestHangup) OnRequestHangup(*this);
            break;
        case Notice::Modem:
            if (OnModemStateChange) OnModemStateChange(*this, notice.value);
            break;
        case Notice::SendEmpty:
            if (OnSendDataEmpty) OnSendDataEmpty(*this);
            break;
    }
}

void useHartLine(TComm& comm) {
    comm.setBaudRate(1200);
    comm.setByteSize(ByteSize::_8);
    comm.setParity(Parity::Odd);
    comm.setStopBits(StopBits::_1);
    comm.setOutxXonXoffFlow(false);
    comm.setInxXonXoffFlow(false);
}

}  // namespace serial
