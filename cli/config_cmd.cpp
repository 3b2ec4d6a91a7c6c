// hart-cli's configuration-file commands: save, compare, restore and report. Each reads the
// instrument through the same driver the window runs, one exchange at a time on the line.
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>

#include "cli/app.h"
#include "cli/line.h"
#include "cli/names.h"
#include "hart/device_status.h"
#include "hart/utf8_path.h"
#include "link/tcomm.h"
#include "ops/config_file.h"
#include "ops/loop_check.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif
#ifndef HART_REPORT_INSTALLED
#define HART_REPORT_INSTALLED "hart-report"
#endif

extern char** environ;

namespace cli {
namespace {

namespace cfg = ops::config;

struct ConfigCommand {
    std::string_view name;
    std::size_t minFiles;
    std::size_t maxFiles;
    std::string_view usage;
};

constexpr ConfigCommand kConfigCommands[] = {
    {"save", 1, 1, "save FILE [--model MODEL]"},
    {"compare", 1, 2, "compare FILE [FILE2]"},
    {"restore", 1, 1, "restore FILE [--yes] [--replace]"},
    {"report", 1, 1, "report FILE.pdf [--loop-check FILE.json]"},
};

const ConfigCommand* findConfigCommand(std::string_view name) {
    for (const ConfigCommand& c : kConfigCommands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

// What a command did, printed as text or JSON.
struct Outcome {
    std::string operation;
    int exit = kOk;
    std::string message;  // why it failed, in English
    std::vector<cfg::Difference> differences;
    std::string leftName = "file";
    std::string rightName = "instrument";
    std::vector<std::string> written;
    std::vector<std::string> notTaken;
    std::vector<std::string> notes;  // plain lines of the text form
};

std::string jsonList(const std::vector<std::string>& names) {
    std::string s = "[";
    for (std::size_t i = 0; i < names.size(); ++i) s += (i ? "," : "") + cfg::jsonString(names[i]);
    return s + "]";
}

std::string joined(const std::vector<std::string>& names) {
    std::string s;
    for (const std::string& n : names) s += (s.empty() ? "" : ", ") + n;
    return s.empty() ? "none" : s;
}

void print(const Outcome& r, bool json, std::ostream& out, std::ostream& err) {
    if (json) {
        out << "{\"operation\":" << cfg::jsonString(r.operation) << ",\"exit\":" << r.exit
            << ",\"differences\":[";
        for (std::size_t i = 0; i < r.differences.size(); ++i) {
            const cfg::Difference& d = r.differences[i];
            out << (i ? "," : "") << "{\"field\":" << cfg::jsonString(d.field) << ",\""
                << r.leftName << "\":" << cfg::jsonString(d.left) << ",\"" << r.rightName
                << "\":" << cfg::jsonString(d.right) << "}";
        }
        out << "],\"written\":" << jsonList(r.written) << ",\"not_taken\":" << jsonList(r.notTaken);
        if (!r.message.empty()) out << ",\"message\":" << cfg::jsonString(r.message);
        out << "}\n";
    } else {
        for (const cfg::Difference& d : r.differences) {
            out << d.field << ": " << r.leftName << " \"" << d.left << "\", " << r.rightName
                << " \"" << d.right << "\"\n";
        }
        for (const std::string& n : r.notes) out << n << "\n";
    }
    if (!r.message.empty()) err << "hart-cli: " << r.message << "\n";
}

// The hart-cli command that runs a button, for the account of a restore.
std::string commandOf(std::string_view control) {
    for (const Command& c : commands()) {
        if (c.control == control) return std::string(c.name);
    }
    return std::string(control);
}

class Session {
  public:
    explicit Session(const Options& o)
        : options_(o),
          line_(o.log ? std::function<void(const std::string&)>(
                            [](const std::string& l) { std::cerr << l << "\n"; })
                      : nullptr) {
        controls_.setIndex("ComboBox8", o.secondary ? 1 : 0);
        controls_.setIndex("ComboBox9", o.address);
    }

    // Empty when open, else why not.
    std::string open() {
        try {
            line_.open(options_.port);
        } catch (const serial::ECommsError& e) {
            return openFailure(options_.port, e, line_.lastError());
        }
        return {};
    }

    // Runs the drive to its end or its first failed step.
    Ending drive(cfg::Driver& d) {
        while (auto step = d.next(session_)) {
            if (!step->request.refusal.empty()) {
                const Ending e{kRefused, "refused: " + step->request.refusal};
                d.take({}, false, e.message);
                return e;
            }
            const Exchange x = line_.exchange(step->request, session_,
                                              std::chrono::milliseconds(options_.timeoutMs));
            const Ending e = endingOf(x);
            // A communication error report carries no device status.
            const bool commError = x.responseCode && (*x.responseCode & hart::kCommErrorReport);
            d.take(x.outcome, e.exit == kOk, e.message, x.responseCode.value_or(0),
                   commError ? std::nullopt : x.deviceStatus);
            // A field the instrument does not hold leaves the drive going.
            if (d.account().stopped) return e;
        }
        return {};
    }

    // The instrument's configuration, or the ending that stopped the read: as the file's
    // model when there is a file, for its own settings too.
    std::optional<cfg::Account> read(Outcome& r, bool live, std::string_view model,
                                     const cfg::Record* file) {
        cfg::Driver d = file ? cfg::Driver::readingFor(controls_, file->fields)
                             : cfg::Driver::reading(controls_, live, model);
        const Ending e = drive(d);
        if (e.exit != kOk) {
            r.exit = e.exit;
            r.message = "reading " + commandOf(d.account().stopped->control) + ": " + e.message;
            return std::nullopt;
        }
        return d.account();
    }

    void restore(Outcome& r, const cfg::Values& file, const cfg::Values& instrument) {
        cfg::Driver d = cfg::Driver::restoring(controls_, file, instrument);
        const Ending e = drive(d);
        const cfg::Account& a = d.account();
        r.written = a.written;
        r.notTaken = a.notTaken;
        r.notes.push_back("written: " + joined(a.written));
        if (a.stopped) {
            const cfg::Step& s = *a.stopped;
            const std::string what =
                s.kind == cfg::Step::Kind::Write ? "writing " : "reading back ";
            r.exit = e.exit;
            r.message = what + joined(s.fields) + " (" + commandOf(s.control) +
                        ") failed: " + e.message + "; written before it: " + joined(a.written);
            return;
        }
        for (const std::string& f : a.notTaken) {
            const auto want = file.find(f);
            const auto now = a.values.find(f);
            r.notes.push_back("not taken: " + f + " (written \"" + want->second +
                              "\", reads back \"" + now->second + "\")");
        }
        if (!a.notTaken.empty()) {
            r.exit = kFailureCode;
            r.message = "the instrument did not take " + joined(a.notTaken);
        }
    }

  private:
    const Options& options_;
    Line line_;
    ops::Session session_;
    cfg::ControlStore controls_;
};

bool yes(std::ostream& err, std::size_t fields) {
    err << "write " << fields << " field" << (fields == 1 ? "" : "s")
        << " to the instrument? [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

std::string modelText(const cfg::Values& v) {
    auto get = [&](std::string_view f) {
        const auto it = v.find(f);
        return it == v.end() ? std::string("?") : it->second;
    };
    return "manufacturer " + get("manufacturer-id") + ", device type " + get("device-type");
}

// hart-report beside hart-cli in the build tree, else the installed one; HART_REPORT_PROGRAM
// names another.
#ifdef _WIN32
constexpr const char* kReportName = "hart-report.exe";

std::filesystem::path selfPath(std::error_code& ec) {
    wchar_t self[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    ec = n == 0 || n == MAX_PATH ? std::make_error_code(std::errc::filename_too_long)
                                 : std::error_code();
    return self;
}

// The arguments are paths: quoted, since they may hold blanks, and never ending in '\'.
// The exit status, or -1 with errno set when the program did not start.
int runProgram(const std::string& program, const std::vector<std::string>& args) {
    std::wstring line = L"\"" + hart::utf8Path(program).wstring() + L"\"";
    for (const std::string& a : args) line += L" \"" + hart::utf8Path(a).wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(hart::utf8Path(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, nullptr, &startup, &child)) {
        errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
        return -1;
    }
    ::WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 1;
    ::GetExitCodeProcess(child.hProcess, &status);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    return static_cast<int>(status);
}
#else
constexpr const char* kReportName = "hart-report";

std::filesystem::path selfPath(std::error_code& ec) {
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

int runProgram(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (spawned != 0) {
        errno = spawned;
        return -1;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
#endif

// hart-report beside hart-cli in the build tree, else the installed one (on Windows: in
// hart-cli's own folder); HART_REPORT_PROGRAM names another.
std::string reportProgram() {
    if (const char* env = std::getenv("HART_REPORT_PROGRAM"); env && *env) return env;
    std::error_code ec;
    const auto self = selfPath(ec);
    if (!ec) {
        const auto built = self.parent_path().parent_path() / "report" / kReportName;
        if (std::filesystem::exists(built, ec)) return built.string();
#ifdef _WIN32
        return (self.parent_path() / kReportName).string();
#endif
    }
    return HART_REPORT_INSTALLED;
}

// The record goes to hart-report through a temporary file; its messages go to our standard
// error. A loop check's record, when given, is read by hart-report itself.
std::string writeReport(const std::string& path, const cfg::Record& record,
                        const std::string& loopCheck) {
    std::string temp = (std::filesystem::temp_directory_path() / "hart-report-XXXXXX").string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return std::string("cannot write a temporary file: ") + std::strerror(errno);
    ::close(fd);
    if (std::string why = cfg::saveAtomically(temp, cfg::toJson(record)); !why.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return why;
    }
    const std::string program = reportProgram();
    std::vector<std::string> args = {temp, path};
    if (!loopCheck.empty()) args.insert(args.end(), {"--loop-check", loopCheck});
    const int status = runProgram(program, args);
    const int spawnError = errno;
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    if (status < 0) return "cannot run " + program + ": " + std::strerror(spawnError);
    if (status != 0) return program + " did not write the report";
    return {};
}

}  // namespace

bool isConfigCommand(std::string_view word) {
    return findConfigCommand(word) != nullptr;
}

int runConfigCommand(const Options& o, std::ostream& out, std::ostream& err) {
    const ConfigCommand& c = *findConfigCommand(o.words[0]);
    std::vector<std::string> files;
    bool confirmed = false;
    bool replace = false;
    std::string model;
    std::string loopCheck;
    for (std::size_t i = 1; i < o.words.size(); ++i) {
        const std::string& w = o.words[i];
        if (c.name == "save" && w == "--model" && i + 1 < o.words.size()) {
            model = o.words[++i];
            if (cfg::findModel(model) == nullptr) {
                err << "hart-cli: --model takes one of:";
                for (const cfg::Model& m : cfg::models()) err << " " << m.name;
                err << "\n";
                return kUsage;
            }
        } else if (c.name == "restore" && w == "--yes") {
            confirmed = true;
        } else if (c.name == "restore" && w == "--replace") {
            replace = true;
        } else if (c.name == "report" && w == "--loop-check" && i + 1 < o.words.size()) {
            loopCheck = o.words[++i];
        } else {
            files.push_back(w);
        }
    }
    if (files.size() < c.minFiles || files.size() > c.maxFiles) {
        err << "hart-cli: usage: hart-cli [options] " << c.usage << "\n";
        return kUsage;
    }
    Outcome r;
    r.operation = std::string(c.name);
    auto finish = [&] {
        print(r, o.json, out, err);
        return r.exit;
    };
    if (o.scan) {
        r.exit = kUsage;
        r.message = std::string(c.name) + " works on the instrument at --address; scan first";
        return finish();
    }

    // A file is judged before the port opens: a bad one sends nothing.
    std::vector<cfg::Record> loaded;
    if (c.name == "compare" || c.name == "restore") {
        for (const std::string& f : files) {
            cfg::Parsed p = cfg::load(f);
            if (!p.record) {
                r.exit = kRefused;
                r.message = p.error + "; nothing was sent";
                return finish();
            }
            loaded.push_back(std::move(*p.record));
        }
    }
    if (!loopCheck.empty()) {
        std::ifstream in(hart::utf8Path(loopCheck), std::ios::binary);
        std::ostringstream text;
        if (in) text << in.rdbuf();
        const ops::loopcheck::Parsed p = ops::loopcheck::fromJson(text.str());
        if (!in || !p.record) {
            r.exit = kRefused;
            r.message = loopCheck + ": " + (in ? p.error : "cannot be read") + "; nothing was sent";
            return finish();
        }
    }
    if (loaded.size() == 2) {
        r.leftName = "first";
        r.rightName = "second";
        r.differences = cfg::compare(loaded[0].all(), loaded[1].all());
        r.exit = r.differences.empty() ? kOk : kDifferent;
        return finish();
    }

    Session line(o);
    if (std::string why = line.open(); !why.empty()) {
        r.exit = kPortOpen;
        r.message = why;
        return finish();
    }
    const auto account =
        line.read(r, c.name == "report", model, loaded.empty() ? nullptr : &loaded[0]);
    if (!account) return finish();
    const cfg::Values* values = &account->values;

    if (c.name == "save") {
        const cfg::Record record = cfg::recordOf(*values, cfg::utcNow(), "hart-cli " HART_VERSION);
        if (std::string why = cfg::saveAtomically(files[0], cfg::toJson(record)); !why.empty()) {
            r.exit = kInternal;
            r.message = why;
        } else {
            r.notes.push_back("saved " +
                              std::to_string(record.identity.size() + record.fields.size()) +
                              " fields to " + files[0]);
        }
        return finish();
    }
    if (c.name == "report") {
        const cfg::Record record =
            cfg::recordOfDrive(*account, cfg::utcNow(), "hart-cli " HART_VERSION);
        const std::string why = writeReport(files[0], record, loopCheck);
        if (!why.empty()) {
            r.exit = kInternal;
            r.message = why;
        } else {
            r.notes.push_back("report written to " + files[0]);
        }
        return finish();
    }

    const cfg::Record& file = loaded[0];
    r.differences = cfg::compare(file.all(), *values);
    if (c.name == "compare") {
        r.exit = r.differences.empty() ? kOk : kDifferent;
        return finish();
    }

    // restore
    if (!cfg::sameModel(file.identity, *values) && !replace) {
        r.exit = kRefused;
        r.message = "the file is of another instrument (" + modelText(file.identity) +
                    "; this one is " + modelText(*values) +
                    "); --replace writes it all the same. Nothing was written";
        return finish();
    }
    const std::vector<std::string> fields = cfg::toWrite(file.fields, *values);
    if (fields.empty()) {
        r.notes.push_back("nothing to write: the instrument holds the file's settings");
        return finish();
    }
    r.notes.push_back("to write: " + joined(fields));
    if (!confirmed) {
        print(r, false, out, err);
        r.notes.clear();
        r.differences.clear();
        if (!yes(err, fields.size())) {
            r.exit = kRefused;
            r.message = "not confirmed; nothing was written";
            return finish();
        }
    }
    line.restore(r, file.fields, *values);
    return finish();
}

}  // namespace cli
