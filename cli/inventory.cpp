#include "cli/inventory.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <thread>

#include "cli/app.h"
#include "cli/run.h"
#include "ops/discovery.h"
#include "ops/hart7.h"

namespace cli {

namespace {

struct Column {
    const char* name;
    std::string (*value)(const std::string& host, const Instrument& i);
};

// The inventory's columns, in every format.
const Column kColumns[] = {
    {"host", [](const std::string& h, const Instrument&) { return h; }},
    {"address", [](const std::string&, const Instrument& i) { return std::to_string(i.address); }},
    {"manufacturer", [](const std::string&, const Instrument& i) { return i.manufacturer; }},
    {"device-type", [](const std::string&, const Instrument& i) { return i.deviceType; }},
    {"device-id", [](const std::string&, const Instrument& i) { return i.deviceId; }},
    {"tag", [](const std::string&, const Instrument& i) { return i.tag; }},
    {"hart-revision", [](const std::string&, const Instrument& i) { return i.hartRevision; }},
    {"long-tag", [](const std::string&, const Instrument& i) { return i.longTag; }},
};

std::string csvCell(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string out = "\"";
    for (const char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::vector<std::string> readHosts(std::istream& in) {
    std::vector<std::string> hosts;
    for (std::string line; std::getline(in, line);) {
        line = trimmed(line);
        if (!line.empty() && line[0] != '#') hosts.push_back(line);
    }
    return hosts;
}

std::vector<HostScan> scanAll(std::size_t count, int jobs,
                              const std::function<HostScan(std::size_t)>& scan) {
    std::vector<HostScan> results(count);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next++) < count;) results[i] = scan(i);
    };
    std::vector<std::thread> workers;
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), count);
    for (std::size_t w = 1; w < n; ++w) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
    return results;
}

void printInventory(const std::vector<HostScan>& hosts, InventoryFormat format, std::ostream& out) {
    std::vector<std::vector<std::string>> rows;
    for (const HostScan& h : hosts) {
        for (const Instrument& i : h.instruments) {
            std::vector<std::string> row;
            for (const Column& c : kColumns) row.push_back(c.value(h.host, i));
            rows.push_back(std::move(row));
        }
    }
    switch (format) {
        case InventoryFormat::Json: {
            out << "{\"instruments\":[";
            for (std::size_t r = 0; r < rows.size(); ++r) {
                out << (r ? "," : "") << "{";
                for (std::size_t c = 0; c < std::size(kColumns); ++c) {
                    out << (c ? "," : "") << jsonString(kColumns[c].name) << ":";
                    // The address is a number; the rest are texts as hart-cli shows them.
                    out << (c == 1 ? rows[r][c] : jsonString(rows[r][c]));
                }
                out << "}";
            }
            out << "],\"hosts\":[";
            for (std::size_t i = 0; i < hosts.size(); ++i) {
                const HostScan& h = hosts[i];
                out << (i ? "," : "") << "{\"host\":" << jsonString(h.host)
                    << ",\"instruments\":" << h.instruments.size() << ",\"exit\":" << h.exit
                    << ",\"error\":" << (h.error.empty() ? "null" : jsonString(h.error)) << "}";
            }
            out << "]}\n";
            return;
        }
        case InventoryFormat::Csv:
            for (std::size_t c = 0; c < std::size(kColumns); ++c)
                out << (c ? "," : "") << kColumns[c].name;
            out << "\n";
            for (const auto& row : rows) {
                for (std::size_t c = 0; c < row.size(); ++c)
                    out << (c ? "," : "") << csvCell(row[c]);
                out << "\n";
            }
            return;
        case InventoryFormat::Text: {
            std::vector<std::size_t> width;
            for (const Column& c : kColumns) width.push_back(std::string_view(c.name).size());
            for (const auto& row : rows)
                for (std::size_t c = 0; c < row.size(); ++c)
                    width[c] = std::max(width[c], row[c].size());
            const auto line = [&](auto cell) {
                std::string l;
                for (std::size_t c = 0; c < width.size(); ++c) {
                    std::string v = cell(c);
                    if (c + 1 < width.size()) v.resize(width[c] + 2, ' ');
                    l += v;
                }
                out << trimmed(l) << "\n";
            };
            line([&](std::size_t c) { return std::string(kColumns[c].name); });
            for (const auto& row : rows) line([&](std::size_t c) { return row[c]; });
            return;
        }
    }
}

