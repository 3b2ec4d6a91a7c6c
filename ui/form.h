// The main window's controls: every page, group box and control, laid out and named.
#pragma once

class QMainWindow;

namespace ui {

// Creates the whole control inventory as children of `window` (a new central widget),
// with design-time texts, items and selections. Controls are found by objectName.
void buildForm(QMainWindow* window);

// The same in two steps, so that a window can show before its hidden pages are built: first
// everything but the controls of the pages behind the first one, then those.
void buildFormFront(QMainWindow* window);
void buildHiddenPages(QMainWindow* window);

}  // namespace ui
