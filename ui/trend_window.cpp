#include "ui/trend_window.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QTime>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

namespace trend = ops::trend;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr std::string_view kPortClosed = "串口没有打开,数据没有发送!";

const QColor kColours[TrendWindow::kSeries] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                               QColor(0x2c, 0xa0, 0x2c), QColor(0x94, 0x67, 0xbd),
                                               QColor(0xff, 0x7f, 0x0e), QColor(0x8c, 0x56, 0x4b)};

}  // namespace

// Zoom by the rubber band or the wheel, along the time only; pan by dragging with the right
// button or by the arrow keys.
class TrendWindow::View final : public QChartView {
  public:
    View(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
        setRubberBand(QChartView::HorizontalRubberBand);
        setRenderHint(QPainter::Antialiasing, false);  // cheaper with thousands of points
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void wheelEvent(QWheelEvent* e) override {
        chart()->zoom(e->angleDelta().y() > 0 ? 1.25 : 0.8);
        e->accept();
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::RightButton) {
            dragFrom_ = e->position();
            e->accept();
            return;
        }
        QChartView::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (dragFrom_) {
            chart()->scroll(dragFrom_->x() - e->position().x(), 0);
            dragFrom_ = e->position();
            e->accept();
            return;
        }
        QChartView::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::RightButton && dragFrom_) {
            dragFrom_.reset();
            e->accept();
            return;
        }
        QChartView::mouseReleaseEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        const qreal step = chart()->plotArea().width() / 10;
        if (e->key() == Qt::Key_Left) return chart()->scroll(-step, 0);
        if (e->key() == Qt::Key_Right) return chart()->scroll(step, 0);
        QChartView::keyPressEvent(e);
    }

  private:
    std::optional<QPointF> dragFrom_;
};

TrendWindow::TrendWindow(std::function<bool()> portOpen, QWidget* parent)
    : QWidget(parent, Qt::Window), portOpen_(std::move(portOpen)) {
    setObjectName(QStringLiteral("TrendWindow"));
    setWindowTitle(QStringLiteral("趋势"));
    resize(1000, 600);

    chart_ = new QChart();
    chart_->legend()->setAlignment(Qt::AlignBottom);
    timeAxis_ = new QDateTimeAxis(chart_);
    timeAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    view_ = new View(chart_, this);
    view_->setObjectName(QStringLiteral("TrendChart"));

    auto* values = new QVBoxLayout();
    const auto series = trend::series();
    for (std::size_t i = 0; i < kSeries; ++i) {
        Curve& c = curves_[i];
        c.axis = new QValueAxis(chart_);
        c.axis->setLinePenColor(kColours[i]);
        c.axis->setLabelsColor(kColours[i]);
        c.axis->setLabelFormat(QStringLiteral("%.4g"));
        chart_->addAxis(c.axis, i % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
        auto* caption = new QLabel(qs(series[i].caption), this);
        caption->setStyleSheet(QStringLiteral("color: %1").arg(kColours[i].name()));
        c.latest = new QLabel(QStringLiteral("-"), this);
        c.latest->setObjectName(QStringLiteral("TrendValue%1").arg(i + 1));
        c.latest->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont big = c.latest->font();
        big.setPointSizeF(big.pointSizeF() * 1.4);
        c.latest->setFont(big);
        values->addWidget(caption);
        values->addWidget(c.latest);
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
    startButton_ = button("TrendStart", QStringLiteral("开始"));
    pauseButton_ = button("TrendPause", QStringLiteral("暂停"));
    pauseButton_->setEnabled(false);
    recordButton_ = button("TrendRecord", QStringLiteral("记录…"));
    QPushButton* picture = button("TrendExport", QStringLiteral("导出图片…"));
    QPushButton* all = button("TrendShowAll", QStringLiteral("全部"));
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
    bar->addWidget(new QLabel(QStringLiteral("间隔:"), this));
    bar->addWidget(interval_);
    bar->addWidget(recordButton_);
    bar->addWidget(picture);
    bar->addWidget(all);
    bar->addWidget(status_, 1);
    auto* body = new QHBoxLayout();
    body->addWidget(view_, 1);
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
    // A zoom or pan of the user's leaves the growing end alone until 全部.
    connect(timeAxis_, &QDateTimeAxis::rangeChanged, this, [this] {
        if (settingRange_) return;
        following_ = false;
        redraw();
    });
}

TrendWindow::~TrendWindow() = default;

void TrendWindow::start() {
    if (!portOpen_()) {
        setStatus(qs(kPortClosed));
        return;
    }
    if (!finder_) return begin();
    if (std::exchange(finding_, true)) return;
    startButton_->setEnabled(false);
    setStatus(QString());
    finder_([this](const std::string& failure) {
        if (!std::exchange(finding_, false)) return;  // stopped meanwhile
        startButton_->setEnabled(true);
        if (!failure.empty()) return setStatus(QString::fromStdString(failure));
        begin();
    });
}

void TrendWindow::begin() {
    silence_.emplace(std::chrono::steady_clock::now());
    lost_->clear();
    round_.emplace(std::chrono::milliseconds(std::lround(interval_->value() * 1000)));
    paused_ = false;
    startButton_->setText(QStringLiteral("停止"));
    pauseButton_->setText(QStringLiteral("暂停"));
    pauseButton_->setEnabled(true);
    setStatus(QString());
    emit wantsReads();
}

void TrendWindow::finish() {
    round_.reset();
    paused_ = false;
    startButton_->setText(QStringLiteral("开始"));
    pauseButton_->setText(QStringLiteral("暂停"));
    pauseButton_->setEnabled(false);
}

void TrendWindow::pause() {
    if (!round_) return;
    paused_ = !paused_;
    pauseButton_->setText(paused_ ? QStringLiteral("继续") : QStringLiteral("暂停"));
    if (!paused_) emit wantsReads();
}

void TrendWindow::stop(std::string_view why) {
    if (std::exchange(finding_, false)) {
        startButton_->setEnabled(true);
        setStatus(qs(why));
    }
    if (!round_) return;
    finish();
    setStatus(qs(why));
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
        lost_->setText(silence_->lost() ? QStringLiteral("仪表无应答 (自 %1 起),曲线在此中断")
                                              .arg(QTime::currentTime().toString("HH:mm:ss"))
                                        : QString());
    }
    if (const auto sample = round_->taken(outcome)) add(*sample);
}

void TrendWindow::burst(const trend::Sample& sample) {
    if (!polling()) return;
    round_->burst(std::chrono::steady_clock::now());
    setStatus(QStringLiteral("阵发模式: 显示仪表主动发送的数据"));
    add(sample);
}

void TrendWindow::add(const trend::Sample& sample) {
    times_.push_back(static_cast<double>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sample.at.time_since_epoch())
            .count()));
    for (std::size_t i = 0; i < kSeries; ++i) {
        values_[i].push_back(sample.values[i]);
        if (!sample.units[i].empty()) units_[i] = QString::fromStdString(sample.units[i]);
    }
    if (record_.isOpen() && !record_.write(sample)) {
        record_.close();
        recordButton_->setText(QStringLiteral("记录…"));
        setStatus(QStringLiteral("记录写入失败: %1").arg(recordPath_));
    }
    showLatest(sample);
    if (isVisible()) redraw();
}

