// State the operations share for the whole run.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "hart/frame.h"
#include "hart/units.h"

namespace ops {

// The ten configuration bytes after sensor and wiring that a TT50C read delivered, and the
// instrument they came from: the TT50C write sends them back.
struct Tt50cTail {
    hart::DeviceIdentity device;
    std::array<std::uint8_t, 10> bytes{};
};

// Two leading data bytes of a good E+H parameter read (sensor type, wiring, offset), and the
// instrument they came from: the matching save sends them back in front of its value.
struct EhPrefix {
    hart::DeviceIdentity device;
    std::array<std::uint8_t, 2> bytes{};
};

// An instrument found by its tag: the address box's item when it was found, and the polling
// address it answered at (none when it answered the broadcast). While the box keeps that item
// the features talk to it, as if that address had been chosen.
struct FoundByTag {
    int boxItem = -1;
    std::optional<std::uint8_t> address;
};

struct Session {
    hart::DeviceIdentity identity;                      // from the last command 0 reply
    std::optional<std::uint8_t> identifiedAt;           // the polling address it came from
    hart::CurrentUnit unit;                             // unit code last read or written, and whose
    std::optional<std::uint8_t> unitWritten;            // the unit of the last unit write sent
    std::optional<Tt50cTail> tt50cTail;                 // none before a good TT50C read
    std::array<std::optional<EhPrefix>, 3> ehPrefixes;  // none before a good read of its kind
    std::optional<std::uint8_t> hartRevision;           // as the last command 0 reply told it
    std::optional<std::uint16_t> configChangeCounter;   // HART 7: as the last identity told it
    std::optional<FoundByTag> found;                    // none after a poll of the box's address
};

}  // namespace ops
