// The HART 7 page's rows: each request's data builder refuses what the instrument could not
// take before anything is sent, each reply's decoder shows every field the reply carries.
#include "ops/hart7.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "hart/numbers.h"
#include "hart/packed_text.h"
#include "hart/tr.h"
#include "hart/units.h"
#include "hart/write_ack.h"
#include "ops/groups.h"
#include "ops/items.h"
#include "ops/operation.h"

namespace ops::hart7 {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using hart::text::kReading;
using hart::text::kWriting;

// --- names

struct Named {
    std::uint8_t code;
    std::string_view name;
};

template <std::size_t N>
std::string_view lookUp(const Named (&table)[N], std::uint8_t code, std::string_view other) {
    for (const Named& n : table)
        if (n.code == code) return n.name;
    return other;
}

// The window's words; hart-cli and the window in English show them through the translation.
constexpr Named kClassifications[] = {
    {0, Tr::tr("未分类")},    {64, Tr::tr("温度")},         {65, Tr::tr("压力")},
    {66, Tr::tr("体积流量")}, {67, Tr::tr("速度")},         {68, Tr::tr("体积")},
    {69, Tr::tr("长度")},     {70, Tr::tr("时间")},         {71, Tr::tr("质量")},
    {72, Tr::tr("质量流量")}, {73, Tr::tr("单位体积质量")}, {74, Tr::tr("粘度")},
    {75, Tr::tr("角速度")},   {76, Tr::tr("面积")},         {77, Tr::tr("能量")},
    {78, Tr::tr("力")},       {79, Tr::tr("功率")},         {80, Tr::tr("频率")},
    {81, Tr::tr("分析")},     {82, Tr::tr("电容")},         {83, Tr::tr("电动势")},
    {84, Tr::tr("电流")},     {85, Tr::tr("电阻")},         {86, Tr::tr("角度")},
    {87, Tr::tr("电导")},     {88, Tr::tr("体积比")},       {89, Tr::tr("比体积")},
    {90, Tr::tr("浓度")},
};

constexpr Named kFamilies[] = {
    {4, Tr::tr("温度")},
    {5, Tr::tr("压力")},
    {6, Tr::tr("阀门/执行器")},
    {7, Tr::tr("PID 控制")},
    {8, Tr::tr("pH")},
    {9, Tr::tr("电导率")},
    {10, Tr::tr("累计器")},
    {11, Tr::tr("物位")},
    {12, Tr::tr("涡街流量")},
    {13, Tr::tr("电磁流量")},
    {14, Tr::tr("科里奥利流量")},
    {250, Tr::tr("未使用")},
};

constexpr std::string_view kUnknown = Tr::tr("未知");
constexpr std::string_view kQualities[] = {Tr::tr("坏"), Tr::tr("精度差"), Tr::tr("固定"),
                                           Tr::tr("良好")};
constexpr std::string_view kLimits[] = {Tr::tr("未受限"), Tr::tr("下限受限"), Tr::tr("上限受限"),
                                        Tr::tr("恒定")};

constexpr std::string_view kColumns[] = {"code", "class", "value", "unit", "status", "limit"};
constexpr std::string_view kBurstCells[kBurstColumns] = {
    "message", "command", "variables", "update", "maximum", "trigger", "level", "mode"};

// An item of a fixed list by the code it stands for.
std::string itemFor(items::List list, std::uint8_t code) {
    return code < list.size() ? std::string(list[code]) : std::string(kUnknown);
}

// --- request data

constexpr std::uint8_t kNoVariable = 250;  // an unused burst slot
constexpr std::uint8_t kHart6 = 6;
constexpr std::uint8_t kHart7 = 7;
constexpr std::uint8_t kLastMappableCode = 249;
constexpr int kBurstMessages = 3;
constexpr double kTicksPerSecond = 32000.0;  // HART times count 1/32 ms

std::string refuseRange(std::string_view what, long low, long high) {
    return hart::arg(Tr::tr("%1超出范围:只能写入%2到%3"),
                     {what, std::to_string(low), std::to_string(high)});
}

// A whole number typed into the edit, within low..high; the refusal names the box.
std::optional<long> wholeIn(const Controls& c, std::string_view edit, long low, long high,
                            std::string_view what, DataWriter& w) {
    const auto v = hart::parseInteger(c.text(edit));
    if (!v) {
        w.refuse(v.error);
        return std::nullopt;
    }
    if (v.value < low || v.value > high) {
        w.refuse(refuseRange(what, low, high));
        return std::nullopt;
    }
    return v.value;
}

DataWriter& whole(DataWriter& w, const Controls& c, std::string_view edit, long low, long high,
                  std::string_view what) {
    if (w.refused()) return w;
    const auto v = wholeIn(c, edit, low, high, what, w);
    return v ? w.byte(static_cast<std::uint8_t>(*v)) : w;
}

// Seconds as a HART time, refused below `least` seconds or for more than 32 bits hold.
DataWriter& period(DataWriter& w, const Controls& c, std::string_view edit, double least) {
    if (w.refused()) return w;
    const std::string text = c.text(edit);
    char* end = nullptr;
    const double s = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(s))
        return w.refuse(Tr::tr("请输入周期(秒)!"));
    const double ticks = std::round(s * kTicksPerSecond);
    if (s < least || ticks > 4294967295.0) return w.refuse(Tr::tr("周期超出范围!"));
    const auto t = static_cast<std::uint32_t>(ticks);
    return w.byte(static_cast<std::uint8_t>(t >> 24))
        .byte(static_cast<std::uint8_t>(t >> 16))
        .byte(static_cast<std::uint8_t>(t >> 8))
        .byte(static_cast<std::uint8_t>(t));
}

