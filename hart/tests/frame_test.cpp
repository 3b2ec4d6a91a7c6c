#include "hart/frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace hart {
namespace {

std::string hex(const Frame& f) {
    return hexText(f.bytes());
}

TEST(HexText, TwoUpperCaseDigitsAndASpacePerByte) {
    const std::vector<std::uint8_t> bytes{0x00, 0x0A, 0xFF, 0x5c};
    EXPECT_EQ(hexText(bytes), "00 0A FF 5C ");
    EXPECT_EQ(hexText({}), "");
}

TEST(ShortFrame, PollingFramesAsTheyGoOnTheWire) {
    struct Case {
        std::uint8_t master;
        std::uint8_t address;
        int preambles;
        const char* wire;
    };
    const Case cases[] = {
        {kPrimaryMaster, 0, 6, "FF FF FF FF FF FF 02 80 00 00 82 "},
        {kSecondaryMaster, 5, 6, "FF FF FF FF FF FF 02 05 00 00 07 "},
        {kPrimaryMaster, 15, 6, "FF FF FF FF FF FF 02 8F 00 00 8D "},
        // the serial-number read: same layout with 8 preambles
        {kPrimaryMaster, 3, 8, "FF FF FF FF FF FF FF FF 02 83 00 00 81 "},
    };
    for (const auto& c : cases) {
        const Frame f = shortFrame(c.master, c.address, c.preambles);
        EXPECT_EQ(hex(f), c.wire);
        EXPECT_EQ(f.size(), static_cast<std::size_t>(c.preambles + 5));
    }
}

TEST(LongFrame, CommandThreeToAnIdentifiedDevice) {
    DeviceIdentity id;
    id.manufacturer = 0x26;
    id.deviceType = 0x06;
    id.deviceId = {0x00, 0x12, 0x34};
    const Frame f = longFrame(kPrimaryMaster, id, 3);
    EXPECT_EQ(hex(f), "FF FF FF FF FF FF FF FF 82 A6 06 00 12 34 03 00 07 ");
    EXPECT_EQ(f.size(), 17u);
}

TEST(LongFrame, OnlyTheLowSixBitsOfTheManufacturerReachTheAddress) {
    DeviceIdentity id;
    id.manufacturer = 0x51;
    EXPECT_EQ(longFrame(kPrimaryMaster, id, 3)[9], 0x91);
    EXPECT_EQ(longFrame(kSecondaryMaster, id, 3)[9], 0x11);
    id.manufacturer = 0xFF;
    EXPECT_EQ(longFrame(kSecondaryMaster, id, 3)[9], 0x3F);
}

TEST(LongFrame, BeforeAnyPollTheAddressIsAllZeroButTheMasterBit) {
    const Frame f = longFrame(kPrimaryMaster, DeviceIdentity{}, 1);
    EXPECT_EQ(hexText(f.bytes().subspan(9, 5)), "80 00 00 00 00 ");
}

TEST(LongFrame, DataAndCheckByteFollowTheByteCount) {
    DeviceIdentity id;
    id.manufacturer = 0x26;
    id.deviceType = 0x06;
    id.deviceId = {0x00, 0x12, 0x34};
    const std::vector<std::uint8_t> data{0x41, 0x48, 0x00, 0x00};
    const Frame f = longFrame(kPrimaryMaster, id, 35, data);
    ASSERT_EQ(f.size(), 21u);
    EXPECT_EQ(f[15], 4);
    EXPECT_EQ(hexText(f.bytes().subspan(16, 4)), "41 48 00 00 ");
    // The even count of preambles cancels: the check byte is the XOR from the delimiter on.
    EXPECT_EQ(f[20], checkByte(f.bytes().subspan(8, 12)));
    EXPECT_EQ(checkByte(f.bytes()), 0);
}

TEST(LongFrame, TheLongestFrameFitsTheRequestBuffer) {
    const std::vector<std::uint8_t> longTag(34, 0x20);
    EXPECT_EQ(longFrame(kPrimaryMaster, DeviceIdentity{}, 22, longTag).size(), 51u);
    const std::vector<std::uint8_t> tooLong(40, 0x20);
    EXPECT_EQ(longFrame(kPrimaryMaster, DeviceIdentity{}, 22, tooLong).size(), 51u);
    EXPECT_EQ(longFrame(kPrimaryMaster, DeviceIdentity{}, 521, tooLong).size(), 51u);
}

TEST(LongFrame, ExpandedCommandsGoAsCommand31WithTheirNumberFirst) {
    DeviceIdentity id;
    id.manufacturer = 0x26;
    id.deviceType = 0x06;
    id.deviceId = {0x00, 0x12, 0x34};
    const std::uint8_t data[] = {'D', 'E', 0x01};
    EXPECT_EQ(hex(longFrame(kPrimaryMaster, id, 513, data)),
              "FF FF FF FF FF FF FF FF 82 A6 06 00 12 34 1F 05 02 01 44 45 01 1D ");
    EXPECT_EQ(hex(broadcastFrame(kPrimaryMaster, 11, std::span(data).first(1))),
              "FF FF FF FF FF FF FF FF 82 80 00 00 00 00 0B 01 44 4C ");
}

TEST(RawFrame, ConsoleFramesGetSixPreamblesAndTheirCheckByte) {
    const std::vector<std::uint8_t> body{0x76, 0x89, 0xFD, 0xAD};
    EXPECT_EQ(hex(rawFrame(body)), "FF FF FF FF FF FF 76 89 FD AD AF ");
    const std::vector<std::uint8_t> poll{0x02, 0x80, 0x00, 0x00};
    EXPECT_EQ(hex(rawFrame(poll)), "FF FF FF FF FF FF 02 80 00 00 82 ");
}

TEST(DeviceIdentity, IdentifierAsOneNumber) {
    DeviceIdentity id;
    id.deviceId = {0x00, 0x01, 0x02};
    EXPECT_EQ(id.deviceIdNumber(), 258u);
    id.deviceId = {0xFF, 0xFF, 0xFF};
    EXPECT_EQ(id.deviceIdNumber(), 16777215u);
}

}  // namespace
}  // namespace hart
