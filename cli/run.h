// The parts one hart-cli command is run with: the controls its values fill, its result, the
// runner that sends its requests; read from the arguments (arguments.cpp), sent through the
// line (session.cpp) and printed (output.cpp).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "cli/line.h"
#include "cli/names.h"
#include "ops/operation.h"
#include "ops/session.h"

namespace cli {

// Control values as the command line gives them; anything not given reads as an empty box,
// no item and no check, as on a window where nothing was chosen.
class LineControls final : public ops::Controls {
  public:
    // The master and the polling address the options name.
    LineControls(const Options& o, int address)
        : indexes{{"ComboBox8", o.secondary ? 1 : 0}, {"ComboBox9", address}} {}
    explicit LineControls(const Options& o) : LineControls(o, o.address) {}
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

// --- arguments.cpp

std::string usage();
// HOST[:PORT] as the port name that opens HART-IP.
std::string hartIpName(const std::string& host);
std::optional<Options> parse(int argc, char** argv, std::ostream& err);

// The command the words name (two-word names first: "burst on") and its values, or why not.
struct Named {
    const Command* command = nullptr;
    std::vector<std::string> values;
};

std::optional<Named> lookUp(const std::vector<std::string>& words, std::ostream& err);

// Values are judged before the port opens, as the window would judge them with every read
// done: a refused one sends nothing. False with the result filled in when refused.
bool preCheck(const Named& n, LineControls& controls, Result& result);

// --- session.cpp

// Sends a command's requests one by one through the line and keeps the result up to date.
class Runner {
  public:
    Runner(const Options& o, Line& line, Result& result)
        : options_(o), line_(line), result_(result) {}

    // One request through the line; false when the command cannot go on.
    bool step(const ops::Request& r);
    // Poll at the address, or scan 0 to 15, until an identity is known.
    bool identify(LineControls& controls, bool scan);

    const Exchange& last() const { return last_; }
    Result& result() { return result_; }
    ops::Session session;

  private:
    const Options& options_;
    Line& line_;
    Result& result_;
    Exchange last_;
};

// Opens the port; false with the reason in the result.
bool openPort(Line& line, const std::string& port, Result& result);
// Log lines to standard error when asked for.
std::function<void(const std::string&)> logTo(const Options& o, std::ostream& err);

// --- output.cpp

// Text in `language`; JSON has the status in both.
void print(const Result& r, bool json, std::ostream& out, std::ostream& err,
           hart::Language language = hart::Language::Chinese);
// Every command, its values and what it reads or writes.
void list(std::ostream& out);

// scan --hosts, in inventory.cpp.
int runInventory(const Options& o, std::ostream& out, std::ostream& err);

}  // namespace cli
