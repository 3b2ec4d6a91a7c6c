#include "sim/loop.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "hart/frame.h"

namespace hartsim {

namespace {

// Line noise: no 0xFF, so it never looks like a preamble.
constexpr std::uint8_t kGarbage[] = {0x00, 0x3C, 0xA5, 0x5A, 0x13};

// Preambles, delimiter, address, command, byte count, response code, device status, data,
// check byte.
std::vector<std::uint8_t> frameOf(int preambles, std::uint8_t delimiter,
                                  std::span<const std::uint8_t> address, std::uint8_t command,
                                  const Reply& reply) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(preambles), 0xFF);
    const std::size_t delimiterAt = out.size();
    out.push_back(delimiter);
    out.insert(out.end(), address.begin(), address.end());
    out.push_back(command);
    out.push_back(static_cast<std::uint8_t>(reply.data.size() + 2));
    out.push_back(reply.responseCode);
    out.push_back(reply.deviceStatus);
    out.insert(out.end(), reply.data.begin(), reply.data.end());
    out.push_back(hart::checkByte(std::span<const std::uint8_t>(out).subspan(delimiterAt)));
    return out;
}

std::uint8_t burstBit(const Device& d) {
    return d.settings.burstMode ? kBurstBit : 0;
}

// HART's not-a-number, 7F A0 00 00.
constexpr std::uint8_t kNan[] = {0x7F, 0xA0, 0x00, 0x00};

struct FloatsOf {
    std::uint8_t command;
    std::vector<std::size_t> offsets;  // in the reply data
};
// The dynamic variables of commands 1 and 3, current and percent of 2, damping of 15.
const std::vector<FloatsOf> kNanFloats = {
    {1, {1}},
    {2, {0, 4}},
    {3, {5, 10, 15, 20}},
    {15, {11}},
};

// A status byte as typed: 0x.. in hex, else decimal.
std::optional<std::uint8_t> statusBits(const std::string& text) {
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const char* begin = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    const unsigned long value = std::strtoul(begin, &end, hex ? 16 : 10);
    if (end == begin || *end != '\0' || *begin == '-' || *begin == '+' || value > 0xFF) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

std::vector<std::string> words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

}  // namespace

void applyReplyFaults(const Faults& faults, std::uint8_t command, Reply& reply) {
    reply.deviceStatus |= faults.status;
    if (!faults.nan) return;
    for (const FloatsOf& f : kNanFloats) {
        if (f.command != command) continue;
        for (std::size_t at : f.offsets) {
            if (at + 4 <= reply.data.size())
                std::copy(std::begin(kNan), std::end(kNan),
                          reply.data.begin() + static_cast<std::ptrdiff_t>(at));
        }
    }
}

bool addressedTo(const Device& device, const Request& request) {
    if (!request.isLong) return (request.address[0] & 0x3F) == device.identity.pollingAddress;
    const std::array<std::uint8_t, 5> own = longAddress(device);
    return (request.address[0] & 0x3F) == own[0] &&
           std::equal(own.begin() + 1, own.end(), request.address.begin() + 1);
}

std::vector<std::uint8_t> replyFrame(const Device& device, const Request& request,
                                     const Reply& reply, int preambles) {
    std::array<std::uint8_t, 5> address = request.address;
    address[0] = request.masterBit | burstBit(device) | (request.address[0] & 0x3F);
    return frameOf(preambles,
                   request.isLong ? hart::kLongReplyDelimiter : hart::kShortReplyDelimiter,
                   std::span(address).first(request.isLong ? 5 : 1), request.command, reply);
}

std::vector<std::uint8_t> burstFrame(const Device& device, std::uint8_t command,
                                     std::uint8_t masterBit, const Reply& reply, int preambles) {
    std::array<std::uint8_t, 5> address = longAddress(device);
    address[0] |= masterBit | kBurstBit;
    return frameOf(preambles, kBurstDelimiter, address, command, reply);
}

std::vector<std::uint8_t> Transmission::allBytes() const {
    std::vector<std::uint8_t> out;
    for (const Piece& p : pieces) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
    return out;
}

std::string logLine(std::string_view prefix, std::span<const std::uint8_t> bytes) {
    return std::string(prefix) + " " + hart::hexText(bytes);
}

Loop::Loop(std::vector<Device> devices, int replyPreambles, Log log)
    : devices_(std::move(devices)),
      nextBurst_(devices_.size(), 0.0),
      burstMaster_(devices_.size(), hart::kPrimaryMaster),
      preambles_(replyPreambles),
      log_(std::move(log)) {}

void Loop::receive(std::span<const std::uint8_t> bytes, double now) {
    if (bytes.empty()) return;
    lastReceive_ = now;
    for (const Incoming& in : parser_.feed(bytes)) answer(in, now);
}

void Loop::receiveWhole(std::span<const std::uint8_t> frame, double now) {
    receive(frame, now);
    for (const Incoming& in : parser_.idle()) answer(in, now);
}

