#include "sim/models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sim_test_util.h"

namespace hartsim {
namespace {

using simtest::concat;
using simtest::longRequest;
using simtest::wireFloat;

using Bytes = std::vector<std::uint8_t>;

Device deviceOf(const char* name) {
    const Model* model = findModel(name);
    EXPECT_NE(model, nullptr) << name;
    Identity id;
    id.pollingAddress = 1;
    return makeModelDevice(*model, id);
}

Reply run(Device& d, std::uint8_t command, Bytes data = {}) {
    return handle(d, longRequest(d, command, std::move(data)));
}

// Read replies are checked whole: the tool reads them at fixed offsets, some of them only
// with an exact byte count.
TEST(Models, WritesAreSeenByTheNextReadInTheLayoutTheToolReads) {
    const Bytes tail = concat({{33}, wireFloat(-50.0f), wireFloat(150.0f), {60}});
    const Bytes ejaDisplay = concat({{0x04, 0xFA, 0x00, 0x03, 0, 0, 1, 2, 1}, Bytes(8, 0x20)});
    const struct {
        const char* model;
        std::uint8_t write;
        Bytes writeData;
        std::uint8_t read;
        Bytes readData;
        Bytes reply;
    } cases[] = {
        {"644", 141, {0x00, 0x84, 2}, 140, {0x00}, {0x00, 0x84, 2}},
        {"848t", 155, {3, 0x87, 2}, 160, {3}, {3, 0x87, 2, 33}},
        {"848t", 53, {2, 35}, 160, {2}, {2, 0x84, 2, 35}},
        {"644rk",
         31,
         {0x04, 0x80, 0x00, 0x16, 4},
         31,
         {0x04, 0x01, 0x00},
         {0x04, 0x01, 0x00, 0x16, 4, 0, 0, 0, 0, 0, 0}},
        {"yokogawa", 134, {0x00, 0x89, 2}, 131, {0x00}, {0x00, 0x89, 2}},
        {"yokogawa", 171, wireFloat(1.25f), 170, {}, wireFloat(1.25f)},
        {"eh", 145, {0x40, 0xFB, 0x86}, 144, {0x40}, {0x40, 0xFB, 0x86}},
        {"eh", 145, {0x31, 0xFB, 2}, 144, {0x31}, {0x31, 0xFB, 2}},
        {"eh",
         145,
         concat({{0x45, 0xFB}, wireFloat(-0.5f)}),
         144,
         {0x45},
         concat({{0x45, 0xFB}, wireFloat(-0.5f)})},
        {"eh",
         145,
         concat({{0x3A, 0xFB}, wireFloat(1e-3f)}),
         144,
         {0x3A},
         concat({{0x3A, 0xFB}, wireFloat(1e-3f)})},
        {"eh",
         145,
         concat({{0x65, 0xFB}, wireFloat(-6e-7f)}),
         144,
         {0x65},
         concat({{0x65, 0xFB}, wireFloat(-6e-7f)})},
        {"siemens", 141, {0x00, 0x87, 2}, 140, {0x00}, {0x00, 0x87, 3}},
        {"siemens", 141, {0x00, 0x01, 3}, 140, {0x00}, {0x00, 0x01, 4}},  // no usual set-up
        {"tt50c", 131, concat({{0x83, 0x00}, tail}), 130, {}, concat({{0x83, 0x00}, tail})},
        {"tth200", 195, {0x00, 0x0E, 4}, 190, {0x00}, {0x00, 0x0E, 4, 32}},
        {"300smv", 51, {7, 6, 5, 4}, 50, {}, {7, 6, 5, 4}},
        {"300smv", 189, {0x01, 0x7F}, 188, {}, {0x01, 0x7F}},
        {"eja", 153, ejaDisplay, 152, {}, ejaDisplay},
        {"eja", 131, concat({{12}, wireFloat(12.5f)}), 130, {}, concat({wireFloat(12.5f), {0}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " command " + std::to_string(c.write));
        Device d = deviceOf(c.model);
        const Reply w = run(d, c.write, c.writeData);
        EXPECT_EQ(w.responseCode, 0);
        EXPECT_EQ(w.data, c.writeData);
        const Reply r = run(d, c.read, c.readData);
        EXPECT_EQ(r.responseCode, 0);
        EXPECT_EQ(r.data, c.reply);
    }
}

TEST(Models, RefusedWritesAnswerTheirCodeAndKeepTheSettings) {
    const Bytes tail(10, 0);
    const struct {
        const char* model;
        std::uint8_t command;
        Bytes data;
        std::uint8_t expected;
    } cases[] = {
        {"644", 141, {0x00, 0x09, 3}, rc::kInvalidSelection},
        {"644", 141, {0x00, 0x01, 5}, rc::kInvalidSelection},
        {"644", 141, {0x00, 0x01}, rc::kTooFewBytes},
        {"848t", 160, {0}, rc::kInvalidSelection},  // channel 0: no item chosen
        {"848t", 155, {5, 0x01, 3}, rc::kInvalidSelection},
        {"848t", 53, {1, 12}, rc::kInvalidSelection},
        {"644rk", 31, {0x04, 0x80, 0x00, 0x00, 0x00}, rc::kInvalidSelection},  // "other"
        {"644rk", 31, {0x04, 0x02, 0x00}, rc::kInvalidSelection},
        {"yokogawa", 134, {0x00, 0xFF, 2}, rc::kInvalidSelection},
        {"yokogawa", 134, {0x00, 0x0C, 1}, rc::kInvalidSelection},
        {"yokogawa", 171, wireFloat(-1.0f), rc::kTooSmall},
        {"yokogawa", 171, wireFloat(150.0f), rc::kTooLarge},
        {"eh", 145, {0x00, 0x00, 0x0C}, rc::kInvalidSelection},  // no prefix from a read
        {"eh", 145, {0x30, 0xFB, 0xFF}, rc::kInvalidSelection},
        {"eh", 145, {0x31, 0xFB, 3}, rc::kInvalidSelection},
        {"eh", 145, concat({{0x35, 0xFB}, wireFloat(20.0f)}), rc::kTooLarge},
        {"eh", 144, {}, rc::kTooFewBytes},
        {"siemens", 141, {0x00, 0x02, 2}, rc::kInvalidSelection},
        {"tt50c", 131, concat({{0x00, 0x03}, tail}), 12},
        {"tt50c", 131, concat({{0x01, 0x07}, tail}), 12},
        {"tt50c", 131, {0x01, 0x03, 0, 0}, rc::kTooFewBytes},
        {"tth200", 195, {0x00, 0x00, 2}, rc::kInvalidSelection},
        {"300smv", 51, {0, 0, 0, 0xFF}, rc::kInvalidSelection},
        {"300smv", 189, {0x02, 0x00}, rc::kInvalidSelection},
        {"300smv", 189, {0x00, 0x80}, rc::kInvalidSelection},
        {"eja", 153, concat({{0xFF, 0, 0, 0, 0, 0, 1, 2, 1}, Bytes(8, 0x20)}),
         rc::kInvalidSelection},
        {"eja", 131, concat({{12}, wireFloat(25.0f)}), rc::kTooLarge},
        {"eja", 131, concat({{12}, wireFloat(std::nanf(""))}), rc::kInvalidSelection},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " command " + std::to_string(c.command));
        Device d = deviceOf(c.model);
        const auto before = d.settings.records;
        const Reply r = run(d, c.command, c.data);
        EXPECT_EQ(r.responseCode, c.expected);
        EXPECT_TRUE(r.data.empty());
        EXPECT_EQ(d.settings.records, before);
        EXPECT_FALSE(d.configChanged);
        EXPECT_TRUE(d.notes.empty()) << d.notes.front();  // nothing held that was refused
    }
}

TEST(Models, VendorSettingsFollowWriteProtectionAndTheEeprom) {
    Device d = deviceOf("644");
    d.writeProtect = true;
    EXPECT_EQ(run(d, 141, {0x00, 0x84, 2}).responseCode, rc::kWriteProtected);
    d.writeProtect = false;
    run(d, 39, {0});
    run(d, 141, {0x00, 0x84, 2});
    run(d, 39, {1});
    EXPECT_EQ(run(d, 140, {0x00}).data, (Bytes{0x00, 0x01, 3}));
}

TEST(Models, MappedDynamicVariablesShowInCommand3) {
    Device smv = deviceOf("300smv");
    run(smv, 51, {5, 0, 3, 7});
    const Bytes three = run(smv, 3).data;
    ASSERT_EQ(three.size(), 24u);
    EXPECT_EQ((Bytes{three[4], three[9], three[14], three[19]}), (Bytes{19, kUnitKPa, 32, 43}));

    Device t = deviceOf("848t");
    run(t, 53, {1, 35});
    const Bytes channels = run(t, 3).data;
    EXPECT_EQ(channels[4], 35);
    EXPECT_NEAR(simtest::floatAt(channels, 5), primaryValue(t) + 273.15f, 1e-3f);
    EXPECT_EQ(run(t, 1).data[0], 35);
}

TEST(Models, DemoLoopHoldsEveryModelAtItsOwnAddressAndIdentity) {
    const std::vector<DeviceSpec> loop = demoLoop();
    ASSERT_EQ(loop.size(), models().size() + 1);
    EXPECT_EQ(loop[0].model, nullptr);
    for (std::size_t i = 0; i < loop.size(); ++i) {
        SCOPED_TRACE(i);
        Device d = buildDevice(loop[i]);
        EXPECT_EQ(d.identity.pollingAddress, i);
        const Bytes id = run(d, 0).data;
        EXPECT_EQ((Bytes{id[1], id[2], id[9], id[10], id[11]}),
                  (Bytes{loop[i].manufacturer, loop[i].deviceType,
                         static_cast<std::uint8_t>(loop[i].deviceId >> 16),
                         static_cast<std::uint8_t>(loop[i].deviceId >> 8),
                         static_cast<std::uint8_t>(loop[i].deviceId)}));
        EXPECT_EQ(run(d, 15).responseCode, 0);  // the universal commands stay
    }
}

}  // namespace
}  // namespace hartsim
