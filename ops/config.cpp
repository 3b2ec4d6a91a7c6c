#include "ops/config.h"

#include <algorithm>

#include "hart/tr.h"
#include "ops/discovery.h"
#include "ops/hart7.h"
#include "ops/items.h"
#include "ops/operation.h"

namespace ops::config {

using hart::Tr;
namespace {

using P = Part;
namespace h7 = hart7;

// A setting of the later revisions' or common-practice commands, written back through the
// control it is read into; `preset` names the device variable or burst message.
constexpr FieldRow later(std::string_view name, std::string_view read, std::string_view control,
                         std::string_view write, Preset preset = {}) {
    return {name, P::Setting, read, control, write, control, {}, preset, true};
}

constexpr Preset kVariable0{"variable-0", h7::kVariableCodeEdit, "0"};
constexpr Preset kVariable1{"variable-1", h7::kVariableCodeEdit, "1"};
constexpr Preset kVariable2{"variable-2", h7::kVariableCodeEdit, "2"};
constexpr Preset kVariable3{"variable-3", h7::kVariableCodeEdit, "3"};
constexpr Preset kBurst0{"burst-0", h7::kBurstMessageEdit, "0"};
constexpr Preset kBurst1{"burst-1", h7::kBurstMessageEdit, "1"};
constexpr Preset kBurst2{"burst-2", h7::kBurstMessageEdit, "2"};

// The fields of one burst message; its on/off goes last, once the message is set up.
#define HART_BURST_FIELDS(N)                                                                      \
    later("burst-" #N "-command", h7::kReadBurstConfigButton, h7::kBurstCommandEdit,              \
          h7::kWriteBurstCommandButton, kBurst##N),                                               \
        later("burst-" #N "-device-variables", h7::kReadBurstConfigButton,                        \
              h7::kBurstVariablesEdit, h7::kWriteBurstVariablesButton, kBurst##N),                \
        later("burst-" #N "-update-period", h7::kReadBurstConfigButton,                           \
              h7::kBurstUpdatePeriodEdit, h7::kWriteBurstPeriodButton, kBurst##N),                \
        later("burst-" #N "-maximum-period", h7::kReadBurstConfigButton, h7::kBurstMaxPeriodEdit, \
              h7::kWriteBurstPeriodButton, kBurst##N),                                            \
        later("burst-" #N "-trigger-mode", h7::kReadBurstConfigButton, h7::kBurstTriggerModeBox,  \
              h7::kWriteBurstTriggerButton, kBurst##N),                                           \
        later("burst-" #N "-trigger-classification", h7::kReadBurstConfigButton,                  \
              h7::kBurstTriggerClassEdit, h7::kWriteBurstTriggerButton, kBurst##N),               \
        later("burst-" #N "-trigger-unit", h7::kReadBurstConfigButton, h7::kBurstTriggerUnitBox,  \
              h7::kWriteBurstTriggerButton, kBurst##N),                                           \
        later("burst-" #N "-trigger-level", h7::kReadBurstConfigButton,                           \
              h7::kBurstTriggerLevelEdit, h7::kWriteBurstTriggerButton, kBurst##N),               \
        later("burst-" #N "-burst-mode", h7::kReadBurstConfigButton, h7::kBurstControlBox,        \
              h7::kWriteBurstControlButton, kBurst##N)

// Reads run in the order their first field appears, writes likewise: the polling address goes
// last, since later frames of the restore still poll the address the instrument answered at.
// The serial number is read from the identity reply, which a serial write does not change,
// so it is kept but never restored. No operation reads the burst command back, so no file
// holds it. A named instrument's settings come after the universal ones; the 848T's (four
// channels) and the E+H transmitter's (per sensor) are not held.
constexpr FieldRow kFields[] = {
    {"manufacturer-id", P::Identity, "Button3", "Edit1"},
    {"device-type", P::Identity, "Button3", "Edit2"},
    {"device-id", P::Identity, "Button3", "Edit4"},
    {"tag", P::Setting, "Button32", "Edit22", "Button33", "Edit22"},
    {"descriptor", P::Setting, "Button32", "Edit23", "Button33", "Edit23"},
    {"year", P::Setting, "Button32", "Edit24", "Button33", "Edit24"},
    {"month", P::Setting, "Button32", "Edit25", "Button33", "Edit25"},
    {"day", P::Setting, "Button32", "Edit29", "Button33", "Edit29"},
    {"message", P::Setting, "Button28", "Edit21", "Button29", "Edit21"},
    {"final-assembly", P::Setting, "Button38", "Edit26", "Button39", "Edit26"},
    {"serial-number", P::Setting, "Button7", "Edit28"},
    later("long-tag", h7::kReadLongTagButton, h7::kLongTagEdit, h7::kWriteLongTagButton),
    later("process-unit-tag", h7::kReadProcessUnitTagButton, h7::kProcessUnitTagEdit,
          h7::kWriteProcessUnitTagButton),
    // The mapping goes before the range: a restore then ranges the variable the file's PV is.
    later("pv-variable", h7::kReadMappingButton, h7::kMappingEdits[0], h7::kWriteMappingButton),
    later("sv-variable", h7::kReadMappingButton, h7::kMappingEdits[1], h7::kWriteMappingButton),
    later("tv-variable", h7::kReadMappingButton, h7::kMappingEdits[2], h7::kWriteMappingButton),
    later("qv-variable", h7::kReadMappingButton, h7::kMappingEdits[3], h7::kWriteMappingButton),
    later("variable-0-unit", h7::kReadVariableInfoButton, h7::kVariableUnitBox,
          h7::kWriteVariableUnitButton, kVariable0),
    later("variable-0-damping", h7::kReadVariableInfoButton, h7::kVariableDampingEdit,
          h7::kWriteVariableDampingButton, kVariable0),
    later("variable-1-unit", h7::kReadVariableInfoButton, h7::kVariableUnitBox,
          h7::kWriteVariableUnitButton, kVariable1),
    later("variable-1-damping", h7::kReadVariableInfoButton, h7::kVariableDampingEdit,
          h7::kWriteVariableDampingButton, kVariable1),
    later("variable-2-unit", h7::kReadVariableInfoButton, h7::kVariableUnitBox,
          h7::kWriteVariableUnitButton, kVariable2),
    later("variable-2-damping", h7::kReadVariableInfoButton, h7::kVariableDampingEdit,
          h7::kWriteVariableDampingButton, kVariable2),
    later("variable-3-unit", h7::kReadVariableInfoButton, h7::kVariableUnitBox,
          h7::kWriteVariableUnitButton, kVariable3),
    later("variable-3-damping", h7::kReadVariableInfoButton, h7::kVariableDampingEdit,
          h7::kWriteVariableDampingButton, kVariable3),
    {"range-unit", P::Setting, "Button13", "ComboBox1", "Button12", "ComboBox1"},
    {"upper-range", P::Setting, "Button13", "Edit14", "Button12", "Edit14"},
    {"lower-range", P::Setting, "Button13", "Edit15", "Button12", "Edit15"},
    {"damping", P::Setting, "Button13", "Edit16", "Button10", "Edit16"},
    {"transfer-function", P::Setting, "Button13", "ComboBox2", "Button14", "ComboBox2"},
    {"sensor-upper-limit", P::Setting, "Button5", "Edit11"},
    {"sensor-lower-limit", P::Setting, "Button5", "Edit12"},
    {"sensor-limits-unit", P::Setting, "Button5", "ComboBox10"},
    HART_BURST_FIELDS(0),
    HART_BURST_FIELDS(1),
    HART_BURST_FIELDS(2),
    {"644-sensor-type", P::Setting, "Button35", "ComboBox17", "Button36", "ComboBox17", "644"},
    {"644-wiring", P::Setting, "Button35", "ComboBox18", "Button36", "ComboBox18", "644"},
    {"644rk-sensor-type", P::Setting, "Button70", "ComboBox36", "Button69", "ComboBox36", "644rk"},
    {"644rk-wiring", P::Setting, "Button70", "ComboBox35", "Button69", "ComboBox35", "644rk"},
    {"yokogawa-sensor-type", P::Setting, "Button52", "HengHeTX", "Button53", "HengHeTX",
     "yokogawa"},
    {"yokogawa-wiring", P::Setting, "Button52", "HengHeFS", "Button53", "HengHeFS", "yokogawa"},
    {"yokogawa-wire-resistance", P::Setting, "Button54", "HengHeJXIAN", "Button55", "HengHeJXIAN",
     "yokogawa"},
    {"siemens-sensor-type", P::Setting, "Button2", "ComboBox7", "Button11", "ComboBox7", "siemens"},
    {"tt50c-sensor-type", P::Setting, "Button63", "TT50NEXING", "Button64", "TT50NEXING", "tt50c"},
    {"tt50c-wiring", P::Setting, "Button63", "TT50WAR", "Button64", "TT50WAR", "tt50c"},
    {"tth200-sensor-type", P::Setting, "Button68", "ABBTTH200NEIXING", "Button67",
     "ABBTTH200NEIXING", "tth200"},
    {"tth200-wiring", P::Setting, "Button68", "ABBTTH200WAY", "Button67", "ABBTTH200WAY", "tth200"},
    {"300smv-variable1", P::Setting, "Button44", "ComboBox23", "Button45", "ComboBox23", "300smv"},
    {"300smv-variable2", P::Setting, "Button44", "ComboBox24", "Button45", "ComboBox24", "300smv"},
    {"300smv-variable3", P::Setting, "Button44", "ComboBox25", "Button45", "ComboBox25", "300smv"},
    {"300smv-variable4", P::Setting, "Button44", "ComboBox26", "Button45", "ComboBox26", "300smv"},
    {"300smv-display-differential-pressure", P::Setting, "Button47", "ComboBox27", "Button46",
     "ComboBox27", "300smv"},
    {"300smv-display-absolute-pressure", P::Setting, "Button47", "ComboBox28", "Button46",
     "ComboBox28", "300smv"},
    {"300smv-display-gage-pressure", P::Setting, "Button47", "ComboBox29", "Button46", "ComboBox29",
     "300smv"},
    {"300smv-display-output-percent", P::Setting, "Button47", "ComboBox30", "Button46",
     "ComboBox30", "300smv"},
    {"300smv-display-module-temperature", P::Setting, "Button47", "ComboBox31", "Button46",
     "ComboBox31", "300smv"},
    {"300smv-display-process-temperature", P::Setting, "Button47", "ComboBox32", "Button46",
     "ComboBox32", "300smv"},
    {"300smv-display-totalizer", P::Setting, "Button47", "ComboBox33", "Button46", "ComboBox33",
     "300smv"},
    {"300smv-display-flow-rate", P::Setting, "Button47", "ComboBox34", "Button46", "ComboBox34",
     "300smv"},
    {"eja-display-line1", P::Setting, "Button48", "EJAXIANS1", "Button49", "EJAXIANS1", "eja"},
    {"eja-display-line2", P::Setting, "Button48", "EJAXIANS2", "Button49", "EJAXIANS2", "eja"},
    {"eja-display-line3", P::Setting, "Button48", "EJAXIANS3", "Button49", "EJAXIANS3", "eja"},
    {"eja-display-line4", P::Setting, "Button48", "EJAXIANS4", "Button49", "EJAXIANS4", "eja"},
    {"polling-address", P::Setting, "Button3", "ComboBox9", "Button27", "ComboBox3"},
    {"current", P::Live, "Button34", "Edit6"},
    {"percent-of-range", P::Live, "Button34", "Edit20"},
    {"pv", P::Live, "Button4", "Edit5"},
    {"pv-unit", P::Live, "Button4", "ComboBox5"},
    {"sv", P::Live, "Button4", "Edit17"},
    {"sv-unit", P::Live, "Button4", "ComboBox15"},
    {"tv", P::Live, "Button4", "Edit18"},
    {"tv-unit", P::Live, "Button4", "ComboBox16"},
    {"qv", P::Live, "Button4", "Edit30"},
    {"qv-unit", P::Live, "Button4", "ComboBox6"},
};

#undef HART_BURST_FIELDS

constexpr Model kModels[] = {
    {"644", Tr::tr("罗斯蒙特 644")},        {"644rk", Tr::tr("罗斯蒙特 644RK")},
    {"yokogawa", Tr::tr("横河温度变送器")}, {"siemens", Tr::tr("西门子温度变送器")},
    {"tt50c", Tr::tr("科隆 TT50C")},        {"tth200", "ABB TTH200"},
    {"300smv", Tr::tr("罗斯蒙特 300SMV")},  {"eja", Tr::tr("横河 EJA")},
};

constexpr std::string_view kIdentityRead = "Button3";

// The write that changes the polling address also moves where later polls go.
constexpr std::string_view kAddressWrite = "Button27";
constexpr std::string_view kPolledBox = "ComboBox9";
constexpr std::string_view kNewAddressBox = "ComboBox3";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

template <class T>
bool contains(const std::vector<T>& v, std::string_view s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

bool samePreset(Preset a, Preset b) {
    return a.name == b.name;
}

// Response codes that say the instrument lacks the command or the variable or message asked.
constexpr int kNotImplemented = 64;
constexpr int kInvalidSelection = 2;
constexpr int kInvalidBurstMessage = 9;

template <class Row, std::size_t N>
const Row* byName(const Row (&rows)[N], std::string_view name) {
    const auto it = std::find_if(std::begin(rows), std::end(rows),
                                 [&](const Row& r) { return r.name == name; });
    return it == std::end(rows) ? nullptr : &*it;
}

}  // namespace

std::span<const FieldRow> fieldRows() {
    return kFields;
}

const FieldRow* findField(std::string_view name) {
    return byName(kFields, name);
}

std::span<const Model> models() {
    return kModels;
}

const Model* findModel(std::string_view name) {
    return byName(kModels, name);
}

std::vector<std::string_view> modelsOf(const Values& values) {
    std::vector<std::string_view> out;
    for (const FieldRow& f : kFields) {
        if (!f.model.empty() && values.contains(f.name) && !contains(out, f.model))
            out.push_back(f.model);
    }
    return out;
}

std::string_view modelOf(const Values& values) {
    const auto all = modelsOf(values);
    return all.size() == 1 ? all.front() : std::string_view();
}

// --- the controls

std::string ControlStore::text(std::string_view name) const {
    const auto it = texts_.find(name);
    return it == texts_.end() ? std::string() : it->second;
}

int ControlStore::index(std::string_view name) const {
    const auto it = indexes_.find(name);
    return it == indexes_.end() ? -1 : it->second;
}

bool ControlStore::checked(std::string_view name) const {
    const auto it = checks_.find(name);
    return it != checks_.end() && it->second;
}

void ControlStore::setText(std::string_view name, std::string value) {
    texts_[std::string(name)] = std::move(value);
}

void ControlStore::setIndex(std::string_view name, int index) {
    indexes_[std::string(name)] = index;
}

void ControlStore::apply(const hart::Update& u) {
    switch (u.kind) {
        case hart::Update::Kind::Text:
            setText(u.control, u.text);
            if (u.number)
                numbers_[u.control] = *u.number;
            else
                numbers_.erase(u.control);
            break;
        case hart::Update::Kind::Select:
            setIndex(u.control, u.value);
            break;
        case hart::Update::Kind::Check:
            checks_[u.control] = u.value != 0;
            break;
        case hart::Update::Kind::Enable:
            break;
    }
}

std::string ControlStore::value(std::string_view control) const {
    const auto items = boxItems(control);
    if (items.empty()) {
        std::string t = text(control);
        while (!t.empty() && t.back() == ' ') t.pop_back();
        return t;
    }
    const int i = index(control);
    if (i < 0 || static_cast<std::size_t>(i) >= items.size()) return {};
    return std::string(trimmed(items[static_cast<std::size_t>(i)]));
}

std::optional<double> ControlStore::number(std::string_view control) const {
    const auto it = numbers_.find(control);
    if (it == numbers_.end()) return std::nullopt;
    return it->second;
}

bool ControlStore::setValue(std::string_view control, std::string_view value) {
    const auto items = boxItems(control);
    if (items.empty()) {
        setText(control, std::string(value));
        return true;
    }
    // The first item of that text: the one its value was taken from.
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (trimmed(items[i]) == value && !value.empty()) {
            setIndex(control, static_cast<int>(i));
            return true;
        }
    }
    return false;
}

// --- the driver

std::vector<std::string> toWrite(const Values& file, const Values& instrument) {
    std::vector<std::string> out;
    for (const FieldRow& f : kFields) {
        if (f.write.empty()) continue;
        const auto in = file.find(f.name);
        if (in == file.end()) continue;
        const auto now = instrument.find(f.name);
        // An instrument without the command would refuse the write.
        if (now == instrument.end() && f.optional) continue;
        if (now == instrument.end() || now->second != in->second) out.emplace_back(f.name);
    }
    return out;
}

Driver::Planned& Driver::stepFor(Step::Kind kind, std::string_view control, Preset preset,
                                 std::size_t from) {
    const auto it = std::find_if(
        plan_.begin() + static_cast<long>(from), plan_.end(),
        [&](const Planned& p) { return p.control == control && samePreset(p.preset, preset); });
    if (it != plan_.end()) return *it;
    plan_.push_back({kind, std::string(control), {}, preset, {}});
    return plan_.back();
}

Driver Driver::reading(ControlStore controls, bool live, std::string_view model) {
    Driver d(std::move(controls));
    for (const FieldRow& f : kFields) {
        if ((f.part == P::Live && !live) || (!f.model.empty() && f.model != model)) continue;
        d.stepFor(Step::Kind::Read, f.read, f.preset).fields.emplace_back(f.name);
    }
    return d;
}

Driver Driver::readingFor(ControlStore controls, const Values& file) {
    return reading(std::move(controls), false, modelOf(file));
}

Driver Driver::restoring(ControlStore controls, const Values& file, const Values& instrument) {
    Driver d(std::move(controls));
    d.file_ = file;
    const std::vector<std::string> changed = toWrite(file, instrument);
    for (const FieldRow& f : kFields) {
        if (!contains(changed, f.name)) continue;
        const std::size_t before = d.plan_.size();
        Planned& p = d.stepFor(Step::Kind::Write, f.write, f.preset);
        if (d.plan_.size() == before) continue;
        // A write sends all its fields: those the file leaves as they are go as read.
        for (const FieldRow& g : kFields) {
            if (g.write != f.write || !samePreset(g.preset, f.preset)) continue;
            const auto v = file.find(g.name);
            const auto now = instrument.find(g.name);
            std::string value = v != file.end()           ? v->second
                                : now != instrument.end() ? now->second
                                                          : std::string();
            const bool differs = contains(changed, g.name);
            if (differs) p.fields.emplace_back(g.name);
            p.values.push_back({g.target, std::move(value), differs});
        }
    }
    return d;
}

void Driver::planReadBack() {
    readBackPlanned_ = true;
    for (const FieldRow& f : kFields) {
        if (!contains(account_.written, f.name)) continue;
        stepFor(Step::Kind::ReadBack, f.read, f.preset, done_).fields.emplace_back(f.name);
    }
}

std::optional<Step> Driver::next(Session& session) {
    if (account_.stopped || account_.cancelled || waiting_) return std::nullopt;
    if (done_ == plan_.size() && !readBackPlanned_ && !account_.written.empty()) planReadBack();
    if (done_ == plan_.size()) return std::nullopt;
    const Planned& p = plan_[done_];
    Step s{p.kind, p.control, p.fields, {}};
    if (!p.preset.control.empty()) controls_.setValue(p.preset.control, p.preset.value);
    for (const Planned::Value& v : p.values) {
        // Left without an item: the write's builder refuses it, nothing is sent.
        if (!controls_.setValue(v.target, v.value) && v.changed) controls_.setIndex(v.target, -1);
    }
    // The identity read is the poll that finds the instrument at the chosen address.
    s.request = p.control == kIdentityRead ? pollChosen(controls_, session)
                                           : build(p.control, controls_, session);
    waiting_ = true;
    return s;
}

void Driver::take(const hart::Outcome& outcome, bool ok, std::string_view why, int code,
                  std::optional<int> deviceStatus) {
    if (!waiting_) return;
    waiting_ = false;
    const Planned& p = plan_[done_];
    for (const hart::Update& u : outcome.updates) controls_.apply(u);
    for (const hart::Outcome::Fact& f : outcome.facts) account_.facts[f.key] = f.text;
    if (deviceStatus) account_.deviceStatus = deviceStatus;
    // An instrument without the command: its optional fields are not held, the drive goes on.
    const auto held = [](const std::string& f) { return !findField(f)->optional; };
    if (!ok && p.kind == Step::Kind::Read &&
        (code == kNotImplemented || code == kInvalidSelection || code == kInvalidBurstMessage) &&
        std::none_of(p.fields.begin(), p.fields.end(), held)) {
        ++done_;
        for (const std::string& f : p.fields) account_.notHeld.push_back(f);
        return;
    }
    if (!ok) {
        account_.stopped = Step{p.kind, p.control, p.fields, {}};
        account_.failure = why.empty() ? outcome.status : std::string(why);
        return;
    }
    ++done_;
    switch (p.kind) {
        case Step::Kind::Read:
            for (const std::string& f : p.fields) {
                const FieldRow& row = *findField(f);
                std::string v = controls_.value(row.control);
                if (row.part == P::Live && v.empty()) continue;  // not every instrument has four
                account_.values[f] = std::move(v);
                if (const auto n = controls_.number(row.control)) account_.numbers[f] = *n;
            }
            break;
        case Step::Kind::Write:
            for (const std::string& f : p.fields) account_.written.push_back(f);
            if (p.control == kAddressWrite)
                controls_.setIndex(kPolledBox, controls_.index(kNewAddressBox));
            break;
        case Step::Kind::ReadBack:
            for (const std::string& f : p.fields) {
                const std::string now = controls_.value(findField(f)->control);
                account_.values[f] = now;
                const auto want = file_.find(f);
                if (want != file_.end() && want->second != now) account_.notTaken.push_back(f);
            }
            break;
    }
}

void Driver::cancel() {
    account_.cancelled = true;
}

}  // namespace ops::config
