// A label that reports mouse presses, for the port label that switches the frame echo on.
#pragma once

#include <QLabel>

namespace ui {

class ClickLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace ui
