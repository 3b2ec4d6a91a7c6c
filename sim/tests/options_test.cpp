#include "sim/options.h"

#include <gtest/gtest.h>

namespace hartsim {
namespace {

TEST(Options, DeviceSpecs) {
    const struct {
        const char* text;
        bool ok;
        int address, manufacturer, type;
        std::uint32_t id;
    } cases[] = {
        {"3:0x26:0x06:0x001234", true, 3, 0x26, 0x06, 0x1234},
        {"15:38:6:16777215", true, 15, 38, 6, 0xFFFFFF},
        {"16:1:2:3", false, 0, 0, 0, 0},
        {"0:256:2:3", false, 0, 0, 0, 0},
        {"0:1:2:0x1000000", false, 0, 0, 0, 0},
        {"0:1:2", false, 0, 0, 0, 0},
        {"0:1:2:3:4", false, 0, 0, 0, 0},
        {"0:-1:2:3", false, 0, 0, 0, 0},
        {"0::2:3", false, 0, 0, 0, 0},
        {"a:1:2:3", false, 0, 0, 0, 0},
        {"2:tt50c", true, 2, 0x45, 0x80, 0x50C0},
        {"5:0x26:6:7:eja", true, 5, 0x26, 6, 7},
        {"5:1:2:3:nosuch", false, 0, 0, 0, 0},
        {"16:eja", false, 0, 0, 0, 0},
        {"1:0x26", false, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto id = parseDeviceSpec(c.text);
        ASSERT_EQ(id.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(id->pollingAddress, c.address);
        EXPECT_EQ(id->manufacturer, c.manufacturer);
        EXPECT_EQ(id->deviceType, c.type);
        EXPECT_EQ(id->deviceId, c.id);
    }
    EXPECT_EQ(parseDeviceSpec("2:tt50c")->model, findModel("tt50c"));
    EXPECT_EQ(parseDeviceSpec("5:0x26:6:7:eja")->model, findModel("eja"));
    EXPECT_EQ(parseDeviceSpec("5:0x26:6:7")->model, nullptr);
}

TEST(Options, CommandLines) {
    Options o = parseOptions({"--fast", "--link", "/tmp/x", "--preambles=8", "--device-spec",
                              "1:1:2:3", "--device-spec=4:1:2:5"});
    EXPECT_EQ(o.error, "");
    EXPECT_TRUE(o.fast);
    EXPECT_EQ(o.link, "/tmp/x");
    EXPECT_EQ(o.preambles, 8);
    ASSERT_EQ(o.devices.size(), 2u);
    EXPECT_EQ(o.devices[1].pollingAddress, 4);
    EXPECT_EQ(parseOptions({"--demo"}).devices.size(), demoLoop().size());

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--preambles", "1"},
             {"--preambles", "21"},
             {"--link"},
             {"--fast=1"},
             {"--colour"},
             {"--device-spec", "2:1:1:1", "--device-spec", "2:1:1:2"},  // one address, two devices
             {"--demo", "--device-spec", "1:eja"},
             {"--hartip", "0", "--hartip-udp", "0"},
             {"--hartip-udp", "65536"},
         }) {
        SCOPED_TRACE(bad[0]);
        EXPECT_NE(parseOptions(bad).error, "");
    }
}

}  // namespace
}  // namespace hartsim
