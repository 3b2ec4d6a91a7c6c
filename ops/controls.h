// Read access to the window's controls by object name. The window implements it; tests
// fake it with a map. An unknown name is a programming error and throws std::out_of_range.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ops {

class Controls {
  public:
    virtual ~Controls() = default;
    // Text of an edit line, label or combo box, UTF-8.
    virtual std::string text(std::string_view name) const = 0;
    // Selected item of a combo box; -1 for none.
    virtual int index(std::string_view name) const = 0;
    virtual bool checked(std::string_view name) const = 0;
};

// Controls as plain values, for tests and for callers without a window.
class ControlValues final : public Controls {
  public:
    ControlValues& setText(std::string name, std::string value) {
        texts_[std::move(name)] = std::move(value);
        return *this;
    }
    ControlValues& setIndex(std::string name, int value) {
        indexes_[std::move(name)] = value;
        return *this;
    }
    ControlValues& setChecked(std::string name, bool value) {
        checks_[std::move(name)] = value;
        return *this;
    }

    std::string text(std::string_view name) const override { return find(texts_, name); }
    int index(std::string_view name) const override { return find(indexes_, name); }
    bool checked(std::string_view name) const override { return find(checks_, name); }

  private:
    template <class T>
    static T find(const std::map<std::string, T, std::less<>>& values, std::string_view name) {
        const auto it = values.find(name);
        if (it == values.end()) throw std::out_of_range("no control " + std::string(name));
        return it->second;
    }

    std::map<std::string, std::string, std::less<>> texts_;
    std::map<std::string, int, std::less<>> indexes_;
    std::map<std::string, bool, std::less<>> checks_;
};

}  // namespace ops
