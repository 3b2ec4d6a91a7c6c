#include "cli/names.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "hart/tr.h"
#include "ops/hart7.h"

namespace cli {

using hart::Tr;
namespace {

using K = ArgKind;

// --- values of each command

constexpr Arg kRawArgs[] = {{"HEX", "Edit8"}};
constexpr Arg kUnitArgs[] = {{"UNIT", "ComboBox1", K::Item}};
constexpr Arg kRangeArgs[] = {
    {"UNIT", "ComboBox1", K::Item}, {"UPPER", "Edit14"}, {"LOWER", "Edit15"}};
constexpr Arg kDampingArgs[] = {{"SECONDS", "Edit16"}};
constexpr Arg kTransferArgs[] = {{"FUNCTION", "ComboBox2", K::Item}};
constexpr Arg kMessageArgs[] = {{"MESSAGE", "Edit21"}};
constexpr Arg kTagArgs[] = {
    {"TAG", "Edit22"},
    {"DESCRIPTOR", "Edit23"},
    {"YYYY-MM-DD", "Edit24", K::Date, "Edit25", "Edit29"},
};
constexpr Arg kAssemblyArgs[] = {{"NUMBER", "Edit26"}};
constexpr Arg kSerialArgs[] = {{"NUMBER", "Edit28"}};
constexpr Arg kPollingAddressArgs[] = {{"ADDRESS", "ComboBox3", K::Item}};
constexpr Arg kFixedCurrentArgs[] = {{"MA", "Edit7"}};
constexpr Arg kGainArgs[] = {{"MA", "Edit9"}};
constexpr Arg kZeroArgs[] = {{"MA", "Edit10"}};
constexpr Arg kLowPointArgs[] = {{"VALUE", "Edit13"}};
constexpr Arg kHighPointArgs[] = {{"VALUE", "Edit19"}};
constexpr Arg kBurstCommandArgs[] = {{"COMMAND", "ComboBox11", K::Item}};

constexpr Arg k644Args[] = {{"SENSOR", "ComboBox17", K::Item}, {"WIRING", "ComboBox18", K::Item}};
constexpr Arg k848ReadArgs[] = {{"CHANNEL", "ComboBox19", K::Item}};
constexpr Arg k848Args[] = {{"CHANNEL", "ComboBox19", K::Item},
                            {"SENSOR", "ComboBox21", K::Item},
                            {"WIRING", "ComboBox20", K::Item}};
constexpr Arg k848UnitArgs[] = {{"CHANNEL", "ComboBox19", K::Item},
                                {"UNIT", "ComboBox22", K::Item}};
constexpr Arg kRkArgs[] = {{"SENSOR", "ComboBox36", K::Item}, {"WIRING", "ComboBox35", K::Item}};
constexpr Arg kYokogawaArgs[] = {{"SENSOR", "HengHeTX", K::Item}, {"WIRING", "HengHeFS", K::Item}};
constexpr Arg kWireResistanceArgs[] = {{"OHM", "HengHeJXIAN"}};
constexpr Arg kEhSensorArgs[] = {{"SENSOR-NUMBER", "TempBIAHO", K::Item}};
constexpr Arg kEhTypeArgs[] = {{"SENSOR-NUMBER", "TempBIAHO", K::Item},
                               {"TYPE", "EHTEMNX", K::Item}};
constexpr Arg kEhWiringArgs[] = {{"SENSOR-NUMBER", "TempBIAHO", K::Item},
                                 {"WIRING", "EHTEMFS", K::Item}};
constexpr Arg kEhOffsetArgs[] = {{"SENSOR-NUMBER", "TempBIAHO", K::Item}, {"OFFSET", "EHPIANYI"}};
constexpr Arg kEhPolynomialArgs[] = {{"SENSOR-NUMBER", "TempBIAHO", K::Item},
                                     {"COEFFICIENT", "POTMXU", K::Item},
                                     {"VALUE", "RTDxishu"}};
constexpr Arg kEhCallendarArgs[] = {{"SENSOR-NUMBER", "TempBIAHO", K::Item},
                                    {"COEFFICIENT", "CALL_ALP", K::Item},
                                    {"VALUE", "CALL_ALP_XS"}};
constexpr Arg kSiemensArgs[] = {{"SENSOR", "ComboBox7", K::Item}};
constexpr Arg kTt50cArgs[] = {{"SENSOR", "TT50NEXING", K::Item}, {"WIRING", "TT50WAR", K::Item}};
constexpr Arg kTth200Args[] = {{"SENSOR", "ABBTTH200NEIXING", K::Item},
                               {"WIRING", "ABBTTH200WAY", K::Item}};
constexpr Arg kMappingArgs[] = {{"VARIABLE1", "ComboBox23", K::Item},
                                {"VARIABLE2", "ComboBox24", K::Item},
                                {"VARIABLE3", "ComboBox25", K::Item},
                                {"VARIABLE4", "ComboBox26", K::Item}};
constexpr Arg kDisplayArgs[] = {
    {"DIFFERENTIAL", "ComboBox27", K::Item}, {"ABSOLUTE", "ComboBox28", K::Item},
    {"GAGE", "ComboBox29", K::Item},         {"OUTPUT", "ComboBox30", K::Item},
    {"MODULE-TEMP", "ComboBox31", K::Item},  {"PROCESS-TEMP", "ComboBox32", K::Item},
    {"TOTALIZER", "ComboBox33", K::Item},    {"FLOW", "ComboBox34", K::Item}};
constexpr Arg kEjaDisplayArgs[] = {{"LINE1", "EJAXIANS1", K::Item},
                                   {"LINE2", "EJAXIANS2", K::Item},
                                   {"LINE3", "EJAXIANS3", K::Item},
                                   {"LINE4", "EJAXIANS4", K::Item}};
constexpr Arg kCutOffArgs[] = {{"PERCENT", "EJAlingdian"}};

// The HART 7 page.
constexpr Arg kLongTagArgs[] = {{"TEXT", "LongTagEdit"}};
constexpr Arg kFindLongTagArgs[] = {{"TEXT", "FindLongTagEdit"}};
constexpr Arg kFindTagArgs[] = {{"TAG", "FindTagEdit"}};
constexpr Arg kCodesArgs[] = {{"CODE", "DeviceVariableCodesEdit"}};
constexpr Arg kVariableArgs[] = {{"CODE", "VariableCodeEdit"}};
constexpr Arg kVariableUnitArgs[] = {{"CODE", "VariableCodeEdit"},
                                     {"UNIT", "VariableUnitBox", K::Item}};
constexpr Arg kVariableDampingArgs[] = {{"CODE", "VariableCodeEdit"},
                                        {"SECONDS", "VariableDampingEdit"}};
constexpr Arg kMapping7Args[] = {{"PV", "MappingPvEdit"},
                                 {"SV", "MappingSvEdit"},
                                 {"TV", "MappingTvEdit"},
                                 {"QV", "MappingQvEdit"}};
constexpr Arg kAddressModeArgs[] = {{"ADDRESS", "PollingAddress63Edit"},
                                    {"LOOP-CURRENT", "LoopCurrentModeBox", K::Item}};
constexpr Arg kPreamblesArgs[] = {{"COUNT", "ResponsePreamblesEdit"}};
constexpr Arg kCountryArgs[] = {{"CODE", "CountryCodeEdit"}};
constexpr Arg kProcessUnitTagArgs[] = {{"TEXT", "ProcessUnitTagEdit"}};
constexpr Arg kBurstMessageArgs[] = {{"MESSAGE", "BurstMessageEdit"}};
constexpr Arg kBurstPeriodArgs[] = {{"MESSAGE", "BurstMessageEdit"},
                                    {"UPDATE-S", "BurstUpdatePeriodEdit"},
                                    {"MAX-S", "BurstMaxPeriodEdit"}};
constexpr Arg kBurstTriggerArgs[] = {{"MESSAGE", "BurstMessageEdit"},
                                     {"MODE", "BurstTriggerModeBox", K::Item},
                                     {"CLASS", "BurstTriggerClassEdit"},
                                     {"UNIT", "BurstTriggerUnitBox", K::Item},
                                     {"LEVEL", "BurstTriggerLevelEdit"}};
constexpr Arg kBurstVariablesArgs[] = {{"MESSAGE", "BurstMessageEdit"},
                                       {"CODE", "BurstVariablesEdit"}};
constexpr Arg kBurstCommand7Args[] = {{"MESSAGE", "BurstMessageEdit"},
                                      {"COMMAND", "BurstCommandEdit"}};
constexpr Arg kBurstControlArgs[] = {{"MESSAGE", "BurstMessageEdit"},
                                     {"MODE", "BurstControlBox", K::Item}};
constexpr Preset kSiUnitsOnly[] = {{"SiUnitsOnlyCheck", true}};
constexpr Preset kAnyUnits[] = {{"SiUnitsOnlyCheck", false}};

// --- reads a row needs first

constexpr std::string_view kUnitFirst[] = {"Button4"};
constexpr std::string_view kEhTypeFirst[] = {"Button56"};
constexpr std::string_view kEhWiringFirst[] = {"Button59"};
constexpr std::string_view kEhOffsetFirst[] = {"Button65"};
constexpr std::string_view kTt50cFirst[] = {"Button63"};

constexpr Preset kTypedCurrent[] = {{"RadioButton6", true}};
constexpr Preset kLeaveFixedCurrent[] = {{"RadioButton7", true}};

constexpr Command kCommands[] = {
    // Finding the instrument, and the console.
    {"poll", "Button3", "identity of the instrument at --address (command 0)"},
    {"scan", "Button16", "identity of the first instrument at addresses 0 to 15"},
    {"raw",
     "Button17",
     "send a typed frame (\"02 80 00 00\"); prints the reply bytes",
     kRawArgs,
     {},
     {},
     true},
    {"read-serial", "Button7", "sensor serial number (command 0)"},
    {"read-more-status", "ReadMoreStatusButton", "additional device status in hex (command 48)"},
    // Live values, range and units.
    {"read-current", "Button34", "loop current and percent of range (command 2)"},
    {"read-variables", "Button4", "dynamic variables and units (command 3)"},
    {"read-sensor-limits", "Button5", "sensor limits and unit (command 14)"},
    {"read-range", "Button13", "range, unit, damping, transfer function (command 15)"},
    {"write-unit", "Button8", "primary variable unit (command 44)", kUnitArgs},
    {"write-range", "Button12", "range values and unit (command 35)", kRangeArgs},
    {"write-damping", "Button10", "damping in seconds (command 34)", kDampingArgs},
    {"write-transfer-function", "Button14", "transfer function (command 47)", kTransferArgs},
    // Identification.
    {"read-message", "Button28", "message (command 12)"},
    {"write-message", "Button29", "message (command 17)", kMessageArgs},
    {"read-tag", "Button32", "tag, descriptor and date (command 13)"},
    {"write-tag", "Button33", "tag, descriptor and date (command 18)", kTagArgs},
    {"read-assembly", "Button38", "final assembly number (command 16)"},
    {"write-assembly", "Button39", "final assembly number (command 19)", kAssemblyArgs},
    {"write-serial", "Button37", "sensor serial number (command 49)", kSerialArgs},
    {"write-polling-address", "Button27", "polling address (command 6)", kPollingAddressArgs},
    // Loop current, trims, burst mode, EEPROM.
    {"fixed-current",
     "Button6",
     "fix the loop current in mA (command 40)",
     kFixedCurrentArgs,
     {},
     kTypedCurrent},
    {"fixed-current-off",
     "Button6",
     "leave fixed-current mode (command 40)",
     {},
     {},
     kLeaveFixedCurrent},
    {"trim-current-high", "Button15", "trim the 20 mA output to the metered mA (command 46)",
     kGainArgs},
    {"trim-current-low", "Button30", "trim the 4 mA output to the metered mA (command 45)",
     kZeroArgs},
    {"set-lower-range", "Button25", "the present input becomes 4 mA (command 37)"},
    {"set-upper-range", "Button26", "the present input becomes 20 mA (command 36)"},
    {"zero-trim", "Button23", "zero the primary variable (command 43)"},
    {"write-low-point", "Button24", "low point adjustment in the current unit (command 131)",
     kLowPointArgs, kUnitFirst},
    {"write-high-point", "Button31", "high point adjustment in the current unit (command 130)",
     kHighPointArgs, kUnitFirst},
    {"burst-command", "Button20", "command the burst mode sends (command 108)", kBurstCommandArgs},
    {"burst on", "Button19", "enter burst mode (command 109)"},
    {"burst off", "Button9", "leave burst mode (command 109)"},
    {"backup-sensor-data", "Button21", "back up the sensor data (command 39)"},
    {"restore-factory-settings", "Button22", "restore the factory settings (command 39)"},
    // Rosemount temperature transmitters.
    {"rosemount-644-read", "Button35", "644 sensor type and wiring"},
    {"rosemount-644-write", "Button36", "644 sensor type and wiring", k644Args},
    {"rosemount-848t-read", "Button41", "848T channel sensor type and wiring", k848ReadArgs},
    {"rosemount-848t-write", "Button40", "848T channel sensor type and wiring", k848Args},
    {"rosemount-848t-write-unit", "Button43", "848T channel temperature unit", k848UnitArgs},
    {"rosemount-644rk-read", "Button70", "644RK sensor type and wiring (command 31)"},
    {"rosemount-644rk-write", "Button69", "644RK sensor type and wiring (command 31)", kRkArgs},
    // Yokogawa and E+H temperature transmitters.
    {"yokogawa-read-sensor", "Button52", "Yokogawa sensor type and wiring"},
    {"yokogawa-write-sensor", "Button53", "Yokogawa sensor type and wiring", kYokogawaArgs},
    {"yokogawa-read-wire-resistance", "Button54", "Yokogawa two-wire resistance"},
    {"yokogawa-write-wire-resistance", "Button55", "Yokogawa two-wire resistance",
     kWireResistanceArgs},
    {"eh-read-sensor-type", "Button56", "E+H sensor type", kEhSensorArgs},
    {"eh-write-sensor-type", "Button57", "E+H sensor type (reads it first)", kEhTypeArgs,
     kEhTypeFirst},
    {"eh-read-wiring", "Button59", "E+H wiring", kEhSensorArgs},
    {"eh-write-wiring", "Button60", "E+H wiring (reads it first)", kEhWiringArgs, kEhWiringFirst},
    {"eh-read-offset", "Button65", "E+H sensor offset", kEhSensorArgs},
    {"eh-write-offset", "Button66", "E+H sensor offset (reads it first)", kEhOffsetArgs,
     kEhOffsetFirst},
    {"eh-write-polynomial", "Button61", "E+H Polynom RTD coefficient", kEhPolynomialArgs},
    {"eh-write-callendar", "Button62", "E+H Callendar-Van Dusen coefficient", kEhCallendarArgs},
    // Siemens, Krohne and ABB temperature transmitters.
    {"siemens-read", "Button2", "Siemens sensor type"},
    {"siemens-write", "Button11", "Siemens sensor type", kSiemensArgs},
    {"tt50c-read", "Button63", "Krohne TT50C sensor type and wiring"},
    {"tt50c-write", "Button64", "Krohne TT50C sensor type and wiring (reads it first)", kTt50cArgs,
     kTt50cFirst},
    {"tth200-read", "Button68", "ABB TTH200 sensor type and wiring"},
    {"tth200-write", "Button67", "ABB TTH200 sensor type and wiring", kTth200Args},
    // Differential pressure and multivariable transmitters.
    {"pressure-zero", "Button42", "zero a differential pressure transmitter (command 43)"},
    {"rosemount-read-mapping", "Button44", "3051/300SMV variable mapping (command 50)"},
    {"rosemount-write-mapping", "Button45", "3051/300SMV variable mapping (command 51)",
     kMappingArgs},
    {"rosemount-read-display", "Button47", "3051/300SMV display items"},
    {"rosemount-write-display", "Button46", "3051/300SMV display items", kDisplayArgs},
    {"eja-read-display", "Button48", "EJA display lines"},
    {"eja-write-display", "Button49", "EJA display lines", kEjaDisplayArgs},
    {"eja-read-zero", "Button50", "EJA zero cut-off and zero mode"},
    {"eja-write-cutoff", "Button51", "EJA zero cut-off in the current unit", kCutOffArgs,
     kUnitFirst},
    // HART 7 and common-practice commands.
    {"read-long-tag", "ReadLongTagButton", "long tag (command 20)"},
    {"write-long-tag",
     "WriteLongTagButton",
     "long tag, 32 ISO Latin-1 characters (command 22)",
     kLongTagArgs,
     {},
     {},
     true},
    {"find-tag", "FindTagButton", "identity of the instrument with this tag (command 11)",
     kFindTagArgs},
    {"find-long-tag",
     "FindLongTagButton",
     "identity of the instrument with this long tag (command 21)",
     kFindLongTagArgs,
     {},
     {},
     true},
    {"read-device-variables",
     "ReadDeviceVariablesButton",
     "device variables with status (command 9; 33 before HART 7); codes 0 1 2 3 if none",
     kCodesArgs,
     {},
     {},
     true,
     true},
    {"read-device-variables-33",
     "ReadDeviceVariables33",
     "device variables without status, up to 4 codes (command 33)",
     kCodesArgs,
     {},
     {},
     true,
     true},
    {"read-device-variable-info", "ReadVariableInfoButton",
     "limits, damping, classification of a device variable (command 54)", kVariableArgs},
    {"write-device-variable-unit", "WriteVariableUnitButton",
     "unit of a device variable (command 53)", kVariableUnitArgs},
    {"write-device-variable-damping", "WriteVariableDampingButton",
     "damping of a device variable in seconds (command 55)", kVariableDampingArgs},
    {"read-mapping", "ReadMappingButton", "device variables behind PV, SV, TV, QV (command 50)"},
    {"write-mapping", "WriteMappingButton", "device variables behind PV, SV, TV, QV (command 51)",
     kMapping7Args},
    {"read-classifications", "ReadClassificationsButton",
     "classifications of PV, SV, TV, QV (command 8)"},
    {"read-loop-config", "ReadLoopConfigButton",
     "polling address and loop current mode (command 7)"},
    {"write-polling-address-mode", "WritePollingAddressModeButton",
     "polling address 0 to 63 and loop current mode (command 6, HART 6/7)", kAddressModeArgs},
    {"reset-config-changed", "ResetConfigChangedButton",
     "reset the configuration-changed flag (command 38)"},
    {"self-test", "SelfTestButton", "start the self test (command 41)"},
    {"device-reset", "DeviceResetButton",
     "restart the instrument; asks first unless --yes (command 42)"},
    {"squawk", "SquawkButton", "make the instrument show itself (command 72)"},
    {"write-preambles", "WritePreamblesButton", "preambles of the replies, 5 to 20 (command 59)",
     kPreamblesArgs},
    {"read-burst-config",
     "ReadBurstConfigButton",
     "burst message configuration (command 105)",
     kBurstMessageArgs,
     {},
     {},
     false,
     true},
    {"read-burst-row",
     "ReadBurstTableRow",
     "one burst message as a row of the window's burst table (command 105)",
     kBurstMessageArgs,
     {},
     {},
     false,
     true},
    {"write-burst-period", "WriteBurstPeriodButton",
     "burst message update and maximum period in seconds (command 103)", kBurstPeriodArgs},
    {"write-burst-trigger", "WriteBurstTriggerButton", "burst message trigger (command 104)",
     kBurstTriggerArgs},
    {"write-burst-variables",
     "WriteBurstVariablesButton",
     "device variables of a burst message, up to 8 codes (command 107)",
     kBurstVariablesArgs,
     {},
     {},
     true},
    {"write-burst-command", "WriteBurstCommandButton",
     "command a burst message sends (command 108)", kBurstCommand7Args},
    {"write-burst-mode", "WriteBurstControlButton", "a burst message on or off (command 109)",
     kBurstControlArgs},
    {"read-country", "ReadCountryButton", "country code and SI units only (command 512)"},
    {"write-country",
     "WriteCountryButton",
     "country code, any units (command 513)",
     kCountryArgs,
     {},
     kAnyUnits},
    {"write-country-si",
     "WriteCountryButton",
     "country code, SI units only (command 513)",
     kCountryArgs,
     {},
     kSiUnitsOnly},
    {"read-process-unit-tag", "ReadProcessUnitTagButton", "process unit tag (command 520)"},
    {"write-process-unit-tag",
     "WriteProcessUnitTagButton",
     "process unit tag (command 521)",
     kProcessUnitTagArgs,
     {},
     {},
     true},
};

// --- reply fields

constexpr FieldName kFields[] = {
    {"Edit1", "manufacturer-id", Tr::tr("制造ID")},
    {"Edit2", "device-type", Tr::tr("传感器类型")},
    {"Edit3", "preambles", Tr::tr("前导符字节数")},
    {"Edit4", "device-id", Tr::tr("传感器序列号")},
    {"Edit28", "serial-number", Tr::tr("传感器序列号")},
    // The poll's facts beyond the window's controls.
    {"HartRevision", "hart-revision", Tr::tr("HART协议版本")},
    {"ExpandedDeviceType", "expanded-device-type", Tr::tr("扩展设备类型")},
    {"ConfigChangeCounter", "config-change-counter", Tr::tr("组态变更计数")},
    {"ManufacturerCode", "manufacturer-code", Tr::tr("制造商代码")},
    {"ComboBox9", "polling-address", Tr::tr("地址号")},
    {"ComboBox3", "polling-address", Tr::tr("短帧地修改")},
    {"Label33", "scanned-address", Tr::tr("HART 0-15地址轮巡检测")},
    {"MoreStatusLabel", "additional-status", Tr::tr("附加状态:")},
    {"Edit6", "current", Tr::tr("输出电流值"), "mA"},
    {"Edit20", "percent-of-range", Tr::tr("输出电流百分比"), "%"},
    {"Edit5", "pv", Tr::tr("当前动态变量1"), {}, "ComboBox5"},
    {"Edit17", "sv", Tr::tr("当前动态变量2"), {}, "ComboBox15"},
    {"Edit18", "tv", Tr::tr("当前动态变量3"), {}, "ComboBox16"},
    {"Edit30", "qv", Tr::tr("当前动态变量4"), {}, "ComboBox6"},
    {"ComboBox5", "pv-unit", Tr::tr("当前动态变量1")},
    {"ComboBox15", "sv-unit", Tr::tr("当前动态变量2")},
    {"ComboBox16", "tv-unit", Tr::tr("当前动态变量3")},
    {"ComboBox6", "qv-unit", Tr::tr("当前动态变量4")},
    {"Edit11", "sensor-upper-limit", Tr::tr("测量上限值"), {}, "ComboBox10"},
    {"Edit12", "sensor-lower-limit", Tr::tr("测量下限值"), {}, "ComboBox10"},
    {"ComboBox10", "sensor-limits-unit", Tr::tr("单位")},
    {"ComboBox1", "range-unit", Tr::tr("量程单位")},
    {"Edit14", "upper-range", Tr::tr("量程上限"), {}, "ComboBox1"},
    {"Edit15", "lower-range", Tr::tr("量程下限"), {}, "ComboBox1"},
    {"Edit16", "damping", Tr::tr("阻尼时间"), "s"},
    {"ComboBox2", "transfer-function", Tr::tr("输出特性")},
    {"Label51", "manufacturer", Tr::tr("制造商")},
    {"Edit21", "message", Tr::tr("设备信息")},
    {"Edit22", "tag", Tr::tr("标记")},
    {"Edit23", "descriptor", Tr::tr("模述符")},
    {"Edit24", "year", Tr::tr("出厂日期 年")},
    {"Edit25", "month", Tr::tr("出厂日期 月")},
    {"Edit29", "day", Tr::tr("出厂日期 日")},
    {"Edit26", "final-assembly", Tr::tr("装配号")},
    {"ComboBox17", "sensor-type", Tr::tr("传感器类型")},
    {"ComboBox18", "wiring", Tr::tr("接线方式")},
    {"ComboBox19", "channel", Tr::tr("澷度通道")},
    {"ComboBox21", "sensor-type", Tr::tr("传感器类型")},
    {"ComboBox20", "wiring", Tr::tr("接线方式")},
    {"ComboBox22", "temperature-unit", Tr::tr("温度单位")},
    {"ComboBox36", "sensor-type", Tr::tr("传感器类型")},
    {"ComboBox35", "wiring", Tr::tr("接线方式")},
    {"HengHeTX", "sensor-type", Tr::tr("传感器类型")},
    {"HengHeFS", "wiring", Tr::tr("接线方式")},
    {"HengHeJXIAN", "wire-resistance", Tr::tr("二线制电阻值"), "Ohm"},
    {"TempBIAHO", "sensor-number", Tr::tr("传感器编号")},
    {"EHTEMNX", "sensor-type", Tr::tr("传感类型")},
    {"EHTEMFS", "wiring", Tr::tr("接线方式")},
    {"EHPIANYI", "offset", Tr::tr("传感器单位与偏移值")},
    {"ComboBox7", "sensor-type", Tr::tr("西门子HART协议温度传感器类型")},
    {"TT50NEXING", "sensor-type", Tr::tr("科隆TT50C 传感器类型")},
    {"TT50WAR", "wiring", Tr::tr("科隆TT50C 接线方式")},
    {"ABBTTH200NEIXING", "sensor-type", Tr::tr("ABBTTH200 传感器类型")},
    {"ABBTTH200WAY", "wiring", Tr::tr("ABBTTH200 接线方式")},
    {"ComboBox23", "variable1", Tr::tr("变量1")},
    {"ComboBox24", "variable2", Tr::tr("变量2")},
    {"ComboBox25", "variable3", Tr::tr("变量3")},
    {"ComboBox26", "variable4", Tr::tr("变量4")},
    {"ComboBox27", "display-differential-pressure", "Differ_Pressure"},
    {"ComboBox28", "display-absolute-pressure", "Abso_Pressure"},
    {"ComboBox29", "display-gage-pressure", "Gage_Pressure"},
    {"ComboBox30", "display-output-percent", "Output(%Rang)"},
    {"ComboBox31", "display-module-temperature", "Module_Temper"},
    {"ComboBox32", "display-process-temperature", "Proces_Temper"},
    {"ComboBox33", "display-totalizer", "Totalizer"},
    {"ComboBox34", "display-flow-rate", "Flow_Rate"},
    {"EJAXIANS1", "display-line1", Tr::tr("显示内容 1")},
    {"EJAXIANS2", "display-line2", Tr::tr("显示内容 2")},
    {"EJAXIANS3", "display-line3", Tr::tr("显示内容 3")},
    {"EJAXIANS4", "display-line4", Tr::tr("显示内容 4")},
    {"EJAMODEM", "zero-mode", Tr::tr("设零点模式")},
    {"EJAlingdian", "zero-cutoff", Tr::tr("零点切除%"), "%"},
    // The HART 7 page.
    {"LongTagEdit", "long-tag", Tr::tr("长位号")},
    {"ExtendedStatusLabel", "extended-device-status", Tr::tr("扩展设备状态")},
    {"DeviceVariableTimeLabel", "time-stamp", Tr::tr("时间戳")},
    {"VariableCodeEdit", "device-variable", Tr::tr("设备变量号")},
    {"VariableSerialLabel", "sensor-serial-number", Tr::tr("传感器序列号")},
    {"VariableUnitBox", "unit", Tr::tr("单位")},
    {"VariableUpperLimitLabel", "upper-limit", Tr::tr("测量上限值"), {}, "VariableUnitBox"},
    {"VariableLowerLimitLabel", "lower-limit", Tr::tr("测量下限值"), {}, "VariableUnitBox"},
    {"VariableMinSpanLabel", "minimum-span", Tr::tr("最小量程"), {}, "VariableUnitBox"},
    {"VariableDampingEdit", "damping", Tr::tr("阻尼时间"), "s"},
    {"VariableClassLabel", "classification", Tr::tr("分类")},
    {"VariableFamilyLabel", "family", Tr::tr("设备族")},
    {"VariablePeriodLabel", "update-period", Tr::tr("更新周期"), "s"},
    {"VariablePropertiesLabel", "properties", Tr::tr("属性")},
    {"MappingPvEdit", "pv-variable", Tr::tr("动态变量1对应设备变量")},
    {"MappingSvEdit", "sv-variable", Tr::tr("动态变量2对应设备变量")},
    {"MappingTvEdit", "tv-variable", Tr::tr("动态变量3对应设备变量")},
    {"MappingQvEdit", "qv-variable", Tr::tr("动态变量4对应设备变量")},
    {"PvClassLabel", "pv-classification", Tr::tr("动态变量1分类")},
    {"SvClassLabel", "sv-classification", Tr::tr("动态变量2分类")},
    {"TvClassLabel", "tv-classification", Tr::tr("动态变量3分类")},
    {"QvClassLabel", "qv-classification", Tr::tr("动态变量4分类")},
    {"PollingAddress63Edit", "polling-address", Tr::tr("地址号")},
    {"LoopCurrentModeBox", "loop-current-mode", Tr::tr("回路电流模式")},
    {"BurstControlBox", "burst-mode", Tr::tr("突发模式")},
    {"BurstVariablesEdit", "device-variables", Tr::tr("突发设备变量")},
    {"BurstMessageEdit", "message", Tr::tr("突发报文号")},
    {"BurstMaxMessagesLabel", "messages", Tr::tr("突发报文数")},
    {"BurstCommandEdit", "command", Tr::tr("突发命令")},
    {"BurstUpdatePeriodEdit", "update-period", Tr::tr("更新周期"), "s"},
    {"BurstMaxPeriodEdit", "maximum-period", Tr::tr("最长周期"), "s"},
    {"BurstTriggerModeBox", "trigger-mode", Tr::tr("触发方式")},
    {"BurstTriggerClassEdit", "trigger-classification", Tr::tr("触发分类")},
    {"BurstTriggerUnitBox", "trigger-unit", Tr::tr("触发单位")},
    {"BurstTriggerLevelEdit", "trigger-level", Tr::tr("触发值"), {}, "BurstTriggerUnitBox"},
    {"CountryCodeEdit", "country-code", Tr::tr("国家代码")},
    {"SiUnitsOnlyCheck", "si-units-only", Tr::tr("仅用国际单位")},
    {"ProcessUnitTagEdit", "process-unit-tag", Tr::tr("工艺单元位号")},
};

// The device-variable table's cells: "device-variable-<slot>-<column>".
const std::vector<FieldName>& cellNames() {
    static std::deque<std::string> texts;
    static const std::vector<FieldName> names = [] {
        using ops::hart7::Column;
        constexpr std::pair<Column, const char*> kColumns[] = {
            {Column::Code, "code"},     {Column::Classification, "classification"},
            {Column::Value, "value"},   {Column::Unit, "unit"},
            {Column::Status, "status"}, {Column::Limit, "limit"},
        };
        constexpr const char* kCaptions[] = {Tr::tr("代码"), Tr::tr("分类"), Tr::tr("数值"),
                                             Tr::tr("单位"), Tr::tr("状态"), Tr::tr("限值")};
        std::vector<FieldName> out;
        for (std::size_t slot = 0; slot < ops::hart7::kDeviceVariableSlots; ++slot) {
            for (std::size_t k = 0; k < std::size(kColumns); ++k) {
                texts.push_back(ops::hart7::deviceVariableCell(slot, kColumns[k].first));
                const std::string_view control = texts.back();
                texts.push_back("device-variable-" + std::to_string(slot) + "-" +
                                kColumns[k].second);
                const std::string_view name = texts.back();
                texts.push_back(Tr::tr("设备变量") + std::to_string(slot) + " " + kCaptions[k]);
                out.push_back({control, name, texts.back()});
            }
        }
        return out;
    }();
    return names;
}

}  // namespace

std::span<const Command> commands() {
    return kCommands;
}

const Command* findCommand(std::string_view name) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [&](const Command& c) { return c.name == name; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

std::span<const FieldName> fieldNames() {
    return kFields;
}

const FieldName* fieldName(std::string_view control) {
    const auto it = std::find_if(std::begin(kFields), std::end(kFields),
                                 [&](const FieldName& f) { return f.control == control; });
    if (it != std::end(kFields)) return &*it;
    const auto& cells = cellNames();
    const auto cell = std::find_if(cells.begin(), cells.end(),
                                   [&](const FieldName& f) { return f.control == control; });
    return cell == cells.end() ? nullptr : &*cell;
}

bool isUnitOfAnotherField(std::string_view control) {
    return std::any_of(std::begin(kFields), std::end(kFields),
                       [&](const FieldName& f) { return f.unitBox == control; });
}

}  // namespace cli
