// Differential-pressure and multivariable transmitters: 3051, 300SMV and EJA.
#include "ops/groups.h"

namespace ops {

std::span<const Operation> pressureOperations() {
    return {};
}

std::span<const BoxTable> pressureBoxes() {
    return {};
}

}  // namespace ops
