// Requests and replies of the live-value, range, identification and output operations.
#include <gtest/gtest.h>

#include <functional>

#include "hart/tests/reply_builder.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using namespace testing;

const std::string kNoNumber = "' is not a valid floating point value";
const std::string kFourSpaces = "82 08 20 ";

std::string times(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(Requests, DataBytesOrRefusalFromTheControls) {
    struct Case {
        const char* control;
        std::function<void(ControlValues&)> set;
        std::string data;     // hex text of the data bytes, when sent
        std::string refusal;  // the message, when refused
        int unitBefore = -1;  // no unit read yet
    };
    const Case cases[] = {
        {"Button12", [](auto& c) { c.setText("Edit14", "100").setText("Edit15", "0"); },
         "0C 42 C8 00 00 00 00 00 00 ", ""},
        {"Button12", [](auto& c) { c.setText("Edit14", "x").setText("Edit15", "y"); }, "",
         "'x" + kNoNumber},
        {"Button12", [](auto& c) { c.setIndex("ComboBox1", 80); }, "", "请选择量程单位!"},
        {"Button8", [](auto& c) { c.setIndex("ComboBox1", 12); }, "20 ", ""},
        {"Button8", [](auto& c) { c.setIndex("ComboBox1", 76); }, "", "请选择量程单位!"},
        {"Button8", [](auto& c) { c.setIndex("ComboBox1", -1); }, "", "请选择量程单位!"},
        {"Button10", [](auto& c) { c.setText("Edit16", "0.5"); }, "3F 00 00 00 ", ""},
        {"Button10", [](auto& c) { c.setText("Edit16", "1e40"); }, "", "Floating point overflow"},
        {"Button14", [](auto& c) { c.setIndex("ComboBox2", 1); }, "01 ", ""},
        {"Button14", [](auto& c) { c.setIndex("ComboBox2", -1); }, "", "请选择输出特性!"},
        {"Button6",
         [](auto& c) { c.setChecked("RadioButton1", false).setChecked("RadioButton7", true); },
         "00 00 00 00 ", ""},
        {"Button6",
         [](auto& c) {
             c.setChecked("RadioButton1", false).setChecked("RadioButton6", true);
             c.setText("Edit7", "3.5");
         },
         "40 60 00 00 ", ""},
        {"Button6", [](auto& c) { c.setChecked("RadioButton3", true).setText("Edit7", "x"); },
         "40 80 00 00 ", ""},  // the first checked radio wins; Edit7 is not read
        {"Button6",
         [](auto& c) {
             c.setChecked("RadioButton1", false).setChecked("RadioButton6", true);
             c.setText("Edit7", "");
         },
         "", "'" + kNoNumber},
        {"Button6", [](auto& c) { c.setChecked("RadioButton1", false); }, "", "请选择输出电流!"},
        {"Button15", [](auto& c) { c.setText("Edit9", "20.1"); }, "41 A0 CC CD ", ""},
        {"Button15", [](auto& c) { c.setText("Edit9", "25"); }, "41 C8 00 00 ", ""},
        {"Button30", [](auto& c) { c.setText("Edit10", "."); }, "", "'." + kNoNumber},
        {"Button24", [](auto& c) { c.setText("Edit13", "1.5"); }, "0C 3F C0 00 00 ", "", 12},
        {"Button31", [](auto& c) { c.setText("Edit19", "-0.5"); }, "00 BF 00 00 00 ", "", 0},
        {"Button31", [](auto& c) { c.setText("Edit19", "-0.5"); }, "", "请先上传单位!"},
        {"Button23", [](auto&) {}, "", ""},
        {"Button25", [](auto&) {}, "", ""},
        {"Button20", [](auto& c) { c.setIndex("ComboBox11", 2); }, "03 ", ""},
        {"Button20", [](auto& c) { c.setIndex("ComboBox11", -1); }, "", "请选择阵发指令号!"},
        {"Button19", [](auto&) {}, "01 ", ""},
        {"Button9", [](auto&) {}, "00 ", ""},
        {"Button21", [](auto&) {}, "00 ", ""},
        {"Button22", [](auto&) {}, "01 ", ""},
        {"Button27", [](auto& c) { c.setIndex("ComboBox3", -1); }, "FF ", ""},
        {"Button27", [](auto& c) { c.setIndex("ComboBox3", 5); }, "05 ", ""},
        {"Button29", [](auto& c) { c.setText("Edit21", ""); }, times(kFourSpaces, 8), ""},
        {"Button29", [](auto& c) { c.setText("Edit21", std::string(40, 'X')); },
         times("61 86 18 ", 8), ""},
        {"Button33", [](auto& c) { c.setText("Edit22", "").setText("Edit23", ""); },
         times(kFourSpaces, 6) + "0F 06 77 ", ""},
        {"Button33", [](auto& c) { c.setText("Edit22", "abc").setText("Edit23", ""); },
         "04 20 E0 82 08 20 " + times(kFourSpaces, 4) + "0F 06 77 ", ""},  // as ABC
        {"Button33", [](auto& c) { c.setText("Edit29", ""); }, "",
         "'' is not a valid integer value"},
        {"Button33", [](auto& c) { c.setText("Edit24", "2200"); }, "",
         "年份2200无效:只能写入1900到2155年"},
        {"Button33", [](auto& c) { c.setText("Edit25", "13"); }, "",
         "日期无效:2019年13月15日不存在"},
        {"Button33", [](auto& c) { c.setText("Edit23", "caf\u00e9"); }, "",
         "字符'\u00e9'不能写入仪表:只能使用大写字母、数字、空格和 !\"#$%&'()*+,-./:;<=>?@[\\]^_"},
        {"Button39", [](auto& c) { c.setText("Edit26", "1193046"); }, "12 34 56 ", ""},
        {"Button39", [](auto& c) { c.setText("Edit26", "16777216"); }, "",
         "数值16777216超出范围:只能写入0到16777215"},
        {"Button37", [](auto& c) { c.setText("Edit28", "-1"); }, "",
         "数值-1超出范围:只能写入0到16777215"},
        {"Button37", [](auto& c) { c.setText("Edit28", "abc"); }, "",
         "'abc' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        auto controls = testing::validControls();
        c.set(controls);
        Session session;
        if (c.unitBefore >= 0) session.unit.set(session.identity, std::uint8_t(c.unitBefore));
        const Request r = build(c.control, controls, session);
        SCOPED_TRACE(std::string(c.control) + " " + c.data + c.refusal);
        expectRequest(r, c.refusal, c.data);
    }
}

Bytes floats(std::initializer_list<std::uint32_t> values) {
    Bytes out;
    for (std::uint32_t v : values) {
        for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    return out;
}

TEST(Replies, LiveValues) {
    Session s;
    auto out = testing::decodeData("Button34", floats({0x41A00000, 0x42C80000}), s);
    EXPECT_EQ(textOf(out, "Edit6"), "20");
    EXPECT_EQ(textOf(out, "Edit20"), "100");
    out = testing::decodeData("Button34", floats({0x413E6666, 0}), s);
    EXPECT_EQ(textOf(out, "Edit6"), "11.89");
    EXPECT_EQ(textOf(out, "Edit20"), "0");

    // Loop current, then unit and value of up to four variables.
    const Bytes all =
        concat(concat(concat(concat(floats({0x41A00000}), concat({12}, floats({0x3DCCCCCD}))),
                             concat({32}, floats({0x3DCCCCCD}))),
                      concat({32}, floats({0x7FA00000}))),
               concat({57}, floats({0x42C80000})));
    out = testing::decodeData("Button4", all, s);
    EXPECT_EQ(out.status, hart::text::kReadOk);
    EXPECT_EQ(selectionOf(out, "ComboBox5"), 9);
    EXPECT_EQ(selectionOf(out, "ComboBox15"), 12);
    EXPECT_EQ(selectionOf(out, "ComboBox16"), 12);
    EXPECT_EQ(selectionOf(out, "ComboBox6"), 75);
    EXPECT_EQ(textOf(out, "Edit5"), "0.100000");
    EXPECT_EQ(textOf(out, "Edit17"), "0.1000000");
    EXPECT_EQ(textOf(out, "Edit18"), "NAN");
    EXPECT_EQ(textOf(out, "Edit30"), "100");
    EXPECT_EQ(s.unit.of(s.identity), 12);

    // Byte counts 16 and 18 show the second variable only: a group shows when it is whole.
    for (std::size_t dataBytes : {14u, 16u}) {
        Session t;
        out = testing::decodeData(
            "Button4", Bytes(all.begin(), all.begin() + static_cast<long>(dataBytes)), t);
        EXPECT_EQ(out.status, hart::text::kReadOk) << dataBytes;
        EXPECT_EQ(textOf(out, "Edit17"), "0.1000000") << dataBytes;
        EXPECT_EQ(updateOf(out, "Edit18"), nullptr) << dataBytes;
        EXPECT_EQ(updateOf(out, "ComboBox16"), nullptr) << dataBytes;
    }
    // A count that claims more than arrived is no reply.
    hart::ReceiveBuffer b;
    Bytes cut = longReply(3, 0, all);
    cut.resize(cut.size() - 4);
    b.store(cut);
    Session t;
    EXPECT_EQ(decode({103, hart::TimeoutKind::Read, 3, true}, b, t).status,
              hart::text::kReadFailed);
    EXPECT_EQ(t.unit.of(t.identity), std::nullopt);
}

TEST(Replies, TheUnitWrittenIsTheCurrentUnitOnceTheInstrumentTookIt) {
    Session s;
    auto c = testing::validControls();
    c.setIndex("ComboBox1", 12);  // degc
    const std::pair<int, std::optional<std::uint8_t>> answers[] = {{7, std::nullopt}, {0, 32}};
    for (const auto& [code, unit] : answers) {
        build("Button8", c, s);
        EXPECT_EQ(s.unit.of(s.identity), std::nullopt);
        testing::decodeData("Button8", {32}, s, static_cast<std::uint8_t>(code));
        EXPECT_EQ(s.unit.of(s.identity), unit) << code;
    }
    c.setIndex("ComboBox1", 78);
    build("Button8", c, s);  // refused: a late acknowledgement changes nothing
    testing::decodeData("Button8", {}, s);
    EXPECT_EQ(s.unit.of(s.identity), 32);
}

TEST(Replies, RangeConfigurationAndSensorLimits) {
    Session s;
    auto out = testing::decodeData("Button5",
                                   concat({0, 0, 1, 6}, floats({0x42C80000, 0xC2C80000, 0})), s);
    EXPECT_EQ(textOf(out, "Edit11"), "100");
    EXPECT_EQ(textOf(out, "Edit12"), "-100");
    EXPECT_EQ(selectionOf(out, "ComboBox10"), 5);
    EXPECT_EQ(s.unit.of(s.identity), 6);

    const Bytes range = concat(concat({0, 1, 6}, floats({0x41200000, 0, 0x3F800000})), {0, 38});
    out = testing::decodeData("Button13", range, s);
    EXPECT_EQ(selectionOf(out, "ComboBox2"), 1);
    EXPECT_EQ(selectionOf(out, "ComboBox1"), 5);
    EXPECT_EQ(textOf(out, "Edit14"), "10");
    EXPECT_EQ(textOf(out, "Edit15"), "0");
    EXPECT_EQ(textOf(out, "Edit16"), "1");
    EXPECT_EQ(textOf(out, "Label51"), "Rosemount");
    for (std::uint8_t code : {0, 44, 79, 104, 255}) {
        Bytes other = range;
        other.back() = code;
        EXPECT_EQ(textOf(testing::decodeData("Button13", other, s), "Label51"), "unknown")
            << int(code);
    }
    Bytes oddFunction = range;
    oddFunction[1] = 2;
    EXPECT_EQ(selectionOf(testing::decodeData("Button13", oddFunction, s), "ComboBox2"), -1);

    hart::ReceiveBuffer b;
    b.store(hart::testing::shortReply(0x80, 0, Bytes(20, 0)));
    out = decode({115, hart::TimeoutKind::Read, 15, true}, b, s);
    EXPECT_EQ(out.status, hart::text::kReadFailed);
    EXPECT_EQ(selectionOf(out, "ComboBox1"), -1);
    EXPECT_EQ(selectionOf(out, "ComboBox2"), -1);
    EXPECT_EQ(textOf(out, "Edit16"), "");
    EXPECT_EQ(updateOf(out, "Label51"), nullptr);  // keeps the last name
}

TEST(Replies, IdentificationFields) {
    Session s;
    // "TEST", four spaces, then at signs.
    const Bytes message = concat({0x50, 0x54, 0xD4, 0x82, 0x08, 0x20}, Bytes(18, 0));
    auto out = testing::decodeData("Button28", message, s);
    EXPECT_EQ(textOf(out, "Edit21").substr(0, 8), "TEST    ");
    EXPECT_EQ(textOf(out, "Edit21").size(), 32u);

    const Bytes tag =
        concat(concat(Bytes{0x04, 0x20, 0xC4, 0x82, 0x08, 0x20}, Bytes(12, 0)), {0x0F, 0x06, 0x77});
    out = testing::decodeData("Button32", tag, s);
    EXPECT_EQ(textOf(out, "Edit22"), "ABCD    ");
    EXPECT_EQ(textOf(out, "Edit23"), std::string(16, '@'));
    EXPECT_EQ(textOf(out, "Edit24"), "2019");
    EXPECT_EQ(textOf(out, "Edit25"), "6");
    EXPECT_EQ(textOf(out, "Edit29"), "15");

    out = testing::decodeData("Button38", {0x12, 0x34, 0x56}, s);
    EXPECT_EQ(textOf(out, "Edit26"), "1193046");
    out = testing::decodeData("Button38", {0x12}, s);
    EXPECT_EQ(out.status, hart::text::kReadFailed);
    EXPECT_EQ(textOf(out, "Edit26"), "");
}

TEST(Replies, SerialNumberReadReplacesTheWholeIdentity) {
    Session s;
    s.identity.manufacturer = 0x26;
    auto c = testing::validControls();
    c.setIndex("ComboBox9", 2);
    const Request r = build("Button7", c, s);
    EXPECT_EQ(testing::wire(r), "FF FF FF FF FF FF FF FF 02 82 00 00 80 ");
    EXPECT_EQ(s.identity.polledAddress, 2);

    hart::ReceiveBuffer b;
    b.store(hart::testing::shortReply(0x82, 0, hart::testing::command0Data(0x11, 0x22, {0, 1, 2})));
    auto out = decode(r.pending, b, s);
    EXPECT_EQ(out.status, "Upload successful!");
    EXPECT_EQ(textOf(out, "Edit28"), "258");
    EXPECT_EQ(s.identity.deviceIdNumber(), 258u);
    EXPECT_EQ(s.identity.manufacturer, 0x11);  // never one instrument's type with another's id
    EXPECT_EQ(s.identity.deviceType, 0x22);

    b.store(longReply(0, 0, Bytes(12, 0)));
    out = decode(r.pending, b, s);
    EXPECT_EQ(out.status, "Upload Failure!");
    EXPECT_EQ(textOf(out, "Edit28"), "");
    EXPECT_EQ(selectionOf(out, "ComboBox9"), 0);
    EXPECT_EQ(s.identity.deviceIdNumber(), 258u);
}

TEST(Replies, WritesAreAcknowledgedByResponseCode) {
    Session s;
    EXPECT_EQ(testing::decodeData("Button6", floats({0x40800000}), s).status, "写入成功!");
    EXPECT_EQ(testing::decodeData("Button12", {}, s, 9).status, "写入失败!设置参数有可能没有用!");
    EXPECT_EQ(testing::decodeData("Button21", {0}, s, 7).status, "写入失败!写保护!");
}

}  // namespace
}  // namespace ops
