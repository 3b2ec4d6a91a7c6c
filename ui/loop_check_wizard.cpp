#include "ui/loop_check_wizard.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ops/config_file.h"
#include "ui/config_files.h"
#include "ui/language.h"
#include "ui/messages.h"
#include "ui/text.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif

namespace ui {
namespace {

namespace lc = ops::loopcheck;

QString num(double v) {
    return QString::number(v, 'g', 10);
}

QString verdict(bool pass) {
    return pass ? tx(Tr::tr("合格")) : tx(Tr::tr("超差"));
}

QString pointsText(const QString& title, const std::vector<lc::Point>& points) {
    QString text = title + "\n";
    for (const lc::Point& p : points) {
        text += tx(Tr::tr("  设定 %1 mA  读数 %2 mA  误差 %3 mA (%4 %)  %5\n"))
                    .arg(num(p.setMa), num(p.readMa), num(p.errorMa), num(p.errorPercentOfSpan),
                         verdict(p.pass));
    }
    return text;
}

QString outcomeText(lc::Outcome o) {
    switch (o) {
        case lc::Outcome::Passed:
            return tx(Tr::tr("合格"));
        case lc::Outcome::Failed:
            return tx(Tr::tr("不合格"));
        case lc::Outcome::Cancelled:
            return tx(Tr::tr("已取消"));
        case lc::Outcome::PortLost:
            return tx(Tr::tr("串口断开"));
    }
    return {};
}

constexpr const char* kTitle = Tr::tr("回路检查");
constexpr const char* kMayHoldFixed = Tr::tr("仪表可能仍处于固定电流模式!");

}  // namespace

LoopCheckWizard::LoopCheckWizard(TForm1& window) : QDialog(&window), window_(window) {
    setObjectName(QStringLiteral("LoopCheckWizard"));
    setWindowTitle(kTitle);
    ask = [this](const QString& question) {
        return QMessageBox::question(this, tx(kTitle), question) == QMessageBox::Yes;
    };
    auto edit = [this](const char* name, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    auto button = [this](const char* name, const QString& text, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    points_ = edit("LoopPoints", QStringLiteral("4, 8, 12, 16, 20"));
    tolerance_ = edit("LoopTolerance", QStringLiteral("0.1"));
    sensor_ = edit("LoopSensorPoints", {});
    reading_ = edit("LoopReading", {});
    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("LoopPrompt"));
    prompt_->setWordWrap(true);
    start_ = button("LoopStart", tx(Tr::tr("开始")), [this] { start(); });
    answer_ = button("LoopAnswer", tx(Tr::tr("确定")), [this] { answer(); });
    trimYes_ = button("LoopTrimYes", tx(Tr::tr("微调")), [this] { agree(true); });
    trimNo_ = button("LoopTrimNo", tx(Tr::tr("不微调")), [this] { agree(false); });
    stop_ = button("LoopStop", tx(Tr::tr("停止")), [this] { stop(); });
    save_ = button("LoopSave", tx(Tr::tr("保存记录…")), [this] {
        const QString path = QFileDialog::getSaveFileName(this, tx(Tr::tr("保存记录…")), {},
                                                          tx(Tr::tr("回路检查记录 (*.json)")));
        if (!path.isEmpty()) save(path);
    });
    results_ = new QPlainTextEdit(this);
    results_->setObjectName(QStringLiteral("LoopResults"));
    results_->setReadOnly(true);
    connect(reading_, &QLineEdit::returnPressed, this, [this] { answer(); });

    auto* form = new QFormLayout;
    form->addRow(tx(Tr::tr("检查点 (mA):")), points_);
    form->addRow(tx(Tr::tr("允许误差 (% 量程):")), tolerance_);
    form->addRow(tx(Tr::tr("传感器检查点 (% 量程, 可空):")), sensor_);
    auto* answers = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(reading_), static_cast<QWidget*>(answer_),
                       static_cast<QWidget*>(trimYes_), static_cast<QWidget*>(trimNo_)})
        answers->addWidget(w);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch();
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(prompt_);
    layout->addLayout(answers);
    layout->addWidget(results_);
    layout->addLayout(buttons);
    resize(560, 420);
    prompt(tx(Tr::tr("选择检查点和允许误差,然后开始。")), Answer::None);