DataWriter& latin1(DataWriter& w, const Controls& c, std::string_view edit) {
    if (w.refused()) return w;
    const Latin1 t = toLatin1(c.text(edit));
    return t.refusal.empty() ? w.bytes(t.bytes) : w.refuse(t.refusal);
}

DataWriter& codes(DataWriter& w, const Controls& c, std::string_view edit, std::size_t most) {
    if (w.refused()) return w;
    std::string text = c.text(edit);
    if (text.find_first_not_of(" \t") == std::string::npos) text = "0 1 2 3";
    const Codes parsed = parseCodes(text, most);
    return parsed.refusal.empty() ? w.bytes(parsed.codes) : w.refuse(parsed.refusal);
}

DataWriter& burstMessage(DataWriter& w, const Controls& c) {
    return whole(w, c, kBurstMessageEdit, 0, kBurstMessages - 1, Tr::tr("报文号"));
}

DataWriter& unitOf(DataWriter& w, const Controls& c, std::string_view box) {
    return w.code(hart::unitCodeForIndex(c.index(box)), chooseMessage(Tr::tr("单位")));
}

// A damping or trigger level: a number, and no negative damping.
DataWriter& nonNegative(DataWriter& w, const Controls& c, std::string_view edit) {
    if (w.refused()) return w;
    const std::string text = c.text(edit);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (!text.empty() && *end == '\0' && v < 0) return w.refuse(Tr::tr("阻尼时间不能为负数!"));
    return w.number(c, edit);
}

Data pollingAddressWrite(const Controls& c, Session& s) {
    DataWriter w;
    // HART 5 knows addresses 0..15 and no loop current mode: the one-byte form.
    if (s.hartRevision && *s.hartRevision < kHart6)
        return whole(w, c, kPollingAddressEdit, 0, 15, Tr::tr("地址")).data();
    whole(w, c, kPollingAddressEdit, 0, 63, Tr::tr("地址"));
    const int mode = c.index(kLoopCurrentModeBox);
    return w
        .code(mode == 0 || mode == 1 ? std::optional<std::uint8_t>(mode) : std::nullopt,
              chooseMessage(Tr::tr("回路电流模式")))
        .data();
}

Data deviceVariables9(const Controls& c, Session&) {
    DataWriter w;
    return codes(w, c, kDeviceVariableCodesEdit, kDeviceVariableSlots).data();
}
Data deviceVariables33(const Controls& c, Session&) {
    DataWriter w;
    return codes(w, c, kDeviceVariableCodesEdit, 4).data();
}

Data findTag(const Controls& c, Session&) {
    return DataWriter().text(c, kFindTagEdit, hart::kTagChars).data();
}
Data findLongTag(const Controls& c, Session&) {
    DataWriter w;
    return latin1(w, c, kFindLongTagEdit).data();
}
Data longTagWrite(const Controls& c, Session&) {
    DataWriter w;
    return latin1(w, c, kLongTagEdit).data();
}
Data processUnitTagWrite(const Controls& c, Session&) {
    DataWriter w;
    return latin1(w, c, kProcessUnitTagEdit).data();
}

// HART 7 names the counter it last told; a change since then makes the instrument refuse.
Data resetConfigChanged(const Controls&, Session& s) {
    DataWriter w;
    if (s.hartRevision.value_or(5) < kHart7) return w.data();
    if (!s.configChangeCounter) return w.refuse(Tr::tr("请先读取仪表!")).data();
    return w.byte(static_cast<std::uint8_t>(*s.configChangeCounter >> 8))
        .byte(static_cast<std::uint8_t>(*s.configChangeCounter))
        .data();
}

