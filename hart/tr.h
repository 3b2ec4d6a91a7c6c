// Texts people read are written in Chinese where they are used and marked with Tr::tr, which
// changes nothing here: lupdate collects them into translations/hart_en.ts (in the context
// "Tr"), the window shows them through Qt's translator, and hart-cli through `translate`.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// lupdate reads this as Q_DECLARE_TR_FUNCTIONS: it names the context of Tr::tr.
#define HART_TR_CONTEXT(context)

namespace hart {

struct Tr {
    HART_TR_CONTEXT(Tr)
    static constexpr const char* tr(const char* chinese) { return chinese; }
};

enum class Language { Chinese, English };

// "zh" or "en".
std::optional<Language> parseLanguage(std::string_view code);
// A locale name such as "zh_CN.UTF-8" or "en-US": Chinese ones are Chinese, others English.
Language languageOfLocale(std::string_view locale);

// `pattern` with %1, %2, ... replaced by `args`.
std::string arg(std::string_view pattern, std::initializer_list<std::string_view> args);

// The text in `language`. A text made from a pattern with %n (through `arg`) is found by its
// pattern and its parts translated in turn; a text without translation comes back unchanged.
std::string translate(std::string_view chinese, Language language);

}  // namespace hart
