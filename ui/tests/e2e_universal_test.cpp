// End to end, one round trip per operation group: each write followed by its read shows the
// written value, reads show the simulator's state, refusals show their response-code text.
#include <cmath>

#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

TEST_F(RoundTrip, RangeUnitsDampingAndTransferFunction) {
    start();
    run({
        pollAt("#0"),
        {{}, "Button5", kReadOk, {{"Edit11", "250"}, {"Edit12", "-100"}, {"ComboBox10", "#9"}}},
        {{{"ComboBox1", "#9"}, {"Edit14", "80"}, {"Edit15", "10"}}, "Button12", kWriteOk, {}},
        {{{"Edit16", "2"}}, "Button10", kWriteOk, {}},
        {{{"ComboBox2", "#1"}}, "Button14", kWriteOk, {}},
        {{},
         "Button13",
         kReadOk,
         {{"Edit14", "80"},
          {"Edit15", "10"},
          {"Edit16", "2"},
          {"ComboBox2", "#1"},
          {"ComboBox1", "#9"},
          {"Label51", "Rosemount"}}},
        {{{"ComboBox1", "#6"}}, "Button8", kWriteOk, {}},  // bar
        {{}, "Button13", kReadOk, {{"ComboBox1", "#6"}}},
        // Beyond the sensor's upper limit: the instrument's own response code.
        {{{"ComboBox1", "#9"}, {"Edit14", "1000"}}, "Button12", kRefused, {}},
    });
}

TEST_F(RoundTrip, IdentificationFields) {
    start();
    run({
        pollAt("#0"),
        {{{"Edit21", "loop 7 feed pump"}}, "Button29", kWriteOk, {}},
        {{}, "Button28", kReadOk, {{"Edit21", "LOOP 7 FEED PUMP                "}}},
        {{{"Edit22", "FT-204"},
          {"Edit23", "feed flow"},
          {"Edit24", "2024"},
          {"Edit25", "2"},
          {"Edit29", "29"}},
         "Button33",
         kWriteOk,
         {}},
        {{},
         "Button32",
         kReadOk,
         {{"Edit22", "FT-204  "},
          {"Edit23", "FEED FLOW       "},
          {"Edit24", "2024"},
          {"Edit25", "2"},
          {"Edit29", "29"}}},
        {{{"Edit26", "777"}}, "Button39", kWriteOk, {}},
        {{}, "Button38", kReadOk, {{"Edit26", "777"}}},
        {{{"Edit28", "99"}}, "Button37", kWriteOk, {}},
        // The device identifier stays: the serial-number read still finds the instrument.
        {{}, "Button7", "Upload successful!", {{"Edit28", "4660"}}},
        {{{"ComboBox3", "#2"}}, "Button27", kWriteOk, {}},
        {{{"ComboBox9", "#2"}}, "Button3", kReadOk, {{"Edit4", "4660"}}},
    });
}

// The unit-plus-value writes send only a unit the instrument now addressed told, and the
// serial-number read addresses the instrument that answered it, whole.
TEST_F(RoundTrip, WritesCarryOnlyWhatTheAddressedInstrumentTold) {
    start({"--fast", "--demo"});
    const char* refused = "请先上传单位!";
    run({
        pollAt("#0"),
        {{{"Edit13", "50"}}, "Button24", {}, {}, refused},
        {{}, "Button4", kReadOk, {{"ComboBox5", "#9"}}},
        {{}, "Button24", kWriteOk, {}},
        {{{"ComboBox9", "#1"}}, "Button7", "Upload successful!", {{"Edit28", "1604"}}},
        {{{"Edit19", "50"}}, "Button31", {}, {}, refused},
        {{}, "Button13", kReadOk, {{"ComboBox1", "#12"}}},  // the 644 at address 1: degC
        {{}, "Button31", kWriteOk, {}},
    });
}

// A failed sensor's not-a-number reads as such, never as a valid zero.
TEST_F(RoundTrip, NotANumberShowsAsSuch) {
    start();
    ASSERT_TRUE(sim->command("nan on"));
    run({
        pollAt("#0"),
        {{}, "Button34", kReadOk, {{"Edit6", "NAN"}, {"Edit20", "NAN"}}},
        {{}, "Button4", kReadOk, {{"Edit5", "NAN"}, {"Edit17", "NAN"}, {"Edit30", "NAN"}}},
        {{}, "Button13", kReadOk, {{"Edit16", "NAN"}, {"Edit14", "100"}}},
    });
}

