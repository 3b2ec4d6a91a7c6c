// Siemens, Krohne TT50C and ABB TTH200 temperature transmitters.
#include "ops/groups.h"

namespace ops {

std::span<const Operation> siemensKrohneAbbOperations() {
    return {};
}

std::span<const BoxTable> siemensKrohneAbbBoxes() {
    return {};
}

}  // namespace ops
