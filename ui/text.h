// The protocol and operation layers speak UTF-8 std::string; the window speaks QString.
#pragma once

#include <QString>
#include <string_view>

namespace ui {

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace ui
