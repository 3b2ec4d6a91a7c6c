// The loop check's verdicts at the tolerance's edge, the plans it refuses, and records it
// refuses to read.
#include "ops/loop_check.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ops::loopcheck {
namespace {

TEST(LoopCheckPoints, PassWithinTheToleranceOfTheSpanToTheLastBit) {
    const struct {
        double set, read, tolerance;
        bool pass;
    } cases[] = {
        {4, 4.016, 0.1, true},   {4, 3.984, 0.1, true},   {4, 4.0161, 0.1, false},
        {20, 19.98, 0.1, false}, {12, 12.04, 0.25, true}, {12, std::nan(""), 0.1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read);
        EXPECT_EQ(loopPoint(c.set, c.read, c.tolerance).pass, c.pass);
    }
    EXPECT_DOUBLE_EQ(loopPoint(4, 4.03, 0.1).errorPercentOfSpan, 0.1875);
    const Range kPa{0, 200, "KPa"};
    EXPECT_DOUBLE_EQ(sensorPoint(100, 100.1, kPa, 0.1).errorPercentOfSpan, 0.05);
    EXPECT_FALSE(sensorPoint(100, 100.1, std::nullopt, 0.1).pass);
    EXPECT_FALSE(sensorPoint(100, 100.1, Range{5, 5, "KPa"}, 0.1).pass);
}

TEST(LoopCheckPlans, RefusedBeforeAnythingIsSent) {
    const struct {
        const char* points;
        double tolerance;
        bool fine;
    } cases[] = {
        {"4,8,12,16,20", 0.1, true}, {"4 12; 20", 0.5, true}, {"", 0.1, false},
        {"2,4", 0.1, false},         {"4,23", 0.1, false},    {"4", 0, false},
        {"4", -0.1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        Plan p;
        p.pointsMa = *numberList(c.points);
        p.tolerancePercentOfSpan = c.tolerance;
        EXPECT_EQ(planError(p).empty(), c.fine) << planError(p);
    }
    EXPECT_FALSE(numberList("4,x"));
    EXPECT_FALSE(numberList("4,nan"));
}

TEST(LoopCheckRecords, OnlyWholeRecordsOfThisFormatAreRead) {
    Record r;
    r.asFound = {loopPoint(4, 4.03, 0.1)};
    r.sensor = {sensorPoint(50, std::nan(""), Range{0, 100, "KPa"}, 0.1)};
    r.outcome = Outcome::PortLost;
    const std::string good = toJson(r);
    const Parsed back = fromJson(good);
    ASSERT_TRUE(back.record) << back.error;
    EXPECT_TRUE(std::isnan(back.record->sensor[0].pv));
    EXPECT_EQ(toJson(*back.record), good);

    const auto swapped = [&](const std::string& was, const std::string& now) {
        std::string t = good;
        return t.replace(t.find(was), was.size(), now);
    };
    for (const std::string& bad : {
             swapped("hart-loop-check", "hart-configuration"),
             swapped("\"version\": 1", "\"version\": 2"),
             swapped("port-lost", "lost"),
             swapped("\"asFound\": [", "\"asFound\": {\"x\": 1}, \"y\": ["),
             swapped("\"pass\": false", "\"pass\": 0"),
             swapped("\"range\": null", "\"range\": 5"),
             good.substr(0, good.size() / 2),
         }) {
        EXPECT_FALSE(fromJson(bad).record) << bad;
    }
}

}  // namespace
}  // namespace ops::loopcheck
