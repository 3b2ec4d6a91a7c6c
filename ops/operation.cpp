#include "ops/operation.h"

#include <algorithm>
#include <stdexcept>

#include "hart/numbers.h"
#include "hart/packed_text.h"
#include "hart/tr.h"
#include "hart/units.h"
#include "hart/write_ack.h"
#include "ops/groups.h"

namespace ops {

using hart::Tr;

// --- request data

DataWriter& DataWriter::byte(std::uint8_t b) {
    if (!refused()) data_.bytes.push_back(b);
    return *this;
}

DataWriter& DataWriter::bytes(std::span<const std::uint8_t> b) {
    if (!refused()) data_.bytes.insert(data_.bytes.end(), b.begin(), b.end());
    return *this;
}

DataWriter& DataWriter::code(std::optional<std::uint8_t> c, std::string_view message) {
    return c ? byte(*c) : refuse(std::string(message));
}

DataWriter& DataWriter::item(const Controls& controls, std::string_view box, const CodeTable& table,
                             std::string_view what) {
    if (refused()) return *this;
    return code(table.codeOf(controls.index(box)), chooseMessage(what));
}

DataWriter& DataWriter::number(const Controls& controls, std::string_view edit) {
    if (refused()) return *this;
    const auto value = hart::encodeTypedNumber(controls.text(edit));
    return value ? bytes(value.value) : refuse(value.error);
}

DataWriter& DataWriter::uint24(const Controls& controls, std::string_view edit) {
    if (refused()) return *this;
    const auto value = hart::parseInteger(controls.text(edit));
    if (!value) return refuse(value.error);
    // Three bytes hold no more; a larger number would arrive as another one.
    if (value.value < 0 || value.value > 0xFFFFFF) {
        return refuse(
            hart::arg(Tr::tr("数值%1超出范围:只能写入0到16777215"), {std::to_string(value.value)}));
    }
    const auto v = static_cast<std::uint32_t>(value.value);
    return byte(static_cast<std::uint8_t>(v >> 16))
        .byte(static_cast<std::uint8_t>(v >> 8))
        .byte(static_cast<std::uint8_t>(v));
}

DataWriter& DataWriter::text(const Controls& controls, std::string_view edit, std::size_t chars) {
    if (refused()) return *this;
    const auto packable = hart::packableText(controls.text(edit), chars);
    return packable ? bytes(hart::packText(packable.value, chars)) : refuse(packable.error);
}

DataWriter& DataWriter::date(const Controls& controls, std::string_view year,
                             std::string_view month, std::string_view day) {
    if (refused()) return *this;
    const auto date =
        hart::encodeDate(controls.text(year), controls.text(month), controls.text(day));
    return date ? bytes(date.value) : refuse(date.error);
}

DataWriter& DataWriter::currentUnit(const Session& session) {
    // A unit another instrument told, or none at all, would give the value another meaning.
    return code(session.unit.of(session.identity), Tr::tr("请先上传单位!"));
}

DataWriter& DataWriter::refuse(std::string message) {
    if (!refused()) {
        data_.bytes.clear();
        data_.refusal = std::move(message);
    }
    return *this;
}

DataWriter& DataWriter::before(hart::Update update) {
    if (!refused()) data_.before.push_back(std::move(update));
    return *this;
}

std::string chooseMessage(std::string_view what) {
    return hart::arg(Tr::tr("请选择%1!"), {what});
}

// --- the table

std::span<const Operation> operations() {
    static const std::vector<Operation> table = [] {
        std::vector<Operation> all;
        for (auto group : {discoveryOperations(), processOperations(), informationOperations(),
                           outputOperations(), deviceStatusOperations(), hart7Operations(),
                           rosemountOperations(), yokogawaEhOperations(),
                           siemensKrohneAbbOperations(), pressureOperations()}) {
            all.insert(all.end(), group.begin(), group.end());
        }
        return all;
    }();
    return table;
}

const Operation* operationFor(std::string_view control) {
    const auto all = operations();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [&](const Operation& op) { return op.control == control; });
    return it == all.end() ? nullptr : &*it;
}

const Operation* operationForTag(int tag) {
    const auto all = operations();
    const auto it =
        std::find_if(all.begin(), all.end(), [&](const Operation& op) { return op.tag == tag; });
    return it == all.end() ? nullptr : &*it;
}

// --- requests

namespace {

hart::Frame frameOf(const Operation& op, const Controls& controls, const Session& session,
                    std::span<const std::uint8_t> data) {
    const std::uint8_t master =
        op.primaryMaster ? hart::kPrimaryMaster : masterBit(controls.index("ComboBox8"));
    const std::uint8_t address = session.identity.polledAddress;
    switch (op.frame) {
        case FrameKind::Short:
            return hart::shortFrame(master, address);
        case FrameKind::ShortPreamble8:
            return hart::shortFrame(master, address, hart::kLongPreambles);
        case FrameKind::Raw:
            return hart::rawFrame(data);
        case FrameKind::Broadcast:
            return hart::broadcastFrame(master, op.command, data);
        case FrameKind::Long:
            break;
    }
    return hart::longFrame(master, session.identity, op.command, data);
}

}  // namespace

