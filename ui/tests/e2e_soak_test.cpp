// A soak of read transactions through the real window, link, tracker and decoders against the
// simulator, its faults switched at random. Every outcome is the instrument's values or a
// failure or timeout text; a success never shows other values. HART_SOAK_TRANSACTIONS sets
// the count (scripts/soak runs thousands).
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>

#include "ui/tests/e2e_fixture.h"

namespace ui {
namespace {

struct Read {
    const char* button;
    std::vector<const char*> fields;  // what its decoder fills
};

// Reads of settings, which stay put while the soak runs; the last three hold the window for
// 200 ms after their write and come up less often, to keep a long soak short.
const std::vector<Read> kReads = {
    {"Button3", {"Edit1", "Edit2", "Edit3", "Edit4"}},
    {"Button5", {"Edit11", "Edit12", "ComboBox10"}},
    {"Button13", {"Edit14", "Edit15", "Edit16", "ComboBox1", "ComboBox2", "Label51"}},
    {"Button38", {"Edit26"}},
    {"Button32", {"Edit22", "Edit23", "Edit24", "Edit25", "Edit29"}},
    {"Button28", {"Edit21"}},
};
constexpr std::size_t kUnpaused = 3;

// Switches the simulator takes; "delay" answers after the response timeout.
const std::vector<std::string> kFaults = {"",       "garbage", "split",     "badcheck",
                                          "silent", "busy",    "delay 0.15"};

class Soak : public EndToEnd {
  protected:
    std::string shown(const char* control) {
        if (auto* c = window->control<QComboBox>(control)) return std::to_string(c->currentIndex());
        return text(control).toStdString();
    }
    std::vector<std::string> values(const Read& r) {
        std::vector<std::string> out;
        for (const char* f : r.fields) out.push_back(shown(f));
        return out;
    }
    // The outcome of one click: the first final text on the status line.
    QString transact(const Read& r) {
        click(r.button);
        QString outcome;
        (void)QTest::qWaitFor(
            [&] {
                const QString status = text("Label68");
                const bool final = status == kReadOk || status == kReadFailed ||
                                   status == kReadTimeout ||
                                   status == QStringLiteral("仪表一直忙,已重发10次!");
                if (final && !window->timer2().isActive()) outcome = status;
                return !outcome.isEmpty();
            },
            kWaitMs);
        return outcome;
    }
    void fault(const std::string& name, bool on) {
        if (name.empty()) return;
        const std::string line =
            name.starts_with("delay") ? (on ? name : "delay 0") : name + (on ? " on" : " off");
        ASSERT_TRUE(sim->command(line)) << line;
    }
};

TEST_F(Soak, EveryOutcomeIsTheInstrumentsValuesOrAFailure) {
    const char* env = std::getenv("HART_SOAK_TRANSACTIONS");
    const int transactions = env != nullptr ? std::atoi(env) : 300;
    start();
    window->timer2().setInterval(10);   // the parse tick and the line's idle time are what
    window->timer3().setInterval(100);  // a transaction costs here; the logic stays the same
    window->resendTimer().setInterval(10);
    click("Button1");
    window->comm().setReadIntervalTimeout(5);
    click("Button1");
    ASSERT_TRUE(window->portOpen());

    std::map<std::string, std::vector<std::string>> truth;
    for (const Read& r : kReads) {
        ASSERT_EQ(transact(r), kReadOk) << r.button;
        truth[r.button] = values(r);
    }

    std::mt19937 random(20261208);
    std::map<std::string, int> counts;
    std::string current;
    for (int i = 0; i < transactions; ++i) {
        const Read& r = random() % 8 == 0
                            ? kReads[kUnpaused + random() % (kReads.size() - kUnpaused)]
                            : kReads[random() % kUnpaused];
        // Half the transactions run on a clean line.
        const std::string next = random() % 2 == 0 ? "" : kFaults[random() % kFaults.size()];
        if (next != current) {
            fault(current, false);
            fault(next, true);
            current = next;
        }
        const QString outcome = transact(r);
        ASSERT_FALSE(outcome.isEmpty()) << "transaction " << i << " never ended";
        if (outcome == kReadOk) {
            ASSERT_EQ(values(r), truth[r.button])
                << "transaction " << i << " " << r.button << " under '" << current << "'";
        }
        ++counts[(current.empty() ? "clean" : current) + ": " + outcome.toStdString()];
    }
    for (const auto& [what, n] : counts) std::cout << "  " << n << "\t" << what << "\n";
}

}  // namespace
}  // namespace ui
