// Configuration files: any text is a record or a refusal, never a crash, and a record
// written out again parses to the same record.
#include "ops/config_file.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace cfg = ops::config;
    const cfg::Parsed p = cfg::parse({reinterpret_cast<const char*>(data), size});
    if (p.record.has_value() == !p.error.empty()) std::abort();
    if (!p.record) return 0;
    const cfg::Parsed again = cfg::parse(cfg::toJson(*p.record));
    if (!again.record || again.record->all() != p.record->all() ||
        again.record->live != p.record->live || again.record->saved != p.record->saved ||
        again.record->tool != p.record->tool)
        std::abort();
    return 0;
}
