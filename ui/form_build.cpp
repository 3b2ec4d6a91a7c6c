#include "ui/form_build.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "ops/items.h"
#include "ui/text.h"

namespace ui::build {
namespace {

// Lets the drop-down list show long item texts in full even when the box is narrow. Measured as
// the list opens rather than when the form is built: most lists are never opened, measuring
// every item of every box slows the start, and the items may be in another language by then.
class FormCombo final : public QComboBox {
  public:
    using QComboBox::QComboBox;

    void showPopup() override {
        int widest = 0;
        const QFontMetrics metrics = fontMetrics();
        for (int i = 0; i < count(); ++i) {
            widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
        }
        view()->setMinimumWidth(widest + 24);
        QComboBox::showPopup();
    }
};

}  // namespace

QWidget* page(QTabWidget* tabs, const char* name, const QString& caption) {
    auto* widget = new QWidget;
    widget->setObjectName(name);
    tabs->addTab(widget, caption);
    return widget;
}

QGroupBox* group(QWidget* parent, const char* name, const QString& title, int x, int y, int w,
                 int h) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(x, y, w, h);
    return box;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y, int w, const char* name) {
    auto* widget = new QLabel(text, parent);
    if (name != nullptr) widget->setObjectName(name);
    widget->setGeometry(x, y, w, kFieldHeight);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return widget;
}

QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, const QString& text) {
    auto* widget = new QLineEdit(text, parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, kFieldHeight);
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int x, int y,
                    int w) {
    auto* widget = new QPushButton(caption, parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y - 1, w, kButtonHeight);
    return widget;
}

QRadioButton* radio(QWidget* parent, const char* name, const QString& caption, int x, int y,
                    int w) {
    auto* widget = new QRadioButton(caption, parent);
    widget->setObjectName(name);
    widget->setGeometry(x, y, w, kFieldHeight);
    return widget;
}

QComboBox* combo(QWidget* parent, const char* name, int x, int y, int w, const QStringList& items,
                 Typing typing, int index, const QString& text) {
    auto* box = new FormCombo(parent);
    box->setObjectName(name);
    box->setGeometry(x, y, w, kFieldHeight);
    if (typing == Typing::On) {
        box->setEditable(true);
        // Typed text is a value, never a new item: the item lists are fixed.
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    box->addItems(items);
    box->setCurrentIndex(index);
    if (typing == Typing::On && index < 0) box->setEditText(text);
    return box;
}

QStringList boxItems(std::string_view box) {
    QStringList list;
    for (const std::string_view item : ops::boxItems(box)) {
        list.append(qs(item));
    }
    if (list.isEmpty()) throw std::out_of_range("no items for " + std::string(box));
    return list;
}

}  // namespace ui::build
