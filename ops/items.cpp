#include "ops/items.h"

#include <array>
#include <string>

#include "hart/tr.h"
#include "hart/units.h"
#include "ops/code_table.h"

namespace ops::items {

using hart::Tr;
namespace {

constexpr const char* kMasterRoleItems[] = {Tr::tr("HART_modem 主设备用"),
                                            Tr::tr("HART_modem 副主设备用")};
constexpr const char* kTransferFunctionItems[] = {Tr::tr("线性"), Tr::tr("开方")};
constexpr const char* kBurstCommandItems[] = {"1", "2", "3"};
constexpr const char* kEhSensorNumberItems[] = {Tr::tr("传感编号1"), Tr::tr("传感编号2")};
constexpr const char* kEhWiringItems[] = {"00_2 line", "01_3line", "04_4line"};
constexpr const char* kEhPolynomialItems[] = {Tr::tr("设置系数X0"), Tr::tr("设置系数X1"),
                                              Tr::tr("设置系数X2"), Tr::tr("设置系数X3"),
                                              Tr::tr("设置系数X4")};
constexpr const char* kEhCallendarItems[] = {Tr::tr("设置计数系数A"), Tr::tr("设置计数系数B"),
                                             Tr::tr("设置计数系数C"), Tr::tr("设置计数系数R0")};
constexpr const char* kOffOnItems[] = {"OFF", "ON"};
// Off and on as the wired loop knows them first, then the WirelessHART data link layers.
constexpr const char* kBurstModeItems[] = {"OFF", "ON", "ON (TDMA)", "ON (TDMA+CSMA)", "ON (CSMA)"};
constexpr const char* kBurstTriggerItems[] = {"Continuous", "Window", "Rising", "Falling",
                                              "On-change"};

}  // namespace

const List kMasterRole = kMasterRoleItems;
const List kTransferFunction = kTransferFunctionItems;
const List kBurstCommand = kBurstCommandItems;
const List kEhSensorNumber = kEhSensorNumberItems;
const List kEhWiring = kEhWiringItems;
const List kEhPolynomial = kEhPolynomialItems;
const List kEhCallendar = kEhCallendarItems;
const List kOffOn = kOffOnItems;
const List kBurstMode = kBurstModeItems;
const List kBurstTrigger = kBurstTriggerItems;

}  // namespace ops::items

namespace ops {
namespace {

constexpr std::array<std::string_view, 16> kAddresses = {
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15"};

struct ListBox {
    std::string_view box;
    const items::List* list;
};
const ListBox kListBoxes[] = {
    {"ComboBox8", &items::kMasterRole},      {"ComboBox2", &items::kTransferFunction},
    {"ComboBox11", &items::kBurstCommand},   {"TempBIAHO", &items::kEhSensorNumber},
    {"EHTEMFS", &items::kEhWiring},          {"POTMXU", &items::kEhPolynomial},
    {"CALL_ALP", &items::kEhCallendar},      {"ComboBox27", &items::kOffOn},
    {"ComboBox28", &items::kOffOn},          {"ComboBox29", &items::kOffOn},
    {"ComboBox30", &items::kOffOn},          {"ComboBox31", &items::kOffOn},
    {"ComboBox32", &items::kOffOn},          {"ComboBox33", &items::kOffOn},
    {"ComboBox34", &items::kOffOn},          {"LoopCurrentModeBox", &items::kOffOn},
    {"BurstControlBox", &items::kBurstMode}, {"BurstTriggerModeBox", &items::kBurstTrigger},
};

}  // namespace

std::vector<std::string_view> boxItems(std::string_view box) {
    if (box == "ComboBox9" || box == "ComboBox3") return {kAddresses.begin(), kAddresses.end()};
    const bool numbered =
        box == "ComboBox5" || box == "ComboBox15" || box == "ComboBox16" || box == "ComboBox6";
    const bool plain = box == "ComboBox1" || box == "ComboBox10" || box == "VariableUnitBox" ||
                       box == "BurstTriggerUnitBox";
    if (numbered || plain) {
        std::vector<std::string_view> units;
        for (const hart::UnitRow& row : hart::unitTable()) {
            units.push_back(numbered ? row.numbered : row.plain);
        }
        return units;
    }
    for (const BoxTable& t : boxTables()) {
        if (t.box != box) continue;
        std::vector<std::string_view> texts;
        for (const CodeItem& item : t.table->items) texts.push_back(item.text);
        return texts;
    }
    for (const ListBox& l : kListBoxes) {
        if (l.box == box) return {l.list->begin(), l.list->end()};
    }
    return {};
}

}  // namespace ops
