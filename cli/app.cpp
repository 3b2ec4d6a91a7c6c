// hart-cli: one run, from its arguments to its exit status, and the commands that are more
// than one request (monitor, find-tag without a broadcast answer).
#include "cli/app.h"

#include <algorithm>
#include <iostream>

#include "cli/monitor.h"
#include "cli/run.h"
#include "hart/texts.h"
#include "hart/tr.h"
#include "link/ports.h"
#include "ops/discovery.h"
#include "ops/hart7.h"
#include "ops/tag_sweep.h"
#include "ops/trend.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif

namespace cli {

using hart::Tr;
namespace {

bool needsIdentity(const ops::Operation& op) {
    return op.frame == ops::FrameKind::Long;
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
    const ops::Operation* op = ops::operationFor(c.control);
    bool ok = !(needsIdentity(*op) || o.scan) || runner.identify(controls, o.scan);
    for (const std::string_view first : c.first) {
        if (!ok) return;
        ok = runner.step(ops::build(first, controls, runner.session));
    }
    // The device-variable read asks what the instrument's revision has.
    if (c.control == ops::hart7::kReadDeviceVariablesButton)
        op = ops::operationFor(ops::hart7::deviceVariablesRow(runner.session));
    if (ok) runner.step(ops::build(*op, controls, runner.session));
}

bool isFind(const Command& c) {
    return c.control == ops::hart7::kFindTagButton || c.control == ops::hart7::kFindLongTagButton;
}

constexpr int kSweepTimeoutMs = 600;

// Nobody answered the broadcast: every address is polled and the tag of each instrument that
// answers compared. The fields of the identity found, if any.
std::vector<Shown> findBySweep(const Command& c, LineControls& controls, Runner& runner) {
    ops::TagSweep sweep(c.control, controls);
    while (const auto r = sweep.next(controls, runner.session)) {
        const bool answered = runner.step(*r);
        if (runner.result().exit == kPortFailed) return {};
        sweep.taken(answered ? &runner.last().outcome : nullptr);
    }
    Result& result = runner.result();
    if (sweep.found()) {
        result.status = hart::text::kReadOk;
        auto fields = shownFields(sweep.identity());
        for (const Shown& s : shownFields(sweep.tag()))
            if (s.name == (sweep.longTag() ? "long-tag" : "tag")) fields.push_back(s);
        return fields;
    }
    result.exit = kNoReply;
    result.status = ops::TagSweep::notFound();
    result.message = "no instrument with this tag at addresses 0 to 63";
    return {};
}

// Asks on standard input; anything but y or yes is no.
bool confirm(std::string_view question, std::ostream& err) {
    err << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
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
    LineControls controls(o);
    Line line(logTo(o, err));
    bool ok = openPort(line, o.port, result);
    Runner runner(o, line, result);
    if (ok && (o.scan || needsIdentity(*ops::operationFor("Button4"))))
        ok = runner.identify(controls, o.scan);
    if (!ok) {
        print(result, o.json, out, err, o.language);
        return result.exit;
    }
    return monitor(
        *options, o.json,
        [&](std::string_view control) {
            runner.step(ops::build(control, controls, runner.session));
            return Read{runner.last().outcome, result.exit == kPortFailed};
        },
        [&](std::chrono::steady_clock::time_point until) {
            const auto w = line.listen(until);
            return Heard{w.bytes, w.hungUp};
        },
        out, err);
}

int runCommand(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.words[0] == "monitor") return runMonitor(o, out, err);
    if (o.words[0] == "scan" && !o.hostsFile.empty()) return runInventory(o, out, err);
    std::vector<std::string> words = o.words;
    const bool confirmed = std::erase(words, "--yes") > 0;
    const auto named = lookUp(words, err);
    if (!named) return kUsage;
    Result result;
    result.operation = std::string(named->command->name);
    LineControls controls(o);
    Line line(logTo(o, err));
    const bool asked = named->command->control != ops::hart7::kDeviceResetButton || confirmed ||
                       confirm(ops::hart7::kDeviceResetQuestion, err);
    if (!asked) {
        result.exit = kRefused;
        result.message =
            "not confirmed: the instrument was not reset (--yes resets without asking)";
    } else if (preCheck(*named, controls, result) && openPort(line, o.port, result)) {
        Runner runner(o, line, result);
        runSteps(*named->command, o, controls, runner);
        result.fields = shownFields(runner.last().outcome);
        if (isFind(*named->command) && result.exit == kNoReply) {
            Options quick = o;
            quick.timeoutMs = std::min(o.timeoutMs, kSweepTimeoutMs);
            Runner sweeper(quick, line, result);
            result.fields = findBySweep(*named->command, controls, sweeper);
        }
    }
    print(result, o.json, out, err, o.language);
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
    if (options->words[0] == "ports") {
        for (const serial::PortInfo& p : serial::listPorts())
            out << p.name << "\t" << p.description << "\n";
        return kOk;
    }
    try {
        if (isConfigCommand(options->words[0])) return runConfigCommand(*options, out, err);
        if (options->words[0] == "loop-check") return runLoopCheck(*options, out, err);
        return runCommand(*options, out, err);
    } catch (const std::exception& e) {
        err << "hart-cli: " << e.what() << "\n";
        return kInternal;
    }
}

}  // namespace cli
