#include "ui/items.h"

namespace ui::items {
namespace {

constexpr const char* kMasterRoleItems[] = {"HART_modem 主设备用", "HART_modem 副主设备用"};
constexpr const char* kTransferFunctionItems[] = {"线性", "开方"};
constexpr const char* kBurstCommandItems[] = {"1", "2", "3"};
constexpr const char* kWiringItems[] = {"2线制", "3线制", "4线制"};
constexpr const char* k848tChannelItems[] = {"通道1", "通道2", "通道3", "通道4"};
constexpr const char* k848tUnitItems[] = {"degc", "degf", "degr", "kelvin"};
constexpr const char* k644rkWiringItems[] = {"2线制", "3线制", "4线制", "other"};
constexpr const char* kEhSensorNumberItems[] = {"传感编号1", "传感编号2"};
constexpr const char* kEhWiringItems[] = {"00_2 line", "01_3line", "04_4line"};
constexpr const char* kEhPolynomialItems[] = {"设置系数X0", "设置系数X1", "设置系数X2",
                                              "设置系数X3", "设置系数X4"};
constexpr const char* kEhCallendarItems[] = {"设置计数系数A", "设置计数系数B", "设置计数系数C",
                                             "设置计数系数R0"};
constexpr const char* kOffOnItems[] = {"OFF", "ON"};

// Sensor tables of the temperature transmitters. Several texts end in blanks or in a
// full-width mark; they are kept exactly as the instruments' tools show them.
constexpr const char* kRosemountSensorItems[] = {
    "0_PT50  a=391",
    "1_PT100  a=385",
    "2_PT100  a=391",
    "3_PT100  a=3916",
    "4_PT200  a=385",
    "5_PT200  a=3916",
    "6_PT500  a=385",
    "7_Ni120",
    "8_Cu10",
    "9_Cu50,a=426",
    "10_Cu50,a=428",
    "11_Cu100 a=426",
    "12_Cu100 a=428",
    "13_PT1000 a=385",
    "14_Cal vanDusen",
    "15_Ohms",
    "16_Millivolts",
    "17_T/C typ B",
    "18_T/C typ E",
    "19_T/C typ J",
    "20_T/C typ K",
    "21_T/C typ N",
    "22_T/C typ R",
    "23_T/C typ S",
    "24_T/C typ T",
    "25_T/C  ty DIN L",
    "26_T/C  ty DIN U",
    "27_T/C typ W5Re26                  ",
    "28_T/C typ GOSTL    ",
};
constexpr const char* k644rkSensorItems[] = {
    "0_PT100 IEC-751",   "1_PT200 IEC-751", "2_PT500 IEC-751", "3_PT100 JISC 1604",
    "4_PT200 JISC 1604", "5_T/C typ B",     "6_T/C typ E",     "7_T/C typ J",
    "8_T/C typ K",       "9_other",
};
constexpr const char* kYokogawaSensorItems[] = {
    "00-0C-Pt100 IEC 751",        "01-0D-Pt200 IEC 751",      "02-0E-Pt500 IEC 751",
    "03-0F-Pt1000 IEC 751",       "04-16-Pt100 JIS C1604-81", "05-49-Ni120 DIN 43760",
    "06-5B-Cu10 SAMA RC21-4",     "07-83-T/C Type B IEC 584", "08-86-T/C Type E IEC 584",
    "09-88-T/C Type J IEC 584",   "10-89-T/C Type K IEC 584", "11-8A-T/C Type N IEC 584",
    "12-8B-T/C Type R IEC 584",   "13-8C-T/C Type S IEC 584", "14-8D-T/C Type T IEC 584",
    "15-85-T/C Type W3",          "16-84-T/C Type C(W5)",     "17-8E-T/C Type L DIN 43710",
    "18-8F-T/C Type U DIN 43710", "19-F0-T/C User table",     "20-01-Ohms",
    "21-81-Millivolts",           "22-FB-No connection",      "23-other",
};
constexpr const char* kEhSensorItems[] = {
    "00-F1-Pt50 GOST(a=0.003911)，",
    "01-0C-Pt100 IEC60751(a=0.00385)，",
    "02-16-Pt100 JISC1604-81(a=0.003916)，",
    "03-2A-Pt100 SAMA(a=0.003923)，",
    "04-F2-Pt100 GOST(a=0.003911)，",
    "05-0D-Pt200 IEC60751(a=0.00385)，",
    "06-0E-Pt500 IEC60751(a=0.00385)，",
    "07-0F-Pt1000 IEC60751(a=0.00385)，",
    "08-48-Ni100 DIN43760(a=0.006180)，",
    "09-3F-Ni120 DIN43760(a=0.006180)，",
    "10-4A-Ni1000 DIN43760(a=0.006180)，",
    "11-51-Cu10 Edison(a=0.004271)，",
    "12-F3-Cu50 GOST(a=0.004278)，",
    "13-F4-Cu100 GOST(a=0.004278)，",
    "14-83-TC Type B(PtRh30-PtRh6) IEC60584，",
    "15-84-TC Type C(W5Re-W26Re) ASTM E988，",
    "16-85-TC Type D(W3Re-W25Re) ASTM E988，",
    "17-86-TC Type E(NiCr-CuNi) IEC60584，",
    "18-88-TC Type J(Fe-CuNi) IEC60584，",
    "19-89-TC Type K(NiCr-Ni) IEC60584，",
    "20-8E-TC Type L(Fe-CuNi) IEC60584，",
    "21-8A-TC Type N(NiCrSi-NiSi) IEC60584，",
    "22-8B-TC Type R(PtRh31-Pt) IEC60584，",
    "23-8C-TC Type S(PtRh10-Pt) IEC60584，",
    "24-8D-TC Type T(Cu-CuNi) IEC60584，",
    "25-8F-TC Type U(Cu-CuNi) IEC60584，",
    "26-F0-Polynom RTD，",
    "27-03-callendar Van-Dusen）",
    "28-01-10...400 Ohm",
    "29-02-10...2000 Ohm",
    "30-81--20..100mv",
    "31-other",
};

}  // namespace

const List kMasterRole = kMasterRoleItems;
const List kTransferFunction = kTransferFunctionItems;
const List kBurstCommand = kBurstCommandItems;
const List kRosemountSensor = kRosemountSensorItems;
const List kWiring = kWiringItems;
const List k848tChannel = k848tChannelItems;
const List k848tUnit = k848tUnitItems;
const List k644rkSensor = k644rkSensorItems;
const List k644rkWiring = k644rkWiringItems;
const List kYokogawaSensor = kYokogawaSensorItems;
const List kEhSensorNumber = kEhSensorNumberItems;
const List kEhSensor = kEhSensorItems;
const List kEhWiring = kEhWiringItems;
const List kEhPolynomial = kEhPolynomialItems;
const List kEhCallendar = kEhCallendarItems;
const List kOffOn = kOffOnItems;

}  // namespace ui::items
