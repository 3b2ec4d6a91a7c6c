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

// How a request deviates from the common procedure (clear the receive log, send, time the
// response); only the address scan and the console do.
enum class Procedure {
    Standard,
    ScanStart,  // keeps the receive log, starts the scan timer, no response timer
    ScanStep,   // the scan timer paces it: no response timer
    Console,    // empties the echo line first, as it parses the typed frame
};
constexpr bool clearsLog(Procedure p) {
    return p != Procedure::ScanStart;
}
constexpr bool timesResponse(Procedure p) {
    return p == Procedure::Standard || p == Procedure::Console;
}
constexpr bool startsScan(Procedure p) {
    return p == Procedure::ScanStart;
}
constexpr bool blanksEchoFirst(Procedure p) {
    return p == Procedure::Console;
}

struct Request {
    std::string startText;
    Procedure procedure = Procedure::Standard;
    std::vector<std::string> clears;   // result fields emptied before sending
    std::vector<hart::Update> before;  // other control changes made before sending
    hart::Frame frame;
    Echo echo = Echo::Always;
    bool counted = true;  // added to the sent-byte counter
    bool pause = false;   // 200 ms after the write
    hart::Pending pending;
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
