// Requests and replies of the Rosemount, Yokogawa and E+H temperature transmitter groups.
#include <gtest/gtest.h>

#include <functional>

#include "hart/tests/reply_builder.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using namespace testing;

using Set = std::function<void(ControlValues&)>;

const std::string kNoNumber = "' is not a valid floating point value";
const Bytes kOne = {0x3F, 0x80, 0x00, 0x00};

TEST(TemperatureRequests, DataBytesOrRefusalFromTheControls) {
    struct Case {
        const char* control;
        Set set;
        std::string data;
        std::string refusal;
    };
    const Case cases[] = {
        {"Button36", [](auto& c) { c.setIndex("ComboBox17", 27).setIndex("ComboBox18", 2); },
         "00 8D 04 ", ""},
        {"Button36", [](auto& c) { c.setIndex("ComboBox17", -1); }, "", "请选择传感器类型!"},
        {"Button36", [](auto& c) { c.setIndex("ComboBox18", -1); }, "", "请选择接线方式!"},
        {"Button41", [](auto& c) { c.setIndex("ComboBox19", -1); }, "00 ", ""},  // typed text
        {"Button40",
         [](auto& c) {
             c.setIndex("ComboBox19", 3).setIndex("ComboBox21", 15).setIndex("ComboBox20", 1);
         },
         "04 00 03 ", ""},
        {"Button40", [](auto& c) { c.setIndex("ComboBox21", -1); }, "", "请选择传感器类型!"},
        {"Button40", [](auto& c) { c.setIndex("ComboBox19", -1); }, "00 0E 02 ", ""},
        {"Button43", [](auto& c) { c.setIndex("ComboBox19", 2).setIndex("ComboBox22", 3); },
         "03 23 ", ""},
        {"Button43", [](auto& c) { c.setIndex("ComboBox22", -1); }, "", "请选择温度单位!"},
        {"Button69", [](auto& c) { c.setIndex("ComboBox36", 9).setIndex("ComboBox35", 3); },
         "04 80 00 00 00 ", ""},
        {"Button69", [](auto& c) { c.setIndex("ComboBox36", 8).setIndex("ComboBox35", 2); },
         "04 80 00 89 04 ", ""},
        {"Button69", [](auto& c) { c.setIndex("ComboBox35", -1); }, "", "请选择接线方式!"},
        {"Button53", [](auto& c) { c.setIndex("HengHeTX", 22).setIndex("HengHeFS", 2); },
         "00 FB 04 ", ""},
        {"Button53", [](auto& c) { c.setIndex("HengHeTX", -1).setIndex("HengHeFS", -1); },
         "00 FF 01 ", ""},
        {"Button55", [](auto& c) { c.setText("HengHeJXIAN", "0.5"); }, "3F 00 00 00 ", ""},
        {"Button55", [](auto& c) { c.setText("HengHeJXIAN", "x"); }, "", "'x" + kNoNumber},
        {"Button56", [](auto& c) { c.setIndex("TempBIAHO", 1); }, "40 ", ""},
        {"Button65", [](auto& c) { c.setIndex("TempBIAHO", 1); }, "45 ", ""},
        {"Button61", [](auto& c) { c.setIndex("TempBIAHO", 1).setIndex("POTMXU", 4); },
         "4C FB 3F 80 00 00 ", ""},
        {"Button61", [](auto& c) { c.setIndex("POTMXU", -1); }, "", "请选择Polynom_RTD系数!"},
        {"Button62", [](auto& c) { c.setIndex("CALL_ALP", 3); }, "63 FB 3F 80 00 00 ", ""},
        {"Button62", [](auto& c) { c.setIndex("TempBIAHO", 1); }, "64 FB 3F 80 00 00 ", ""},
        {"Button62", [](auto& c) { c.setIndex("CALL_ALP", -1); }, "", "请选择callendar系数!"},
        {"Button62", [](auto& c) { c.setText("CALL_ALP_XS", "abc"); }, "", "'abc" + kNoNumber},
        {"Button57", [](auto&) {}, "", "请先上传传感类型!"},
        {"Button60", [](auto&) {}, "", "请先上传接线方式!"},
        {"Button66", [](auto&) {}, "", "请先上传偏移值!"},
    };
    for (const auto& c : cases) {
        auto controls = testing::validControls();
        c.set(controls);
        Session session;
        const Request r = build(c.control, controls, session);
        SCOPED_TRACE(std::string(c.control) + " " + c.data + c.refusal);
        expectRequest(r, c.refusal, c.data);
    }
}

