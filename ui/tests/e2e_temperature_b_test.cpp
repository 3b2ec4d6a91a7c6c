// End to end: the Siemens, Krohne TT50C and ABB TTH200 groups against simulated instruments
// at polling addresses 1, 2 and 3 of one loop.
#include "ui/click_label.h"
#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

const char* const kTt50cReadFirst = "请先上传科隆TT50C的配置,再下传!";

class TemperatureB : public RoundTrip {
  protected:
    void SetUp() override {
        start({"--fast", "--device-spec", "1:siemens", "--device-spec", "2:tt50c", "--device-spec",
               "3:tth200"});
    }
};

TEST_F(TemperatureB, ReadWriteAndReadBackEachInstrument) {
    const QString failed = QStringLiteral("写入失败!通道被限制!");
    run(
        {
            pollAt("#1"),
            {{}, "Button2", kReadOk, {{"ComboBox7", "#0"}}},
            {{{"ComboBox7", "#2"}}, "Button11", kWriteOk, {}},
            {{{"ComboBox7", "#0"}}, "Button2", kReadOk, {{"ComboBox7", "#2"}}},

            pollAt("#2"),
            {{}, "Button64", {}, {}, kTt50cReadFirst},
            {{}, "Button63", kReadOk, {{"TT50NEXING", "#1"}, {"TT50WAR", "#2"}}},
            {{{"TT50WAR", "#3"}, {"TT50NEXING", "#10"}}, "Button64", kWriteOk, {}},
            {{{"TT50WAR", "#0"}}, "Button63", kReadOk, {{"TT50NEXING", "#10"}, {"TT50WAR", "#3"}}},
            // "13_other" sends 0x00, which the instrument refuses with code 12.
            {{{"TT50NEXING", "#19"}}, "Button64", QStringLiteral("写入失败!设置参数不对"), {}},

            pollAt("#3"),
            // The tail read from the TT50C is not this instrument's.
            {{}, "Button64", {}, {}, kTt50cReadFirst},
            {{}, "Button68", kReadOk, {{"ABBTTH200NEIXING", "#5"}, {"ABBTTH200WAY", "#3"}}},
            {{{"ABBTTH200NEIXING", "#6"}, {"ABBTTH200WAY", "#4"}}, "Button67", kWriteOk, {}},
            {{{"ABBTTH200NEIXING", "#0"}},
             "Button68",
             kReadOk,
             {{"ABBTTH200NEIXING", "#6"}, {"ABBTTH200WAY", "#4"}}},
            {{{"ABBTTH200NEIXING", "#37"}}, "Button67", failed, {}},
        },
        false);
}

TEST_F(TemperatureB, ItemsMeanWhatTheySay) {
    writeEachItem("#1", "ComboBox7", "Button11", "sensor wiring");
    writeEachItem("#2", "TT50NEXING", "Button64", "sensor", {}, "Button63");
    writeEachItem("#2", "TT50WAR", "Button64", "wiring", {}, "Button63");
    writeEachItem("#3", "ABBTTH200NEIXING", "Button67", "sensor", {{"ABBTTH200WAY", "#2"}});
    writeEachItem("#3", "ABBTTH200WAY", "Button67", "wiring", {{"ABBTTH200NEIXING", "#1"}});
}

TEST_F(TemperatureB, TheEchoSwitchShowsTheirFrames) {
    emit window->control<ClickLabel>("Label4")->clicked();
    run({pollAt("#3"), {{}, "Button68", kReadOk, {}}}, true);
}

}  // namespace
}  // namespace ui
