// Loop current output and trim, display value adjustment, burst mode and the EEPROM control.
#include <array>

#include "hart/numbers.h"
#include "hart/tr.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using hart::text::kWriting;

// The fixed-current request's tag; no other request uses it.
constexpr int kFixedCurrentTag = 240;

// The radio buttons in the order they are examined, with the current each forces.
struct FixedCurrent {
    std::string_view radio;
    float mA;  // RadioButton6 takes the typed value instead
};
constexpr std::array<FixedCurrent, 7> kFixedCurrents = {{
    {"RadioButton1", 4.0f},
    {"RadioButton2", 8.0f},
    {"RadioButton3", 12.0f},
    {"RadioButton4", 16.0f},
    {"RadioButton5", 20.0f},
    {"RadioButton6", 0.0f},
    {"RadioButton7", 0.0f},  // 0 takes the output out of fixed-current mode
}};

Data fixedCurrent(const Controls& c, Session&) {
    DataWriter w;
    for (const FixedCurrent& f : kFixedCurrents) {
        if (!c.checked(f.radio)) continue;
        if (f.radio == "RadioButton6") return w.number(c, "Edit7").data();
        return w.bytes(hart::encodeWireFloat(f.mA)).data();
    }
    return w.refuse(chooseMessage(Tr::tr("输出电流"))).data();
}

Data gainTrim(const Controls& c, Session&) {
    return DataWriter().number(c, "Edit9").data();
}

Data zeroTrim(const Controls& c, Session&) {
    return DataWriter().number(c, "Edit10").data();
}

// The typed values are in the unit last read or written.
Data lowPoint(const Controls& c, Session& s) {
    return DataWriter().currentUnit(s).number(c, "Edit13").data();
}

Data highPoint(const Controls& c, Session& s) {
    return DataWriter().currentUnit(s).number(c, "Edit19").data();
}

// Items "1", "2", "3" by position; typed text is no command number.
Data burstCommand(const Controls& c, Session&) {
    const int item = c.index("ComboBox11");
    return DataWriter()
        .code(item >= 0 && item <= 2 ? std::optional<std::uint8_t>(item + 1) : std::nullopt,
              chooseMessage(Tr::tr("阵发指令号")))
        .data();
}

template <std::uint8_t Value>
Data oneByte(const Controls&, Session&) {
    return DataWriter().byte(Value).data();
}

using hart::text::kWritingComma;

constexpr Operation kRows[] = {
    {.control = "Button6",
     .tag = kFixedCurrentTag,
     .command = 40,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = fixedCurrent,
     .decoder = writeAck()},
    {.control = "Button15",
     .tag = 146,
     .command = 46,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = gainTrim,
     .decoder = writeAck()},
    {.control = "Button30",
     .tag = 145,
     .command = 45,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = zeroTrim,
     .decoder = writeAck()},
    {.control = "Button25",
     .tag = 136,
     .command = 37,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .decoder = writeAck()},
    {.control = "Button26",
     .tag = 137,
     .command = 36,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .decoder = writeAck(),
     .pause = true,
     .counted = false},
    {.control = "Button23",
     .tag = 143,
     .command = 43,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .decoder = writeAck(),
     .counted = false},
    {.control = "Button24",
     .tag = 131,
     .command = 131,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = lowPoint,
     .decoder = writeAck()},
    {.control = "Button31",
     .tag = 130,
     .command = 130,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = highPoint,
     .decoder = writeAck()},
    {.control = "Button20",
     .tag = 108,
     .command = 108,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = burstCommand,
     .decoder = writeAck()},
    {.control = "Button19",
     .tag = 109,
     .command = 109,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = oneByte<1>,
     .decoder = writeAck(),
     .pause = true},
    {.control = "Button9",
     .tag = 99,
     .command = 109,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = oneByte<0>,
     .decoder = writeAck(),
     .pause = true},
    // The EEPROM control always goes out as primary master.
    {.control = "Button21",
     .tag = 139,
     .command = 39,
     .timeout = TimeoutKind::Write,
     .startText = kWritingComma,
     .data = oneByte<0>,
     .decoder = writeAck(),
     .primaryMaster = true,
     .pause = true},
    {.control = "Button22",
     .tag = 39,
     .command = 39,
     .timeout = TimeoutKind::Write,
     .startText = kWritingComma,
     .data = oneByte<1>,
     .decoder = writeAck(),
     .primaryMaster = true,
     .pause = true},
};

}  // namespace

std::span<const Operation> outputOperations() {
    return kRows;
}

}  // namespace ops
