#include "cli/app.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/choices.h"
#include "cli/inventory.h"
#include "cli/line.h"
#include "cli/monitor.h"
#include "cli/names.h"
#include "hart/device_status.h"
#include "hart/texts.h"
#include "link/port_backend.h"
#include "ops/discovery.h"
#include "ops/operation.h"
#include "ops/trend.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif

namespace cli {
namespace {

// Control values as the command line gives them; anything not given reads as an empty box,
// no item and no check, as on a window where nothing was chosen.
class LineControls final : public ops::Controls {
  public:
    std::string text(std::string_view name) const override {
        const auto it = texts.find(name);
        return it == texts.end() ? std::string() : it->second;
    }
    int index(std::string_view name) const override {
        const auto it = indexes.find(name);
        return it == indexes.end() ? -1 : it->second;
    }
    bool checked(std::string_view name) const override {
        const auto it = checks.find(name);
        return it != checks.end() && it->second;
    }
    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, int, std::less<>> indexes;
    std::map<std::string, bool, std::less<>> checks;
};

std::string modelNames() {
    std::string out;
    for (const ops::config::Model& m : ops::config::models()) out += " " + std::string(m.name);
    return out;
}

std::string usage() {
    return "usage: hart-cli [--port NAME | --hartip HOST[:PORT]] [--address N | --scan]\n"
           "                [--secondary] [--json] [--timeout MS] [--log] OPERATION [VALUES...]\n"
           "       hart-cli [options] monitor [--interval S] [--count N] [--csv FILE|-]\n"
           "       hart-cli [options] save FILE [--model MODEL] | compare FILE [FILE2] |\n"
           "                restore FILE [--yes] [--replace] | report FILE.pdf\n"
           "       hart-cli --hosts FILE [--jobs N] [--host-timeout MS] [--timeout MS]\n"
           "                [--json | --csv] scan\n"
           "       hart-cli list | --help | --version\n"
           "Runs one operation of the HART configuration window on the instrument at the\n"
           "polling address (default 0) through the HART modem on NAME (default /dev/ttyUSB0;\n"
           "COMn is the n-th serial port; hartip://HOST[:PORT] or HOST:PORT is HART-IP, port\n"
           "5094 by default, hartip+udp://HOST[:PORT] over UDP). `hart-cli list` shows every\n"
           "operation and its values. save --model MODEL also keeps a named instrument's own\n"
           "settings; MODEL is one of" +
           modelNames() +
           ".\n"
           "scan with --hosts takes one inventory of the instruments behind the HART-IP hosts\n"
           "in FILE (one a line), N hosts at a time (default 8).\n"
           "Exit status: 0 done, 2 usage, 3 value refused (nothing sent), 4 no reply,\n"
           "5 failure response code, 6 port cannot be opened, 7 port failed, 8 unreadable reply,\n"
           "9 differences found (compare).\n";
}

std::optional<int> integer(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// HOST[:PORT] as the port name that opens HART-IP.
std::string hartIpName(const std::string& host) {
    return serial::isHartIpName(host) && host.find("://") != std::string::npos ? host
                                                                               : "hartip://" + host;
}

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

}  // namespace

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

namespace {

struct Result {
    std::string operation;
    int exit = kOk;
    std::string status;
    std::optional<int> responseCode;
    std::optional<int> deviceStatus;
    std::vector<Shown> fields;
    std::optional<std::vector<std::uint8_t>> reply;  // the console's reply bytes
    std::string message;                             // why it failed, in English
};

// The names of the reply's status bits; the first byte says whether the second is device
// status at all.
std::vector<std::string_view> statusNames(const Result& r) {
    return hart::statusNames({static_cast<std::uint8_t>(r.responseCode.value_or(0)),
                              static_cast<std::uint8_t>(*r.deviceStatus)});
}

void print(const Result& r, bool json, std::ostream& out, std::ostream& err) {
    if (json) {
        out << "{\"operation\":" << jsonString(r.operation) << ",\"exit\":" << r.exit
            << ",\"status\":" << jsonString(r.status) << ",\"response_code\":";
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
            out << f.name << ": " << f.value << (f.unit.empty() ? "" : " ") << f.unit;
            if (!f.caption.empty()) out << "  (" << f.caption << ")";
            out << "\n";
        }
        if (r.reply) out << "reply: " << withoutTrailingBlanks(hart::hexText(*r.reply)) << "\n";
        if (!r.status.empty()) out << "status: " << r.status << "\n";
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

// --- list

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

void list(std::ostream& out) {
    out << "reset-config-changed\n    reset the configuration-changed flag (command 38)\n";
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

// --- filling the controls

// The command's values into the controls, or why a value names nothing.
std::string fill(const Command& c, const std::vector<std::string>& values, LineControls& controls) {
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const Arg& a = c.args[i];
        std::string value = values[i];
        if (c.rest && i + 1 == c.args.size()) {
            for (std::size_t k = i + 1; k < values.size(); ++k) value += " " + values[k];
        }
        switch (a.kind) {
            case ArgKind::Text:
                controls.texts[std::string(a.control)] = value;
                break;
            case ArgKind::Item: {
                const auto item = findItem(a.control, value);
                if (!item)
                    return "no item \"" + value + "\" for " + std::string(a.name) +
                           "; hart-cli list shows the items";
                controls.indexes[std::string(a.control)] = *item;
                break;
            }
            case ArgKind::Date: {
                // The three date boxes; a value of another form goes to the year box whole,
                // where the window's date check refuses it.
                const auto d1 = value.find('-');
                const auto d2 = d1 == std::string::npos ? d1 : value.find('-', d1 + 1);
                if (d2 == std::string::npos) {
                    controls.texts[std::string(a.control)] = value;
                    controls.texts[std::string(a.control2)] = "";
                    controls.texts[std::string(a.control3)] = "";
                } else {
                    controls.texts[std::string(a.control)] = value.substr(0, d1);
                    controls.texts[std::string(a.control2)] = value.substr(d1 + 1, d2 - d1 - 1);
                    controls.texts[std::string(a.control3)] = value.substr(d2 + 1);
                }
                break;
            }
        }
    }
    for (const Preset& p : c.presets) controls.checks[std::string(p.control)] = p.checked;
    return {};
}

bool needsIdentity(const ops::Operation& op) {
    return op.frame == ops::FrameKind::Long;
}

// A session in which every read a row may need has been done: a refusal then comes from the
// values alone.
ops::Session primedSession() {
    ops::Session s;
    s.unit.set(s.identity, 0);
    s.tt50cTail = ops::Tt50cTail{s.identity, {}};
    for (auto& p : s.ehPrefixes) p = ops::EhPrefix{s.identity, {}};
    return s;
}

}  // namespace

Ending endingOf(const Exchange& e) {
    switch (e.end) {
        case Exchange::End::Timeout:
            return {kNoReply, "no reply"};
        case Exchange::End::PortLost:
            return {kPortFailed, "the port is gone (modem unplugged?)"};
        case Exchange::End::WriteFailed:
            return {kPortFailed, "the port refused the frame"};
        case Exchange::End::Shown:
            return {kOk, {}};
        case Exchange::End::Decoded:
            break;
    }
    // A read's decoder takes the data whatever the response code; the code still fails it,
    // and a warning is no clean success either.
    const bool failureCode = e.responseCode && *e.responseCode != 0;
    if (failureCode || e.outcome.result == hart::Result::Warning)
        return {kFailureCode, "response code " + std::to_string(e.responseCode.value_or(0))};
    if (e.outcome.result != hart::Result::Done)
        return {kUnreadable, "no readable reply to the request"};
    return {kOk, {}};
}

std::string openFailure(const std::string& port, const serial::ECommsError& e,
                        const std::string& portError) {
    if (serial::isHartIpName(port))
        return "cannot open " + port + ": " + (portError.empty() ? e.what() : portError);
    std::string message =
        "cannot open " + port + " (" + serial::commDevicePath(port) + "): " + e.what();
    if (e.osError() != 0) message += ": " + std::string(std::strerror(e.osError()));
    if (e.osError() == EACCES || e.osError() == EPERM)
        message += " (join the dialout group and log in again)";
    return message;
}

namespace {

// --- running

class Runner {
  public:
    Runner(const Options& o, Line& line, Result& result)
        : options_(o), line_(line), result_(result) {}

