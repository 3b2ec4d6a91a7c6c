// Runs the decoder that the pending request's tag selects.
#pragma once

#include "hart/outcome.h"
#include "hart/reply.h"
#include "hart/tracker.h"
#include "ops/session.h"

namespace ops {

using OwnDecoder = hart::Outcome (*)(const hart::ReceiveBuffer&, Session&, int command);

// The operation's own decoder of a tag; null when it has none (yet).
OwnDecoder ownDecoderOf(int tag);

hart::Outcome decode(const hart::Pending& request, const hart::ReceiveBuffer& buffer,
                     Session& session);

}  // namespace ops
