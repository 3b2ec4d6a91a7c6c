// Steps of a round trip through the real window against the simulator: set controls, click,
// and check the outcome, the controls and what reached the instrument.
#pragma once

#include <QRadioButton>
#include <QRegularExpression>

#include "ui/tests/e2e_fixture.h"

namespace ui {

const QString kWriteOk = QStringLiteral("写入成功!");
const QString kRefused = QStringLiteral("写入失败!通道被限制!");  // codes without a text

// A control value: "#N" is item N of a combo box, "~TEXT" types TEXT over what a combo box
// shows, key by key, "on" checks a radio button, anything else is an edit line's text.
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

// The position (and code) that lead an item text: "0_PT50", "05_10 Ni100", "00-0C-Pt100".
const QRegularExpression kNumbering(R"(^([0-9A-F]{2}([-_][0-9A-F]{2})?[-_ ]?|\d+_))");

// Letters, digits and "%" (which tells "pres%" from "Pres"), case-folded.
inline std::string nameKey(QString name) {
    return name.remove(QRegularExpression(R"([^\p{L}\p{N}%])")).toLower().toStdString();
}

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
                // Over HART-IP the reply can be in before the simulator's log line of it.
                ASSERT_TRUE(
                    QTest::qWaitFor([&] { return sim->received().size() > sentBefore; }, kWaitMs));
                const auto rx = sim->received();
                EXPECT_EQ(body(text("discomm").toStdString()), echoed ? body(rx.back()) : "");
            }
            for (const Value& v : s.expected) EXPECT_EQ(shown(v.control), v.value) << v.control;
        }
    }

    // Writes each item of `name` with `write`: the instrument must hold what the item's text
    // names in its settings `fields`, or may refuse an item that names nothing ("other", "无",
    // an empty item). `set`: other boxes as the write needs them; `firstRead`: a read it needs.
    void writeEachItem(const char* address, const char* name, const char* write, const char* fields,
                       const std::vector<Value>& set = {}, const char* firstRead = nullptr) {
        run({pollAt(address)});
        // Only temperature groups read first; they show no frame with the echo switch off.
        if (firstRead != nullptr) run({{{}, firstRead, kReadOk, {}}}, false);
        for (const Value& v : set) put(v);
        auto* box = window->control<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i) {
            box->setCurrentIndex(i);
            const std::size_t logged = sim->lines().size();
            click(write);
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return !window->timer2().isActive() && text("Label68").startsWith("写入"); },
                kWaitMs));
            const std::string named = nameKey(box->itemText(i).remove(kNumbering));
            const std::string held = heldSince(logged, fields);
            if (held.empty() && (named.empty() || named == "other" || named == "无")) continue;
            EXPECT_EQ(held, named) << name << " " << box->itemText(i).toStdString();
        }
    }
    // What the simulator reported to hold in `fields` since log line `from`.
    std::string heldSince(std::size_t from, const char* fields) {
        QString held;
        const auto log = sim->lines();
        for (std::size_t l = from; l < log.size(); ++l) {
            const QStringList w = QString::fromStdString(log[l]).split(' ');
            if (w[0] == "HOLD" && QString(fields).split(' ').contains(w.value(2)))
                held += w.mid(4).join(' ');
        }
        return nameKey(held);
    }

    void put(const Value& v) {
        const QString value = QString::fromUtf8(v.value);
        if (auto* c = window->control<QComboBox>(v.control); c && value.startsWith('~')) {
            ASSERT_TRUE(c->isEditable()) << v.control;
            QTest::keyClick(c->lineEdit(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(c->lineEdit(), value.mid(1));
        } else if (c) {
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
