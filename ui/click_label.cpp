#include "ui/click_label.h"

#include <QMouseEvent>

namespace ui {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QLabel::mousePressEvent(event);
}

}  // namespace ui
