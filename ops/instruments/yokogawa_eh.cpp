// Yokogawa and E+H temperature transmitters.
#include "hart/tr.h"
#include "ops/groups.h"
#include "ops/instruments/temperature.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using F = FieldKind;

constexpr std::string_view kReadingWait = Tr::tr("请稍后,正在上传....");

// --- Yokogawa

// The hexadecimal number inside a text is only a label: the position picks the code.
constexpr CodeItem kYokogawaSensorItems[] = {
    {"00-0C-Pt100 IEC 751", 0x0C},
    {"01-0D-Pt200 IEC 751", 0x0D},
    {"02-0E-Pt500 IEC 751", 0x0E},
    {"03-0F-Pt1000 IEC 751", 0x0F},
    {"04-16-Pt100 JIS C1604-81", 0x16},
    {"05-49-Ni120 DIN 43760", 0x49},
    {"06-5B-Cu10 SAMA RC21-4", 0x5B},
    {"07-83-T/C Type B IEC 584", 0x83},
    {"08-86-T/C Type E IEC 584", 0x86},
    {"09-88-T/C Type J IEC 584", 0x88},
    {"10-89-T/C Type K IEC 584", 0x89},
    {"11-8A-T/C Type N IEC 584", 0x8A},
    {"12-8B-T/C Type R IEC 584", 0x8B},
    {"13-8C-T/C Type S IEC 584", 0x8C},
    {"14-8D-T/C Type T IEC 584", 0x8D},
    {"15-85-T/C Type W3", 0x85},
    {"16-84-T/C Type C(W5)", 0x84},
    {"17-8E-T/C Type L DIN 43710", 0x8E},
    {"18-8F-T/C Type U DIN 43710", 0x8F},
    {"19-F0-T/C User table", 0xF0},
    {"20-01-Ohms", 0x01},
    {"21-81-Millivolts", 0x81},
    {"22-FB-No connection", 0xFB},
    {"23-other", 0xFF},
};
constexpr int kYokogawaOther = 23;
constexpr CodeTable kYokogawaSensor{kYokogawaSensorItems, kYokogawaOther};

// No item sends the "other" code; the instrument judges it.
std::uint8_t sensorCode(const CodeTable& table, const Controls& c, std::string_view box) {
    return table.codeOf(c.index(box)).value_or(0xFF);
}

Data readYokogawaSensor(const Controls&, Session&) {
    return DataWriter().byte(0x00).data();
}

// The wiring code is the item index + 2; no item gives 1.
Data writeYokogawaSensor(const Controls& c, Session&) {
    return DataWriter()
        .byte(0x00)
        .byte(sensorCode(kYokogawaSensor, c, "HengHeTX"))
        .byte(static_cast<std::uint8_t>(c.index("HengHeFS") + 2))
        .data();
}

constexpr Field kYokogawaSensorFields[] = {codeField(12, "HengHeTX", kYokogawaSensor)};
constexpr std::size_t kYokogawaWiringAt = 13;

// A wiring code outside 2 .. 4 leaves the box with no item.
hart::Outcome decodeYokogawaSensor(const std::optional<hart::Reply>& reply, Session& session) {
    hart::Outcome out;
    if (!reply || !reply->has(kYokogawaWiringAt)) {
        out.fail(hart::text::kReadFailed);
        return out;
    }
    show(out, kYokogawaSensorFields[0], *reply, session);
    out.select("HengHeFS", wireCountTable().itemOf(reply->at(kYokogawaWiringAt)).value_or(-1));
    out.done(hart::text::kReadOk);
    return out;
}

Data writeWireResistance(const Controls& c, Session&) {
    return DataWriter().number(c, "HengHeJXIAN").data();
}

constexpr Field kWireResistance[] = {{11, F::Float, "HengHeJXIAN", 5}};
constexpr FieldDecoder kWireResistanceDecoder{kWireResistance};

// --- E+H

