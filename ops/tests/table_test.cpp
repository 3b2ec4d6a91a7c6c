// Tests over the whole operation table: each row against the instrument-facing facts of its
// request, and every row built and decoded once.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "hart/tests/reply_builder.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

using hart::TimeoutKind;
constexpr auto R = TimeoutKind::Read;
constexpr auto W = TimeoutKind::Write;
constexpr auto P = TimeoutKind::Poll;

struct Expected {
    int tag;
    int command;
    TimeoutKind kind;
};

// Control -> tag, command sent, timeout kind.
// clang-format off
const std::map<std::string_view, Expected> kDispatch = {
    {"Button22", {39, 39, W}},    {"Button7", {49, 0, P}},      {"Button9", {99, 109, W}},
    {"Button3", {100, 0, R}},     {"Button16", {100, 0, P}},    {"Timer1", {100, 0, P}},
    {"Button34", {102, 2, R}},    {"Button4", {103, 3, R}},     {"Button17", {104, -1, R}},
    {"Button27", {106, 6, W}},    {"Button20", {108, 108, W}},  {"Button19", {109, 109, W}},
    {"Button28", {112, 12, R}},   {"Button32", {113, 13, R}},   {"Button5", {114, 14, R}},
    {"Button13", {115, 15, R}},   {"Button38", {116, 16, R}},   {"Button29", {117, 17, W}},
    {"Button33", {118, 18, W}},   {"Button39", {119, 19, W}},   {"Button31", {130, 130, W}},
    {"Button24", {131, 131, W}},  {"Button10", {134, 34, W}},   {"Button25", {136, 37, W}},
    {"Button26", {137, 36, W}},   {"Button21", {139, 39, W}},   {"Button2", {140, 140, W}},
    {"Button11", {141, 141, W}},  {"Button23", {143, 43, W}},   {"Button8", {144, 44, R}},
    {"Button30", {145, 45, W}},   {"Button15", {146, 46, W}},   {"Button14", {147, 47, R}},
    {"Button37", {149, 49, W}},   {"Button12", {155, 35, W}},   {"Button6", {240, 40, W}},
    {"Button63", {521, 130, W}},  {"Button64", {523, 131, W}},  {"Button68", {525, 190, W}},
    {"Button67", {526, 195, W}},  {"Button52", {1131, 131, W}}, {"Button53", {1134, 134, W}},
    {"Button35", {1140, 140, W}}, {"Button42", {1143, 43, W}},  {"Button36", {1145, 141, W}},
    {"Button44", {1150, 50, W}},  {"Button45", {1151, 51, W}},  {"Button46", {1151, 189, W}},
    {"Button43", {1153, 53, W}},  {"Button40", {1155, 155, W}}, {"Button41", {1160, 160, W}},
    {"Button54", {1170, 170, W}}, {"Button55", {1171, 171, W}}, {"Button70", {1181, 31, W}},
    {"Button69", {1182, 31, W}},  {"Button47", {1188, 188, W}}, {"Button49", {1190, 153, W}},
    {"Button48", {1191, 152, W}}, {"Button51", {1192, 131, W}}, {"Button50", {1193, 130, W}},
    {"Button56", {2145, 144, W}}, {"Button57", {2146, 145, W}}, {"Button59", {2147, 144, W}},
    {"Button60", {2148, 145, W}}, {"Button65", {2149, 144, W}}, {"Button66", {2150, 145, W}},
    {"Button61", {2152, 145, W}}, {"Button62", {2154, 145, W}},
    {"ReadMoreStatusButton", {148, 48, R}},  // beyond the dispatch table: the additional status
    // The HART 7 page.
    {"WritePollingAddressModeButton", {706, 6, W}}, {"ReadLoopConfigButton", {707, 7, R}},
    {"ReadClassificationsButton", {708, 8, R}}, {"ReadDeviceVariablesButton", {709, 9, R}},
    {"FindTagButton", {711, 11, R}}, {"ReadLongTagButton", {720, 20, R}},
    {"FindLongTagButton", {721, 21, R}}, {"WriteLongTagButton", {722, 22, W}},
    {"ReadDeviceVariables33", {733, 33, R}}, {"ResetConfigChangedButton", {738, 38, W}},
    {"SelfTestButton", {741, 41, W}}, {"DeviceResetButton", {742, 42, W}},
    {"ReadMappingButton", {750, 50, R}}, {"WriteMappingButton", {751, 51, W}},
    {"WriteVariableUnitButton", {753, 53, W}}, {"ReadVariableInfoButton", {754, 54, R}},
    {"WriteVariableDampingButton", {755, 55, W}}, {"WritePreamblesButton", {759, 59, W}},
    {"SquawkButton", {772, 72, W}}, {"WriteBurstPeriodButton", {803, 103, W}},
    {"WriteBurstTriggerButton", {804, 104, W}}, {"ReadBurstConfigButton", {805, 105, R}},
    {"ReadBurstTableRow", {905, 105, R}},
    {"WriteBurstVariablesButton", {807, 107, W}}, {"WriteBurstCommandButton", {808, 108, W}},
    {"WriteBurstControlButton", {809, 109, W}}, {"ReadCountryButton", {7512, 512, R}},
    {"WriteCountryButton", {7513, 513, W}}, {"ReadProcessUnitTagButton", {7520, 520, R}},
    {"WriteProcessUnitTagButton", {7521, 521, W}},
};
// clang-format on

