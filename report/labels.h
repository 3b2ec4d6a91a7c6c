// A field's label as the window shows it, for programs that link hart-cli's names (the window
// and hart-report).
#pragma once

#include <string_view>

#include "cli/names.h"
#include "ops/config.h"
#include "report/report.h"

namespace report {

inline Label windowLabel(std::string_view field) {
    const ops::config::FieldRow* f = ops::config::findField(field);
    const cli::FieldName* n = f ? cli::fieldName(f->control) : nullptr;
    if (n == nullptr) return {};
    Label l{std::string(n->caption), std::string(n->unit), {}};
    for (const ops::config::FieldRow& u : ops::config::fieldRows()) {
        if (!n->unitBox.empty() && u.control == n->unitBox) l.unitField = u.name;
    }
    return l;
}

}  // namespace report
