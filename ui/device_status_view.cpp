// The window's binding of the instrument's own status: the label under the status line,
// red for faults, and the command 48 button while the instrument has more to tell.
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStringList>

#include "cli/names.h"
#include "ops/device_status.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/text.h"

namespace ui {

void TForm1::showDeviceStatus(const std::optional<hart::StatusBytes>& status) {
    // A reply too short to carry its status bytes says nothing about the instrument.
    if (!status) return;
    const hart::StatusView view = hart::describeStatus(*status, language());
    auto* label = findChild<QLabel*>(qs(ops::kDeviceStatusLabel));
    label->setText(qs(view.text));
    QPalette palette = label->parentWidget()->palette();
    if (view.alarm) palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    findChild<QPushButton*>(qs(ops::kReadMoreStatusButton))->setVisible(view.moreStatus);
}

void TForm1::showFacts(const std::vector<hart::Outcome::Fact>& facts) {
    // What a poll tells beyond the controls, under hart-cli's captions; the whole in the tip,
    // for a label this narrow.
    QStringList parts;
    for (const hart::Outcome::Fact& f : facts) {
        const cli::FieldName* name = cli::fieldName(f.key);
        parts << (f.key == "HartRevision" ? QStringLiteral("HART ") + qs(f.text)
                                          : tx(name ? name->caption : f.key) + " " + qs(f.text));
    }
    auto* label = findChild<QLabel*>(QStringLiteral("HartFactsLabel"));
    label->setText(parts.join(QStringLiteral("  ")));
    label->setToolTip(label->text());
}

void TForm1::clearDeviceStatus() {
    auto* label = findChild<QLabel*>(qs(ops::kDeviceStatusLabel));
    label->clear();
    label->setPalette(label->parentWidget()->palette());
    findChild<QPushButton*>(qs(ops::kReadMoreStatusButton))->hide();
    findChild<QLabel*>(qs(ops::kMoreStatusLabel))->clear();
    showFacts({});
}

}  // namespace ui
