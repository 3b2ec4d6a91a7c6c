// hart-cli against the simulator: every operation, its printed fields against what the
// window's decoder makes of the same reply, and the exit statuses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/app.h"
#include "cli/choices.h"
#include "cli/names.h"
#include "hart/numbers.h"
#include "hart/texts.h"
#include "link/port_backend.h"
#include "ops/operation.h"
#include "testing/process.h"

namespace cli {
namespace {

using testsupport::Ran;
using testsupport::SimProcess;

// hart-cli speaks the locale's language; these cases compare its Chinese with the window's.
[[maybe_unused]] const bool kChineseLocale = [] {
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    return ::setenv("LANG", "zh_CN.UTF-8", 1) == 0;
}();

std::vector<std::string> simArgs(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {HART_SIM_PROGRAM, "--fast"});
    return extra;
}

// The simulator's demo loop (or the loop the arguments name, on HART-IP with "--hartip 0");
// fault switches through its standard input.
struct Sim : SimProcess {
    explicit Sim(std::vector<std::string> args = {"--demo"}) : SimProcess(simArgs(args)) {}
};

// HART_CLI_EXE names hart-cli.exe, run under wine instead (scripts/windows); a simulator's
// pseudo-terminal is then its COM9, a link in the wine prefix.
Ran cli(const Sim& sim, std::vector<std::string> args) {
    const char* exe = std::getenv("HART_CLI_EXE");
    if (exe == nullptr || *exe == '\0') {
        args.insert(args.begin(), {HART_CLI_PROGRAM, "--port", sim.port(), "--log"});
        return testsupport::run(args);
    }
    std::string port = sim.port();
    if (!serial::isHartIpName(port)) {
        const auto com9 = std::filesystem::path(std::getenv("WINEPREFIX")) / "dosdevices/com9";
        std::filesystem::remove(com9);
        std::filesystem::create_symlink(port, com9);
        port = "COM9";
    }
    // wine reads the command line in its own locale's charset: a UTF-8 one that exists here.
    args.insert(args.begin(), {"/usr/bin/env", "LANG=C.UTF-8", "wine", exe, "--lang", "zh",
                               "--port", port, "--log"});
    Ran r = testsupport::run(args);
    for (std::string* s : {&r.out, &r.err}) std::erase(*s, '\r');  // a Windows program's lines
    return r;
}

// The last frame the log shows received, as bytes.
std::vector<std::uint8_t> lastReply(const std::string& log) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(log);
    std::string l;
    while (std::getline(in, l)) {
        const auto at = l.find(" RX ");
        if (at != std::string::npos) bytes = testsupport::hexBytes(l.substr(at + 4));
    }
    return bytes;
}

int sentFrames(const std::string& log) {
    int n = 0;
    for (std::size_t at = log.find(" TX "); at != std::string::npos; at = log.find(" TX ", at + 1))
        ++n;
    return n;
}

struct Case {
    std::string address;
    std::vector<std::string> words;  // command and values
    int exit;
};

