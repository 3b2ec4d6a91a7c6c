// Small constructors shared by the page sources: each creates one named control at a fixed
// position. The form uses absolute geometry; rows are kRowPitch apart.
#pragma once

#include <QString>
#include <QStringList>
#include <span>
#include <string_view>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace ui::build {

inline constexpr int kFieldHeight = 22;   // edit lines, combo boxes, labels
inline constexpr int kButtonHeight = 24;  // buttons sit 1 px higher than the field row
inline constexpr int kRowPitch = 28;      // distance between rows inside a group
inline constexpr int kGroupTop = 22;      // first row below a group box caption

enum class Typing { Off, On };  // whether a combo box also accepts typed text

QWidget* page(QTabWidget* tabs, const char* name, const QString& caption);
QGroupBox* group(QWidget* parent, const char* name, const QString& title, int x, int y, int w,
                 int h);
// Unnamed labels are captions and hints; named ones are written by the window logic.
QLabel* label(QWidget* parent, const QString& text, int x, int y, int w,
              const char* name = nullptr);
QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, const QString& text = {});
QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y, int w);
QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, int x, int y, int w);
// `index` -1 leaves the box without a selection; `text` is then shown in a typing box.
QComboBox* combo(QWidget* parent, const char* name, int x, int y, int w, const QStringList& items,
                 Typing typing, int index = -1, const QString& text = {});

// The items of a box, as ops::boxItems() gives them.
QStringList boxItems(std::string_view box);

}  // namespace ui::build
