#pragma once

// File and device names are UTF-8 text throughout; on Windows the narrow file functions would
// read them in the local code page, so names go to the system through this.

#include <filesystem>
#include <string>
#include <string_view>

namespace hart {

inline std::filesystem::path utf8Path(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace hart