TEST(TemperatureRequests, WholeFramesForTheExampleInstrument) {
    struct Case {
        const char* control;
        Set set;
        std::string frame;
    };
    const std::string pre = "FF FF FF FF FF FF FF FF ";
    const Case cases[] = {
        {"Button35", [](auto&) {}, pre + "82 A6 06 00 12 34 8C 01 00 89 "},
        {"Button70", [](auto&) {}, pre + "82 A6 06 00 12 34 1F 03 04 01 00 1D "},
        {"Button43", [](auto& c) { c.setIndex("ComboBox19", 2).setIndex("ComboBox22", 3); },
         pre + "82 A6 06 00 12 34 35 02 03 23 13 "},
        {"Button56", [](auto& c) { c.setIndex("TempBIAHO", 1); },
         pre + "82 A6 06 00 12 34 90 01 40 D5 "},
    };
    for (const auto& c : cases) {
        auto controls = testing::validControls();
        c.set(controls);
        Session s;
        s.identity.manufacturer = 0x26;
        s.identity.deviceType = 0x06;
        s.identity.deviceId = {0x00, 0x12, 0x34};
        EXPECT_EQ(testing::wire(build(c.control, controls, s)), c.frame) << c.control;
    }
}

constexpr int kUnset = -99;

TEST(TemperatureReplies, CodesSelectTheirItems) {
    struct Case {
        const char* control;
        Bytes data;
        std::string status;
        std::vector<std::pair<const char*, int>> selections;  // kUnset: box left as it was
    };
    const Bytes six(6, 0);
    const Case cases[] = {
        {"Button35", {0x00, 0x8F, 4}, "上传成功!", {{"ComboBox17", 28}, {"ComboBox18", 2}}},
        {"Button35", {0x00, 0x09, 3}, "上传成功!", {{"ComboBox17", kUnset}, {"ComboBox18", 1}}},
        {"Button35", {0x00, 0x01}, "上传失败!", {{"ComboBox17", kUnset}, {"ComboBox18", kUnset}}},
        {"Button41",
         {0x02, 0x84, 2, 33},
         "上传成功!",
         {{"ComboBox21", 20}, {"ComboBox20", 0}, {"ComboBox19", kUnset}, {"ComboBox22", kUnset}}},
        {"Button70",
         concat({4, 1, 0, 0x89, 4}, six),
         "上传成功!",
         {{"ComboBox36", 8}, {"ComboBox35", 2}}},
        {"Button70",
         concat({4, 1, 0, 0x55, 7}, six),
         "上传成功!",
         {{"ComboBox36", 9}, {"ComboBox35", 3}}},
        {"Button70",
         concat({4, 1, 0, 0x89, 4}, {0, 0, 0, 0, 0}),
         "上传失败!",
         {{"ComboBox36", kUnset}}},  // byte count 12
        {"Button52", {0x00, 0x42, 5}, "上传成功!", {{"HengHeTX", 23}, {"HengHeFS", -1}}},
        {"Button52", {0x00, 0xFB, 2}, "上传成功!", {{"HengHeTX", 22}, {"HengHeFS", 0}}},
        {"Button52", {0x00, 0xFB}, "上传失败!", {{"HengHeTX", kUnset}, {"HengHeFS", kUnset}}},
        {"Button56", {0x40, 0xFB, 0x77}, "上传成功!", {{"EHTEMNX", 31}}},
        {"Button56", {0x30, 0xFB, 0x03}, "上传成功!", {{"EHTEMNX", 27}}},
        {"Button59", {0x31, 0xFB, 4}, "上传成功!", {{"EHTEMFS", -1}}},
        {"Button59", {0x31, 0xFB, 2}, "上传成功!", {{"EHTEMFS", 2}}},
        {"Button59", {0x31, 0xFB}, "上传失败", {{"EHTEMFS", kUnset}}},
    };
    for (const auto& c : cases) {
        Session s;
        const hart::Outcome out = testing::decodeData(c.control, c.data, s);
        SCOPED_TRACE(std::string(c.control) + " " + hart::hexText(c.data));
        EXPECT_EQ(out.status, c.status);
        for (const auto& [box, item] : c.selections) EXPECT_EQ(selectionOf(out, box), item) << box;
    }
}