namespace {

// The instruments behind one HART-IP host: a poll at each address, and the tag of each found,
// all within the host's time.
HostScan scanHost(const std::string& host, const Options& o,
                  const std::function<void(const std::string&)>& log) {
    using std::chrono::milliseconds;
    HostScan h;
    h.host = host;
    Options per = o;
    per.port = hartIpName(host);
    Result result;
    Line line(log ? [&log, &host](const std::string& l) { log(host + " " + l); }
                  : std::function<void(const std::string&)>());
    if (!openPort(line, per.port, result)) {
        h.exit = result.exit;
        h.error = result.message;
        return h;
    }
    const auto deadline = Clock::now() + milliseconds(o.hostTimeoutMs);
    // The request's response time, cut to what is left of the host's; false when none is.
    const auto timeLeft = [&] {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        per.timeoutMs = static_cast<int>(std::min<long long>(o.timeoutMs, left.count()));
        if (per.timeoutMs > 0) return true;
        h.exit = kNoReply;
        h.error = "the host timeout of " + std::to_string(o.hostTimeoutMs) + " ms ran out";
        return false;
    };
    Runner runner(per, line, result);
    const auto field = [&](std::string_view name) {
        for (const Shown& s : shownFields(runner.last().outcome))
            if (s.name == name) return s.value;
        return std::string();
    };
    for (int address = 0; address <= ops::kLastPollingAddress && timeLeft(); ++address) {
        LineControls controls(o, address);
        runner.session = ops::Session{};
        if (runner.step(ops::build("Button3", controls, runner.session))) {
            Instrument i{address,
                         field("manufacturer-code"),
                         field("expanded-device-type"),
                         field("device-id"),
                         {},
                         field("hart-revision"),
                         {}};
            if (i.manufacturer.empty()) i.manufacturer = field("manufacturer-id");
            if (i.deviceType.empty()) i.deviceType = field("device-type");
            if (timeLeft() && runner.step(ops::build("Button32", controls, runner.session)))
                i.tag = field("tag");
            const bool hart7 = runner.session.hartRevision.value_or(0) >= 7;
            if (hart7 && timeLeft() &&
                runner.step(ops::build(ops::hart7::kReadLongTagButton, controls, runner.session)))
                i.longTag = field("long-tag");
            h.instruments.push_back(std::move(i));
        }
        if (result.exit == kPortFailed) {
            h.exit = kPortFailed;
            h.error = result.message;
            break;
        }
    }
    if (h.instruments.empty() && h.error.empty()) {
        h.exit = kNoReply;
        h.error = "no instrument at addresses 0 to 15";
    }
    return h;
}

}  // namespace

// scan --hosts: every host's instruments in one inventory; a host that fails is reported on
// standard error and the others go on.
int runInventory(const Options& o, std::ostream& out, std::ostream& err) {
    std::ifstream in(o.hostsFile);
    if (!in) {
        err << "hart-cli: cannot read " << o.hostsFile << "\n";
        return kUsage;
    }
    const std::vector<std::string> hosts = readHosts(in);
    if (hosts.empty()) {
        err << "hart-cli: no hosts in " << o.hostsFile << "\n";
        return kUsage;
    }
    std::mutex logMutex;
    const auto log = logTo(o, err);
    const std::function<void(const std::string&)> shared =
        log ? [&](const std::string& l) {
            std::lock_guard lock(logMutex);
            log(l);
        }
            : std::function<void(const std::string&)>();
    const auto results = scanAll(hosts.size(), o.jobs, [&](std::size_t i) {
        try {
            return scanHost(hosts[i], o, shared);
        } catch (const std::exception& e) {
            return HostScan{hosts[i], {}, e.what(), kInternal};
        }
    });
    printInventory(results,
                   o.json  ? InventoryFormat::Json
                   : o.csv ? InventoryFormat::Csv
                           : InventoryFormat::Text,
                   out);
    int exit = kOk;
    for (const HostScan& h : results) {
        if (h.error.empty()) continue;
        err << "hart-cli: " << h.host << ": " << h.error << "\n";
        if (exit == kOk) exit = h.exit;
    }
    return exit;
}

}  // namespace cli
