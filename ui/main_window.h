// The main window: binds the form's controls to the serial link, the request tracker and
// the operations. Handlers keep the names of the controls they serve.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "hart/device_status.h"
#include "hart/outcome.h"
#include "hart/tracker.h"
#include "link/port_backend.h"
#include "link/tcomm.h"
#include "ops/controls.h"
#include "ops/operation.h"
#include "ops/session.h"
#include "ops/tag_sweep.h"

class QLabel;
class QShortcut;

namespace ui {

class ConfigFiles;
class LoopCheckWizard;
class TrendWindow;

// A window-thread timer; enabling an enabled timer keeps its period running.
class QtTimer final : public hart::Timer {
  public:
    QtTimer(QObject* parent, const char* name, int intervalMs);
    void enable() override;
    void disable() override { timer_.stop(); }
    bool enabled() const override { return timer_.isActive(); }
    QTimer& qt() { return timer_; }

  private:
    QTimer timer_;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    explicit TForm1(QWidget* parent = nullptr);
    // With another serial port implementation (tests stand in for the system with one).
    explicit TForm1(std::unique_ptr<serial::PortBackend> port, QWidget* parent = nullptr);
    ~TForm1() override;

    template <class T>
    T* control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    // The hidden pages are built after the first paint; whatever looks for a control before
    // then has them built first. These hide QObject's own, so a search on the window,
    // outside or inside, finds every control.
    template <class T>
    T findChild(const QString& name = {},
                Qt::FindChildOptions options = Qt::FindChildrenRecursively) const {
        const_cast<TForm1*>(this)->completeForm();
        return QObject::findChild<T>(name, options);
    }
    template <class T, class... Args>
    QList<T> findChildren(const Args&... args) const {
        const_cast<TForm1*>(this)->completeForm();
        return QObject::findChildren<T>(args...);
    }

    // Handlers. Every request-sending button runs its row of the operation table.
    void Button1Click();
    void Label4Click();
    void Button58Click();
    void run(const ops::Operation& operation);
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Comm1ReceiveData(const std::uint8_t* data, std::uint16_t length);
    void Comm1RequestHangup();
    // A row of the HART 7 page: it talks to the instrument at the chosen address, found first.
    void runFound(const ops::Operation& operation);
    // The device-variable refresh: command 9 or 33, as the instrument's revision has it.
    void refreshDeviceVariables();
    // Reads every burst message the instrument keeps into the table, one after another.
    void refreshBurstTable();
    // A find by tag or long tag; while one sweeps the loop, its buttons and Esc stop it.
    void findByTag(const ops::Operation& operation);
    void stopSweep();
    bool sweeping() const { return sweep_.has_value(); }
    // Asks the user a yes-or-no question before an action that cannot be undone; tests
    // answer it themselves.
    std::function<bool(const QString&)> ask;
    // The link's notices, on the window thread.
    Q_INVOKABLE void dispatchNotices();

    // The shared request procedure.
    void send(const ops::Request& request);
    void apply(const hart::Outcome& outcome);

    // How the request `send` sent last ended: decoded, timed out, or not sent at all.
    struct RequestEnd {
        hart::Outcome outcome;
        std::optional<hart::StatusBytes> status;  // of the reply, when it held them
    };
    // Each feature that sends through `send` hears of every end, and takes only its own.
    void addRequestEnded(std::function<void(const RequestEnd&)> f) {
        requestEnded_.push_back(std::move(f));
    }
    ConfigFiles& configFiles() { return *configFiles_; }
    LoopCheckWizard& loopCheck() { return *loopCheck_; }

    serial::TComm& comm() { return *Comm1; }
    const hart::RequestTracker& tracker() const { return tracker_; }
    ops::Session& session() { return session_; }
    const ops::Controls& controls() const { return *controls_; }
    bool portOpen() const { return portOpen_; }
    bool echoSwitch() const { return echoSwitch_; }
    QTimer& timer1() { return Timer1.qt(); }
    QTimer& timer2() { return Timer2.qt(); }
    QTimer& timer3() { return Timer3.qt(); }
    QTimer& resendTimer() { return resendTimer_; }
    // The features beyond the buttons talk to the instrument at the chosen polling address:
    // `then` runs once its identity is in hand, after a poll of its own when needed, with what
    // to tell the user when nothing answered there.
    using Found = std::function<void(const std::string& failure)>;
    void findInstrument(Found then);
    // The trend, once opened from the menu.
    TrendWindow* trend() const { return trend_; }
    void showTrend();

