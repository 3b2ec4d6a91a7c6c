#include "ui/trend_plot.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/text.h"

namespace ui {
namespace {

namespace trend = ops::trend;

constexpr int kTick = 4;  // a tick mark's length
constexpr double kMinSpanMs = 10.0;

// The smallest of 1, 2 and 5 times a power of ten that is at least `raw`.
double niceStep(double raw) {
    if (!(raw > 0.0) || !std::isfinite(raw)) return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0}) {
        if (raw <= m * power * (1 + 1e-9)) return m * power;
    }
    return 10.0 * power;
}

QString valueLabel(double v, double step) {
    if (step >= 1e-4 && std::fabs(v) < 1e7) {
        const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
        return QString::number(v, 'f', decimals);
    }
    return QString::number(std::fabs(v) < step * 1e-6 ? 0.0 : v, 'g', 4);
}

// Time ticks land on whole steps of local time: milliseconds up to a day.
constexpr double kTimeSteps[] = {1,      2,      5,       10,      20,      50,      100,
                                 200,    500,    1e3,     2e3,     5e3,     10e3,    15e3,
                                 30e3,   60e3,   120e3,   300e3,   600e3,   900e3,   1800e3,
                                 3600e3, 7200e3, 10800e3, 21600e3, 43200e3, 86400e3, 172800e3};

QString timeFormat(double step, double span) {
    if (step >= 86400e3) return QStringLiteral("MM-dd");
    if (span > 86400e3) return QStringLiteral("MM-dd HH:mm");
    if (step < 1e3) return QStringLiteral("HH:mm:ss.zzz");
    if (step < 60e3) return QStringLiteral("HH:mm:ss");
    return QStringLiteral("HH:mm");
}

// The values an axis marks: whole steps between its ends.
std::vector<double> ticksOf(double low, double high, double step) {
    std::vector<double> out;
    if (!(step > 0)) return out;
    const double first = std::ceil(low / step);
    const double last = std::floor(high / step + 1e-9);
    if (!(last - first < 1000)) return out;  // a step lost in the values' rounding
    for (double k = first; k <= last; ++k) out.push_back(k * step);
    return out;
}

QString timeLabel(double ms, const QString& format) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(ms))).toString(format);
}

}  // namespace

const std::array<QColor, TrendPlot::kSeries> TrendPlot::kColours = {
    QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
    QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e), QColor(0x8c, 0x56, 0x4b)};

TrendPlot::TrendPlot(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
    band_ = new QRubberBand(QRubberBand::Rectangle, this);
}

void TrendPlot::add(double ms, std::span<const std::optional<double>> values) {
    times_.push_back(ms);
    for (std::size_t i = 0; i < kSeries; ++i)
        values_[i].push_back(i < values.size() ? values[i] : std::nullopt);
    redraw();
}

void TrendPlot::redraw() {
    stale_ = true;
    update();
}

void TrendPlot::showAll() {
    following_ = true;
    redraw();
}

void TrendPlot::setSpan(double from, double to) {
    if (times_.empty()) return;  // nothing to zoom into yet
    if (!(to - from >= kMinSpanMs)) {
        const double middle = (from + to) / 2;
        from = middle - kMinSpanMs / 2;
        to = middle + kMinSpanMs / 2;
    }
    following_ = false;
    from_ = from;
    to_ = to;
    redraw();
}

double TrendPlot::timeAt(double x) const {
    const double share = std::clamp((x - area_.left()) / std::max(1, area_.width()), 0.0, 1.0);
    return from_ + share * (to_ - from_);
}

void TrendPlot::pan(double pixels) {
    const double by = pixels * (to_ - from_) / std::max(1, area_.width());
    setSpan(from_ + by, to_ + by);
}

int TrendPlot::xOf(double ms) const {
    // The column the reduction puts the time in.
    const int columns = std::max(1, area_.width());
    if (!(to_ > from_)) return area_.left();
    const double column = std::floor((ms - from_) / ((to_ - from_) / columns));
    return area_.left() + static_cast<int>(std::clamp(column, 0.0, columns - 1.0));
}

int TrendPlot::yOf(const Axis& a, double value) const {
    const double share = (a.high - value) / (a.high - a.low);
    return area_.top() + static_cast<int>(std::lround(share * (area_.height() - 1)));
}

QPoint TrendPlot::pixelOf(std::size_t series, double ms, double value) const {
    return {xOf(ms), yOf(axes_[series], value)};
}

