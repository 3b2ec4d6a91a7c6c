#include "ops/tag_sweep.h"

#include <algorithm>
#include <cctype>

#include "hart/frame.h"
#include "hart/tr.h"
#include "ops/hart7.h"
#include "ops/operation.h"

namespace ops {

using hart::Tr;
namespace {

constexpr std::string_view kPoll = "Button3";
constexpr std::string_view kReadTag = "Button32";  // command 13: tag, descriptor, date
constexpr std::string_view kTagEdit = "Edit22";

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

bool ok(const hart::Outcome& o) {
    return o.result == hart::Result::Done || o.result == hart::Result::Warning;
}

}  // namespace

TagSweep::TagSweep(std::string_view findButton, const Controls& controls)
    : longTag_(findButton == hart7::kFindLongTagButton) {
    wanted_ = trimmed(controls.text(longTag_ ? hart7::kFindLongTagEdit : hart7::kFindTagEdit));
    // A tag travels in packed ASCII, which has capitals only.
    if (!longTag_)
        std::transform(wanted_.begin(), wanted_.end(), wanted_.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
}

std::optional<Request> TagSweep::next(const Controls& controls, Session& session) {
    if (over_) return std::nullopt;
    Request r;
    if (readingTag_) {
        r = build(longTag_ ? hart7::kReadLongTagButton : kReadTag, controls, session);
    } else {
        r = build(kPoll, controls, session);
        const auto at = static_cast<std::uint8_t>(address_);
        r.frame = hart::shortFrame(masterBit(controls.index("ComboBox8")), at);
        session.identity.polledAddress = at;
    }
    // Instruments passed over leave the window's fields alone.
    r.clears.clear();
    r.before.clear();
    r.startText = progress();
    return r;
}

void TagSweep::taken(const hart::Outcome* outcome) {
    const bool answered = outcome != nullptr && ok(*outcome);
    if (!readingTag_ && answered) {
        poll_ = *outcome;
        readingTag_ = true;
        return;
    }
    if (readingTag_ && answered) {
        const std::string_view edit = longTag_ ? hart7::kLongTagEdit : kTagEdit;
        const auto it = std::find_if(outcome->updates.begin(), outcome->updates.end(),
                                     [&](const hart::Update& u) { return u.control == edit; });
        if (it != outcome->updates.end() && trimmed(it->text) == wanted_) {
            tag_ = *outcome;
            found_ = over_ = true;
            return;
        }
    }
    readingTag_ = false;
    over_ = ++address_ > kLastSweepAddress;
}

std::string TagSweep::progress() const {
    return hart::arg(Tr::tr("广播查找无应答,正在逐个地址查找:地址 %1/%2(Esc 停止)..."),
                     {std::to_string(address_), std::to_string(kLastSweepAddress)});
}

std::string_view TagSweep::foundText() {
    return Tr::tr("找到仪表!");
}

std::string_view TagSweep::notFound() {
    return Tr::tr("未找到该位号的仪表!");
}

}  // namespace ops
