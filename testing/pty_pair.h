// A pseudo-terminal pair: the serial link opens the slave by its path, the test plays modem and
// instrument on the master.
#pragma once

#include <termios.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class PtyPair {
  public:
    using Bytes = std::vector<std::uint8_t>;

    // `raw`: start in raw mode; otherwise the system's defaults, for tests of who sets it.
    explicit PtyPair(bool raw = true);
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return path_; }
    termios slaveSettings() const;
    // The modem goes away: the slave side hangs up.
    void hangUp();

    bool write(const Bytes& bytes) const;
    // Until `count` bytes came, or none did for `wait`.
    Bytes receive(std::size_t count,
                  std::chrono::milliseconds wait = std::chrono::seconds(5)) const;
    // One frame: waits up to `first` for a byte, then takes bytes until 150 ms of silence.
    Bytes read(std::chrono::milliseconds first = std::chrono::seconds(5)) const;
    // Whatever has arrived, without waiting.
    Bytes readAvailable() const;

  private:
    Bytes collect(std::size_t count, std::chrono::milliseconds first,
                  std::chrono::milliseconds gap) const;

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace testsupport
