// The operation table: one row per request-sending control, holding everything about its
// request (tag, command, timeout kind, start text, fields emptied, data, frame, echo, pause,
// counting) and its reply (scan and decoder). The window binds each row's button to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/outcome.h"
#include "hart/reply.h"
#include "hart/texts.h"
#include "hart/tracker.h"
#include "hart/write_ack.h"
#include "ops/code_table.h"
#include "ops/controls.h"
#include "ops/request.h"
#include "ops/session.h"

namespace ops {

// --- request data

// Data bytes of a request, or why it is not sent.
struct Data {
    std::vector<std::uint8_t> bytes;
    std::vector<hart::Update> before;  // control changes made before sending
    std::string refusal;               // not empty: shown in a modal box, nothing is sent
    bool refusalIsError = true;        // an error box, or a plain message box
};

// Builds data bytes in order; the first refusal stops it and later steps do nothing.
class DataWriter {
  public:
    DataWriter& byte(std::uint8_t b);
    DataWriter& bytes(std::span<const std::uint8_t> b);
    // A code that exists, or the refusal `message` (what the user has to choose).
    DataWriter& code(std::optional<std::uint8_t> c, std::string_view message);
    // The code of the box's selected item, or the refusal "请选择<what>!".
    DataWriter& item(const Controls& controls, std::string_view box, const CodeTable& table,
                     std::string_view what);
    // A typed number as a wire float.
    DataWriter& number(const Controls& controls, std::string_view edit);
    // A box's decimal integer as three bytes; refused outside 0 .. 16777215.
    DataWriter& uint24(const Controls& controls, std::string_view edit);
    // Packed text of `chars` characters; lower case goes as capitals, other characters
    // outside the packed set are refused.
    DataWriter& text(const Controls& controls, std::string_view edit, std::size_t chars);
    // The unit code the instrument now addressed last told or took; refused before one.
    DataWriter& currentUnit(const Session& session);
    // Day, month, year - 1900 from the three date boxes; refused for no calendar date.
    DataWriter& date(const Controls& controls, std::string_view year, std::string_view month,
                     std::string_view day);
    DataWriter& refuse(std::string message);
    DataWriter& before(hart::Update update);

    bool refused() const { return !data_.refusal.empty(); }
    Data data() const { return data_; }

  private:
    Data data_;
};

using DataBuilder = Data (*)(const Controls&, Session&);

// --- reply fields

enum class FieldKind {
    Float,        // wire float shown in `size` characters (hart::kWholeText: all)
    Unit,         // unit code selecting the item of a unit box
    CurrentUnit,  // as Unit, and remembered as the current unit code
    Item,         // the byte as item index when below `size`, else no selection
    Code,         // the byte selects its item by `table`; unlisted codes as the table says
    Name,         // the byte through `name` to the control's text
    Decimal,      // one byte, unsigned decimal
    Year,         // one byte + 1900
    Uint24,       // three bytes, unsigned decimal
    Text,         // packed text of `size` characters
};

struct Field {
    std::size_t offset;  // from the reply start
    FieldKind kind;
    std::string_view control;
    std::size_t size = 0;
    std::string_view (*name)(std::uint8_t) = nullptr;
    const CodeTable* table = nullptr;
};

// A byte that selects its item by the table.
constexpr Field codeField(std::size_t offset, std::string_view control, const CodeTable& table) {
    return {.offset = offset, .kind = FieldKind::Code, .control = control, .table = &table};
}
// A byte shown as the text `name` gives it.
constexpr Field nameField(std::size_t offset, std::string_view control,
                          std::string_view (*name)(std::uint8_t)) {
    return {.offset = offset, .kind = FieldKind::Name, .control = control, .name = name};
}

// Reply bytes a field reads.
std::size_t fieldBytes(const Field& field);

// What a failed read does to a control: empties its text, or selects an item (-1 none).
struct Reset {
    static constexpr int kEmptyText = -2;
    std::string_view control;
    int item = kEmptyText;
};

struct FieldDecoder {
    std::span<const Field> fields;
    std::span<const Reset> onFailure = {};
    std::string_view okText = hart::text::kReadOk;
    std::string_view failText = hart::text::kReadFailed;
};

// An irregular decoder; `reply` is the reply found by the row's scan, if any.
using CustomDecoder = hart::Outcome (*)(const std::optional<hart::Reply>& reply, Session& session);

enum class DecoderKind {
    None,      // the console: the receive event shows the reply
    WriteAck,  // the shared write acknowledgement
    Fields,    // a list of fields
    Custom,    // hand-written
};

struct Decoder {
    DecoderKind kind = DecoderKind::None;
    const FieldDecoder* fields = nullptr;
    CustomDecoder custom = nullptr;
    void (*accepted)(Session&) = nullptr;    // a write acknowledged with response code 0
    const hart::AckRow* extraAck = nullptr;  // a code the instrument uses in its own way
};

constexpr Decoder writeAck(void (*accepted)(Session&) = nullptr,
                           const hart::AckRow* extraAck = nullptr) {
    return {DecoderKind::WriteAck, nullptr, nullptr, accepted, extraAck};
}
constexpr Decoder fieldsOf(const FieldDecoder& d) {
    return {DecoderKind::Fields, &d};
}
constexpr Decoder customDecoder(CustomDecoder d) {
    return {DecoderKind::Custom, nullptr, d};
}

// --- the row

enum class FrameKind {
    Long,            // long address from the device identity
    Short,           // command 0 at the polled address, 6 preambles
    ShortPreamble8,  // the same with 8 preambles
    Raw,             // the data bytes as typed, with preambles and check byte
    Broadcast,       // long frame to address 0: whoever the data names answers
};

struct Operation {
    std::string_view control;  // the sending control: a button, or Timer1
    int tag;
    int command;  // hart::kTypedCommand for raw frames
    hart::TimeoutKind timeout;
    std::string_view startText;
    std::span<const std::string_view> clears = {};  // result fields emptied before sending
    DataBuilder data = nullptr;                     // no data bytes when null
    Decoder decoder = {};
    FrameKind frame = FrameKind::Long;
    bool primaryMaster = false;  // 0x80 whatever the master-role box shows
    bool pause = false;          // 200 ms after the write
    Echo echo = Echo::Always;
    bool counted = true;  // added to the sent-byte counter
    Procedure procedure = Procedure::Standard;
    std::uint8_t delimiter = hart::kLongReplyDelimiter;
    hart::ScanWindow replyWindow = hart::ScanWindow::Standard;

