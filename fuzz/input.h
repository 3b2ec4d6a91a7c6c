// Reads a fuzz input front to back; past its end every read gives zero, so any input is a
// whole case and hand-made seeds stay readable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace fuzz {

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    // Up to `count` bytes, fewer at the end.
    std::span<const std::uint8_t> bytes(std::size_t count) {
        const std::size_t n = count < size_ - pos_ ? count : size_ - pos_;
        const std::span<const std::uint8_t> out(data_ + pos_, empty() ? 0 : n);
        pos_ += out.size();
        return out;
    }
    std::span<const std::uint8_t> rest() { return bytes(size_ - (pos_ < size_ ? pos_ : size_)); }
    // Text up to the next NUL (dropped) or the end.
    std::string_view text() {
        const std::size_t start = pos_;
        while (pos_ < size_ && data_[pos_] != 0) ++pos_;
        const std::string_view out(reinterpret_cast<const char*>(data_) + start, pos_ - start);
        if (pos_ < size_) ++pos_;
        return out;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace fuzz