    // One request through the line; false when the command cannot go on.
    bool step(const ops::Request& r) {
        if (!r.refusal.empty()) {
            result_.status = r.refusal;
            result_.exit = kRefused;
            result_.message = "refused: " + r.refusal;
            return false;
        }
        const std::uint64_t errorsBefore = line_.errorCount();
        last_ = line_.exchange(r, session, std::chrono::milliseconds(options_.timeoutMs));
        // What the port says went wrong, when it said so during this request.
        const std::string why = line_.errorCount() != errorsBefore ? line_.lastError() : "";
        result_.status = last_.outcome.status;
        result_.responseCode = last_.responseCode;
        result_.deviceStatus = last_.deviceStatus;
        if (last_.end == Exchange::End::Shown) result_.reply = last_.reply;
        const Ending e = endingOf(last_);
        result_.exit = e.exit;
        result_.message = e.message;
        // A HART-IP device says why it did not pass the request on, or why the session ended.
        if (!why.empty() && e.exit == kNoReply) result_.message += " (" + why + ")";
        if (!why.empty() && e.exit == kPortFailed) result_.message = "the port is gone: " + why;
        return result_.exit == kOk;
    }

    // Poll at the address, or scan 0 to 15, until an identity is known.
    bool identify(LineControls& controls, bool scan) {
        if (!scan) return step(ops::pollChosen(controls, session));
        ops::Request r = ops::build("Button16", controls, session);
        for (;;) {
            const bool ok = step(r);
            if (ok && last_.outcome.stopScan) return true;
            if (result_.exit == kPortFailed) return false;
            ops::ScanStep next = ops::scanStep(controls, session);
            if (!next.request) {
                result_.status = next.notFound;
                result_.exit = kNoReply;
                result_.message = "no instrument at addresses 0 to 15";
                return false;
            }
            r = *next.request;
        }
    }