const std::set<int> kWriteAckTags = {
    39,   99,   106,  108,  109,  117,  118,  119,  130,  131,  134,  136,  137,  139,  141,
    143,  144,  145,  146,  147,  149,  155,  240,  523,  526,  1134, 1143, 1145, 1151, 1153,
    1155, 1171, 1182, 1190, 1192, 2146, 2148, 2150, 2152, 2154, 706,  722,  738,  741,  742,
    751,  753,  755,  759,  772,  803,  804,  807,  808,  809,  7513, 7521};

const std::set<std::string_view> kPaused = {
    "Button2",  "Button7",  "Button9",  "Button11", "Button19", "Button21", "Button22", "Button26",
    "Button27", "Button28", "Button29", "Button32", "Button33", "Button35", "Button36", "Button37",
    "Button38", "Button39", "Button40", "Button41", "Button43", "Button44", "Button45", "Button46",
    "Button47", "Button48", "Button49", "Button50", "Button52", "Button53", "Button54", "Button56",
    "Button57", "Button59", "Button60", "Button61", "Button62", "Button63", "Button64", "Button65",
    "Button66", "Button67", "Button68", "Button69", "Button70"};

const std::set<std::string_view> kEchoBySwitch = {
    "Button2",  "Button11", "Button35", "Button36", "Button40", "Button41", "Button43",
    "Button52", "Button53", "Button54", "Button55", "Button56", "Button57", "Button59",
    "Button60", "Button61", "Button62", "Button63", "Button64", "Button65", "Button66",
    "Button67", "Button68", "Button69", "Button70"};

const std::set<std::string_view> kUncounted = {"Button26", "Button23"};

// Tags whose reply is scanned other than from index 0 for a long reply.
const std::map<int, std::pair<std::uint8_t, hart::ScanWindow>> kScans = {
    {49, {hart::kShortReplyDelimiter, hart::ScanWindow::Standard}},
    {100, {hart::kShortReplyDelimiter, hart::ScanWindow::FromOne}},
    {521, {hart::kLongReplyDelimiter, hart::ScanWindow::FirstElevenCount14}},
    {525, {hart::kLongReplyDelimiter, hart::ScanWindow::FirstElevenCount6}},
    {1181, {hart::kLongReplyDelimiter, hart::ScanWindow::Command31Count13}},
    {2145, {hart::kLongReplyDelimiter, hart::ScanWindow::FirstEleven}},
    {2147, {hart::kLongReplyDelimiter, hart::ScanWindow::FirstEleven}},
    {2149, {hart::kLongReplyDelimiter, hart::ScanWindow::FirstEleven}},
};

