// The trend: the live values over time in a plot, each series on an axis of its own with its
// unit, the latest values beside it, and a CSV record. The main window sends the reads it
// asks for through its own request procedure, one request at a time.
#pragma once

#include <QWidget>
#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/trend.h"

class QLabel;
class QPushButton;
class QDoubleSpinBox;

namespace ui {

class TrendPlot;

class TrendWindow final : public QWidget {
    Q_OBJECT
  public:
    static constexpr std::size_t kSeries = 6;

    // `portOpen` says whether reads can go out now.
    TrendWindow(std::function<bool()> portOpen, QWidget* parent = nullptr);
    ~TrendWindow() override;
    // How a start finds the instrument it reads: `found` runs with what to tell the user when
    // none answered, empty otherwise. Without one the reads go to the identity at hand.
    using Found = std::function<void(const std::string& failure)>;
    void setFinder(std::function<void(Found found)> finder) { finder_ = std::move(finder); }

    // Started and not paused: rounds of reads are due.
    bool polling() const { return round_.has_value() && !paused_; }
    // The read to send now, if one is due.
    std::optional<std::string_view> due();
    // When the next round is due.
    std::optional<std::chrono::steady_clock::time_point> nextRound() const;
    // The outcome of the read last given out.
    void taken(const hart::Outcome& outcome);
    // A burst frame's sample: plotted as it comes, and no reads go out while they come.
    void burst(const ops::trend::Sample& sample);
    // The port is gone or closed: polling ends, the record stays complete.
    void stop(std::string_view why);

    // Records every sample from now on into a new CSV file at `path`.
    void recordTo(const QString& path);

    // A sample into the plot and the record (also what a round makes).
    void add(const ops::trend::Sample& sample);
    // Redraws the visible span from the samples.
    void redraw();
    std::size_t samples() const;

  signals:
    // Polling began or resumed: reads are due.
    void wantsReads();

  private:
    void start();
    void begin();
    void finish();
    void pause();
    void toggleRecord();
    void exportPicture();
    void showAll();
    void setStatus(const QString& text);
    void showLatest(const ops::trend::Sample& sample);

    std::function<bool()> portOpen_;
    TrendPlot* plot_ = nullptr;
    std::array<QLabel*, kSeries> latest_{};
    QPushButton* startButton_ = nullptr;
    QPushButton* pauseButton_ = nullptr;
    QPushButton* recordButton_ = nullptr;
    QDoubleSpinBox* interval_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* lost_ = nullptr;  // beside the plot while the instrument does not answer
    std::function<void(Found)> finder_;
    bool finding_ = false;
    std::optional<ops::trend::Silence> silence_;

    std::optional<ops::trend::Round> round_;
    bool paused_ = false;
    ops::trend::Recorder record_;
    QString recordPath_;
};

}  // namespace ui
