// Yokogawa and E+H temperature transmitters.
#include "ops/groups.h"

namespace ops {

std::span<const Operation> yokogawaEhOperations() {
    return {};
}

std::span<const BoxTable> yokogawaEhBoxes() {
    return {};
}

}  // namespace ops
