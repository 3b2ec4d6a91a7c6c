// What a control of the window shows, whatever its kind, for test assertions.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/main_window.h"

namespace ui::testing {

inline QString controlText(const TForm1& w, const char* name) {
    if (auto* e = w.control<QLineEdit>(name)) return e->text();
    if (auto* l = w.control<QLabel>(name)) return l->text();
    if (auto* m = w.control<QPlainTextEdit>(name)) return m->toPlainText();
    if (auto* b = w.control<QPushButton>(name)) return b->text();
    return QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

}  // namespace ui::testing