    answerTimer_.setSingleShot(true);
    answerTimer_.setInterval(lc::Check::kAnswerTimeoutS * 1000);
    connect(&answerTimer_, &QTimer::timeout, this, [this] {
        if (!check_ || waiting_) return;
        check_->cancel("no answer within " + std::to_string(lc::Check::kAnswerTimeoutS / 60) +
                       " minutes");
        step();
    });
    // Stopping is what closing means while a check runs: the output must not stay fixed.
    connect(this, &QDialog::rejected, this, [this] {
        if (running()) stop();
    });
    window.addRequestEnded([this](const TForm1::RequestEnd& end) { ended(end); });
    window.menuBar()->addMenu(kTitle)->addAction(tx(Tr::tr("回路检查…")), this, [this] {
        show();
        raise();
    });
}

void LoopCheckWizard::prompt(const QString& text, Answer kind) {
    prompt_->setText(text);
    const bool number = kind == Answer::Number;
    const bool trim = kind == Answer::YesNo;
    reading_->setEnabled(number);
    answer_->setEnabled(number);
    trimYes_->setEnabled(trim);
    trimNo_->setEnabled(trim);
    start_->setEnabled(!check_);
    stop_->setEnabled(check_.has_value());
    save_->setEnabled(!check_ && record_.has_value());
    points_->setEnabled(!check_);
    tolerance_->setEnabled(!check_);
    sensor_->setEnabled(!check_);
    if (number) {
        reading_->clear();
        reading_->setFocus();
    }
}

bool LoopCheckWizard::start() {
    if (check_ || endingLeftover_) return false;
    if (!window_.portOpen() || window_.configFiles().busy()) {
        showMessage(
            this, MessageKind::Error,
            window_.portOpen() ? tx(Tr::tr("配置文件操作进行中!")) : tx(Tr::tr("串口没有打开!")));
        return false;
    }
    lc::Plan plan;
    const auto points = lc::numberList(points_->text().toStdString());
    const auto tolerance = lc::numberList(tolerance_->text().toStdString());
    const auto sensor = lc::numberList(sensor_->text().toStdString());
    if (points) plan.pointsMa = *points;
    if (tolerance && tolerance->size() == 1) plan.tolerancePercentOfSpan = tolerance->front();
    if (sensor) plan.sensorPercents = *sensor;
    std::string why = lc::planError(plan);
    if (!points || !sensor || !tolerance || tolerance->size() != 1) why = "not a number";
    if (!why.empty()) {
        showMessage(this, MessageKind::Error, tx(Tr::tr("检查点或允许误差不正确: ")) + qs(why));
        return false;
    }
    port_ = window_.comm().commName();
    record_.reset();
    results_->clear();
    check_.emplace(plan, startControls(window_.controls()), "hart-config " HART_VERSION);
    step();
    return true;
}

void LoopCheckWizard::step() {
    if (!check_ || waiting_) return;
    const lc::Step s = check_->next(window_.session());
    switch (s.kind) {
        case lc::Step::Kind::Send:
            waiting_ = true;
            prompt(tx(Tr::tr("正在与仪表通讯…")), Answer::None);
            window_.send(s.request);
            return;
        case lc::Step::Kind::Reading:
            prompt(tx(Tr::tr("%1: 输出已固定在 %2 mA。请输入参考表读数 (mA):"))
                       .arg(s.phase == lc::Phase::AsFound ? tx(Tr::tr("检查前"))
                            : s.phase == lc::Phase::Trim  ? tx(Tr::tr("微调"))
                                                          : tx(Tr::tr("检查后")),
                            num(s.mA)),
                   Answer::Number);
            break;
        case lc::Step::Kind::Trim:
            prompt(tx(Tr::tr("有检查点超差。用参考表读数微调 4 mA 和 20 mA 输出吗?")),
                   Answer::YesNo);
            break;
        case lc::Step::Kind::Applied:
            prompt(tx(Tr::tr("请在传感器上施加约 %1 %2,输入实际施加值:"))
                       .arg(num(s.value), qs(s.unit)),
                   Answer::Number);
            break;
        case lc::Step::Kind::Done:
            return finish();
    }
    showRecord();
    answerTimer_.start();
}

void LoopCheckWizard::answer() {
    if (!check_ || waiting_ || !reading_->isEnabled()) return;
    const auto v = lc::numberList(reading_->text().toStdString());
    if (!v || v->size() != 1) {
        showMessage(this, MessageKind::Error, tx(Tr::tr("请输入数字!")));
        return;
    }
    answerTimer_.stop();
    check_->answer(v->front());
    step();
}

