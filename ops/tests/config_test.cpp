// Configuration files: values through JSON and back, and the restore's plan and account.
#include <gtest/gtest.h>

#include "ops/config_file.h"

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
    // Escapes another writer may use, and what no reader should take.
    const Parsed u = parse(R"({"format":"hart-configuration","version":1,
        "identity":{"manufacturer-id":"\u0033\u0038","device-type":"6"},
        "fields":{"tag":"\u7ebf\ud83d\ude00"}})");
    ASSERT_TRUE(u.record) << u.error;
    EXPECT_EQ(u.record->identity.at("manufacturer-id"), "38");
    EXPECT_EQ(u.record->fields.at("tag"), "线😀");
    EXPECT_NE(parse(std::string(20, '[')).error.find("ends early"), std::string::npos);
    EXPECT_NE(parse(std::string(100, '[')).error.find("deeply"), std::string::npos);
}

// A restore writes what differs, once per write, and names what reads back otherwise.
TEST(ConfigDriver, RestoreWritesDifferencesAndReadsThemBack) {
    const Values instrument = {{"tag", "A"},       {"descriptor", "D"}, {"year", "2019"},
                               {"month", "6"},     {"day", "15"},       {"damping", "2"},
                               {"message", "SAME"}};
    Values file = instrument;
    file["tag"] = "B";
    file["damping"] = "1";
    file["sensor-upper-limit"] = "9";  // never written
    Driver d = Driver::restoring({}, file, instrument);
    Session s;
    auto step = d.next(s);
    ASSERT_TRUE(step);
    EXPECT_EQ(step->control, "Button33");
    EXPECT_EQ(step->fields, std::vector<std::string>{"tag"});
    EXPECT_EQ(step->request.refusal, "");
    d.take({}, true);
    step = d.next(s);
    EXPECT_EQ(step->control, "Button10");
    d.take({}, true);
    step = d.next(s);  // read back: the tag took, the damping did not
    EXPECT_EQ(step->kind, Step::Kind::ReadBack);
    hart::Outcome tag;
    tag.setText("Edit22", "B       ");
    d.take(tag, true);
    step = d.next(s);
    hart::Outcome range;
    range.setText("Edit16", "2");
    d.take(range, true);
    EXPECT_FALSE(d.next(s));
    EXPECT_EQ(d.account().written, (std::vector<std::string>{"tag", "damping"}));
    EXPECT_EQ(d.account().notTaken, std::vector<std::string>{"damping"});
    EXPECT_TRUE(d.account().complete());
}

}  // namespace
}  // namespace ops::config
