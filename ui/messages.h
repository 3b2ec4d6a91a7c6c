// Modal messages go through one seam so tests can capture them without blocking.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace ui {

enum class MessageKind { Information, Error };

using MessageSink = std::function<void(MessageKind, const QString&)>;

// An empty sink restores the modal boxes.
void setMessageSink(MessageSink sink);
void showMessage(QWidget* parent, MessageKind kind, const QString& text);

}  // namespace ui
