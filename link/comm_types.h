#pragma once

#include <cstdint>

namespace serial {

enum class DtrControl { DtrEnable, DtrDisable, DtrHandshake };
enum class RtsControl { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };
enum class ByteSize { _5, _6, _7, _8 };
enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { _1, _1_5, _2 };

// The line properties of a port, applied together whenever any of them changes.
struct LineSettings {
    uint32_t baudRate = 9600;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    DtrControl dtrControl = DtrControl::DtrEnable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = true;
    bool outxXonXoffFlow = true;
    bool inxXonXoffFlow = true;
    bool replaceWhenParityError = false;
    bool ignoreNullChar = false;
    RtsControl rtsControl = RtsControl::RtsEnable;
    uint16_t xonLimit = 500;
    uint16_t xoffLimit = 500;
    ByteSize byteSize = ByteSize::_8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::_1;
    uint8_t xonChar = 0x11;
    uint8_t xoffChar = 0x13;
    uint8_t replacedChar = 0x00;
};

// Milliseconds. A read waits for its first byte without limit, then ends once the line has been
// idle for readInterval (0: no interval limit, 0xFFFFFFFF: take only what is already there) or,
// when the read totals are non-zero, once readMultiplier * capacity + readConstant has passed.
struct Timeouts {
    uint32_t readInterval = 100;
    uint32_t readMultiplier = 0;
    uint32_t readConstant = 0;
    uint32_t writeMultiplier = 0;
    uint32_t writeConstant = 0;
};

}  // namespace serial
