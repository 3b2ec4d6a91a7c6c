// Requests and replies of the HART 7 page: the bytes each request sends or why it is refused,
// and replies decoded from byte-exact frames, truncated and expanded ones among them.
#include "ops/hart7.h"

#include <gtest/gtest.h>

#include <functional>

#include "hart/numbers.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using namespace testing;

TEST(Hart7Requests, DataBytesOrRefusal) {
    struct Case {
        const char* control;
        std::function<void(ControlValues&)> set;
        std::string data;
        std::string refusal;
        std::optional<std::uint8_t> revision = 7;
    };
    const std::string blanks29 = [] {
        std::string s;
        for (int i = 0; i < 29; ++i) s += "20 ";
        return s;
    }();
    const Case cases[] = {
        // Latin-1: two UTF-8 bytes are one character on the wire; padded with blanks.
        {"WriteLongTagButton", [](auto& c) { c.setText("LongTagEdit", "Öl1"); },
         "D6 6C 31 " + blanks29, ""},
        {"WriteLongTagButton", [](auto& c) { c.setText("LongTagEdit", std::string(33, 'A')); }, "",
         "最多只能输入32个字符!"},
        {"WriteLongTagButton", [](auto& c) { c.setText("LongTagEdit", "温度"); }, "",
         "只能输入ISO Latin-1字符!"},
        {"WriteLongTagButton", [](auto& c) { c.setText("LongTagEdit", "A\tB"); }, "",
         "不能输入控制字符!"},
        {"WriteProcessUnitTagButton", [](auto& c) { c.setText("ProcessUnitTagEdit", "\xC2\x85"); },
         "", "不能输入控制字符!"},
        // Expanded commands: the number first.
        {"ReadCountryButton", [](auto&) {}, "02 00 ", ""},
        {"WriteCountryButton", [](auto& c) { c.setText("CountryCodeEdit", "DE"); },
         "02 01 44 45 01 ", ""},
        {"WriteCountryButton", [](auto& c) { c.setText("CountryCodeEdit", "de"); }, "",
         "国家代码应为两个大写字母(如CN)!"},
        {"ReadDeviceVariablesButton", [](auto& c) { c.setText("DeviceVariableCodesEdit", " "); },
         "00 01 02 03 ", ""},
        {"ReadDeviceVariablesButton",
         [](auto& c) { c.setText("DeviceVariableCodesEdit", "0 1 2 3 4 5 6 7 8"); }, "",
         "请输入1到8个设备变量号!"},
        {"ReadDeviceVariables33",
         [](auto& c) { c.setText("DeviceVariableCodesEdit", "1 2 3 4 5"); }, "",
         "请输入1到4个设备变量号!"},
        {"ReadDeviceVariablesButton", [](auto& c) { c.setText("DeviceVariableCodesEdit", "256"); },
         "", "设备变量号只能是0到255!"},
        // Command 6: the loop current mode byte from HART 6 on, addresses to 63.
        {"WritePollingAddressModeButton", [](auto& c) { c.setText("PollingAddress63Edit", "63"); },
         "3F 01 ", ""},
        {"WritePollingAddressModeButton", [](auto& c) { c.setText("PollingAddress63Edit", "64"); },
         "", "地址超出范围:只能写入0到63"},
        {"WritePollingAddressModeButton", [](auto& c) { c.setText("PollingAddress63Edit", "3"); },
         "03 ", "", 5},
        {"WritePollingAddressModeButton", [](auto& c) { c.setText("PollingAddress63Edit", "16"); },
         "", "地址超出范围:只能写入0到15", 5},
        {"ResetConfigChangedButton", [](auto&) {}, "", "", 5},
        {"ResetConfigChangedButton", [](auto&) {}, "01 02 ", ""},
        {"WriteVariableDampingButton", [](auto& c) { c.setText("VariableDampingEdit", "-0.1"); },
         "", "阻尼时间不能为负数!"},
        {"WriteVariableDampingButton", [](auto& c) { c.setText("VariableDampingEdit", "0"); },
         "01 00 00 00 00 ", ""},
        {"WriteMappingButton", [](auto& c) { c.setText("MappingQvEdit", "250"); }, "",
         "设备变量号超出范围:只能写入0到249"},
        {"WritePreamblesButton", [](auto& c) { c.setText("ResponsePreamblesEdit", "4"); }, "",
         "前导符个数超出范围:只能写入5到20"},
        // Burst messages: periods in 1/32 ms, unused slots 250, the 16-bit command.
        {"WriteBurstPeriodButton",
         [](auto& c) {
             c.setText("BurstUpdatePeriodEdit", "0.5").setText("BurstMaxPeriodEdit", "60");
         },
         "01 00 00 3E 80 00 1D 4C 00 ", ""},
        {"WriteBurstPeriodButton", [](auto& c) { c.setText("BurstUpdatePeriodEdit", "0.1"); }, "",
         "周期超出范围!"},
        {"WriteBurstVariablesButton", [](auto& c) { c.setText("BurstVariablesEdit", "3 0"); },
         "03 00 FA FA FA FA FA FA 01 ", ""},
        {"WriteBurstCommandButton", [](auto& c) { c.setText("BurstCommandEdit", "9"); },
         "00 09 01 ", ""},
        {"WriteBurstCommandButton", [](auto& c) { c.setText("BurstCommandEdit", "42"); }, "",
         "突发命令只能是1、2、3、9、33或48!"},
        {"WriteBurstControlButton", [](auto& c) { c.setText("BurstMessageEdit", "3"); }, "",
         "报文号超出范围:只能写入0到2"},
        {"ReadBurstConfigButton", [](auto& c) { c.setText("BurstMessageEdit", ""); }, "00 ", ""},
        {"WriteBurstControlButton", [](auto& c) { c.setIndex("BurstControlBox", 2); }, "",
         "突发模式只能写入OFF或ON!"},
    };
    for (const Case& c : cases) {
        auto controls = validControls();
        c.set(controls);
        Session session;
        session.hartRevision = c.revision;
        session.configChangeCounter = 0x0102;
        SCOPED_TRACE(std::string(c.control) + " " + c.data + c.refusal);
        expectRequest(build(c.control, controls, session), c.refusal, c.data);
    }
}

