// The key filters of the window's edit lines, one row a box: which keys it admits, up to
// which length, and which button its text length enables.
#pragma once

#include <span>
#include <string_view>

#include "hart/keyfilter.h"

namespace ops {

std::span<const hart::KeyFilter> keyFilters();
// Nullptr for a box without a filter.
const hart::KeyFilter* keyFilterFor(std::string_view box);

}  // namespace ops
