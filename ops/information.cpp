// Identification fields: message, tag, descriptor, date, final assembly number, sensor serial
// number and polling address.
#include "hart/packed_text.h"
#include "hart/tr.h"
#include "ops/discovery.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;

namespace {

using hart::TimeoutKind;
using F = FieldKind;

// The page's start texts differ in their dots and commas.
constexpr std::string_view kReadingDots = Tr::tr("正在上传...!");
constexpr std::string_view kWritingFiveDots = Tr::tr("请稍后,正在下传.....");

constexpr std::string_view kMessageBox[] = {"Edit21"};
constexpr Field kMessage[] = {{11, F::Text, "Edit21", hart::kMessageChars}};
constexpr FieldDecoder kMessageDecoder{kMessage};

Data messageWrite(const Controls& c, Session&) {
    return DataWriter().text(c, "Edit21", hart::kMessageChars).data();
}

constexpr std::string_view kTagBoxes[] = {"Edit22", "Edit23", "Edit24", "Edit25", "Edit29"};
constexpr Field kTag[] = {
    {11, F::Text, "Edit22", hart::kTagChars},
    {17, F::Text, "Edit23", hart::kDescriptorChars},
    {31, F::Year, "Edit24"},
    {30, F::Decimal, "Edit25"},
    {29, F::Decimal, "Edit29"},
};
constexpr FieldDecoder kTagDecoder{kTag};

Data tagWrite(const Controls& c, Session&) {
    return DataWriter()
        .text(c, "Edit22", hart::kTagChars)
        .text(c, "Edit23", hart::kDescriptorChars)
        .date(c, "Edit24", "Edit25", "Edit29")
        .data();
}

constexpr std::string_view kAssemblyBox[] = {"Edit26"};
constexpr Field kAssembly[] = {{11, F::Uint24, "Edit26"}};
constexpr Reset kAssemblyFailure[] = {{"Edit26"}};
constexpr FieldDecoder kAssemblyDecoder{kAssembly, kAssemblyFailure};

Data assemblyWrite(const Controls& c, Session&) {
    return DataWriter().uint24(c, "Edit26").data();
}

// The serial-number read is a command 0 at the polling address; the identity it returns
// replaces the stored one whole, so later long frames go to the instrument that answered and
// never mix its identifier with another instrument's manufacturer and type.
constexpr std::string_view kSerialBox[] = {"Edit28"};
constexpr Field kSerial[] = {{16, F::Uint24, "Edit28"}};
constexpr Reset kSerialFailure[] = {{"Edit28"}, {"ComboBox9", 0}};
constexpr FieldDecoder kSerialDecoder{kSerial, kSerialFailure, "Upload successful!",
                                      "Upload Failure!"};

hart::Outcome decodeSerial(const std::optional<hart::Reply>& reply, Session& session) {
    hart::Outcome out = decodeFields(kSerialDecoder, reply, session);
    if (reply && holds(*reply, kSerial)) takeIdentity(*reply, session);
    return out;
}

Data serialWrite(const Controls& c, Session&) {
    return DataWriter().uint24(c, "Edit28").data();
}

// No item selected sends 0xFF: the instrument refuses that address itself.
Data pollingAddressWrite(const Controls& c, Session&) {
    const int item = c.index("ComboBox3");
    return DataWriter().byte(item < 0 ? 0xFF : static_cast<std::uint8_t>(item)).data();
}

using hart::text::kWritingComma;

constexpr Operation kRows[] = {
    {.control = "Button28",
     .tag = 112,
     .command = 12,
     .timeout = TimeoutKind::Read,
     .startText = hart::text::kReading,
     .clears = kMessageBox,
     .decoder = fieldsOf(kMessageDecoder),
     .pause = true},
    {.control = "Button29",
     .tag = 117,
     .command = 17,
     .timeout = TimeoutKind::Write,
     .startText = kWritingComma,
     .data = messageWrite,
     .decoder = writeAck(),
     .pause = true},
    {.control = "Button32",
     .tag = 113,
     .command = 13,
     .timeout = TimeoutKind::Read,
     .startText = kReadingDots,
     .clears = kTagBoxes,
     .decoder = fieldsOf(kTagDecoder),
     .pause = true},
    {.control = "Button33",
     .tag = 118,
     .command = 18,
     .timeout = TimeoutKind::Write,
     .startText = kWritingComma,
     .data = tagWrite,
     .decoder = writeAck(),
     .pause = true},
    {.control = "Button38",
     .tag = 116,
     .command = 16,
     .timeout = TimeoutKind::Read,
     .startText = kReadingDots,
     .clears = kAssemblyBox,
     .decoder = fieldsOf(kAssemblyDecoder),
     .pause = true},
    {.control = "Button39",
     .tag = 119,
     .command = 19,
     .timeout = TimeoutKind::Write,
     .startText = kWritingComma,
     .data = assemblyWrite,
     .decoder = writeAck(),
     .pause = true},
    {.control = "Button7",
     .tag = 49,
     .command = 0,
     .timeout = TimeoutKind::Poll,
     .startText = kReadingDots,
     .clears = kSerialBox,
     .data = pollAddress,
     .decoder = customDecoder(decodeSerial),
     .frame = FrameKind::ShortPreamble8,
     .pause = true,
     .delimiter = hart::kShortReplyDelimiter},
    {.control = "Button37",
     .tag = 149,
     .command = 49,
     .timeout = TimeoutKind::Write,
     .startText = kWritingFiveDots,
     .data = serialWrite,
     .decoder = writeAck(),
     .pause = true},
    {.control = "Button27",
     .tag = 106,
     .command = 6,
     .timeout = TimeoutKind::Write,
     .startText = hart::text::kWriting,
     .data = pollingAddressWrite,
     .decoder = writeAck(),
     .pause = true},
};

}  // namespace

std::span<const Operation> informationOperations() {
    return kRows;
}

}  // namespace ops
