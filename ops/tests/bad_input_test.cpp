// Every control every operation reads, given what a user can type or paste: each request is
// refused with a message and nothing to send, or is a well-formed frame.
#include <gtest/gtest.h>

#include <set>

#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

namespace ops {
namespace {

// The valid controls, one of them replaced; records what a build reads.
class Probe final : public Controls {
  public:
    explicit Probe(const ControlValues& base) : base_(base) {}

    std::string text(std::string_view name) const override {
        read_.insert(std::string(name));
        return name == name_ && text_ ? *text_ : base_.text(name);
    }
    int index(std::string_view name) const override {
        read_.insert(std::string(name));
        return name == name_ && index_ ? *index_ : base_.index(name);
    }
    bool checked(std::string_view name) const override {
        read_.insert(std::string(name));
        return base_.checked(name);
    }

    void replace(std::string name, std::optional<std::string> text, std::optional<int> index) {
        name_ = std::move(name);
        text_ = std::move(text);
        index_ = index;
    }
    const std::set<std::string>& read() const { return read_; }

  private:
    const ControlValues& base_;
    std::string name_;
    std::optional<std::string> text_;
    std::optional<int> index_;
    mutable std::set<std::string> read_;
};

const std::vector<std::string>& badTexts() {
    static const std::vector<std::string> texts = {
        "",
        "   ",
        "abc",
        std::string(10000, '7'),
        "1e39",
        "99999999999",
        "-1",
        "\xE6\xB8\xA9\xE5\xBA\xA6",  // 温度
        std::string("\t\x01\x7F", 3),
        "1,5",
    };
    return texts;
}

constexpr int kBadIndexes[] = {-1, 999};

void expectSafe(const Request& r, const std::string& what) {
    SCOPED_TRACE(what);
    if (!r.refusal.empty()) {
        EXPECT_EQ(r.frame.size(), 0u);
        EXPECT_EQ(r.pending.tag, hart::kNoTag);
        return;
    }
    const auto bytes = r.frame.bytes();
    ASSERT_GE(bytes.size(), 5u);
    ASSERT_LE(bytes.size(), 17u + hart::kMaxLongData);
    EXPECT_EQ(hart::checkByte(bytes.first(bytes.size() - 1)), bytes.back());
    if (bytes.size() >= 17 && bytes[8] == hart::kLongDelimiter) {
        EXPECT_EQ(bytes[15], bytes.size() - 17);  // the byte count covers the data exactly
    }
}

TEST(BadInput, EveryControlReadByEveryOperation) {
    const ControlValues valid = testing::validControls();
    int refused = 0;
    int sent = 0;
    for (const Operation& op : operations()) {
        Probe probe(valid);
        Session first;
        build(op, probe, first);
        for (const std::string& name : probe.read()) {
            auto cases = [&](auto&& each) {
                for (const std::string& t : badTexts()) each(std::optional(t), std::nullopt);
                for (int i : kBadIndexes) each(std::nullopt, std::optional(i));
            };
            cases([&](std::optional<std::string> text, std::optional<int> index) {
                Probe bad(valid);
                bad.replace(name, text, index);
                Session session;
                const Request r = build(op, bad, session);
                expectSafe(r, std::string(op.control) + " " + name + " = " +
                                  (text ? text->substr(0, 12) : std::to_string(*index)));
                (r.refusal.empty() ? sent : refused)++;
            });
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(sent, 0);
}

// A number box given anything but a number refuses: nothing reaches the instrument.
TEST(BadInput, NumberBoxesRefuseEverythingButNumbers) {
    const ControlValues valid = testing::validControls();
    const std::pair<const char*, const char*> boxes[] = {
        {"Button10", "Edit16"}, {"Button12", "Edit14"}, {"Button12", "Edit15"},
        {"Button15", "Edit9"},  {"Button30", "Edit10"}, {"Button24", "Edit13"},
        {"Button31", "Edit19"}, {"Button39", "Edit26"}, {"Button37", "Edit28"},
    };
    for (const auto& [control, box] : boxes) {
        for (const std::string& t : badTexts()) {
            const bool integerBox = std::string(box) == "Edit26" || std::string(box) == "Edit28";
            if (!integerBox && (t == "-1" || t == "99999999999")) {
                continue;  // numbers all the same: the instrument judges their range
            }
            Probe bad(valid);
            bad.replace(box, t, std::nullopt);
            Session session;
            EXPECT_NE(build(control, bad, session).refusal, "")
                << control << " " << box << " = " << t.substr(0, 12);
        }
    }
}

}  // namespace
}  // namespace ops
