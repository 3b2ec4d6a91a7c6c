// Configuration files: values through JSON and back, and the restore's plan and account.
#include <gtest/gtest.h>

#include <cmath>

#include "ops/config_file.h"
#include "ops/hart7.h"

namespace ops::config {
namespace {

TEST(ConfigJson, AnyTextComesBackAsItWas) {
    const std::string texts[] = {"",
                                 "PT-101",
                                 "a \"quoted\" \\ back/slash",
                                 "线性 量程",
                                 std::string("tab\tnew\nline\x01\x1f", 15),
                                 "  blanks  "};
    for (const std::string& t : texts) {
        Record r = recordOf({{"manufacturer-id", "38"}, {"device-type", "6"}, {"tag", t}},
                            "2026-12-08T00:00:00Z", "test");
        const Parsed p = parse(toJson(r));
        ASSERT_TRUE(p.record) << p.error;
        EXPECT_EQ(p.record->fields.at("tag"), t);
        EXPECT_TRUE(compare(r.all(), p.record->all()).empty());
    }
    // Escapes another writer may use, and what no reader should take; a version 1 file, as
    // older tools wrote, still reads.
    const Parsed u = parse(R"({"format":"hart-configuration","version":1,
        "identity":{"manufacturer-id":"\u0033\u0038","device-type":"6"},
        "fields":{"tag":"\u7ebf\ud83d\ude00"}})");
    ASSERT_TRUE(u.record) << u.error;
    EXPECT_EQ(u.record->identity.at("manufacturer-id"), "38");
    EXPECT_EQ(u.record->fields.at("tag"), "线😀");
    EXPECT_NE(parse(std::string(100, '[')).error.find("deeply"), std::string::npos);
}

std::string replaced(std::string text, const std::string& was, const std::string& now) {
    return text.replace(text.find(was), was.size(), now);
}

TEST(ConfigJson, NumbersAsReceivedAndWhatElseIsKnownComeBack) {
    Record r = recordOf({{"manufacturer-id", "38"}, {"device-type", "6"}, {"pv", "43.3"}}, "", "t");
    r.numbers = {{"pv", double(43.30476f)}, {"current", 4.000000000000001}, {"sv", NAN}};
    r.about = {{"hart-revision", "7"}, {"device-status", "8"}};
    const Parsed p = parse(toJson(r));
    ASSERT_TRUE(p.record) << p.error;
    // A value sent as a single-precision float reads back as the same text, not the same double.
    ASSERT_EQ(p.record->numbers.size(), 2u);
    EXPECT_EQ(exactText(p.record->numbers.at("pv")), "43.30476");
    EXPECT_EQ(p.record->numbers.at("current"), 4.000000000000001);
    EXPECT_EQ(p.record->about, r.about);
    EXPECT_NE(parse(replaced(toJson(r), "\"pv\": 43", "\"pvv\": 43")).error.find("\"pvv\""),
              std::string::npos);
}

TEST(ConfigJson, FilesThatAreNoConfigurationAndEveryCutOfAGoodOneAreRefused) {
    const std::string good =
        toJson(recordOf({{"manufacturer-id", "38"}, {"device-type", "6"}, {"damping", "0.5"}},
                        "2026-12-08T00:00:00Z", "test"));
    ASSERT_TRUE(parse(good).record);
    // The last cut leaves out the final newline only: that file is whole.
    for (std::size_t n = 0; n + 1 < good.size(); ++n)
        EXPECT_NE(parse(good.substr(0, n)).error.find("ends early"), std::string::npos) << n;
    const std::pair<std::string, const char*> cases[] = {
        {"PK\x03\x04", "unexpected character at byte 1"},
        {replaced(good, "\"version\": 2", "\"version\": 0"), "schema version 0 is"},
        {replaced(good, "\"version\": 2", "\"version\": 1.5"), "schema version 1.5 is"},
        {replaced(good, "\"version\": 2", "\"version\": -1"), "schema version -1 is"},
        {replaced(good, "\"version\": 2", "\"version\": 3"), "schema version 3 is"},
        {replaced(good, "\"version\": 2", "\"version\": 1e300"), "schema version 1e+300 is"},
        {replaced(good, "hart-configuration", "other"), "\"format\""},
        {replaced(good, "\"damping\"", "\"dampening\""), "no field \"dampening\""},
        {replaced(good, "\"0.5\"", "0.5"), "no string"},
        {replaced(good, "\"device-type\"", "\"device-id\""), "no \"device-type\""},
        {replaced(good, "\"damping\"", "\"644-wiring\": \"\", \"eja-display-line1\""),
         "more than one model"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_NE(parse(text).error.find(message), std::string::npos) << parse(text).error;
}

TEST(ConfigJson, ComparisonNamesAFieldEmptyOnOneSideAndMissingOnTheOther) {
    const Values left = {{"tag", "A"}, {"descriptor", ""}, {"day", "1"}, {"pv", "1"}};
    const Values right = {{"tag", "B"}, {"message", ""}, {"day", "1"}, {"pv", "2"}};
    std::vector<std::string> differ;
    for (const Difference& d : compare(left, right)) differ.push_back(d.field);
    EXPECT_EQ(differ, (std::vector<std::string>{"tag", "descriptor", "message"}));
}

// A restore writes what differs, once per write, and names what reads back otherwise; the
// read-back of a changed polling address goes to the new address.
TEST(ConfigDriver, RestoreWritesDifferencesAndReadsThemBack) {
    const Values instrument = {{"tag", "A"},        {"descriptor", "D"},     {"year", "2019"},
                               {"month", "6"},      {"day", "15"},           {"damping", "2"},
                               {"message", "SAME"}, {"polling-address", "0"}};
    Values file = instrument;
    file["tag"] = "B";
    file["damping"] = "1";
    file["sensor-upper-limit"] = "9";  // never written
    file["polling-address"] = "5";
    Driver d = Driver::restoring({}, file, instrument);
    Session s;
    auto step = d.next(s);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->control, "Button33");
    EXPECT_EQ(step->fields, std::vector<std::string>{"tag"});
    EXPECT_EQ(step->request.refusal, "");
    d.take({}, true);
    for (const char* write : {"Button10", "Button27"}) {
        EXPECT_EQ(d.next(s)->control, write);
        d.take({}, true);
    }
    step = d.next(s);  // read back: the tag took, the damping did not
    EXPECT_EQ(step->kind, Step::Kind::ReadBack);
    hart::Outcome tag;
    tag.setText("Edit22", "B       ");
    d.take(tag, true);
    step = d.next(s);
    hart::Outcome range;
    range.setText("Edit16", "2");
    d.take(range, true);
    step = d.next(s);
    ASSERT_EQ(step->control, "Button3");
    EXPECT_EQ(step->request.frame[7] & 0x3F, 5) << hart::hexText(step->request.frame.bytes());
    d.take({}, true);
    EXPECT_FALSE(d.next(s));
    EXPECT_EQ(d.account().written, (std::vector<std::string>{"tag", "damping", "polling-address"}));
    EXPECT_EQ(d.account().notTaken, std::vector<std::string>{"damping"});
    EXPECT_TRUE(d.account().complete());
}

// An instrument without a later command (64), variable (2) or burst message (9) leaves those
// fields out, and a restore never writes them there; anything else still stops the save.
TEST(ConfigDriver, OnlyAMissingCommandOfAnOptionalFieldIsPassedOver) {
    const std::tuple<std::string_view, int, bool> cases[] = {
        {hart7::kReadLongTagButton, 64, false},     {hart7::kReadBurstConfigButton, 9, false},
        {hart7::kReadVariableInfoButton, 2, false}, {hart7::kReadLongTagButton, 0, true},
        {hart7::kReadLongTagButton, 16, true},      {"Button32", 64, true},
    };
    for (const auto& [control, code, stops] : cases) {
        Driver d = Driver::reading({});
        Session s;
        while (auto step = d.next(s)) d.take({}, step->control != control, {}, code);
        EXPECT_EQ(d.account().complete(), !stops) << control << " " << code;
        const bool longTag = d.account().values.contains("long-tag");
        EXPECT_TRUE(stops || longTag == (control != hart7::kReadLongTagButton)) << control;
    }
    EXPECT_TRUE(toWrite({{"long-tag", "X"}, {"variable-2-unit", "bar"}}, {}).empty());
}

}  // namespace
}  // namespace ops::config
