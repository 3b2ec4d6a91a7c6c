#include "hart/frame.h"

namespace hart {

std::array<std::uint8_t, 5> DeviceIdentity::longAddress(std::uint8_t masterBit) const {
    // Only the low six bits of the manufacturer code fit beside the master and burst bits.
    return {static_cast<std::uint8_t>(masterBit | (manufacturer & 0x3F)), deviceType, deviceId[0],
            deviceId[1], deviceId[2]};
}

std::uint32_t DeviceIdentity::deviceIdNumber() const {
    return (std::uint32_t{deviceId[0]} << 16) | (std::uint32_t{deviceId[1]} << 8) | deviceId[2];
}

void Frame::push(std::uint8_t b) {
    if (size_ < kCapacity) buf_[size_++] = b;
}

void Frame::append(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) push(b);
}

void Frame::appendPreambles(int count) {
    for (int i = 0; i < count; ++i) push(0xFF);
}

void Frame::appendCheckByte() {
    push(checkByte(bytes()));
}

std::uint8_t checkByte(std::span<const std::uint8_t> bytes) {
    std::uint8_t x = 0;
    for (std::uint8_t b : bytes) x ^= b;
    return x;
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0x0F];
        text += ' ';
    }
    return text;
}

Frame shortFrame(std::uint8_t masterBit, std::uint8_t pollingAddress, int preambles) {
    Frame f;
    f.appendPreambles(preambles);
    f.push(kShortDelimiter);
    f.push(static_cast<std::uint8_t>(masterBit | pollingAddress));
    f.push(0x00);  // command 0
    f.push(0x00);  // no data
    f.appendCheckByte();
    return f;
}

namespace {

Frame addressedFrame(std::span<const std::uint8_t, 5> address, int command,
                     std::span<const std::uint8_t> data) {
    const bool expanded = isExpanded(command);
    const std::size_t room = expanded ? kMaxLongData - 2 : kMaxLongData;
    if (data.size() > room) data = data.first(room);
    Frame f;
    f.appendPreambles(kLongPreambles);
    f.push(kLongDelimiter);
    f.append(address);
    f.push(static_cast<std::uint8_t>(expanded ? kExpandedCommand : command));
    f.push(static_cast<std::uint8_t>(data.size() + (expanded ? 2 : 0)));
    if (expanded) {
        f.push(static_cast<std::uint8_t>(command >> 8));
        f.push(static_cast<std::uint8_t>(command));
    }
    f.append(data);
    f.appendCheckByte();
    return f;
}

}  // namespace

Frame longFrame(std::uint8_t masterBit, const DeviceIdentity& identity, int command,
                std::span<const std::uint8_t> data) {
    return addressedFrame(identity.longAddress(masterBit), command, data);
}

Frame broadcastFrame(std::uint8_t masterBit, int command, std::span<const std::uint8_t> data) {
    const std::array<std::uint8_t, 5> broadcast{masterBit, 0, 0, 0, 0};
    return addressedFrame(broadcast, command, data);
}

Frame rawFrame(std::span<const std::uint8_t> body, int preambles) {
    Frame f;
    f.appendPreambles(preambles);
    f.append(body);
    f.appendCheckByte();
    return f;
}

}  // namespace hart