TEST(OperationTable, EveryRowCarriesItsRequestsFacts) {
    std::set<std::string_view> controls;
    std::map<int, const Operation*> firstOfTag;
    for (const Operation& op : operations()) {
        SCOPED_TRACE(std::string(op.control));
        EXPECT_TRUE(controls.insert(op.control).second) << "two rows";
        const auto e = kDispatch.find(op.control);
        ASSERT_NE(e, kDispatch.end()) << "sends no request";
        EXPECT_EQ(op.tag, e->second.tag);
        EXPECT_EQ(op.command, e->second.command);
        EXPECT_EQ(op.timeout, e->second.kind);
        EXPECT_EQ(op.pause, kPaused.contains(op.control));
        EXPECT_EQ(op.echo == Echo::BySwitch, kEchoBySwitch.contains(op.control));
        EXPECT_EQ(op.counted, !kUncounted.contains(op.control));
        EXPECT_EQ(op.decoder.kind == DecoderKind::WriteAck, kWriteAckTags.contains(op.tag));
        // Only the console has no decoder; every other kind names its decoder.
        EXPECT_EQ(op.decoder.kind == DecoderKind::None, op.tag == hart::kConsoleTag);
        EXPECT_EQ(op.decoder.fields != nullptr, op.decoder.kind == DecoderKind::Fields);
        EXPECT_EQ(op.decoder.custom != nullptr, op.decoder.kind == DecoderKind::Custom);
        const auto scan = kScans.find(op.tag);
        const auto expected = scan == kScans.end()
                                  ? std::pair(hart::kLongReplyDelimiter, hart::ScanWindow::Standard)
                                  : scan->second;
        EXPECT_EQ(op.delimiter, expected.first);
        EXPECT_EQ(op.replyWindow, expected.second);
        const auto [first, fresh] = firstOfTag.emplace(op.tag, &op);
        if (!fresh) {
            EXPECT_EQ(first->second->decoder.kind, op.decoder.kind);
        }
    }
    // Every sending control has its row: the lists above are whole.
    for (const auto& [control, expected] : kDispatch) {
        EXPECT_TRUE(controls.contains(control)) << control;
    }
    EXPECT_EQ(controls.size(), kDispatch.size());
}

TEST(OperationTable, EveryRowBuildsItsFrameFromValidControls) {
    for (const Operation& op : operations()) {
        SCOPED_TRACE(std::string(op.control));
        Session session;
        session.identity.manufacturer = 0x26;
        auto controls = testing::validControls();
        controls.setIndex("ComboBox8", 1);  // secondary master
        const Request r = build(op, controls, session);
        // A write that sends back bytes of an earlier read waits for that read.
        if (r.refusal.starts_with("请先上传")) continue;
        ASSERT_EQ(r.refusal, "");
        const auto bytes = r.frame.bytes();
        ASSERT_GE(bytes.size(), 5u);
        EXPECT_EQ(hart::checkByte(bytes.first(bytes.size() - 1)), bytes.back());
        EXPECT_EQ(r.pending.tag, op.tag);
        EXPECT_EQ(r.pending.decodes, op.decoder.kind != DecoderKind::None);
        if (op.frame == FrameKind::Long || op.frame == FrameKind::Broadcast) {
            ASSERT_GE(bytes.size(), 17u);
            EXPECT_EQ(bytes[14], hart::isExpanded(op.command) ? 31 : op.command);
            EXPECT_EQ(bytes[15], bytes.size() - 17);
            EXPECT_EQ(bytes[9], (op.primaryMaster ? 0x80 : 0x00) |
                                    (op.frame == FrameKind::Broadcast ? 0 : 0x26));
        }
    }
}

TEST(OperationTable, FieldDecodersNeedEveryFieldReceived) {
    using hart::testing::Bytes;
    for (const Operation& op : operations()) {
        // A scan that wants a fixed byte count takes no shorter reply at all.
        if (op.decoder.kind != DecoderKind::Fields || op.delimiter != hart::kLongReplyDelimiter ||
            op.replyWindow == hart::ScanWindow::Command31Count13) {
            continue;
        }
        SCOPED_TRACE(std::string(op.control));
        std::size_t end = 0;
        for (const Field& f : op.decoder.fields->fields) {
            end = std::max(end, f.offset + fieldBytes(f));
        }
        const hart::Pending pending = op.pending();
        for (const std::size_t dataBytes : {end - 11, end - 12}) {
            Session session;
            hart::ReceiveBuffer b;
            b.store(Bytes(60, 0x41));  // older bytes that must not be taken as data
            // A code its table lists, so that every field shows.
            Bytes data(dataBytes, 0x01);
            for (const Field& f : op.decoder.fields->fields) {
                if (f.kind == FieldKind::Code && f.offset - 11 < dataBytes) {
                    data[f.offset - 11] = static_cast<std::uint8_t>(f.table->items[0].code);
                }
            }
            b.store(hart::testing::longReply(static_cast<std::uint8_t>(op.command), 0, data));
            const hart::Outcome out = decode(pending, b, session);
            const bool complete = dataBytes == end - 11;
            EXPECT_EQ(out.status,
                      complete ? op.decoder.fields->okText : op.decoder.fields->failText);
            EXPECT_EQ(out.updates.size(), complete ? op.decoder.fields->fields.size()
                                                   : op.decoder.fields->onFailure.size());
        }
    }
}

}  // namespace
}  // namespace ops