  protected:
    bool event(QEvent* event) override;

  private:
    // The hidden pages' controls, their handlers and their start-up state.
    void completeForm();
    void startUp();
    void resetControls();
    void closePort();
    void wireHandlers();
    void setLinkGated(bool enabled);
    void resetCombos();
    void emptyFields(bool keepSecondAndThirdVariable);
    void resetRadios();
    void applyUpdate(const hart::Update& update);
    void showCount(const char* label, std::int32_t count);
    void setStatus(std::string_view text);
    // The instrument's own status from a reply's status bytes (ui/device_status_view.cpp).
    void showDeviceStatus(const std::optional<hart::StatusBytes>& status);
    void clearDeviceStatus();
    void showFacts(const std::vector<hart::Outcome::Fact>& facts);

    // While the trend polls, requests take turns on the line: each waits until the one before
    // it was answered or timed out.
    void sendNow(const ops::Request& request, bool again = false);
    // A busy or delayed reply: the same request once more after a pause, while the rule allows.
    bool resent(const RequestEnd& end);
    // Every way a request ends: the configuration drive hears of its own, the trend of its
    // reads, and the next turn goes out. A response timeout leaves the turn open a little
    // longer, for a late reply.
    void requestEnded(const RequestEnd& end, bool endsTurn = true);
    void nextTurn();
    void stopTrend(std::string_view why);
    // Nobody answered the broadcast find: poll address after address, one request at a time,
    // each given the time a reply takes at 1200 baud.
    void startSweep(const ops::Operation& find);
    void sweepNext();
    void sweepTaken(const hart::Outcome* outcome);
    void sweepOver();
    // The instrument found by tag answered at `address`: the short-frame features go there.
    void keepFoundAt(std::uint8_t address);
    void showSweeping(bool on);
    void endTurn();

    class NoticeBridge;
    class FormControls;
    std::unique_ptr<NoticeBridge> bridge_;
    std::unique_ptr<ops::Controls> controls_;
    std::unique_ptr<serial::TComm> Comm1;
    QtTimer Timer1;
    QtTimer Timer2;
    QtTimer Timer3;
    hart::RequestTracker tracker_;
    ops::Session session_;
    // Building: the constructor runs and sees only the controls that stand. Pending: the
    // hidden pages are still to be built. Complete: every control stands and is wired.
    enum class FormState { Building, Pending, Complete };
    FormState formState_ = FormState::Building;
    bool portOpen_ = false;
    bool echoSwitch_ = false;
    // A HART-IP session: each chunk is a whole frame, and the device may explain a refusal.
    bool hartIp_ = false;
    std::uint64_t errorsAtSend_ = 0;
    std::string_view noReplyHint_;  // what the timeout text of the pending request adds
    std::vector<std::function<void(const RequestEnd&)>> requestEnded_;
    std::unique_ptr<ConfigFiles> configFiles_;
    LoopCheckWizard* loopCheck_ = nullptr;

    TrendWindow* trend_ = nullptr;
    std::deque<ops::Request> waiting_;
    bool turnOpen_ = false;
    bool trendRead_ = false;  // the request on the line is the trend's
    QTimer turnTimer_;        // ends a turn that no reply and no response timer ended
    QTimer trendTimer_;       // the next round of the trend

    Found finding_;             // waits for the poll of findInstrument
    bool findingRead_ = false;  // that poll is on the line

    std::optional<ops::TagSweep> sweep_;
    bool sweepRead_ = false;  // the request on the line is the sweep's
    QTimer sweepTimer_;       // an address that has not answered by then has nobody
    QShortcut* sweepStop_ = nullptr;

    // A find answered by the broadcast reads the loop configuration before it ends, for the
    // polling address; meanwhile the find's end waits here.
    std::optional<RequestEnd> foundEnd_;
    std::optional<std::uint8_t> burstRow_;  // the table's message on the line

    ops::Request lastSent_;  // what a busy or delayed reply asks to send again
    int replies_ = 0;        // replies to it so far
    QTimer resendTimer_;
};

}  // namespace ui
