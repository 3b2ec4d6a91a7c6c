#include "ui/trend_window.h"

#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>
#include <cmath>

#include "ui/language.h"
#include "ui/text.h"
#include "ui/trend_plot.h"

namespace ui {
namespace {

namespace trend = ops::trend;

constexpr std::string_view kPortClosed = Tr::tr("串口没有打开,数据没有发送!");

}  // namespace

TrendWindow::TrendWindow(std::function<bool()> portOpen, QWidget* parent)
    : QWidget(parent, Qt::Window), portOpen_(std::move(portOpen)) {
    setObjectName(QStringLiteral("TrendWindow"));
    setWindowTitle(Tr::tr("趋势"));
    resize(1000, 600);

    plot_ = new TrendPlot(this);
    plot_->setObjectName(QStringLiteral("TrendChart"));

    auto* values = new QVBoxLayout();
    const auto series = trend::series();
    for (std::size_t i = 0; i < kSeries; ++i) {
        auto* caption = new QLabel(qs(series[i].caption), this);
        caption->setStyleSheet(QStringLiteral("color: %1").arg(TrendPlot::kColours[i].name()));
        QLabel*& latest = latest_[i];
        latest = new QLabel(QStringLiteral("-"), this);
        latest->setObjectName(QStringLiteral("TrendValue%1").arg(i + 1));
        latest->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont big = latest->font();
        big.setPointSizeF(big.pointSizeF() * 1.4);
        latest->setFont(big);
        values->addWidget(caption);
        values->addWidget(latest);
    }
    lost_ = new QLabel(this);
    lost_->setObjectName(QStringLiteral("TrendLost"));
    lost_->setStyleSheet(QStringLiteral("color: red"));
    lost_->setWordWrap(true);
    values->addWidget(lost_);
    values->addStretch();

    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    startButton_ = button("TrendStart", Tr::tr("开始"));
    pauseButton_ = button("TrendPause", Tr::tr("暂停"));
    pauseButton_->setEnabled(false);
    recordButton_ = button("TrendRecord", Tr::tr("记录…"));
    QPushButton* picture = button("TrendExport", Tr::tr("导出图片…"));
    QPushButton* all = button("TrendShowAll", Tr::tr("全部"));
    interval_ = new QDoubleSpinBox(this);
    interval_->setObjectName(QStringLiteral("TrendInterval"));
    interval_->setRange(0.5, 60.0);
    interval_->setSingleStep(0.5);
    interval_->setDecimals(1);
    interval_->setValue(1.0);
    interval_->setSuffix(QStringLiteral(" s"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("TrendStatus"));

    auto* bar = new QHBoxLayout();
    bar->addWidget(startButton_);
    bar->addWidget(pauseButton_);
    bar->addWidget(new QLabel(Tr::tr("间隔:"), this));
    bar->addWidget(interval_);
    bar->addWidget(recordButton_);
    bar->addWidget(picture);
    bar->addWidget(all);
    bar->addWidget(status_, 1);
    auto* body = new QHBoxLayout();
    body->addWidget(plot_, 1);
    body->addLayout(values);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(body, 1);

    connect(startButton_, &QPushButton::clicked, this, [this] { round_ ? finish() : start(); });
    connect(pauseButton_, &QPushButton::clicked, this, &TrendWindow::pause);
    connect(recordButton_, &QPushButton::clicked, this, &TrendWindow::toggleRecord);
    connect(picture, &QPushButton::clicked, this, &TrendWindow::exportPicture);
    connect(all, &QPushButton::clicked, this, &TrendWindow::showAll);
    connect(interval_, &QDoubleSpinBox::valueChanged, this, [this](double s) {
        if (round_) round_->setInterval(std::chrono::milliseconds(std::lround(s * 1000)));
    });
    retranslate(this);
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::start() {
    if (!portOpen_()) {
        setStatus(tx(kPortClosed));
        return;
    }
    if (!finder_) return begin();
    if (std::exchange(finding_, true)) return;
    startButton_->setEnabled(false);
    setStatus(QString());
    finder_([this](const std::string& failure) {
        if (!std::exchange(finding_, false)) return;  // stopped meanwhile
        startButton_->setEnabled(true);
        if (!failure.empty()) return setStatus(tx(failure));
        begin();
    });
}

void TrendWindow::begin() {
    silence_.emplace(std::chrono::steady_clock::now());
    lost_->clear();
    round_.emplace(std::chrono::milliseconds(std::lround(interval_->value() * 1000)));
    paused_ = false;
    startButton_->setText(tx(Tr::tr("停止")));
    pauseButton_->setText(tx(Tr::tr("暂停")));
    pauseButton_->setEnabled(true);
    setStatus(QString());
    emit wantsReads();
}

void TrendWindow::finish() {
    round_.reset();
    paused_ = false;
    startButton_->setText(tx(Tr::tr("开始")));
    pauseButton_->setText(tx(Tr::tr("暂停")));
    pauseButton_->setEnabled(false);
}

void TrendWindow::pause() {
    if (!round_) return;
    paused_ = !paused_;
    pauseButton_->setText(paused_ ? tx(Tr::tr("继续")) : tx(Tr::tr("暂停")));
    if (!paused_) emit wantsReads();
}

void TrendWindow::stop(std::string_view why) {
    if (std::exchange(finding_, false)) {
        startButton_->setEnabled(true);
        setStatus(tx(why));
    }
    if (!round_) return;
    finish();
    setStatus(tx(why));
}

std::optional<std::string_view> TrendWindow::due() {
    if (!polling()) return std::nullopt;
    return round_->due(std::chrono::steady_clock::now());
}

std::optional<std::chrono::steady_clock::time_point> TrendWindow::nextRound() const {
    if (!polling()) return std::nullopt;
    return round_->nextRound();
}

void TrendWindow::taken(const hart::Outcome& outcome) {
    if (!round_) return;
    const bool answered = outcome.result == hart::Result::Done;
    const auto interval = std::chrono::milliseconds(std::lround(interval_->value() * 1000));
    if (silence_ && silence_->read(answered, std::chrono::steady_clock::now(), interval)) {
        lost_->setText(silence_->lost() ? tx(Tr::tr("仪表无应答 (自 %1 起),曲线在此中断"))
                                              .arg(QTime::currentTime().toString("HH:mm:ss"))
                                        : QString());
    }
    if (const auto sample = round_->taken(outcome)) add(*sample);
}

void TrendWindow::burst(const trend::Sample& sample) {
    if (!polling()) return;
    round_->burst(std::chrono::steady_clock::now());
    setStatus(tx(Tr::tr("阵发模式: 显示仪表主动发送的数据")));
    add(sample);
}

void TrendWindow::add(const trend::Sample& sample) {
    for (std::size_t i = 0; i < kSeries; ++i) {
        if (!sample.units[i].empty()) plot_->setUnit(i, tx(sample.units[i]));
    }
    plot_->add(static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       sample.at.time_since_epoch())
                                       .count()),
               sample.values);
    if (record_.isOpen() && !record_.write(sample)) {
        record_.close();
        recordButton_->setText(tx(Tr::tr("记录…")));
        setStatus(tx(Tr::tr("记录写入失败: %1")).arg(recordPath_));
    }
    showLatest(sample);
}

std::size_t TrendWindow::samples() const {
    return plot_->samples();
}

void TrendWindow::showLatest(const trend::Sample& sample) {
    for (std::size_t i = 0; i < kSeries; ++i) {
        const auto& v = sample.values[i];
        latest_[i]->setText(v ? qs(trend::valueText(*v)) + QStringLiteral(" ") + plot_->unit(i)
                              : QStringLiteral("-"));
    }
}

void TrendWindow::redraw() {
    plot_->redraw();
}

void TrendWindow::showAll() {
    plot_->showAll();
}

void TrendWindow::toggleRecord() {
    if (record_.isOpen()) {
        record_.close();
        recordButton_->setText(tx(Tr::tr("记录…")));
        setStatus(tx(Tr::tr("记录已保存: %1")).arg(recordPath_));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, tx(Tr::tr("记录到文件")), QString(),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) recordTo(path);
}

void TrendWindow::recordTo(const QString& path) {
    std::string error;
    if (!record_.open(path.toStdString(), error)) {
        setStatus(tx(error));
        return;
    }
    recordPath_ = path;
    recordButton_->setText(tx(Tr::tr("停止记录")));
    setStatus(tx(Tr::tr("正在记录: %1")).arg(path));
}

void TrendWindow::exportPicture() {
    const QString path = QFileDialog::getSaveFileName(this, tx(Tr::tr("导出图片")), QString(),
                                                      QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    if (!plot_->grab().save(path, "PNG")) setStatus(tx(Tr::tr("图片写入失败: %1")).arg(path));
}

void TrendWindow::setStatus(const QString& text) {
    status_->setText(text);
}

}  // namespace ui
