// Rosemount temperature transmitters: 644, 848T and 644RK.
#include "ops/groups.h"

namespace ops {

std::span<const Operation> rosemountOperations() {
    return {};
}

std::span<const BoxTable> rosemountBoxes() {
    return {};
}

}  // namespace ops
