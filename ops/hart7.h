// The HART 7 page and the common-practice commands beside the older pages: long tag, device
// variables with their status, the variable mapping, loop configuration, burst messages,
// finding an instrument by tag, country code and process unit tag. The rows live in
// hart7.cpp; this header names the page's controls, the plain decoders hart-cli and the
// window share, and the resend rule for busy and delayed replies.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/tr.h"
#include "ops/controls.h"
#include "ops/request.h"
#include "ops/session.h"

namespace ops::hart7 {

// --- the page's controls (object names); every button sends its row.

// Long tag (commands 20/22) and finding an instrument by tag (11) or long tag (21).
inline constexpr std::string_view kLongTagEdit = "LongTagEdit";
inline constexpr std::string_view kReadLongTagButton = "ReadLongTagButton";
inline constexpr std::string_view kWriteLongTagButton = "WriteLongTagButton";
inline constexpr std::string_view kFindTagEdit = "FindTagEdit";
inline constexpr std::string_view kFindTagButton = "FindTagButton";
inline constexpr std::string_view kFindLongTagEdit = "FindLongTagEdit";
inline constexpr std::string_view kFindLongTagButton = "FindLongTagButton";

// Device variables (9 for HART 7, 33 before it). The codes asked, blank-separated; none asks
// 0 1 2 3. The reply fills the table cells named by deviceVariableCell().
inline constexpr std::string_view kDeviceVariableCodesEdit = "DeviceVariableCodesEdit";
inline constexpr std::string_view kReadDeviceVariablesButton = "ReadDeviceVariablesButton";
// The row the refresh runs for instruments before HART 7; no control shows it.
inline constexpr std::string_view kReadDeviceVariables33 = "ReadDeviceVariables33";
inline constexpr std::string_view kDeviceVariableTime = "DeviceVariableTimeLabel";
inline constexpr std::string_view kExtendedStatusLabel = "ExtendedStatusLabel";
inline constexpr std::size_t kDeviceVariableSlots = 8;
enum class Column { Code, Classification, Value, Unit, Status, Limit };
// "DeviceVariable.<slot>.<column>", slot 0..7, column code|class|value|unit|status|limit:
// status the quality (good, poor, bad, fixed), limit the limit status.
std::string deviceVariableCell(std::size_t slot, Column column);

// One device variable (command 53 units, 54 information, 55 damping).
inline constexpr std::string_view kVariableCodeEdit = "VariableCodeEdit";
inline constexpr std::string_view kVariableUnitBox = "VariableUnitBox";  // the plain unit list
inline constexpr std::string_view kVariableDampingEdit = "VariableDampingEdit";
inline constexpr std::string_view kReadVariableInfoButton = "ReadVariableInfoButton";
inline constexpr std::string_view kWriteVariableUnitButton = "WriteVariableUnitButton";
inline constexpr std::string_view kWriteVariableDampingButton = "WriteVariableDampingButton";
// Command 54's reply, besides the unit box and the damping edit.
inline constexpr std::string_view kVariableSerialLabel = "VariableSerialLabel";
inline constexpr std::string_view kVariableUpperLimitLabel = "VariableUpperLimitLabel";
inline constexpr std::string_view kVariableLowerLimitLabel = "VariableLowerLimitLabel";
inline constexpr std::string_view kVariableMinSpanLabel = "VariableMinSpanLabel";
inline constexpr std::string_view kVariableClassLabel = "VariableClassLabel";
inline constexpr std::string_view kVariableFamilyLabel = "VariableFamilyLabel";
inline constexpr std::string_view kVariablePeriodLabel = "VariablePeriodLabel";
inline constexpr std::string_view kVariablePropertiesLabel = "VariablePropertiesLabel";

// Variable mapping (50/51) and the classifications of PV..QV (8): one edit per variable
// holding a device variable code.
inline constexpr std::array<std::string_view, 4> kMappingEdits = {"MappingPvEdit", "MappingSvEdit",
                                                                  "MappingTvEdit", "MappingQvEdit"};
inline constexpr std::array<std::string_view, 4> kClassLabels = {"PvClassLabel", "SvClassLabel",
                                                                 "TvClassLabel", "QvClassLabel"};
inline constexpr std::string_view kReadMappingButton = "ReadMappingButton";
inline constexpr std::string_view kWriteMappingButton = "WriteMappingButton";
inline constexpr std::string_view kReadClassificationsButton = "ReadClassificationsButton";

// Loop configuration (7) and the polling address with the loop current mode (6).
inline constexpr std::string_view kPollingAddressEdit = "PollingAddress63Edit";  // 0..63
inline constexpr std::string_view kLoopCurrentModeBox = "LoopCurrentModeBox";    // 0 off, 1 on
inline constexpr std::string_view kReadLoopConfigButton = "ReadLoopConfigButton";
inline constexpr std::string_view kWritePollingAddressButton = "WritePollingAddressModeButton";

// Device actions and settings.
inline constexpr std::string_view kResetConfigChangedButton = "ResetConfigChangedButton";  // 38
inline constexpr std::string_view kSelfTestButton = "SelfTestButton";                      // 41
inline constexpr std::string_view kDeviceResetButton = "DeviceResetButton";                // 42
inline constexpr std::string_view kSquawkButton = "SquawkButton";                          // 72
inline constexpr std::string_view kResponsePreamblesEdit = "ResponsePreamblesEdit";        // 5..20
inline constexpr std::string_view kWritePreamblesButton = "WritePreamblesButton";          // 59
// The question the window and hart-cli ask before command 42.
inline constexpr std::string_view kDeviceResetQuestion =
    hart::Tr::tr("确定要复位仪表吗?仪表将重新启动。");

// Country code (512/513) and process unit tag (520/521).
inline constexpr std::string_view kCountryCodeEdit = "CountryCodeEdit";  // two letters
inline constexpr std::string_view kSiUnitsOnlyCheck = "SiUnitsOnlyCheck";
inline constexpr std::string_view kReadCountryButton = "ReadCountryButton";
inline constexpr std::string_view kWriteCountryButton = "WriteCountryButton";
inline constexpr std::string_view kProcessUnitTagEdit = "ProcessUnitTagEdit";
inline constexpr std::string_view kReadProcessUnitTagButton = "ReadProcessUnitTagButton";
inline constexpr std::string_view kWriteProcessUnitTagButton = "WriteProcessUnitTagButton";

// Burst messages (103..109 of HART 7). The message number box picks the message every
// burst row reads or writes.
inline constexpr std::string_view kBurstMessageEdit = "BurstMessageEdit";      // 0..2
inline constexpr std::string_view kBurstCommandEdit = "BurstCommandEdit";      // 1, 2, 3, 9, 33...
inline constexpr std::string_view kBurstVariablesEdit = "BurstVariablesEdit";  // up to 8 codes
inline constexpr std::string_view kBurstUpdatePeriodEdit = "BurstUpdatePeriodEdit";  // seconds
inline constexpr std::string_view kBurstMaxPeriodEdit = "BurstMaxPeriodEdit";        // seconds
inline constexpr std::string_view kBurstTriggerModeBox = "BurstTriggerModeBox";  // trigger items
inline constexpr std::string_view kBurstTriggerClassEdit = "BurstTriggerClassEdit";
inline constexpr std::string_view kBurstTriggerUnitBox = "BurstTriggerUnitBox";  // plain unit list
inline constexpr std::string_view kBurstTriggerLevelEdit = "BurstTriggerLevelEdit";
// Burst mode codes 0..4 as items; a write sends only off or on, what a wired loop takes.
inline constexpr std::string_view kBurstControlBox = "BurstControlBox";
inline constexpr std::string_view kBurstMaxMessagesLabel = "BurstMaxMessagesLabel";
inline constexpr std::string_view kReadBurstConfigButton = "ReadBurstConfigButton";          // 105
inline constexpr std::string_view kWriteBurstPeriodButton = "WriteBurstPeriodButton";        // 103
inline constexpr std::string_view kWriteBurstTriggerButton = "WriteBurstTriggerButton";      // 104
inline constexpr std::string_view kWriteBurstVariablesButton = "WriteBurstVariablesButton";  // 107
inline constexpr std::string_view kWriteBurstCommandButton = "WriteBurstCommandButton";      // 108
inline constexpr std::string_view kWriteBurstControlButton = "WriteBurstControlButton";      // 109

// The burst message table: one row per message the instrument keeps, each read by command 105.
// The refresh reads message 0 first; its reply tells how many messages there are.
inline constexpr std::string_view kRefreshBurstTableButton = "RefreshBurstTableButton";
inline constexpr std::string_view kReadBurstTableRow = "ReadBurstTableRow";  // no control
inline constexpr std::size_t kBurstTableRows = 8;
enum class BurstColumn { Message, Command, Variables, Update, Maximum, Trigger, Level, Mode };
inline constexpr std::size_t kBurstColumns = 8;
// "BurstTable.<row>.<column>", column message|command|variables|update|maximum|trigger|
// level|mode.
std::string burstTableCell(std::size_t row, BurstColumn column);
// The read of message `message`'s row.
Request burstTableRead(std::uint8_t message, const Controls& controls, Session& session);

// --- plain decoders the rows use, and the page's item lists

// A device variable status byte in words: the quality (good, poor, bad or fixed), the limit
// status, and whether more status is available. The words here and the names below are the
// window's (marked for translation); hart-cli shows them in its language too.
struct VariableStatus {
    std::string_view quality;  // good | poor | bad | fixed
    std::string_view limit;    // not limited | low limited | high limited | constant
    bool moreStatus = false;
};
VariableStatus variableStatus(std::uint8_t status);
std::string_view classificationName(std::uint8_t code);  // pressure, temperature...
std::string_view familyName(std::uint8_t code);          // pressure, temperature...
// The unit's name from the unit table; "单位代码 <code>" for codes it does not list.
std::string unitName(std::uint8_t code);
// A HART time (1/32 ms) as seconds, and a time of day as hh:mm:ss.sss.
double hartSeconds(std::uint32_t ticks);
std::string timeOfDay(std::uint32_t ticks);

// Texts of 32 ISO Latin-1 characters (long tag, process unit tag): UTF-8 in, Latin-1 bytes
// padded with blanks out; refused for characters outside Latin-1, control characters, or
// more than 32 characters.
struct Latin1 {
    std::vector<std::uint8_t> bytes;
    std::string refusal;
};
inline constexpr std::size_t kLongTagChars = 32;
Latin1 toLatin1(std::string_view utf8, std::size_t chars = kLongTagChars);
// Latin-1 bytes as UTF-8, trailing blanks and NULs dropped.
std::string fromLatin1(std::span<const std::uint8_t> bytes);

// Device variable codes typed blank-separated: 1..`most` codes 0..255, or the refusal.
struct Codes {
    std::vector<std::uint8_t> codes;
    std::string refusal;
};
Codes parseCodes(std::string_view text, std::size_t most);

// The row the device-variable refresh runs for the instrument now addressed: command 9 for
// HART 7, 33 before it.
std::string_view deviceVariablesRow(const Session& session);

// --- busy and delayed replies

// Response codes 32 (busy) and 33..36 (delayed response initiated, running, dead,
// conflict): the request is sent again after a pause, a bounded number of times.
inline constexpr int kResendLimit = 10;
inline constexpr std::chrono::milliseconds kResendPause{400};
struct Resend {
    std::string status;   // the window's status line while waiting
    std::string english;  // hart-cli's line on standard error
};
// Whether to send again after the `attempt`-th reply (1 = the first) carried `responseCode`.
std::optional<Resend> resendAfter(std::optional<int> responseCode, int attempt);
// The status after the last resend still got such a code.
std::string gaveUp(int responseCode);
bool isResendCode(int responseCode);

}  // namespace ops::hart7