Data mappingWrite(const Controls& c, Session&) {
    DataWriter w;
    for (const std::string_view edit : kMappingEdits)
        whole(w, c, edit, 0, kLastMappableCode, Tr::tr("设备变量号"));
    return w.data();
}

Data variableCode(const Controls& c, Session&) {
    DataWriter w;
    return whole(w, c, kVariableCodeEdit, 0, kLastMappableCode, Tr::tr("设备变量号")).data();
}
Data variableUnitWrite(const Controls& c, Session&) {
    DataWriter w;
    whole(w, c, kVariableCodeEdit, 0, kLastMappableCode, Tr::tr("设备变量号"));
    return unitOf(w, c, kVariableUnitBox).data();
}
Data variableDampingWrite(const Controls& c, Session&) {
    DataWriter w;
    whole(w, c, kVariableCodeEdit, 0, kLastMappableCode, Tr::tr("设备变量号"));
    return nonNegative(w, c, kVariableDampingEdit).data();
}

Data preamblesWrite(const Controls& c, Session&) {
    DataWriter w;
    return whole(w, c, kResponsePreamblesEdit, 5, 20, Tr::tr("前导符个数")).data();
}

Data countryWrite(const Controls& c, Session&) {
    const std::string code = c.text(kCountryCodeEdit);
    const bool siOnly = c.checked(kSiUnitsOnlyCheck);
    DataWriter w;
    if (code.size() != 2 || !std::isupper(static_cast<unsigned char>(code[0])) ||
        !std::isupper(static_cast<unsigned char>(code[1])))
        return w.refuse(Tr::tr("国家代码应为两个大写字母(如CN)!")).data();
    return w.byte(static_cast<std::uint8_t>(code[0]))
        .byte(static_cast<std::uint8_t>(code[1]))
        .byte(siOnly ? 1 : 0)
        .data();
}

// Message 0 when none is named.
Data burstMessageOnly(const Controls& c, Session&) {
    DataWriter w;
    if (c.text(kBurstMessageEdit).find_first_not_of(' ') == std::string::npos)
        return w.byte(0).data();
    return burstMessage(w, c).data();
}

Data burstPeriodWrite(const Controls& c, Session&) {
    DataWriter w;
    burstMessage(w, c);
    period(w, c, kBurstUpdatePeriodEdit, 0.5);
    period(w, c, kBurstMaxPeriodEdit, 0.5);
    return w.data();
}

Data burstTriggerWrite(const Controls& c, Session&) {
    DataWriter w;
    burstMessage(w, c);
    const int mode = c.index(kBurstTriggerModeBox);
    w.code(mode >= 0 && mode <= 4 ? std::optional<std::uint8_t>(mode) : std::nullopt,
           chooseMessage(Tr::tr("触发方式")));
    whole(w, c, kBurstTriggerClassEdit, 0, 255, Tr::tr("分类"));
    unitOf(w, c, kBurstTriggerUnitBox);
    return w.number(c, kBurstTriggerLevelEdit).data();
}

Data burstVariablesWrite(const Controls& c, Session&) {
    DataWriter w;
    const Codes parsed = parseCodes(c.text(kBurstVariablesEdit), kDeviceVariableSlots);
    if (!parsed.refusal.empty()) return w.refuse(parsed.refusal).data();
    std::vector<std::uint8_t> slots(kDeviceVariableSlots, kNoVariable);
    std::copy(parsed.codes.begin(), parsed.codes.end(), slots.begin());
    w.bytes(slots);
    return burstMessage(w, c).data();
}

Data burstCommandWrite(const Controls& c, Session&) {
    DataWriter w;
    if (w.refused()) return w.data();
    const auto v = wholeIn(c, kBurstCommandEdit, 1, 65535, Tr::tr("命令号"), w);
    if (!v) return w.data();
    // Commands that change the instrument make no burst message.
    if (*v != 1 && *v != 2 && *v != 3 && *v != 9 && *v != 33 && *v != 48)
        return w.refuse(Tr::tr("突发命令只能是1、2、3、9、33或48!")).data();
    w.byte(static_cast<std::uint8_t>(*v >> 8)).byte(static_cast<std::uint8_t>(*v));
    return burstMessage(w, c).data();
}

Data burstControlWrite(const Controls& c, Session&) {
    DataWriter w;
    const int on = c.index(kBurstControlBox);
    // The WirelessHART modes are shown as read; a wired instrument refuses them.
    if (on > 1) return w.refuse(Tr::tr("突发模式只能写入OFF或ON!")).data();
    w.code(on == 0 || on == 1 ? std::optional<std::uint8_t>(on) : std::nullopt,
           chooseMessage(Tr::tr("突发模式")));
    return burstMessage(w, c).data();
}