    // What the tracker holds while its reply is awaited.
    constexpr hart::Pending pending() const {
        return {tag, timeout, command, decoder.kind != DecoderKind::None};
    }

    // Copies that differ from this row in one thing.
    constexpr Operation startingWith(std::string_view text) const {
        Operation op = *this;
        op.startText = text;
        return op;
    }
    constexpr Operation withoutPause() const {
        Operation op = *this;
        op.pause = false;
        return op;
    }
    constexpr Operation echoedAlways() const {
        Operation op = *this;
        op.echo = Echo::Always;
        return op;
    }
    constexpr Operation scannedIn(hart::ScanWindow window) const {
        Operation op = *this;
        op.replyWindow = window;
        return op;
    }
};

// The common basis of the named instruments' requests, reads and writes alike: the write
// timeout and start text, the pause after sending, and the frame shown only by switch.
constexpr Operation instrumentRequest(std::string_view control, int tag, int command,
                                      DataBuilder data, Decoder decoder) {
    return {.control = control,
            .tag = tag,
            .command = command,
            .timeout = hart::TimeoutKind::Write,
            .startText = hart::text::kWriting,
            .data = data,
            .decoder = decoder,
            .pause = true,
            .echo = Echo::BySwitch};
}

// Every row of every group.
std::span<const Operation> operations();
// Null when the control sends nothing.
const Operation* operationFor(std::string_view control);
// The first row of the tag (rows sharing a tag share its reply handling).
const Operation* operationForTag(int tag);

// Reads the row's controls and builds its request, or a refusal.
Request build(const Operation& op, const Controls& controls, Session& session);
// The row of `control`, which must have one.
Request build(std::string_view control, const Controls& controls, Session& session);

// Where the pending request's reply is looked for.
hart::ReplyScan replyScan(const hart::Pending& request);

// Runs the decoder of the pending request's row.
hart::Outcome decode(const hart::Pending& request, const hart::ReceiveBuffer& buffer,
                     Session& session);

// The shared field routine: every field must lie inside the chunk and the reply's byte
// count, else the decoder's failure outcome.
hart::Outcome decodeFields(const FieldDecoder& decoder, const std::optional<hart::Reply>& reply,
                           Session& session);
bool holds(const hart::Reply& reply, std::span<const Field> fields);
void show(hart::Outcome& out, const Field& field, const hart::Reply& reply, Session& session);

// The one item-for-no-item message shape: "请选择<what>!".
std::string chooseMessage(std::string_view what);

}  // namespace ops
