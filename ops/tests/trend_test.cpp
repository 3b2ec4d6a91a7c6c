// The trend's record and the reduction that draws it.
#include "ops/trend.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ops::trend {
namespace {

TEST(Trend, DecimationKeepsEachColumnsExtremesAndLeavesGapsEmpty) {
    const double times[] = {0.0, 0.4, 0.6, 1.2, 1.5, 2.9, 3.0, 5.0};
    const std::optional<double> values[] = {1.0, -2.0, 3.0, std::nullopt, NAN, 7.0, 8.0, 9.0};
    const auto bands = decimate(times, values, 0.0, 3.0, 3);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(bands[0]->min, -2.0);
    EXPECT_EQ(bands[0]->max, 3.0);
    EXPECT_FALSE(bands[1]);         // a missed reply and a not-a-number only
    EXPECT_EQ(bands[2]->min, 7.0);  // the end of the span is in its last column, 5.0 past it
    EXPECT_EQ(bands[2]->max, 8.0);
}

TEST(Trend, RecordNamesUnitsAgainOnlyWhenOneChanges) {
    const std::string path = ::testing::TempDir() + "trend.csv";
    Recorder r;
    std::string error;
    ASSERT_TRUE(r.open(path, error)) << error;
    Sample s;
    s.units = {"KPa", "degC", "degC", "%", "mA", "%"};
    s.values[0] = 1.5;
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
}

}  // namespace
}  // namespace ops::trend
