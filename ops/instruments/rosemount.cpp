// Rosemount temperature transmitters: 644, 848T and 644RK.
#include "hart/tr.h"
#include "ops/groups.h"
#include "ops/instruments/temperature.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using F = FieldKind;

// Shared by the 644 and 848T sensor boxes; the leading number of a text is only its position.
constexpr CodeItem kSensorItems[] = {
    {"0_PT50  a=391", 0x0E},
    {"1_PT100  a=385", 0x01},
    {"2_PT100  a=391", 0x0F},
    {"3_PT100  a=3916", 0x02},
    {"4_PT200  a=385", 0x03},
    {"5_PT200  a=3916", 0x10},
    {"6_PT500  a=385", 0x04},
    {"7_Ni120", 0x05},
    {"8_Cu10", 0x06},
    {"9_Cu50,a=426", 0x0A},
    {"10_Cu50,a=428", 0x0B},
    {"11_Cu100 a=426", 0x0C},
    {"12_Cu100 a=428", 0x0D},
    {"13_PT1000 a=385", 0x07},
    {"14_Cal vanDusen", 0x08},
    {"15_Ohms", 0x00},
    {"16_Millivolts", 0x80},
    {"17_T/C typ B", 0x81},
    {"18_T/C typ E", 0x82},
    {"19_T/C typ J", 0x83},
    {"20_T/C typ K", 0x84},
    {"21_T/C typ N", 0x85},
    {"22_T/C typ R", 0x86},
    {"23_T/C typ S", 0x87},
    {"24_T/C typ T", 0x88},
    {"25_T/C  ty DIN L", 0x89},
    {"26_T/C  ty DIN U", 0x8C},
    {"27_T/C typ W5Re26                  ", 0x8D},
    {"28_T/C typ GOSTL    ", 0x8F},
};
constexpr CodeTable kSensor{kSensorItems};

constexpr CodeItem kWiringItems[] = {
    {Tr::tr("2线制"), 2}, {Tr::tr("3线制"), 3}, {Tr::tr("4线制"), 4}};
constexpr CodeTable kWiring{kWiringItems};

constexpr CodeItem kChannelItems[] = {
    {Tr::tr("通道1"), 1}, {Tr::tr("通道2"), 2}, {Tr::tr("通道3"), 3}, {Tr::tr("通道4"), 4}};
constexpr CodeTable kChannel{kChannelItems};

constexpr CodeItem kUnitItems[] = {{"degc", 32}, {"degf", 33}, {"degr", 34}, {"kelvin", 35}};
constexpr CodeTable kUnit{kUnitItems};

// The 644RK's last items stand for every code the lists do not name.
constexpr CodeItem kRkSensorItems[] = {
    {"0_PT100 IEC-751", 0x0C},   {"1_PT200 IEC-751", 0x0D},   {"2_PT500 IEC-751", 0x0E},
    {"3_PT100 JISC 1604", 0x16}, {"4_PT200 JISC 1604", 0x17}, {"5_T/C typ B", 0x83},
    {"6_T/C typ E", 0x86},       {"7_T/C typ J", 0x88},       {"8_T/C typ K", 0x89},
    {"9_other", 0x00},
};
constexpr CodeTable kRkSensor{kRkSensorItems, 9};

constexpr CodeItem kRkWiringItems[] = {
    kWiringItems[0], kWiringItems[1], kWiringItems[2], {"other", 0x00}};
constexpr CodeTable kRkWiring{kRkWiringItems, 3};

constexpr BoxTable kBoxes[] = {
    {"ComboBox17", &kSensor},   {"ComboBox21", &kSensor},   {"ComboBox18", &kWiring},
    {"ComboBox20", &kWiring},   {"ComboBox19", &kChannel},  {"ComboBox22", &kUnit},
    {"ComboBox36", &kRkSensor}, {"ComboBox35", &kRkWiring},
};

constexpr std::string_view kSensorWhat = Tr::tr("传感器类型");
constexpr std::string_view kWiringWhat = Tr::tr("接线方式");

// Typed text in the channel box addresses channel 0; the instrument answers for it.
std::uint8_t channel(const Controls& c) {
    return kChannel.codeOf(c.index("ComboBox19")).value_or(0);
}

Data read644(const Controls&, Session&) {
    return DataWriter().byte(0x00).data();
}

Data write644(const Controls& c, Session&) {
    return DataWriter()
        .byte(0x00)
        .item(c, "ComboBox17", kSensor, kSensorWhat)
        .item(c, "ComboBox18", kWiring, kWiringWhat)
        .data();
}

Data read848(const Controls& c, Session&) {
    return DataWriter().byte(channel(c)).data();
}

Data write848(const Controls& c, Session&) {
    return DataWriter()
        .byte(channel(c))
        .item(c, "ComboBox21", kSensor, kSensorWhat)
        .item(c, "ComboBox20", kWiring, kWiringWhat)
        .data();
}

Data write848Unit(const Controls& c, Session&) {
    return DataWriter().byte(channel(c)).item(c, "ComboBox22", kUnit, Tr::tr("温度单位")).data();
}

// Extended command 31: 04 01 reads the sensor set-up, 04 80 writes it.
constexpr std::uint8_t kRkRead[] = {0x04, 0x01, 0x00};
constexpr std::uint8_t kRkWrite[] = {0x04, 0x80, 0x00};

Data readRk(const Controls&, Session&) {
    return DataWriter().bytes(kRkRead).data();
}

Data writeRk(const Controls& c, Session&) {
    return DataWriter()
        .bytes(kRkWrite)
        .item(c, "ComboBox36", kRkSensor, kSensorWhat)
        .item(c, "ComboBox35", kRkWiring, kWiringWhat)
        .data();
}

constexpr Field k644Fields[] = {codeField(12, "ComboBox17", kSensor),
                                codeField(13, "ComboBox18", kWiring)};
constexpr FieldDecoder k644Decoder{k644Fields};

constexpr Field k848Fields[] = {codeField(12, "ComboBox21", kSensor),
                                codeField(13, "ComboBox20", kWiring)};
constexpr FieldDecoder k848Decoder{k848Fields};

constexpr Field kRkFields[] = {codeField(14, "ComboBox36", kRkSensor),
                               codeField(15, "ComboBox35", kRkWiring)};
constexpr FieldDecoder kRkDecoder{kRkFields};

// Reads start with the writing text too.
constexpr Operation kRows[] = {
    instrumentRequest("Button35", 1140, 140, read644, fieldsOf(k644Decoder)),
    instrumentRequest("Button36", 1145, 141, write644, writeAck()),
    instrumentRequest("Button41", 1160, 160, read848, fieldsOf(k848Decoder)),
    instrumentRequest("Button40", 1155, 155, write848, writeAck()),
    instrumentRequest("Button43", 1153, 53, write848Unit, writeAck()),
    instrumentRequest("Button70", 1181, 31, readRk, fieldsOf(kRkDecoder))
        .scannedIn(hart::ScanWindow::Command31Count13),
    instrumentRequest("Button69", 1182, 31, writeRk, writeAck()),
};

}  // namespace

const CodeTable& wireCountTable() {
    return kWiring;
}

std::span<const Operation> rosemountOperations() {
    return kRows;
}

std::span<const BoxTable> rosemountBoxes() {
    return kBoxes;
}

}  // namespace ops