Request build(const Operation& op, const Controls& controls, Session& session) {
    Data data = op.data ? op.data(controls, session) : Data{};
    Request r;
    if (!data.refusal.empty()) {
        r = refused(op.startText, std::move(data.refusal), data.refusalIsError);
    } else {
        r.startText = op.startText;
        r.frame = frameOf(op, controls, session, data.bytes);
        r.before = std::move(data.before);
        r.echo = op.echo;
        r.counted = op.counted;
        r.pause = op.pause;
        r.pending = op.pending();
    }
    r.procedure = op.procedure;
    r.clears.assign(op.clears.begin(), op.clears.end());
    return r;
}

Request build(std::string_view control, const Controls& controls, Session& session) {
    const Operation* op = operationFor(control);
    if (op == nullptr) throw std::out_of_range("no operation for " + std::string(control));
    return build(*op, controls, session);
}

// --- replies

std::size_t fieldBytes(const Field& field) {
    switch (field.kind) {
        case FieldKind::Float:
            return 4;
        case FieldKind::Uint24:
            return 3;
        case FieldKind::Text:
            return field.size * 3 / 4;
        default:
            return 1;
    }
}

bool holds(const hart::Reply& reply, std::span<const Field> fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [&](const Field& f) { return reply.has(f.offset, fieldBytes(f)); });
}

void show(hart::Outcome& out, const Field& f, const hart::Reply& reply, Session& session) {
    const auto bytes = reply.bytes(f.offset, fieldBytes(f));
    const std::uint8_t first = bytes[0];
    std::string control(f.control);
    switch (f.kind) {
        case FieldKind::Float:
            out.setNumber(control, hart::showFloat(bytes.first<4>(), f.size),
                          static_cast<double>(hart::decodeWireFloat(bytes.first<4>())));
            break;
        case FieldKind::CurrentUnit:
            session.unit.set(session.identity, first);
            [[fallthrough]];
        case FieldKind::Unit:
            out.select(control, hart::unitIndexForCode(first));
            break;
        case FieldKind::Item:
            out.select(control, first < f.size ? first : -1);
            break;
        case FieldKind::Code:
            if (const auto item = f.table->itemOf(first)) out.select(control, *item);
            break;
        case FieldKind::Name:
            out.setText(control, std::string(f.name(first)));
            break;
        case FieldKind::Decimal:
            out.setText(control, std::to_string(first));
            break;
        case FieldKind::Year:
            out.setText(control, std::to_string(first + 1900));
            break;
        case FieldKind::Uint24:
            out.setText(control, std::to_string(hart::decodeUint24(bytes.first<3>())));
            break;
        case FieldKind::Text:
            out.setText(control, hart::unpackText(bytes, f.size));
            break;
    }
}

hart::Outcome decodeFields(const FieldDecoder& decoder, const std::optional<hart::Reply>& reply,
                           Session& session) {
    hart::Outcome out;
    if (!reply || !holds(*reply, decoder.fields)) {
        for (const Reset& reset : decoder.onFailure) {
            if (reset.item == Reset::kEmptyText) {
                out.setText(std::string(reset.control), "");
            } else {
                out.select(std::string(reset.control), reset.item);
            }
        }
        out.fail(decoder.failText);
        return out;
    }
    for (const Field& f : decoder.fields) show(out, f, *reply, session);
    out.done(decoder.okText);
    return out;
}

hart::ReplyScan replyScan(const hart::Pending& request) {
    const Operation* op = operationForTag(request.tag);
    if (op == nullptr)
        throw std::out_of_range("no operation for tag " + std::to_string(request.tag));
    return {op->delimiter, op->replyWindow, request.command};
}

hart::Outcome decode(const hart::Pending& request, const hart::ReceiveBuffer& buffer,
                     Session& session) {
    const hart::ReplyScan scan = replyScan(request);
    const Operation* op = operationForTag(request.tag);
    switch (op->decoder.kind) {
        case DecoderKind::WriteAck: {
            const auto reply = hart::findReply(buffer, scan);
            hart::Outcome out;
            const hart::AckRow ack = hart::writeAck(reply, op->decoder.extraAck);
            out.finish(ack.text, ack.result);
            if (op->decoder.accepted && ack.result == hart::Result::Done) {
                op->decoder.accepted(session);
            }
            return out;
        }
        case DecoderKind::Fields:
            return decodeFields(*op->decoder.fields, hart::findReply(buffer, scan), session);
        case DecoderKind::Custom:
            return op->decoder.custom(hart::findReply(buffer, scan), session);
        case DecoderKind::None:
            break;
    }
    return {};
}

}  // namespace ops
