#include "hart/units.h"

#include <array>

#include "hart/tr.h"

namespace hart {

namespace {

// Item texts are the boxes' own, trailing blanks included. Both lists name the same unit at an
// index, so a code shows the same unit in either kind of box (39 is "mA" in both).
constexpr std::array<UnitRow, kUnitItemCount> kUnits{{
    {"00_inH20 ", "inH20 ", 1, 1, "inH2O"},                                  // 0
    {"01_inhg  ", "inhg  ", 2, 2, "inHg"},                                   // 1
    {"02_FtH20  ", "FtH20  ", 3, 3, "ftH2O"},                                // 2
    {"03_mmH20 ", "mmH20 ", 4, 4, "mmH2O"},                                  // 3
    {"04_mmHg   ", "mmHg   ", 5, 5, "mmHg"},                                 // 4
    {"05_psi   ", "psi   ", 6, 6, "psi"},                                    // 5
    {"06_bar    ", "bar    ", 7, 7, "bar"},                                  // 6
    {"06_mbar   ", "mbar   ", 8, 8, "mbar"},                                 // 7
    {"08_Pa     ", "Pa     ", 11, 11, "Pa"},                                 // 8
    {"09_KPa   ", "KPa   ", 12, 12, "kPa"},                                  // 9
    {"10_ATM    ", "ATM    ", 14, 14, "atm"},                                // 10
    {"11_MPa    ", "MPa    ", 237, 237, "MPa"},                              // 11
    {Tr::tr("12_摄氏度  "), "degc   ", 32, 32, "℃"},                         // 12
    {Tr::tr("13_华氏度  "), "degf  ", 33, 33, "℉"},                          // 13
    {Tr::tr("14_兰氏度   "), "degr   ", 34, 34, "°R"},                       // 14
    {"15_Kelvin ", "Kelvin ", 35, 35, "K"},                                  // 15
    {"16_CuFt_min ", "CuFt_min ", 15, 15, "ft³/min"},                        // 16
    {"17_gal_min  ", "gal_min  ", 16, 16, "gal/min"},                        // 17
    {"18_l_min   ", "l_min   ", 17, 17, "L/min"},                            // 18
    {"19_CuMtr_hr ", "CuMtr_hr ", 19, 19, "m³/h"},                           // 19
    {"20_l_s      ", "l_s      ", 24, 24, "L/s"},                            // 20
    {"21_Cuft_s  ", "Cuft_s  ", 26, 26, "ft³/s"},                            // 21
    {"22_CuMtr_s  ", "CuMtr_s  ", 28, 28, "m³/s"},                           // 22
    {"23_CuMtr_min ", "CuMtr_min ", 131, 131, "m³/min"},                     // 23
    {"24_gal_hr    ", "gal_hr    ", 136, 136, "gal/h"},                      // 24
    {"25_l_hr      ", "l_hr      ", 138, 138, "L/h"},                        // 25
    {"26_ft_s      ", "ft_s      ", 20, 20, "ft/s"},                         // 26
    {"27_mtr_s    ", "mtr_s    ", 21, 21, "m/s"},                            // 27
    {"28_in_s      ", "in_s      ", 114, 114, "in/s"},                       // 28
    {"29_in_min    ", "in_min    ", 115, 115, "in/min"},                     // 29
    {"30_ft_min   ", "ft_min   ", 116, 116, "ft/min"},                       // 30
    {"31_mtr_hr    ", "mtr_hr    ", 120, 120, "m/h"},                        // 31
    {"32_gal      ", "gal      ", 40, 40, "gal"},                            // 32
    {"33_liter    ", "liter    ", 41, 41, "L"},                              // 33
    {"34_CuMtr       ", "CuMtr       ", 43, 43, "m³"},                       // 34
    {"35_bbl      ", "bbl      ", 46, 46, "bbl"},                            // 35
    {"36_CuYd     ", "CuYd     ", 111, 111, "yd³"},                          // 36
    {"37_CuFt      ", "CuFt      ", 112, 112, "ft³"},                        // 37
    {"38_CuIn", "CuIn", 113, 113, "in³"},                                    // 38
    {"39_bbl_liq      ", "bbl_liq      ", 124, 124, "bbl liq"},              // 39
    {"40_ft        ", "ft        ", 44, 44, "ft"},                           // 40
    {"41_M    ", "M     ", 45, 45, "m"},                                     // 41
    {"42_in         ", "in         ", 47, 47, "in"},                         // 42
    {"43_cm       ", "cm       ", 48, 48, "cm"},                             // 43
    {"44_mm       ", "mm       ", 49, 49, "mm"},                             // 44
    {"45_gram     ", "gram     ", 60, 60, "g"},                              // 45
    {"46_kg        ", "kg        ", 61, 61, "kg"},                           // 46
    {"47_MetTon    ", "MetTon    ", 62, 62, "t"},                            // 47
    {"48_lb       ", "lb       ", 63, 63, "lb"},                             // 48
    {"49_ounce     ", "ounce     ", 125, 125, "oz"},                         // 49
    {"50_g_s       ", "g_s       ", 70, 70, "g/s"},                          // 50
    {"51_g_min     ", "g_min     ", 71, 71, "g/min"},                        // 51
    {"52_g_hr     ", "g_hr     ", 72, 72, "g/h"},                            // 52
    {"53_kg_s     ", "kg_s     ", 73, 73, "kg/s"},                           // 53
    {"54_kg_min   ", "kg_min   ", 74, 74, "kg/min"},                         // 54
    {"55_metTOM_min ", "metTOM_min ", 75, 75, "t/min"},                      // 55
    {"56_metton_hr  ", "metton_hr  ", 78, 78, "t/h"},                        // 56
    {"57_lb_s       ", "lb_s       ", 80, 80, "lb/s"},                       // 57
    {"58_lb_min     ", "lb_min     ", 81, 81, "lb/min"},                     // 58
    {"59_lb_hr      ", "lb_hr      ", 82, 82, "lb/h"},                       // 59
    {"60_g_CuCM     ", "g_CuCM     ", 91, 91, "g/cm³"},                      // 60
    {"61_KG_CuMtr   ", "KG_CuMtr   ", 92, 92, "kg/m³"},                      // 61
    {"62_lb_gal    ", "lb_gal    ", 93, 93, "lb/gal"},                       // 62
    {"63_lb_Cuft    ", "lb_Cuft    ", 94, 94, "lb/ft³"},                     // 63
    {"64_g_ml      ", "g_ml      ", 95, 95, "g/mL"},                         // 64
    {"65_kb_l       ", "kb_l       ", 96, 96, "kg/L"},                       // 65
    {"66_g_l        ", "g_l        ", 97, 97, "g/L"},                        // 66
    {"67_centi_stokes ", "centi_stokes ", 54, 54, "cSt"},                    // 67
    {"68_cpoise       ", "cpoise       ", 55, 55, "cP"},                     // 68
    {"69_mewtom_meter  ", "mewtom_meter  ", 69, 69, "N·m"},                  // 69
    {"70_deka_therm    ", "deka_therm    ", 89, 89, "dekatherm"},            // 70
    {"71_foot_pound_force ", "foot_pound_force ", 126, 126, "ft·lbf"},       // 71
    {"72_kilo_watt_hour    ", "kilo_watt_hour    ", 128, 128, "kWh"},        // 72
    {"73_mega_joule       ", "mega_joule       ", 164, 164, "MJ"},           // 73
    {"74_british_thermal_unit ", "british_thermal_unit ", 165, 165, "Btu"},  // 74
    {"75_%", "%", 57, 57, "%"},                                              // 75
    {"76_kg_hr", "kg_hr", -1, -1, "kg/h"},                                   // 76
    {"77_kg_day", "kg_day", 76, -1, "kg/d"},                                 // 77
    {"78_250", "250", 250, -1, ""},                                          // 78
    {"79_mA", "mA", 39, -1, "mA"},                                           // 79
    {"80_ppm", "ppm", 139, -1, "ppm"},                                       // 80
    {"81_PH", "PH", -1, -1, "pH"},                                           // 81
    {"82_other", "other", -1, -1, ""},                                       // 82
}};

}  // namespace

std::span<const UnitRow> unitTable() {
    return kUnits;
}

std::string_view plainUnitName(int index) {
    if (index < 0 || index >= kUnitItemCount) return {};
    std::string_view s = unitTable()[static_cast<std::size_t>(index)].plain;
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

std::string_view unitSymbol(std::string_view item) {
    const auto bare = [](std::string_view s) {
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        return s;
    };
    for (const UnitRow& u : kUnits) {
        if (bare(u.numbered) == bare(item) || bare(u.plain) == bare(item))
            return u.symbol.empty() ? bare(u.plain) : u.symbol;
    }
    return item;
}

int unitIndexForCode(std::uint8_t code) {
    for (std::size_t i = 0; i < kUnits.size(); ++i) {
        if (kUnits[i].readCode == code) return static_cast<int>(i);
    }
    return kUnlistedUnitIndex;
}

std::optional<std::uint8_t> unitCodeForIndex(int index) {
    if (index < 0 || index >= kUnitItemCount) return std::nullopt;
    const int code = kUnits[static_cast<std::size_t>(index)].writtenCode;
    if (code < 0) return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

}  // namespace hart
