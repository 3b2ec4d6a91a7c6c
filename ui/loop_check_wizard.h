// The loop check in the window: a dialog of its own, opened from its menu, that walks the
// same steps as hart-cli loop-check through the window's request procedure and asks the
// technician for each reading; the record can then be saved.
#pragma once

#include <QDialog>
#include <QTimer>
#include <optional>

#include "ops/loop_check.h"
#include "ui/main_window.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {

class LoopCheckWizard : public QDialog {
    Q_OBJECT

  public:
    explicit LoopCheckWizard(TForm1& window);

    // Starts with the plan the setup fields hold; false, with the reason told, when they hold
    // none.
    bool start();
    // The answer typed, the trim agreed or not, the check stopped: as its buttons do.
    void answer();
    void agree(bool trim);
    void stop();

    bool running() const { return check_.has_value(); }
    // The record of the check last run, once it ended.
    const std::optional<ops::loopcheck::Record>& record() const { return record_; }
    bool save(const QString& path);

    // The port was opened: when a check lost it with the output fixed, offers to end that.
    void portOpened();
    // Asks a yes-or-no question; tests answer it themselves.
    std::function<bool(const QString&)> ask;

  private:
    void step();
    void ended(const TForm1::RequestEnd& end);
    void finish();
    enum class Answer { None, Number, YesNo };
    void prompt(const QString& text, Answer kind);
    void showRecord();

    TForm1& window_;
    std::optional<ops::loopcheck::Check> check_;
    std::optional<ops::loopcheck::Record> record_;
    std::string port_;
    bool waiting_ = false;
    bool endingLeftover_ = false;  // the request on the line ends a lost check's fixed current
    QTimer answerTimer_;

    QLineEdit* points_;
    QLineEdit* tolerance_;
    QLineEdit* sensor_;
    QLabel* prompt_;
    QLineEdit* reading_;
    QPushButton* start_;
    QPushButton* answer_;
    QPushButton* trimYes_;
    QPushButton* trimNo_;
    QPushButton* stop_;
    QPushButton* save_;
    QPlainTextEdit* results_;
};

}  // namespace ui