    const Exchange& last() const { return last_; }
    ops::Session session;

  private:
    const Options& options_;
    Line& line_;
    Result& result_;
    Exchange last_;
};

std::optional<Options> parse(int argc, char** argv, std::ostream& err) {
    Options o;
    if (const char* port = std::getenv("HART_PORT"); port && *port) o.port = port;
    bool addressGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (!o.words.empty()) {
            o.words.push_back(a);  // values may start with '-' (a negative number)
        } else if (a == "--port") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.port = *v;
        } else if (a == "--address") {
            const auto v = value();
            const auto n = v ? integer(*v) : std::nullopt;
            if (!n || *n < 0 || *n > ops::kLastPollingAddress) {
                err << "hart-cli: --address takes 0 to 15\n";
                return std::nullopt;
            }
            o.address = *n;
            addressGiven = true;
        } else if (a == "--timeout") {
            const auto v = value();
            const auto n = v ? integer(*v) : std::nullopt;
            if (!n || *n <= 0) {
                err << "hart-cli: --timeout takes milliseconds\n";
                return std::nullopt;
            }
            o.timeoutMs = *n;
        } else if (a == "--hartip") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.port = hartIpName(*v);
            if (!serial::isHartIpName(o.port)) {
                err << "hart-cli: --hartip takes HOST[:PORT]\n";
                return std::nullopt;
            }
        } else if (a == "--hosts") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.hostsFile = *v;
        } else if (a == "--jobs" || a == "--host-timeout") {
            const auto v = value();
            const auto n = v ? integer(*v) : std::nullopt;
            const int most = a == "--jobs" ? 256 : 24 * 3600 * 1000;
            if (!n || *n <= 0 || *n > most) {
                err << "hart-cli: " << a
                    << (a == "--jobs" ? " takes 1 to 256\n" : " takes milliseconds\n");
                return std::nullopt;
            }
            (a == "--jobs" ? o.jobs : o.hostTimeoutMs) = *n;
        } else if (a == "--csv") {
            o.csv = true;
        } else if (a == "--scan") {
            o.scan = true;
        } else if (a == "--secondary") {
            o.secondary = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--log") {
            o.log = true;
        } else if (a == "--") {
            continue;
        } else if (a.starts_with("-") && a.size() > 1) {
            err << "hart-cli: unknown option " << a << "\n";
            return std::nullopt;
        } else {
            o.words.push_back(a);
        }
    }
    if (addressGiven && o.scan) {
        err << "hart-cli: --address and --scan exclude each other\n";
        return std::nullopt;
    }
    const bool inventory = !o.words.empty() && o.words[0] == "scan" && !o.hostsFile.empty();
    if (!o.hostsFile.empty() && !inventory) {
        err << "hart-cli: --hosts goes with scan\n";
        return std::nullopt;
    }
    if (o.csv && !inventory) {
        err << "hart-cli: --csv goes with scan --hosts (monitor takes its own --csv FILE)\n";
        return std::nullopt;
    }
    if (o.csv && o.json) {
        err << "hart-cli: --json and --csv exclude each other\n";
        return std::nullopt;
    }
    return o;
}

