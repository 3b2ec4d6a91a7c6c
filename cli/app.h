// The hart-cli program: options, the steps of a command, and its output.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "hart/outcome.h"
#include "hart/tr.h"
#include "ops/config_file.h"

namespace serial {
class ECommsError;
}

namespace cli {

struct Exchange;

// The modem's port when none is named: the first USB serial adapter on Linux; on Windows,
// where adapters get whatever number is free, the window's own first choice.
#ifdef _WIN32
inline constexpr const char* kDefaultPort = "COM3";
#else
inline constexpr const char* kDefaultPort = "/dev/ttyUSB0";
#endif

struct Options {
    std::string port = kDefaultPort;
    int address = 0;
    bool scan = false;
    bool secondary = false;
    bool json = false;
    bool log = false;
    int timeoutMs = 3000;
    std::string hostsFile;  // scan: the HART-IP hosts to take inventory of
    int jobs = 8;           // hosts scanned at a time
    int hostTimeoutMs = 30000;
    bool csv = false;
    // Status texts and captions: the locale's language unless --lang says.
    hart::Language language = hart::Language::Chinese;
    std::vector<std::string> words;  // the command and its values
};

// Exit statuses, documented in the manual page.
enum Exit : int {
    kOk = 0,
    kInternal = 1,     // a fault of the program itself
    kUsage = 2,        // unknown option or command, wrong number of values
    kRefused = 3,      // a value the window would refuse too; nothing was sent
    kNoReply = 4,      // no reply within the response time (or no instrument found by a scan)
    kFailureCode = 5,  // a reply with a non-zero response code
    kPortOpen = 6,     // the port could not be opened
    kPortFailed = 7,   // the port failed while in use (modem gone, write refused)
    kUnreadable = 8,   // bytes came, but no readable reply to the request among them
    kDifferent = 9,    // compare: the instrument or the second file differs from the file
};

// How one exchange ends a command: its exit status and, when not done, why in English.
struct Ending {
    int exit = kOk;
    std::string message;
};
Ending endingOf(const Exchange& exchange);

// Why the port could not be opened, in English; portError is the port's own account
// (TComm::lastError), which says it for HART-IP.
std::string openFailure(const std::string& port, const serial::ECommsError& e,
                        const std::string& portError = {});

// The configuration-file commands (save, compare, restore, report), in config_cmd.cpp.
bool isConfigCommand(std::string_view word);
int runConfigCommand(const Options& options, std::ostream& out, std::ostream& err);

// loop-check, in loop_check_cmd.cpp.
int runLoopCheck(const Options& options, std::ostream& out, std::ostream& err);

// A field as printed: English name, the window's text, its unit and the window's caption.
struct Shown {
    std::string name;
    std::string value;
    std::string unit;
    std::string caption;
};

// The fields an outcome shows, in the order the decoder set them; a unit box goes with its
// value, the window's button states are left out.
std::vector<Shown> shownFields(const hart::Outcome& outcome);

using ops::config::jsonString;

int run(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace cli
