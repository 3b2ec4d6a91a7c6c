// Differential-pressure and multivariable transmitters: 3051, 300SMV and EJA.
#include <array>

#include "hart/tr.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using hart::text::kReadFailed;
using hart::text::kReadOk;
using hart::text::kWriting;
using F = FieldKind;

// --- 300SMV variable mapping: the byte is the item's position.

constexpr CodeItem kSmvVariableItems[] = {
    {"defferential pressure", 0}, {"absolute pressure", 1}, {"Gage pressure", 2},
    {"process tempter", 3},       {"modul tempter", 4},     {"flow", 5},
    {"Energy FLow", 6},           {"Total flow", 7},
};
constexpr CodeTable kSmvVariable{kSmvVariableItems};
constexpr std::array<std::string_view, 4> kMappingBoxes = {"ComboBox23", "ComboBox24", "ComboBox25",
                                                           "ComboBox26"};
// A mapping box without an item sends this; the instrument judges it.
constexpr std::uint8_t kNoVariable = 0xFF;

Data mappingWrite(const Controls& c, Session&) {
    DataWriter w;
    for (std::string_view box : kMappingBoxes) {
        w.byte(kSmvVariable.codeOf(c.index(box)).value_or(kNoVariable));
    }
    return w.data();
}

constexpr auto kVariables = static_cast<std::size_t>(std::size(kSmvVariableItems));
constexpr Field kMappingFields[] = {
    {.offset = 11, .kind = F::Item, .control = kMappingBoxes[0], .size = kVariables},
    {.offset = 12, .kind = F::Item, .control = kMappingBoxes[1], .size = kVariables},
    {.offset = 13, .kind = F::Item, .control = kMappingBoxes[2], .size = kVariables},
    {.offset = 14, .kind = F::Item, .control = kMappingBoxes[3], .size = kVariables},
};
constexpr FieldDecoder kMappingRead{.fields = kMappingFields};

// --- 300SMV display set: byte 1 holds the totalizer, byte 2 the other seven items.

struct DisplayBit {
    std::size_t byte;  // 0: first data byte, 1: second
    std::uint8_t mask;
    std::string_view box;
    bool anyItemIsOn;  // typed text or any item but "OFF" counts as on
};
constexpr DisplayBit kDisplayBits[] = {
    {0, 0x01, "ComboBox33", true},  {1, 0x40, "ComboBox34", true},  {1, 0x20, "ComboBox30", false},
    {1, 0x10, "ComboBox31", false}, {1, 0x08, "ComboBox32", false}, {1, 0x04, "ComboBox29", false},
    {1, 0x02, "ComboBox28", false}, {1, 0x01, "ComboBox27", false},
};
constexpr int kOff = 0;
constexpr int kOn = 1;

Data displayWrite(const Controls& c, Session&) {
    std::array<std::uint8_t, 2> bytes{};
    for (const DisplayBit& d : kDisplayBits) {
        const int item = c.index(d.box);
        if (d.anyItemIsOn ? item != kOff : item == kOn) bytes[d.byte] |= d.mask;
    }
    return DataWriter().bytes(bytes).data();
}

hart::Outcome displayRead(const std::optional<hart::Reply>& reply, Session&) {
    constexpr std::size_t kFirst = 11;
    hart::Outcome out;
    if (!reply || !reply->has(kFirst, 2)) {
        out.fail(kReadFailed);
        return out;
    }
    for (const DisplayBit& d : kDisplayBits) {
        out.select(std::string(d.box), (reply->at(kFirst + d.byte) & d.mask) ? kOn : kOff);
    }
    out.done(kReadOk);
    return out;
}

// --- EJA display lines

constexpr CodeItem kEjaDisplayItems[] = {
    {"00Pres", 0x00}, {"01pres%", 0x01}, {"02Engr.pRES", 0x02},
    {"03SP", 0x03},   {"04SP%", 0x04},   {Tr::tr("05不显示"), 0xFA},
};
constexpr CodeTable kEjaDisplay{kEjaDisplayItems};
constexpr std::array<std::string_view, 4> kEjaLines = {"EJAXIANS1", "EJAXIANS2", "EJAXIANS3",
                                                       "EJAXIANS4"};
