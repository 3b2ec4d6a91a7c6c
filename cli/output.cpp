// What a hart-cli command prints: the fields its reply shows, as text or JSON, and the list
// of commands.
#include <algorithm>
#include <set>

#include "cli/choices.h"
#include "cli/run.h"
#include "hart/device_status.h"

namespace cli {
namespace {

std::string withoutTrailingBlanks(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Packed texts come padded with blanks, which the window's boxes do not show either.
std::string valueOf(const hart::Update& u) {
    switch (u.kind) {
        case hart::Update::Kind::Text:
            return withoutTrailingBlanks(u.text);
        case hart::Update::Kind::Select:
            return itemText(u.control, u.value);
        case hart::Update::Kind::Check:
            return u.value ? "on" : "off";
        case hart::Update::Kind::Enable:
            break;
    }
    return {};
}

// The names of the reply's status bits; the first byte says whether the second is device
// status at all.
std::vector<std::string_view> statusNames(const Result& r) {
    return hart::statusNames({static_cast<std::uint8_t>(r.responseCode.value_or(0)),
                              static_cast<std::uint8_t>(*r.deviceStatus)});
}

}  // namespace

void print(const Result& r, bool json, std::ostream& out, std::ostream& err,
           hart::Language language) {
    auto shown = [&](std::string_view text) { return hart::translate(text, language); };
    if (json) {
        out << "{\"operation\":" << jsonString(r.operation) << ",\"exit\":" << r.exit
            << ",\"status\":" << jsonString(r.status)
            << ",\"status_en\":" << jsonString(hart::translate(r.status, hart::Language::English))
            << ",\"response_code\":";
        r.responseCode ? out << *r.responseCode : out << "null";
        out << ",\"device_status\":";
        if (r.deviceStatus) {
            out << "{\"value\":" << *r.deviceStatus << ",\"bits\":[";
            const auto names = statusNames(r);
            for (std::size_t i = 0; i < names.size(); ++i)
                out << (i ? "," : "") << jsonString(std::string(names[i]));
            out << "]}";
        } else {
            out << "null";
        }
        if (r.reply)
            out << ",\"reply\":" << jsonString(withoutTrailingBlanks(hart::hexText(*r.reply)));
        if (!r.message.empty()) out << ",\"message\":" << jsonString(r.message);
        out << ",\"fields\":{";
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            const Shown& f = r.fields[i];
            out << (i ? "," : "") << jsonString(f.name) << ":{\"value\":" << jsonString(f.value)
                << ",\"unit\":" << jsonString(f.unit) << ",\"caption\":" << jsonString(f.caption)
                << "}";
        }
        out << "}}\n";
    } else {
        for (const Shown& f : r.fields) {
            out << f.name << ": " << shown(f.value) << (f.unit.empty() ? "" : " ") << shown(f.unit);
            if (!f.caption.empty()) out << "  (" << shown(f.caption) << ")";
            out << "\n";
        }
        if (r.reply) out << "reply: " << withoutTrailingBlanks(hart::hexText(*r.reply)) << "\n";
        if (!r.status.empty()) out << "status: " << shown(r.status) << "\n";
        if (r.responseCode) out << "response-code: " << *r.responseCode << "\n";
        if (r.deviceStatus) {
            out << "device-status: " << *r.deviceStatus << "\n"
                << "device-status-bits:";
            const auto names = statusNames(r);
            for (std::size_t i = 0; i < names.size(); ++i) out << (i ? ", " : " ") << names[i];
            out << (names.empty() ? " none\n" : "\n");
        }
    }
    if (!r.message.empty()) err << "hart-cli: " << r.message << "\n";
}

namespace {

std::string argText(const Arg& a) {
    std::string s(a.name);
    if (a.kind == ArgKind::Item) {
        s += " (one of:";
        for (const std::string_view item : itemsOf(a.control)) {
            std::string_view t = item;
            while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
            if (!t.empty()) s += " \"" + std::string(t) + "\"";
        }
        s += ")";
    }
    return s;
}

// What a row's reply shows: a made-up reply that holds every field, through its decoder.
std::vector<std::string> shownBy(const ops::Operation& op) {
    std::vector<std::string> names;
    if (op.decoder.kind == ops::DecoderKind::None) return {"reply"};
    if (op.decoder.kind == ops::DecoderKind::WriteAck) return {};
    const bool isLong = op.delimiter == hart::kLongReplyDelimiter;
    std::size_t data = 40;
    std::uint8_t command = static_cast<std::uint8_t>(op.command);
    if (op.replyWindow == hart::ScanWindow::FirstElevenCount14) data = 12;
    if (op.replyWindow == hart::ScanWindow::FirstElevenCount6) data = 4;
    if (op.replyWindow == hart::ScanWindow::Command31Count13) data = 11;
    for (const std::uint8_t fill : {0x00, 0x01, 0x02}) {
        std::vector<std::uint8_t> body = {op.delimiter, 0xA6, 0x06, 0x00, 0x12, 0x34};
        if (!isLong) body = {op.delimiter, 0x80};
        body.push_back(command);
        body.push_back(static_cast<std::uint8_t>(data + 2));
        body.insert(body.end(), {0x00, 0x00});
        body.insert(body.end(), data, fill);
        std::vector<std::uint8_t> frame(5, 0xFF);
        for (const std::uint8_t b : body) frame.push_back(b);
        frame.push_back(hart::checkByte(body));
        hart::ReceiveBuffer buffer;
        buffer.store(frame);
        ops::Session session;
        const hart::Pending pending = op.pending();
        for (const Shown& s : shownFields(ops::decode(pending, buffer, session))) {
            if (std::find(names.begin(), names.end(), s.name) == names.end())
                names.push_back(s.name);
        }
    }
    return names;
}

}  // namespace

void list(std::ostream& out) {
    for (const Command& c : commands()) {
        out << c.name;
        for (const Arg& a : c.args) out << " " << a.name << (c.rest ? "..." : "");
        out << "\n    " << c.summary << "\n";
        for (const Arg& a : c.args) {
            if (a.kind == ArgKind::Item) out << "    " << argText(a) << "\n";
        }
        const ops::Operation* op = ops::operationFor(c.control);
        if (op == nullptr) continue;
        const auto shown = shownBy(*op);
        if (!shown.empty()) {
            out << "    reads:";
            for (const std::string& s : shown) out << " " << s;
            out << "\n";
        } else if (!c.args.empty()) {
            out << "    writes:";
            for (const Arg& a : c.args) out << " " << a.name;
            out << "\n";
        }
    }
}

std::vector<Shown> shownFields(const hart::Outcome& outcome) {
    std::vector<Shown> shown;
    std::set<std::string> names;
    auto unitOf = [&](std::string_view box) -> std::string {
        for (const hart::Update& u : outcome.updates) {
            if (u.control == box && u.kind == hart::Update::Kind::Select)
                return itemText(box, u.value);
        }
        return {};
    };
    for (const hart::Update& u : outcome.updates) {
        if (u.kind == hart::Update::Kind::Enable) continue;  // the window's buttons
        if (isUnitOfAnotherField(u.control)) continue;
        const FieldName* f = fieldName(u.control);
        Shown s{f ? std::string(f->name) : u.control,
                valueOf(u),
                {},
                f ? std::string(f->caption) : std::string()};
        if (f) s.unit = !f->unit.empty() ? std::string(f->unit) : unitOf(f->unitBox);
        if (!names.insert(s.name).second) continue;
        shown.push_back(std::move(s));
    }
    for (const hart::Outcome::Fact& fact : outcome.facts) {
        const FieldName* f = fieldName(fact.key);
        Shown s{f ? std::string(f->name) : fact.key,
                fact.text,
                {},
                f ? std::string(f->caption) : std::string()};
        if (names.insert(s.name).second) shown.push_back(std::move(s));
    }
    return shown;
}

}  // namespace cli
