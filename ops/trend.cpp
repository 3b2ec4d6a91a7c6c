#include "ops/trend.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <utility>

#include "hart/reply.h"
#include "hart/tr.h"
#include "hart/units.h"
#include "hart/wire.h"
#include "ops/operation.h"
#include "ops/session.h"

namespace ops::trend {

using hart::Tr;
namespace {

constexpr Series kSeries[] = {
    {"pv", Tr::tr("动态变量1"), "Edit5", "ComboBox5", {}, "Button4"},
    {"sv", Tr::tr("动态变量2"), "Edit17", "ComboBox15", {}, "Button4"},
    {"tv", Tr::tr("动态变量3"), "Edit18", "ComboBox16", {}, "Button4"},
    {"qv", Tr::tr("动态变量4"), "Edit30", "ComboBox6", {}, "Button4"},
    {"current", Tr::tr("输出电流值"), "Edit6", {}, "mA", "Button34"},
    {"percent-of-range", Tr::tr("输出电流百分比"), "Edit20", {}, "%", "Button34"},
};

constexpr std::string_view kRoundReads[] = {"Button4", "Button34"};

// Command 1, which only bursts send: the primary variable's unit and value.
constexpr Field kPrimary[] = {
    {11, FieldKind::CurrentUnit, "ComboBox5"},
    {12, FieldKind::Float, "Edit5", 8},
};
constexpr FieldDecoder kPrimaryOnly{kPrimary};

std::string quoted(const std::string& cell) {
    if (cell.find_first_of(",\"\n") == std::string::npos) return cell;
    std::string out = "\"";
    for (const char c : cell) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::span<const Series> series() {
    return kSeries;
}

std::span<const std::string_view> roundReads() {
    return kRoundReads;
}

void take(Sample& sample, std::string_view read, const hart::Outcome& outcome) {
    if (outcome.result != hart::Result::Done) return;
    for (std::size_t i = 0; i < std::size(kSeries); ++i) {
        const Series& s = kSeries[i];
        if (s.read != read) continue;
        if (!s.unit.empty()) sample.units[i] = std::string(s.unit);
        for (const hart::Update& u : outcome.updates) {
            if (u.control == s.control && u.number) sample.values[i] = *u.number;
            if (u.control == s.unitBox && u.kind == hart::Update::Kind::Select)
                sample.units[i] = std::string(hart::plainUnitName(u.value));
        }
    }
}

std::optional<std::string_view> Round::due(Steady::time_point now) {
    if (out_ || (lastBurst_ && now < *lastBurst_ + kBurstHold)) return std::nullopt;
    if (next_ == 0) {
        if (began_ && now < *began_ + interval_) return std::nullopt;
        // A late round starts the next one from now: no burst of catching up.
        began_ = !began_ || now >= *began_ + 2 * interval_ ? now : *began_ + interval_;
        sample_ = Sample{};
        sample_.at = Clock::now();
    }
    out_ = true;
    return kRoundReads[next_];
}

std::optional<Round::Steady::time_point> Round::nextRound() const {
    std::optional<Steady::time_point> at;
    if (began_) at = *began_ + interval_;
    if (lastBurst_ && (!at || *at < *lastBurst_ + kBurstHold)) at = *lastBurst_ + kBurstHold;
    return at;
}

std::optional<Sample> burstSample(std::span<const std::uint8_t> chunk, Clock::time_point at) {
    auto f = hart::nextFrame(chunk);
    while (f && !(f->kind == hart::FrameKind::Burst && f->isLong && f->checkOk))
        f = hart::nextFrame(chunk, f->start + 1);
    if (!f) return std::nullopt;
    // Read as the reply of the read it stands for: the reply delimiter in place of the burst
    // one, the check byte mended to match, then that read's own decoder.
    std::vector<std::uint8_t> frame(chunk.begin() + static_cast<long>(f->start) - 1,
                                    chunk.begin() + static_cast<long>(f->end));
    frame[1] = hart::kLongReplyDelimiter;
    frame.back() ^= chunk[f->start] ^ hart::kLongReplyDelimiter;
    hart::ReceiveBuffer buffer;
    buffer.store(frame);
    Session session;
    Sample sample;
    sample.at = at;
    switch (f->command) {
        case 1:
            take(sample, "Button4",
                 decodeFields(kPrimaryOnly, hart::Reply(buffer, 0, true), session));
            return sample;
        case 2:
        case 3: {
            const std::string_view read = f->command == 2 ? "Button34" : "Button4";
            take(sample, read, decode(operationFor(read)->pending(), buffer, session));
            return sample;
        }
        default:
            return std::nullopt;
    }
}

std::optional<Sample> Round::taken(const hart::Outcome& outcome) {
    if (!out_) return std::nullopt;
    out_ = false;
    take(sample_, kRoundReads[next_], outcome);
    if (++next_ < std::size(kRoundReads)) return std::nullopt;
    next_ = 0;
    return sample_;
}

std::string isoTime(Clock::time_point t) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch());
    const std::time_t seconds =
        static_cast<std::time_t>(std::chrono::floor<std::chrono::seconds>(ms).count());
    std::tm local{}, utc{};
    localtime_r(&seconds, &local);
    gmtime_r(&seconds, &utc);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    // Local time less UTC, in minutes (tm_gmtoff is not everywhere); they are at most a day apart.
    const int days = local.tm_year != utc.tm_year ? (local.tm_year > utc.tm_year ? 1 : -1)
                                                  : local.tm_yday - utc.tm_yday;
    const long offset = (days * 24L + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
    char out[64];
    std::snprintf(out, sizeof out, "%s.%03d%c%02ld:%02ld", date,
                  static_cast<int>(((ms.count() % 1000) + 1000) % 1000), offset < 0 ? '-' : '+',
                  std::labs(offset) / 60, std::labs(offset) % 60);
    return out;
}

std::string valueText(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);  // every digit a float holds
    return buf;
}

std::string csvHeader(const Sample& sample) {
    std::string out = "time";
    for (std::size_t i = 0; i < std::size(kSeries); ++i) {
        std::string name(kSeries[i].name);
        if (!sample.units[i].empty()) name += " (" + sample.units[i] + ")";
        out += "," + quoted(name);
    }
    return out;
}

std::string csvRow(const Sample& sample) {
    std::string out = isoTime(sample.at);
    for (const auto& v : sample.values) out += "," + (v ? valueText(*v) : std::string());
    return out;
}

Recorder::~Recorder() {
    close();
}

bool Recorder::open(const std::string& path, std::string& error) {
    close();
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    owned_ = true;
    return true;
}

void Recorder::openStandardOutput() {
    close();
    file_ = stdout;
    owned_ = false;
}

bool Recorder::write(const Sample& sample) {
    if (file_ == nullptr) return false;
    // A gap tells no unit: a column keeps its unit until another one is told.
    bool changed = !headed_;
    for (std::size_t i = 0; i < units_.units.size(); ++i) {
        if (sample.units[i].empty() || sample.units[i] == units_.units[i]) continue;
        units_.units[i] = sample.units[i];
        changed = true;
    }
    headed_ = true;
    std::string lines = changed ? csvHeader(units_) + "\n" : std::string();
    lines += csvRow(sample) + "\n";
    return std::fputs(lines.c_str(), file_) >= 0 && std::fflush(file_) == 0;
}

void Recorder::close() {
    if (file_ != nullptr && owned_) std::fclose(file_);
    file_ = nullptr;
    headed_ = false;
    units_ = {};
}

std::vector<std::optional<Band>> decimate(std::span<const double> times,
                                          std::span<const std::optional<double>> values, double t0,
                                          double t1, int columns) {
    std::vector<std::optional<Band>> out(static_cast<std::size_t>(std::max(columns, 0)));
    if (out.empty() || !(t1 > t0)) return out;
    const double perColumn = (t1 - t0) / columns;
    const auto first = std::lower_bound(times.begin(), times.end(), t0);
    for (auto it = first; it != times.end() && *it <= t1; ++it) {
        const auto& v = values[static_cast<std::size_t>(it - times.begin())];
        if (!v || !std::isfinite(*v)) continue;
        const auto column =
            std::min<std::size_t>(static_cast<std::size_t>((*it - t0) / perColumn), out.size() - 1);
        std::optional<Band>& band = out[column];
        if (!band) {
            band = Band{*v, *v};
        } else {
            band->min = std::min(band->min, *v);
            band->max = std::max(band->max, *v);
        }
    }
    return out;
}

bool Silence::read(bool answered, Steady::time_point now, std::chrono::milliseconds interval) {
    if (answered) lastAnswer_ = now;
    const bool lost = !answered && now - lastAnswer_ >= kLostAfter * interval;
    return std::exchange(lost_, lost) != lost;
}

}  // namespace ops::trend
