// Siemens, Krohne TT50C and ABB TTH200: the data the writes send, the replies' mapping to
// the boxes, and the TT50C write that sends back what its read delivered.
#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using namespace testing;

const Bytes kTail = {0x20, 0x00, 0x00, 0x00, 0x00, 0x42, 0xC8, 0x00, 0x00, 0x32};

// What a box without an item, or on an item without a code, sends.
TEST(SiemensKrohneAbb, WritesSendTheSelectedItemsCodes) {
    struct Case {
        const char* control;
        std::vector<std::pair<const char*, int>> items;
        std::string data;
    };
    const std::string tail = hart::hexText(kTail);
    const Case cases[] = {
        {"Button11", {{"ComboBox7", 1}}, "00 01 04 "},
        {"Button11", {{"ComboBox7", -1}}, "00 87 02 "},
        {"Button64", {{"TT50NEXING", 0}, {"TT50WAR", -1}}, "00 00 " + tail},
        {"Button64", {{"TT50NEXING", 19}, {"TT50WAR", 5}}, "00 10 " + tail},
        {"Button64", {{"TT50NEXING", 23}}, "00 02 " + tail},  // an empty item
        {"Button64", {{"TT50NEXING", -1}}, "00 02 " + tail},
        {"Button67", {{"ABBTTH200NEIXING", 0}, {"ABBTTH200WAY", 1}}, "00 00 00 "},
        {"Button67", {{"ABBTTH200NEIXING", 37}, {"ABBTTH200WAY", 4}}, "00 00 04 "},
        {"Button67", {{"ABBTTH200NEIXING", -1}, {"ABBTTH200WAY", -1}}, "00 00 00 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + c.data);
        auto controls = testing::validControls();
        for (const auto& [box, item] : c.items) controls.setIndex(box, item);
        Session session;
        session.tt50cTail = Tt50cTail{session.identity, {}};
        std::copy(kTail.begin(), kTail.end(), session.tt50cTail->bytes.begin());
        expectRequest(build(c.control, controls, session), "", c.data);
    }
}

TEST(SiemensKrohneAbb, RepliesSelectItemsByCode) {
    constexpr int kKept = -99;  // no update: the box keeps its item
    struct Case {
        const char* control;
        Bytes data;
        std::string status;
        std::vector<std::pair<const char*, int>> selected;
    };
    const std::string ok = "上传成功!";
    const Case cases[] = {
        {"Button2", {0x00, 0x01, 0x04}, ok, {{"ComboBox7", -1}}},
        {"Button2", {0x00, 0x01, 0x07}, "上传失败!", {{"ComboBox7", kKept}}},
        {"Button2", {0x00, 0x01, 0x02, 0x00}, "上传失败!", {{"ComboBox7", kKept}}},  // count 6
        {"Button63", concat({0x00, 0x07}, kTail), ok, {{"TT50NEXING", 19}, {"TT50WAR", 0}}},
        {"Button63", concat({0x55, 0x00}, kTail), ok, {{"TT50NEXING", 19}, {"TT50WAR", 0}}},
        {"Button63", {0x83, 0x04, 0, 0, 0, 0, 0, 0, 0, 0}, "上传失败", {{"TT50NEXING", kKept}}},
        {"Button68", {0x00, 0x00, 0x00, 0x20}, ok, {{"ABBTTH200NEIXING", 37}, {"ABBTTH200WAY", 0}}},
        {"Button68", {0x00, 0x05, 0x01, 0x20}, ok, {{"ABBTTH200NEIXING", -1}, {"ABBTTH200WAY", 0}}},
        {"Button68", {0x00, 0x0E, 0x03}, "上传失败", {{"ABBTTH200NEIXING", kKept}}},  // count 5
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + hart::hexText(c.data));
        Session s;
        const hart::Outcome out = testing::decodeData(c.control, c.data, s);
        EXPECT_EQ(out.status, c.status);
        for (const auto& [box, item] : c.selected) EXPECT_EQ(selectionOf(out, box), item) << box;
    }
}

// The write sends back the tail of the last good read; before such a read of the instrument
// now addressed it would overwrite the instrument's configuration.
TEST(SiemensKrohneAbb, Tt50cWriteNeedsAGoodReadOfTheAddressedInstrument) {
    const std::string readFirst = "请先上传科隆TT50C的配置,再下传!";
    const auto controls = testing::validControls();
    Session s;
    s.identity.manufacturer = 0x45;
    Request r = build("Button64", controls, s);
    expectRequest(r, readFirst, "");
    EXPECT_FALSE(r.refusalIsError);

    // A reply cut short inside the tail is no read.
    Bytes cut = longReply(130, 0, concat({0x01, 0x03}, kTail));
    cut.resize(cut.size() - 4);
    EXPECT_EQ(testing::decodeChunk("Button63", cut, s).status, "上传失败");
    EXPECT_EQ(build("Button64", controls, s).refusal, readFirst);

    EXPECT_EQ(testing::decodeData("Button63", concat({0x01, 0x03}, kTail), s).status, "上传成功!");
    expectRequest(build("Button64", controls, s), "", "01 02 " + hart::hexText(kTail));

    // Another instrument polled: its configuration is unknown.
    s.identity.deviceId = {0x00, 0x50, 0xC1};
    EXPECT_EQ(build("Button64", controls, s).refusal, readFirst);
    // A failed read keeps the tail of the earlier instrument but does not vouch for this one.
    EXPECT_EQ(testing::decodeData("Button63", {0x01}, s).status, "上传失败");
    EXPECT_EQ(build("Button64", controls, s).refusal, readFirst);
}

}  // namespace
}  // namespace ops
