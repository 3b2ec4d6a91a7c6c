// Result of converting user text: a value, or the message the user is shown.
#pragma once

#include <string>

namespace hart {

template <class T>
struct Parsed {
    T value{};
    std::string error;  // empty on success

    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
};

}  // namespace hart
