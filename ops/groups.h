// The rows of each operation group, gathered into the one operation table.
#pragma once

#include <span>

#include "ops/operation.h"

namespace ops {

std::span<const Operation> discoveryOperations();    // poll, scan, console

}  // namespace ops