// One row per command; a row that changes the instrument writes back what it holds.
const std::vector<Case>& cases() {
    static const std::vector<Case> c = {
        {"0", {"poll"}, kOk},
        {"0", {"read-serial"}, kOk},
        {"0", {"read-more-status"}, kOk},
        {"0", {"raw", "02", "80", "00", "00"}, kOk},
        {"0", {"read-current"}, kOk},
        {"0", {"read-variables"}, kOk},
        {"0", {"read-sensor-limits"}, kOk},
        {"0", {"read-range"}, kOk},
        {"0", {"write-unit", "kpa"}, kOk},
        {"0", {"write-range", "KPa", "100", "0"}, kOk},
        {"0", {"write-damping", "0.5"}, kOk},
        {"0", {"write-transfer-function", "线性"}, kOk},
        {"0", {"read-message"}, kOk},
        {"0", {"write-message", "HELLO LOOP"}, kOk},
        {"0", {"read-tag"}, kOk},
        {"0", {"write-tag", "PT-101", "INLET", "2019-06-15"}, kOk},
        {"0", {"read-assembly"}, kOk},
        {"0", {"write-assembly", "1193046"}, kOk},
        {"0", {"write-serial", "4660"}, kOk},
        {"0", {"write-polling-address", "0"}, kOk},
        {"0", {"trim-current-high", "20"}, kFailureCode},  // not in fixed-current mode
        {"0", {"fixed-current", "20"}, kOk},
        {"0", {"trim-current-high", "20"}, kOk},
        {"0", {"fixed-current", "4"}, kOk},
        {"0", {"trim-current-low", "4"}, kOk},
        {"0", {"fixed-current-off"}, kOk},
        {"0", {"set-lower-range"}, kOk},
        {"0", {"set-upper-range"}, kFailureCode},  // the span would be too small
        {"0", {"zero-trim"}, kOk},
        {"0", {"write-low-point", "0"}, kOk},
        {"0", {"write-high-point", "100"}, kOk},
        {"0", {"burst-command", "3"}, kOk},
        {"0", {"burst", "on"}, kOk},
        {"0", {"burst", "off"}, kOk},
        {"0", {"backup-sensor-data"}, kOk},
        {"0", {"restore-factory-settings"}, kOk},
        {"1", {"rosemount-644-read"}, kOk},
        {"1", {"rosemount-644-write", "PT100  a=385", "3线制"}, kOk},
        {"2", {"rosemount-848t-read", "通道2"}, kOk},
        {"2", {"rosemount-848t-write", "通道2", "T/C typ K", "2线制"}, kOk},
        {"2", {"rosemount-848t-write-unit", "通道2", "degc"}, kOk},
        {"3", {"rosemount-644rk-read"}, kOk},
        {"3", {"rosemount-644rk-write", "PT100 IEC-751", "3线制"}, kOk},
        {"4", {"yokogawa-read-sensor"}, kOk},
        {"4", {"yokogawa-write-sensor", "Pt100 IEC 751", "3线制"}, kOk},
        {"4", {"yokogawa-read-wire-resistance"}, kOk},
        {"4", {"yokogawa-write-wire-resistance", "0.5"}, kOk},
        {"5", {"eh-read-sensor-type", "传感编号1"}, kOk},
        {"5", {"eh-write-sensor-type", "传感编号1", "Pt100 IEC60751(a=0.00385)，"}, kOk},
        {"5", {"eh-read-wiring", "传感编号2"}, kOk},
        {"5", {"eh-write-wiring", "传感编号2", "01_3line"}, kOk},
        {"5", {"eh-read-offset", "传感编号1"}, kOk},
        {"5", {"eh-write-offset", "传感编号1", "0.25"}, kOk},
        {"5", {"eh-write-polynomial", "传感编号1", "设置系数X0", "1.5"}, kOk},
        {"5", {"eh-write-callendar", "传感编号1", "设置计数系数A", "0.0039"}, kOk},
        {"6", {"siemens-read"}, kOk},
        {"6", {"siemens-write", "T/C，K  2 WIRE"}, kOk},
        {"7", {"tt50c-read"}, kOk},
        {"7", {"tt50c-write", "PT100, a=385", "三线制"}, kOk},
        {"8", {"tth200-read"}, kOk},
        {"8", {"tth200-write", "PT100(IEC751)", "三线制"}, kOk},
        {"9", {"pressure-zero"}, kOk},
        {"10", {"rosemount-read-mapping"}, kOk},
        {"10",
         {"rosemount-write-mapping", "defferential pressure", "absolute pressure",
          "process tempter", "flow"},
         kOk},
        {"10", {"rosemount-read-display"}, kOk},
        {"10",
         {"rosemount-write-display", "on", "off", "on", "on", "off", "off", "off", "on"},
         kOk},
        {"11", {"eja-read-display"}, kOk},
        {"11", {"eja-write-display", "pres", "pres%", "sp", "不显示"}, kOk},
        {"11", {"eja-read-zero"}, kOk},
        {"11", {"eja-write-cutoff", "5"}, kOk},
        {"3", {"scan"}, kOk},
        // HART 7 and common-practice commands, on the universal instrument.
        {"0", {"read-long-tag"}, kOk},
        {"0", {"write-long-tag", "Kühl", "Pumpe", "3"}, kOk},
        {"0", {"find-long-tag", "Kühl", "Pumpe", "3"}, kOk},
        {"0", {"find-tag", "pt-101"}, kOk},
        {"0", {"read-device-variables-33", "0", "1", "3"}, kOk},
        {"0", {"read-device-variable-info", "1"}, kOk},
        {"0", {"write-device-variable-unit", "1", "degc"}, kOk},
        {"0", {"write-device-variable-damping", "1", "2"}, kOk},
        {"0", {"read-mapping"}, kOk},
        {"0", {"write-mapping", "0", "1", "2", "3"}, kOk},
        {"0", {"read-classifications"}, kOk},
        {"0", {"read-loop-config"}, kOk},
        {"0", {"write-polling-address-mode", "0", "on"}, kOk},
        {"0", {"reset-config-changed"}, kOk},
        {"0", {"self-test"}, kOk},
        {"0", {"squawk"}, kOk},
        {"0", {"device-reset", "--yes"}, kOk},
        {"0", {"write-preambles", "5"}, kOk},
        {"0", {"read-burst-config"}, kOk},
        {"0", {"write-burst-period", "2", "1", "60"}, kOk},
        {"0", {"write-burst-trigger", "2", "rising", "65", "kpa", "80"}, kOk},
        {"0", {"write-burst-variables", "2", "0", "1", "2", "3"}, kOk},
        {"0", {"write-burst-command", "2", "3"}, kOk},
        {"0", {"write-burst-mode", "2", "off"}, kOk},
        {"0", {"read-country"}, kOk},
        {"0", {"write-country", "CN"}, kOk},
        {"0", {"read-process-unit-tag"}, kOk},
        {"0", {"write-process-unit-tag", "BOILER", "HOUSE", "2"}, kOk},
    };
    return c;
}