// The table asks for any message the instrument says it keeps.
Data burstTableMessage(const Controls& c, Session&) {
    DataWriter w;
    return whole(w, c, kBurstMessageEdit, 0, 255, Tr::tr("报文号")).data();
}

// --- replies

// The data of a reply, counted from its first data byte (past an expanded command's number).
class ReplyData {
  public:
    ReplyData(const hart::Reply& reply, int command)
        : reply_(reply), base_(reply.firstDataOffset() + (hart::isExpanded(command) ? 2 : 0)) {}

    bool has(std::size_t at, std::size_t n = 1) const { return reply_.has(base_ + at, n); }
    std::uint8_t u8(std::size_t at) const { return reply_.at(base_ + at); }
    std::uint32_t u32(std::size_t at) const {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) v = v << 8 | u8(at + k);
        return v;
    }
    std::uint32_t u24(std::size_t at) const {
        return hart::decodeUint24(reply_.bytes(base_ + at, 3).first<3>());
    }
    std::span<const std::uint8_t> bytes(std::size_t at, std::size_t n) const {
        return reply_.bytes(base_ + at, n);
    }
    std::span<const std::uint8_t, 4> wireFloat(std::size_t at) const {
        return bytes(at, 4).first<4>();
    }
    std::string floatText(std::size_t at) const {
        return hart::showFloat(wireFloat(at), hart::kWholeText);
    }
    double number(std::size_t at) const {
        return static_cast<double>(hart::decodeWireFloat(wireFloat(at)));
    }
    std::optional<std::uint8_t> responseCode() const {
        return reply_.get(reply_.responseCodeOffset());
    }

  private:
    const hart::Reply& reply_;
    std::size_t base_;
};

bool isWarningCode(int code) {
    return code == 8 || code == 14 || (code >= 24 && code <= 27) || code == 30 || code == 31 ||
           (code >= 96 && code <= 127);
}

// The end of a read: success, or a warning whose data is shown all the same.
void readDone(hart::Outcome& out, const ReplyData& d) {
    const int code = d.responseCode().value_or(0);
    if (code != 0 && isWarningCode(code)) {
        const std::string why = code == 30 ? std::string(Tr::tr("应答数据被截断"))
                                           : hart::arg(Tr::tr("响应码 %1"), {std::to_string(code)});
        out.finish(hart::arg(Tr::tr("%1警告:%2"), {hart::text::kReadOk, why}),
                   hart::Result::Warning);
    } else {
        out.done(hart::text::kReadOk);
    }
}

// A reply that holds at least `need` data bytes, or the failed outcome.
std::optional<ReplyData> dataOf(const std::optional<hart::Reply>& reply, int command,
                                std::size_t need, hart::Outcome& out) {
    if (reply) {
        ReplyData d(*reply, command);
        if (d.has(0, need)) return d;
    }
    out.fail(hart::text::kReadFailed);
    return std::nullopt;
}

void showNumber(hart::Outcome& out, std::string_view control, const ReplyData& d, std::size_t at) {
    out.setNumber(std::string(control), d.floatText(at), d.number(at));
}

std::string secondsText(std::uint32_t ticks) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", hartSeconds(ticks));
    return text;
}

hart::Outcome decodeDeviceVariables(const std::optional<hart::Reply>& reply, Session&, int command,
                                    std::size_t slotBytes, std::size_t first) {
    hart::Outcome out;
    const auto d = dataOf(reply, command, first + slotBytes, out);
    if (!d) return out;
    const bool withStatus = slotBytes == 8;
    // A truncated reply (code 30) carries fewer slots than were asked, and a chunk may end
    // before the byte count does: only whole slots that arrived count.
    std::size_t slots = 0;
    while (slots < kDeviceVariableSlots && d->has(first + slots * slotBytes, slotBytes)) ++slots;
    if (withStatus) out.setText(std::string(kExtendedStatusLabel), std::to_string(d->u8(0)));
    for (std::size_t i = 0; i < slots; ++i) {
        const std::size_t at = first + i * slotBytes;
        out.setText(deviceVariableCell(i, Column::Code), std::to_string(d->u8(at)));
        const std::size_t unitAt = withStatus ? at + 2 : at + 1;
        if (withStatus)
            out.setText(deviceVariableCell(i, Column::Classification),
                        std::string(classificationName(d->u8(at + 1))));
        out.setText(deviceVariableCell(i, Column::Unit), unitName(d->u8(unitAt)));
        out.setNumber(deviceVariableCell(i, Column::Value), d->floatText(unitAt + 1),
                      d->number(unitAt + 1));
        if (withStatus) {
            const VariableStatus v = variableStatus(d->u8(at + 7));
            out.setText(deviceVariableCell(i, Column::Status),
                        v.moreStatus ? hart::arg(Tr::tr("%1,有更多状态"), {v.quality})
                                     : std::string(v.quality));
            out.setText(deviceVariableCell(i, Column::Limit), std::string(v.limit));
        }
    }
    const std::size_t timeAt = first + slots * slotBytes;
    if (withStatus && d->has(timeAt, 4))
        out.setText(std::string(kDeviceVariableTime), timeOfDay(d->u32(timeAt)));
    readDone(out, *d);
    return out;
}