TEST(TemperatureReplies, NumbersAndTheirFailures) {
    Session s;
    EXPECT_EQ(textOf(testing::decodeData("Button54", {0x3F, 0x00, 0x00, 0x00}, s), "HengHeJXIAN"),
              "0.5");
    auto out = testing::decodeData("Button54", {0x3F, 0x00, 0x00}, s);
    EXPECT_EQ(out.status, "上传失败!");
    EXPECT_EQ(updateOf(out, "HengHeJXIAN"), nullptr);
    // -1.234567 cut to six characters.
    out = testing::decodeData("Button65", {0x35, 0xFB, 0xBF, 0x9E, 0x06, 0x4B}, s);
    EXPECT_EQ(textOf(out, "EHPIANYI"), "-1.234");
    out = testing::decodeData("Button65", {0x35, 0xFB, 0xBF, 0x9E, 0x06}, s);
    EXPECT_EQ(out.status, "上传失败");
    EXPECT_TRUE(out.updates.empty());
}

// The E+H reads look for the reply start at positions 0 to 10 only.
TEST(TemperatureReplies, EhReplyStartBeyondPositionTenIsNoReply) {
    const Bytes reply = longReply(144, 0, {0x30, 0xFB, 0x0C}, 1);
    for (const std::size_t lead : {10u, 11u}) {
        Session s;
        const auto out = testing::decodeChunk("Button56", concat(Bytes(lead, 0x00), reply), s);
        EXPECT_EQ(out.status, lead == 10 ? "上传成功!" : "上传失败") << lead;
        EXPECT_EQ(s.ehPrefixes[0].has_value(), lead == 10);
    }
}

TEST(TemperatureReplies, EhSaveSendsBackThePrefixItsReadDeliveredFromThisInstrument) {
    Session s;
    s.identity.manufacturer = 0x11;
    s.identity.deviceId = {0, 0xE4, 0x01};
    auto c = testing::validControls();
    c.setIndex("EHTEMNX", 19);

    auto out = testing::decodeData("Button56", {0x40, 0xFB, 0x0C}, s);
    const hart::Update* enable = updateOf(out, "Button57");
    ASSERT_NE(enable, nullptr);
    EXPECT_EQ(enable->kind, hart::Update::Kind::Enable);
    EXPECT_EQ(enable->value, 1);
    EXPECT_EQ(dataOf(build("Button57", c, s)), "40 FB 89 ");
    c.setIndex("EHTEMNX", -1);
    EXPECT_EQ(dataOf(build("Button57", c, s)), "40 FB FF ");

    // A failed read keeps the pair and enables nothing.
    out = testing::decodeChunk("Button56", {0xFF, 0x86, 0x00}, s);
    EXPECT_EQ(out.status, "上传失败");
    EXPECT_EQ(updateOf(out, "Button57"), nullptr);
    EXPECT_EQ(dataOf(build("Button57", c, s)), "40 FB FF ");

    // Another instrument polled: its save needs its own read; the other kinds are apart.
    s.identity.deviceId = {0, 0xE4, 0x02};
    EXPECT_EQ(build("Button57", c, s).refusal, "请先上传传感类型!");
    testing::decodeData("Button59", {0x41, 0xFB, 1}, s);
    EXPECT_EQ(build("Button57", c, s).refusal, "请先上传传感类型!");
    EXPECT_EQ(dataOf(build("Button60", c, s)), "41 FB 00 ");
    testing::decodeData("Button56", {0x30, 0xFB, 0x0C}, s);
    EXPECT_EQ(dataOf(build("Button57", c, s)), "30 FB FF ");
}

}  // namespace
}  // namespace ops