Bytes wireFloat(float v) {
    const hart::WireFloat w = hart::encodeWireFloat(v);
    return {w.begin(), w.end()};
}

// Command 9 cut short (code 30): the slots that came whole are shown with the warning, the cut
// one is not, and the quality and limit status are read from the status byte.
TEST(Hart7Replies, DeviceVariablesTruncatedWithData) {
    Bytes data = {0x00};
    data = concat(concat(data, concat({1, 64, 32}, wireFloat(24.5f))), {0x80 | 0x20});
    data = concat(concat(data, concat({2, 65, 12}, wireFloat(3.0f))), {0x08});
    data = concat(data, {3, 0, 57});  // a slot cut off
    Session s;
    const auto out = decodeData("ReadDeviceVariablesButton", data, s, 30);
    EXPECT_EQ(out.result, hart::Result::Warning);
    EXPECT_EQ(out.status, "上传成功!警告:应答数据被截断");
    const auto cell = [&](std::size_t slot, hart7::Column column) {
        return textOf(out, hart7::deviceVariableCell(slot, column));
    };
    const auto en = [&](std::size_t slot, hart7::Column column) {
        return hart::translate(cell(slot, column), hart::Language::English);
    };
    using C = hart7::Column;
    EXPECT_EQ(cell(0, C::Value), "24.5");
    EXPECT_EQ(cell(0, C::Unit), "degc");
    EXPECT_EQ(en(0, C::Classification), "temperature");
    EXPECT_EQ(en(0, C::Status), "fixed");
    EXPECT_EQ(en(0, C::Limit), "high limited");
    EXPECT_EQ(cell(1, C::Status), "坏,有更多状态");
    EXPECT_EQ(en(1, C::Status), "bad, more status");
    EXPECT_EQ(cell(1, C::Unit), "KPa");
    EXPECT_EQ(cell(2, C::Code), "<unset>");
    EXPECT_EQ(textOf(out, "DeviceVariableTimeLabel"), "<unset>");

    // A whole reply ends with its time stamp.
    data = concat(concat(Bytes{0x00}, concat({0, 65, 12}, wireFloat(1.0f))), {0xC0});
    data = concat(data, {0x52, 0x65, 0xC1, 0x40});  // 12:00:00.010 in 1/32 ms
    const auto whole = decodeData("ReadDeviceVariablesButton", data, s);
    EXPECT_EQ(whole.result, hart::Result::Done);
    EXPECT_EQ(textOf(whole, "DeviceVariableTimeLabel"), "12:00:00.010");

    // A chunk that ends inside the second slot: the bytes the byte count promises but that did not
    // arrive are not read (the buffer's older bytes, or past its end).
    Bytes two = concat(concat(Bytes{0x00}, concat({0, 65, 12}, wireFloat(1.0f))), {0xC0});
    two = concat(two, concat({1, 65, 12}, wireFloat(2.0f)));
    Bytes chunk = hart::testing::longReply(9, 0, concat(two, {0xC0, 0, 0, 0, 0}));
    chunk.resize(chunk.size() - 8);
    const auto cut = decodeChunk("ReadDeviceVariablesButton", chunk, s);
    EXPECT_EQ(textOf(cut, hart7::deviceVariableCell(0, hart7::Column::Value)), "1");
    EXPECT_EQ(textOf(cut, hart7::deviceVariableCell(1, hart7::Column::Value)), "<unset>");
}

