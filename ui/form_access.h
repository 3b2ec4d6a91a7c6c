// Keyboard and screen-reader access to the form, applied once every page stands.
#pragma once

class QWidget;

namespace ui {

// Gives every control an accessible name (the caption beside it, its own caption, or a
// fixed name where the layout shows none) and makes Tab move through the window in reading
// order: top to bottom, left to right, one group box or page at a time.
void makeAccessible(QWidget* root);

}  // namespace ui
