#include "sim/models.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "hart/numbers.h"

namespace hartsim {

namespace {

// --- building blocks of the tables

Check any() {
    return {};
}

Check codes(std::span<const Meaning> list) {
    Check c;
    c.kind = Check::Kind::Codes;
    c.codes = list;
    return c;
}

Check bits(std::span<const Meaning> masks) {
    Check c;
    c.kind = Check::Kind::Bits;
    c.codes = masks;
    return c;
}

Check floatIn(float min, float max) {
    Check c;
    c.kind = Check::Kind::Float;
    c.min = min;
    c.max = max;
    return c;
}

Check anyFinite() {
    return floatIn(std::numeric_limits<float>::lowest(), std::numeric_limits<float>::max());
}

Field field(std::size_t at, Check check, std::size_t length = 1) {
    return {at, length, std::move(check), true};
}

// A one-byte field whose code the instrument reports as held under `name`.
Field coded(std::size_t at, std::string_view name, std::span<const Meaning> list) {
    return {at, 1, codes(list), true, name};
}

// The usual pair of a temperature write: sensor type, then wiring.
std::vector<Field> sensorWiring(std::span<const Meaning> sensors,
                                std::span<const Meaning> wirings) {
    return {coded(0, "sensor", sensors), coded(1, "wiring", wirings)};
}

Field floatField(std::size_t at, Check check) {
    return field(at, std::move(check), 4);
}

Field dropped(std::size_t length) {
    return {0, length, any(), false};
}

// A read that echoes its key before the record.
VendorCommand read(std::uint8_t number, std::vector<std::uint8_t> key, std::string record,
                   std::vector<std::uint8_t> tail = {}) {
    VendorCommand c;
    c.number = number;
    c.head = key;
    c.key = std::move(key);
    c.record = std::move(record);
    c.tail = std::move(tail);
    return c;
}

VendorCommand write(std::uint8_t number, std::vector<std::uint8_t> key, std::string record,
                    std::vector<Field> fields, std::uint8_t refusal = rc::kInvalidSelection) {
    VendorCommand c;
    c.number = number;
    c.key = std::move(key);
    c.record = std::move(record);
    c.write = true;
    c.fields = std::move(fields);
    c.refusal = refusal;
    return c;
}

std::vector<std::uint8_t> floatBytes(float v) {
    const hart::WireFloat w = hart::encodeWireFloat(v);
    return {w.begin(), w.end()};
}

std::vector<std::uint8_t> join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string hex2(unsigned v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[(v >> 4) & 0xF], kDigits[v & 0xF]};
}

double wave(const Device& d, double amplitude, double periodS) {
    return amplitude * std::sin(2.0 * std::numbers::pi * d.now / periodS);
}

float inUnit(std::uint8_t unit, double base) {
    const MeasureUnit* u = findUnit(Quantity::Temperature, unit);
    return static_cast<float>(u ? (base - u->offset) / u->scale : base);
}

// --- what the instruments' codes stand for, from their documentation

const Meaning kRosemountSensors[] = {
    {0x0E, "PT50 a=391"},     {0x01, "PT100 a=385"},   {0x0F, "PT100 a=391"},
    {0x02, "PT100 a=3916"},   {0x03, "PT200 a=385"},   {0x10, "PT200 a=3916"},
    {0x04, "PT500 a=385"},    {0x05, "Ni120"},         {0x06, "Cu10"},
    {0x0A, "Cu50, a=426"},    {0x0B, "Cu50, a=428"},   {0x0C, "Cu100 a=426"},
    {0x0D, "Cu100 a=428"},    {0x07, "PT1000 a=385"},  {0x08, "Cal vanDusen"},
    {0x00, "Ohms"},           {0x80, "Millivolts"},    {0x81, "T/C typ B"},
    {0x82, "T/C typ E"},      {0x83, "T/C typ J"},     {0x84, "T/C typ K"},
    {0x85, "T/C typ N"},      {0x86, "T/C typ R"},     {0x87, "T/C typ S"},
    {0x88, "T/C typ T"},      {0x89, "T/C ty DIN L"},  {0x8C, "T/C ty DIN U"},
    {0x8D, "T/C typ W5Re26"}, {0x8F, "T/C typ GOSTL"},
};
const Meaning kWires234[] = {{2, "2线制"}, {3, "3线制"}, {4, "4线制"}};
const Meaning kChannels[] = {{1, "通道1"}, {2, "通道2"}, {3, "通道3"}, {4, "通道4"}};
const Meaning kTemperatureUnits[] = {{32, "degC"}, {33, "degF"}, {34, "degR"}, {35, "kelvin"}};
const Meaning k644rkSensors[] = {
    {0x0C, "PT100 IEC-751"},   {0x0D, "PT200 IEC-751"},   {0x0E, "PT500 IEC-751"},
    {0x16, "PT100 JISC 1604"}, {0x17, "PT200 JISC 1604"}, {0x83, "T/C typ B"},
    {0x86, "T/C typ E"},       {0x88, "T/C typ J"},       {0x89, "T/C typ K"},
};
const Meaning kYokogawaSensors[] = {
    {0x0C, "Pt100 IEC 751"},        {0x0D, "Pt200 IEC 751"},      {0x0E, "Pt500 IEC 751"},
    {0x0F, "Pt1000 IEC 751"},       {0x16, "Pt100 JIS C1604-81"}, {0x49, "Ni120 DIN 43760"},
    {0x5B, "Cu10 SAMA RC21-4"},     {0x83, "T/C Type B IEC 584"}, {0x86, "T/C Type E IEC 584"},
    {0x88, "T/C Type J IEC 584"},   {0x89, "T/C Type K IEC 584"}, {0x8A, "T/C Type N IEC 584"},
    {0x8B, "T/C Type R IEC 584"},   {0x8C, "T/C Type S IEC 584"}, {0x8D, "T/C Type T IEC 584"},
    {0x85, "T/C Type W3"},          {0x84, "T/C Type C(W5)"},     {0x8E, "T/C Type L DIN 43710"},
    {0x8F, "T/C Type U DIN 43710"}, {0xF0, "T/C User table"},     {0x01, "Ohms"},
    {0x81, "Millivolts"},           {0xFB, "No connection"},
};
const Meaning kEhSensors[] = {
    {0xF1, "Pt50 GOST(a=0.003911)"},
    {0x0C, "Pt100 IEC60751(a=0.00385)"},
    {0x16, "Pt100 JISC1604-81(a=0.003916)"},
    {0x2A, "Pt100 SAMA(a=0.003923)"},
    {0xF2, "Pt100 GOST(a=0.003911)"},
    {0x0D, "Pt200 IEC60751(a=0.00385)"},
    {0x0E, "Pt500 IEC60751(a=0.00385)"},
    {0x0F, "Pt1000 IEC60751(a=0.00385)"},
    {0x48, "Ni100 DIN43760(a=0.006180)"},
    {0x3F, "Ni120 DIN43760(a=0.006180)"},
    {0x4A, "Ni1000 DIN43760(a=0.006180)"},
    {0x51, "Cu10 Edison(a=0.004271)"},
    {0xF3, "Cu50 GOST(a=0.004278)"},
    {0xF4, "Cu100 GOST(a=0.004278)"},
    {0x83, "TC Type B(PtRh30-PtRh6) IEC60584"},
    {0x84, "TC Type C(W5Re-W26Re) ASTM E988"},
    {0x85, "TC Type D(W3Re-W25Re) ASTM E988"},
    {0x86, "TC Type E(NiCr-CuNi) IEC60584"},
    {0x88, "TC Type J(Fe-CuNi) IEC60584"},
    {0x89, "TC Type K(NiCr-Ni) IEC60584"},
    {0x8E, "TC Type L(Fe-CuNi) IEC60584"},
    {0x8A, "TC Type N(NiCrSi-NiSi) IEC60584"},
    {0x8B, "TC Type R(PtRh31-Pt) IEC60584"},
    {0x8C, "TC Type S(PtRh10-Pt) IEC60584"},
    {0x8D, "TC Type T(Cu-CuNi) IEC60584"},
    {0x8F, "TC Type U(Cu-CuNi) IEC60584"},
    {0xF0, "Polynom RTD"},
    {0x03, "callendar Van-Dusen"},
    {0x01, "10...400 Ohm"},
    {0x02, "10...2000 Ohm"},
    {0x81, "-20..100mv"},
};
const Meaning kEhWirings[] = {{0, "2 line"}, {1, "3 line"}, {2, "4 line"}};
const Meaning kSiemensSensors[] = {{0x01, "PT100, A=385"}, {0x84, "T/C, K"}, {0x87, "T/C, S"}};
const Meaning kSiemensWirings[] = {{2, "2 WIRE"}, {3, "3 WIRE"}, {4, "4 WIRE"}};
const Meaning kKrohneSensors[] = {
    {0x01, "PT100, a=385"},  {0x02, "PT1000, a=385"}, {0x03, "D100, a=392"},
    {0x04, "PTx, a=385"},    {0x10, "Ni100"},         {0x11, "Ni1000"},
    {0x80, "T/C typ B"},     {0x81, "T/C typ E"},     {0x82, "T/C typ J"},
    {0x83, "T/C typ K"},     {0x84, "T/C typ DIN L"}, {0x85, "T/C typ N"},
    {0x86, "T/C typ R"},     {0x87, "T/C typ S"},     {0x88, "T/C typ T"},
    {0x89, "T/C typ DIN U"}, {0x8A, "T/C typ A/E"},   {0xA0, "T/C typ X"},
};
const Meaning kKrohneWirings[] = {{0x00, "无"},     {0x02, "二线制"},       {0x03, "三线制"},
                                  {0x04, "四线制"}, {0x05, "Differential"}, {0x10, "SmartSense"}};
const Meaning kAbbSensors[] = {
    {0x01, "0..500ohm"},
    {0x02, "0..5000ohm"},
    {0x0B, "PT50"},
    {0x0C, "无"},
    {0x0D, "PT100(IEC751)"},
    {0x0E, "PT500(IEC751)"},
    {0x0F, "PT1000(IEC751)"},
    {0x15, "PT50(JIS1604)"},
    {0x16, "PT100(JIS1604)"},
    {0x1F, "PT50(MIL24388)"},
    {0x20, "PT100(MIL24388)"},
    {0x21, "PT200(MIL24388)"},
    {0x23, "PT1000(MIL24388)"},
    {0x47, "NI50(DIN43760)"},
    {0x48, "NI100(DIN43760)"},
    {0x49, "NI120(DIN43760)"},
    {0x4A, "NI1000(DIN43760)"},
    {0x51, "CU10 a=4270"},
    {0x52, "CU100 a=4270"},
    {0x64, "Pt10(IEC751)"},
    {0x67, "PT10(JIS1604)"},
    {0x6A, "PT10(MIL24388)"},
    {0x81, "-125..125mv"},
    {0x82, "-125..1200mv"},
    {0x83, "TC type B(IEC584)"},
    {0x84, "TC type C(ASTME988)"},
    {0x85, "TC type D(ASTME988)"},
    {0x86, "TC type E(ICE584)"},
    {0x88, "TC type J(ICE584)"},
    {0x89, "TC type K(ICE584)"},
    {0x8A, "TC type N(ICE584)"},
    {0x8B, "TC type R(ICE584)"},
    {0x8C, "TC type S(ICE584)"},
    {0x8D, "TC type T(ICE584)"},
    {0x8E, "TC type L(DIN4710)"},
    {0x8F, "TC type U(DIN4710)"},
};
const Meaning kAbbWirings[] = {{0x00, "无"}, {0x02, "二线制"}, {0x03, "三线制"}, {0x04, "四线制"}};
const Meaning kSmvVariables[] = {
    {0, "defferential pressure"}, {1, "absolute pressure"}, {2, "Gage pressure"},
    {3, "process tempter"},       {4, "modul tempter"},     {5, "flow"},
    {6, "Energy FLow"},           {7, "Total flow"},
};
// What the 300SMV's display shows, one bit each.
const Meaning kSmvShownFirst[] = {{0x01, "Totalizer"}};
const Meaning kSmvShownSecond[] = {
    {0x40, "Flow_Rate"},       {0x20, "Output(%Rang)"}, {0x10, "Module_Temper"},
    {0x08, "Proces_Temper"},   {0x04, "Gage_Pressure"}, {0x02, "Abso_Pressure"},
    {0x01, "Differ_Pressure"},
};
const Meaning kEjaDisplay[] = {{0x00, "Pres"}, {0x01, "pres%"}, {0x02, "Engr.pRES"},
                               {0x03, "SP"},   {0x04, "SP%"},   {0xFA, "不显示"}};

// The access code an E+H write sends back in front of the value.
constexpr std::uint8_t kEhAccess = 0xFB;

// --- irregular parts

// The Siemens read reports which of its four usual set-ups is configured (4: another one).
Reply siemensSensor(Device& d, const Request&) {
    static constexpr std::pair<std::uint8_t, std::uint8_t> kSetups[] = {
        {0x01, 2}, {0x01, 4}, {0x84, 2}, {0x87, 2}};
    const std::vector<std::uint8_t>& s = d.settings.records["sensor"];
    std::uint8_t index = 4;
    for (std::uint8_t i = 0; i < 4; ++i) {
        if (kSetups[i] == std::pair{s[0], s[1]}) index = i;
    }
    return {rc::kSuccess, 0, {0x00, s[0], index}};
}

// The 848T's dynamic variables are its four channels, each in the unit set by command 53.
Variables channels848(const Device& d) {
    const double others[] = {22.0 + wave(d, 0.3, 200.0), 180.0 + wave(d, 2.0, 400.0), -5.0};
    Variables v;
    for (std::size_t ch = 0; ch < 4; ++ch) {
        const std::uint8_t unit = d.settings.records.at("ch" + std::to_string(ch + 1))[2];
        v[ch] = {unit, inUnit(unit, ch == 0 ? pvBase(d) : others[ch - 1])};
    }
    return v;
}

// The 300SMV reports the measured variables its mapping picks. The loop current keeps
// following the differential pressure, which is what its range applies to.
Variables mapped300smv(const Device& d) {
    const double dp = pvBase(d);
    const double gauge = 250.0 + wave(d, 1.5, 150.0);
    const double flow = 12.0 * std::sqrt(std::max(dp, 0.0) / 25.0);
    Variables v;
    const std::vector<std::uint8_t>& mapping = d.settings.records.at("mapping");
    for (std::size_t i = 0; i < 4; ++i) {
        switch (mapping[i]) {
            case 0:
                v[i] = {d.settings.pvUnit, primaryValue(d)};
                break;
            case 1:
                v[i] = {kUnitKPa, static_cast<float>(gauge + 101.325)};
                break;
            case 2:
                v[i] = {kUnitKPa, static_cast<float>(gauge)};
                break;
            case 3:
                v[i] = {kUnitDegC, static_cast<float>(45.0 + wave(d, 0.5, 300.0))};
                break;
            case 4:
                v[i] = {kUnitDegC, 28.0f};
                break;
            case 5:
                v[i] = {19, static_cast<float>(flow)};
                break;  // m3/h
            case 6:
                v[i] = {127, static_cast<float>(flow * 0.35)};
                break;  // kW
            default:
                v[i] = {43, static_cast<float>(1000.0 + flow * d.now / 3600.0)};  // m3
        }
    }
    return v;
}

void differentialPressure(Device& d) {
    d.sensor = {62.16, -62.16, 0.5};
    d.settings.upperRange = 25.0;
    d.settings.lowerRange = 0.0;
    d.settings.message = "HART DP TRANSMITTER SIM";
    d.process = {12.0, 3.0, 90.0};
}

// --- the models, one function each; the window's temperature pages group the first eight,
// its differential-pressure page the last three

Model model(const char* name, std::uint8_t manufacturer, std::uint8_t deviceType,
            std::uint32_t deviceId, Quantity quantity, const char* tag) {
    Model m;
    m.name = name;
    m.manufacturer = manufacturer;
    m.deviceType = deviceType;
    m.deviceId = deviceId;
    m.quantity = quantity;
    m.tag = tag;
    return m;
}

constexpr Quantity kTemperature = Quantity::Temperature;
constexpr Quantity kPressure = Quantity::Pressure;

Model rosemount644() {
    Model m = model("644", 0x26, 0x40, 0x000644, kTemperature, "TT-644");
    m.records = {{"sensor", {0x01, 3}}};
    m.commands = {read(140, {0x00}, "sensor"),
                  write(141, {0x00}, "sensor", sensorWiring(kRosemountSensors, kWires234))};
    return m;
}

// Four channels, each with sensor, wiring and unit.
Model rosemount848t() {
    Model m = model("848t", 0x26, 0x41, 0x000848, kTemperature, "TT-848");
    m.records = {{"ch1", {0x01, 3, 32}},
                 {"ch2", {0x84, 2, 32}},
                 {"ch3", {0x02, 4, 33}},
                 {"ch4", {0x83, 2, 32}}};
    for (std::uint8_t ch = 1; ch <= 4; ++ch) {
        const std::string record = "ch" + std::to_string(ch);
        m.commands.push_back(read(160, {ch}, record));
        VendorCommand sensor = write(155, {ch}, record, sensorWiring(kRosemountSensors, kWires234));
        VendorCommand unit = write(53, {ch}, record, {coded(2, "unit", kTemperatureUnits)});
        for (VendorCommand* c : {&sensor, &unit}) {
            c->keyField = coded(0, "channel", kChannels);
            m.commands.push_back(std::move(*c));
        }
    }
    m.variables = channels848;
    return m;
}

// Extended command 31: 04 01 reads, 04 80 writes; the read answers 11 data bytes.
Model rosemount644rk() {
    Model m = model("644rk", 0x26, 0x42, 0x006440, kTemperature, "TT-644RK");
    m.records = {{"sensor", {0x0C, 3}}};
    m.commands = {read(31, {0x04, 0x01, 0x00}, "sensor", {0, 0, 0, 0, 0, 0}),
                  write(31, {0x04, 0x80, 0x00}, "sensor", sensorWiring(k644rkSensors, kWires234))};
    return m;
}

// "wire": the resistance of the leads of a two-wire sensor, in ohms.
Model yokogawaTemperature() {
    Model m = model("yokogawa", 0x37, 0x50, 0x00A110, kTemperature, "TT-YTA");
    m.records = {{"sensor", {0x0C, 3}}, {"wire", floatBytes(0.5f)}};
    m.commands = {read(131, {0x00}, "sensor"),
                  write(134, {0x00}, "sensor", sensorWiring(kYokogawaSensors, kWires234)),
                  read(170, {}, "wire"),
                  write(171, {}, "wire", {floatField(0, floatIn(0.0f, 100.0f))})};
    return m;
}

// Two sensors. Parameters are addressed by one byte; a read answers the address and the access
// code that its write must send back in front of the value. Per sensor: type, wiring, offset,
// five polynomial coefficients, four Callendar-Van Dusen coefficients (A, B, C, R0).
Model endressHauser() {
    Model m = model("eh", 0x11, 0x60, 0x00E401, kTemperature, "TT-EH");
    const auto add = [&](std::uint8_t address, std::vector<std::uint8_t> initial, Check check,
                         std::string_view held = {}) {
        const std::string name = "eh" + hex2(address);
        VendorCommand r = read(144, {address}, name);
        r.head = {address, kEhAccess};
        m.commands.push_back(std::move(r));
        m.commands.push_back(write(145, {address, kEhAccess}, name,
                                   {{0, initial.size(), std::move(check), true, held}}));
        m.records.push_back({name, std::move(initial)});
    };
    const float cvd[] = {3.9083e-3f, -5.775e-7f, -4.183e-12f, 100.0f};
    for (std::uint8_t sensor = 0; sensor < 2; ++sensor) {
        const std::uint8_t base = sensor == 0 ? 0x30 : 0x40;
        add(base, {sensor == 0 ? std::uint8_t{0x0C} : std::uint8_t{0x89}}, codes(kEhSensors),
            "sensor");
        add(base + 1, {sensor == 0 ? std::uint8_t{1} : std::uint8_t{0}}, codes(kEhWirings),
            "wiring");
        add(base + 5, floatBytes(0.0f), floatIn(-10.0f, 10.0f));
        for (std::uint8_t x = 0; x < 5; ++x) {
            add(base + 8 + x, floatBytes(x == 0 ? 100.0f : 0.0f), anyFinite());
        }
        for (std::uint8_t k = 0; k < 4; ++k) {
            add(static_cast<std::uint8_t>(0x60 + 4 * sensor + k), floatBytes(cvd[k]), anyFinite());
        }
    }
    return m;
}

Model siemens() {
    Model m = model("siemens", 0x2A, 0x70, 0x005001, kTemperature, "TT-SIEMENS");
    m.records = {{"sensor", {0x01, 2}}};
    m.commands = {read(140, {0x00}, "sensor"),
                  write(141, {0x00}, "sensor", sensorWiring(kSiemensSensors, kSiemensWirings))};
    m.commands[0].custom = siemensSensor;
    return m;
}

// The ten bytes after sensor and wiring: unit, lower and upper range, mains filter (Hz).
Model krohneTt50c() {
    Model m = model("tt50c", 0x45, 0x80, 0x0050C0, kTemperature, "TT-TT50C");
    m.records = {{"config", join({{0x01, 0x03, 32}, floatBytes(0.0f), floatBytes(100.0f), {50}})}};
    m.commands = {read(130, {}, "config"),
                  write(131, {}, "config",
                        {coded(0, "sensor", kKrohneSensors), coded(1, "wiring", kKrohneWirings),
                         field(2, any(), 10)},
                        12)};
    return m;
}

// The read answers the unit code after sensor and wiring.
Model abbTth200() {
    Model m = model("tth200", 0x1A, 0x90, 0x000200, kTemperature, "TT-TTH200");
    m.records = {{"sensor", {0x0D, 0x03}}};
    m.commands = {read(190, {0x00}, "sensor", {32}),
                  write(195, {0x00}, "sensor", sensorWiring(kAbbSensors, kAbbWirings))};
    return m;
}

// Zeroing is the universal command 43.
Model rosemount3051() {
    Model m = model("3051", 0x26, 0x43, 0x003051, kPressure, "DP-3051");
    m.setup = differentialPressure;
    return m;
}

Model rosemount300smv() {
    Model m = model("300smv", 0x26, 0x44, 0x000300, kPressure, "FT-300SMV");
    m.records = {{"mapping", {0, 1, 3, 5}}, {"display", {0x01, 0x49}}};
    m.commands = {
        read(50, {}, "mapping"),
        write(51, {}, "mapping",
              {coded(0, "variable1", kSmvVariables), coded(1, "variable2", kSmvVariables),
               coded(2, "variable3", kSmvVariables), coded(3, "variable4", kSmvVariables)}),
        read(188, {}, "display"),
        write(189, {}, "display",
              {{0, 1, bits(kSmvShownFirst), true, "shown"},
               {1, 1, bits(kSmvShownSecond), true, "shown"}})};
    m.variables = mapped300smv;
    m.setup = differentialPressure;
    return m;
}

// Display: four line codes, five format bytes and an eight-character unit text, kept as sent.
// Zero: the low cut-off in percent, then the zero mode (read only).
Model yokogawaEja() {
    Model m = model("eja", 0x37, 0x51, 0x00E1A0, kPressure, "DP-EJA");
    m.records = {{"display", join({{0x00, 0x01, 0xFA, 0xFA, 0x00, 0x00, 0x01, 0x02, 0x01},
                                   std::vector<std::uint8_t>(8, 0x20)})},
                 {"zero", join({floatBytes(5.0f), {0}})}};
    m.commands = {read(152, {}, "display"),
                  write(153, {}, "display",
                        {coded(0, "line1", kEjaDisplay), coded(1, "line2", kEjaDisplay),
                         coded(2, "line3", kEjaDisplay), coded(3, "line4", kEjaDisplay),
                         field(4, any(), 13)}),
                  read(130, {}, "zero"),
                  // The unit byte in front is not needed for a percentage.
                  write(131, {}, "zero", {dropped(1), floatField(0, floatIn(0.0f, 20.0f))})};
    m.setup = differentialPressure;
    return m;
}

std::vector<Model> buildModels() {
    return {rosemount644(),  rosemount848t(),   rosemount644rk(), yokogawaTemperature(),
            endressHauser(), siemens(),         krohneTt50c(),    abbTth200(),
            rosemount3051(), rosemount300smv(), yokogawaEja()};
}

const Meaning* meaningOf(std::span<const Meaning> list, std::uint8_t code) {
    const auto m =
        std::find_if(list.begin(), list.end(), [&](const Meaning& x) { return x.code == code; });
    return m == list.end() ? nullptr : &*m;
}

// The log line for a named field that now holds `code`: its meaning, or the names of the bits
// set.
void noteHeld(Device& d, const std::string& record, const Field& f, std::uint8_t code) {
    if (f.name.empty()) return;
    std::string meaning;
    if (f.check.kind == Check::Kind::Bits) {
        for (const Meaning& m : f.check.codes) {
            if (code & m.code) meaning += (meaning.empty() ? "" : " + ") + std::string(m.name);
        }
    } else if (const Meaning* m = meaningOf(f.check.codes, code)) {
        meaning = m->name;
    }
    d.notes.push_back("HOLD " + record + " " + std::string(f.name) + " " + hex2(code) + " " +
                      meaning);
}

// 0 when the bytes pass.
std::uint8_t judge(const Check& check, std::span<const std::uint8_t> bytes, std::uint8_t refusal) {
    switch (check.kind) {
        case Check::Kind::Any:
            return rc::kSuccess;
        case Check::Kind::Codes:
            for (std::uint8_t b : bytes) {
                if (!meaningOf(check.codes, b)) return refusal;
            }
            return rc::kSuccess;
        case Check::Kind::Bits:
            for (std::uint8_t b : bytes) {
                for (const Meaning& m : check.codes) b &= static_cast<std::uint8_t>(~m.code);
                if (b != 0) return refusal;
            }
            return rc::kSuccess;
        case Check::Kind::Float: {
            const double v = hart::decodeWireFloat(bytes.first<4>());
            if (!std::isfinite(v)) return refusal;
            if (v > check.max) return rc::kTooLarge;
            if (v < check.min) return rc::kTooSmall;
            return rc::kSuccess;
        }
    }
    return refusal;
}

Reply run(Device& d, const VendorCommand& c, const Request& r) {
    if (c.write && d.writeProtect) return {rc::kWriteProtected, 0, {}};
    if (c.custom) return c.custom(d, r);
    std::vector<std::uint8_t>& record = d.settings.records[c.record];
    if (!c.write) return {rc::kSuccess, 0, join({c.head, record, c.tail})};

    std::size_t need = c.key.size();
    for (const Field& f : c.fields) need += f.length;
    if (r.data.size() < need) return {rc::kTooFewBytes, 0, {}};
    std::vector<std::uint8_t> next = record;
    std::size_t i = c.key.size();
    for (const Field& f : c.fields) {
        const auto bytes = std::span<const std::uint8_t>(r.data).subspan(i, f.length);
        if (const std::uint8_t code = judge(f.check, bytes, c.refusal)) return {code, 0, {}};
        if (f.kept) {
            if (next.size() < f.at + f.length) next.resize(f.at + f.length);
            std::copy(bytes.begin(), bytes.end(), next.begin() + static_cast<std::ptrdiff_t>(f.at));
        }
        i += f.length;
    }
    record = std::move(next);
    d.configChanged = true;
    if (c.keyField) noteHeld(d, c.record, *c.keyField, r.data[c.keyField->at]);
    i = c.key.size();
    for (const Field& f : c.fields) {
        noteHeld(d, c.record, f, r.data[i]);
        i += f.length;
    }
    return {rc::kSuccess, 0, r.data};
}

}  // namespace

