#include <algorithm>
#include <map>
#include <span>
#include <vector>

#include "hart/tr.h"

namespace hart {

// Source text and English of every entry of translations/hart_en.ts; written at build time.
struct Translation {
    std::string_view chinese;
    std::string_view english;
};
extern const std::span<const Translation> kEnglish;

namespace {

// The literal pieces of a pattern between its %n, and which n follows each piece.
struct Pattern {
    std::vector<std::string_view> pieces;
    std::vector<int> args;
    std::string_view english;
};

bool isArg(std::string_view s, std::size_t at) {
    return at + 1 < s.size() && s[at] == '%' && s[at + 1] >= '1' && s[at + 1] <= '9';
}

Pattern split(const Translation& t) {
    Pattern p{{}, {}, t.english};
    std::size_t from = 0;
    for (std::size_t i = 0; i < t.chinese.size(); ++i) {
        if (!isArg(t.chinese, i)) continue;
        p.pieces.push_back(t.chinese.substr(from, i - from));
        p.args.push_back(t.chinese[i + 1] - '0');
        from = i + 2;
        ++i;
    }
    p.pieces.push_back(t.chinese.substr(from));
    return p;
}

struct Catalog {
    std::map<std::string_view, std::string_view, std::less<>> exact;
    std::vector<Pattern> patterns;
};

const Catalog& catalog() {
    static const Catalog c = [] {
        Catalog made;
        for (const Translation& t : kEnglish) {
            made.exact.emplace(t.chinese, t.english);
            Pattern p = split(t);
            if (!p.args.empty()) made.patterns.push_back(std::move(p));
        }
        return made;
    }();
    return c;
}

// The parts a text fills a pattern's %n with, each at least one byte, or none if it does not
// fit the pattern.
std::optional<std::vector<std::string_view>> match(const Pattern& p, std::string_view text) {
    if (!text.starts_with(p.pieces.front()) || !text.ends_with(p.pieces.back())) return {};
    std::vector<std::string_view> parts;
    std::size_t at = p.pieces.front().size();
    const std::size_t end = text.size() - p.pieces.back().size();
    for (std::size_t i = 1; i < p.pieces.size(); ++i) {
        const bool last = i + 1 == p.pieces.size();
        const std::size_t next = last ? end : text.find(p.pieces[i], at + 1);
        if (next == std::string_view::npos || next <= at || next > end) return {};
        parts.push_back(text.substr(at, next - at));
        at = next + p.pieces[i].size();
    }
    return parts;
}

}  // namespace

std::optional<Language> parseLanguage(std::string_view code) {
    if (code == "zh") return Language::Chinese;
    if (code == "en") return Language::English;
    return std::nullopt;
}

Language languageOfLocale(std::string_view locale) {
    return locale.starts_with("zh") ? Language::Chinese : Language::English;
}

std::string arg(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (isArg(pattern, i) && static_cast<std::size_t>(pattern[i + 1] - '1') < args.size()) {
            out += args.begin()[pattern[i + 1] - '1'];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string translate(std::string_view chinese, Language language) {
    if (language == Language::Chinese || chinese.empty()) return std::string(chinese);
    const Catalog& c = catalog();
    if (const auto it = c.exact.find(chinese); it != c.exact.end()) return std::string(it->second);
    for (const Pattern& p : c.patterns) {
        const auto parts = match(p, chinese);
        if (!parts) continue;
        std::vector<std::string> english(parts->size());
        std::vector<std::string_view> byNumber(9);
        for (std::size_t i = 0; i < parts->size(); ++i) {
            english[i] = translate((*parts)[i], language);
            byNumber[static_cast<std::size_t>(p.args[i] - 1)] = english[i];
        }
        return arg(p.english, {byNumber[0], byNumber[1], byNumber[2], byNumber[3], byNumber[4],
                               byNumber[5], byNumber[6], byNumber[7], byNumber[8]});
    }
    return std::string(chinese);
}

}  // namespace hart