void everyOperationShowsWhatTheWindowDecodes(const Sim& sim) {
    ASSERT_FALSE(sim.port().empty());
    for (const Case& c : cases()) {
        std::vector<std::string> args = {"--address", c.address};
        if (c.words[0] == "scan") args.clear();
        args.insert(args.end(), c.words.begin(), c.words.end());
        const Ran r = cli(sim, args);
        SCOPED_TRACE(c.words[0] + (c.words.size() > 1 ? " " + c.words[1] : "") + "\n" + r.out +
                     r.err);
        EXPECT_EQ(r.exit, c.exit);

        // The same reply through the window's decoder.
        const Command* command =
            findCommand(c.words.size() > 1 ? c.words[0] + " " + c.words[1] : "");
        if (command == nullptr) command = findCommand(c.words[0]);
        ASSERT_NE(command, nullptr);
        const ops::Operation* op = ops::operationFor(command->control);
        const auto reply = lastReply(r.err);
        ASSERT_FALSE(reply.empty());
        hart::ReceiveBuffer buffer;
        buffer.store(reply);
        if (op->decoder.kind == ops::DecoderKind::None) {
            EXPECT_NE(r.out.find("reply: " + hart::hexText(reply).substr(0, 20)),
                      std::string::npos);
            continue;
        }
        ops::Session session;
        const hart::Outcome want = ops::decode(op->pending(), buffer, session);
        EXPECT_NE(r.out.find("status: " + want.status + "\n"), std::string::npos);
        for (const Shown& f : shownFields(want)) {
            EXPECT_FALSE(f.caption.empty()) << f.name << " has no caption";
            std::string line = "\n" + f.name + ": " + f.value;
            EXPECT_NE(("\n" + r.out).find(line), std::string::npos) << line;
        }
    }
}

TEST(HartCli, EveryOperationAgainstTheSimulatorShowsWhatTheWindowDecodes) {
    everyOperationShowsWhatTheWindowDecodes(Sim());
}

TEST(HartCli, EveryOperationOverHartIpShowsWhatTheWindowDecodes) {
    everyOperationShowsWhatTheWindowDecodes(Sim({"--demo", "--hartip", "0"}));
}

