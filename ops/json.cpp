#include "ops/json.h"

#include <cstdlib>
#include <cstring>

namespace ops {
namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : s_(text) {}

    // The document, or the error text in `error`.
    std::optional<Json> document(std::string& error) {
        Json v;
        if (value(v, 0)) {
            blanks();
            if (at_ == s_.size()) return v;
            fail("text after the end of the document");
        }
        error = error_;
        return std::nullopt;
    }

  private:
    static constexpr int kMaxDepth = 32;

    bool fail(const std::string& what) {
        if (error_.empty()) {
            error_ = at_ >= s_.size() ? "it ends early (truncated?)"
                                      : what + " at byte " + std::to_string(at_ + 1);
        }
        return false;
    }
    void blanks() {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t'))
            ++at_;
    }
    bool literal(std::string_view word) {
        if (s_.substr(at_, word.size()) != word) return fail("unexpected character");
        at_ += word.size();
        return true;
    }

    bool value(Json& v, int depth) {
        if (depth > kMaxDepth) return fail("too deeply nested");
        blanks();
        if (at_ >= s_.size()) return fail("");
        const char c = s_[at_];
        if (c == '{') return object(v, depth);
        if (c == '[') return array(v, depth);
        if (c == '"') {
            v.type = Json::Type::String;
            return string(v.string);
        }
        if (c == 't' || c == 'f') {
            v.type = Json::Type::Bool;
            v.number = c == 't';
            return literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') return literal("null");
        return number(v);
    }

    bool number(Json& v) {
        const std::size_t start = at_;
        while (at_ < s_.size() && std::strchr("+-0123456789.eE", s_[at_]) != nullptr) ++at_;
        const std::string text(s_.substr(start, at_ - start));
        if (text.empty()) return fail("unexpected character");
        char* end = nullptr;
        v.number = std::strtod(text.c_str(), &end);
        if (end != text.c_str() + text.size()) {
            at_ = start;
            return fail("malformed number");
        }
        v.type = Json::Type::Number;
        return true;
    }

    static void utf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool hex4(unsigned& cp) {
        if (at_ + 4 > s_.size()) return fail("");
        cp = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = s_[at_++];
            cp <<= 4;
            if (h >= '0' && h <= '9')
                cp |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                cp |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                cp |= static_cast<unsigned>(h - 'A' + 10);
            else
                return fail("malformed \\u escape");
        }
        return true;
    }

    bool string(std::string& out) {
        ++at_;  // the opening quote
        while (at_ < s_.size()) {
            const char c = s_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) {
                --at_;
                return fail("control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= s_.size()) break;
            const char e = s_[at_++];
            switch (e) {
                case '"':
                    out += '"';
                    break;
                case '\\':
                    out += '\\';
                    break;
                case '/':
                    out += '/';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    unsigned cp = 0;
                    if (!hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        unsigned low = 0;
                        if (!literal("\\u") || !hex4(low) || low < 0xDC00 || low >= 0xE000)
                            return fail("unpaired surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    utf8(out, cp);
                    break;
                }
                default:
                    --at_;
                    return fail("unknown escape");
            }
        }
        return fail("");
    }

    bool array(Json& v, int depth) {
        v.type = Json::Type::Array;
        ++at_;
        blanks();
        if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
        for (;;) {
            Json item;
            if (!value(item, depth + 1)) return false;
            v.items.push_back(std::move(item));
            blanks();
            if (at_ >= s_.size()) return fail("");
            if (s_[at_] == ']') return ++at_, true;
            if (s_[at_++] != ',') return --at_, fail("expected , or ]");
        }
    }

    bool object(Json& v, int depth) {
        v.type = Json::Type::Object;
        ++at_;
        blanks();
        if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
        for (;;) {
            blanks();
            if (at_ >= s_.size()) return fail("");
            if (s_[at_] != '"') return fail("expected a name in quotes");
            std::string name;
            if (!string(name)) return false;
            blanks();
            if (at_ >= s_.size()) return fail("");
            if (s_[at_++] != ':') return --at_, fail("expected :");
            Json member;
            if (!value(member, depth + 1)) return false;
            v.names.push_back(std::move(name));
            v.values.push_back(std::move(member));
            blanks();
            if (at_ >= s_.size()) return fail("");
            if (s_[at_] == '}') return ++at_, true;
            if (s_[at_++] != ',') return --at_, fail("expected , or }");
        }
    }

    std::string_view s_;
    std::size_t at_ = 0;
    std::string error_;
};

}  // namespace

std::optional<Json> parseJson(std::string_view text, std::string& error) {
    return Reader(text).document(error);
}

const Json* member(const Json& object, std::string_view name) {
    for (std::size_t i = 0; i < object.names.size(); ++i) {
        if (object.names[i] == name) return &object.values[i];
    }
    return nullptr;
}

}  // namespace ops