constexpr CodeItem kEhSensorItems[] = {
    {Tr::tr("00-F1-Pt50 GOST(a=0.003911)，"), 0xF1},
    {Tr::tr("01-0C-Pt100 IEC60751(a=0.00385)，"), 0x0C},
    {Tr::tr("02-16-Pt100 JISC1604-81(a=0.003916)，"), 0x16},
    {Tr::tr("03-2A-Pt100 SAMA(a=0.003923)，"), 0x2A},
    {Tr::tr("04-F2-Pt100 GOST(a=0.003911)，"), 0xF2},
    {Tr::tr("05-0D-Pt200 IEC60751(a=0.00385)，"), 0x0D},
    {Tr::tr("06-0E-Pt500 IEC60751(a=0.00385)，"), 0x0E},
    {Tr::tr("07-0F-Pt1000 IEC60751(a=0.00385)，"), 0x0F},
    {Tr::tr("08-48-Ni100 DIN43760(a=0.006180)，"), 0x48},
    {Tr::tr("09-3F-Ni120 DIN43760(a=0.006180)，"), 0x3F},
    {Tr::tr("10-4A-Ni1000 DIN43760(a=0.006180)，"), 0x4A},
    {Tr::tr("11-51-Cu10 Edison(a=0.004271)，"), 0x51},
    {Tr::tr("12-F3-Cu50 GOST(a=0.004278)，"), 0xF3},
    {Tr::tr("13-F4-Cu100 GOST(a=0.004278)，"), 0xF4},
    {Tr::tr("14-83-TC Type B(PtRh30-PtRh6) IEC60584，"), 0x83},
    {Tr::tr("15-84-TC Type C(W5Re-W26Re) ASTM E988，"), 0x84},
    {Tr::tr("16-85-TC Type D(W3Re-W25Re) ASTM E988，"), 0x85},
    {Tr::tr("17-86-TC Type E(NiCr-CuNi) IEC60584，"), 0x86},
    {Tr::tr("18-88-TC Type J(Fe-CuNi) IEC60584，"), 0x88},
    {Tr::tr("19-89-TC Type K(NiCr-Ni) IEC60584，"), 0x89},
    {Tr::tr("20-8E-TC Type L(Fe-CuNi) IEC60584，"), 0x8E},
    {Tr::tr("21-8A-TC Type N(NiCrSi-NiSi) IEC60584，"), 0x8A},
    {Tr::tr("22-8B-TC Type R(PtRh31-Pt) IEC60584，"), 0x8B},
    {Tr::tr("23-8C-TC Type S(PtRh10-Pt) IEC60584，"), 0x8C},
    {Tr::tr("24-8D-TC Type T(Cu-CuNi) IEC60584，"), 0x8D},
    {Tr::tr("25-8F-TC Type U(Cu-CuNi) IEC60584，"), 0x8F},
    {Tr::tr("26-F0-Polynom RTD，"), 0xF0},
    {Tr::tr("27-03-callendar Van-Dusen）"), 0x03},
    {"28-01-10...400 Ohm", 0x01},
    {"29-02-10...2000 Ohm", 0x02},
    {"30-81--20..100mv", 0x81},
    {"31-other", 0xFF},
};
constexpr int kEhOther = 31;
constexpr CodeTable kEhSensor{kEhSensorItems, kEhOther};

constexpr std::string_view kEhReadFailed = Tr::tr("上传失败");
constexpr std::uint8_t kEhAccess = 0xFB;  // follows every coefficient address

// One kind of E+H parameter read and its save.
struct EhKind {
    std::size_t prefix;      // index into Session::ehPrefixes
    std::uint8_t selector1;  // parameter of sensor 1; sensor 2's is 0x10 higher
    std::string_view save;   // the save button a good read enables
    std::string_view what;   // for the read-first message
    FieldDecoder decoder;
};

constexpr Field kEhSensorFields[] = {codeField(13, "EHTEMNX", kEhSensor)};
constexpr Field kEhWiringFields[] = {{13, F::Item, "EHTEMFS", 3}};
constexpr Field kEhOffsetFields[] = {{13, F::Float, "EHPIANYI", 6}};

constexpr EhKind kEhType{0,
                         0x30,
                         "Button57",
                         Tr::tr("传感类型"),
                         {kEhSensorFields, {}, hart::text::kReadOk, kEhReadFailed}};
constexpr EhKind kEhWiring{1,
                           0x31,
                           "Button60",
                           Tr::tr("接线方式"),
                           {kEhWiringFields, {}, hart::text::kReadOk, kEhReadFailed}};
constexpr EhKind kEhOffset{2,
                           0x35,
                           "Button66",
                           Tr::tr("偏移值"),
                           {kEhOffsetFields, {}, hart::text::kReadOk, kEhReadFailed}};

bool sensor1(const Controls& c) {
    return c.index("TempBIAHO") == 0;
}

std::uint8_t selector(const EhKind& kind, const Controls& c) {
    return static_cast<std::uint8_t>(kind.selector1 + (sensor1(c) ? 0 : 0x10));
}

// The save sends back the prefix of the last good read of its kind, so that read must have
// come from the instrument now addressed; zeros or another instrument's bytes would
// address a parameter nobody chose.
DataWriter& prefix(DataWriter& w, const EhKind& kind, const Session& s) {
    const auto& stored = s.ehPrefixes[kind.prefix];
    if (!stored || !stored->device.sameInstrument(s.identity)) {
        return w.refuse(Tr::tr("请先上传") + std::string(kind.what) + "!");
    }
    return w.bytes(stored->bytes);
}

hart::Outcome decodeEh(const EhKind& kind, const std::optional<hart::Reply>& reply,
                       Session& session) {
    hart::Outcome out = decodeFields(kind.decoder, reply, session);
    if (!reply || !holds(*reply, kind.decoder.fields)) return out;
    session.ehPrefixes[kind.prefix] = EhPrefix{session.identity, {reply->at(11), reply->at(12)}};
    out.enable(std::string(kind.save), true);
    return out;
}

hart::Outcome decodeEhType(const std::optional<hart::Reply>& r, Session& s) {
    return decodeEh(kEhType, r, s);
}
hart::Outcome decodeEhWiring(const std::optional<hart::Reply>& r, Session& s) {
    return decodeEh(kEhWiring, r, s);
}
hart::Outcome decodeEhOffset(const std::optional<hart::Reply>& r, Session& s) {
    return decodeEh(kEhOffset, r, s);
}