void Loop::answer(const Incoming& in, double now) {
    switch (in.kind) {
        case Incoming::Kind::Noise:
            log_(logLine("NOISE", in.bytes));
            return;
        case Incoming::Kind::BadCheck:
            log_(logLine("RX", in.bytes));
            log_("# ignored: wrong check byte");
            return;
        case Incoming::Kind::Frame:
            log_(logLine("RX", in.bytes));
            break;
    }
    auto device = std::find_if(devices_.begin(), devices_.end(),
                               [&](const Device& d) { return addressedTo(d, in.request); });
    if (device == devices_.end() && !faults_.noBroadcast)
        device = std::find_if(devices_.begin(), devices_.end(),
                              [&](const Device& d) { return answersBroadcast(d, in.request); });
    if (device == devices_.end()) {
        log_("# ignored: no device at this address");
        return;
    }
    if (device->identity.universalRevision >= 7 && !in.request.isLong && in.request.command != 0) {
        log_("# ignored: a HART 7 device answers only command 0 in a short frame");
        return;
    }
    if (faults_.silent) {
        log_("# silent: no reply");
        return;
    }
    device->now = now;
    Reply reply;
    if (!delayed(in.request, reply)) {
        // Commands 11 and 21 answer with the identity command 0 gives.
        const bool byTag = answersBroadcast(*device, in.request);
        Request asked = in.request;
        if (byTag) asked.command = 0;
        reply = handle(*device, asked);
    }
    applyReplyFaults(faults_, in.request.command, reply);
    for (const std::string& note : device->notes) log_(note);
    device->notes.clear();
    std::vector<std::uint8_t> frame = replyFrame(*device, in.request, reply, preambles_);
    if (faults_.crowd) crowd(frame, now);
    send(std::move(frame), faults_.delayS);
    // Bursts keep out of the way of the conversation with a master.
    for (double& next : nextBurst_) {
        if (next != 0.0) next = std::max(next, now + kBurstIntervalS);
    }
}

bool Loop::delayed(const Request& r, Reply& reply) {
    if (!faults_.delayedResponse) return false;
    std::vector<std::uint8_t> key{r.command};
    key.insert(key.end(), r.address.begin() + 1, r.address.end());
    key.insert(key.end(), r.data.begin(), r.data.end());
    int& times = delayed_[key];
    if (times == 2) {
        delayed_.erase(key);
        return false;
    }
    reply = {static_cast<std::uint8_t>(times == 0 ? 33 : 34), 0, {}};
    ++times;
    return true;
}

void Loop::send(std::vector<std::uint8_t> frame, double extraDelayS) {
    if (faults_.badCheck) frame.back() = static_cast<std::uint8_t>(~frame.back());
    if (faults_.garbage) frame.insert(frame.begin(), std::begin(kGarbage), std::end(kGarbage));
    Transmission t;
    if (faults_.split) {
        const auto half = frame.begin() + static_cast<std::ptrdiff_t>(frame.size() / 2);
        t.pieces.push_back({extraDelayS, {frame.begin(), half}});
        t.pieces.push_back({kSplitGapS, {half, frame.end()}});
    } else {
        t.pieces.push_back({extraDelayS, std::move(frame)});
    }
    outbox_.push_back(std::move(t));
}

void Loop::tick(double now, bool lineFree) {
    if (parser_.holdsBytes() && now - lastReceive_ >= kAbandonFrameS) {
        for (const Incoming& in : parser_.idle()) answer(in, now);
    }
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        Device& d = devices_[i];
        double& next = nextBurst_[i];
        if (!d.settings.burstMode) {
            next = 0.0;
        } else if (next == 0.0) {
            next = now + kBurstIntervalS;
        } else if (now >= next && lineFree) {
            next = now + kBurstIntervalS;
            if (!faults_.silent) send(burstOf(i, now), 0.0);
        }
    }
}

std::vector<std::uint8_t> Loop::burstOf(std::size_t i, double now) {
    Device& d = devices_[i];
    Request r;
    r.isLong = true;
    r.masterBit = burstMaster_[i];
    r.address = longAddress(d);
    const auto [command, data] = nextBurst(d);
    r.command = static_cast<std::uint8_t>(command);
    r.data = data;
    d.now = now;
    Reply reply = handle(d, r);
    applyReplyFaults(faults_, r.command, reply);
    // Alternating the master bit gives both masters their turn between bursts.
    burstMaster_[i] ^= hart::kPrimaryMaster;
    return burstFrame(d, r.command, r.masterBit, reply, preambles_);
}

void Loop::crowd(std::vector<std::uint8_t>& frame, double now) {
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        if (!devices_[i].settings.burstMode) continue;
        const std::vector<std::uint8_t> burst = burstOf(i, now);
        frame.insert(crowdBefore_ ? frame.begin() : frame.end(), burst.begin(), burst.end());
        crowdBefore_ = !crowdBefore_;
        return;
    }
}

