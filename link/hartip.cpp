#include "link/hartip.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "hart/wire.h"

namespace serial::hartip {

namespace {

constexpr std::uint8_t kTypes[] = {0, 1, 2, 3, 15};
constexpr std::size_t kMaxBody = 0xFFFF - kHeaderSize;

struct StatusEntry {
    std::uint8_t status;
    const char* text;
};

// What the device means by a status in its answer; a code missing here is shown by number.
constexpr StatusEntry kStatusTexts[] = {
    {kStatusInvalidSelection, "the device refused the request (invalid selection)"},
    {kStatusTooFewBytes, "the device found too few data bytes in the request"},
    {6, "the device reported a device-specific error"},
    {kStatusNearestValue, "the device set the inactivity time to the nearest it allows"},
    {14, "the device does not support this HART-IP version"},
    {kStatusAllSessionsInUse, "all the device's sessions are in use"},
    {16, "a session with the device is already established"},
    {32, "the device is busy"},
};

struct MessageName {
    Id id;
    const char* name;
};
constexpr MessageName kMessageNames[] = {
    {Id::SessionInitiate, "session initiate"},
    {Id::SessionClose, "session close"},
    {Id::KeepAlive, "keep-alive"},
    {Id::Pdu, "HART request"},
};

std::string messageName(Id id) {
    for (const auto& m : kMessageNames)
        if (m.id == id) return m.name;
    return "message " + std::to_string(static_cast<int>(id));
}

std::optional<std::uint16_t> portNumber(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > 0xFFFF)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// HOST[:PORT] with the port optional; nullopt when either part is unusable.
std::optional<Address> hostAndPort(std::string_view text, bool portRequired) {
    Address a;
    std::string_view host = text;
    std::optional<std::string_view> port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':')) return std::nullopt;
            port = rest.substr(1);
        }
    } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) return std::nullopt;  // v6 needs brackets
    }
    if (host.empty() || (portRequired && !port)) return std::nullopt;
    const bool plain = std::all_of(host.begin(), host.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_' ||
               c == ':' || c == '%';
    });
    if (!plain) return std::nullopt;
    if (port) {
        const auto n = portNumber(*port);
        if (!n) return std::nullopt;
        a.port = *n;
    }
    a.host = std::string(host);
    return a;
}

}  // namespace

std::array<std::uint8_t, kHeaderSize> encodeHeader(const Header& h) {
    return {h.version,
            static_cast<std::uint8_t>(h.type),
            static_cast<std::uint8_t>(h.id),
            h.status,
            static_cast<std::uint8_t>(h.sequence >> 8),
            static_cast<std::uint8_t>(h.sequence),
            static_cast<std::uint8_t>(h.byteCount >> 8),
            static_cast<std::uint8_t>(h.byteCount)};
}

std::optional<Header> decodeHeader(std::span<const std::uint8_t> b) {
    if (b.size() < kHeaderSize) return std::nullopt;
    Header h;
    h.version = b[0];
    h.type = static_cast<Type>(b[1]);
    h.id = static_cast<Id>(b[2]);
    h.status = b[3];
    h.sequence = static_cast<std::uint16_t>(b[4] << 8 | b[5]);
    h.byteCount = static_cast<std::uint16_t>(b[6] << 8 | b[7]);
    return h;
}

const char* headerFault(const Header& h) {
    if (h.version != kVersion) return "the device speaks another HART-IP version";
    if (h.byteCount < kHeaderSize) return "the device sent a message shorter than its header";
    if (std::find(std::begin(kTypes), std::end(kTypes), static_cast<std::uint8_t>(h.type)) ==
        std::end(kTypes))
        return "the device sent a message of unknown type";
    return nullptr;
}

