// Steps of a round trip through the real window against the simulator: set controls, click,
// and check the outcome, the controls and what reached the instrument.
#pragma once

#include <QRadioButton>
#include <QRegularExpression>

#include "ui/tests/e2e_fixture.h"

namespace ui {

const QString kWriteOk = QStringLiteral("写入成功!");
const QString kWrite = QStringLiteral("写入");  // how every write outcome begins

// A control value: "#N" is item N of a combo box, "on" checks a radio button, anything else
// is an edit line's text.
struct Value {
    const char* control;
    const char* value;
};

struct Step {
    std::vector<Value> set;  // before the click
    const char* button;
    QString status;               // the outcome; empty: refused with `message`, nothing sent
    std::vector<Value> expected;  // afterwards
    const char* message = nullptr;
};

// A box whose items name what the instrument is to hold, written item by item.
struct NamedItems {
    const char* address;
    const char* box;
    const char* write;
    const char* fields;           // the settings an item names, as the simulator reports them
    const char* numbering;        // the pattern of the position (and code) leading the item texts
    std::vector<Value> set = {};  // other boxes as the write needs them
    const char* firstRead = nullptr;  // a read the write needs first
};
// "0_PT50  a=391"
constexpr const char* kByPosition = R"(\d+_)";
// "00 无", "01-01 PT100", "05_10 Ni100", "00-0C-Pt100", "00Pres"
constexpr const char* kByHex = "[0-9A-F]{2}([-_][0-9A-F]{2})?[-_ ]?";

// Selects the instrument at `address` and polls it.
inline Step pollAt(const char* address) {
    return {{{"ComboBox9", address}}, "Button3", kReadOk, {}};
}

class RoundTrip : public EndToEnd {
  protected:
    // `echoed`: whether the requests show their frame with the echo switch off.
    void run(const std::vector<Step>& steps, bool echoed = true) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            SCOPED_TRACE("step " + std::to_string(i) + " " + s.button);
            for (const Value& v : s.set) put(v);
            const std::size_t sentBefore = sim->received().size();
            const std::size_t messagesBefore = messages.size();
            click(s.button);
            if (s.message != nullptr) {
                ASSERT_EQ(messages.size(), messagesBefore + 1);
                EXPECT_EQ(messages.back(), QString::fromUtf8(s.message));
                QTest::qWait(600);
                EXPECT_EQ(sim->received().size(), sentBefore) << "a refused write went out";
                continue;
            }
            // The receive event shows its own text first; wait for the decoder's.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return !window->timer2().isActive() && text("Label68") == s.status; },
                kWaitMs))
                << text("Label68").toStdString();
            if (std::string_view(s.button) != "Button3") {
                const auto rx = sim->received();
                ASSERT_GT(rx.size(), sentBefore);
                EXPECT_EQ(text("discomm").toStdString(), echoed ? rx.back() : "");
            }
            for (const Value& v : s.expected) EXPECT_EQ(shown(v.control), v.value) << v.control;
        }
    }

    // Each item must make the instrument hold what the item's text names; one that names
    // nothing ("other", "无", an empty item) may be refused instead.
    void writeEachItem(const NamedItems& n) {
        run({pollAt(n.address)});
        // Only temperature groups read first; they show no frame with the echo switch off.
        if (n.firstRead != nullptr) run({{{}, n.firstRead, kReadOk, {}}}, false);
        for (const Value& v : n.set) put(v);
        auto* box = window->control<QComboBox>(n.box);
        const QRegularExpression numbering(QStringLiteral("^(%1)").arg(n.numbering));
        const QStringList fields = QString::fromUtf8(n.fields).split(' ');
        // Letters, digits and "%" (which tells "pres%" from "Pres"), case-folded.
        const auto key = [](QString s) {
            return s.remove(QRegularExpression(R"([^\p{L}\p{N}%])")).toLower();
        };
        for (int i = 0; i < box->count(); ++i) {
            SCOPED_TRACE(std::string(n.box) + " " + box->itemText(i).toStdString());
            const QString named = key(box->itemText(i).remove(numbering));
            box->setCurrentIndex(i);
            const std::size_t logged = sim->lines().size();
            click(n.write);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return !window->timer2().isActive() && text("Label68").startsWith(kWrite); },
                kWaitMs));
            QString held;
            const auto& lines = sim->lines();
            for (auto l = lines.begin() + static_cast<std::ptrdiff_t>(logged); l != lines.end();
                 ++l) {
                const QStringList w = QString::fromStdString(*l).split(' ');
                if (w[0] == "HOLD" && fields.contains(w.value(2))) held += w.mid(4).join("");
            }
            const bool refused = text("Label68").startsWith(QStringLiteral("写入失败"));
            const bool namesNothing =
                QStringList{"", "other", QStringLiteral("无")}.contains(named);
            EXPECT_EQ(key(held).toStdString(),
                      (refused && namesNothing ? QString() : named).toStdString())
                << text("Label68").toStdString();
        }
    }

    void put(const Value& v) {
        const QString value = QString::fromUtf8(v.value);
        if (auto* c = window->control<QComboBox>(v.control)) {
            c->setCurrentIndex(value.mid(1).toInt());
        } else if (auto* r = window->control<QRadioButton>(v.control)) {
            r->setChecked(true);
        } else {
            window->control<QLineEdit>(v.control)->setText(value);
        }
    }
    std::string shown(const char* control) {
        if (auto* c = window->control<QComboBox>(control)) {
            return "#" + std::to_string(c->currentIndex());
        }
        return text(control).toStdString();
    }
};

}  // namespace ui
