// The window's language: Chinese, the language its texts are written in, or English through
// Qt's translator. The form is built in Chinese and `retranslate` turns it to the language
// chosen, keeping each text's Chinese so that a later switch can turn it again.
#pragma once

#include <QString>
#include <string_view>

#include "hart/tr.h"

class QWidget;

namespace ui {

using hart::Tr;

// The language the window shows; Chinese until `setLanguage`.
hart::Language language();
// Installs the translators of the language (ours and Qt's own, for its dialogs) and turns
// every window already shown to it.
void setLanguage(hart::Language language);
// The language to start in: `--lang zh|en` when given, else the one last chosen in the menu,
// else the system's. Empty `asked` when the option is not given.
hart::Language startLanguage(const QString& asked);
// Remembers the menu's choice for the next start.
void keepLanguage(hart::Language language);
// The menu "语言 / Language" of a main window.
void addLanguageMenu(QWidget* window);

// A text marked with Tr::tr, or one the operations made (patterns with %n too), in the
// window's language.
QString tx(const char* chinese);
QString tx(std::string_view chinese);
QString tx(const QString& chinese);

// Every caption, title, item and menu text under `root` in the window's language.
void retranslate(QWidget* root);

}  // namespace ui