// The command the words name (two-word names first: "burst on") and its values, or why not.
struct Named {
    const Command* command = nullptr;
    std::vector<std::string> values;
};

std::optional<Named> lookUp(const std::vector<std::string>& words, std::ostream& err) {
    Named n;
    std::size_t used = 2;
    if (words.size() >= 2) n.command = findCommand(words[0] + " " + words[1]);
    if (n.command == nullptr) {
        n.command = findCommand(words[0]);
        used = 1;
    }
    if (n.command == nullptr) {
        err << "hart-cli: no operation " << words[0] << "; hart-cli list shows them\n";
        return std::nullopt;
    }
    const Command& c = *n.command;
    n.values.assign(words.begin() + static_cast<long>(used), words.end());
    if (n.values.size() < c.args.size() || (!c.rest && n.values.size() > c.args.size())) {
        err << "hart-cli: " << c.name << " takes " << c.args.size() << " value"
            << (c.args.size() == 1 ? "" : "s") << ":";
        for (const Arg& a : c.args) err << " " << a.name;
        err << "\n";
        return std::nullopt;
    }
    return n;
}

// Values are judged before the port opens, as the window would judge them with every read
// done: a refused one sends nothing. False with the result filled in when refused.
bool preCheck(const Named& n, const Options& o, LineControls& controls, Result& result) {
    controls.indexes["ComboBox8"] = o.secondary ? 1 : 0;
    controls.indexes["ComboBox9"] = o.address;
    if (const std::string why = fill(*n.command, n.values, controls); !why.empty()) {
        result.exit = kRefused;
        result.message = why;
        return false;
    }
    ops::Session s = primedSession();
    const ops::Request r = ops::build(*ops::operationFor(n.command->control), controls, s);
    if (r.refusal.empty()) return true;
    result.exit = kRefused;
    result.status = r.refusal;
    result.message = "refused: " + r.refusal;
    return false;
}

// Opens the port; false with the reason in the result.
bool openPort(Line& line, const std::string& port, Result& result) {
    try {
        line.open(port);
        return true;
    } catch (const serial::ECommsError& e) {
        result.exit = kPortOpen;
        result.message = openFailure(port, e, line.lastError());
        return false;
    }
}

// The command's requests: the identity first where its frame needs one, then the reads it
// depends on, then its own.
void runSteps(const Command& c, const Options& o, LineControls& controls, Runner& runner) {
    if (c.control == "Button16") {
        runner.identify(controls, true);
        return;
    }
    if (c.control == "Button3") {
        runner.identify(controls, o.scan);
        return;
    }
    const ops::Operation& op = *ops::operationFor(c.control);
    bool ok = !(needsIdentity(op) || o.scan) || runner.identify(controls, o.scan);
    for (const std::string_view first : c.first) {
        if (!ok) return;
        ok = runner.step(ops::build(first, controls, runner.session));
    }
    if (ok) runner.step(ops::build(op, controls, runner.session));
}

// Log lines to standard error when asked for.
std::function<void(const std::string&)> logTo(const Options& o, std::ostream& err) {
    if (!o.log) return nullptr;
    return [&err](const std::string& l) { err << l << "\n" << std::flush; };
}

