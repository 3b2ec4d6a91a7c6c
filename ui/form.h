// The main window's controls: every page, group box and control, laid out and named.
#pragma once

class QMainWindow;

namespace ui {

// Creates the whole control inventory as children of `window` (a new central widget),
// with design-time texts, items and selections. Controls are found by objectName.
void buildForm(QMainWindow* window);

}  // namespace ui