TEST_F(RoundTrip, LoopCurrentAndTrims) {
    start();
    run({
        pollAt("#0"),
        // A trim is refused until the output is forced to the current it trims.
        {{{"Edit9", "20.1"}}, "Button15", "写入失败!设置参数有可能没有用!", {}},
        {{{"RadioButton5", "on"}}, "Button6", kWriteOk, {}},
        {{}, "Button34", kReadOk, {{"Edit6", "20"}, {"Edit20", "100"}}},
        {{{"Edit9", "20.1"}}, "Button15", kWriteOk, {}},
        {{}, "Button34", kReadOk, {{"Edit6", "19.89"}}},
        {{{"RadioButton6", "on"}, {"Edit7", "12"}}, "Button6", kWriteOk, {}},
        {{}, "Button34", kReadOk, {{"Edit20", "50"}}},
        {{{"RadioButton7", "on"}}, "Button6", kWriteOk, {}},
        {{}, "Button26", kWriteOk, {}},
        {{}, "Button25", kWriteOk, {}},
    });
}

TEST_F(RoundTrip, BurstAndEepromControl) {
    start();
    run({
        pollAt("#0"),
        {{{"Edit16", "3"}}, "Button10", kWriteOk, {}},
        {{}, "Button21", kWriteOk, {}},  // stored
        {{{"Edit16", "7"}}, "Button10", kWriteOk, {}},
        {{}, "Button22", kWriteOk, {}},  // restored
        {{}, "Button13", kReadOk, {{"Edit16", "3"}}},
        {{{"ComboBox11", "#2"}}, "Button20", kWriteOk, {}},
        // Text typed over a chosen item is no item.
        {{{"ComboBox11", "#0"}, {"ComboBox11", "~7"}}, "Button20", {}, {}, "请选择阵发指令号!"},
        {{}, "Button19", kWriteOk, {}},
        {{}, "Button9", kWriteOk, {}},
    });
}

TEST_F(RoundTrip, ZeroAndDisplayAdjustmentsChangeThePrimaryVariable) {
    start();
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    auto primary = [&] {
        click("Button4");
        EXPECT_TRUE(waitStatus(kReadOk));
        return text("Edit5").toDouble();
    };
    EXPECT_GT(primary(), 20.0);  // the simulated pressure swings around 40 kPa
    click("Button23");
    ASSERT_TRUE(waitStatus(kWriteOk));
    EXPECT_LT(std::abs(primary()), 2.0);
    window->control<QLineEdit>("Edit13")->setText("50");
    click("Button24");
    ASSERT_TRUE(waitStatus(kWriteOk));
    // Command 131 with the unit the last read gave (kPa) and the value 50, once logged.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return body(sim->received().back()).substr(6 * 3, 3 * 7) == "83 05 0C 42 48 00 00 ";
        },
        kWaitMs));
    EXPECT_NEAR(primary(), 50.0, 2.0);
}

TEST_F(RoundTrip, LiveValuesShowTheInstrumentsState) {
    start();
    run({
        pollAt("#0"),
        {{}, "Button34", kReadOk, {}},
        {{},
         "Button4",
         kReadOk,
         {{"ComboBox5", "#9"}, {"ComboBox15", "#12"}, {"ComboBox16", "#12"}, {"ComboBox6", "#75"}}},
    });
    // Loop current and percent of range agree: 4 mA plus 16 mA per 100 %.
    EXPECT_NEAR(text("Edit6").toDouble(), 4.0 + 0.16 * text("Edit20").toDouble(), 0.2);
    // The README's picture of the window with live values.
    if (const QByteArray path = qgetenv("HART_SCREENSHOT"); !path.isEmpty()) {
        window->grab().save(QString::fromLocal8Bit(path));
    }
}

TEST_F(RoundTrip, ASilentInstrumentGivesTheWriteTimeout) {
    start();
    window->timer3().setInterval(500);
    ASSERT_TRUE(sim->command("silent on"));
    window->control<QLineEdit>("Edit16")->setText("1");
    click("Button10");
    ASSERT_TRUE(waitStatus(QStringLiteral("写入传数据超时!")));
}

}  // namespace
}  // namespace ui
