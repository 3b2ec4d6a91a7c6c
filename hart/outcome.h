// What a decoded reply means for the window: the status text and the controls it sets.
// Decoders produce this; the window applies it by object name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hart {

struct Update {
    enum class Kind { Text, Select, Check, Enable };
    std::string control;  // object name of the control
    Kind kind = Kind::Text;
    std::string text;  // Kind::Text
    int value = 0;     // Kind::Select: item index (-1 none); Check/Enable: 0 or 1
    // Kind::Text of a number field: the value as received, before it was cut to its box.
    std::optional<double> number = std::nullopt;
};

// How a request ended, whatever its status text says.
enum class Result {
    Done,      // read, or written and taken
    Warning,   // taken with a warning of the instrument
    Failed,    // no readable reply, or a failure response code
    Refused,   // not sent: a value the user gave is not sendable
    TimedOut,  // no reply at all
};

struct Outcome {
    std::string status;  // the one outcome text for the status line
    Result result = Result::Failed;

    void done(std::string_view text) { finish(text, Result::Done); }
    void fail(std::string_view text) { finish(text, Result::Failed); }
    void finish(std::string_view text, Result r) {
        status = text;
        result = r;
    }
    std::vector<Update> updates;
    // What a reply tells beyond the window's controls (a HART 7 device's revision, expanded
    // device type and configuration change counter), by key: the window shows them in its
    // status area, hart-cli as fields.
    struct Fact {
        std::string key;
        std::string text;
    };
    std::vector<Fact> facts;
    bool stopScan = false;  // a decoded command 0 reply ends a running address scan

    void setText(std::string control, std::string text) {
        updates.push_back({std::move(control), Update::Kind::Text, std::move(text), 0});
    }
    void setNumber(std::string control, std::string text, double number) {
        updates.push_back({std::move(control), Update::Kind::Text, std::move(text), 0, number});
    }
    void select(std::string control, int index) {
        updates.push_back({std::move(control), Update::Kind::Select, {}, index});
    }
    void check(std::string control, bool on) {
        updates.push_back({std::move(control), Update::Kind::Check, {}, on ? 1 : 0});
    }
    void fact(std::string key, std::string text) {
        facts.push_back({std::move(key), std::move(text)});
    }
    void enable(std::string control, bool on) {
        updates.push_back({std::move(control), Update::Kind::Enable, {}, on ? 1 : 0});
    }
};

}  // namespace hart