// What a HART-IP device does wrong ends as a lost port would, or as no reply, with its reason.
TEST(HartCli, HartIpFaultsEndWithTheirExitStatusAndTheDevicesReason) {
    Sim sim({"--hartip", "0"});
    struct Fault {
        const char* switchOn;
        const char* switchOff;
        int exit;
        std::string reason;
    };
    const Fault faults[] = {
        {"nak on", "nak off", kNoReply, "no reply (the device refused the message"},
        {"drop on", "drop off", kPortFailed, "the port is gone: the device closed the connection"},
        {"delay 1", "delay 0", kOk, ""},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.switchOn);
        ASSERT_TRUE(sim.command(f.switchOn));
        const Ran r = cli(sim, {"--timeout", "2500", "read-current"});
        EXPECT_EQ(r.exit, f.exit) << r.out << r.err;
        EXPECT_NE(r.err.find(f.reason), std::string::npos) << r.err;
        ASSERT_TRUE(sim.command(f.switchOff));
    }
    const Ran gone = testsupport::run({HART_CLI_PROGRAM, "--hartip", "127.0.0.1:1", "poll"});
    EXPECT_EQ(gone.exit, kPortOpen);
    EXPECT_NE(gone.err.find("cannot connect to 127.0.0.1:1"), std::string::npos) << gone.err;
}

// One inventory over hosts scanned side by side; a host with nothing behind it is reported
// and the others are complete.
TEST(HartCli, ScanOverHostsListsEveryInstrumentOfEveryReachableHost) {
    Sim hart5({"--hartip", "0", "--device-spec", "0:0x26:6:0x1234", "--device-spec", "2:644"});
    Sim hart7({"--hartip", "0", "--hart-revision", "7"});
    const std::string hosts = ::testing::TempDir() + "/hosts";
    std::ofstream(hosts) << hart5.port() << "\n# a comment\n127.0.0.1:1\n\n"
                         << hart7.port().substr(9) << "\n";
    const Ran r = testsupport::run(
        {HART_CLI_PROGRAM, "--hosts", hosts, "--jobs", "2", "--timeout", "300", "--csv", "scan"});
    EXPECT_EQ(r.exit, kPortOpen);
    const std::string h5 = hart5.port(), h7 = hart7.port().substr(9);  // as the file has them
    EXPECT_EQ(r.out,
              "host,address,manufacturer,device-type,device-id,tag,hart-revision,long-tag\n" + h5 +
                  ",0,38,6,4660,PT-101,5,\n" + h5 + ",2,38,64,1604,TT-644,5,\n" + h7 +
                  ",0,38,9734,4660,PT-101,7,PT-101 FEED WATER PUMP DISCHARGE\n");
    EXPECT_NE(r.err.find("hart-cli: 127.0.0.1:1: cannot open"), std::string::npos) << r.err;
}

// Command 38 clears the flag a write set; a HART 7 device is told the counter the poll read.
TEST(HartCli, ResetConfigChangedClearsTheFlagAWriteSet) {
    for (const char* revision : {"5", "7"}) {
        SCOPED_TRACE(revision);
        Sim sim({"--hartip", "0", "--hart-revision", revision});
        ASSERT_EQ(cli(sim, {"write-damping", "0.7"}).exit, kOk);
        const Ran poll = cli(sim, {"poll"});
        EXPECT_NE(poll.out.find("configuration changed"), std::string::npos);
        const bool hart7 = std::string(revision) == "7";
        EXPECT_EQ(poll.out.find("config-change-counter: 1 ") != std::string::npos, hart7);
        const Ran reset = cli(sim, {"reset-config-changed"});
        EXPECT_EQ(reset.exit, kOk) << reset.out << reset.err;
        EXPECT_EQ(lastReply(reset.err).size(), hart7 ? 18u : 16u);  // the counter echoed
        EXPECT_EQ(cli(sim, {"poll"}).out.find("configuration changed"), std::string::npos);
    }
}

