#include "hart/dispatch.h"

#include <algorithm>

namespace hart {
namespace {

using K = TimeoutKind;
using D = DecoderKind;
using W = ScanWindow;
constexpr std::uint8_t kS = kShortReplyDelimiter;
constexpr std::uint8_t kL = kLongReplyDelimiter;

// clang-format off
constexpr DispatchEntry kTable[] = {
    // tag   control     command  kind      decoder       delim  window
    {39,   "Button22",  39,  K::Write, D::WriteAck, kL, W::Standard},
    {49,   "Button7",    0,  K::Poll,  D::Own,      kS, W::Standard},
    {99,   "Button9",  109,  K::Write, D::WriteAck, kL, W::Standard},
    {100,  "Button3",    0,  K::Read,  D::Own,      kS, W::FromOne},
    {100,  "Button16",   0,  K::Poll,  D::Own,      kS, W::FromOne},
    {100,  "Timer1",     0,  K::Poll,  D::Own,      kS, W::FromOne},
    {102,  "Button34",   2,  K::Read,  D::Own,      kL, W::Standard},
    {103,  "Button4",    3,  K::Read,  D::Own,      kL, W::Standard},
    {104,  "Button17", kTypedCommand, K::Read, D::None, kL, W::Standard},
    {106,  "Button27",   6,  K::Write, D::WriteAck, kL, W::Standard},
    {108,  "Button20", 108,  K::Write, D::WriteAck, kL, W::Standard},
    {109,  "Button19", 109,  K::Write, D::WriteAck, kL, W::Standard},
    {112,  "Button28",  12,  K::Read,  D::Own,      kL, W::Standard},
    {113,  "Button32",  13,  K::Read,  D::Own,      kL, W::Standard},
    {114,  "Button5",   14,  K::Read,  D::Own,      kL, W::Standard},
    {115,  "Button13",  15,  K::Read,  D::Own,      kL, W::Standard},
    {116,  "Button38",  16,  K::Read,  D::Own,      kL, W::Standard},
    {117,  "Button29",  17,  K::Write, D::WriteAck, kL, W::Standard},
    {118,  "Button33",  18,  K::Write, D::WriteAck, kL, W::Standard},
    {119,  "Button39",  19,  K::Write, D::WriteAck, kL, W::Standard},
    {130,  "Button31", 130,  K::Write, D::WriteAck, kL, W::Standard},
    {131,  "Button24", 131,  K::Write, D::WriteAck, kL, W::Standard},
    {134,  "Button10",  34,  K::Write, D::WriteAck, kL, W::Standard},
    {136,  "Button25",  37,  K::Write, D::WriteAck, kL, W::Standard},
    {137,  "Button26",  36,  K::Write, D::WriteAck, kL, W::Standard},
    {139,  "Button21",  39,  K::Write, D::WriteAck, kL, W::Standard},
    {140,  "Button2",  140,  K::Write, D::Own,      kL, W::Standard},
    {141,  "Button11", 141,  K::Write, D::WriteAck, kL, W::Standard},
    {143,  "Button23",  43,  K::Write, D::WriteAck, kL, W::Standard},
    {144,  "Button8",   44,  K::Read,  D::WriteAck, kL, W::Standard},
    {145,  "Button30",  45,  K::Write, D::WriteAck, kL, W::Standard},
    {146,  "Button15",  46,  K::Write, D::WriteAck, kL, W::Standard},
    {147,  "Button14",  47,  K::Read,  D::WriteAck, kL, W::Standard},
    {149,  "Button37",  49,  K::Write, D::WriteAck, kL, W::Standard},
    {155,  "Button12",  35,  K::Write, D::WriteAck, kL, W::Standard},
    {kFixedCurrentTag, "Button6", 40, K::Write, D::WriteAck, kL, W::Standard},
    {521,  "Button63", 130,  K::Write, D::Own,      kL, W::FirstElevenCount14},
    {523,  "Button64", 131,  K::Write, D::WriteAck, kL, W::Standard},
    {525,  "Button68", 190,  K::Write, D::Own,      kL, W::FirstElevenCount6},
    {526,  "Button67", 195,  K::Write, D::WriteAck, kL, W::Standard},
    {1131, "Button52", 131,  K::Write, D::Own,      kL, W::Standard},
    {1134, "Button53", 134,  K::Write, D::WriteAck, kL, W::Standard},
    {1140, "Button35", 140,  K::Write, D::Own,      kL, W::Standard},
    {1143, "Button42",  43,  K::Write, D::WriteAck, kL, W::Standard},
    {1145, "Button36", 141,  K::Write, D::WriteAck, kL, W::Standard},
    {1150, "Button44",  50,  K::Write, D::Own,      kL, W::Standard},
    {1151, "Button45",  51,  K::Write, D::WriteAck, kL, W::Standard},
    {1151, "Button46", 189,  K::Write, D::WriteAck, kL, W::Standard},
    {1153, "Button43",  53,  K::Write, D::WriteAck, kL, W::Standard},
    {1155, "Button40", 155,  K::Write, D::WriteAck, kL, W::Standard},
    {1160, "Button41", 160,  K::Write, D::Own,      kL, W::Standard},
    {1170, "Button54", 170,  K::Write, D::Own,      kL, W::Standard},
    {1171, "Button55", 171,  K::Write, D::WriteAck, kL, W::Standard},
    {1181, "Button70",  31,  K::Write, D::Own,      kL, W::Command31Count13},
    {1182, "Button69",  31,  K::Write, D::WriteAck, kL, W::Standard},
    {1188, "Button47", 188,  K::Write, D::Own,      kL, W::Standard},
    {1190, "Button49", 153,  K::Write, D::WriteAck, kL, W::Standard},
    {1191, "Button48", 152,  K::Write, D::Own,      kL, W::Standard},
    {1192, "Button51", 131,  K::Write, D::WriteAck, kL, W::Standard},
    {1193, "Button50", 130,  K::Write, D::Own,      kL, W::Standard},
    {2145, "Button56", 144,  K::Write, D::Own,      kL, W::FirstEleven},
    {2146, "Button57", 145,  K::Write, D::WriteAck, kL, W::Standard},
    {2147, "Button59", 144,  K::Write, D::Own,      kL, W::FirstEleven},
    {2148, "Button60", 145,  K::Write, D::WriteAck, kL, W::Standard},
    {2149, "Button65", 144,  K::Write, D::Own,      kL, W::FirstEleven},
    {2150, "Button66", 145,  K::Write, D::WriteAck, kL, W::Standard},
    {2152, "Button61", 145,  K::Write, D::WriteAck, kL, W::Standard},
    {2154, "Button62", 145,  K::Write, D::WriteAck, kL, W::Standard},
};
// clang-format on

}  // namespace

std::span<const DispatchEntry> dispatchTable() {
    return kTable;
}

const DispatchEntry* requestOf(std::string_view control) {
    auto it = std::find_if(std::begin(kTable), std::end(kTable),
                           [&](const DispatchEntry& e) { return e.control == control; });
    return it == std::end(kTable) ? nullptr : &*it;
}

const DispatchEntry* dispatchOf(int tag) {
    auto it = std::find_if(std::begin(kTable), std::end(kTable),
                           [&](const DispatchEntry& e) { return e.tag == tag; });
    return it == std::end(kTable) ? nullptr : &*it;
}

ReplyScan replyScanFor(int tag, int command) {
    const DispatchEntry* e = dispatchOf(tag);
    if (e == nullptr) return {kLongReplyDelimiter, ScanWindow::Standard, command};
    return {e->delimiter, e->window, command};
}

}  // namespace hart
