// Why the serial port would not open, told in the window's language beside the link's own
// message.
#pragma once

#include <QString>

namespace ui {

// The status line text for a refused open: the system's reason for `device` (the path the
// port name opens) and, where there is one, what the user can do about it. Empty for
// osError 0 (the link's message says all there is).
QString openFailureText(int osError, const QString& device);

}  // namespace ui
