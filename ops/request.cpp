#include "ops/request.h"

#include <algorithm>
#include <array>

#include "hart/dispatch.h"

namespace ops {
namespace {

// Requests followed by a 200 ms pause (the instrument needs time before the next frame).
constexpr std::array<std::string_view, 45> kPaused = {
    "Button2",  "Button7",  "Button9",  "Button11", "Button19", "Button21", "Button22", "Button26",
    "Button27", "Button28", "Button29", "Button32", "Button33", "Button35", "Button36", "Button37",
    "Button38", "Button39", "Button40", "Button41", "Button43", "Button44", "Button45", "Button46",
    "Button47", "Button48", "Button49", "Button50", "Button52", "Button53", "Button54", "Button56",
    "Button57", "Button59", "Button60", "Button61", "Button62", "Button63", "Button64", "Button65",
    "Button66", "Button67", "Button68", "Button69", "Button70"};

// Temperature-transmitter requests show their frame only while the echo switch is on.
constexpr std::array<std::string_view, 25> kEchoBySwitch = {
    "Button2",  "Button11", "Button35", "Button36", "Button40", "Button41", "Button43",
    "Button52", "Button53", "Button54", "Button55", "Button56", "Button57", "Button59",
    "Button60", "Button61", "Button62", "Button63", "Button64", "Button65", "Button66",
    "Button67", "Button68", "Button69", "Button70"};

// Requests that leave the sent-byte counter alone.
constexpr std::array<std::string_view, 2> kUncounted = {"Button26", "Button23"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& list, std::string_view control) {
    return std::find(list.begin(), list.end(), control) != list.end();
}

}  // namespace

Request requestFor(std::string_view control, hart::Frame frame, std::string_view startText) {
    Request r;
    r.startText = startText;
    r.frame = frame;
    r.echo = listed(kEchoBySwitch, control) ? Echo::BySwitch : Echo::Always;
    r.counted = !listed(kUncounted, control);
    r.pause = listed(kPaused, control);
    if (const hart::DispatchEntry* e = hart::requestOf(control)) {
        r.pending = {e->tag, e->kind, e->command};
        // The scan paces itself with the scan timer and has no response timeout.
        r.startResponseTimer = !(e->tag == hart::kPollTag && e->kind == hart::TimeoutKind::Poll);
    }
    return r;
}

Request refused(std::string_view startText, std::string message, bool asError) {
    Request r;
    r.startText = startText;
    r.refusal = std::move(message);
    r.refusalIsError = asError;
    return r;
}

std::uint8_t masterBit(int masterItem) {
    return masterItem == 0 ? hart::kPrimaryMaster : hart::kSecondaryMaster;
}

}  // namespace ops
