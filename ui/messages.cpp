#include "ui/messages.h"

#include <QMessageBox>

namespace ui {
namespace {

MessageSink& sink() {
    static MessageSink s;
    return s;
}

}  // namespace

void setMessageSink(MessageSink s) {
    sink() = std::move(s);
}

void showMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (sink()) {
        sink()(kind, text);
        return;
    }
    if (kind == MessageKind::Error) {
        QMessageBox::critical(parent, QStringLiteral("Error"), text);
    } else {
        QMessageBox::information(parent, QString(), text);
    }
}

}  // namespace ui