void LoopCheckWizard::agree(bool trim) {
    if (!check_ || waiting_) return;
    answerTimer_.stop();
    check_->agree(trim);
    step();
}

void LoopCheckWizard::stop() {
    if (!check_) return;
    answerTimer_.stop();
    check_->cancel("stopped by the technician");
    // A request on the line is answered first; its end goes on from there.
    step();
}

void LoopCheckWizard::ended(const TForm1::RequestEnd& end) {
    const bool code = end.status && end.status->first != 0;
    const bool ok = end.outcome.result == hart::Result::Done && !code;
    if (std::exchange(endingLeftover_, false)) {
        if (ok) lc::noteFixedCurrent(port_, false);
        showMessage(&window_, ok ? MessageKind::Information : MessageKind::Error,
                    ok ? tx(Tr::tr("固定电流模式已结束。"))
                       : tx(Tr::tr("结束固定电流模式失败: ")) + qs(end.outcome.status));
        return;
    }
    if (!check_ || !waiting_) return;
    waiting_ = false;
    std::string why = end.outcome.status;
    if (code) why += Tr::tr(" (响应码 ") + std::to_string(end.status->first) + ")";
    check_->sent(window_.session(), end.outcome,
                 !window_.portOpen() ? lc::Sent::PortLost
                 : ok                ? lc::Sent::Ok
                                     : lc::Sent::Failed,
                 ok ? std::string() : why);
    lc::noteFixedCurrent(port_, check_->fixedMayRemain());
    // The next request goes out once this reply's handling is over.
    QTimer::singleShot(0, this, &LoopCheckWizard::step);
}

void LoopCheckWizard::finish() {
    answerTimer_.stop();
    record_ = check_->record();
    window_.configFiles().lastLoopCheck = record_;
    const bool fixed = check_->fixedMayRemain();
    check_.reset();
    showRecord();
    QString text = tx(Tr::tr("回路检查结束: ")) + outcomeText(record_->outcome);
    if (record_->outcome == lc::Outcome::PortLost) text = tx(Tr::tr("串口断开,回路检查中止。"));
    if (fixed) text += "\n" + tx(kMayHoldFixed);
    prompt(text, Answer::None);
    if (fixed) showMessage(this, MessageKind::Error, text);
}

void LoopCheckWizard::showRecord() {
    const lc::Record& r = check_ ? check_->record() : *record_;
    QString text = pointsText(tx(Tr::tr("检查前 (as found):")), r.asFound);
    if (r.trim) {
        text += tx(Tr::tr("已微调: 4 mA 表读数 %1 mA, 20 mA 表读数 %2 mA\n"))
                    .arg(num(r.trim->zeroMeteredMa), num(r.trim->gainMeteredMa));
        text += pointsText(tx(Tr::tr("检查后 (as left):")), r.asLeft);
    }
    for (const lc::SensorPoint& s : r.sensor) {
        text += tx(Tr::tr("  传感器: 施加 %1  主变量 %2 %3  误差 %4 %  %5\n"))
                    .arg(num(s.applied), num(s.pv), qs(s.unit), num(s.errorPercentOfSpan),
                         verdict(s.pass));
    }
    if (!check_) text += tx(Tr::tr("结果: ")) + outcomeText(r.outcome) + "\n" + qs(r.note);
    results_->setPlainText(text);
}

bool LoopCheckWizard::save(const QString& path) {
    if (!record_) return false;
    const std::string why = ops::config::saveAtomically(path.toStdString(), lc::toJson(*record_));
    showMessage(this, why.empty() ? MessageKind::Information : MessageKind::Error,
                why.empty() ? tx(Tr::tr("记录已保存到 ")) + path : qs(why));
    return why.empty();
}

void LoopCheckWizard::portOpened() {
    port_ = window_.comm().commName();
    if (!lc::fixedCurrentNoted(port_) ||
        !ask(tx(Tr::tr("上次回路检查时串口断开,")) + tx(kMayHoldFixed) +
             tx(Tr::tr("\n现在结束固定电流模式吗?"))))
        return;
    window_.findInstrument([this](const std::string& failure) {
        if (!failure.empty()) return;
        ops::config::ControlStore controls = startControls(window_.controls());
        endingLeftover_ = true;
        window_.send(lc::fixedCurrent(0, controls, window_.session()));
    });
}

}  // namespace ui
