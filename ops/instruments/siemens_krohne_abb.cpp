// Siemens, Krohne TT50C and ABB TTH200 temperature transmitters.
#include <algorithm>
#include <array>

#include "hart/tr.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using hart::text::kReadOk;
using hart::text::kWriting;
using F = FieldKind;

// The Krohne and ABB reads end without the exclamation mark.
constexpr std::string_view kReadFailedPlain = Tr::tr("上传失败");

// Krohne and ABB boxes without an item, or on an item without a code, send 0x00; the
// instrument judges it.
constexpr std::uint8_t kNothing = 0x00;

// The reads name the sensor in a key byte.
Data keyZero(const Controls&, Session&) {
    return DataWriter().byte(0x00).data();
}

// --- Siemens: one item names sensor type and wiring together.

constexpr CodeItem kSiemensItems[] = {
    {Tr::tr("PT100，A=385  2 WIRE"), 0x01},
    {Tr::tr("PT100，A=385  4 WIRE"), 0x01},
    {Tr::tr("T/C，K  2 WIRE"), 0x84},
    {Tr::tr("T/C，S  2 WIRE"), 0x87},
};
constexpr CodeTable kSiemensSensor{kSiemensItems};
// Wiring code of each item above.
constexpr std::array<std::uint8_t, std::size(kSiemensItems)> kSiemensWiring = {2, 4, 2, 2};
// What the instrument gets when the box has no item.
constexpr std::uint8_t kSiemensNoItemSensor = 0x87;
constexpr std::uint8_t kSiemensNoItemWiring = 2;

Data siemensWrite(const Controls& c, Session&) {
    const int item = c.index("ComboBox7");
    const auto sensor = kSiemensSensor.codeOf(item);
    return DataWriter()
        .byte(0x00)
        .byte(sensor.value_or(kSiemensNoItemSensor))
        .byte(sensor ? kSiemensWiring[static_cast<std::size_t>(item)] : kSiemensNoItemWiring)
        .data();
}

// Byte count 5; the set-up index at r+13 picks the item directly (4: none of the four).
hart::Outcome siemensRead(const std::optional<hart::Reply>& reply, Session&) {
    constexpr std::size_t kSetup = 13;
    constexpr std::uint8_t kSetups = 5;
    hart::Outcome out;
    out.fail(hart::text::kReadFailed);
    const auto count = reply ? reply->get(reply->byteCountOffset()) : std::nullopt;
    if (count != 5 || !reply->has(kSetup) || reply->at(kSetup) >= kSetups) return out;
    const int setup = reply->at(kSetup);
    out.select("ComboBox7", setup < static_cast<int>(kSiemensSensor.items.size()) ? setup : -1);
    out.done(kReadOk);
    return out;
}

// --- Krohne TT50C

constexpr CodeItem kKrohneSensorItems[] = {
    {Tr::tr("00 无"), kNoCode},  // sends 0x00 but is never read back
    {"01-01 PT100, a=385", 0x01},
    {"02-02 PT1000,a=385", 0x02},
    {"03-03 D100, a=392", 0x03},
    {"04-04 PTx, a=385 ", 0x04},
    {"05_10 Ni100", 0x10},
    {"06_11 Ni1000", 0x11},
    {"07_80 T/C typ B", 0x80},
    {"08_81 T/C typ E", 0x81},
    {"09_82 T/C typ J", 0x82},
    {"0A_83 /T/C typ K", 0x83},
    {"0B_84 T/C typ DIN L ", 0x84},
    {"0C_85 T/C typ N", 0x85},
    {"0D_86 T/C typ R", 0x86},
    {"0E_87 T/C typ S", 0x87},
    {"0F_88 T/C typ T", 0x88},
    {"10_89 T/C typ DIN U", 0x89},
    {"11_8A T/C typ A/E", 0x8A},
    {"12_A0 T/C typ X", 0xA0},
    {"13_other", kNoCode},
    {"", kNoCode},
    {"", kNoCode},
    {"", kNoCode},
    {"", kNoCode},
    {"", kNoCode},
    {"", kNoCode},
};
// Every unlisted code, 0x00 included, reads as "13_other".
constexpr CodeTable kKrohneSensor{kKrohneSensorItems, 19, 0x00};

