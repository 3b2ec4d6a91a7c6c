// hart-cli's configuration files against the simulator: the round trip, a file of another
// instrument, a write refused part way, and files that must not be used.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "cli/app.h"
#include "cli/names.h"
#include "ops/config_file.h"
#include "ops/operation.h"
#include "testing/process.h"

namespace cli {
namespace {

using testsupport::Ran;

struct Sim : testsupport::SimProcess {
    Sim() : SimProcess({HART_SIM_PROGRAM, "--fast", "--demo"}) {}
};

Ran cli(const Sim& sim, std::vector<std::string> args) {
    args.insert(args.begin(), {HART_CLI_PROGRAM, "--port", sim.port(), "--log"});
    return testsupport::run(args);
}

std::string path(const std::string& name) {
    return ::testing::TempDir() + "hart-config-" + name;
}

std::string contents(const std::string& file) {
    std::ifstream in(file);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string replaced(std::string text, const std::string& was, const std::string& now) {
    const auto at = text.find(was);
    if (at != std::string::npos) text.replace(at, was.size(), now);
    return text;
}

std::string written(const std::string& name, const std::string& text) {
    std::ofstream(path(name), std::ios::binary) << text;
    return path(name);
}

TEST(ConfigFields, NamesAndOperationsAreHartClis) {
    for (const ops::config::FieldRow& f : ops::config::fieldRows()) {
        SCOPED_TRACE(std::string(f.name));
        ASSERT_NE(fieldName(f.control), nullptr);
        const std::string_view group = f.model.empty() ? f.preset.name : f.model;
        const std::string model = group.empty() ? "" : std::string(group) + "-";
        EXPECT_EQ(model + std::string(fieldName(f.control)->name), f.name);
        EXPECT_NE(ops::operationFor(f.read), nullptr);
        if (f.write.empty()) continue;
        EXPECT_NE(ops::operationFor(f.write), nullptr);
        EXPECT_EQ(model + std::string(fieldName(f.target)->name), f.name);
    }
    const auto rows = ops::config::fieldRows();
    for (const ops::config::Model& m : ops::config::models())
        EXPECT_TRUE(std::ranges::any_of(rows, [&](auto& f) { return f.model == m.name; }))
            << m.name;
}

TEST(ConfigFiles, SaveChangeCompareRestoreCompare) {
    Sim sim;
    const std::string saved = path("universal.json");
    ASSERT_EQ(cli(sim, {"save", saved}).exit, kOk);
    ASSERT_EQ(cli(sim, {"write-tag", "NEW-TAG", "PRESSURE XMTR", "2019-06-15"}).exit, kOk);
    ASSERT_EQ(cli(sim, {"write-damping", "2.5"}).exit, kOk);

    Ran r = cli(sim, {"compare", saved});
    EXPECT_EQ(r.exit, kDifferent);
    EXPECT_EQ(r.out,
              "tag: file \"PT-101\", instrument \"NEW-TAG\"\n"
              "variable-0-damping: file \"0.5\", instrument \"2.5\"\n"  // the PV's
              "damping: file \"0.5\", instrument \"2.5\"\n");
    r = cli(sim, {"restore", saved, "--yes"});
    EXPECT_EQ(r.exit, kOk) << r.err;
    EXPECT_NE(r.out.find("written: tag, variable-0-damping, damping"), std::string::npos) << r.out;
    r = cli(sim, {"compare", saved});
    EXPECT_EQ(r.exit, kOk) << r.out;
    EXPECT_EQ(r.out, "");

    // The saved file is whole: it parses, and no temporary file is left beside it.
    EXPECT_TRUE(ops::config::load(saved).record.has_value());
    EXPECT_EQ(cli(sim, {"compare", saved, saved}).exit, kOk);
    EXPECT_EQ(cli(sim, {"report", path("report.pdf")}).exit, kOk);
    EXPECT_EQ(contents(path("report.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(cli(sim, {"report", path("report.pdf"), "--loop-check", saved}).exit, kRefused);

    // Another model: refused without --replace and nothing written; with it, written.
    r = cli(sim, {"--address", "1", "restore", saved, "--yes"});
    EXPECT_EQ(r.exit, kRefused);
    EXPECT_NE(r.err.find("another instrument"), std::string::npos) << r.err;
    EXPECT_NE(cli(sim, {"--address", "1", "read-tag"}).out.find("tag: TT-644 "), std::string::npos);
    const std::string other = written(
        "other.json",
        replaced(replaced(replaced(contents(saved), "\"KPa\"", "\"degc\""), "\"KPa\"", "\"degc\""),
                 "\"polling-address\": \"0\"", "\"polling-address\": \"1\""));
    r = cli(sim, {"--address", "1", "restore", other, "--yes", "--replace"});
    EXPECT_EQ(r.exit, kOk) << r.err;
    EXPECT_NE(r.out.find("written: tag, descriptor"), std::string::npos) << r.out;
}

// A failing as found, the trims and a passing as left, filed in the instrument's report.
TEST(ConfigFiles, TheReportHoldsTheLoopCheck) {
    Sim sim;
    ASSERT_TRUE(sim.command("dac-error 1.01 0.03"));
    const std::string check = path("check.json");
    const std::string readings =
        written("readings", "4.03 8.07 12.11 16.15 20.19\n4.03 20.19\n4 8 12 16 20.01\n");
    ASSERT_EQ(cli(sim, {"loop-check", "--readings", readings, "--yes", "--save", check}).exit, kOk);
    ASSERT_EQ(cli(sim, {"report", path("check.pdf"), "--loop-check", check}).exit, kOk);
    std::string text = testsupport::run({"/usr/bin/pdftotext", path("check.pdf"), "-"}).out;
    std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
    for (const char* t : {"四、回路测试", "+1.188不合格", "4mA实测4.03mA;20mA实测20.19mA", "20.01"})
        EXPECT_NE(text.find(t), std::string::npos) << t;
}

TEST(ConfigFiles, ARefusedWriteStopsTheRestoreAndSaysWhatWasWritten) {
    Sim sim;
    const std::string saved = path("refused.json");
    ASSERT_EQ(cli(sim, {"save", saved}).exit, kOk);
    const std::string tagged =
        written("tagged.json", replaced(contents(saved), "\"tag\": \"", "\"tag\": \"X"));
    const std::string bad =
        written("bad.json", replaced(contents(tagged), "\"damping\": \"", "\"damping\": \"9"));
    const Ran r = cli(sim, {"restore", bad, "--yes"});
    EXPECT_EQ(r.exit, kFailureCode);
    EXPECT_NE(r.err.find("writing damping (write-damping) failed: response code"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("written before it: tag"), std::string::npos) << r.err;
    EXPECT_EQ(cli(sim, {"compare", tagged}).exit, kOk);
}

TEST(ConfigFiles, FilesThatAreNoConfigurationAreRefusedBeforeAnythingIsSent) {
    Sim sim;
    const std::string saved = path("good.json");
    ASSERT_EQ(cli(sim, {"save", saved}).exit, kOk);
    const std::string text = contents(saved);
    const struct {
        const char* name;
        std::string text;
        const char* message;
    } cases[] = {
        {"truncated", text.substr(0, text.size() / 2), "ends early"},
        {"field", replaced(text, "\"damping\"", "\"dampening\""), "no field \"dampening\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = written(std::string(c.name) + ".json", c.text);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"compare", file}, {"restore", file, "--yes"}}) {
            const Ran r = cli(sim, args);
            EXPECT_EQ(r.exit, kRefused);
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("nothing was sent"), std::string::npos) << r.err;
            EXPECT_EQ(r.err.find(" TX "), std::string::npos) << "sent a frame";
        }
    }
}

}  // namespace
}  // namespace cli
