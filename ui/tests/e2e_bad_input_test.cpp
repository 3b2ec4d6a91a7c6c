// Every button, each control it reads given text no instrument should get: the request is
// refused with a message and the instrument receives nothing, or it goes out as its row builds.
#include <QRadioButton>
#include <set>

#include "ui/tests/e2e_fixture.h"

namespace ui {
namespace {

// The window's controls, noting which a build reads.
class Recorder final : public ops::Controls {
  public:
    explicit Recorder(const ops::Controls& real) : real_(real) {}
    std::string text(std::string_view name) const override {
        edits_.insert(std::string(name));
        return real_.text(name);
    }
    int index(std::string_view name) const override {
        boxes_.insert(std::string(name));
        return real_.index(name);
    }
    bool checked(std::string_view name) const override { return real_.checked(name); }

    mutable std::set<std::string> edits_;
    mutable std::set<std::string> boxes_;

  private:
    const ops::Controls& real_;
};

TEST_F(EndToEnd, BadInputIsRefusedBeforeAnythingGoesOut) {
    start();
    click("Button3");
    ASSERT_TRUE(waitStatus(kReadOk));
    int refusals = 0;
    for (const ops::Operation& op : ops::operations()) {
        if (!op.control.starts_with("Button") || op.control == "Button1") continue;
        Recorder recorder(window->controls());
        ops::Session probe = window->session();
        ops::build(op, recorder, probe);
        auto attempt = [&](const std::string& what) {
            SCOPED_TRACE(std::string(op.control) + " with " + what);
            ops::Session copy = window->session();
            const ops::Request expected = ops::build(op, window->controls(), copy);
            const std::size_t before = sim->received().size();
            messages.clear();
            const std::string button(op.control);
            window->control<QWidget>(button.c_str())->setEnabled(true);
            click(button.c_str());
            window->timer1().stop();  // a scan start sends no more than its first frame here
            if (!expected.refusal.empty()) {
                ++refusals;
                EXPECT_EQ(messages.size(), 1u);
                QTest::qWait(30);
                EXPECT_EQ(sim->received().size(), before);  // nothing reached the instrument
            } else {
                EXPECT_TRUE(messages.empty());
                EXPECT_TRUE(
                    QTest::qWaitFor([&] { return sim->received().size() > before; }, kWaitMs));
                EXPECT_EQ(sim->received().back(), hart::hexText(expected.frame.bytes()));
            }
        };
        for (const std::string& name : recorder.edits_) {
            auto* edit = window->control<QLineEdit>(name.c_str());
            if (edit == nullptr) continue;
            const QString kept = edit->text();
            edit->setText(QString::fromUtf8("\xE6\xB8\xA9 1\t") + QString(QChar(0x7F)));
            attempt(name + " = non-ASCII and control characters");
            edit->setText(kept);
        }
        for (const std::string& name : recorder.boxes_) {
            auto* box = window->control<QComboBox>(name.c_str());
            if (box == nullptr) continue;
            const int kept = box->currentIndex();
            box->setCurrentIndex(-1);
            if (box->isEditable()) box->setEditText(QStringLiteral("typed"));
            attempt(name + " on no item");
            box->setCurrentIndex(kept);
        }
    }
    EXPECT_GT(refusals, 20);
}

}  // namespace
}  // namespace ui
