// Cuts the byte stream from the master into request frames, whatever the read boundaries.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/device.h"

namespace hartsim {

struct Incoming {
    enum class Kind {
        Frame,     // a request with a good check byte
        BadCheck,  // a complete request whose check byte is wrong
        Noise,     // bytes that belong to no request
    };
    Kind kind = Kind::Noise;
    std::vector<std::uint8_t> bytes;  // as received, preambles included
    Request request;                  // Frame and BadCheck
};

class FrameParser {
  public:
    // At least this many 0xFF before the delimiter make a preamble.
    static constexpr std::size_t kMinPreambles = 2;

    // Adds received bytes; returns what they complete, in arrival order.
    std::vector<Incoming> feed(std::span<const std::uint8_t> bytes);
    // The line went quiet: a frame begun but not finished is dropped as noise, and noise
    // held back is reported.
    std::vector<Incoming> idle();
    bool holdsBytes() const { return !buffer_.empty() || !noise_.empty(); }

  private:
    void scan(std::vector<Incoming>& out);
    void addNoise(std::size_t count);
    void flushNoise(std::vector<Incoming>& out);

    std::vector<std::uint8_t> buffer_;  // unconsumed bytes
    std::vector<std::uint8_t> noise_;   // held back until a frame or the line's quiet
};

}  // namespace hartsim
