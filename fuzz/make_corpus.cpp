// Writes the seed corpus of every fuzz target from what the tests use: each row of the
// operation table built from the test controls and answered by the simulator's demo loop
// (the exchanges of the end-to-end tests), the hex frames written in the test sources, the
// texts the number, text and date tests type, and the configuration file examples of the
// documents.
//
// make_corpus OUTDIR SOURCE...   (test sources and documents)
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "hart/frame.h"
#include "ops/config_file.h"
#include "ops/operation.h"
#include "ops/tests/op_test_util.h"
#include "sim/loop.h"
#include "sim/models.h"
#include "sim/parser.h"

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

fs::path out;
int written = 0;

void put(const std::string& target, const std::string& name, const Bytes& bytes) {
    fs::create_directories(out / target);
    std::ofstream(out / target / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ++written;
}
void put(const std::string& target, const std::string& name, const std::string& text) {
    put(target, name, Bytes(text.begin(), text.end()));
}

std::string textOf(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Identity, then one request: row, one chunk.
Bytes replyCase(const hart::DeviceIdentity& id, std::size_t row, const Bytes& reply) {
    Bytes b{id.manufacturer,
            id.deviceType,
            id.deviceId[0],
            id.deviceId[1],
            id.deviceId[2],
            static_cast<std::uint8_t>(row >> 8),
            static_cast<std::uint8_t>(row),
            0,
            static_cast<std::uint8_t>(std::min<std::size_t>(reply.size(), 255))};
    b.insert(b.end(), reply.begin(), reply.begin() + std::min<std::size_t>(reply.size(), 255));
    return b;
}

// The parser target's chunks: at most 127 bytes each, a quiet spell after the last.
Bytes streamCase(const Bytes& frame) {
    Bytes b;
    for (std::size_t at = 0; at < frame.size(); at += 127) {
        const std::size_t n = std::min<std::size_t>(127, frame.size() - at);
        b.push_back(static_cast<std::uint8_t>(n | (at + n == frame.size() ? 0x80 : 0)));
        b.insert(b.end(), frame.begin() + at, frame.begin() + at + n);
    }
    return b;
}

hart::DeviceIdentity identityOf(const hartsim::Device& d) {
    hart::DeviceIdentity id;
    id.manufacturer = d.identity.manufacturer;
    id.deviceType = d.identity.deviceType;
    id.deviceId = {static_cast<std::uint8_t>(d.identity.deviceId >> 16),
                   static_cast<std::uint8_t>(d.identity.deviceId >> 8),
                   static_cast<std::uint8_t>(d.identity.deviceId)};
    id.polledAddress = d.identity.pollingAddress;
    return id;
}

// Every row against every instrument of the demo loop: the first good answer is its seed.
void exchanges() {
    std::vector<hartsim::Device> devices;
    for (const auto& spec : hartsim::demoLoop()) devices.push_back(hartsim::buildDevice(spec));
    const auto rows = ops::operations();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ops::Operation& op = rows[i];
        bool good = false;
        for (auto& device : devices) {
            if (good) break;
            ops::Session session;
            session.identity = identityOf(device);
            const ops::Request r = ops::build(op, ops::testing::validControls(), session);
            if (!r.refusal.empty() || r.frame.size() == 0) break;
            const Bytes frame(r.frame.bytes().begin(), r.frame.bytes().end());
            hartsim::FrameParser parser;
            auto in = parser.feed(frame);
            for (auto& more : parser.idle()) in.push_back(std::move(more));
            for (const auto& request : in) {
                if (request.kind != hartsim::Incoming::Kind::Frame ||
                    !hartsim::addressedTo(device, request.request)) {
                    continue;
                }
                const auto reply = hartsim::handle(device, request.request);
                const Bytes wire = hartsim::replyFrame(device, request.request, reply, 5);
                const std::string name =
                    std::string(op.control) + "-" + std::to_string(device.identity.pollingAddress);
                put("reply_path", name, replyCase(session.identity, i, wire));
                put("sim_parser", name, streamCase(frame));
                put("console", name, hart::hexText(r.frame.bytes()));
                good = reply.responseCode == 0;
            }
        }
    }
}

// Quoted hex frames in the test sources ("FF FF 02 80 00 00 82").
void testFrames(const std::vector<std::string>& sources) {
    const std::regex hex(R"re("((?:[0-9A-F]{2} ){2,}[0-9A-F]{2}) ?")re");
    const auto rows = ops::operations();
    int n = 0;
    for (const auto& path : sources) {
        const std::string s = textOf(path);
        for (auto it = std::sregex_iterator(s.begin(), s.end(), hex); it != std::sregex_iterator();
             ++it) {
            Bytes bytes;
            std::istringstream words((*it)[1].str());
            for (std::string w; words >> w;)
                bytes.push_back(static_cast<std::uint8_t>(std::stoul(w, nullptr, 16)));
            const std::string name = "test-" + std::to_string(++n);
            put("console", name, (*it)[1].str());
            put("sim_parser", name, streamCase(bytes));
            // A reply goes to the first row of its command (long reply: byte 7 after the
            // preambles; short: byte 3).
            std::size_t d = 0;
            while (d < bytes.size() && bytes[d] == 0xFF) ++d;
            if (d >= bytes.size()) continue;
            const std::size_t at = d + ((bytes[d] & 0x80) ? 6 : 2);
            std::size_t row = 0;
            for (std::size_t i = 0; i < rows.size() && at < bytes.size(); ++i) {
                if (rows[i].command == bytes[at]) {
                    row = i;
                    break;
                }
            }
            hart::DeviceIdentity id{0x26, 0x06, {0x00, 0x12, 0x34}, 0};
            put("reply_path", name, replyCase(id, row, bytes));
        }
    }
}

void typedTexts() {
    const char* numbers[] = {"1",    "-1.5",       "  20.0 ",      "5.",         ".5",
                             "1e3",  "-2.5E-3",    "3.4028235e38", "1e39",       "1e-46",
                             "0x10", "inf",        "nan",          "",           " ",
                             "+7",   "2147483647", "-2147483648",  "2147483648", "\t12\t",
                             "1,5",  "--1"};
    int n = 0;
    for (const char* t : numbers) put("numbers", "n" + std::to_string(++n), std::string(t));

    const std::pair<int, const char*> texts[] = {{32, "MESSAGE"},
                                                 {8, "TAG"},
                                                 {16, "DESCRIPTOR"},
                                                 {8, "tag_1@[]"},
                                                 {8, "TAG~"},
                                                 {8, "\xe4\xb8\xad\xe6\x96\x87"},
                                                 {32, "A MESSAGE OF EXACTLY 32 CHARS..."},
                                                 {5, "ABCDEFG"}};
    n = 0;
    for (const auto& [chars, t] : texts) {
        put("packed_text", "t" + std::to_string(++n), std::string(1, static_cast<char>(chars)) + t);
    }
    const char* dates[][3] = {{"2019", "6", "15"},     {"1900", "1", "1"},  {"2155", "12", "31"},
                              {"2024", "2", "29"},     {"2023", "2", "29"}, {"1899", "1", "1"},
                              {" 2019 ", "06", "015"}, {"x", "1", "1"}};
    n = 0;
    for (const auto& d : dates) {
        std::string s = "\x80";
        s += std::string(d[0]) + '\0' + d[1] + '\0' + d[2] + '\0' + "\x0F\x06\x77";
        put("packed_text", "d" + std::to_string(++n), s);
    }
}

// A configuration file of every part, with texts that need escapes, and the JSON examples of
// the documents among the sources.
void configFiles(const std::vector<std::string>& sources) {
    const std::regex example("```json\n([\\s\\S]*?)```");
    int n = 0;
    for (const auto& path : sources) {
        if (!path.ends_with(".md")) continue;
        const std::string s = textOf(path);
        for (auto it = std::sregex_iterator(s.begin(), s.end(), example);
             it != std::sregex_iterator(); ++it) {
            put("config_file", "example-" + std::to_string(++n), (*it)[1].str());
        }
    }
    ops::config::Values v;
    for (const ops::config::FieldRow& f : ops::config::fieldRows()) v[std::string(f.name)] = "1";
    v["tag"] = "\"A\\B\"\t";
    v["transfer-function"] = "线性";
    put("config_file", "every_part",
        ops::config::toJson(ops::config::recordOf(v, "2026-12-08T00:00:00Z", "make_corpus")));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: make_corpus OUTDIR TEST_SOURCE...\n";
        return 2;
    }
    out = argv[1];
    exchanges();
    testFrames({argv + 2, argv + argc});
    typedTexts();
    configFiles({argv + 2, argv + argc});
    std::cout << written << " seeds in " << out << "\n";
    return 0;
}