// A HART 7 instrument: device variables by command 9, the mapping behind command 3, a bad
// variable, a truncated reply, and the gateway's busy and delayed answers sent again.
TEST(HartCli, Hart7DeviceVariablesAndTheRepliesAGatewaySendsFirst) {
    Sim sim({"--hartip", "0", "--hart-revision", "7"});
    struct Step {
        const char* switchOn;
        std::vector<std::string> args;
        int exit;
        std::vector<std::string> out;  // lines in the output
        std::string err;
    };
    const Step steps[] = {
        {"fault on",
         {"--lang", "en", "read-device-variables", "1"},
         kOk,
         {"device-variable-0-status: bad"},
         ""},
        {"fault off",
         {"read-device-variables", "0", "1", "2", "3", "0"},
         kFailureCode,
         {"device-variable-3-code: 3", "response-code: 30"},
         "warning: response code 30"},
        {"fault off", {"write-mapping", "1", "0", "2", "3"}, kOk, {}, ""},
        {"fault off",
         {"read-variables"},
         kOk,
         {"degc  (当前动态变量1)", "KPa  (当前动态变量2)"},
         ""},
        {"dr on",
         {"read-long-tag"},
         kOk,
         {"long-tag: PT-101 FEED WATER PUMP DISCHARGE"},
         "response code 34), sending again (2/10)"},
        {"busy on",
         {"read-long-tag"},
         kFailureCode,
         {"status: 仪表一直忙"},
         "sending again (9/10)"},
        {"busy off", {"--timeout", "150", "find-tag", "NOBODY"}, kNoReply, {}, "addresses 0 to 63"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.switchOn + (" " + s.args.back()));
        ASSERT_TRUE(sim.command(s.switchOn));
        const Ran r = cli(sim, s.args);
        EXPECT_EQ(r.exit, s.exit) << r.out << r.err;
        for (const std::string& line : s.out)
            EXPECT_NE(r.out.find(line), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(s.err), std::string::npos) << r.err;
        ASSERT_TRUE(sim.command("dr off"));
    }
    EXPECT_EQ(cli(sim, {"device-reset"}).exit, kRefused);  // not confirmed: nothing sent
}

TEST(HartCli, FaultsEndWithTheirOwnExitStatus) {
    Sim sim;
    ASSERT_FALSE(sim.port().empty());
    struct Fault {
        const char* switchOn;
        std::vector<std::string> args;
        int exit;
        std::string status;
    };
    const Fault faults[] = {
        {"silent on",
         {"--timeout", "400", "read-variables"},
         kNoReply,
         std::string(hart::text::kReadTimeout)},
        {"protect on", {"write-damping", "0.5"}, kFailureCode, "写入失败!写保护!"},
        {"garbage on", {"read-current"}, kOk, std::string(hart::text::kReadOk)},
        // A reply cut by a pause is decoded as far as it came, as the window does.
        {"split on", {"read-current"}, kUnreadable, std::string(hart::text::kReadFailed)},
    };
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.switchOn);
        ASSERT_TRUE(sim.command(f.switchOn));
        const Ran r = cli(sim, f.args);
        EXPECT_EQ(r.exit, f.exit) << r.out << r.err;
        EXPECT_NE(r.out.find("status: " + f.status), std::string::npos) << r.out;
        std::string off = f.switchOn;
        ASSERT_TRUE(sim.command(off.replace(off.find(" on"), 3, " off")));
    }
    const Ran gone = testsupport::run({HART_CLI_PROGRAM, "--port", "/dev/no-such-modem", "poll"});
    EXPECT_EQ(gone.exit, kPortOpen);
    EXPECT_NE(gone.err.find("/dev/no-such-modem"), std::string::npos);
}