std::vector<std::uint8_t> encode(Type type, Id id, std::uint16_t sequence,
                                 std::span<const std::uint8_t> body, std::uint8_t status) {
    if (body.size() > kMaxBody) return {};
    Header h{kVersion, type,     id,
             status,   sequence, static_cast<std::uint16_t>(kHeaderSize + body.size())};
    const auto head = encodeHeader(h);
    std::vector<std::uint8_t> out(head.begin(), head.end());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> sessionInitiate(std::uint16_t sequence, std::uint32_t inactivityMs,
                                          std::uint8_t masterType) {
    const std::uint8_t body[] = {masterType, static_cast<std::uint8_t>(inactivityMs >> 24),
                                 static_cast<std::uint8_t>(inactivityMs >> 16),
                                 static_cast<std::uint8_t>(inactivityMs >> 8),
                                 static_cast<std::uint8_t>(inactivityMs)};
    return encode(Type::Request, Id::SessionInitiate, sequence, body);
}

std::vector<std::uint8_t> pduRequest(std::uint16_t sequence, std::span<const std::uint8_t> frame) {
    return encode(Type::Request, Id::Pdu, sequence, hart::withoutPreambles(frame));
}

std::vector<std::uint8_t> withPreambles(std::span<const std::uint8_t> body) {
    // Sized once and copied into: GCC 12 at -O3 warns falsely on an insert here.
    std::vector<std::uint8_t> out(kDeliveredPreambles + body.size(), 0xFF);
    std::copy(body.begin(), body.end(), out.begin() + kDeliveredPreambles);
    return out;
}

std::optional<std::uint32_t> inactivityOf(std::span<const std::uint8_t> body) {
    if (body.size() < 5) return std::nullopt;
    return std::uint32_t{body[1]} << 24 | std::uint32_t{body[2]} << 16 |
           std::uint32_t{body[3]} << 8 | body[4];
}

void MessageReader::feed(std::span<const std::uint8_t> bytes) {
    if (fault_ == nullptr) buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<Message> MessageReader::next() {
    if (fault_ != nullptr) return std::nullopt;
    const auto h = decodeHeader(buffer_);
    if (!h) return std::nullopt;
    if ((fault_ = headerFault(*h)) != nullptr) {
        buffer_.clear();
        return std::nullopt;
    }
    if (buffer_.size() < h->byteCount) return std::nullopt;
    Message m{*h, {buffer_.begin() + kHeaderSize, buffer_.begin() + h->byteCount}};
    buffer_.erase(buffer_.begin(), buffer_.begin() + h->byteCount);
    return m;
}

void MessageReader::reset() {
    buffer_.clear();
    fault_ = nullptr;
}

NameKind parseName(std::string_view name) {
    struct Scheme {
        std::string_view prefix;
        Transport transport;
    };
    constexpr Scheme kSchemes[] = {{"hartip://", Transport::Tcp},
                                   {"hartip+udp://", Transport::Udp}};
    for (const Scheme& scheme : kSchemes) {
        const std::string_view prefix = scheme.prefix;
        if (name.size() < prefix.size() ||
            !std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
                return a == std::tolower(static_cast<unsigned char>(b));
            }))
            continue;
        std::string_view rest = name.substr(prefix.size());
        if (rest.ends_with('/')) rest.remove_suffix(1);
        return {true, hostAndPort(rest, false), scheme.transport};
    }
    // Device paths (even /dev/serial/by-path names with colons in them) stay serial.
    if (name.find('/') != std::string_view::npos || name.find(':') == std::string_view::npos)
        return {};
    const auto a = hostAndPort(name, true);
    if (!a) return {};
    return {true, a, Transport::Tcp};
}

std::string statusText(const Header& h) {
    std::string what;
    for (const auto& e : kStatusTexts)
        if (e.status == h.status) what = e.text;
    if (what.empty() && h.status != 0)
        what = "the device answered status " + std::to_string(h.status);
    const std::string on = " (" + messageName(h.id) + ")";
    switch (h.type) {
        case Type::Nak:
            return "the device refused the message" + (what.empty() ? "" : ": " + what) + on;
        case Type::Error:
            return "the device reported an error" + (what.empty() ? "" : ": " + what) + on;
        default:
            return what.empty() ? what : what + on;
    }
}

}  // namespace serial::hartip