// The live values at an interval: the identity first where the reads need one.
int runMonitor(const Options& o, std::ostream& out, std::ostream& err) {
    std::string why;
    const auto options = parseMonitor(std::span(o.words).subspan(1), why);
    if (!options) {
        err << "hart-cli: " << why << "\n";
        return kUsage;
    }
    Result result;
    result.operation = "monitor";
    LineControls controls;
    controls.indexes["ComboBox8"] = o.secondary ? 1 : 0;
    controls.indexes["ComboBox9"] = o.address;
    Line line(logTo(o, err));
    bool ok = openPort(line, o.port, result);
    Runner runner(o, line, result);
    if (ok && (o.scan || needsIdentity(*ops::operationFor("Button4"))))
        ok = runner.identify(controls, o.scan);
    if (!ok) {
        print(result, o.json, out, err);
        return result.exit;
    }
    return monitor(
        *options, o.json,
        [&](std::string_view control) {
            runner.step(ops::build(control, controls, runner.session));
            return Read{runner.last().outcome, result.exit == kPortFailed};
        },
        [&](std::chrono::steady_clock::time_point until) {
            const auto w = line.listen(
                until, [](auto bytes) { return ops::trend::burstSample(bytes, {}).has_value(); });
            return Heard{w.bytes, w.hungUp};
        },
        out, err);
}

// Command 38, which the window has no control for: sent as the console sends a typed frame,
// to the long address the poll found. A HART 7 device is given the configuration change
// counter the poll read, and refuses the reset if the configuration changed since.
int runResetConfigChanged(const Options& o, std::ostream& out, std::ostream& err) {
    constexpr std::uint8_t kCommand = 38;
    Result result;
    result.operation = "reset-config-changed";
    LineControls controls;
    controls.indexes["ComboBox8"] = o.secondary ? 1 : 0;
    controls.indexes["ComboBox9"] = o.address;
    Line line(logTo(o, err));
    if (openPort(line, o.port, result)) {
        Runner runner(o, line, result);
        if (runner.identify(controls, o.scan)) {
            std::string counter;
            for (const hart::Outcome::Fact& f : runner.last().outcome.facts)
                if (f.key == "ConfigChangeCounter") counter = f.text;
            const auto address = runner.session.identity.longAddress(ops::masterBit(o.secondary));
            std::string typed = hart::hexText(std::span(&hart::kLongDelimiter, 1));
            typed += hart::hexText(address) + hart::hexText(std::span(&kCommand, 1));
            const int count = counter.empty() ? 0 : std::stoi(counter);
            const std::uint8_t data[] = {2, static_cast<std::uint8_t>(count >> 8),
                                         static_cast<std::uint8_t>(count)};
            typed += counter.empty() ? "00" : hart::hexText(data);
            controls.texts["Edit8"] = typed;
            if (runner.step(ops::build("Button17", controls, runner.session))) {
                result.reply.reset();
                if (result.responseCode.value_or(0) != 0) {
                    result.exit = kFailureCode;
                    result.message = "response code " + std::to_string(*result.responseCode);
                } else {
                    result.status = "configuration-changed flag reset";
                }
            }
        }
    }
    print(result, o.json, out, err);
    return result.exit;
}

// The instruments behind one HART-IP host: a poll at each address, and the tag of each found,
// all within the host's time.
HostScan scanHost(const std::string& host, const Options& o,
                  const std::function<void(const std::string&)>& log) {
    using std::chrono::milliseconds;
    HostScan h;
    h.host = host;
    Options per = o;
    per.port = hartIpName(host);
    Result result;
    Line line(log ? [&log, &host](const std::string& l) { log(host + " " + l); }
                  : std::function<void(const std::string&)>());
    if (!openPort(line, per.port, result)) {
        h.exit = result.exit;
        h.error = result.message;
        return h;
    }
    const auto deadline = Clock::now() + milliseconds(o.hostTimeoutMs);
    // The request's response time, cut to what is left of the host's; false when none is.
    const auto timeLeft = [&] {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        per.timeoutMs = static_cast<int>(std::min<long long>(o.timeoutMs, left.count()));
        if (per.timeoutMs > 0) return true;
        h.exit = kNoReply;
        h.error = "the host timeout of " + std::to_string(o.hostTimeoutMs) + " ms ran out";
        return false;
    };
    Runner runner(per, line, result);
    const auto field = [&](std::string_view name) {
        for (const Shown& s : shownFields(runner.last().outcome))
            if (s.name == name) return s.value;
        return std::string();
    };
    for (int address = 0; address <= ops::kLastPollingAddress && timeLeft(); ++address) {
        LineControls controls;
        controls.indexes["ComboBox8"] = o.secondary ? 1 : 0;
        controls.indexes["ComboBox9"] = address;
        runner.session = ops::Session{};
        if (runner.step(ops::build("Button3", controls, runner.session))) {
            Instrument i{address,
                         field("manufacturer-code"),
                         field("expanded-device-type"),
                         field("device-id"),
                         {},
                         field("hart-revision")};
            if (i.manufacturer.empty()) i.manufacturer = field("manufacturer-id");
            if (i.deviceType.empty()) i.deviceType = field("device-type");
            if (timeLeft() && runner.step(ops::build("Button32", controls, runner.session)))
                i.tag = field("tag");
            h.instruments.push_back(std::move(i));
        }
        if (result.exit == kPortFailed) {
            h.exit = kPortFailed;
            h.error = result.message;
            break;
        }
    }
    if (h.instruments.empty() && h.error.empty()) {
        h.exit = kNoReply;
        h.error = "no instrument at addresses 0 to 15";
    }
    return h;
}

