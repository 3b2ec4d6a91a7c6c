#include "ops/discovery.h"

#include <algorithm>
#include <vector>

#include "hart/texts.h"
#include "hart/tr.h"
#include "hart/wire.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;
namespace {

using hart::TimeoutKind;
using hart::text::kReading;

constexpr std::string_view kAddressBox = "ComboBox9";

// The polling address box; with no item the poll goes to address 0.
std::uint8_t chosenAddress(const Controls& c) {
    const int item = c.index(kAddressBox);
    return static_cast<std::uint8_t>(item >= 0 && item <= kLastPollingAddress ? item : 0);
}

// The instrument found by tag, while the address box shows what it showed then.
const FoundByTag* stillFound(const Controls& c, const Session& s) {
    return s.found && s.found->boxItem == c.index(kAddressBox) ? &*s.found : nullptr;
}

// Label33 follows the address each scan frame goes to.
Data scanAddress(const Controls&, Session& s) {
    return DataWriter()
        .before({"Label33", hart::Update::Kind::Text,
                 "#" + std::to_string(s.identity.polledAddress), 0})
        .data();
}

Data scanFromZero(const Controls& c, Session& s) {
    s.found.reset();
    s.identity.polledAddress = 0;
    return scanAddress(c, s);
}

// "76 89 FD AD": two upper-case hex digits a byte, separated by single spaces.
Data consoleBytes(const Controls& c, Session&) {
    constexpr std::size_t kMaxBytes = 15;
    const std::u32string entry = [&] {
        std::u32string out;
        for (unsigned char ch : c.text("Edit8")) {
            // Only ASCII can be a digit or a space; any other byte stands for some other char.
            if ((ch & 0xC0) != 0x80) out += ch < 0x80 ? char32_t{ch} : U'?';
        }
        return out;
    }();
    const std::size_t length = entry.size();
    const std::size_t n = std::min(length / 3 + (length % 3 == 2 ? 1 : 0), kMaxBytes);

    auto refuse = [](const char* message) {
        Data d = DataWriter().refuse(message).data();
        d.refusalIsError = false;
        return d;
    };
    if (n == 0) return refuse("NO SPACK");
    for (std::size_t k = 0; k + 1 < n; ++k) {
        if (entry[3 * k + 2] != U' ') return refuse("NO SPACK");
    }
    auto nibble = [](char32_t ch) -> int {
        if (ch >= U'0' && ch <= U'9') return static_cast<int>(ch - U'0');
        if (ch >= U'A' && ch <= U'F') return static_cast<int>(ch - U'A' + 10);
        return -1;  // lower case is refused too
    };
    DataWriter w;
    for (std::size_t k = 0; k < n; ++k) {
        const int hi = nibble(entry[3 * k]);
        const int lo = nibble(entry[3 * k + 1]);
        if (hi < 0 || lo < 0) return refuse("Data eeore!");
        w.byte(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    return w.data();
}

// Command 0 reply fields, from the reply start of the short reply.
constexpr Field kIdentityFields[] = {
    {8, FieldKind::Decimal, "Edit1"},  {9, FieldKind::Decimal, "Edit2"},
    {10, FieldKind::Decimal, "Edit3"}, {16, FieldKind::Uint24, "Edit4"},
    {16, FieldKind::Uint24, "Edit28"},
};
constexpr std::size_t kManufacturerAt = 8;
constexpr std::size_t kDeviceIdAt = 16;
constexpr std::size_t kRevisionAt = 11;  // the universal command revision: 5, 6 or 7
constexpr std::size_t kCounterAt = 21;   // HART 7's configuration change counter

// What HART 7's longer command 0 reply adds, from the reply start: the expanded device type
// where HART 5 has manufacturer and type, the configuration change counter, and the
// manufacturer's 16-bit code. Two bytes each, most significant first.
struct Hart7Fact {
    const char* key;
    std::size_t offset;
};
constexpr Hart7Fact kHart7Facts[] = {
    {"ExpandedDeviceType", kManufacturerAt},
    {"ConfigChangeCounter", kCounterAt},
    {"ManufacturerCode", 24},
};
constexpr std::uint8_t kHart7 = 7;

void showRevision(hart::Outcome& out, const hart::Reply& reply) {
    const std::uint8_t revision = reply.at(kRevisionAt);
    out.fact("HartRevision", std::to_string(revision));
    if (revision < kHart7) return;
    for (const Hart7Fact& f : kHart7Facts) {
        if (!reply.has(f.offset, 2)) continue;
        out.fact(f.key, std::to_string(reply.at(f.offset) << 8 | reply.at(f.offset + 1)));
    }
}

hart::Outcome decodePoll(const std::optional<hart::Reply>& reply, Session& session) {
    hart::Outcome out;
    if (!reply || !holds(*reply, kIdentityFields)) {
        // The stored identity stays; a running scan goes on with the next address.
        out.fail(hart::text::kReadFailed);
        for (const char* field : {"Edit1", "Edit2", "Edit3", "Edit4"}) out.setText(field, "");
        out.select("ComboBox9", 0);
        return out;
    }
    const hart::DeviceIdentity& id = session.identity;
    takeIdentity(*reply, session);
    for (const Field& f : kIdentityFields) show(out, f, *reply, session);
    if (reply->has(kRevisionAt)) showRevision(out, *reply);
    out.select("ComboBox9", id.polledAddress);
    out.select("ComboBox3", id.polledAddress);
    out.done(hart::text::kReadOk);
    out.stopScan = true;
    return out;
}

constexpr Decoder kPollDecoder = customDecoder(decodePoll);
constexpr std::uint8_t kShortReply = hart::kShortReplyDelimiter;

constexpr Operation kRows[] = {
    {.control = "Button3",
     .tag = hart::kPollTag,
     .command = 0,
     .timeout = TimeoutKind::Read,
     .startText = kReading,
     .data = pollAddress,
     .decoder = kPollDecoder,
     .frame = FrameKind::Short,
     .delimiter = kShortReply,
     .replyWindow = hart::ScanWindow::FromOne},
    // The scan paces itself with the scan timer and has no response timeout.
    {.control = "Button16",
     .tag = hart::kPollTag,
     .command = 0,
     .timeout = TimeoutKind::Poll,
     .startText = kReading,
     .data = scanFromZero,
     .decoder = kPollDecoder,
     .frame = FrameKind::Short,
     .procedure = Procedure::ScanStart,
     .delimiter = kShortReply,
     .replyWindow = hart::ScanWindow::FromOne},
    {.control = "Timer1",
     .tag = hart::kPollTag,
     .command = 0,
     .timeout = TimeoutKind::Poll,
     .startText = kReading,
     .data = scanAddress,
     .decoder = kPollDecoder,
     .frame = FrameKind::Short,
     .primaryMaster = true,
     .procedure = Procedure::ScanStep,
     .delimiter = kShortReply,
     .replyWindow = hart::ScanWindow::FromOne},
    {.control = "Button17",
     .tag = hart::kConsoleTag,
     .command = hart::kTypedCommand,
     .timeout = TimeoutKind::Read,
     .startText = hart::text::kWriting,
     .data = consoleBytes,
     .frame = FrameKind::Raw,
     .procedure = Procedure::Console},
};

}  // namespace

void takeIdentity(const hart::Reply& reply, Session& session) {
    hart::DeviceIdentity& id = session.identity;
    if (reply.has(kRevisionAt)) session.hartRevision = reply.at(kRevisionAt);
    session.configChangeCounter.reset();
    if (session.hartRevision.value_or(0) >= kHart7 && reply.has(kCounterAt, 2))
        session.configChangeCounter =
            static_cast<std::uint16_t>(reply.at(kCounterAt) << 8 | reply.at(kCounterAt + 1));
    id.manufacturer = reply.at(kManufacturerAt);
    id.deviceType = reply.at(kManufacturerAt + 1);
    id.deviceId = {reply.at(kDeviceIdAt), reply.at(kDeviceIdAt + 1), reply.at(kDeviceIdAt + 2)};
    session.identifiedAt = id.polledAddress;
}

// A poll of the box's address is the user's choice: whatever was found by tag gives way.
Data pollAddress(const Controls& c, Session& s) {
    s.found.reset();
    s.identity.polledAddress = chosenAddress(c);
    return {};
}

bool mustPoll(const Controls& controls, const Session& session) {
    if (const FoundByTag* f = stillFound(controls, session))
        return f->address && session.identifiedAt != f->address;
    return session.identifiedAt != chosenAddress(controls);
}

void keepFound(const Controls& controls, Session& session, std::optional<std::uint8_t> address) {
    session.found = FoundByTag{controls.index(kAddressBox), address};
}

Request pollChosen(const Controls& controls, Session& session) {
    session.identifiedAt.reset();  // known again only from this poll's reply
    const FoundByTag* f = stillFound(controls, session);
    const std::optional<FoundByTag> found = f ? std::optional(*f) : std::nullopt;
    Request r = build("Button3", controls, session);
    if (found) {
        session.found = found;  // polled again where it was found, not chosen anew
        if (found->address) {
            session.identity.polledAddress = *found->address;
            r.frame = hart::shortFrame(masterBit(controls.index("ComboBox8")), *found->address);
        }
    }
    r.startText = hart::arg(Tr::tr("正在查找地址 %1 的仪表..!"),
                            {std::to_string(session.identity.polledAddress)});
    return r;
}

std::string unanswered(const Session& session) {
    const std::uint8_t address = session.identity.polledAddress;
    if (session.identifiedAt == address) return {};
    return hart::arg(Tr::tr("地址 %1 无仪表应答"), {std::to_string(address)});
}

std::string_view noReplyHint(std::span<const std::uint8_t> frame, const Session& session) {
    constexpr std::size_t kCommandAt = 2;  // after the delimiter and the one-byte address
    const auto body = hart::withoutPreambles(frame);
    const bool shortOther =
        body.size() > kCommandAt && body[0] == hart::kShortDelimiter && body[kCommandAt] != 0;
    if (!shortOther || session.hartRevision.value_or(0) < kHart7) return {};
    return Tr::tr(" (HART 7 仪表的短帧只回答命令 0,其他命令请用长帧)");
}

std::span<const Operation> discoveryOperations() {
    return kRows;
}

ScanStep scanStep(const Controls& controls, Session& session) {
    ScanStep step;
    const int address = session.identity.polledAddress + 1;
    session.identity.polledAddress = static_cast<std::uint8_t>(address);
    if (address > kLastPollingAddress) {
        step.notFound = hart::text::kNotFound;
        return step;
    }
    step.request = build("Timer1", controls, session);
    return step;
}

}  // namespace ops