void TrendPlot::layOut() {
    stale_ = false;
    if (following_ && !times_.empty()) {
        from_ = times_.front();
        to_ = std::max(times_.back(), from_ + 1000.0);
    }
    const QFontMetrics fm = fontMetrics();
    const int top = fm.height() + 8;
    const int bottom = kTick + 2 * fm.height() + 12;
    const int height = std::max(1, this->height() - top - bottom);
    // The reduction to the columns of the last layout: the axes' widths follow from its
    // ranges, and only when they change the width does it need making again.
    int columns = area_.width() > 0 ? area_.width() : width();
    for (std::size_t i = 0; i < kSeries; ++i)
        bands_[i] = trend::decimate(times_, values_[i], from_, to_, columns);
    const int ticks = std::max(2, height / (2 * fm.height() + 4));
    std::array<int, 2> sides{};  // left, right
    for (std::size_t i = 0; i < kSeries; ++i) {
        Axis& a = axes_[i];
        double low = INFINITY;
        double high = -INFINITY;
        for (const auto& b : bands_[i]) {
            if (!b) continue;
            low = std::min(low, b->min);
            high = std::max(high, b->max);
        }
        a.width = fm.horizontalAdvance(QStringLiteral("0000")) + kTick + 6;
        if (low <= high) {
            const double pad =
                high > low ? (high - low) * 0.05 : std::max(std::fabs(high) * 0.05, 0.5);
            a.step = niceStep((high - low + 2 * pad) / ticks);
            a.low = std::floor((low - pad) / a.step) * a.step;
            a.high = std::ceil((high + pad) / a.step) * a.step;
            for (const double v : ticksOf(a.low, a.high, a.step))
                a.width =
                    std::max(a.width, fm.horizontalAdvance(valueLabel(v, a.step)) + kTick + 6);
            a.width = std::max(a.width, fm.horizontalAdvance(units_[i]) + 4);
        } else {
            a.step = 0.0;
        }
        sides[i % 2] += a.width;
    }
    area_ = QRect(sides[0], top, std::max(1, width() - sides[0] - sides[1]), height);
    if (area_.width() != columns) {
        columns = area_.width();
        for (std::size_t i = 0; i < kSeries; ++i)
            bands_[i] = trend::decimate(times_, values_[i], from_, to_, columns);
    }
}

void TrendPlot::resizeEvent(QResizeEvent* e) {
    stale_ = true;
    QWidget::resizeEvent(e);
}

void TrendPlot::paintEvent(QPaintEvent*) {
    if (stale_) layOut();
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    drawTimeAxis(p);
    drawLegend(p);
    int left = area_.left();
    int right = area_.right() + 1;
    for (std::size_t i = 0; i < kSeries; ++i) {
        const bool onLeft = i % 2 == 0;
        drawValueAxis(p, i, onLeft ? left : right, onLeft);
        (onLeft ? left : right) += onLeft ? -axes_[i].width : axes_[i].width;
    }
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawRect(area_.adjusted(0, 0, -1, -1));
    p.setClipRect(area_);
    for (std::size_t i = 0; i < kSeries; ++i) drawCurve(p, i);
}

void TrendPlot::drawTimeAxis(QPainter& p) const {
    const double span = to_ - from_;
    if (!(span > 0)) return;
    const QFontMetrics fm = fontMetrics();
    // The finest step whose labels keep apart.
    double step = kTimeSteps[std::size(kTimeSteps) - 1];
    for (const double s : kTimeSteps) {
        QString widest = timeFormat(s, span);  // a digit for each field's letter
        for (QChar& c : widest) c = c.isLetter() ? QLatin1Char('0') : c;
        const int label = fm.horizontalAdvance(widest);
        if (s / span * area_.width() >= label + 24) {
            step = s;
            break;
        }
    }
    const QString format = timeFormat(step, span);
    const double offset =
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(from_)).offsetFromUtc() * 1000.0;
    const double first = std::ceil((from_ + offset) / step) * step - offset;
    const int y = area_.bottom() + 1;
    // The grid: along the time ticks, and across at the ticks of the first axis that shows
    // anything.
    p.setPen(QColor(0xe4, 0xe4, 0xe4));
    for (const Axis& a : axes_) {
        if (a.step <= 0) continue;
        for (const double v : ticksOf(a.low, a.high, a.step))
            p.drawLine(area_.left(), yOf(a, v), area_.right(), yOf(a, v));
        break;
    }
    for (double t = first; t <= to_; t += step) {
        const int x = xOf(t);
        p.setPen(QColor(0xe4, 0xe4, 0xe4));
        p.drawLine(x, area_.top(), x, area_.bottom());
        p.setPen(Qt::black);
        p.drawLine(x, y, x, y + kTick);
        const QString text = timeLabel(t, format);
        const int w = fm.horizontalAdvance(text);
        p.drawText(QRect(x - w / 2 - 2, y + kTick + 2, w + 4, fm.height()), Qt::AlignCenter, text);
    }
}

