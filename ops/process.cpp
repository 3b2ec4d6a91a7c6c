#include "ops/process.h"

#include <array>

#include "hart/numbers.h"
#include "hart/tr.h"
#include "hart/units.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using hart::text::kReading;
using hart::text::kWriting;
using F = FieldKind;

// Distributor names by manufacturer code; an empty entry has no name.
constexpr std::array<std::string_view, 104> kManufacturers = {
    "",                              // 0
    "Acromag",                       // 1
    "Allen_Bradley",                 // 2
    "Ametek",                        // 3
    "Analog_Devices",                // 4
    "Bailey",                        // 5
    "Beckman",                       // 6
    "Bell_Microsensor",              // 7
    "Bourns",                        // 8
    "Bristol_Babcock",               // 9
    "Brooks_Instrument",             // 10
    "Chessell",                      // 11
    "Combustion_Engineering",        // 12
    "Daniel_Industries",             // 13
    "Delta",                         // 14
    "Dieterich_Standard",            // 15
    "Dohrmann",                      // 16
    "Endress_and_Hauser",            // 17
    "Fischer_and_Porter",            // 18
    "Fisher_Controls",               // 19
    "Foxboro",                       // 20
    "Fuji",                          // 21
    "Hartmann_and_Braun",            // 22
    "Honeywell",                     // 23
    "ITT_Barton",                    // 24
    "KayRay_Sensall",                // 25
    "Kent",                          // 26
    "Leeds_and_Northrup",            // 27
    "Leslie",                        // 28
    "M_System_Co",                   // 29
    "Measurex",                      // 30
    "Micro_Motion",                  // 31
    "Moore_Industries",              // 32
    "Moore_Products",                // 33
    "Ohkura_Electric",               // 34
    "Paine",                         // 35
    "Rochester_Instrument_Systems",  // 36
    "Ronan",                         // 37
    "Rosemount",                     // 38
    "Peek_Measurement",              // 39
    "Schlumberger",                  // 40
    "Sensall",                       // 41
    "Siemens",                       // 42
    "Camille_Bauer",                 // 43
    "",                              // 44
    "Transmation",                   // 45
    "Rosemount_Analytical",          // 46
    "Valmet",                        // 47
    "Valtek",                        // 48
    "Varec",                         // 49
    "Viatran",                       // 50
    "Weed",                          // 51
    "Westinghouse",                  // 52
    "Xomox",                         // 53
    "Yamatake",                      // 54
    "Yokogawa",                      // 55
    "Nuovo_Pignone",                 // 56
    "Promac",                        // 57
    "Exac_Corporation",              // 58
    "KDG_Mobrey",                    // 59
    "Acrom_Control_System",          // 60
    "Princo",                        // 61
    "Smar",                          // 62
    "Eckardt",                       // 63
    "Measurement_Technology",        // 64
    "Applied_System_Technologies",   // 65
    "Samson",                        // 66
    "Sparling_Instruments",          // 67
    "Fireye",                        // 68
    "Krohne",                        // 69
    "Betz_Equipment",                // 70
    "Druck",                         // 71
    "SOR",                           // 72
    "Elcon_Instruments",             // 73
    "EMCO",                          // 74
    "Termiflex",                     // 75
    "VAF_Instruments",               // 76
    "Westlock_Controls",             // 77
    "Drexelbrook",                   // 78
    "",                              // 79
    "K_TEK",                         // 80
    "Flowdata",                      // 81
    "Draeger",                       // 82
    "Raytek",                        // 83
    "Meridian_Instruments",          // 84
    "BTG",                           // 85
    "Magnetrol",                     // 86
    "Neles_Jamesbury",               // 87
    "Milltronics",                   // 88
    "HELIOS",                        // 89
    "Anderson_Instrument_Company",   // 90
    "INOR",                          // 91
    "ROBERTSHAW",                    // 92
    "PEPPERL_FUCHS",                 // 93
    "ACCUTECH",                      // 94
    "KAMSTRUP",                      // 95
    "Flow_Measurement",              // 96
    "Knick",                         // 97
    "VEGA",                          // 98
    "MTS_SYS_CORPS_SENSORS",         // 99
    "Oval",                          // 100
    "Masoneilan_DRESSER",            // 101
    "Besta",                         // 102
    "Ohmart",                        // 103
};

// --- live values

constexpr std::string_view kCurrentFields[] = {"Edit20", "Edit6"};
constexpr Field kCurrent[] = {
    {11, F::Float, "Edit6", 5},
    {15, F::Float, "Edit20", 3},
};
constexpr FieldDecoder kCurrentDecoder{kCurrent};

constexpr std::string_view kVariableFields[] = {"Edit5", "Edit17", "Edit18", "Edit30"};
constexpr Field kPrimaryVariable[] = {
    {15, F::CurrentUnit, "ComboBox5"},
    {16, F::Float, "Edit5", 8},
};
// Unit and value of the second to fourth variable, five bytes each.
constexpr Field kFurtherVariables[] = {
    {20, F::Unit, "ComboBox15"}, {21, F::Float, "Edit17", 9}, {25, F::Unit, "ComboBox16"},
    {26, F::Float, "Edit18", 9}, {30, F::Unit, "ComboBox6"},  {31, F::Float, "Edit30", 9},
};
constexpr std::size_t kByteCountAt = 8;
constexpr std::size_t kPrimaryByteCount = 11;  // status, loop current, PV unit and value
constexpr std::size_t kVariableBytes = 5;