constexpr std::uint8_t kNoLine = 0xFF;
constexpr std::uint8_t kLineHidden = 0xFA;
// Sent after the four line codes: the display format and an eight-blank unit text.
constexpr std::uint8_t kEjaDisplayTail[] = {0x00, 0x00, 0x01, 0x02, 0x01, 0x20, 0x20,
                                            0x20, 0x20, 0x20, 0x20, 0x20, 0x20};

Data ejaDisplayWrite(const Controls& c, Session&) {
    DataWriter w;
    for (std::string_view box : kEjaLines) {
        w.byte(kEjaDisplay.codeOf(c.index(box)).value_or(kNoLine));
    }
    return w.bytes(kEjaDisplayTail).data();
}

// Any code but the hidden line's is the item's position.
hart::Outcome ejaDisplayRead(const std::optional<hart::Reply>& reply, Session&) {
    constexpr std::size_t kFirst = 11;
    hart::Outcome out;
    if (!reply || !reply->has(kFirst, kEjaLines.size())) {
        out.fail(kReadFailed);
        return out;
    }
    const int items = static_cast<int>(kEjaDisplay.items.size());
    for (std::size_t i = 0; i < kEjaLines.size(); ++i) {
        const std::uint8_t code = reply->at(kFirst + i);
        const int item = code == kLineHidden ? *kEjaDisplay.itemOf(code) : code;
        out.select(std::string(kEjaLines[i]), item < items ? item : -1);
    }
    out.done(kReadOk);
    return out;
}

// --- EJA zero cut-off and zero mode

constexpr CodeItem kEjaZeroModeItems[] = {{"0linear mode", 0}, {"1Zero mode", 1}};
constexpr CodeTable kEjaZeroMode{kEjaZeroModeItems};

constexpr Field kEjaZeroFields[] = {
    {.offset = 11, .kind = F::Float, .control = "EJAlingdian", .size = 5},
    {.offset = 15, .kind = F::Item, .control = "EJAMODEM", .size = std::size(kEjaZeroModeItems)},
};
constexpr FieldDecoder kEjaZeroRead{.fields = kEjaZeroFields};

// The cut-off goes in the unit last read or written.
Data cutOffWrite(const Controls& c, Session& s) {
    return DataWriter().currentUnit(s).number(c, "EJAlingdian").data();
}

constexpr Operation kRows[] = {
    instrumentRequest("Button42", 1143, 43, nullptr, writeAck()).withoutPause().echoedAlways(),
    instrumentRequest("Button44", 1150, 50, nullptr, fieldsOf(kMappingRead)).echoedAlways(),
    instrumentRequest("Button45", 1151, 51, mappingWrite, writeAck()).echoedAlways(),
    instrumentRequest("Button47", 1188, 188, nullptr, customDecoder(displayRead)).echoedAlways(),
    instrumentRequest("Button46", 1151, 189, displayWrite, writeAck()).echoedAlways(),
    instrumentRequest("Button48", 1191, 152, nullptr, customDecoder(ejaDisplayRead)).echoedAlways(),
    instrumentRequest("Button49", 1190, 153, ejaDisplayWrite, writeAck()).echoedAlways(),
    instrumentRequest("Button50", 1193, 130, nullptr, fieldsOf(kEjaZeroRead)).echoedAlways(),
    instrumentRequest("Button51", 1192, 131, cutOffWrite, writeAck()).withoutPause().echoedAlways(),
};

constexpr BoxTable kBoxes[] = {
    {kMappingBoxes[0], &kSmvVariable}, {kMappingBoxes[1], &kSmvVariable},
    {kMappingBoxes[2], &kSmvVariable}, {kMappingBoxes[3], &kSmvVariable},
    {kEjaLines[0], &kEjaDisplay},      {kEjaLines[1], &kEjaDisplay},
    {kEjaLines[2], &kEjaDisplay},      {kEjaLines[3], &kEjaDisplay},
    {"EJAMODEM", &kEjaZeroMode},
};

}  // namespace

std::span<const Operation> pressureOperations() {
    return kRows;
}

std::span<const BoxTable> pressureBoxes() {
    return kBoxes;
}

}  // namespace ops