void TrendWindow::showLatest(const trend::Sample& sample) {
    for (std::size_t i = 0; i < kSeries; ++i) {
        const auto& v = sample.values[i];
        curves_[i].latest->setText(v ? qs(trend::valueText(*v)) + QStringLiteral(" ") + units_[i]
                                     : QStringLiteral("-"));
    }
}

void TrendWindow::redraw() {
    if (times_.empty()) return;
    double t0 = timeAxis_->min().toMSecsSinceEpoch();
    double t1 = timeAxis_->max().toMSecsSinceEpoch();
    if (following_) {
        t0 = times_.front();
        t1 = std::max(times_.back(), t0 + 1000.0);
        settingRange_ = true;
        timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t0)),
                            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(t1)));
        settingRange_ = false;
    }
    const int columns = std::max(1, static_cast<int>(chart_->plotArea().width()));
    const double perColumn = (t1 - t0) / columns;
    const auto series = trend::series();
    for (std::size_t i = 0; i < kSeries; ++i) {
        Curve& c = curves_[i];
        const auto bands = trend::decimate(times_, values_[i], t0, t1, columns);
        // Runs of columns with values, each drawn as one line through its minima and maxima.
        std::vector<QList<QPointF>> runs;
        bool inRun = false;
        double low = INFINITY;
        double high = -INFINITY;
        for (std::size_t k = 0; k < bands.size(); ++k) {
            if (!bands[k]) {
                inRun = false;
                continue;
            }
            if (!inRun) runs.emplace_back();
            inRun = true;
            const double t = t0 + (static_cast<double>(k) + 0.5) * perColumn;
            runs.back().append({t, bands[k]->min});
            if (bands[k]->max != bands[k]->min) runs.back().append({t, bands[k]->max});
            low = std::min(low, bands[k]->min);
            high = std::max(high, bands[k]->max);
        }
        while (c.segments.size() < runs.size()) {
            auto* s = new QLineSeries(chart_);
            s->setColor(kColours[i]);
            chart_->addSeries(s);
            s->attachAxis(timeAxis_);
            s->attachAxis(c.axis);
            // One legend entry a series, whatever number of runs draws it.
            const bool first = c.segments.empty();
            s->setName(qs(series[i].caption));
            for (QLegendMarker* m : chart_->legend()->markers(s)) m->setVisible(first);
            c.segments.push_back(s);
        }
        for (std::size_t k = 0; k < c.segments.size(); ++k)
            c.segments[k]->replace(k < runs.size() ? runs[k] : QList<QPointF>());
        if (low <= high) {
            const double pad =
                high > low ? (high - low) * 0.05 : std::max(std::fabs(high) * 0.05, 0.5);
            c.axis->setRange(low - pad, high + pad);
        }
        c.axis->setTitleText(units_[i]);
    }
}

void TrendWindow::showAll() {
    following_ = true;
    redraw();
}

void TrendWindow::toggleRecord() {
    if (record_.isOpen()) {
        record_.close();
        recordButton_->setText(QStringLiteral("记录…"));
        setStatus(QStringLiteral("记录已保存: %1").arg(recordPath_));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("记录到文件"), QString(),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty()) recordTo(path);
}

void TrendWindow::recordTo(const QString& path) {
    std::string error;
    if (!record_.open(path.toStdString(), error)) {
        setStatus(QString::fromStdString(error));
        return;
    }
    recordPath_ = path;
    recordButton_->setText(QStringLiteral("停止记录"));
    setStatus(QStringLiteral("正在记录: %1").arg(path));
}

void TrendWindow::exportPicture() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出图片"), QString(),
                                                      QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    if (!view_->grab().save(path, "PNG")) setStatus(QStringLiteral("图片写入失败: %1").arg(path));
}

void TrendWindow::setStatus(const QString& text) {
    status_->setText(text);
}

}  // namespace ui
