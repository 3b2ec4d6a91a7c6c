// The commissioning report of one instrument as an A4 PDF, in Chinese: identity,
// configuration, live values at the time, the date and the tool's version. Shared by the
// window and hart-cli; needs Qt Gui, and makes an offscreen application when there is none.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ops/config_file.h"

namespace report {

// A field's caption as the window shows it beside the control; empty: the field's name.
using Caption = std::function<std::string(std::string_view field)>;

// Writes the report to `path` (atomically); the error text, empty when written.
std::string writePdf(const std::string& path, const ops::config::Record& record,
                     const Caption& caption);

// The report as HTML, as it is laid out.
std::string html(const ops::config::Record& record, const Caption& caption);

}  // namespace report
