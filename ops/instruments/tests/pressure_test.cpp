// 3051, 300SMV and EJA: the data the writes send and the replies' mapping to the boxes.
#include <gtest/gtest.h>

#include "hart/tests/reply_builder.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using namespace testing;

TEST(Pressure, WritesSendTheBoxesCodes) {
    struct Case {
        const char* control;
        std::vector<std::pair<const char*, int>> items;
        std::string data;
    };
    const Case cases[] = {
        {"Button45", {{"ComboBox23", 7}, {"ComboBox24", 0}, {"ComboBox25", -1}}, "07 00 FF 01 "},
        {"Button46", {}, "01 7F "},  // every display box on "ON"
        // Typed text counts as on for the totalizer and flow rate only.
        {"Button46",
         {{"ComboBox27", -1},
          {"ComboBox28", 0},
          {"ComboBox31", -1},
          {"ComboBox33", -1},
          {"ComboBox34", -1}},
         "01 6C "},
        {"Button46", {{"ComboBox33", 0}, {"ComboBox34", 0}, {"ComboBox30", 0}}, "00 1F "},
        {"Button49",
         {{"EJAXIANS1", 0}, {"EJAXIANS2", 5}, {"EJAXIANS4", -1}},
         "00 FA 01 FF 00 00 01 02 01 20 20 20 20 20 20 20 20 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + c.data);
        auto controls = testing::validControls();
        for (const auto& [box, item] : c.items) controls.setIndex(box, item);
        Session session;
        EXPECT_EQ(dataOf(build(c.control, controls, session)), c.data);
    }
}

// The cut-off goes in the unit last read or written; the start text is no number.
TEST(Pressure, CutOffWriteSendsTheCurrentUnit) {
    auto controls = testing::validControls();
    controls.setText("EJAlingdian", "1.5");
    Session session;
    session.unit.set(session.identity, 12);
    EXPECT_EQ(dataOf(build("Button51", controls, session)), "0C 3F C0 00 00 ");
    controls.setText("EJAlingdian", "EJAlingdian");
    const Request r = build("Button51", controls, session);
    EXPECT_EQ(r.refusal, "'EJAlingdian' is not a valid floating point value");
    EXPECT_EQ(r.frame.size(), 0u);
}

TEST(Pressure, RepliesSetTheBoxes) {
    struct Case {
        const char* control;
        Bytes data;
        std::vector<std::pair<const char*, int>> selected;
        std::vector<std::pair<const char*, const char*>> texts = {};
    };
    const Case cases[] = {
        {"Button44",
         {0, 1, 9, 7},
         {{"ComboBox23", 0}, {"ComboBox24", 1}, {"ComboBox25", -1}, {"ComboBox26", 7}}},
        {"Button47",
         {0x01, 0x41},
         {{"ComboBox33", 1},
          {"ComboBox34", 1},
          {"ComboBox27", 1},
          {"ComboBox28", 0},
          {"ComboBox29", 0},
          {"ComboBox30", 0},
          {"ComboBox31", 0},
          {"ComboBox32", 0}}},
        {"Button47", {0xFE, 0x3E}, {{"ComboBox33", 0}, {"ComboBox34", 0}, {"ComboBox28", 1}}},
        {"Button48",
         {0xFA, 0x07, 0x02, 0x05},
         {{"EJAXIANS1", 5}, {"EJAXIANS2", -1}, {"EJAXIANS3", 2}, {"EJAXIANS4", 5}}},
        {"Button50", {0x40, 0xA0, 0x00, 0x00, 0x01}, {{"EJAMODEM", 1}}, {{"EJAlingdian", "5"}}},
        {"Button50",
         {0x3D, 0xCC, 0xCC, 0xCD, 0x02},
         {{"EJAMODEM", -1}},
         {{"EJAlingdian", "0.100"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + hart::hexText(c.data));
        Session s;
        hart::Outcome out = testing::decodeData(c.control, c.data, s);
        EXPECT_EQ(out.status, "上传成功!");
        for (const auto& [box, item] : c.selected) EXPECT_EQ(selectionOf(out, box), item) << box;
        for (const auto& [edit, text] : c.texts) EXPECT_EQ(textOf(out, edit), text) << edit;

        // One byte short of the fields: no reply, nothing shown.
        Bytes cut = c.data;
        cut.pop_back();
        out = testing::decodeData(c.control, cut, s);
        EXPECT_EQ(out.status, "上传失败!");
        EXPECT_TRUE(out.updates.empty());
    }
}

}  // namespace
}  // namespace ops
