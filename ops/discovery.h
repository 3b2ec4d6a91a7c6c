// Finding an instrument by polling address (single poll and the 0-15 scan), and the
// console that sends hand-typed frames.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hart/outcome.h"
#include "hart/reply.h"
#include "ops/request.h"
#include "ops/session.h"

namespace ops {

inline constexpr int kLastPollingAddress = 15;

// Button3: command 0 at the polling address of the address box (no item: address 0).
Request pollRequest(Session& session, int pollingItem, int masterItem);

// Button16: restarts the scan at address 0; the scan timer is then enabled.
Request scanStart(Session& session, int masterItem);

// Timer1 tick: the next address, or the not-found text once all 16 were tried.
struct ScanStep {
    std::optional<Request> request;
    std::string notFound;  // set when the scan ends; the scan timer is then stopped
};
ScanStep scanStep(Session& session);

// Reply to command 0 (tag 100): identity fields, or the failure text.
hart::Outcome decodePoll(const hart::ReceiveBuffer& buffer, Session& session, int command);

// Button17: "76 89 FD AD" -> six preambles, the bytes and their check byte.
Request consoleRequest(std::u32string_view entry);

}  // namespace ops
