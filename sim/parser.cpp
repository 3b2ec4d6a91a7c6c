#include "sim/parser.h"

#include <algorithm>
#include <optional>

#include "hart/wire.h"

namespace hartsim {

namespace {

// Index of the first request delimiter that follows enough preambles.
std::optional<std::size_t> findDelimiter(const std::vector<std::uint8_t>& buf) {
    for (std::size_t d = FrameParser::kMinPreambles; d < buf.size(); ++d) {
        if (hart::kindOf(buf[d]) == hart::FrameKind::Request && buf[d - 1] == 0xFF &&
            buf[d - 2] == 0xFF)
            return d;
    }
    return std::nullopt;
}

}  // namespace

void FrameParser::addNoise(std::size_t count) {
    noise_.insert(noise_.end(), buffer_.begin(), buffer_.begin() + count);
    buffer_.erase(buffer_.begin(), buffer_.begin() + count);
}

void FrameParser::flushNoise(std::vector<Incoming>& out) {
    if (noise_.empty()) return;
    Incoming in;
    in.kind = Incoming::Kind::Noise;
    in.bytes.swap(noise_);
    out.push_back(std::move(in));
}

void FrameParser::scan(std::vector<Incoming>& out) {
    for (;;) {
        const std::optional<std::size_t> found = findDelimiter(buffer_);
        if (!found) {
            // A trailing run of 0xFF may still turn out to be the next preamble.
            std::size_t keep = 0;
            while (keep < buffer_.size() && buffer_[buffer_.size() - 1 - keep] == 0xFF) ++keep;
            addNoise(buffer_.size() - keep);
            return;
        }
        std::size_t start = *found - 2;
        while (start > 0 && buffer_[start - 1] == 0xFF) --start;
        addNoise(start);

        const auto f = hart::frameAt(buffer_, *found - start);
        if (!f) return;  // the rest of it is still on its way

        Incoming in;
        const auto end = buffer_.begin() + static_cast<std::ptrdiff_t>(f->end);
        in.bytes.assign(buffer_.begin(), end);
        in.kind = f->checkOk ? Incoming::Kind::Frame : Incoming::Kind::BadCheck;
        Request& r = in.request;
        r.isLong = f->isLong;
        r.masterBit = f->address[0] & 0x80;
        std::copy(f->address.begin(), f->address.end(), r.address.begin());
        r.command = f->command;
        r.data.assign(f->data.begin(), f->data.end());
        buffer_.erase(buffer_.begin(), end);

        flushNoise(out);
        out.push_back(std::move(in));
    }
}

std::vector<Incoming> FrameParser::feed(std::span<const std::uint8_t> bytes) {
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    std::vector<Incoming> out;
    scan(out);
    return out;
}

std::vector<Incoming> FrameParser::idle() {
    std::vector<Incoming> out;
    scan(out);
    // What is left is an unfinished frame or a bare preamble run. Give up on its delimiter
    // and look again: a whole frame may have hidden in what was taken for its data.
    while (!buffer_.empty()) {
        const std::optional<std::size_t> found = findDelimiter(buffer_);
        addNoise(found ? *found + 1 : buffer_.size());
        scan(out);
    }
    flushNoise(out);
    return out;
}

}  // namespace hartsim