// The byte count says how many variables follow the primary one; a variable shows only when
// all five of its bytes are counted.
hart::Outcome decodeVariables(const std::optional<hart::Reply>& reply, Session& session) {
    hart::Outcome out;
    out.fail(hart::text::kReadFailed);
    if (!reply || !holds(*reply, kPrimaryVariable) || !reply->has(kByteCountAt)) return out;
    const std::size_t count = reply->at(kByteCountAt);
    const std::size_t further =
        count > kPrimaryByteCount
            ? std::min<std::size_t>((count - kPrimaryByteCount) / kVariableBytes, 3)
            : 0;
    const auto shown = std::span(kFurtherVariables).first(2 * further);
    if (!holds(*reply, shown)) return out;
    for (const Field& f : kPrimaryVariable) show(out, f, *reply, session);
    for (const Field& f : shown) show(out, f, *reply, session);
    out.done(hart::text::kReadOk);
    return out;
}

// --- range configuration

constexpr Field kSensorLimits[] = {
    {15, F::Float, "Edit11", hart::kWholeText},
    {19, F::Float, "Edit12", hart::kWholeText},
    {14, F::CurrentUnit, "ComboBox10"},
};
constexpr Reset kSensorLimitsFailure[] = {{"Edit11"}, {"Edit12"}};
constexpr FieldDecoder kSensorLimitsDecoder{kSensorLimits, kSensorLimitsFailure};

constexpr Field kRange[] = {
    {12, F::Item, "ComboBox2", 2},  // 0 linear, 1 square root
    {13, F::CurrentUnit, "ComboBox1"},
    {14, F::Float, "Edit14", hart::kWholeText},
    {18, F::Float, "Edit15", hart::kWholeText},
    {22, F::Float, "Edit16", hart::kWholeText},
    nameField(27, "Label51", manufacturerName),
};
constexpr Reset kRangeFailure[] = {
    {"ComboBox2", -1}, {"ComboBox1", -1}, {"Edit14"}, {"Edit15"}, {"Edit16"},
};
constexpr FieldDecoder kRangeDecoder{kRange, kRangeFailure};

// The range unit box's item as the code it writes; items without a code send nothing.
std::optional<std::uint8_t> rangeUnit(const Controls& c) {
    return hart::unitCodeForIndex(c.index("ComboBox1"));
}
const std::string kChooseRangeUnit = chooseMessage(Tr::tr("量程单位"));

Data unitWrite(const Controls& c, Session& s) {
    s.unitWritten = rangeUnit(c);
    return DataWriter().code(s.unitWritten, kChooseRangeUnit).data();
}

// The unit written is the one later unit-plus-value writes send, once the instrument took it.
void unitTaken(Session& s) {
    if (s.unitWritten) s.unit.set(s.identity, *s.unitWritten);
}

Data rangeWrite(const Controls& c, Session&) {
    return DataWriter()
        .code(rangeUnit(c), kChooseRangeUnit)
        .number(c, "Edit14")
        .number(c, "Edit15")
        .data();
}

Data dampingWrite(const Controls& c, Session&) {
    return DataWriter().number(c, "Edit16").data();
}

Data transferFunctionWrite(const Controls& c, Session&) {
    const int item = c.index("ComboBox2");
    return DataWriter()
        .code(item == 0 || item == 1 ? std::optional<std::uint8_t>(item) : std::nullopt,
              chooseMessage(Tr::tr("输出特性")))
        .data();
}

constexpr Operation kRows[] = {
    {.control = "Button34",
     .tag = 102,
     .command = 2,
     .timeout = TimeoutKind::Read,
     .startText = kReading,
     .clears = kCurrentFields,
     .decoder = fieldsOf(kCurrentDecoder)},
    {.control = "Button4",
     .tag = 103,
     .command = 3,
     .timeout = TimeoutKind::Read,
     .startText = kReading,
     .clears = kVariableFields,
     .decoder = customDecoder(decodeVariables)},
    {.control = "Button5",
     .tag = 114,
     .command = 14,
     .timeout = TimeoutKind::Read,
     .startText = kReading,
     .decoder = fieldsOf(kSensorLimitsDecoder)},
    {.control = "Button13",
     .tag = 115,
     .command = 15,
     .timeout = TimeoutKind::Read,
     .startText = kReading,
     .decoder = fieldsOf(kRangeDecoder)},
    {.control = "Button8",
     .tag = 144,
     .command = 44,
     .timeout = TimeoutKind::Read,
     .startText = kWriting,
     .data = unitWrite,
     .decoder = writeAck(unitTaken)},
    {.control = "Button12",
     .tag = 155,
     .command = 35,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = rangeWrite,
     .decoder = writeAck()},
    {.control = "Button10",
     .tag = 134,
     .command = 34,
     .timeout = TimeoutKind::Write,
     .startText = kWriting,
     .data = dampingWrite,
     .decoder = writeAck()},
    {.control = "Button14",
     .tag = 147,
     .command = 47,
     .timeout = TimeoutKind::Read,
     .startText = kWriting,
     .data = transferFunctionWrite,
     .decoder = writeAck()},
};

}  // namespace

std::string_view manufacturerName(std::uint8_t code) {
    if (code < kManufacturers.size() && !kManufacturers[code].empty()) return kManufacturers[code];
    return "unknown";
}

std::span<const Operation> processOperations() {
    return kRows;
}

}  // namespace ops
