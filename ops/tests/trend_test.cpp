// The trend's record and the reduction that draws it.
#include "ops/trend.h"

#include <gtest/gtest.h>

#include <cmath>

#include "hart/frame.h"

namespace ops::trend {
namespace {

TEST(Trend, DecimationKeepsEachColumnsExtremesAndLeavesGapsEmpty) {
    // A sample exactly at a column's start is that column's, and here its extreme.
    const double times[] = {0.0, 0.4, 0.6, 1.2, 1.5, 2.0, 2.9, 3.0, 5.0};
    const std::optional<double> values[] = {4.0, -2.0, 3.0, std::nullopt, NAN, 6.0, 7.0, 8.0, 9.0};
    const auto bands = decimate(times, values, 0.0, 3.0, 3);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0]->min, -2.0);
    EXPECT_EQ(bands[0]->max, 4.0);
    EXPECT_FALSE(bands[1]);         // a missed reply and a not-a-number only
    EXPECT_EQ(bands[2]->min, 6.0);  // the end of the span is in its last column, 5.0 past it
    EXPECT_EQ(bands[2]->max, 8.0);
}

TEST(Trend, RecordNamesUnitsAgainOnlyWhenOneChanges) {
    const std::string path = ::testing::TempDir() + "trend.csv";
    Recorder r;
    std::string error;
    ASSERT_TRUE(r.open(path, error)) << error;
    Sample s;
    s.units = {"KPa", "degC", "degC", "%", "mA", "%"};
    s.values = {1.5, INFINITY, -INFINITY, NAN, 0.1f, std::nullopt};
    Sample gap;  // tells no unit
    Sample bar = s;
    bar.units[0] = "bar";
    for (const Sample* x : {&s, &gap, &s, &bar}) ASSERT_TRUE(r.write(*x));
    r.close();
    std::FILE* f = std::fopen(path.c_str(), "r");
    char text[2048] = {};
    text[std::fread(text, 1, sizeof text - 1, f)] = 0;
    std::fclose(f);
    const std::string all = text;
    EXPECT_EQ(all.find("time,pv (KPa),sv (degC)"), 0u);
    EXPECT_NE(all.find("\ntime,pv (bar),sv (degC)"), std::string::npos);
    EXPECT_EQ(all.find("time,pv,"), std::string::npos);
    EXPECT_NE(all.find(",,,,,,\n"), std::string::npos) << all;
    // As the window shows them: never "inf", and every digit a float holds.
    EXPECT_NE(all.find(",1.5,INF,-INF,NAN,0.100000001,\n"), std::string::npos) << all;
}

// A burst frame from the instrument 26:0x4E:1, its data after the two status bytes.
std::vector<std::uint8_t> burst(std::uint8_t command, std::vector<std::uint8_t> data) {
    std::vector<std::uint8_t> f = {0xFF, 0xFF, 0x81, 0x9A, 0x4E, 0, 0, 1, command};
    f.push_back(static_cast<std::uint8_t>(data.size() + 2));
    f.insert(f.end(), {0, 0});
    f.insert(f.end(), data.begin(), data.end());
    std::uint8_t check = 0;
    for (std::size_t i = 2; i < f.size(); ++i) check ^= f[i];
    f.push_back(check);
    return f;
}

TEST(Trend, BurstFramesOfTheRoundsCommandsGiveSamples) {
    const std::vector<std::uint8_t> one = {12, 0x40, 0x20, 0, 0};                // KPa, 2.5
    const std::vector<std::uint8_t> two = {0x41, 0x40, 0, 0, 0x42, 0x48, 0, 0};  // 12 mA, 50 %
    auto broken = burst(1, one);
    broken.back() ^= 1;
    auto cut = burst(1, one);
    cut.pop_back();
    const struct {
        std::vector<std::uint8_t> chunk;
        std::size_t series;  // of the value looked at
        std::optional<double> value;
        std::string unit;
    } cases[] = {
        {burst(1, one), 0, 2.5, "KPa"},
        {burst(2, two), 4, 12.0, "mA"},
        {burst(3, {0x41, 0x40, 0, 0, 12, 0x40, 0x20, 0, 0}), 0, 2.5, "KPa"},
        {broken, 0, std::nullopt, ""},
        {burst(48, one), 0, std::nullopt, ""},
        {cut, 0, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const auto s = burstSample(c.chunk, Clock::now());
        ASSERT_EQ(s.has_value(), c.value.has_value()) << hart::hexText(c.chunk);
        if (!s) continue;
        EXPECT_EQ(s->values[c.series], c.value);
        EXPECT_EQ(s->units[c.series], c.unit);
    }
}

}  // namespace
}  // namespace ops::trend
