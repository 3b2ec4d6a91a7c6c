#include "ops/config_file.h"

#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "hart/utf8_path.h"

namespace ops::config {
namespace {

#ifdef _WIN32
// Windows' rename refuses an existing target; this replaces it, on disk when it returns.
bool replaceFile(const std::string& from, const std::string& to) {
    if (::MoveFileExW(hart::utf8Path(from).c_str(), hart::utf8Path(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}
int syncFile(int fd) {
    return ::_commit(fd);
}
#else
bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}
int syncFile(int fd) {
    return ::fsync(fd);
}
#endif

// --- a small JSON reader: enough for the format's objects, strings and numbers

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    double number = 0;
    std::string string;
    std::vector<Json> items;
    // An object's members, in order: names[i] names values[i]. (No pair: Json is incomplete
    // here, which std::pair does not allow.)
    std::vector<std::string> names;
    std::vector<Json> values;
};

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

const Json* member(const Json& object, std::string_view name) {
    for (std::size_t i = 0; i < object.names.size(); ++i) {
        if (object.names[i] == name) return &object.values[i];
    }
    return nullptr;
}

// The section's members as values of fields of `part`; the error text, empty when fine.
std::string section(const Json& doc, std::string_view name, Part part, bool required, Values& out) {
    const Json* s = member(doc, name);
    if (s == nullptr) return required ? "it has no \"" + std::string(name) + "\"" : "";
    if (s->type != Json::Type::Object) return "\"" + std::string(name) + "\" is no object";
    for (std::size_t i = 0; i < s->names.size(); ++i) {
        const std::string& field = s->names[i];
        const Json& v = s->values[i];
        const FieldRow* row = findField(field);
        if (row == nullptr || row->part != part)
            return "\"" + std::string(name) + "\" has no field \"" + field + "\"";
        if (v.type != Json::Type::String) return "the value of \"" + field + "\" is no string";
        if (!out.emplace(field, v.string).second) return "\"" + field + "\" appears twice";
    }
    return {};
}

void writeSection(std::ostringstream& out, std::string_view name, const Values& values, Part part,
                  bool last) {
    out << "  " << jsonString(name) << ": {";
    bool first = true;
    for (const FieldRow& f : fieldRows()) {
        if (f.part != part) continue;
        const auto it = values.find(f.name);
        if (it == values.end()) continue;
        out << (first ? "\n" : ",\n") << "    " << jsonString(f.name) << ": "
            << jsonString(it->second);
        first = false;
    }
    out << (first ? "}" : "\n  }") << (last ? "\n" : ",\n");
}

}  // namespace

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

Values Record::all() const {
    Values v = identity;
    v.insert(fields.begin(), fields.end());
    return v;
}

Record recordOf(const Values& values, std::string saved, std::string tool) {
    Record r;
    r.saved = std::move(saved);
    r.tool = std::move(tool);
    for (const auto& [name, value] : values) {
        const FieldRow* f = findField(name);
        if (f == nullptr) continue;
        Values& part = f->part == Part::Identity  ? r.identity
                       : f->part == Part::Setting ? r.fields
                                                  : r.live;
        part[name] = value;
    }
    return r;
}

std::string toJson(const Record& r) {
    std::ostringstream out;
    out << "{\n  \"format\": " << jsonString(kFormat) << ",\n  \"version\": " << r.version
        << ",\n  \"saved\": " << jsonString(r.saved) << ",\n  \"tool\": " << jsonString(r.tool)
        << ",\n";
    writeSection(out, "identity", r.identity, Part::Identity, false);
    writeSection(out, "fields", r.fields, Part::Setting, r.live.empty());
    if (!r.live.empty()) writeSection(out, "live", r.live, Part::Live, true);
    out << "}\n";
    return out.str();
}

Parsed parse(std::string_view text) {
    Parsed p;
    std::string error;
    const auto doc = Reader(text).document(error);
    if (!doc) {
        p.error = "not a configuration file: no valid JSON, " + error;
        return p;
    }
    if (doc->type != Json::Type::Object) {
        p.error = "not a configuration file: the document is no object";
        return p;
    }
    const Json* format = member(*doc, "format");
    if (format == nullptr || format->type != Json::Type::String || format->string != kFormat) {
        p.error = "not a configuration file: \"format\" is not \"" + std::string(kFormat) + "\"";
        return p;
    }
    const Json* version = member(*doc, "version");
    if (version == nullptr || version->type != Json::Type::Number) {
        p.error = "the file has no schema version";
        return p;
    }
    const double n = version->number;
    if (n < kOldestSchemaVersion || n > kSchemaVersion || n != static_cast<int>(n)) {
        std::ostringstream v;
        v << n;
        p.error = "schema version " + v.str() + " is not known (this tool reads versions " +
                  std::to_string(kOldestSchemaVersion) + " to " + std::to_string(kSchemaVersion) +
                  ")";
        return p;
    }
    Record r;
    r.version = static_cast<int>(n);
    for (const char* name : {"saved", "tool"}) {
        const Json* m = member(*doc, name);
        if (m != nullptr && m->type == Json::Type::String)
            (name[0] == 's' ? r.saved : r.tool) = m->string;
    }
    std::string why = section(*doc, "identity", Part::Identity, true, r.identity);
    if (why.empty()) why = section(*doc, "fields", Part::Setting, true, r.fields);
    if (why.empty() && modelsOf(r.fields).size() > 1)
        why = "\"fields\" holds the settings of more than one model";
    if (why.empty()) why = section(*doc, "live", Part::Live, false, r.live);
    if (why.empty()) {
        for (const std::string_view f : {"manufacturer-id", "device-type"}) {
            if (!r.identity.contains(f)) why = "the identity has no \"" + std::string(f) + "\"";
        }
    }
    if (!why.empty()) {
        p.error = "not a configuration file: " + why;
        return p;
    }
    p.record = std::move(r);
    return p;
}

Parsed load(const std::string& path) {
    std::ifstream in(hart::utf8Path(path), std::ios::binary);
    if (!in) {
        Parsed p;
        p.error = "cannot read " + path + ": " + std::strerror(errno);
        return p;
    }
    std::ostringstream text;
    text << in.rdbuf();
    Parsed p = parse(text.str());
    if (!p.error.empty()) p.error = path + ": " + p.error;
    return p;
}

std::string saveAtomically(const std::string& path, std::string_view content) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return "cannot write beside " + path + ": " + std::strerror(errno);
#ifndef _WIN32
    // mkstemp makes it private; a saved file gets the permissions any new file would.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
#endif
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
    }
    const int writeErrno = errno;
    const bool whole = written == content.size() && syncFile(fd) == 0;
    const int syncErrno = errno;
    ::close(fd);
    if (!whole || !replaceFile(temp, path)) {
        const int e = written != content.size() ? writeErrno : !whole ? syncErrno : errno;
        ::unlink(temp.c_str());
        return "cannot write " + path + ": " + std::strerror(e);
    }
    return {};
}

std::vector<Difference> compare(const Values& left, const Values& right) {
    std::vector<Difference> out;
    for (const FieldRow& f : fieldRows()) {
        if (f.part == Part::Live) continue;
        const auto l = left.find(f.name);
        const auto r = right.find(f.name);
        if (l == left.end() && r == right.end()) continue;
        const std::string a = l == left.end() ? std::string() : l->second;
        const std::string b = r == right.end() ? std::string() : r->second;
        if (a != b || (l == left.end()) != (r == right.end()))
            out.push_back({std::string(f.name), a, b});
    }
    return out;
}

bool sameModel(const Values& a, const Values& b) {
    for (const std::string_view f : {"manufacturer-id", "device-type"}) {
        const auto x = a.find(f);
        const auto y = b.find(f);
        if (x == a.end() || y == b.end() || x->second != y->second) return false;
    }
    return true;
}

std::string utcNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

}  // namespace ops::config
