// The trend's plot: each series on a value axis of its own, in its colour, over one time axis,
// drawn from the min/max reduction of the samples in view, one band a pixel column. Zoom by
// the wheel or a rubber band, pan by dragging with the right button or by the arrow keys.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "ops/trend.h"

class QRubberBand;

namespace ui {

class TrendPlot final : public QWidget {
  public:
    static constexpr std::size_t kSeries = 6;
    static const std::array<QColor, kSeries> kColours;

    explicit TrendPlot(QWidget* parent = nullptr);

    // A sample: its time in ms since the epoch, ascending, and each series' value (none: a gap).
    void add(double ms, std::span<const std::optional<double>> values);
    void setUnit(std::size_t series, const QString& unit) { units_[series] = unit; }
    const QString& unit(std::size_t series) const { return units_[series]; }
    std::size_t samples() const { return times_.size(); }

    // Draws anew at the next paint, the span following the record unless zoomed or panned.
    void redraw();
    // The whole record in view, growing with it until the next zoom or pan.
    void showAll();
    // The span in view, in ms since the epoch; a zoom of the user's.
    void setSpan(double from, double to);
    double from() const { return from_; }
    double to() const { return to_; }

    // Where the curves are drawn, and the pixel a sample's value is drawn through: laid out at
    // the last paint.
    QRect plotArea() const { return area_; }
    QPoint pixelOf(std::size_t series, double ms, double value) const;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    struct Axis {
        double low = 0.0;
        double high = 1.0;
        double step = 0.0;  // between ticks; 0: nothing to show
        int width = 0;
    };
    void layOut();
    void drawTimeAxis(QPainter& p) const;
    void drawLegend(QPainter& p) const;
    void drawValueAxis(QPainter& p, std::size_t series, int x, bool left) const;
    void drawCurve(QPainter& p, std::size_t series) const;
    double timeAt(double x) const;
    int xOf(double ms) const;
    int yOf(const Axis& axis, double value) const;
    void pan(double pixels);

    std::vector<double> times_;
    std::array<std::vector<std::optional<double>>, kSeries> values_;
    std::array<QString, kSeries> units_;

    double from_ = 0.0;
    double to_ = 0.0;
    bool following_ = true;

    // The layout and reduction of the last paint, made anew when stale.
    bool stale_ = true;
    QRect area_;
    std::array<Axis, kSeries> axes_;
    std::array<std::vector<std::optional<ops::trend::Band>>, kSeries> bands_;

    QRubberBand* band_ = nullptr;
    std::optional<int> bandFrom_;
    std::optional<double> dragFrom_;
};

}  // namespace ui
