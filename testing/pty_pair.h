// A pseudo-terminal pair: the serial link opens the slave by its path, the test plays modem and
// instrument on the master. On Windows the pair is two COM ports joined by the caller
// (HART_TEST_COM for the link, HART_TEST_PEER for the test).
#pragma once

#ifndef _WIN32
#include <termios.h>
#endif

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
#ifndef _WIN32
    termios slaveSettings() const;
#endif
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

#ifdef _WIN32
    void* peer_ = nullptr;  // the test's COM port
#else
    int master_ = -1;
    int slave_ = -1;
#endif
    std::string path_;
};

}  // namespace testsupport