std::vector<std::string> linesOf(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

// Every sample a whole CSV row, its current as the last reply carried it; a silent instrument a
// row of gaps; Ctrl-C ends the monitor with the record complete.
TEST(HartCli, MonitorRecordsWhatTheInstrumentSentAndGapsForNoReply) {
    Sim sim;
    ASSERT_FALSE(sim.port().empty());
    const std::string csv = ::testing::TempDir() + "monitor.csv";
    Ran r = cli(sim, {"monitor", "--count", "2", "--interval", "0.5", "--csv", csv});
    ASSERT_EQ(r.exit, kOk) << r.err;
    auto rows = linesOf(csv);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].rfind("time,pv (", 0), 0u) << rows[0];
    EXPECT_NE(rows[0].find(",current (mA),percent-of-range (%)"), std::string::npos);
    const auto reply = lastReply(r.err);  // command 2: current, percent, check byte
    ASSERT_GE(reply.size(), 9u);
    const double current = static_cast<double>(hart::decodeWireFloat(
        std::span<const std::uint8_t, 4>(reply.data() + reply.size() - 9, 4)));
    // The record keeps every digit a float holds.
    EXPECT_EQ(std::stof(rows[2].substr(rows[2].rfind(',', rows[2].rfind(',') - 1) + 1)),
              static_cast<float>(current));

    // The third round goes unanswered: the poll and two rounds answered, then the next two
    // requests dropped. A switch confirmed first leaves the earlier runs' lines behind.
    ASSERT_TRUE(sim.command("silent off"));
    std::thread run([&] {
        r = cli(sim, {"--timeout", "300", "monitor", "--count", "4", "--csv", csv});
    });
    for (int i = 0; i < 3; ++i) sim.waitLine("TX");
    sim.command("silent on");
    for (int i = 0; i < 2; ++i) sim.waitLine("RX");
    sim.command("silent off");
    run.join();
    EXPECT_EQ(r.exit, kOk) << r.err;
    rows = linesOf(csv);
    ASSERT_EQ(rows.size(), 5u);
    int gaps = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].find(",,") == std::string::npos) continue;
        EXPECT_EQ(rows[i].substr(rows[i].find(',')), ",,,,,,");
        ++gaps;
    }
    EXPECT_EQ(gaps, 1);
    EXPECT_EQ(rows.back().find(",,"), std::string::npos);  // and the trend goes on after it

    r = testsupport::run({"/usr/bin/timeout", "--preserve-status", "-s", "INT", "2",
                          HART_CLI_PROGRAM, "--port", sim.port(), "monitor", "--interval", "0.5",
                          "--csv", csv});
    EXPECT_EQ(r.exit, kOk) << r.out << r.err;
    rows = linesOf(csv);
    EXPECT_GE(rows.size(), 2u);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(rows[i].find(",,"), std::string::npos);
}

// A bursting instrument's frames are the samples: one round read, then none while they come.
TEST(HartCli, MonitorSamplesABurstingInstrumentWithoutReading) {
    for (const auto& args : {std::vector<std::string>{"--demo"}, {"--demo", "--hartip", "0"}}) {
        Sim sim(args);
        ASSERT_EQ(cli(sim, {"burst", "on"}).exit, kOk);
        const std::size_t sent = sim.received().size();
        const Ran r = cli(sim, {"monitor", "--count", "4", "--interval", "5"});
        EXPECT_EQ(r.exit, kOk) << r.err;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4) << r.out;
        EXPECT_EQ(sim.received().size(), sent + 3) << args.back();  // the poll and one round
    }
}

// A burst frame in the chunk of a reply, before it (the poll) and after it (command 3), spoils
// neither: the reply is decoded and the frame is a sample.
TEST(HartCli, ABurstFrameBesideAReplyIsASampleAndTheReplyDecoded) {
    Sim sim;
    ASSERT_EQ(cli(sim, {"burst", "on"}).exit, kOk);
    ASSERT_TRUE(sim.command("crowd on"));
    const Ran r = cli(sim, {"read-variables"});
    EXPECT_EQ(r.exit, kOk) << r.err;
    EXPECT_NE(r.out.find("pv: "), std::string::npos) << r.out;
    const Ran m = cli(sim, {"monitor", "--count", "4", "--interval", "60"});
    EXPECT_EQ(m.exit, kOk) << m.err;
    EXPECT_EQ(std::count(m.out.begin(), m.out.end(), '\n'), 4) << m.out;
    std::istringstream round(m.out.substr(0, m.out.find('\n')));  // its values, no gap
    for (std::string word; round >> word;) EXPECT_NE(word, "-") << m.out;
}