hart::Outcome decode9(const std::optional<hart::Reply>& reply, Session& s) {
    return decodeDeviceVariables(reply, s, 9, 8, 1);
}
hart::Outcome decode33(const std::optional<hart::Reply>& reply, Session& s) {
    return decodeDeviceVariables(reply, s, 33, 6, 0);
}

// Commands 11 and 21 answer as command 0 does: the identity found becomes the one addressed.
hart::Outcome decodeFound(const std::optional<hart::Reply>& reply, Session& s, int command) {
    hart::Outcome out;
    const auto d = dataOf(reply, command, 12, out);
    if (!d) {
        out.fail(Tr::tr("未找到该位号的仪表!"));
        return out;
    }
    hart::DeviceIdentity& id = s.identity;
    id.manufacturer = d->u8(1);
    id.deviceType = d->u8(2);
    id.deviceId = {d->u8(9), d->u8(10), d->u8(11)};
    s.hartRevision = d->u8(4);
    s.configChangeCounter.reset();
    if (d->u8(4) >= kHart7 && d->has(14, 2))
        s.configChangeCounter = static_cast<std::uint16_t>(d->u8(14) << 8 | d->u8(15));
    s.identifiedAt.reset();  // found by tag: whatever its polling address
    out.setText("Edit1", std::to_string(id.manufacturer));
    out.setText("Edit2", std::to_string(id.deviceType));
    out.setText("Edit4", std::to_string(id.deviceIdNumber()));
    out.fact("HartRevision", std::to_string(d->u8(4)));
    out.done(Tr::tr("找到仪表!"));
    return out;
}
hart::Outcome decode11(const std::optional<hart::Reply>& reply, Session& s) {
    return decodeFound(reply, s, 11);
}
hart::Outcome decode21(const std::optional<hart::Reply>& reply, Session& s) {
    return decodeFound(reply, s, 21);
}

hart::Outcome decodeLatin1(const std::optional<hart::Reply>& reply, int command,
                           std::string_view control) {
    hart::Outcome out;
    const auto d = dataOf(reply, command, kLongTagChars, out);
    if (!d) {
        out.setText(std::string(control), "");
        return out;
    }
    out.setText(std::string(control), fromLatin1(d->bytes(0, kLongTagChars)));
    readDone(out, *d);
    return out;
}
hart::Outcome decode20(const std::optional<hart::Reply>& reply, Session&) {
    return decodeLatin1(reply, 20, kLongTagEdit);
}
hart::Outcome decode520(const std::optional<hart::Reply>& reply, Session&) {
    return decodeLatin1(reply, 520, kProcessUnitTagEdit);
}

hart::Outcome decode7(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 7, 2, out);
    if (!d) return out;
    out.setText(std::string(kPollingAddressEdit), std::to_string(d->u8(0)));
    out.select(std::string(kLoopCurrentModeBox), d->u8(1) <= 1 ? d->u8(1) : -1);
    readDone(out, *d);
    return out;
}

hart::Outcome decode8(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 8, 4, out);
    if (!d) return out;
    for (std::size_t i = 0; i < kClassLabels.size(); ++i)
        out.setText(std::string(kClassLabels[i]), std::string(classificationName(d->u8(i))));
    readDone(out, *d);
    return out;
}

hart::Outcome decode50(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 50, 4, out);
    if (!d) return out;
    for (std::size_t i = 0; i < kMappingEdits.size(); ++i)
        out.setText(std::string(kMappingEdits[i]), std::to_string(d->u8(i)));
    readDone(out, *d);
    return out;
}

