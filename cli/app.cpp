// hart-cli: one run, from its arguments to its exit status, and the commands that are more
// than one request (monitor, reset-config-changed).
#include "cli/app.h"

#include "cli/monitor.h"
#include "cli/run.h"
#include "hart/texts.h"
#include "link/ports.h"
#include "ops/discovery.h"
#include "ops/trend.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif

namespace cli {
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
    const ops::Operation& op = *ops::operationFor(c.control);
    bool ok = !(needsIdentity(op) || o.scan) || runner.identify(controls, o.scan);
    for (const std::string_view first : c.first) {
        if (!ok) return;
        ok = runner.step(ops::build(first, controls, runner.session));
    }
    if (ok) runner.step(ops::build(op, controls, runner.session));
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

// Command 38, which the window has no control for: sent as the console sends a typed frame,
// to the long address the poll found. A HART 7 device is given the configuration change
// counter the poll read, and refuses the reset if the configuration changed since.
int runResetConfigChanged(const Options& o, std::ostream& out, std::ostream& err) {
    constexpr std::uint8_t kCommand = 38;
    Result result;
    result.operation = "reset-config-changed";
    LineControls controls(o);
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
    print(result, o.json, out, err, o.language);
    return result.exit;
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
    LineControls controls(o);
    Line line(logTo(o, err));
    if (preCheck(*named, controls, result) && openPort(line, o.port, result)) {
        Runner runner(o, line, result);
        runSteps(*named->command, o, controls, runner);
        result.fields = shownFields(runner.last().outcome);
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