TEST(HartCli, DeviceStatusNamesItsBitsAndLeavesTheExitStatus) {
    Sim sim;
    ASSERT_TRUE(sim.command("status 0x81"));
    const Ran json = cli(sim, {"--json", "read-current"});
    EXPECT_EQ(json.exit, kOk);
    EXPECT_NE(json.out.find(R"("device_status":{"value":129,"bits":["device malfunction",)"
                            R"("primary variable out of limits"]})"),
              std::string::npos)
        << json.out;
    EXPECT_NE(cli(sim, {"read-current"})
                  .out.find("device-status-bits: device malfunction, "
                            "primary variable out of limits\n"),
              std::string::npos);
    // Not-a-number is no number, in text and JSON alike.
    ASSERT_TRUE(sim.command("nan on"));
    EXPECT_NE(cli(sim, {"read-range"}).out.find("damping: NAN s"), std::string::npos);
    EXPECT_NE(cli(sim, {"--json", "read-range"}).out.find(R"("damping":{"value":"NAN")"),
              std::string::npos);
}

TEST(HartCli, EnglishStatusAndCaptionsAndBothInJson) {
    Sim sim;
    const std::string en = cli(sim, {"--lang", "en", "read-range"}).out;
    EXPECT_NE(en.find("upper-range: 100 KPa  (Upper range value)\n"), std::string::npos) << en;
    EXPECT_NE(en.find("status: Read successful!\n"), std::string::npos) << en;
    const std::string json = cli(sim, {"--lang", "en", "--json", "read-range"}).out;
    EXPECT_NE(json.find(R"("status":"上传成功!","status_en":"Read successful!")"),
              std::string::npos)
        << json;
}

// Values the window refuses are refused with its message, and nothing goes out.
TEST(HartCli, RefusedValuesSendNothing) {
    Sim sim;
    ASSERT_FALSE(sim.port().empty());
    struct Refusal {
        std::vector<std::string> args;
        int exit;
        std::string says;
    };
    const Refusal refusals[] = {
        {{"write-damping", "abc"}, kRefused, "not a valid floating point value"},
        {{"write-damping", "1,5"}, kRefused, "status: "},
        {{"write-tag", "TAG", "DESC", "2019-02-30"}, kRefused, "status: "},
        {{"write-tag", "T@G~", "DESC", "2019-02-03"}, kRefused, "status: "},
        {{"write-assembly", "16777216"}, kRefused, "16777215"},
        {{"write-unit", "furlongs"}, kRefused, "no item"},
        {{"rosemount-644-write", "pt100", "3线制"}, kRefused, "no item"},  // matches several
        {{"raw", "02", "8G"}, kRefused, "Data eeore!"},
        {{"write-damping"}, kUsage, "takes 1 value"},
        {{"read-range", "extra"}, kUsage, "takes 0 values"},
        {{"frobnicate"}, kUsage, "no operation"},
        {{"--address", "16", "poll"}, kUsage, "0 to 15"},
    };
    for (const Refusal& f : refusals) {
        SCOPED_TRACE(f.args[0]);
        const Ran r = cli(sim, f.args);
        EXPECT_EQ(r.exit, f.exit) << r.out << r.err;
        EXPECT_NE((r.out + r.err).find(f.says), std::string::npos) << r.out << r.err;
        EXPECT_EQ(sentFrames(r.err), 0);
    }
}