// Code, sensor serial, unit, upper and lower limit, damping, minimum span, classification,
// family; HART 7 adds the acquisition period and the properties.
hart::Outcome decode54(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 54, 23, out);
    if (!d) return out;
    out.setText(std::string(kVariableCodeEdit), std::to_string(d->u8(0)));
    out.setText(std::string(kVariableSerialLabel), std::to_string(d->u24(1)));
    out.select(std::string(kVariableUnitBox), hart::unitIndexForCode(d->u8(4)));
    showNumber(out, kVariableUpperLimitLabel, *d, 5);
    showNumber(out, kVariableLowerLimitLabel, *d, 9);
    showNumber(out, kVariableDampingEdit, *d, 13);
    showNumber(out, kVariableMinSpanLabel, *d, 17);
    out.setText(std::string(kVariableClassLabel), std::string(classificationName(d->u8(21))));
    out.setText(std::string(kVariableFamilyLabel), std::string(familyName(d->u8(22))));
    if (d->has(23, 4)) out.setText(std::string(kVariablePeriodLabel), secondsText(d->u32(23)));
    if (d->has(27)) out.setText(std::string(kVariablePropertiesLabel), std::to_string(d->u8(27)));
    readDone(out, *d);
    return out;
}

// Control, command (31 for an expanded one), eight device variables, message number, most
// messages, the 16-bit command, update and maximum period, trigger mode, classification,
// unit and level.
struct Burst {
    std::uint8_t mode;
    std::string variables;
    std::uint8_t message;
    std::uint8_t messages;
    int command;
    std::uint32_t update;
    std::uint32_t maximum;
    std::uint8_t trigger;
    std::uint8_t triggerClass;
    std::uint8_t unit;
    std::size_t levelAt;
};

Burst burstOf(const ReplyData& d) {
    Burst b{};
    b.mode = d.u8(0);
    for (std::size_t i = 0; i < kDeviceVariableSlots; ++i) {
        if (d.u8(2 + i) == kNoVariable) continue;
        b.variables += (b.variables.empty() ? "" : " ") + std::to_string(d.u8(2 + i));
    }
    b.message = d.u8(10);
    b.messages = d.u8(11);
    b.command = d.u8(1) == hart::kExpandedCommand ? d.u8(12) << 8 | d.u8(13) : d.u8(1);
    b.update = d.u32(14);
    b.maximum = d.u32(18);
    b.trigger = d.u8(22);
    b.triggerClass = d.u8(23);
    b.unit = d.u8(24);
    b.levelAt = 25;
    return b;
}

constexpr std::size_t kBurstReply = 29;

hart::Outcome decode105(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 105, kBurstReply, out);
    if (!d) return out;
    const Burst b = burstOf(*d);
    out.select(std::string(kBurstControlBox), b.mode < items::kBurstMode.size() ? b.mode : -1);
    out.setText(std::string(kBurstVariablesEdit), b.variables);
    out.setText(std::string(kBurstMessageEdit), std::to_string(b.message));
    out.setText(std::string(kBurstMaxMessagesLabel), std::to_string(b.messages));
    out.setText(std::string(kBurstCommandEdit), std::to_string(b.command));
    out.setText(std::string(kBurstUpdatePeriodEdit), secondsText(b.update));
    out.setText(std::string(kBurstMaxPeriodEdit), secondsText(b.maximum));
    out.select(std::string(kBurstTriggerModeBox), b.trigger <= 4 ? b.trigger : -1);
    out.setText(std::string(kBurstTriggerClassEdit), std::to_string(b.triggerClass));
    out.select(std::string(kBurstTriggerUnitBox), hart::unitIndexForCode(b.unit));
    showNumber(out, kBurstTriggerLevelEdit, *d, b.levelAt);
    readDone(out, *d);
    return out;
}

// One row of the table, the one of the message the reply names; the count of messages goes
// where the single message's read shows it.
hart::Outcome decodeBurstRow(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 105, kBurstReply, out);
    if (!d) return out;
    const Burst b = burstOf(*d);
    out.setText(std::string(kBurstMaxMessagesLabel), std::to_string(b.messages));
    if (b.message < kBurstTableRows) {
        const auto cell = [&](BurstColumn column, std::string text) {
            out.setText(burstTableCell(b.message, column), std::move(text));
        };
        cell(BurstColumn::Message, std::to_string(b.message));
        cell(BurstColumn::Command, std::to_string(b.command));
        cell(BurstColumn::Variables, b.variables);
        cell(BurstColumn::Update, secondsText(b.update));
        cell(BurstColumn::Maximum, secondsText(b.maximum));
        cell(BurstColumn::Trigger, itemFor(items::kBurstTrigger, b.trigger));
        cell(BurstColumn::Level, d->floatText(b.levelAt) + " " + unitName(b.unit));
        cell(BurstColumn::Mode, itemFor(items::kBurstMode, b.mode));
    }
    readDone(out, *d);
    return out;
}