std::span<const Model> models() {
    static const std::vector<Model> kModels = buildModels();
    return kModels;
}

const Model* findModel(std::string_view name) {
    for (const Model& m : models()) {
        if (m.name == name) return &m;
    }
    return nullptr;
}

Device makeModelDevice(const Model& model, const Identity& identity) {
    Device d = model.quantity == Quantity::Temperature ? makeTemperatureDevice(identity)
                                                       : makeDevice(identity);
    d.model = &model;
    if (model.setup) model.setup(d);
    d.settings.tag = model.tag;
    for (const Record& r : model.records) d.settings.records[r.name] = r.bytes;
    d.saved = d.settings;
    return d;
}

Device buildDevice(const DeviceSpec& spec) {
    return spec.model ? makeModelDevice(*spec.model, spec) : makeDevice(Identity(spec));
}

std::optional<Reply> answerVendor(Device& d, const Request& r) {
    if (!d.model) return std::nullopt;
    bool known = false;
    std::size_t shortestKey = std::numeric_limits<std::size_t>::max();
    for (const VendorCommand& c : d.model->commands) {
        if (c.number != r.command) continue;
        known = true;
        shortestKey = std::min(shortestKey, c.key.size());
        if (r.data.size() >= c.key.size() &&
            std::equal(c.key.begin(), c.key.end(), r.data.begin())) {
            return run(d, c, r);
        }
    }
    if (!known) return std::nullopt;
    // A channel, parameter or extended command the model does not have.
    return Reply{r.data.size() < shortestKey ? rc::kTooFewBytes : rc::kInvalidSelection, 0, {}};
}

std::vector<DeviceSpec> demoLoop() {
    std::vector<DeviceSpec> out(1);
    for (const Model& m : models()) {
        DeviceSpec s;
        s.pollingAddress = static_cast<std::uint8_t>(out.size());
        s.manufacturer = m.manufacturer;
        s.deviceType = m.deviceType;
        s.deviceId = m.deviceId;
        s.model = &m;
        out.push_back(s);
    }
    return out;
}

}  // namespace hartsim
