// Finding an instrument by polling address (single poll and the 0-15 scan), and the
// console that sends hand-typed frames.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "hart/reply.h"
#include "ops/controls.h"
#include "ops/request.h"
#include "ops/session.h"

namespace ops {

inline constexpr int kLastPollingAddress = 15;

// The polled address := the polling address box's item (address 0 with no item); no data.
struct Data;
Data pollAddress(const Controls& controls, Session& session);

// Manufacturer, device type and identifier of a command 0 reply that holds them, and its HART
// revision where it tells one.
void takeIdentity(const hart::Reply& reply, Session& session);

// The instrument that the features beyond the window's buttons (the trend, the configuration
// files, hart-cli) talk to: the one answering at the chosen polling address. The buttons keep
// sending with whatever identity the last poll took.
//
// Whether its identity must be found first: none taken yet, or taken at another address.
// An instrument found by tag counts as chosen until the address box changes.
bool mustPoll(const Controls& controls, const Session& session);
// The poll that finds it; its start text names the address.
Request pollChosen(const Controls& controls, Session& session);
// After that poll: empty when an instrument answered, otherwise what to tell the user.
std::string unanswered(const Session& session);
// After a find by tag: the instrument whose identity the session now holds is the chosen one,
// at `address` when a poll there found it.
void keepFound(const Controls& controls, Session& session, std::optional<std::uint8_t> address);

// Timer1 tick: the next address, or the not-found text once all 16 were tried.
struct ScanStep {
    std::optional<Request> request;
    std::string notFound;  // set when the scan ends; the scan timer is then stopped
};
ScanStep scanStep(const Controls& controls, Session& session);

// What to add to the timeout text of a frame the polled instrument will never answer: a short
// frame of a command other than 0 to a HART 7 device. Empty otherwise.
std::string_view noReplyHint(std::span<const std::uint8_t> frame, const Session& session);

}  // namespace ops