hart::Outcome decode512(const std::optional<hart::Reply>& reply, Session&) {
    hart::Outcome out;
    const auto d = dataOf(reply, 512, 3, out);
    if (!d) return out;
    out.setText(std::string(kCountryCodeEdit),
                std::string{static_cast<char>(d->u8(0)), static_cast<char>(d->u8(1))});
    out.check(std::string(kSiUnitsOnlyCheck), d->u8(2) != 0);
    readDone(out, *d);
    return out;
}

constexpr Decoder kAck = writeAck();

constexpr Operation read(std::string_view control, int tag, int command, CustomDecoder decoder,
                         DataBuilder data = nullptr) {
    return {.control = control,
            .tag = tag,
            .command = command,
            .timeout = TimeoutKind::Read,
            .startText = kReading,
            .data = data,
            .decoder = customDecoder(decoder)};
}

constexpr Operation write(std::string_view control, int tag, int command, DataBuilder data) {
    return {.control = control,
            .tag = tag,
            .command = command,
            .timeout = TimeoutKind::Write,
            .startText = kWriting,
            .data = data,
            .decoder = kAck};
}

constexpr Operation broadcast(std::string_view control, int tag, int command, CustomDecoder decoder,
                              DataBuilder data) {
    Operation op = read(control, tag, command, decoder, data);
    op.frame = FrameKind::Broadcast;
    return op;
}

// Tags 7xx for the single-byte commands, 7000 + number for expanded ones, 9xx for rows that
// read for a table rather than for a button.
constexpr Operation kRows[] = {
    write(kWritePollingAddressButton, 706, 6, pollingAddressWrite),
    read(kReadLoopConfigButton, 707, 7, decode7),
    read(kReadClassificationsButton, 708, 8, decode8),
    read(kReadDeviceVariablesButton, 709, 9, decode9, deviceVariables9),
    broadcast(kFindTagButton, 711, 11, decode11, findTag),
    read(kReadLongTagButton, 720, 20, decode20),
    broadcast(kFindLongTagButton, 721, 21, decode21, findLongTag),
    write(kWriteLongTagButton, 722, 22, longTagWrite),
    read(kReadDeviceVariables33, 733, 33, decode33, deviceVariables33),
    write(kResetConfigChangedButton, 738, 38, resetConfigChanged),
    write(kSelfTestButton, 741, 41, nullptr),
    write(kDeviceResetButton, 742, 42, nullptr),
    read(kReadMappingButton, 750, 50, decode50),
    write(kWriteMappingButton, 751, 51, mappingWrite),
    write(kWriteVariableUnitButton, 753, 53, variableUnitWrite),
    read(kReadVariableInfoButton, 754, 54, decode54, variableCode),
    write(kWriteVariableDampingButton, 755, 55, variableDampingWrite),
    write(kWritePreamblesButton, 759, 59, preamblesWrite),
    write(kSquawkButton, 772, 72, nullptr),
    write(kWriteBurstPeriodButton, 803, 103, burstPeriodWrite),
    write(kWriteBurstTriggerButton, 804, 104, burstTriggerWrite),
    read(kReadBurstConfigButton, 805, 105, decode105, burstMessageOnly),
    read(kReadBurstTableRow, 905, 105, decodeBurstRow, burstTableMessage),
    write(kWriteBurstVariablesButton, 807, 107, burstVariablesWrite),
    write(kWriteBurstCommandButton, 808, 108, burstCommandWrite),
    write(kWriteBurstControlButton, 809, 109, burstControlWrite),
    read(kReadCountryButton, 7512, 512, decode512),
    write(kWriteCountryButton, 7513, 513, countryWrite),
    read(kReadProcessUnitTagButton, 7520, 520, decode520),
    write(kWriteProcessUnitTagButton, 7521, 521, processUnitTagWrite),
};

}  // namespace

std::string deviceVariableCell(std::size_t slot, Column column) {
    return "DeviceVariable." + std::to_string(slot) + "." +
           std::string(kColumns[static_cast<std::size_t>(column)]);
}

std::string burstTableCell(std::size_t row, BurstColumn column) {
    return "BurstTable." + std::to_string(row) + "." +
           std::string(kBurstCells[static_cast<std::size_t>(column)]);
}

namespace {
// The page's controls, but for the message number the table asks for.
class WithMessage final : public Controls {
  public:
    WithMessage(const Controls& c, std::uint8_t message)
        : c_(c), message_(std::to_string(message)) {}
    std::string text(std::string_view name) const override {
        return name == kBurstMessageEdit ? message_ : c_.text(name);
    }
    int index(std::string_view name) const override { return c_.index(name); }
    bool checked(std::string_view name) const override { return c_.checked(name); }

