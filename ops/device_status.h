// The instrument's own status on every reply: which reply it is read from, the controls
// that show it, and the command 48 read of the additional status.
#pragma once

#include <optional>
#include <string_view>

#include "hart/device_status.h"
#include "hart/reply.h"
#include "hart/tracker.h"

namespace ops {

inline constexpr std::string_view kDeviceStatusLabel = "DeviceStatusLabel";
inline constexpr std::string_view kReadMoreStatusButton = "ReadMoreStatusButton";
inline constexpr std::string_view kMoreStatusLabel = "MoreStatusLabel";

// The status bytes of the reply to `request`: the reply its decoder scans for, or for the
// console, which has no decoder, the first reply in the chunk.
std::optional<hart::StatusBytes> replyStatus(const hart::Pending& request,
                                             const hart::ReceiveBuffer& buffer);

}  // namespace ops