// A WirelessHART burst mode reads as its name, in the box and in the table row of the message
// the reply names; the table asks for messages the page's edit would refuse.
TEST(Hart7Replies, BurstModesAndTableRows) {
    Bytes data = {3, 31, 2, 0, 250, 250, 250, 250, 250, 250, 4, 6, 0x01, 0x00};
    data = concat(data, {0, 0, 0x7D, 0x00, 0, 0x1D, 0x4C, 0x00, 1, 65, 12});  // 1 s, 60 s
    data = concat(data, wireFloat(2.5f));
    Session s;
    auto out = decodeData("ReadBurstConfigButton", data, s);
    EXPECT_EQ(selectionOf(out, "BurstControlBox"), 3);
    out = decodeData("ReadBurstTableRow", data, s);
    EXPECT_EQ(out.result, hart::Result::Done);
    using C = hart7::BurstColumn;
    const auto cell = [&](C column) { return textOf(out, hart7::burstTableCell(4, column)); };
    EXPECT_EQ(cell(C::Command), "256");
    EXPECT_EQ(cell(C::Variables), "2 0");
    EXPECT_EQ(cell(C::Update) + " " + cell(C::Maximum), "1.000 60.000");
    EXPECT_EQ(cell(C::Trigger) + " / " + cell(C::Level), "Window / 2.5 KPa");
    EXPECT_EQ(cell(C::Mode), "ON (TDMA+CSMA)");
    EXPECT_EQ(textOf(out, "BurstMaxMessagesLabel"), "6");
    EXPECT_EQ(dataOf(hart7::burstTableRead(5, validControls(), s)), "05 ");
}

// Replies to expanded commands are command 31 naming their number; the fields start behind it.
TEST(Hart7Replies, ExpandedCommandsReplyAfterTheirNumber) {
    Session s;
    const auto chunk = [](Bytes data) { return longReply(31, 0, data); };
    auto out = decodeChunk("ReadCountryButton", chunk({0x02, 0x00, 'D', 'E', 0x01}), s);
    EXPECT_EQ(textOf(out, "CountryCodeEdit"), "DE");
    EXPECT_EQ(out.result, hart::Result::Done);
    Bytes unit = {0x02, 0x08};
    for (const char ch : std::string("Kessel \xDC 4"))
        unit.push_back(static_cast<std::uint8_t>(ch));
    unit.resize(34, 0x00);
    out = decodeChunk("ReadProcessUnitTagButton", chunk(unit), s);
    EXPECT_EQ(textOf(out, "ProcessUnitTagEdit"), "Kessel \u00dc 4");
    // The process unit tag's reply is no country code.
    out = decodeChunk("ReadCountryButton", chunk(unit), s);
    EXPECT_EQ(out.result, hart::Result::Failed);
}

TEST(Hart7Resend, BusyAndDelayedRepliesAreSentAgainABoundedNumberOfTimes) {
    for (const int code : {32, 33, 34, 35, 36}) {
        EXPECT_TRUE(hart7::resendAfter(code, 1)) << code;
        EXPECT_TRUE(hart7::resendAfter(code, hart7::kResendLimit - 1)) << code;
        EXPECT_FALSE(hart7::resendAfter(code, hart7::kResendLimit)) << code;
    }
    for (const std::optional<int> code :
         {std::optional<int>(), std::optional(0), std::optional(30), std::optional(64)})
        EXPECT_FALSE(hart7::resendAfter(code, 1));
}

}  // namespace
}  // namespace ops
