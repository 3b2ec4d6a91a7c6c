// End to end: the 3051, 300SMV and EJA groups against simulated instruments at polling
// addresses 1, 2 and 3 of one loop. These requests always show their frame.
#include <QGroupBox>

#include "ui/tests/e2e_steps.h"

namespace ui {
namespace {

TEST_F(RoundTrip, PressureTransmittersReadWriteAndReadBack) {
    start({"--fast", "--device-spec", "1:3051", "--device-spec", "2:300smv", "--device-spec",
           "3:eja"});
    run(
        {
            pollAt("#1"),
            {{}, "Button42", kWriteOk, {}},

            pollAt("#2"),
            {{},
             "Button44",
             kReadOk,
             {{"ComboBox23", "#0"},
              {"ComboBox24", "#1"},
              {"ComboBox25", "#3"},
              {"ComboBox26", "#5"}}},
            {{{"ComboBox23", "#2"}, {"ComboBox26", "#7"}}, "Button45", kWriteOk, {}},
            {{{"ComboBox23", "#0"}},
             "Button44",
             kReadOk,
             {{"ComboBox23", "#2"}, {"ComboBox26", "#7"}}},
            // No item sends 0xFF: the instrument refuses it.
            {{{"ComboBox24", "#-1"}}, "Button45", kRefused, {}},
            {{},
             "Button47",
             kReadOk,
             {{"ComboBox33", "#1"},
              {"ComboBox34", "#1"},
              {"ComboBox32", "#1"},
              {"ComboBox27", "#1"},
              {"ComboBox28", "#0"}}},
            {{{"ComboBox33", "#0"}, {"ComboBox34", "#0"}, {"ComboBox28", "#1"}},
             "Button46",
             kWriteOk,
             {}},
            {{},
             "Button47",
             kReadOk,
             {{"ComboBox33", "#0"},
              {"ComboBox34", "#0"},
              {"ComboBox32", "#1"},
              {"ComboBox28", "#1"}}},
            // Typed text in the totalizer box counts as on, whatever item it was typed over.
            {{{"ComboBox33", "~x"}}, "Button46", kWriteOk, {}},
            {{}, "Button47", kReadOk, {{"ComboBox33", "#1"}, {"ComboBox34", "#0"}}},

            pollAt("#3"),
            {{},
             "Button48",
             kReadOk,
             {{"EJAXIANS1", "#0"}, {"EJAXIANS2", "#1"}, {"EJAXIANS3", "#5"}, {"EJAXIANS4", "#5"}}},
            {{{"EJAXIANS1", "#4"}, {"EJAXIANS3", "#2"}}, "Button49", kWriteOk, {}},
            {{}, "Button48", kReadOk, {{"EJAXIANS1", "#4"}, {"EJAXIANS3", "#2"}}},
            {{}, "Button50", kReadOk, {{"EJAlingdian", "5"}, {"EJAMODEM", "#0"}}},
            {{{"EJAlingdian", "12.5"}}, "Button51", {}, {}, "请先上传单位!"},
            {{}, "Button4", kReadOk, {}},  // the unit the cut-off goes in
            {{{"EJAlingdian", "12.5"}}, "Button51", kWriteOk, {}},
            {{{"EJAlingdian", "0"}}, "Button50", kReadOk, {{"EJAlingdian", "12.5"}}},
            {{{"EJAlingdian", "30"}}, "Button51", QStringLiteral("写入失败!参数值过大!"), {}},
            {{{"EJAlingdian", "abc"}},
             "Button51",
             {},
             {},
             "'abc' is not a valid floating point value"},
        },
        true);
    writeEachItem("#2", "ComboBox23", "Button45", "variable1", {{"ComboBox24", "#0"}});
    writeEachItem("#3", "EJAXIANS1", "Button49", "line1");

    // Each display box alone on: the instrument must show what the box's caption names.
    run({pollAt("#2")});
    const auto shown = window->control<QGroupBox>("GroupBox17")->findChildren<QComboBox*>();
    for (QComboBox* on : shown) {
        for (QComboBox* box : shown) box->setCurrentIndex(box == on ? 1 : 0);
        const std::size_t logged = sim->lines().size();
        run({{{}, "Button46", kWriteOk, {}}});
        EXPECT_EQ(heldSince(logged, "shown"), nameKey(on->accessibleName()));
    }
}

}  // namespace
}  // namespace ui
