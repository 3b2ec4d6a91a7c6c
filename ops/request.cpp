#include "ops/request.h"

namespace ops {

Request refused(std::string_view startText, std::string message, bool asError) {
    Request r;
    r.startText = startText;
    r.refusal = std::move(message);
    r.refusalIsError = asError;
    return r;
}

std::uint8_t masterBit(int masterItem) {
    return masterItem == 0 ? hart::kPrimaryMaster : hart::kSecondaryMaster;
}

}  // namespace ops
