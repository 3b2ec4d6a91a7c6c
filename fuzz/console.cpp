// The console's typed hex text through the real operation row.
#include <cstdlib>
#include <string>

#include "ops/operation.h"
#include "ops/tests/op_test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ops::ControlValues controls = ops::testing::validControls();
    controls.setText("Edit8", std::string(reinterpret_cast<const char*>(data), size));
    ops::Session session;
    const ops::Request r = ops::build("Button17", controls, session);
    if (r.refusal.empty()) {
        // Preambles, at most 15 typed bytes and the check byte; never an empty frame.
        if (r.frame.size() == 0 || r.frame.size() > 22) std::abort();
    } else if (r.frame.size() != 0) {
        std::abort();  // a refused text must send nothing
    }
    return 0;
}