namespace {

std::optional<double> finite(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || *end != '\0' || !std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

std::string Loop::command(std::string_view line) {
    const std::vector<std::string> w = words(line);
    const auto refuse = [&] { return "ERR unknown command: " + std::string(line); };
    if (w.empty()) return refuse();
    std::string normal = w[0];
    for (std::size_t i = 1; i < w.size(); ++i) normal += " " + w[i];
    if (w.size() == 1 && w[0] == "quit") {
        quit_ = true;
        return "OK quit";
    }
    if (w.size() == 1 && w[0] == "meter" && !devices_.empty()) {
        // A reference meter in series with the loop: what the output at address 0 drives.
        const auto d = std::find_if(devices_.begin(), devices_.end(),
                                    [](const Device& x) { return !isMultidrop(x); });
        char buf[48];
        std::snprintf(buf, sizeof buf, "OK meter %.6f",
                      static_cast<double>(loopCurrent(d == devices_.end() ? devices_[0] : *d)));
        return buf;
    }
    if (w.size() == 3 && w[0] == "dac-error") {
        // The output drives 4 + (I - 4) * GAIN + OFFSET for a commanded I: a straight line
        // that the 4 mA and 20 mA trims take off again.
        const auto gain = finite(w[1]);
        const auto offset = finite(w[2]);
        if (!gain || !offset) return refuse();
        for (Device& d : devices_) d.dacError = {*offset, *offset + 16.0 * (*gain - 1.0)};
        return "OK " + normal;
    }
    if (w.size() != 2) return refuse();
    if (w[0] == "delay") {
        const char* begin = w[1].c_str();
        char* end = nullptr;
        const double seconds = std::strtod(begin, &end);
        if (end == begin || *end != '\0' || !std::isfinite(seconds) || seconds < 0.0) {
            return refuse();
        }
        faults_.delayS = seconds;
        return "OK " + normal;
    }
    if (w[0] == "grant") {
        const char* begin = w[1].c_str();
        char* end = nullptr;
        const unsigned long ms = std::strtoul(begin, &end, 10);
        if (end == begin || *end != '\0' || *begin == '-' || ms > 0xFFFFFFFFul) return refuse();
        faults_.grantMs = static_cast<std::uint32_t>(ms);
        return "OK " + normal;
    }
    if (w[0] == "status") {
        const auto bits = statusBits(w[1]);
        if (!bits) return refuse();
        faults_.status = *bits;
        return "OK " + normal;
    }
    if (w[1] != "on" && w[1] != "off") return refuse();
    const bool on = w[1] == "on";
    if (w[0] == "silent") {
        faults_.silent = on;
    } else if (w[0] == "badcheck") {
        faults_.badCheck = on;
    } else if (w[0] == "split") {
        faults_.split = on;
    } else if (w[0] == "garbage") {
        faults_.garbage = on;
    } else if (w[0] == "protect") {
        for (Device& d : devices_) d.writeProtect = on;
    } else if (w[0] == "busy") {
        for (Device& d : devices_) d.busy = on;
    } else if (w[0] == "nan") {
        faults_.nan = on;
    } else if (w[0] == "drop") {
        faults_.drop = on;
    } else if (w[0] == "nak") {
        faults_.nak = on;
    } else if (w[0] == "crowd") {
        faults_.crowd = on;
    } else if (w[0] == "dr") {
        faults_.delayedResponse = on;
        delayed_.clear();
    } else if (w[0] == "broadcast") {
        faults_.noBroadcast = !on;
    } else if (w[0] == "fault") {
        for (Device& d : devices_) d.variableFault = on;
    } else {
        return refuse();
    }
    return "OK " + normal;
}

std::vector<Transmission> Loop::takeOutbox() {
    std::vector<Transmission> out;
    out.swap(outbox_);
    return out;
}

void Pacer::queue(const Transmission& t, double now) {
    const std::size_t before = writes_.size();
    double at = std::max(now, lineFreeAt_);
    for (std::size_t i = 0; i < t.pieces.size(); ++i) {
        const Transmission::Piece& piece = t.pieces[i];
        at += piece.pauseBeforeS;
        if (i == 0 && !fast_) at += kTurnaroundS;
        if (fast_) {
            writes_.push_back({at, piece.bytes, std::nullopt});
            continue;
        }
        for (std::uint8_t b : piece.bytes) {
            writes_.push_back({at, {b}, std::nullopt});
            at += kByteTimeS;
        }
    }
    lineFreeAt_ = at;
    if (writes_.size() > before) writes_.back().logLine = logLine("TX", t.allBytes());
}

std::vector<Pacer::Write> Pacer::takeDue(double now) {
    std::vector<Write> out;
    while (!writes_.empty() && writes_.front().at <= now) {
        out.push_back(std::move(writes_.front()));
        writes_.pop_front();
    }
    return out;
}

std::optional<double> Pacer::nextAt() const {
    if (writes_.empty()) return std::nullopt;
    return writes_.front().at;
}

}  // namespace hartsim
