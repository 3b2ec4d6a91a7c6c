// Instrument configuration files: the fields a file holds, the controls the operations read
// them from and write them through, and the driver that runs those operations step by step.
// The command line drives it from its synchronous line, the window from its request
// procedure; both see the same steps.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hart/outcome.h"
#include "ops/controls.h"
#include "ops/request.h"
#include "ops/session.h"

namespace ops::config {

enum class Part {
    Identity,  // which instrument the file is of; never written
    Setting,   // the configuration proper
    Live,      // process values at the time, for the report only
};

// A control a step sets before it builds its request: the device variable or burst message a
// read or write of one of several is about. Its fields are named by `name`, a dash and
// hart-cli's name.
struct Preset {
    std::string_view name;  // "variable-0"
    std::string_view control;
    std::string_view value;
};

// One field of a configuration file.
struct FieldRow {
    std::string_view name;  // as hart-cli names the control
    Part part;
    std::string_view read;         // the read operation's button
    std::string_view control;      // the reply control it is taken from
    std::string_view write = {};   // the write operation's button; empty: not restored
    std::string_view target = {};  // the control the write takes the value from
    std::string_view model = {};   // a named instrument's own setting: that model's name
    Preset preset = {};            // set before its read and its write
    // Held only where the instrument has the command (a later revision, or common practice):
    // a read the instrument refuses leaves the field out, and a restore never writes it there.
    bool optional = false;
};

std::span<const FieldRow> fieldRows();
const FieldRow* findField(std::string_view name);

// The named instruments whose own settings a file can hold besides the universal ones; their
// fields are named by the model, a dash and hart-cli's name.
struct Model {
    std::string_view name;  // as hart-sim names it
    std::string_view caption;
};
std::span<const Model> models();
const Model* findModel(std::string_view name);

// Field values by name, as hart-cli shows them: texts without trailing blanks, items by text.
using Values = std::map<std::string, std::string, std::less<>>;

// The models whose own settings the values hold: none for the universal settings only.
std::vector<std::string_view> modelsOf(const Values& values);
// The one model whose settings they hold; empty when none.
std::string_view modelOf(const Values& values);

// Controls held as values: what the requests are built from, and what their replies set.
// Anything never set reads as an empty box, no item, no check.
class ControlStore final : public Controls {
  public:
    std::string text(std::string_view name) const override;
    int index(std::string_view name) const override;
    bool checked(std::string_view name) const override;

    void setText(std::string_view name, std::string value);
    void setIndex(std::string_view name, int index);
    void apply(const hart::Update& update);

    // A control's value as a file holds it.
    std::string value(std::string_view control) const;
    // A number field's value as received, before it was cut to its box; none for other fields.
    std::optional<double> number(std::string_view control) const;
    // Sets a control from a file's value; false when a box has no item of that text.
    bool setValue(std::string_view control, std::string_view value);

  private:
    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, int, std::less<>> indexes_;
    std::map<std::string, bool, std::less<>> checks_;
    std::map<std::string, double, std::less<>> numbers_;
};

// One request of a drive.
struct Step {
    enum class Kind { Read, Write, ReadBack };
    Kind kind = Kind::Read;
    std::string control;              // the operation's button
    std::vector<std::string> fields;  // the fields it reads or writes
    Request request;                  // with a refusal: nothing is to be sent
};

// Number fields by name, as received: what a document prints in full.
using Numbers = std::map<std::string, double, std::less<>>;

// What a drive did.
struct Account {
    Values values;                      // reads: the fields read
    Numbers numbers;                    // reads: those of them that are numbers, uncut
    Values facts;                       // what replies told beyond their fields, by key
    std::optional<int> deviceStatus;    // the field device status of the last reply taken
    std::vector<std::string> written;   // writes the instrument acknowledged, by field
    std::vector<std::string> notTaken;  // written, but read back otherwise
    std::vector<std::string> notHeld;   // optional fields the instrument refused to read
    std::optional<Step> stopped;        // the step that failed, if one did
    std::string failure;                // and why
    bool cancelled = false;
    bool complete() const { return !stopped && !cancelled; }
};

class Driver {
  public:
    // Reads every setting and the identity, the model's own settings when one is named; the
    // live values too when `live`.
    static Driver reading(ControlStore controls, bool live = false, std::string_view model = {});
    // Reads what a file is compared with or restored over: the instrument as the file's model.
    static Driver readingFor(ControlStore controls, const Values& file);
    // Writes the file's settings that differ from what the instrument holds, each write once,
    // in table order, then reads back every field written. The session must know the
    // instrument (a reading drive before).
    static Driver restoring(ControlStore controls, const Values& file, const Values& instrument);

    // The next request, or nothing once done, stopped or cancelled.
    std::optional<Step> next(Session& session);
    // The outcome of the step `next` gave; `ok` says whether the caller counts it done, and
    // `why` what went wrong otherwise; `code`, the response code of a reply that refused it;
    // `deviceStatus` is the reply's, when it held one.
    void take(const hart::Outcome& outcome, bool ok, std::string_view why = {}, int code = 0,
              std::optional<int> deviceStatus = std::nullopt);
    void cancel();

    std::size_t stepsDone() const { return done_; }
    std::size_t stepsPlanned() const { return plan_.size(); }
    const Account& account() const { return account_; }

  private:
    struct Planned {
        Step::Kind kind;
        std::string control;
        std::vector<std::string> fields;
        Preset preset;
        // A write's values by target control; `changed` says whether the file changes it.
        struct Value {
            std::string_view target;
            std::string value;
            bool changed;
        };
        std::vector<Value> values;
    };
    // The step of `control` about `preset` from `from` on, added when there is none yet.
    Planned& stepFor(Step::Kind kind, std::string_view control, Preset preset,
                     std::size_t from = 0);
    explicit Driver(ControlStore controls) : controls_(std::move(controls)) {}
    void planReadBack();

    ControlStore controls_;
    Values file_;
    std::vector<Planned> plan_;
    std::size_t done_ = 0;
    bool waiting_ = false;
    bool readBackPlanned_ = false;
    Account account_;
};

// The settings a restore writes: the file's writable fields whose value differs.
std::vector<std::string> toWrite(const Values& file, const Values& instrument);

}  // namespace ops::config
