// 3051, 300SMV and EJA: the data the writes send and the replies' mapping to the boxes.
#include <gtest/gtest.h>

#include <functional>

#include "hart/tests/reply_builder.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using hart::testing::Bytes;
using hart::testing::longReply;
using testing::dataOf;
using testing::selectionOf;
using testing::textOf;

constexpr const char* kDisplayBoxes[] = {"ComboBox27", "ComboBox28", "ComboBox29", "ComboBox30",
                                         "ComboBox31", "ComboBox32", "ComboBox33", "ComboBox34"};

void allDisplay(ControlValues& c, int item) {
    for (const char* box : kDisplayBoxes) c.setIndex(box, item);
}

TEST(Pressure, WritesSendTheBoxesCodes) {
    struct Case {
        const char* control;
        std::function<void(ControlValues&)> set;
        std::string data;     // hex text of the data bytes, when sent
        std::string refusal;  // the message, when refused
        int unitBefore = 0;
    };
    const std::string eightBlanks = "20 20 20 20 20 20 20 20 ";
    const Case cases[] = {
        {"Button42", [](auto&) {}, "", ""},
        {"Button45",
         [](auto& c) {
             c.setIndex("ComboBox23", 7).setIndex("ComboBox24", 0).setIndex("ComboBox25", -1);
         },
         "07 00 FF 01 ", ""},
        {"Button46", [](auto& c) { allDisplay(c, 1); }, "01 7F ", ""},
        {"Button46", [](auto& c) { allDisplay(c, 0); }, "00 00 ", ""},
        // Typed text counts as on for the totalizer and flow rate only.
        {"Button46", [](auto& c) { allDisplay(c, -1); }, "01 40 ", ""},
        {"Button46",
         [](auto& c) {
             allDisplay(c, 0);
             c.setIndex("ComboBox29", 1).setIndex("ComboBox32", 1);
         },
         "00 0C ", ""},
        {"Button49",
         [](auto& c) {
             c.setIndex("EJAXIANS1", 0).setIndex("EJAXIANS2", 5).setIndex("EJAXIANS4", -1);
         },
         "00 FA 01 FF 00 00 01 02 01 " + eightBlanks, ""},
        {"Button51", [](auto& c) { c.setText("EJAlingdian", "1.5"); }, "0C 3F C0 00 00 ", "", 12},
        {"Button51", [](auto& c) { c.setText("EJAlingdian", "10"); }, "00 41 20 00 00 ", ""},
        {"Button51", [](auto& c) { c.setText("EJAlingdian", "EJAlingdian"); }, "",
         "'EJAlingdian' is not a valid floating point value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " " + c.data + c.refusal);
        auto controls = testing::validControls();
        c.set(controls);
        Session session;
        session.unit.set(static_cast<std::uint8_t>(c.unitBefore));
        const Request r = build(c.control, controls, session);
        EXPECT_EQ(r.refusal, c.refusal);
        if (c.refusal.empty()) {
            EXPECT_EQ(dataOf(r), c.data);
        } else {
            EXPECT_EQ(r.frame.size(), 0u);
        }
    }
}

TEST(Pressure, DisplaySetFrameAsItLeavesThePort) {
    Session s;
    s.identity.manufacturer = 0x26;
    s.identity.deviceType = 0x06;
    s.identity.deviceId = {0x00, 0x12, 0x34};
    auto c = testing::validControls();
    c.setIndex("ComboBox8", 0);
    allDisplay(c, 1);
    EXPECT_EQ(testing::wire(build("Button46", c, s)),
              "FF FF FF FF FF FF FF FF 82 A6 06 00 12 34 BD 02 01 7F C5 ");
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
        const Operation* op = operationFor(c.control);
        hart::ReceiveBuffer b;
        b.store(longReply(static_cast<std::uint8_t>(op->command), 0, c.data));
        hart::Outcome out = decode({op->tag, op->kind, op->command, true}, b, s);
        EXPECT_EQ(out.status, "上传成功!");
        for (const auto& [box, item] : c.selected) EXPECT_EQ(selectionOf(out, box), item) << box;
        for (const auto& [edit, text] : c.texts) EXPECT_EQ(textOf(out, edit), text) << edit;

        // One byte short of the fields: no reply, nothing shown.
        Bytes cut = c.data;
        cut.pop_back();
        b.store(longReply(static_cast<std::uint8_t>(op->command), 0, cut));
        out = decode({op->tag, op->kind, op->command, true}, b, s);
        EXPECT_EQ(out.status, "上传失败!");
        EXPECT_TRUE(out.updates.empty());
    }
}

}  // namespace
}  // namespace ops
