#include "ops/decode.h"

#include <algorithm>
#include <iterator>

#include "hart/dispatch.h"
#include "hart/write_ack.h"
#include "ops/discovery.h"

namespace ops {
namespace {

struct OwnRow {
    int tag;
    OwnDecoder decoder;
};

// Each operation's own decoder, by the tag its request carries.
constexpr OwnRow kOwnDecoders[] = {
    {hart::kPollTag, decodePoll},
};

}  // namespace

OwnDecoder ownDecoderOf(int tag) {
    auto it = std::find_if(std::begin(kOwnDecoders), std::end(kOwnDecoders),
                           [&](const OwnRow& row) { return row.tag == tag; });
    return it == std::end(kOwnDecoders) ? nullptr : it->decoder;
}

hart::Outcome decode(const hart::Pending& request, const hart::ReceiveBuffer& buffer,
                     Session& session) {
    const hart::DispatchEntry* entry = hart::dispatchOf(request.tag);
    if (entry == nullptr) return {};
    switch (entry->decoder) {
        case hart::DecoderKind::WriteAck: {
            hart::Outcome out;
            out.status = hart::decodeWriteAck(buffer, request.tag, request.command);
            return out;
        }
        case hart::DecoderKind::Own:
            if (OwnDecoder own = ownDecoderOf(request.tag)) {
                return own(buffer, session, request.command);
            }
            return {};
        case hart::DecoderKind::None:
            break;
    }
    return {};
}

}  // namespace ops
