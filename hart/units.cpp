#include "hart/units.h"

#include <array>

#include "hart/tr.h"

namespace hart {

namespace {

// Item texts are the boxes' own, trailing blanks included. Both lists name the same unit at an
// index, so a code shows the same unit in either kind of box (39 is "mA" in both).
constexpr std::array<UnitRow, kUnitItemCount> kUnits{{
    {"00_inH20 ", "inH20 ", 1, 1},                                    // 0
    {"01_inhg  ", "inhg  ", 2, 2},                                    // 1
    {"02_FtH20  ", "FtH20  ", 3, 3},                                  // 2
    {"03_mmH20 ", "mmH20 ", 4, 4},                                    // 3
    {"04_mmHg   ", "mmHg   ", 5, 5},                                  // 4
    {"05_psi   ", "psi   ", 6, 6},                                    // 5
    {"06_bar    ", "bar    ", 7, 7},                                  // 6
    {"06_mbar   ", "mbar   ", 8, 8},                                  // 7
    {"08_Pa     ", "Pa     ", 11, 11},                                // 8
    {"09_KPa   ", "KPa   ", 12, 12},                                  // 9
    {"10_ATM    ", "ATM    ", 14, 14},                                // 10
    {"11_MPa    ", "MPa    ", 237, 237},                              // 11
    {Tr::tr("12_摄氏度  "), "degc   ", 32, 32},                       // 12
    {Tr::tr("13_华氏度  "), "degf  ", 33, 33},                        // 13
    {Tr::tr("14_兰氏度   "), "degr   ", 34, 34},                      // 14
    {"15_Kelvin ", "Kelvin ", 35, 35},                                // 15
    {"16_CuFt_min ", "CuFt_min ", 15, 15},                            // 16
    {"17_gal_min  ", "gal_min  ", 16, 16},                            // 17
    {"18_l_min   ", "l_min   ", 17, 17},                              // 18
    {"19_CuMtr_hr ", "CuMtr_hr ", 19, 19},                            // 19
    {"20_l_s      ", "l_s      ", 24, 24},                            // 20
    {"21_Cuft_s  ", "Cuft_s  ", 26, 26},                              // 21
    {"22_CuMtr_s  ", "CuMtr_s  ", 28, 28},                            // 22
    {"23_CuMtr_min ", "CuMtr_min ", 131, 131},                        // 23
    {"24_gal_hr    ", "gal_hr    ", 136, 136},                        // 24
    {"25_l_hr      ", "l_hr      ", 138, 138},                        // 25
    {"26_ft_s      ", "ft_s      ", 20, 20},                          // 26
    {"27_mtr_s    ", "mtr_s    ", 21, 21},                            // 27
    {"28_in_s      ", "in_s      ", 114, 114},                        // 28
    {"29_in_min    ", "in_min    ", 115, 115},                        // 29
    {"30_ft_min   ", "ft_min   ", 116, 116},                          // 30
    {"31_mtr_hr    ", "mtr_hr    ", 120, 120},                        // 31
    {"32_gal      ", "gal      ", 40, 40},                            // 32
    {"33_liter    ", "liter    ", 41, 41},                            // 33
    {"34_CuMtr       ", "CuMtr       ", 43, 43},                      // 34
    {"35_bbl      ", "bbl      ", 46, 46},                            // 35
    {"36_CuYd     ", "CuYd     ", 111, 111},                          // 36
    {"37_CuFt      ", "CuFt      ", 112, 112},                        // 37
    {"38_CuIn", "CuIn", 113, 113},                                    // 38
    {"39_bbl_liq      ", "bbl_liq      ", 124, 124},                  // 39
    {"40_ft        ", "ft        ", 44, 44},                          // 40
    {"41_M    ", "M     ", 45, 45},                                   // 41
    {"42_in         ", "in         ", 47, 47},                        // 42
    {"43_cm       ", "cm       ", 48, 48},                            // 43
    {"44_mm       ", "mm       ", 49, 49},                            // 44
    {"45_gram     ", "gram     ", 60, 60},                            // 45
    {"46_kg        ", "kg        ", 61, 61},                          // 46
    {"47_MetTon    ", "MetTon    ", 62, 62},                          // 47
    {"48_lb       ", "lb       ", 63, 63},                            // 48
    {"49_ounce     ", "ounce     ", 125, 125},                        // 49
    {"50_g_s       ", "g_s       ", 70, 70},                          // 50
    {"51_g_min     ", "g_min     ", 71, 71},                          // 51
    {"52_g_hr     ", "g_hr     ", 72, 72},                            // 52
    {"53_kg_s     ", "kg_s     ", 73, 73},                            // 53
    {"54_kg_min   ", "kg_min   ", 74, 74},                            // 54
    {"55_metTOM_min ", "metTOM_min ", 75, 75},                        // 55
    {"56_metton_hr  ", "metton_hr  ", 78, 78},                        // 56
    {"57_lb_s       ", "lb_s       ", 80, 80},                        // 57
    {"58_lb_min     ", "lb_min     ", 81, 81},                        // 58
    {"59_lb_hr      ", "lb_hr      ", 82, 82},                        // 59
    {"60_g_CuCM     ", "g_CuCM     ", 91, 91},                        // 60
    {"61_KG_CuMtr   ", "KG_CuMtr   ", 92, 92},                        // 61
    {"62_lb_gal    ", "lb_gal    ", 93, 93},                          // 62
    {"63_lb_Cuft    ", "lb_Cuft    ", 94, 94},                        // 63
    {"64_g_ml      ", "g_ml      ", 95, 95},                          // 64
    {"65_kb_l       ", "kb_l       ", 96, 96},                        // 65
    {"66_g_l        ", "g_l        ", 97, 97},                        // 66
    {"67_centi_stokes ", "centi_stokes ", 54, 54},                    // 67
    {"68_cpoise       ", "cpoise       ", 55, 55},                    // 68
    {"69_mewtom_meter  ", "mewtom_meter  ", 69, 69},                  // 69
    {"70_deka_therm    ", "deka_therm    ", 89, 89},                  // 70
    {"71_foot_pound_force ", "foot_pound_force ", 126, 126},          // 71
    {"72_kilo_watt_hour    ", "kilo_watt_hour    ", 128, 128},        // 72
    {"73_mega_joule       ", "mega_joule       ", 164, 164},          // 73
    {"74_british_thermal_unit ", "british_thermal_unit ", 165, 165},  // 74
    {"75_%", "%", 57, 57},                                            // 75
    {"76_kg_hr", "kg_hr", -1, -1},                                    // 76
    {"77_kg_day", "kg_day", 76, -1},                                  // 77
    {"78_250", "250", 250, -1},                                       // 78
    {"79_mA", "mA", 39, -1},                                          // 79
    {"80_ppm", "ppm", 139, -1},                                       // 80
    {"81_PH", "PH", -1, -1},                                          // 81
    {"82_other", "other", -1, -1},                                    // 82
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
