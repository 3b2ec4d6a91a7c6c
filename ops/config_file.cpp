#include "ops/config_file.h"

#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "hart/utf8_path.h"
#include "ops/json.h"

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

// The informative members of a document's record; the error text, empty when fine.
std::string extras(const Json& doc, Record& r) {
    if (const Json* n = member(doc, "numbers")) {
        if (n->type != Json::Type::Object) return "\"numbers\" is no object";
        for (std::size_t i = 0; i < n->names.size(); ++i) {
            const FieldRow* row = findField(n->names[i]);
            if (row == nullptr || n->values[i].type != Json::Type::Number)
                return "\"numbers\" has no number field \"" + n->names[i] + "\"";
            r.numbers[n->names[i]] = n->values[i].number;
        }
    }
    if (const Json* a = member(doc, "about")) {
        if (a->type != Json::Type::Object) return "\"about\" is no object";
        for (std::size_t i = 0; i < a->names.size(); ++i) {
            if (a->values[i].type != Json::Type::String)
                return "the value of \"" + a->names[i] + "\" is no string";
            r.about[a->names[i]] = a->values[i].string;
        }
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

Record recordOfDrive(const Account& account, std::string saved, std::string tool) {
    Record r = recordOf(account.values, std::move(saved), std::move(tool));
    r.numbers = account.numbers;
    if (const auto it = account.facts.find("HartRevision"); it != account.facts.end())
        r.about["hart-revision"] = it->second;
    if (account.deviceStatus) r.about["device-status"] = std::to_string(*account.deviceStatus);
    return r;
}

std::string exactText(double number) {
    char buf[32];
    const float single = static_cast<float>(number);
    const auto end = static_cast<double>(single) == number
                         ? std::to_chars(buf, buf + sizeof buf, single).ptr
                         : std::to_chars(buf, buf + sizeof buf, number).ptr;
    return std::string(buf, end);
}

std::string toJson(const Record& r) {
    std::ostringstream out;
    out << "{\n  \"format\": " << jsonString(kFormat) << ",\n  \"version\": " << r.version
        << ",\n  \"saved\": " << jsonString(r.saved) << ",\n  \"tool\": " << jsonString(r.tool)
        << ",\n";
    writeSection(out, "identity", r.identity, Part::Identity, false);
    const bool more = !r.numbers.empty() || !r.about.empty();
    writeSection(out, "fields", r.fields, Part::Setting, r.live.empty() && !more);
    if (!r.live.empty()) writeSection(out, "live", r.live, Part::Live, !more);
    if (more) {
        // Non-finite numbers have no JSON form: they stay with their fields' texts.
        out << "  \"numbers\": {";
        const char* comma = "";
        for (const auto& [name, n] : r.numbers) {
            if (!std::isfinite(n)) continue;
            out << comma << "\n    " << jsonString(name) << ": " << exactText(n);
            comma = ",";
        }
        out << "\n  },\n  \"about\": {";
        comma = "";
        for (const auto& [name, text] : r.about) {
            out << comma << "\n    " << jsonString(name) << ": " << jsonString(text);
            comma = ",";
        }
        out << "\n  }\n";
    }
    out << "}\n";
    return out.str();
}

Parsed parse(std::string_view text) {
    Parsed p;
    std::string error;
    const auto doc = parseJson(text, error);
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
    if (why.empty()) why = extras(*doc, r);
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
