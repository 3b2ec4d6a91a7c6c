#include "ops/discovery.h"

#include <vector>

#include "hart/dispatch.h"
#include "hart/texts.h"

namespace ops {
namespace {

std::string scanLabel(int address) {
    return "#" + std::to_string(address);
}

// Command 0 reply fields, from the reply start of the short reply.
constexpr std::size_t kManufacturerAt = 8;
constexpr std::size_t kDeviceTypeAt = 9;
constexpr std::size_t kPreamblesAt = 10;
constexpr std::size_t kDeviceIdAt = 16;

}  // namespace

Request pollRequest(Session& session, int pollingItem, int masterItem) {
    // A box without a selection polls address 0.
    const auto address = static_cast<std::uint8_t>(
        pollingItem >= 0 && pollingItem <= kLastPollingAddress ? pollingItem : 0);
    session.identity.polledAddress = address;
    return requestFor("Button3", hart::shortFrame(masterBit(masterItem), address),
                      hart::text::kReading);
}

Request scanStart(Session& session, int masterItem) {
    session.identity.polledAddress = 0;
    Request r =
        requestFor("Button16", hart::shortFrame(masterBit(masterItem), 0), hart::text::kReading);
    r.clearLog = false;
    r.before.push_back({"Label33", hart::Update::Kind::Text, scanLabel(0), 0});
    return r;
}

ScanStep scanStep(Session& session) {
    ScanStep step;
    const int address = session.identity.polledAddress + 1;
    session.identity.polledAddress = static_cast<std::uint8_t>(address);
    if (address > kLastPollingAddress) {
        step.notFound = hart::text::kNotFound;
        return step;
    }
    // The scan steps always poll as primary master.
    Request r = requestFor(
        "Timer1", hart::shortFrame(hart::kPrimaryMaster, static_cast<std::uint8_t>(address)),
        hart::text::kReading);
    r.before.push_back({"Label33", hart::Update::Kind::Text, scanLabel(address), 0});
    step.request = std::move(r);
    return step;
}

hart::Outcome decodePoll(const hart::ReceiveBuffer& buffer, Session& session, int command) {
    hart::Outcome out;
    const auto reply = hart::findReply(buffer, hart::replyScanFor(hart::kPollTag, command));
    if (!reply || !reply->has(kManufacturerAt, 3) || !reply->has(kDeviceIdAt, 3)) {
        // The stored identity stays; a running scan goes on with the next address.
        out.status = hart::text::kReadFailed;
        for (const char* field : {"Edit1", "Edit2", "Edit3", "Edit4"}) out.setText(field, "");
        out.select("ComboBox9", 0);
        return out;
    }
    hart::DeviceIdentity& id = session.identity;
    id.manufacturer = reply->at(kManufacturerAt);
    id.deviceType = reply->at(kDeviceTypeAt);
    id.deviceId = {reply->at(kDeviceIdAt), reply->at(kDeviceIdAt + 1), reply->at(kDeviceIdAt + 2)};
    out.setText("Edit1", std::to_string(id.manufacturer));
    out.setText("Edit2", std::to_string(id.deviceType));
    out.setText("Edit3", std::to_string(reply->at(kPreamblesAt)));
    out.select("ComboBox9", id.polledAddress);
    out.select("ComboBox3", id.polledAddress);
    const std::string number = std::to_string(id.deviceIdNumber());
    out.setText("Edit4", number);
    out.setText("Edit28", number);
    out.status = hart::text::kReadOk;
    out.stopScan = true;
    return out;
}

Request consoleRequest(std::u32string_view entry) {
    constexpr std::string_view kStart = hart::text::kWriting;
    constexpr std::size_t kMaxBytes = 15;
    const std::size_t length = entry.size();
    std::size_t n = length / 3 + (length % 3 == 2 ? 1 : 0);
    if (n > kMaxBytes) n = kMaxBytes;

    auto consoleRefusal = [&](const char* message) {
        Request r = refused(kStart, message, false);
        r.blankEchoFirst = true;
        return r;
    };
    if (n == 0) return consoleRefusal("NO SPACK");
    for (std::size_t k = 0; k + 1 < n; ++k) {
        if (entry[3 * k + 2] != U' ') return consoleRefusal("NO SPACK");
    }
    auto nibble = [](char32_t c) -> int {
        if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
        if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A' + 10);
        return -1;  // lower case is refused too
    };
    std::vector<std::uint8_t> bytes;
    for (std::size_t k = 0; k < n; ++k) {
        const int hi = nibble(entry[3 * k]);
        const int lo = nibble(entry[3 * k + 1]);
        if (hi < 0 || lo < 0) return consoleRefusal("Data eeore!");
        bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
    }
    Request r = requestFor("Button17", hart::rawFrame(bytes), kStart);
    r.blankEchoFirst = true;
    return r;
}

}  // namespace ops