Data readEhType(const Controls& c, Session&) {
    return DataWriter().byte(selector(kEhType, c)).data();
}
Data readEhWiring(const Controls& c, Session&) {
    return DataWriter().byte(selector(kEhWiring, c)).data();
}
Data readEhOffset(const Controls& c, Session&) {
    return DataWriter().byte(selector(kEhOffset, c)).data();
}

Data writeEhType(const Controls& c, Session& s) {
    DataWriter w;
    return prefix(w, kEhType, s).byte(sensorCode(kEhSensor, c, "EHTEMNX")).data();
}

// The wiring byte is the item index; no item sends 0xFF.
Data writeEhWiring(const Controls& c, Session& s) {
    const int item = c.index("EHTEMFS");
    DataWriter w;
    return prefix(w, kEhWiring, s).byte(item < 0 ? 0xFF : static_cast<std::uint8_t>(item)).data();
}

Data writeEhOffset(const Controls& c, Session& s) {
    DataWriter w;
    return prefix(w, kEhOffset, s).number(c, "EHPIANYI").data();
}

// A coefficient is addressed by the selector base plus the chosen item; with no item there
// is no address to write.
Data writeCoefficient(const Controls& c, std::string_view box, std::uint8_t base1,
                      std::uint8_t base2, int count, std::string_view what,
                      std::string_view value) {
    const int item = c.index(box);
    DataWriter w;
    if (item < 0 || item >= count) return w.refuse(chooseMessage(what)).data();
    const std::uint8_t base = sensor1(c) ? base1 : base2;
    return w.byte(static_cast<std::uint8_t>(base + item)).byte(kEhAccess).number(c, value).data();
}

Data writePolynomial(const Controls& c, Session&) {
    return writeCoefficient(c, "POTMXU", 0x38, 0x48, 5, Tr::tr("Polynom_RTD系数"), "RTDxishu");
}

Data writeCallendar(const Controls& c, Session&) {
    return writeCoefficient(c, "CALL_ALP", 0x60, 0x64, 4, Tr::tr("callendar系数"), "CALL_ALP_XS");
}

constexpr Operation kRows[] = {
    instrumentRequest("Button52", 1131, 131, readYokogawaSensor,
                      customDecoder(decodeYokogawaSensor))
        .startingWith(kReadingWait),
    instrumentRequest("Button53", 1134, 134, writeYokogawaSensor, writeAck()),
    instrumentRequest("Button54", 1170, 170, nullptr, fieldsOf(kWireResistanceDecoder))
        .startingWith(kReadingWait),
    instrumentRequest("Button55", 1171, 171, writeWireResistance, writeAck()).withoutPause(),
    instrumentRequest("Button56", 2145, 144, readEhType, customDecoder(decodeEhType))
        .startingWith(kReadingWait)
        .scannedIn(hart::ScanWindow::FirstEleven),
    instrumentRequest("Button57", 2146, 145, writeEhType, writeAck()),
    instrumentRequest("Button59", 2147, 144, readEhWiring, customDecoder(decodeEhWiring))
        .startingWith(kReadingWait)
        .scannedIn(hart::ScanWindow::FirstEleven),
    instrumentRequest("Button60", 2148, 145, writeEhWiring, writeAck()),
    instrumentRequest("Button65", 2149, 144, readEhOffset, customDecoder(decodeEhOffset))
        .startingWith(kReadingWait)
        .scannedIn(hart::ScanWindow::FirstEleven),
    instrumentRequest("Button66", 2150, 145, writeEhOffset, writeAck()),
    instrumentRequest("Button61", 2152, 145, writePolynomial, writeAck()),
    instrumentRequest("Button62", 2154, 145, writeCallendar, writeAck()),
};

}  // namespace

namespace {

// The saves that send back a read's prefix, and the coefficient saves that need none.
constexpr const EhKind* kPrefixKinds[] = {&kEhType, &kEhWiring, &kEhOffset};
constexpr std::string_view kCoefficientSaves[] = {"Button61", "Button62"};

hart::Outcome ehSaves(bool coefficientSavesEnabled) {
    hart::Outcome out;
    for (const EhKind* kind : kPrefixKinds) out.enable(std::string(kind->save), false);
    for (std::string_view save : kCoefficientSaves) {
        out.enable(std::string(save), coefficientSavesEnabled);
    }
    return out;
}

}  // namespace

hart::Outcome ehSavesAtStartUp() {
    return ehSaves(false);
}

hart::Outcome ehSensorNumberChosen() {
    return ehSaves(true);
}

std::span<const Operation> yokogawaEhOperations() {
    return kRows;
}

std::span<const BoxTable> yokogawaEhBoxes() {
    static const BoxTable boxes[] = {
        {"HengHeTX", &kYokogawaSensor},
        {"HengHeFS", &wireCountTable()},
        {"EHTEMNX", &kEhSensor},
    };
    return boxes;
}

}  // namespace ops
