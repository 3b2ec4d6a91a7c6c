// A request as plain data: what the shared request procedure shows, sends and tracks.
// Operations build these from control values; the window carries them out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hart/frame.h"
#include "hart/outcome.h"
#include "hart/tracker.h"

namespace ops {

enum class Echo {
    Always,    // the frame's hex text on the echo line
    BySwitch,  // vendor requests: only while the frame-echo switch is on
};

struct Request {
    std::string startText;
    bool clearLog = true;         // every request but the scan start clears the receive log
    bool blankEchoFirst = false;  // the console empties the echo line before it parses
    std::vector<std::string> clearFields;
    std::vector<hart::Update> before;  // other control changes made before sending
    hart::Frame frame;
    Echo echo = Echo::Always;
    bool counted = true;  // added to the sent-byte counter
    bool pause = false;   // 200 ms after the write
    hart::Pending pending;
    bool startResponseTimer = true;
    bool startScan = false;  // the scan timer runs from this request on
    // When not empty the request stops after its start text: this message is shown in a
    // modal box and nothing is sent.
    std::string refusal;
    bool refusalIsError = true;  // an error box (failed conversion) or a plain message box
};

// A request that stops with a message before anything is sent.
Request refused(std::string_view startText, std::string message, bool asError = true);

// 0x80 for item 0 of the master-role box, 0x00 for item 1 or no item.
std::uint8_t masterBit(int masterItem);

}  // namespace ops
