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

Check codes(std::vector<std::uint8_t> list) {
    Check c;
    c.kind = Check::Kind::Codes;
    c.codes = std::move(list);
    return c;
}

Check range(std::uint8_t low, std::uint8_t high) {
    Check c;
    c.kind = Check::Kind::Range;
    c.low = low;
    c.high = high;
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

// --- code sets the instruments accept

const std::vector<std::uint8_t> kRosemountSensors = {
    0x0E, 0x01, 0x0F, 0x02, 0x03, 0x10, 0x04, 0x05, 0x06, 0x0A, 0x0B, 0x0C, 0x0D, 0x07, 0x08,
    0x00, 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8C, 0x8D, 0x8F};
const std::vector<std::uint8_t> kWires234 = {2, 3, 4};
const std::vector<std::uint8_t> kTemperatureUnits = {32, 33, 34, 35};
const std::vector<std::uint8_t> k644rkSensors = {0x0C, 0x0D, 0x0E, 0x16, 0x17,
                                                 0x83, 0x86, 0x88, 0x89};
const std::vector<std::uint8_t> kYokogawaSensors = {0x0C, 0x0D, 0x0E, 0x0F, 0x16, 0x49, 0x5B, 0x83,
                                                    0x86, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x85,
                                                    0x84, 0x8E, 0x8F, 0xF0, 0x01, 0x81, 0xFB};
const std::vector<std::uint8_t> kEhSensors = {
    0xF1, 0x0C, 0x16, 0x2A, 0xF2, 0x0D, 0x0E, 0x0F, 0x48, 0x3F, 0x4A, 0x51, 0xF3, 0xF4, 0x83, 0x84,
    0x85, 0x86, 0x88, 0x89, 0x8E, 0x8A, 0x8B, 0x8C, 0x8D, 0x8F, 0xF0, 0x03, 0x01, 0x02, 0x81};
const std::vector<std::uint8_t> kSiemensSensors = {0x01, 0x84, 0x87};
const std::vector<std::uint8_t> kKrohneSensors = {0x01, 0x02, 0x03, 0x04, 0x10, 0x11,
                                                  0x80, 0x81, 0x82, 0x83, 0x84, 0x85,
                                                  0x86, 0x87, 0x88, 0x89, 0x8A, 0xA0};
const std::vector<std::uint8_t> kKrohneWirings = {0x00, 0x02, 0x03, 0x04, 0x05, 0x10};
const std::vector<std::uint8_t> kAbbSensors = {
    0x01, 0x02, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x15, 0x16, 0x1F, 0x20, 0x21,
    0x23, 0x47, 0x48, 0x49, 0x4A, 0x51, 0x52, 0x64, 0x67, 0x6A, 0x81, 0x82,
    0x83, 0x84, 0x85, 0x86, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F};
const std::vector<std::uint8_t> kAbbWirings = {0x00, 0x02, 0x03, 0x04};
const std::vector<std::uint8_t> kEjaDisplay = {0x00, 0x01, 0x02, 0x03, 0x04, 0xFA};

// E+H parameters are addressed by one byte; a read answers the address and the access code
// that its write must send back in front of the value.
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

// --- the models

std::vector<VendorCommand> rosemount848t() {
    std::vector<VendorCommand> out;
    for (std::uint8_t ch = 1; ch <= 4; ++ch) {
        const std::string record = "ch" + std::to_string(ch);
        out.push_back(read(160, {ch}, record));
        out.push_back(write(155, {ch}, record,
                            {field(0, codes(kRosemountSensors)), field(1, codes(kWires234))}));
        out.push_back(write(53, {ch}, record, {field(2, codes(kTemperatureUnits))}));
    }
    return out;
}

// Per sensor: type, wiring, offset, five polynomial coefficients, four Callendar-Van Dusen
// coefficients (A, B, C, R0).
void ehParameters(std::vector<Record>& records, std::vector<VendorCommand>& commands) {
    const auto add = [&](std::uint8_t address, std::vector<std::uint8_t> initial, Check check) {
        const std::string name = "eh" + hex2(address);
        VendorCommand r = read(144, {address}, name);
        r.head = {address, kEhAccess};
        commands.push_back(std::move(r));
        commands.push_back(
            write(145, {address, kEhAccess}, name, {field(0, std::move(check), initial.size())}));
        records.push_back({name, std::move(initial)});
    };
    const float cvd[] = {3.9083e-3f, -5.775e-7f, -4.183e-12f, 100.0f};
    for (std::uint8_t sensor = 0; sensor < 2; ++sensor) {
        const std::uint8_t base = sensor == 0 ? 0x30 : 0x40;
        add(base, {sensor == 0 ? std::uint8_t{0x0C} : std::uint8_t{0x89}}, codes(kEhSensors));
        add(base + 1, {sensor == 0 ? std::uint8_t{1} : std::uint8_t{0}}, range(0, 2));
        add(base + 5, floatBytes(0.0f), floatIn(-10.0f, 10.0f));
        for (std::uint8_t x = 0; x < 5; ++x) {
            add(base + 8 + x, floatBytes(x == 0 ? 100.0f : 0.0f), anyFinite());
        }
        for (std::uint8_t k = 0; k < 4; ++k) {
            add(static_cast<std::uint8_t>(0x60 + 4 * sensor + k), floatBytes(cvd[k]), anyFinite());
        }
    }
}

Model model(const char* name, const char* title, const char* page, std::uint8_t manufacturer,
            std::uint8_t deviceType, std::uint32_t deviceId, Quantity quantity, const char* tag) {
    Model m;
    m.name = name;
    m.title = title;
    m.page = page;
    m.manufacturer = manufacturer;
    m.deviceType = deviceType;
    m.deviceId = deviceId;
    m.quantity = quantity;
    m.tag = tag;
    return m;
}

std::vector<Model> buildModels() {
    const char* kRosemountPage = " 温度变送器参数配置 / 罗斯蒙特与E+H温度变送器";
    const char* kOthersPage = " 温度变送器参数配置 / 西门子+ABB+科隆+ 中科博微 温度变送器";
    const char* kDpPage = "差压及多变量变送器";
    constexpr Quantity kTemperature = Quantity::Temperature;
    constexpr Quantity kPressure = Quantity::Pressure;
    std::vector<Model> out;

    Model m =
        model("644", "Rosemount 644", kRosemountPage, 0x26, 0x40, 0x000644, kTemperature, "TT-644");
    m.records = {{"sensor", {0x01, 3}}};
    m.commands = {read(140, {0x00}, "sensor"),
                  write(141, {0x00}, "sensor",
                        {field(0, codes(kRosemountSensors)), field(1, codes(kWires234))})};
    out.push_back(m);

    // Per channel: sensor, wiring, unit.
    m = model("848t", "Rosemount 848T (four channels)", kRosemountPage, 0x26, 0x41, 0x000848,
              kTemperature, "TT-848");
    m.records = {{"ch1", {0x01, 3, 32}},
                 {"ch2", {0x84, 2, 32}},
                 {"ch3", {0x02, 4, 33}},
                 {"ch4", {0x83, 2, 32}}};
    m.commands = rosemount848t();
    m.variables = channels848;
    out.push_back(m);

    // Extended command 31: 04 01 reads, 04 80 writes; the read answers 11 data bytes.
    m = model("644rk", "Rosemount 644RK", kRosemountPage, 0x26, 0x42, 0x006440, kTemperature,
              "TT-644RK");
    m.records = {{"sensor", {0x0C, 3}}};
    m.commands = {read(31, {0x04, 0x01, 0x00}, "sensor", {0, 0, 0, 0, 0, 0}),
                  write(31, {0x04, 0x80, 0x00}, "sensor",
                        {field(0, codes(k644rkSensors)), field(1, codes(kWires234))})};
    out.push_back(m);

    // "wire": the resistance of the leads of a two-wire sensor, in ohms.
    m = model("yokogawa", "Yokogawa temperature transmitter", kRosemountPage, 0x37, 0x50, 0x00A110,
              kTemperature, "TT-YTA");
    m.records = {{"sensor", {0x0C, 3}}, {"wire", floatBytes(0.5f)}};
    m.commands = {read(131, {0x00}, "sensor"),
                  write(134, {0x00}, "sensor",
                        {field(0, codes(kYokogawaSensors)), field(1, codes(kWires234))}),
                  read(170, {}, "wire"),
                  write(171, {}, "wire", {floatField(0, floatIn(0.0f, 100.0f))})};
    out.push_back(m);

    m = model("eh", "E+H temperature transmitter (two sensors)", kRosemountPage, 0x11, 0x60,
              0x00E401, kTemperature, "TT-EH");
    ehParameters(m.records, m.commands);
    out.push_back(m);

    m = model("siemens", "Siemens temperature transmitter", kOthersPage, 0x2A, 0x70, 0x005001,
              kTemperature, "TT-SIEMENS");
    m.records = {{"sensor", {0x01, 2}}};
    m.commands = {read(140, {0x00}, "sensor"),
                  write(141, {0x00}, "sensor",
                        {field(0, codes(kSiemensSensors)), field(1, codes(kWires234))})};
    m.commands[0].custom = siemensSensor;
    out.push_back(m);

    // The ten bytes after sensor and wiring: unit, lower and upper range, mains filter (Hz).
    m = model("tt50c", "Krohne TT50C", kOthersPage, 0x45, 0x80, 0x0050C0, kTemperature, "TT-TT50C");
    m.records = {{"config", join({{0x01, 0x03, 32}, floatBytes(0.0f), floatBytes(100.0f), {50}})}};
    m.commands = {read(130, {}, "config"),
                  write(131, {}, "config",
                        {field(0, codes(kKrohneSensors)), field(1, codes(kKrohneWirings)),
                         field(2, any(), 10)},
                        12)};
    out.push_back(m);

    // The read answers the unit code after sensor and wiring.
    m = model("tth200", "ABB TTH200", kOthersPage, 0x1A, 0x90, 0x000200, kTemperature, "TT-TTH200");
    m.records = {{"sensor", {0x0D, 0x03}}};
    m.commands = {
        read(190, {0x00}, "sensor", {32}),
        write(195, {0x00}, "sensor", {field(0, codes(kAbbSensors)), field(1, codes(kAbbWirings))})};
    out.push_back(m);

    // Zeroing is the universal command 43.
    m = model("3051", "Rosemount 3051 differential pressure", kDpPage, 0x26, 0x43, 0x003051,
              kPressure, "DP-3051");
    m.setup = differentialPressure;
    out.push_back(m);

    // Display bits: byte 1 totalizer; byte 2 flow, output, module and process temperature,
    // gauge, absolute and differential pressure (0x40 down to 0x01).
    m = model("300smv", "Rosemount 300SMV multivariable", kDpPage, 0x26, 0x44, 0x000300, kPressure,
              "FT-300SMV");
    m.records = {{"mapping", {0, 1, 3, 5}}, {"display", {0x01, 0x49}}};
    m.commands = {read(50, {}, "mapping"),
                  write(51, {}, "mapping",
                        {field(0, range(0, 7)), field(1, range(0, 7)), field(2, range(0, 7)),
                         field(3, range(0, 7))}),
                  read(188, {}, "display"),
                  write(189, {}, "display", {field(0, range(0, 1)), field(1, range(0, 0x7F))})};
    m.variables = mapped300smv;
    m.setup = differentialPressure;
    out.push_back(m);

    // Display: four line codes, five format bytes and an eight-character unit text, kept as
    // sent. Zero: the low cut-off in percent, then the zero mode (read only).
    m = model("eja", "Yokogawa EJA differential pressure", kDpPage, 0x37, 0x51, 0x00E1A0, kPressure,
              "DP-EJA");
    m.records = {{"display", join({{0x00, 0x01, 0xFA, 0xFA, 0x00, 0x00, 0x01, 0x02, 0x01},
                                   std::vector<std::uint8_t>(8, 0x20)})},
                 {"zero", join({floatBytes(5.0f), {0}})}};
    m.commands = {
        read(152, {}, "display"),
        write(153, {}, "display",
              {field(0, codes(kEjaDisplay)), field(1, codes(kEjaDisplay)),
               field(2, codes(kEjaDisplay)), field(3, codes(kEjaDisplay)), field(4, any(), 13)}),
        read(130, {}, "zero"),
        // The unit byte in front is not needed for a percentage.
        write(131, {}, "zero", {dropped(1), floatField(0, floatIn(0.0f, 20.0f))})};
    m.setup = differentialPressure;
    out.push_back(m);
    return out;
}

// 0 when the bytes pass.
std::uint8_t judge(const Check& check, std::span<const std::uint8_t> bytes, std::uint8_t refusal) {
    switch (check.kind) {
        case Check::Kind::Any:
            return rc::kSuccess;
        case Check::Kind::Codes:
            for (std::uint8_t b : bytes) {
                if (std::find(check.codes.begin(), check.codes.end(), b) == check.codes.end()) {
                    return refusal;
                }
            }
            return rc::kSuccess;
        case Check::Kind::Range:
            for (std::uint8_t b : bytes) {
                if (b < check.low || b > check.high) return refusal;
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
