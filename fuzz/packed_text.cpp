// Packed text and the date boxes, both ways.
//
// Input: a byte choosing the character count (0 .. 63), then the text; or, for dates, three
// NUL-separated box texts, then three reply bytes to decode.
#include "hart/packed_text.h"

#include <cstdlib>

#include "fuzz/input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::uint8_t mode = in.byte();
    if (mode & 0x80) {
        const auto year = in.text();
        const auto month = in.text();
        const auto day = in.text();
        const auto date = hart::encodeDate(year, month, day);
        if (date.ok()) {
            // A date that was accepted shows again as the same numbers.
            const auto shown = hart::decodeDate(date.value);
            const auto again = hart::encodeDate(shown.year, shown.month, shown.day);
            if (!again.ok() || again.value != date.value) std::abort();
        }
        const hart::DateBytes raw{in.byte(), in.byte(), in.byte()};
        (void)hart::decodeDate(raw);
        return 0;
    }

    const std::size_t chars = mode & 0x3F;
    const auto bytes = in.rest();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto packable = hart::packableText(text, chars);
    const auto packed = hart::packText(packable.ok() ? packable.value : text, chars);
    if (packed.size() != (chars + 3) / 4 * 3) std::abort();
    const std::string unpacked = hart::unpackText(packed, chars);
    if (unpacked.size() != chars) std::abort();
    // Packable text survives the trip, padded with spaces to the count.
    if (packable.ok()) {
        std::string expected = packable.value.substr(0, chars);
        expected.resize(chars, ' ');
        if (unpacked != expected) std::abort();
    }
    (void)hart::unpackText(bytes, chars);
    return 0;
}
