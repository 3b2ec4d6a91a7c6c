// hart-cli scan over many HART-IP hosts: the host list, the hosts taken in turn by a bounded
// number of workers, and the one inventory they make, as text, CSV or JSON.
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

// One instrument found, its values as hart-cli's poll and read-tag show them.
struct Instrument {
    int address = 0;
    std::string manufacturer;
    std::string deviceType;
    std::string deviceId;
    std::string tag;
    std::string hartRevision;
    std::string longTag;  // HART 7 only
};

struct HostScan {
    std::string host;
    std::vector<Instrument> instruments;  // by polling address
    std::string error;                    // why the host's scan ended early, or found nothing
    int exit = 0;                         // as a single run would end: 0, 4, 6 or 7
};

enum class InventoryFormat { Text, Csv, Json };

// One host a line; blank lines and lines starting with '#' are skipped, blanks trimmed.
std::vector<std::string> readHosts(std::istream& in);

// scan(i) for every i below count, at most `jobs` at a time; results in index order, whatever
// order the workers finish in.
std::vector<HostScan> scanAll(std::size_t count, int jobs,
                              const std::function<HostScan(std::size_t)>& scan);

void printInventory(const std::vector<HostScan>& hosts, InventoryFormat format, std::ostream& out);

}  // namespace cli
