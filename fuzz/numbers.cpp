// Typed numbers and integer texts as the boxes hand them over.
#include "hart/numbers.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hart/packed_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto number = hart::encodeTypedNumber(text);
    // An accepted number is finite on the wire and reads back as itself.
    if (number.ok()) {
        const long double value = hart::decodeWireFloat(number.value);
        if (!std::isfinite(value)) std::abort();
        if (hart::encodeWireFloat(static_cast<float>(value)) != number.value) std::abort();
    }

    const auto integer = hart::parseInteger(text);
    if (integer.ok()) {
        const auto again = hart::parseInteger(std::to_string(integer.value));
        if (!again.ok() || again.value != integer.value) std::abort();
    }
    return 0;
}
