#include "sim/device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "hart/packed_text.h"
#include "sim_test_util.h"

namespace hartsim {
namespace {

using simtest::concat;
using simtest::floatAt;
using simtest::longRequest;
using simtest::wireFloat;

// A transmitter whose applied pressure holds still, so readings can be compared exactly.
Device steadyDevice(double appliedKPa = 40.0) {
    Device d = makeDevice(Identity{});
    d.process.swing = 0.0;
    d.process.centre = appliedKPa;
    return d;
}

Reply run(Device& d, std::uint8_t command, std::vector<std::uint8_t> data = {}) {
    return handle(d, longRequest(d, command, std::move(data)));
}

std::vector<std::uint8_t> packed(const std::string& text, std::size_t chars) {
    return hart::packText(text, chars);
}

TEST(DeviceReads, IdentityReplyCarriesTheHart5Layout) {
    Device d = steadyDevice();
    const Reply r = run(d, 0);
    EXPECT_EQ(r.responseCode, 0);
    EXPECT_EQ(r.data,
              (std::vector<std::uint8_t>{254, 0x26, 0x06, 5, 5, 3, 2, 0x08, 0, 0x00, 0x12, 0x34}));
}

TEST(DeviceReads, LiveValuesFollowThePrimaryVariableWithinTheRange) {
    Device d = steadyDevice(25.0);  // range 0..100 kPa
    const Reply two = run(d, 2);
    ASSERT_EQ(two.data.size(), 8u);
    EXPECT_FLOAT_EQ(floatAt(two.data, 0), 8.0f);
    EXPECT_FLOAT_EQ(floatAt(two.data, 4), 25.0f);

    const Reply three = run(d, 3);
    ASSERT_EQ(three.data.size(), 24u);  // byte count 26 with the status bytes
    EXPECT_FLOAT_EQ(floatAt(three.data, 0), 8.0f);
    EXPECT_EQ(three.data[4], kUnitKPa);
    EXPECT_FLOAT_EQ(floatAt(three.data, 5), 25.0f);
    EXPECT_EQ(three.data[9], kUnitDegC);
    EXPECT_EQ(three.data[14], kUnitDegC);
    EXPECT_EQ(three.data[19], kUnitPercent);
    EXPECT_FLOAT_EQ(floatAt(three.data, 20), 25.0f);

    const Reply one = run(d, 1);
    EXPECT_EQ(one.data, concat({{kUnitKPa}, wireFloat(25.0f)}));
}

TEST(DeviceReads, PressureDriftsSlowlyAndStaysInTheRange) {
    Device d = makeDevice(Identity{});
    float low = 1e9f, high = -1e9f;
    for (double t = 0; t < 240; t += 1.0) {
        d.now = t;
        const float p = percentOfRange(d);
        low = std::min(low, p);
        high = std::max(high, p);
        EXPECT_NEAR(loopCurrent(d), 4.0f + 0.16f * p, 1e-4f);
    }
    EXPECT_GT(high - low, 5.0f);
    EXPECT_GT(low, 0.0f);
    EXPECT_LT(high, 100.0f);
}

TEST(DeviceReads, SquareRootTransferFunctionShapesPercentAndCurrent) {
    Device d = steadyDevice(25.0);
    ASSERT_EQ(run(d, 47, {1}).responseCode, 0);
    EXPECT_FLOAT_EQ(percentOfRange(d), 50.0f);
    EXPECT_FLOAT_EQ(loopCurrent(d), 12.0f);
}

struct WriteRead {
    const char* name;
    std::uint8_t writeCommand;
    std::vector<std::uint8_t> writeData;
    std::uint8_t readCommand;
    std::size_t readOffset;
    std::vector<std::uint8_t> expected;
};

TEST(DeviceState, WritesChangeWhatReadsReturn) {
    const auto tag = packed("TT-42", hart::kTagChars);
    const auto descriptor = packed("BOILER FEED", hart::kDescriptorChars);
    const auto message = packed("CALIBRATED 2024 BY A TECHNICIAN", hart::kMessageChars);
    const WriteRead cases[] = {
        {"range values", 35, concat({{kUnitKPa}, wireFloat(150.0f), wireFloat(-20.0f)}), 15, 3,
         concat({wireFloat(150.0f), wireFloat(-20.0f)})},
        {"range in psi, read in kPa", 35, concat({{6}, wireFloat(10.0f), wireFloat(0.0f)}), 15, 2,
         concat({{kUnitKPa}, wireFloat(68.9475729f), wireFloat(0.0f)})},
        {"damping", 34, wireFloat(2.5f), 15, 11, wireFloat(2.5f)},
        {"transfer function", 47, {1}, 15, 1, {1}},
        {"unit", 44, {7}, 15, 2, concat({{7}, wireFloat(1.0f), wireFloat(0.0f)})},
        {"unit converts the sensor limits",
         44,
         {7},
         14,
         3,
         concat({{7}, wireFloat(2.5f), wireFloat(-1.0f), wireFloat(0.025f)})},
        {"message", 17, message, 12, 0, message},
        {"tag, descriptor, date", 18, concat({tag, descriptor, {0x0F, 0x06, 0x77}}), 13, 0,
         concat({tag, descriptor, {0x0F, 0x06, 0x77}})},
        {"final assembly number", 19, {0x12, 0x34, 0x56}, 16, 0, {0x12, 0x34, 0x56}},
        {"sensor serial number", 49, {0x00, 0x01, 0x02}, 14, 0, {0x00, 0x01, 0x02}},
        {"unit of the live value", 44, {7}, 3, 4, concat({{7}, wireFloat(0.4f)})},
        {"square root in the live percent",
         47,
         {1},
         3,
         20,
         wireFloat(static_cast<float>(10.0 * std::sqrt(40.0)))},
        {"zero", 43, {}, 3, 5, wireFloat(0.0f)},
        {"low point", 131, concat({{kUnitKPa}, wireFloat(5.0f)}), 3, 5, wireFloat(5.0f)},
        {"high point", 130, concat({{kUnitKPa}, wireFloat(30.0f)}), 3, 5, wireFloat(30.0f)},
    };
    for (const WriteRead& c : cases) {
        SCOPED_TRACE(c.name);
        Device d = steadyDevice();
        const Reply w = run(d, c.writeCommand, c.writeData);
        EXPECT_EQ(w.responseCode, 0);
        EXPECT_EQ(w.data, c.writeData);  // writes echo what they took
        EXPECT_TRUE(d.configChanged);
        const Reply r = run(d, c.readCommand);
        ASSERT_GE(r.data.size(), c.readOffset + c.expected.size());
        EXPECT_EQ(std::vector<std::uint8_t>(r.data.begin() + c.readOffset,
                                            r.data.begin() + c.readOffset + c.expected.size()),
                  c.expected);
    }
}

TEST(DeviceState, DefaultRangeConfigurationReads) {
    Device d = steadyDevice();
    const Reply r = run(d, 15);
    EXPECT_EQ(
        r.data,
        concat({{0, 0, kUnitKPa}, wireFloat(100.0f), wireFloat(0.0f), wireFloat(0.5f), {0, 38}}));
    d.writeProtect = true;
    EXPECT_EQ(run(d, 15).data[15], 1);  // the write-protect code follows the switch
}

TEST(DeviceState, RangeFromAppliedValue) {
    Device d = steadyDevice(60.0);
    EXPECT_EQ(run(d, 36).responseCode, 0);
    EXPECT_DOUBLE_EQ(d.settings.upperRange, 60.0);
    EXPECT_FLOAT_EQ(percentOfRange(d), 100.0f);

    // Setting the lower value keeps the span: 60 + (10 - 0).
    d.process.centre = 10.0;
    EXPECT_EQ(run(d, 37).responseCode, 0);
    EXPECT_DOUBLE_EQ(d.settings.lowerRange, 10.0);
    EXPECT_DOUBLE_EQ(d.settings.upperRange, 70.0);
    EXPECT_FLOAT_EQ(loopCurrent(d), 4.0f);
}

TEST(DeviceState, ZeroAndPointAdjustmentsTrimTheReading) {
    Device d = steadyDevice(3.0);
    EXPECT_EQ(run(d, 43).responseCode, 0);
    EXPECT_NEAR(primaryValue(d), 0.0f, 1e-6f);

    d.process.centre = 10.0;
    EXPECT_EQ(run(d, 131, concat({{kUnitKPa}, wireFloat(5.0f)})).responseCode, 0);
    EXPECT_NEAR(primaryValue(d), 5.0f, 1e-5f);
    d.process.centre = 20.0;
    EXPECT_EQ(run(d, 130, concat({{kUnitKPa}, wireFloat(25.0f)})).responseCode, 0);
    EXPECT_NEAR(primaryValue(d), 25.0f, 1e-5f);
    d.process.centre = 15.0;  // halfway between the two points
    EXPECT_NEAR(primaryValue(d), 15.0f, 1e-5f);

    // Unit 0 (nothing read yet in the tool) means the PV unit.
    EXPECT_EQ(run(d, 131, concat({{0}, wireFloat(1.0f)})).responseCode, 0);
    EXPECT_NEAR(primaryValue(d), 1.0f, 1e-5f);
}

TEST(DeviceState, FixedCurrentAndTrims) {
    Device d = steadyDevice();
    EXPECT_EQ(run(d, 45, wireFloat(4.1f)).responseCode, rc::kWrongCurrentMode);

    EXPECT_EQ(run(d, 40, wireFloat(4.0f)).data, wireFloat(4.0f));
    EXPECT_FLOAT_EQ(loopCurrent(d), 4.0f);
    EXPECT_TRUE(deviceStatus(d) & status::kCurrentFixed);
    // The meter reading 4.1 mA makes the device lower its output by 0.1 mA.
    EXPECT_EQ(run(d, 45, wireFloat(4.1f)).responseCode, 0);
    EXPECT_NEAR(floatAt(run(d, 2).data, 0), 3.9f, 1e-5f);
    EXPECT_EQ(run(d, 46, wireFloat(20.1f)).responseCode, rc::kWrongCurrentMode);

    ASSERT_EQ(run(d, 40, wireFloat(20.0f)).responseCode, 0);
    EXPECT_EQ(run(d, 46, wireFloat(20.1f)).responseCode, 0);
    EXPECT_NEAR(loopCurrent(d), 19.9f, 1e-5f);

    EXPECT_EQ(run(d, 40, wireFloat(0.0f)).responseCode, 0);
    EXPECT_FALSE(d.fixedCurrent);
    EXPECT_NEAR(loopCurrent(d), 10.3f, 1e-5f);  // 40 % of 0..100 kPa, 0.1 mA lower
}

TEST(DeviceState, FixedCurrentReportsItsOwnPercent) {
    Device d = steadyDevice(90.0);
    ASSERT_EQ(run(d, 40, wireFloat(12.0f)).responseCode, 0);
    EXPECT_EQ(run(d, 2).data, concat({wireFloat(12.0f), wireFloat(50.0f)}));
    const Reply three = run(d, 3);
    EXPECT_EQ(floatAt(three.data, 0), 12.0f);
    EXPECT_EQ(floatAt(three.data, 20), 50.0f);
    EXPECT_FLOAT_EQ(floatAt(three.data, 5), 90.0f);  // the measurement goes on
}

TEST(DeviceState, TrimsAtTheMeterReadingsCancelTheDacError) {
    Device d = steadyDevice();
    d.dacError = {0.05, -0.08};
    run(d, 40, wireFloat(4.0f));
    const float at4 = floatAt(run(d, 2).data, 0);
    EXPECT_NEAR(at4, 4.05f, 1e-5f);
    run(d, 45, wireFloat(at4));
    run(d, 40, wireFloat(20.0f));
    const float at20 = floatAt(run(d, 2).data, 0);
    EXPECT_NEAR(at20, 19.92f, 1e-5f);
    run(d, 46, wireFloat(at20));
    for (float mA : {4.0f, 12.0f, 20.0f}) {
        run(d, 40, wireFloat(mA));
        EXPECT_NEAR(loopCurrent(d), mA, 1e-5f);
    }
}

TEST(DeviceState, EepromStoresAndRestoresTheSettings) {
    Device d = steadyDevice();
    run(d, 34, wireFloat(3.0f));
    EXPECT_EQ(run(d, 39, {0}).responseCode, 0);  // store
    run(d, 34, wireFloat(7.0f));
    EXPECT_EQ(run(d, 39, {1}).responseCode, 0);  // restore
    EXPECT_FLOAT_EQ(d.settings.damping, 3.0f);
}

TEST(DeviceState, MultidropDeviceParksItsOutputAt4mA) {
    Device d = steadyDevice(80.0);
    run(d, 40, wireFloat(12.0f));
    EXPECT_EQ(run(d, 6, {3}).data, (std::vector<std::uint8_t>{3}));
    EXPECT_EQ(d.identity.pollingAddress, 3);
    EXPECT_FALSE(d.fixedCurrent);
    EXPECT_FLOAT_EQ(loopCurrent(d), 4.0f);
    EXPECT_EQ(run(d, 40, wireFloat(12.0f)).responseCode, rc::kMultidrop);
}

TEST(DeviceState, BurstSettings) {
    Device d = steadyDevice();
    EXPECT_EQ(run(d, 108, {3}).responseCode, 0);
    EXPECT_EQ(run(d, 109, {1}).responseCode, 0);
    EXPECT_EQ(d.settings.burstCommand, 3);
    EXPECT_TRUE(d.settings.burstMode);
    EXPECT_EQ(run(d, 109, {0}).responseCode, 0);
    EXPECT_FALSE(d.settings.burstMode);
}

struct CodeCase {
    const char* name;
    std::uint8_t command;
    std::vector<std::uint8_t> data;
    std::uint8_t expected;
};

TEST(DeviceResponseCodes, AsADeviceGivesThem) {
    const CodeCase cases[] = {
        {"unknown command", 200, {}, rc::kNotImplemented},
        {"vendor command", 140, {1, 2, 3}, rc::kNotImplemented},
        {"short damping", 34, {0x3F, 0x00}, rc::kTooFewBytes},
        {"short message", 17, std::vector<std::uint8_t>(23, 0x20), rc::kTooFewBytes},
        {"empty range write", 35, {}, rc::kTooFewBytes},
        {"short point adjustment", 131, wireFloat(1.0f), rc::kTooFewBytes},
        {"damping too large", 34, wireFloat(61.0f), rc::kTooLarge},
        {"damping negative", 34, wireFloat(-1.0f), rc::kTooSmall},
        {"fixed current too large", 40, wireFloat(25.0f), rc::kTooLarge},
        {"fixed current too small", 40, wireFloat(1.0f), rc::kTooSmall},
        {"polling address 16", 6, {16}, rc::kInvalidSelection},
        {"transfer function 0xFF", 47, {0xFF}, rc::kInvalidSelection},
        {"unknown unit", 44, {200}, rc::kInvalidSelection},
        {"burst command 9", 108, {9}, rc::kInvalidSelection},
        {"eeprom code 2", 39, {2}, rc::kInvalidSelection},
        {"upper range above the sensor", 35, concat({{12}, wireFloat(300.0f), wireFloat(0.0f)}),
         rc::kUpperRangeTooHigh},
        {"lower range below the sensor", 35, concat({{12}, wireFloat(100.0f), wireFloat(-150.0f)}),
         rc::kLowerRangeTooLow},
        {"both out", 35, concat({{12}, wireFloat(400.0f), wireFloat(-400.0f)}), rc::kBothRangesOut},
        {"narrow span is a warning", 35, concat({{12}, wireFloat(1.0f), wireFloat(0.0f)}),
         rc::kSpanTooSmall},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Device d = steadyDevice();
        const Reply r = run(d, c.command, c.data);
        EXPECT_EQ(r.responseCode, c.expected);
        if (rc::isWarning(c.expected)) {
            EXPECT_EQ(r.data, c.data);
        } else {
            EXPECT_TRUE(r.data.empty());  // errors answer the two status bytes only
        }
    }
}

TEST(DeviceResponseCodes, RefusedWritesLeaveTheStateAlone) {
    Device d = steadyDevice();
    const Settings before = d.settings;
    run(d, 35, concat({{12}, wireFloat(300.0f), wireFloat(0.0f)}));
    run(d, 34, wireFloat(-1.0f));
    EXPECT_DOUBLE_EQ(d.settings.upperRange, before.upperRange);
    EXPECT_FLOAT_EQ(d.settings.damping, before.damping);
    EXPECT_FALSE(d.configChanged);
}

TEST(DeviceResponseCodes, WriteProtectionRefusesEveryWriteButNoRead) {
    Device d = steadyDevice();
    d.writeProtect = true;
    for (std::uint8_t command :
         {6, 17, 18, 19, 34, 35, 36, 37, 39, 43, 44, 45, 46, 47, 49, 108, 109, 130, 131}) {
        SCOPED_TRACE(int{command});
        const Reply r = run(d, command, std::vector<std::uint8_t>(24, 0));
        EXPECT_EQ(r.responseCode, rc::kWriteProtected);
        EXPECT_TRUE(r.data.empty());
    }
    for (std::uint8_t command : {0, 1, 2, 3, 12, 13, 14, 15, 16}) {
        SCOPED_TRACE(int{command});
        EXPECT_EQ(run(d, command).responseCode, 0);
    }
    EXPECT_FALSE(d.configChanged);
}

TEST(DeviceResponseCodes, BusyAnswersEverythingWith32) {
    Device d = steadyDevice();
    d.busy = true;
    for (std::uint8_t command : {0, 3, 34, 200}) {
        const Reply r = run(d, command, wireFloat(1.0f));
        EXPECT_EQ(r.responseCode, rc::kBusy);
        EXPECT_TRUE(r.data.empty());
    }
    EXPECT_FLOAT_EQ(d.settings.damping, 0.5f);
}

TEST(DeviceStatus, ColdStartIsReportedOnceAndWritesMarkTheConfiguration) {
    Device d = steadyDevice();
    EXPECT_EQ(run(d, 0).deviceStatus, status::kColdStart);
    EXPECT_EQ(run(d, 0).deviceStatus, 0);
    EXPECT_EQ(run(d, 34, wireFloat(1.0f)).deviceStatus, status::kConfigChanged);
    EXPECT_EQ(run(d, 38).deviceStatus, 0);
    d.writeProtect = true;
    EXPECT_EQ(run(d, 1).deviceStatus, status::kMoreStatus);
    EXPECT_EQ(run(d, 48).data, (std::vector<std::uint8_t>{0x01, 0, 0, 0, 0, 0}));
    EXPECT_EQ(run(d, 1).deviceStatus, 0);
}

}  // namespace
}  // namespace hartsim
