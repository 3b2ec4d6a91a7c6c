#include <gtest/gtest.h>

#include "hart/tr.h"

namespace hart {
namespace {

TEST(Translate, WholeTextsAndTextsMadeFromPatterns) {
    struct Case {
        std::string_view chinese;
        std::string_view english;
    };
    const Case cases[] = {
        {"上传成功!", "Read successful!"},
        {"地址 12 无仪表应答", "No instrument answers at address 12"},
        {"请选择输出特性!", "Please choose: Transfer function!"},  // the part translated too
        {"日期无效:2019年2月30日不存在", "Invalid date: 2019-2-30 does not exist"},
        {"地址  无仪表应答", "地址  无仪表应答"},  // a part is never empty
        {"ROSEMOUNT", "ROSEMOUNT"},                // instrument data has no translation
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(translate(c.chinese, Language::English), c.english) << c.chinese;
        EXPECT_EQ(translate(c.chinese, Language::Chinese), c.chinese);
    }
}

TEST(Translate, LanguageOfLocaleAndOption) {
    EXPECT_EQ(languageOfLocale("zh_CN.UTF-8"), Language::Chinese);
    EXPECT_EQ(languageOfLocale("zh-TW"), Language::Chinese);
    for (const char* other : {"en_US.UTF-8", "de_DE", "C.UTF-8", "C", ""})
        EXPECT_EQ(languageOfLocale(other), Language::English) << other;
    EXPECT_EQ(parseLanguage("en"), Language::English);
    EXPECT_EQ(parseLanguage("zh"), Language::Chinese);
    EXPECT_EQ(parseLanguage("fr"), std::nullopt);
}

}  // namespace
}  // namespace hart
