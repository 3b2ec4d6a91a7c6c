// Request frames of a HART master: short frame (command 0 by polling address),
// long frame (long address from the device identity), check byte and hex text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace hart {

inline constexpr std::uint8_t kPrimaryMaster = 0x80;
inline constexpr std::uint8_t kSecondaryMaster = 0x00;

inline constexpr std::uint8_t kShortDelimiter = 0x02;
inline constexpr std::uint8_t kLongDelimiter = 0x82;
inline constexpr std::uint8_t kShortReplyDelimiter = 0x06;
inline constexpr std::uint8_t kLongReplyDelimiter = 0x86;

inline constexpr int kShortPreambles = 6;
inline constexpr int kLongPreambles = 8;

// Identity captured from the last command 0 reply; every long frame is addressed with it.
struct DeviceIdentity {
    std::uint8_t manufacturer = 0;
    std::uint8_t deviceType = 0;
    std::array<std::uint8_t, 3> deviceId{};  // most significant first
    std::uint8_t polledAddress = 0;

    std::array<std::uint8_t, 5> longAddress(std::uint8_t masterBit) const;
    std::uint32_t deviceIdNumber() const;
    // The same instrument whatever its polling address: manufacturer, type and identifier.
    bool sameInstrument(const DeviceIdentity& other) const {
        return manufacturer == other.manufacturer && deviceType == other.deviceType &&
               deviceId == other.deviceId;
    }
};

// The request buffer: one frame, rebuilt from index 0 by each request.
class Frame {
  public:
    // Holds the longest frame built (17 + 24 data bytes) with room to spare.
    static constexpr std::size_t kCapacity = 64;

    void clear() { size_ = 0; }
    // Bytes beyond the capacity are dropped; builders never reach it.
    void push(std::uint8_t b);
    void append(std::span<const std::uint8_t> bytes);
    void appendPreambles(int count);
    // Appends the XOR of every byte so far.
    void appendCheckByte();

    const std::uint8_t* data() const { return buf_.data(); }
    std::size_t size() const { return size_; }
    std::span<const std::uint8_t> bytes() const { return {buf_.data(), size_}; }
    std::uint8_t operator[](std::size_t i) const { return buf_[i]; }

  private:
    std::array<std::uint8_t, kCapacity> buf_{};
    std::size_t size_ = 0;
};

// Most data bytes a long frame carries here: a 32-character long tag behind an expanded
// command's two bytes.
inline constexpr std::size_t kMaxLongData = 34;

// Commands above 255 travel as command 31 with their 16-bit number as the first two data
// bytes, in the request and in its reply alike.
inline constexpr int kExpandedCommand = 31;
constexpr bool isExpanded(int command) {
    return command > 255;
}

std::uint8_t checkByte(std::span<const std::uint8_t> bytes);

// Each byte as two upper-case hex digits and a space; the text ends with a space.
std::string hexText(std::span<const std::uint8_t> bytes);

// Command 0 by polling address: preambles (6, or 8 for the serial-number read), 0x02,
// master bit | address, command 0, byte count 0, check byte.
Frame shortFrame(std::uint8_t masterBit, std::uint8_t pollingAddress,
                 int preambles = kShortPreambles);

// 8 preambles, 0x82, 5-byte long address, command, byte count, data, check byte; an
// expanded command goes as 31 with its number in front of the data. Data past kMaxLongData
// is not sent.
Frame longFrame(std::uint8_t masterBit, const DeviceIdentity& identity, int command,
                std::span<const std::uint8_t> data = {});
// The same to the broadcast address 0 (commands 11 and 21 find an instrument by its tag).
Frame broadcastFrame(std::uint8_t masterBit, int command, std::span<const std::uint8_t> data);

// Preambles followed by the given bytes and their check byte (the manual console).
Frame rawFrame(std::span<const std::uint8_t> body, int preambles = kShortPreambles);

}  // namespace hart
