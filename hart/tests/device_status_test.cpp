#include "hart/device_status.h"

#include <gtest/gtest.h>

namespace hart {
namespace {

TEST(DeviceStatus, TextColourMoreStatusAndNamesOfTheStatusBytes) {
    const struct {
        std::uint8_t first, second;
        bool alarm, more;
        const char* text;
        const char* names;
    } cases[] = {
        {0x00, 0x00, false, false, "设备状态正常", ""},
        {0x07, 0x58, false, true, "组态已改变、更多状态可用、回路电流固定",
         "configuration changed, more status available, loop current fixed"},
        {0x00, 0xA7, true, false, "设备故障、冷启动、回路电流饱和、非主变量超限、主变量超限",
         "device malfunction, cold start, loop current saturated, non-primary variable out of "
         "limits, primary variable out of limits"},
        // A communication error report: its bits; the second byte is no device status.
        {0xFA, 0x10, true, false,
         "通信错误:奇偶校验错误、溢出错误、帧错误、校验和错误、接收缓冲区溢出",
         "communication error, parity error, overrun error, framing error, checksum error, "
         "receive buffer overflow"},
    };
    for (const auto& c : cases) {
        const StatusView view = describeStatus({c.first, c.second});
        EXPECT_EQ(view.text, c.text);
        EXPECT_EQ(view.alarm, c.alarm) << c.text;
        EXPECT_EQ(view.moreStatus, c.more) << c.text;
        std::string names;
        for (auto n : statusNames({c.first, c.second}))
            names.append(names.empty() ? "" : ", ").append(n);
        EXPECT_EQ(names, c.names);
    }
}

}  // namespace
}  // namespace hart
