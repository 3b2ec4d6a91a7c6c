#include "hart/device_status.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace hart {
namespace {

TEST(DeviceStatus, TextColourAndMoreStatusOfTheStatusBytes) {
    const struct {
        std::uint8_t first, second;
        bool alarm, more;
        const char* text;
    } cases[] = {
        {0x00, 0x00, false, false, "设备状态正常"},
        {0x07, 0x58, false, true, "组态已改变、更多状态可用、回路电流固定"},
        {0x00, 0xA7, true, false, "设备故障、冷启动、回路电流饱和、非主变量超限、主变量超限"},
        // A communication error report: its bits; the second byte is no device status.
        {0xFA, 0x10, true, false,
         "通信错误:奇偶校验错误、溢出错误、帧错误、校验和错误、接收缓冲区溢出"},
    };
    for (const auto& c : cases) {
        const StatusView view = describeStatus({c.first, c.second});
        EXPECT_EQ(view.text, c.text);
        EXPECT_EQ(view.alarm, c.alarm) << c.text;
        EXPECT_EQ(view.moreStatus, c.more) << c.text;
    }
}

// Every bit alone and with its neighbours names itself and nothing else.
TEST(DeviceStatus, EachBitNamesItselfAloneAndBesideItsNeighbours) {
    const char* const kNames[2][8] = {
        {"primary variable out of limits", "non-primary variable out of limits",
         "loop current saturated", "loop current fixed", "more status available", "cold start",
         "configuration changed", "device malfunction"},
        {nullptr, "receive buffer overflow", nullptr, "checksum error", "framing error",
         "overrun error", "parity error", nullptr},
    };
    for (const bool comm : {false, true}) {
        for (int bit = 0; bit < 8; ++bit) {
            for (int reach : {0, 1}) {
                std::uint8_t bits = comm ? kCommErrorReport : 0;
                std::vector<std::string_view> want;
                if (comm) want.push_back("communication error");
                for (int b = std::min(bit + reach, 7); b >= std::max(bit - reach, 0); --b) {
                    bits |= static_cast<std::uint8_t>(1 << b);
                    if (kNames[comm][b] != nullptr) want.push_back(kNames[comm][b]);
                }
                const StatusBytes status = comm ? StatusBytes{bits, 0xFF} : StatusBytes{0, bits};
                EXPECT_EQ(statusNames(status), want) << std::hex << int(bits);
            }
        }
    }
}

}  // namespace
}  // namespace hart