void TrendPlot::drawLegend(QPainter& p) const {
    // Each series' colour and caption, with its unit once told.
    const QFontMetrics fm = fontMetrics();
    const auto series = trend::series();
    std::array<QString, kSeries> names;
    int total = 0;
    for (std::size_t i = 0; i < kSeries; ++i) {
        names[i] = qs(series[i].caption);
        if (!units_[i].isEmpty()) names[i] += QStringLiteral(" (%1)").arg(units_[i]);
        total += 20 + fm.horizontalAdvance(names[i]) + 16;
    }
    int x = std::max(0, (width() - total) / 2);
    const int ly = area_.bottom() + 1 + kTick + fm.height() + 6;
    for (std::size_t i = 0; i < kSeries; ++i) {
        p.setPen(QPen(kColours[i], 2));
        p.drawLine(x, ly + fm.height() / 2, x + 16, ly + fm.height() / 2);
        p.setPen(Qt::black);
        const int w = fm.horizontalAdvance(names[i]);
        p.drawText(QRect(x + 20, ly, w + 2, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   names[i]);
        x += 20 + w + 16;
    }
}

void TrendPlot::drawValueAxis(QPainter& p, std::size_t series, int x, bool left) const {
    const Axis& a = axes_[series];
    const QFontMetrics fm = fontMetrics();
    p.setPen(kColours[series]);
    const int line = left ? x - 1 : x;
    p.drawLine(line, area_.top(), line, area_.bottom());
    const int titleX = left ? x - a.width : x;
    p.drawText(QRect(titleX, 2, a.width, fm.height()), Qt::AlignCenter, units_[series]);
    if (a.step <= 0) return;
    const int outward = left ? -1 : 1;
    for (const double v : ticksOf(a.low, a.high, a.step)) {
        const int y = yOf(a, v);
        p.drawLine(line, y, line + outward * kTick, y);
        const QString text = valueLabel(v, a.step);
        const int w = a.width - kTick - 4;
        const QRect box(left ? line - kTick - 2 - w : line + kTick + 2, y - fm.height() / 2, w,
                        fm.height());
        p.drawText(box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
    }
}

void TrendPlot::drawCurve(QPainter& p, std::size_t series) const {
    const auto& bands = bands_[series];
    const Axis& a = axes_[series];
    if (a.step <= 0 || bands.empty()) return;
    const double perColumn = (to_ - from_) / static_cast<double>(bands.size());
    p.setPen(QPen(kColours[series], 0));
    QPolygon run;
    auto flush = [&] {
        if (run.size() == 1) p.drawPoint(run.front());
        if (run.size() > 1) p.drawPolyline(run);
        run.clear();
    };
    std::size_t last = 0;
    for (std::size_t k = 0; k < bands.size(); ++k) {
        if (!bands[k]) continue;
        // Columns without a value between two that have one: a gap when a missed reply fell
        // there, sparse samples otherwise.
        if (!run.isEmpty() && k > last + 1) {
            const auto missed = std::lower_bound(times_.begin(), times_.end(),
                                                 from_ + static_cast<double>(last + 1) * perColumn);
            if (missed != times_.end() && *missed < from_ + static_cast<double>(k) * perColumn)
                flush();
        }
        const int x = area_.left() + static_cast<int>(k);
        run << QPoint(x, yOf(a, bands[k]->min));
        if (bands[k]->max != bands[k]->min) run << QPoint(x, yOf(a, bands[k]->max));
        last = k;
    }
    flush();
}

void TrendPlot::wheelEvent(QWheelEvent* e) {
    const double factor = e->angleDelta().y() > 0 ? 0.8 : 1.25;
    const double at = timeAt(e->position().x());
    setSpan(at - (at - from_) * factor, at + (to_ - at) * factor);
    e->accept();
}

void TrendPlot::mousePressEvent(QMouseEvent* e) {
    const int x = static_cast<int>(e->position().x());
    if (e->button() == Qt::RightButton) {
        dragFrom_ = e->position().x();
    } else if (e->button() == Qt::LeftButton) {
        bandFrom_ = std::clamp(x, area_.left(), area_.right());
        band_->setGeometry(QRect(*bandFrom_, area_.top(), 1, area_.height()));
        band_->show();
    }
    e->accept();
}

void TrendPlot::mouseMoveEvent(QMouseEvent* e) {
    if (dragFrom_) {
        pan(*dragFrom_ - e->position().x());
        dragFrom_ = e->position().x();
    } else if (bandFrom_) {
        const int x = std::clamp(static_cast<int>(e->position().x()), area_.left(), area_.right());
        band_->setGeometry(QRect(std::min(x, *bandFrom_), area_.top(), std::abs(x - *bandFrom_) + 1,
                                 area_.height()));
    }
    e->accept();
}

void TrendPlot::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        dragFrom_.reset();
    } else if (e->button() == Qt::LeftButton && bandFrom_) {
        band_->hide();
        const int x = std::clamp(static_cast<int>(e->position().x()), area_.left(), area_.right());
        if (std::abs(x - *bandFrom_) >= 4)
            setSpan(timeAt(std::min(x, *bandFrom_)), timeAt(std::max(x, *bandFrom_) + 1));
        bandFrom_.reset();
    }
    e->accept();
}

void TrendPlot::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Left) return pan(-area_.width() / 10.0);
    if (e->key() == Qt::Key_Right) return pan(area_.width() / 10.0);
    QWidget::keyPressEvent(e);
}

}  // namespace ui
