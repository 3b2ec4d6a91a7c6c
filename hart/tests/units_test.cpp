#include "hart/units.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace hart {
namespace {

TEST(UnitTable, ItemTextsKeepTheirTrailingBlanks) {
    struct Case {
        int index;
        std::string_view numbered;
        std::string_view plain;
    };
    const Case cases[] = {
        {0, "00_inH20 ", "inH20 "},
        {7, "06_mbar   ", "mbar   "},  // the numbered prefix repeats 06
        {9, "09_KPa   ", "KPa   "},
        {12, "12_摄氏度  ", "degc   "},
        {14, "14_兰氏度   ", "degr   "},
        {34, "34_CuMtr       ", "CuMtr       "},
        {36, "36_CuYd     ", "CuYd     "},
        {38, "38_CuIn", "CuIn"},
        {41, "41_M    ", "M     "},  // the two lists differ in blanks here
        {74, "74_british_thermal_unit ", "british_thermal_unit "},
        {75, "75_%", "%"},
        {76, "76_kg_hr", "kg_hr"},
        {79, "79_mA", "mA"},
        {81, "81_PH", "PH"},
        {82, "82_other", "other"},
    };
    for (const auto& c : cases) {
        const UnitRow& row = unitTable()[static_cast<std::size_t>(c.index)];
        EXPECT_EQ(row.numbered, c.numbered) << c.index;
        EXPECT_EQ(row.plain, c.plain) << c.index;
    }
}

TEST(UnitTable, NumberedItemsCarryTheirIndexExceptTheDuplicated06) {
    ASSERT_EQ(unitTable().size(), 83u);
    for (int i = 0; i < kUnitItemCount; ++i) {
        char prefix[4];
        std::snprintf(prefix, sizeof prefix, "%02d_", i == 7 ? 6 : i);
        EXPECT_TRUE(unitTable()[static_cast<std::size_t>(i)].numbered.starts_with(prefix)) << i;
    }
}

TEST(UnitTable, EitherListsItemGivesItsPrintedSymbol) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"09_KPa   ", "kPa"},
        {"KPa", "kPa"},
        {"12_摄氏度  ", "℃"},
        {"degc", "℃"},
        {"75_%", "%"},
        {"other", "other"},
        {"no such unit", "no such unit"}};
    for (const auto& [item, symbol] : cases) EXPECT_EQ(unitSymbol(item), symbol) << item;
}

TEST(UnitCodes, ReplyCodeSelectsItem) {
    const std::pair<int, int> cases[] = {
        {1, 0},   {12, 9},   {237, 11}, {32, 12}, {111, 36}, {57, 75},  {76, 77},  {250, 78},
        {39, 79}, {139, 80}, {0, 81},   {9, 81},  {10, 81},  {251, 81}, {255, 81},
    };
    for (const auto& [code, index] : cases) {
        EXPECT_EQ(unitIndexForCode(static_cast<std::uint8_t>(code)), index) << code;
    }
}

TEST(UnitCodes, ItemGivesWrittenCode) {
    EXPECT_EQ(unitCodeForIndex(0), 1);
    EXPECT_EQ(unitCodeForIndex(9), 12);
    EXPECT_EQ(unitCodeForIndex(11), 237);
    EXPECT_EQ(unitCodeForIndex(36), 111);
    EXPECT_EQ(unitCodeForIndex(75), 57);
    for (int index : {76, 77, 78, 79, 80, 81, 82, 83, -1, 1000}) {
        EXPECT_FALSE(unitCodeForIndex(index).has_value()) << index;
    }
}

TEST(UnitCodes, EveryWrittenCodeReadsBackToItsItem) {
    std::set<int> codes;
    for (int i = 0; i < kUnitItemCount; ++i) {
        const auto code = unitCodeForIndex(i);
        if (!code) continue;
        EXPECT_TRUE(codes.insert(*code).second) << "code written by two items: " << int{*code};
        EXPECT_EQ(unitIndexForCode(*code), i);
    }
    EXPECT_EQ(codes.size(), 76u);
}

TEST(CurrentUnit, BelongsToTheInstrumentItCameFrom) {
    DeviceIdentity a{0x26, 6, {0, 0x12, 0x34}};
    DeviceIdentity b = a;
    b.deviceId[2] = 0x35;
    CurrentUnit unit;
    EXPECT_EQ(unit.of(a), std::nullopt);
    unit.set(a, 12);
    unit.set(a, 111);
    EXPECT_EQ(unit.of(a), 111);
    EXPECT_EQ(unit.of(b), std::nullopt);
}

}  // namespace
}  // namespace hart