// Every row of the operation table has a name, and a name's values fill exactly the controls
// its row reads besides the master role and the polling address, which the options set.
TEST(HartCliNames, EveryRowIsReachableAndItsValuesFillWhatItReads) {
    for (const ops::Operation& op : ops::operations()) {
        if (op.control == "Timer1") continue;  // the scan's next address
        bool named = false;
        for (const Command& c : commands()) named = named || c.control == op.control;
        EXPECT_TRUE(named) << op.control << " has no command name";
    }
    std::set<std::string_view> seen;
    for (const Command& c : commands()) {
        SCOPED_TRACE(std::string(c.name));
        EXPECT_TRUE(seen.insert(c.name).second) << "named twice";
        ASSERT_NE(ops::operationFor(c.control), nullptr);
        struct Probe final : ops::Controls {
            std::string text(std::string_view n) const override { return note(n), "1"; }
            int index(std::string_view n) const override { return note(n), 0; }
            bool checked(std::string_view n) const override {
                note(n);
                return std::any_of(presets.begin(), presets.end(),
                                   [&](const Preset& p) { return p.control == n && p.checked; });
            }
            std::span<const Preset> presets;
            void note(std::string_view n) const { read.insert(std::string(n)); }
            mutable std::set<std::string> read;
        } probe;
        probe.presets = c.presets;
        ops::Session session;
        for (const std::string_view first : c.first) ops::build(first, probe, session);
        session.unit.set(session.identity, 0);
        session.tt50cTail = ops::Tt50cTail{session.identity, {}};
        for (auto& p : session.ehPrefixes) p = ops::EhPrefix{session.identity, {}};
        ops::build(c.control, probe, session);
        std::set<std::string> filled = {"ComboBox8", "ComboBox9"};
        for (const Arg& a : c.args) {
            for (auto control : {a.control, a.control2, a.control3}) {
                if (!control.empty()) filled.insert(std::string(control));
            }
            if (a.kind == ArgKind::Item) {
                EXPECT_FALSE(itemsOf(a.control).empty()) << a.control;
            }
        }
        for (const Preset& p : c.presets) filled.insert(std::string(p.control));
        for (const std::string& read : probe.read) {
            if (!read.starts_with("RadioButton")) {
                EXPECT_TRUE(filled.count(read)) << read << " is read but no value fills it";
            }
        }
        for (const std::string& f : filled) {
            if (f != "ComboBox8" && f != "ComboBox9") {
                EXPECT_TRUE(probe.read.count(f)) << f << " is filled but not read";
            }
        }
    }
    // list shows every command.
    std::string argv0 = "hart-cli", listWord = "list";
    char* argv[] = {argv0.data(), listWord.data(), nullptr};
    std::ostringstream out, err;
    EXPECT_EQ(run(2, argv, out, err), kOk);
    for (const Command& c : commands()) {
        EXPECT_NE(("\n" + out.str()).find("\n" + std::string(c.name)), std::string::npos) << c.name;
    }
}

TEST(HartCliNames, ItemsAreFoundByTheirTextWithoutCaseBlanksOrIndex) {
    struct Row {
        const char* box;
        const char* value;
        int item;  // -1: none, or more than one
    };
    const Row rows[] = {
        {"ComboBox1", "KPa", 9},
        {"ComboBox1", "kpa  ", 9},
        {"ComboBox5", "09_KPa", 9},
        {"ComboBox5", "kpa", 9},
        {"ComboBox1", "furlong", -1},
        {"HengHeTX", "00-0C-Pt100 IEC 751", 0},
        {"HengHeTX", "pt100 iec 751", 0},
        {"ComboBox17", "PT100", -1},
        {"ComboBox17", "13_PT1000 a=385", 13},
        {"ComboBox18", "3线制", 1},
        {"EJAXIANS1", "Pres", 0},
        {"EJAXIANS1", "sp%", 4},
        {"TT50NEXING", "0A_83 /T/C typ K", 10},
        {"ComboBox9", "15", 15},
        {"ComboBox9", "16", -1},
        {"ComboBox2", "开方", 1},
        {"ComboBox27", "On", 1},
        {"EJAMODEM", "zero mode", 1},
    };
    for (const Row& r : rows) {
        const auto found = findItem(r.box, r.value);
        EXPECT_EQ(found.value_or(-1), r.item) << r.box << " " << r.value;
    }
}

TEST(HartCli, LinksNoQt) {
    const Ran r = testsupport::run({"/usr/bin/ldd", HART_CLI_PROGRAM});
    ASSERT_EQ(r.exit, 0);
    EXPECT_EQ(r.out.find("Qt"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("libX"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace cli