// scan --hosts: every host's instruments in one inventory; a host that fails is reported on
// standard error and the others go on.
int runInventory(const Options& o, std::ostream& out, std::ostream& err) {
    std::ifstream in(o.hostsFile);
    if (!in) {
        err << "hart-cli: cannot read " << o.hostsFile << "\n";
        return kUsage;
    }
    const std::vector<std::string> hosts = readHosts(in);
    if (hosts.empty()) {
        err << "hart-cli: no hosts in " << o.hostsFile << "\n";
        return kUsage;
    }
    std::mutex logMutex;
    const auto log = logTo(o, err);
    const std::function<void(const std::string&)> shared =
        log ? [&](const std::string& l) {
            std::lock_guard lock(logMutex);
            log(l);
        }
            : std::function<void(const std::string&)>();
    const auto results = scanAll(hosts.size(), o.jobs, [&](std::size_t i) {
        try {
            return scanHost(hosts[i], o, shared);
        } catch (const std::exception& e) {
            return HostScan{hosts[i], {}, e.what(), kInternal};
        }
    });
    printInventory(results,
                   o.json  ? InventoryFormat::Json
                   : o.csv ? InventoryFormat::Csv
                           : InventoryFormat::Text,
                   out);
    int exit = kOk;
    for (const HostScan& h : results) {
        if (h.error.empty()) continue;
        err << "hart-cli: " << h.host << ": " << h.error << "\n";
        if (exit == kOk) exit = h.exit;
    }
    return exit;
}

int runCommand(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.words[0] == "monitor") return runMonitor(o, out, err);
    if (o.words[0] == "scan" && !o.hostsFile.empty()) return runInventory(o, out, err);
    if (o.words.size() == 1 && o.words[0] == "reset-config-changed")
        return runResetConfigChanged(o, out, err);
    const auto named = lookUp(o.words, err);
    if (!named) return kUsage;
    Result result;
    result.operation = std::string(named->command->name);
    LineControls controls;
    Line line(logTo(o, err));
    if (preCheck(*named, o, controls, result) && openPort(line, o.port, result)) {
        Runner runner(o, line, result);
        runSteps(*named->command, o, controls, runner);
        result.fields = shownFields(runner.last().outcome);
    }
    print(result, o.json, out, err);
    return result.exit;
}

}  // namespace

int run(int argc, char** argv, std::ostream& out, std::ostream& err) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (!a.starts_with("-")) break;  // the command's values are no options
        if (a == "--help" || a == "-h") {
            out << usage();
            return kOk;
        }
        if (a == "--version") {
            out << "hart-cli " HART_VERSION "\n";
            return kOk;
        }
    }
    const auto options = parse(argc, argv, err);
    if (!options) {
        err << usage();
        return kUsage;
    }
    if (options->words.empty()) {
        err << usage();
        return kUsage;
    }
    if (options->words[0] == "list") {
        list(out);
        return kOk;
    }
    try {
        if (isConfigCommand(options->words[0])) return runConfigCommand(*options, out, err);
        return runCommand(*options, out, err);
    } catch (const std::exception& e) {
        err << "hart-cli: " << e.what() << "\n";
        return kInternal;
    }
}

}  // namespace cli
