// The report's pages as a reader gets them (pdftotext): every page footed with its number and
// the tag, values in full with plain units, one date, and the loop check when there is one.
#include "report/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "testing/process.h"

namespace report {
namespace {

namespace lc = ops::loopcheck;

ops::config::Record configuration() {
    ops::config::Record r = ops::config::recordOf({{"manufacturer-id", "38"},
                                                   {"device-type", "6"},
                                                   {"device-id", "4660"},
                                                   {"tag", "PT-101"},
                                                   {"year", "2019"},
                                                   {"month", "6"},
                                                   {"day", "15"},
                                                   {"range-unit", "KPa"},
                                                   {"upper-range", "100"},
                                                   {"pv", "43.3"},
                                                   {"pv-unit", "09_KPa"},
                                                   {"sv", "24.0"},
                                                   {"sv-unit", "12_摄氏度  "},
                                                   {"percent-of-range", "40."}},
                                                  "2026-12-09T15:40:00Z", "hart-cli 1.0.0");
    r.numbers = {{"pv", double(43.30476f)}, {"percent-of-range", double(40.12345f)}};
    r.about = {{"hart-revision", "5"}, {"device-status", "8"}};
    return r;
}

// Units and captions as the window has them for the fields used here.
Label label(std::string_view field) {
    if (field == "pv" || field == "sv") return {"", "", std::string(field) + "-unit"};
    if (field == "upper-range") return {"量程上限", "", "range-unit"};
    if (field == "percent-of-range") return {"", "%", ""};
    return {};
}

lc::Record loopCheck(std::size_t points) {
    lc::Record c;
    c.instrument = {{"manufacturer-id", "38"}, {"device-type", "6"}, {"device-id", "4660"}};
    c.range = lc::Range{0, 100, "KPa"};
    c.outcome = lc::Outcome::Passed;
    for (std::size_t i = 0; i < points; ++i) {
        const double set = 4 + 16.0 / static_cast<double>(points - 1) * static_cast<double>(i);
        // As a meter shows them: to the µA.
        const auto read = [&](double error) { return std::round((set + error) * 1000) / 1000; };
        c.asFound.push_back(lc::loopPoint(set, read(0.03), 0.1));
        c.asLeft.push_back(lc::loopPoint(set, read(0.001), 0.1));
    }
    c.trim = lc::Trim{4.03, 20.03};
    return c;
}

// Each page's text, blanks dropped (pdftotext spaces Chinese as it likes).
std::vector<std::string> pages(const std::string& pdf) {
    std::vector<std::string> out;
    for (int n = 1;; ++n) {
        const auto r = testsupport::run(
            {"/usr/bin/pdftotext", "-f", std::to_string(n), "-l", std::to_string(n), pdf, "-"});
        if (r.exit != 0) return out;
        std::string text = r.out;
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
        out.push_back(text);
    }
}

TEST(Report, PagesAreFootedAndHoldTheValuesInFull) {
    const ops::config::Record record = configuration();
    const lc::Record small = loopCheck(5), large = loopCheck(41);
    struct Case {
        const lc::Record* check;
        std::size_t pages;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {nullptr,
         1,
         {"Rosemount(38)", "4660(0x001234)", "回路电流固定", "2019-06-15", "43.30476kPa", "24.0℃",
          "40.12345%", "量程上限100kPa", "2026-12-09"}},
        {&small,
         2,
         {"四、回路测试", "校前(asfound)", "+0.188不合格", "校后(asleft)", "设定值(mA)"}},
        {&large, 4, {"4mA实测4.03mA;20mA实测20.03mA", "调试人员", "验收人员"}},
    };
    const std::string file = ::testing::TempDir() + "report.pdf";
    for (const Case& c : cases) {
        ASSERT_EQ(writePdf(file, record, label, c.check), "");
        const std::vector<std::string> text = pages(file);
        ASSERT_EQ(text.size(), c.pages);
        std::string all;
        for (std::size_t n = 0; n < text.size(); ++n) {
            EXPECT_NE(text[n].find("第" + std::to_string(n + 1) + "页/共" +
                                   std::to_string(c.pages) + "页"),
                      std::string::npos);
            EXPECT_NE(text[n].find("标记:PT-101"), std::string::npos);
            all += text[n];
        }
        for (const std::string& t : c.texts) EXPECT_NE(all.find(t), std::string::npos) << t;
        for (const char* cut : {"09_KPa", "摄氏度", "43.3kPa", "40.%", "年"})
            EXPECT_EQ(all.find(cut), std::string::npos) << cut;
    }
}

TEST(Report, ALoopCheckOfAnotherInstrumentIsNotFiled) {
    lc::Record other = loopCheck(5);
    other.instrument["device-id"] = "4661";
    const std::string file = ::testing::TempDir() + "other.pdf";
    EXPECT_NE(writePdf(file, configuration(), label, &other).find("another instrument"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace report