  private:
    const Controls& c_;
    std::string message_;
};
}  // namespace

Request burstTableRead(std::uint8_t message, const Controls& controls, Session& session) {
    return build(kReadBurstTableRow, WithMessage(controls, message), session);
}

VariableStatus variableStatus(std::uint8_t status) {
    return {kQualities[status >> 6], kLimits[(status >> 4) & 3], (status & 0x08) != 0};
}

std::string_view classificationName(std::uint8_t code) {
    return lookUp(kClassifications, code, kUnknown);
}
std::string_view familyName(std::uint8_t code) {
    return lookUp(kFamilies, code, kUnknown);
}
std::string unitName(std::uint8_t code) {
    const int index = hart::unitIndexForCode(code);
    if (index == hart::kUnlistedUnitIndex)
        return hart::arg(Tr::tr("单位代码 %1"), {std::to_string(code)});
    return std::string(hart::plainUnitName(index));
}

double hartSeconds(std::uint32_t ticks) {
    return ticks / kTicksPerSecond;
}

std::string timeOfDay(std::uint32_t ticks) {
    const std::uint64_t ms = ticks / 32;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", static_cast<unsigned>(ms / 3600000),
                  static_cast<unsigned>(ms / 60000 % 60), static_cast<unsigned>(ms / 1000 % 60),
                  static_cast<unsigned>(ms % 1000));
    return text;
}

Latin1 toLatin1(std::string_view utf8, std::size_t chars) {
    Latin1 out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        unsigned code = b;
        // Two-byte sequences C2/C3 xx are exactly U+0080..U+00FF; everything longer is not
        // Latin-1.
        if (b >= 0x80) {
            const bool pair = (b == 0xC2 || b == 0xC3) && i + 1 < utf8.size() &&
                              (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80;
            if (!pair) return {{}, Tr::tr("只能输入ISO Latin-1字符!")};
            code = (b & 0x1F) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
        }
        if (code < 0x20 || (code >= 0x7F && code < 0xA0)) return {{}, Tr::tr("不能输入控制字符!")};
        out.bytes.push_back(static_cast<std::uint8_t>(code));
    }
    if (out.bytes.size() > chars)
        return {{}, hart::arg(Tr::tr("最多只能输入%1个字符!"), {std::to_string(chars)})};
    out.bytes.resize(chars, ' ');
    return out;
}

std::string fromLatin1(std::span<const std::uint8_t> bytes) {
    std::size_t n = bytes.size();
    while (n > 0 && (bytes[n - 1] == ' ' || bytes[n - 1] == 0)) --n;
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = bytes[i];
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(0xC0 | b >> 6);
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

Codes parseCodes(std::string_view text, std::size_t most) {
    Codes out;
    std::istringstream in{std::string(text)};
    for (std::string word; in >> word;) {
        const auto v = hart::parseInteger(word);
        if (!v || v.value < 0 || v.value > 255) return {{}, Tr::tr("设备变量号只能是0到255!")};
        out.codes.push_back(static_cast<std::uint8_t>(v.value));
    }
    if (out.codes.empty() || out.codes.size() > most)
        return {{}, hart::arg(Tr::tr("请输入1到%1个设备变量号!"), {std::to_string(most)})};
    return out;
}

std::string_view deviceVariablesRow(const Session& session) {
    return session.hartRevision.value_or(5) >= kHart7 ? kReadDeviceVariablesButton
                                                      : kReadDeviceVariables33;
}

bool isResendCode(int code) {
    return code >= 32 && code <= 36;
}

std::optional<Resend> resendAfter(std::optional<int> code, int attempt) {
    if (!code || !isResendCode(*code) || attempt >= kResendLimit) return std::nullopt;
    const std::string n = std::to_string(attempt) + "/" + std::to_string(kResendLimit);
    if (*code == 32)
        return Resend{hart::arg(Tr::tr("仪表忙,正在重发(%1)..."), {n}),
                      "device busy (response code 32), sending again (" + n + ")"};
    return Resend{hart::arg(Tr::tr("仪表延迟应答,正在重发(%1)..."), {n}),
                  "delayed response (response code " + std::to_string(*code) +
                      "), sending again (" + n + ")"};
}

std::string gaveUp(int code) {
    return hart::arg(code == 32 ? Tr::tr("仪表一直忙,已重发%1次!")
                                : Tr::tr("仪表延迟应答一直未完成,已重发%1次!"),
                     {std::to_string(kResendLimit)});
}

}  // namespace ops::hart7

namespace ops {

std::span<const Operation> hart7Operations() {
    return hart7::kRows;
}

}  // namespace ops
