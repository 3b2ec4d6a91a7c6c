// hart-cli's arguments: the options, the command they name and its values, judged before
// anything is sent.
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/choices.h"
#include "cli/run.h"
#include "link/port_backend.h"
#include "ops/config.h"
#include "ops/discovery.h"

namespace cli {
namespace {

std::string modelNames() {
    std::string out;
    for (const ops::config::Model& m : ops::config::models()) out += " " + std::string(m.name);
    return out;
}

std::optional<int> integer(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// --- filling the controls

// The command's values into the controls, or why a value names nothing.
std::string fill(const Command& c, const std::vector<std::string>& values, LineControls& controls) {
    for (std::size_t i = 0; i < c.args.size() && i < values.size(); ++i) {
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

std::string usage() {
    return "usage: hart-cli [--port NAME | --hartip HOST[:PORT]] [--address N | --scan]\n"
           "                [--secondary] [--json] [--timeout MS] [--log] [--lang zh|en]\n"
           "                OPERATION [VALUES...]\n"
           "       hart-cli [options] monitor [--interval S] [--count N] [--csv FILE|-]\n"
           "       hart-cli [options] save FILE [--model MODEL] | compare FILE [FILE2] |\n"
           "                restore FILE [--yes] [--replace] |\n"
           "                report FILE.pdf [--loop-check FILE.json]\n"
           "       hart-cli [options] loop-check [--points 4,8,12,16,20] [--tolerance PCT]\n"
           "                [--sensor 0,50,100] [--readings FILE|-] [--yes] [--save FILE.json]\n"
           "       hart-cli --hosts FILE [--jobs N] [--host-timeout MS] [--timeout MS]\n"
           "                [--json | --csv] scan\n"
           "       hart-cli list | ports | --help | --version\n"
           "Runs one operation of the HART configuration window on the instrument at the\n"
           "polling address (default 0) through the HART modem on NAME (default " +
           std::string(kDefaultPort) +
           ";\nCOMn is the n-th serial port; hartip://HOST[:PORT] or HOST:PORT is HART-IP, port\n"
           "5094 by default, hartip+udp://HOST[:PORT] over UDP). `hart-cli ports` lists the\n"
           "serial ports present. `hart-cli list` shows every operation and its values.\n"
           "save --model MODEL also keeps a named instrument's own settings; MODEL is one of" +
           modelNames() +
           ".\n"
           "scan with --hosts takes one inventory of the instruments behind the HART-IP hosts\n"
           "in FILE (one a line), N hosts at a time (default 8).\n"
           "Exit status: 0 done, 2 usage, 3 value refused (nothing sent), 4 no reply,\n"
           "5 failure response code, 6 port cannot be opened, 7 port failed, 8 unreadable reply,\n"
           "9 differences found (compare).\n"
           "--lang en prints status texts and captions in English, --lang zh in Chinese\n"
           "(default: the locale's language); JSON has both.\n";
}

std::string hartIpName(const std::string& host) {
    return serial::isHartIpName(host) && host.find("://") != std::string::npos ? host
                                                                               : "hartip://" + host;
}

namespace {

// The options that take a number: where it goes, the least and greatest, and what to say.
struct NumberOption {
    std::string_view name;
    int Options::*field;
    int least;
    int most;
    const char* takes;
};
constexpr NumberOption kNumberOptions[] = {
    {"--address", &Options::address, 0, ops::kLastPollingAddress, "takes 0 to 15"},
    {"--timeout", &Options::timeoutMs, 1, std::numeric_limits<int>::max(), "takes milliseconds"},
    {"--jobs", &Options::jobs, 1, 256, "takes 1 to 256"},
    {"--host-timeout", &Options::hostTimeoutMs, 1, 24 * 3600 * 1000, "takes milliseconds"},
};
constexpr std::pair<std::string_view, bool Options::*> kFlags[] = {
    {"--csv", &Options::csv},   {"--scan", &Options::scan}, {"--secondary", &Options::secondary},
    {"--json", &Options::json}, {"--log", &Options::log},
};

// Why the options do not go together, or nullptr when they do.
const char* conflict(const Options& o, bool addressGiven) {
    const bool inventory = !o.words.empty() && o.words[0] == "scan" && !o.hostsFile.empty();
    if (addressGiven && o.scan) return "--address and --scan exclude each other";
    if (!o.hostsFile.empty() && !inventory) return "--hosts goes with scan";
    if (o.csv && !inventory)
        return "--csv goes with scan --hosts (monitor takes its own --csv FILE)";
    if (o.csv && o.json) return "--json and --csv exclude each other";
    return nullptr;
}

}  // namespace

namespace {

// The language of the locale: POSIX names it in the environment (which a Windows user may
// set too); Windows otherwise in the user's settings.
hart::Language localeLanguage() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v != nullptr && *v != '\0') return hart::languageOfLocale(v);
    }
#ifdef _WIN32
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    if (::GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) > 0)
        return locale[0] == L'z' && locale[1] == L'h' ? hart::Language::Chinese
                                                      : hart::Language::English;
#endif
    return hart::Language::English;
}

}  // namespace

std::optional<Options> parse(int argc, char** argv, std::ostream& err) {
    Options o;
    o.language = localeLanguage();
    if (const char* port = std::getenv("HART_PORT"); port && *port) o.port = port;
    bool addressGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        const auto number = std::find_if(std::begin(kNumberOptions), std::end(kNumberOptions),
                                         [&](const NumberOption& n) { return n.name == a; });
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags),
                                       [&](auto f) { return f.first == a; });
        if (!o.words.empty()) {
            o.words.push_back(a);  // values may start with '-' (a negative number)
        } else if (number != std::end(kNumberOptions)) {
            const auto v = value();
            const auto n = v ? integer(*v) : std::nullopt;
            if (!n || *n < number->least || *n > number->most) {
                err << "hart-cli: " << a << " " << number->takes << "\n";
                return std::nullopt;
            }
            o.*number->field = *n;
            addressGiven = addressGiven || a == "--address";
        } else if (flag != std::end(kFlags)) {
            o.*flag->second = true;
        } else if (a == "--port" || a == "--hosts") {
            const auto v = value();
            if (!v) return std::nullopt;
            (a == "--port" ? o.port : o.hostsFile) = *v;
        } else if (a == "--hartip") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.port = hartIpName(*v);
            if (!serial::isHartIpName(o.port)) {
                err << "hart-cli: --hartip takes HOST[:PORT]\n";
                return std::nullopt;
            }
        } else if (a == "--lang") {
            const auto v = value();
            const auto l = v ? hart::parseLanguage(*v) : std::nullopt;
            if (!l) {
                err << "hart-cli: --lang takes zh or en\n";
                return std::nullopt;
            }
            o.language = *l;
        } else if (a == "--") {
            continue;
        } else if (a.starts_with("-") && a.size() > 1) {
            err << "hart-cli: unknown option " << a << "\n";
            return std::nullopt;
        } else {
            o.words.push_back(a);
        }
    }
    if (const char* why = conflict(o, addressGiven)) {
        err << "hart-cli: " << why << "\n";
        return std::nullopt;
    }
    return o;
}

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
    const std::size_t least = c.args.size() - (c.lastOptional ? 1 : 0);
    if (n.values.size() < least || (!c.rest && n.values.size() > c.args.size())) {
        err << "hart-cli: " << c.name << " takes " << c.args.size() << " value"
            << (c.args.size() == 1 ? "" : "s") << ":";
        for (const Arg& a : c.args) err << " " << a.name;
        err << "\n";
        return std::nullopt;
    }
    return n;
}

bool preCheck(const Named& n, LineControls& controls, Result& result) {
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

}  // namespace cli
