// Shared by the operation tests: controls holding valid values, readers of outcomes, and the
// check of a built or refused request.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "hart/frame.h"
#include "hart/outcome.h"
#include "hart/tests/reply_builder.h"
#include "ops/controls.h"
#include "ops/operation.h"
#include "ops/request.h"

namespace ops::testing {

// The reply builders, so that a test's `using namespace testing;` brings every helper.
using hart::testing::Bytes;
using hart::testing::command0Data;
using hart::testing::concat;
using hart::testing::longReply;
using hart::testing::shortReply;

// Every control an operation reads, holding a value that converts.
inline ControlValues validControls() {
    ControlValues c;
    c.setIndex("ComboBox8", 0).setIndex("ComboBox9", 0).setIndex("ComboBox1", 9);
    c.setIndex("ComboBox2", 0).setIndex("ComboBox3", 0).setIndex("ComboBox11", 0);
    for (const char* edit :
         {"Edit7", "Edit9", "Edit10", "Edit13", "Edit14", "Edit15", "Edit16", "Edit19"}) {
        c.setText(edit, "1");
    }
    c.setText("Edit21", "MESSAGE").setText("Edit22", "TAG").setText("Edit23", "DESCRIPTOR");
    c.setText("Edit24", "2019").setText("Edit25", "6").setText("Edit29", "15");
    c.setText("Edit26", "1193046").setText("Edit28", "4660").setText("Edit8", "02 80 00 00");
    c.setChecked("RadioButton1", true);
    for (int i = 2; i <= 7; ++i) c.setChecked("RadioButton" + std::to_string(i), false);
    // Temperature transmitters: Rosemount, Yokogawa, E+H.
    for (const char* box : {"ComboBox17", "ComboBox18", "ComboBox19", "ComboBox20", "ComboBox21",
                            "ComboBox22", "ComboBox35", "ComboBox36", "HengHeTX", "HengHeFS",
                            "TempBIAHO", "EHTEMNX", "EHTEMFS", "POTMXU", "CALL_ALP"}) {
        c.setIndex(box, 0);
    }
    for (const char* edit : {"HengHeJXIAN", "EHPIANYI", "RTDxishu", "CALL_ALP_XS"}) {
        c.setText(edit, "1");
    }

    // Siemens, Krohne, ABB and the pressure transmitters.
    for (const char* box : {"ComboBox7", "TT50NEXING", "TT50WAR", "ABBTTH200NEIXING",
                            "ABBTTH200WAY", "EJAXIANS1", "EJAXIANS2", "EJAXIANS3", "EJAXIANS4"}) {
        c.setIndex(box, 1);
    }
    for (int i = 23; i <= 34; ++i) c.setIndex("ComboBox" + std::to_string(i), 1);
    c.setText("EJAlingdian", "1");

    // The HART 7 page.
    for (const char* edit : {"PollingAddress63Edit", "VariableCodeEdit", "VariableDampingEdit",
                             "BurstMessageEdit", "BurstCommandEdit", "BurstUpdatePeriodEdit",
                             "BurstMaxPeriodEdit", "BurstTriggerClassEdit", "BurstTriggerLevelEdit",
                             "MappingPvEdit", "MappingSvEdit", "MappingTvEdit", "MappingQvEdit"})
        c.setText(edit, "1");
    for (const char* box : {"LoopCurrentModeBox", "VariableUnitBox", "BurstTriggerModeBox",
                            "BurstTriggerUnitBox", "BurstControlBox"})
        c.setIndex(box, 1);
    c.setText("LongTagEdit", "Kühlwasser Pumpe 3").setText("FindLongTagEdit", "FT-7 Ölpumpe");
    c.setText("FindTagEdit", "PT-101").setText("ProcessUnitTagEdit", "UNIT 4");
    c.setText("DeviceVariableCodesEdit", "0 1 2").setText("BurstVariablesEdit", "0 1");
    c.setText("ResponsePreamblesEdit", "5").setText("CountryCodeEdit", "DE");
    c.setChecked("SiUnitsOnlyCheck", true);

    return c;
}

// A chunk through the decoder of the control's row, with older bytes behind it in the receive
// buffer that must not be taken as data.
inline hart::Outcome decodeChunk(const char* control, const hart::testing::Bytes& chunk,
                                 Session& s) {
    hart::ReceiveBuffer b;
    b.store(hart::testing::Bytes(80, 0x41));
    b.store(chunk);
    return decode(operationFor(control)->pending(), b, s);
}

// The row's long reply with these data bytes and response code, through its decoder.
inline hart::Outcome decodeData(const char* control, const hart::testing::Bytes& data, Session& s,
                                std::uint8_t code = 0) {
    const auto command = static_cast<std::uint8_t>(operationFor(control)->command);
    return decodeChunk(control, hart::testing::longReply(command, code, data), s);
}

inline std::string wire(const Request& r) {
    return hart::hexText(r.frame.bytes());
}

// Data bytes of a long frame, as hex text.
inline std::string dataOf(const Request& r) {
    const auto b = r.frame.bytes();
    return b.size() < 17 ? "<no long frame>" : hart::hexText(b.subspan(16, b.size() - 17));
}

// A refused request sends nothing and waits for no reply; a built one carries `data`.
inline void expectRequest(const Request& r, const std::string& refusal, const std::string& data) {
    EXPECT_EQ(r.refusal, refusal);
    if (refusal.empty()) {
        EXPECT_EQ(dataOf(r), data);
        return;
    }
    EXPECT_EQ(r.frame.size(), 0u);
    EXPECT_EQ(r.pending.tag, hart::kNoTag);
}

inline const hart::Update* updateOf(const hart::Outcome& out, const std::string& control) {
    for (const auto& u : out.updates) {
        if (u.control == control) return &u;
    }
    return nullptr;
}

inline std::string textOf(const hart::Outcome& out, const std::string& control) {
    const hart::Update* u = updateOf(out, control);
    return u && u->kind == hart::Update::Kind::Text ? u->text : "<unset>";
}

inline int selectionOf(const hart::Outcome& out, const std::string& control) {
    const hart::Update* u = updateOf(out, control);
    return u && u->kind == hart::Update::Kind::Select ? u->value : -99;
}

}  // namespace ops::testing