constexpr CodeItem kKrohneWiringItems[] = {
    {Tr::tr("00 无"), 0x00},     {Tr::tr("02 二线制"), 0x02}, {Tr::tr("03 三线制"), 0x03},
    {Tr::tr("04 四线制"), 0x04}, {"05 Differential", 0x05},   {"10 SmartSense", 0x10},
};
constexpr CodeTable kKrohneWiring{kKrohneWiringItems, 0};

constexpr std::size_t kTailAt = 13;

// The write sends back the configuration tail of the last read: without a read of this
// instrument it would overwrite the instrument's configuration with other bytes.
Data krohneWrite(const Controls& c, Session& s) {
    if (!s.tt50cTail || !s.tt50cTail->device.sameInstrument(s.identity)) {
        Data d = DataWriter().refuse(Tr::tr("请先上传科隆TT50C的配置,再下传!")).data();
        d.refusalIsError = false;
        return d;
    }
    return DataWriter()
        .byte(kKrohneSensor.codeOf(c.index("TT50NEXING")).value_or(kNothing))
        .byte(kKrohneWiring.codeOf(c.index("TT50WAR")).value_or(kNothing))
        .bytes(s.tt50cTail->bytes)
        .data();
}

constexpr Field kKrohneFields[] = {
    codeField(11, "TT50NEXING", kKrohneSensor),
    codeField(12, "TT50WAR", kKrohneWiring),
};
constexpr FieldDecoder kKrohneRead{.fields = kKrohneFields, .failText = kReadFailedPlain};

hart::Outcome krohneRead(const std::optional<hart::Reply>& reply, Session& s) {
    Tt50cTail tail{s.identity, {}};
    // The tail must have arrived whole: the next write sends it back.
    const bool whole = reply && reply->has(kTailAt, tail.bytes.size());
    const hart::Outcome out = decodeFields(kKrohneRead, whole ? reply : std::nullopt, s);
    if (whole) {
        const auto bytes = reply->bytes(kTailAt, tail.bytes.size());
        std::copy(bytes.begin(), bytes.end(), tail.bytes.begin());
        s.tt50cTail = tail;
    }
    return out;
}

// --- ABB TTH200

constexpr CodeItem kAbbSensorItems[] = {
    {Tr::tr("00 无"), kNoCode},  // sends 0x00; code 0x00 reads as "37_Other"
    {"01-01 0..500ohm", 0x01},
    {"02-02 0..5000ohm", 0x02},
    {"03-0B PT50", 0x0B},
    {Tr::tr("04_0C 无"), 0x0C},
    {"05_0D PT100(IEC751)", 0x0D},
    {"06_0E PT500(IEC751)", 0x0E},
    {"07_0F PT1000(IEC751)", 0x0F},
    {"08_15 PT50(JIS1604)", 0x15},
    {"09_16 PT100(JIS1604)", 0x16},
    {"10_1F PT50(MIL24388)", 0x1F},
    {"11_20 PT100(MIL24388)", 0x20},
    {"12_21 PT200(MIL24388)", 0x21},
    {"13_23 PT1000(MIL24388)", 0x23},
    {"14_47 NI50(DIN43760)", 0x47},
    {"15_48 NI100(DIN43760)", 0x48},
    {"16_49 NI120(DIN43760)", 0x49},
    {"17_4A NI1000(DIN43760)", 0x4A},
    {"18_51 CU10 a=4270", 0x51},
    {"19_52 CU100 a=4270", 0x52},
    {"20_64 Pt10(IEC751) ", 0x64},
    {"21_67 PT10(JIS1604)", 0x67},
    {"22_6A PT10(MIL24388)", 0x6A},
    {"23_81 -125..125mv", 0x81},
    {"24_82 -125..1200mv", 0x82},
    {"25_83 TC type B(IEC584)", 0x83},
    {"26_84 TC type C(ASTME988)", 0x84},
    {"27_85 TC type D(ASTME988)", 0x85},
    {"28_86 TC type E(ICE584)", 0x86},
    {"29_88 TC type J(ICE584)", 0x88},
    {"30_89 TC type K(ICE584)", 0x89},
    {"31_8A TC type N(ICE584)", 0x8A},
    {"32_8B TC type R(ICE584)", 0x8B},
    {"33_8C TC type S(ICE584)", 0x8C},
    {"34_8D TC type T(ICE584)", 0x8D},
    {"35_8E TC type L(DIN4710)", 0x8E},
    {"36_8F TC type U(DIN4710)", 0x8F},
    {"37_Other", 0x00},
};
constexpr CodeTable kAbbSensor{kAbbSensorItems};

constexpr CodeItem kAbbWiringItems[] = {
    {Tr::tr("00 无"), 0x00},     {Tr::tr("01 无"), kNoCode},  {Tr::tr("02 二线制"), 0x02},
    {Tr::tr("03 三线制"), 0x03}, {Tr::tr("04 四线制"), 0x04},
};
// Codes other than 2, 3 and 4 read as "00 无".
constexpr CodeTable kAbbWiring{kAbbWiringItems, 0};

Data abbWrite(const Controls& c, Session&) {
    return DataWriter()
        .byte(0x00)
        .byte(kAbbSensor.codeOf(c.index("ABBTTH200NEIXING")).value_or(kNothing))
        .byte(kAbbWiring.codeOf(c.index("ABBTTH200WAY")).value_or(kNothing))
        .data();
}

constexpr Field kAbbFields[] = {
    codeField(12, "ABBTTH200NEIXING", kAbbSensor),
    codeField(13, "ABBTTH200WAY", kAbbWiring),
};
constexpr FieldDecoder kAbbRead{.fields = kAbbFields, .failText = kReadFailedPlain};

// An unlisted sensor code clears the sensor box rather than leaving an item that the
// instrument no longer has.
hart::Outcome abbRead(const std::optional<hart::Reply>& reply, Session& s) {
    hart::Outcome out = decodeFields(kAbbRead, reply, s);
    if (out.status == kReadOk && !kAbbSensor.itemOf(reply->at(kAbbFields[0].offset))) {
        out.select(std::string(kAbbFields[0].control), -1);
    }
    return out;
}

// The TT50C answers a setting it cannot take with code 12.
constexpr hart::AckRow kKrohneWrongSetting = {12, Tr::tr("写入失败!设置参数不对")};

constexpr Operation kRows[] = {
    instrumentRequest("Button2", 140, 140, keyZero, customDecoder(siemensRead)),
    instrumentRequest("Button11", 141, 141, siemensWrite, writeAck()),
    instrumentRequest("Button63", 521, 130, nullptr, customDecoder(krohneRead))
        .scannedIn(hart::ScanWindow::FirstElevenCount14),
    instrumentRequest("Button64", 523, 131, krohneWrite, writeAck(nullptr, &kKrohneWrongSetting)),
    instrumentRequest("Button68", 525, 190, keyZero, customDecoder(abbRead))
        .scannedIn(hart::ScanWindow::FirstElevenCount6),
    instrumentRequest("Button67", 526, 195, abbWrite, writeAck()),
};

constexpr BoxTable kBoxes[] = {
    {"ComboBox7", &kSiemensSensor},    {"TT50NEXING", &kKrohneSensor}, {"TT50WAR", &kKrohneWiring},
    {"ABBTTH200NEIXING", &kAbbSensor}, {"ABBTTH200WAY", &kAbbWiring},
};

}  // namespace

std::span<const Operation> siemensKrohneAbbOperations() {
    return kRows;
}

std::span<const BoxTable> siemensKrohneAbbBoxes() {
    return kBoxes;
}

}  // namespace ops
