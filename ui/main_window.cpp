#include "ui/main_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QThread>
#include <QToolTip>
#include <algorithm>
#include <array>
#include <deque>
#include <mutex>
#include <string>
#include <utility>

#include "hart/keyfilter.h"
#include "hart/texts.h"
#include "hart/wire.h"
#include "link/ports.h"
#include "ops/device_status.h"
#include "ops/discovery.h"
#include "ops/groups.h"
#include "ops/hart7.h"
#include "ops/instruments/temperature.h"
#include "ops/key_filters.h"
#include "ui/click_label.h"
#include "ui/config_files.h"
#include "ui/form.h"
#include "ui/language.h"
#include "ui/loop_check_wizard.h"
#include "ui/messages.h"
#include "ui/open_failure.h"
#include "ui/text.h"
#include "ui/trend_window.h"

namespace ui {
namespace {

// Controls are named by the operation table; a name the form lacks is a programming error.
[[noreturn]] void noControl(std::string_view name) {
    throw std::out_of_range("no control " + std::string(name));
}

// The item whose text an editable box shows. Qt keeps the last chosen index when text typed
// over it matches no item, which would send that item's code for text the user replaced.
int shownItem(const QComboBox& box) {
    const QString shown = box.currentText();
    const int current = box.currentIndex();
    if (current >= 0 && box.itemText(current) == shown) return current;  // of equal items too
    return box.findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

// Buttons enabled only while the port is open.
std::vector<QString> linkGatedButtons() {
    std::vector<QString> names;
    for (int i = 2; i <= 47; ++i) names.push_back(QStringLiteral("Button%1").arg(i));
    return names;
}

constexpr std::array<const char*, 6> kUnselectedCombos = {"ComboBox5", "ComboBox10", "ComboBox1",
                                                          "ComboBox2", "ComboBox4",  "ComboBox3"};

// Identity, range and information fields emptied at start-up and by open and close.
std::vector<QString> resetFields() {
    std::vector<QString> names;
    auto range = [&](int first, int last) {
        for (int i = first; i <= last; ++i) names.push_back(QStringLiteral("Edit%1").arg(i));
    };
    range(1, 7);
    range(11, 19);
    range(21, 26);
    range(28, 29);
    return names;
}

constexpr std::string_view kPortLost = Tr::tr("串口已断开!");
constexpr std::string_view kPortClosed = Tr::tr("串口没有打开,数据没有发送!");
constexpr std::string_view kWriteRefused = Tr::tr("串口写入失败,数据没有发送!");
constexpr std::string_view kSessionLost = Tr::tr("HART-IP 连接已断开!");

constexpr std::array<const char*, 4> kResetLabels = {"Label56", "Label67", "Label68", "Label33"};

// One address of a sweep at 1200 baud: the poll goes out (about 0.1 s), the instrument may take
// 0.26 s to start, its reply lasts about 0.35 s, and the link ends a chunk 0.3 s after its last
// byte; then the parse tick.
constexpr int kSweepWaitMs = 1200;

// The find row a request tag belongs to, if any.
const ops::Operation* findRow(int tag) {
    const ops::Operation* op = ops::operationForTag(tag);
    const bool find = op != nullptr && (op->control == ops::hart7::kFindTagButton ||
                                        op->control == ops::hart7::kFindLongTagButton);
    return find ? op : nullptr;
}

// Users mix up ports: the port box names the ones this machine has now, with what the system
// says they are, on hover and at the end of its edit menu, and keeps its own COM1-COM9 items.
class PortOffer : public QObject {
  public:
    explicit PortOffer(QComboBox& box) : QObject(&box), box_(box) {
        box.installEventFilter(this);
        if (box.lineEdit() != nullptr) box.lineEdit()->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), listText(), &box_);
            return true;
        }
        if (event->type() == QEvent::ContextMenu && box_.lineEdit() != nullptr) {
            std::unique_ptr<QMenu> menu(box_.lineEdit()->createStandardContextMenu());
            menu->addSeparator();
            for (const serial::PortInfo& p : serial::listPorts()) {
                const QString name = qs(p.name);
                menu->addAction(entry(p), &box_, [this, name] { box_.setEditText(name); });
            }
            menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        return false;
    }

  private:
    static QString entry(const serial::PortInfo& p) {
        return p.description.empty() ? qs(p.name) : qs(p.name) + "  " + qs(p.description);
    }
    static QString listText() {
        const auto ports = serial::listPorts();
        if (ports.empty()) return tx(Tr::tr("本机没有找到串口"));
        QString text = tx(Tr::tr("本机串口:"));
        for (const serial::PortInfo& p : ports) text += "\n" + entry(p);
        return text;
    }

    QComboBox& box_;
};

}  // namespace

QtTimer::QtTimer(QObject* parent, const char* name, int intervalMs) : timer_(parent) {
    timer_.setObjectName(QString::fromLatin1(name));
    timer_.setInterval(intervalMs);
    // A coarse timer may fire up to 5 % late; the parse tick then delays every result.
    timer_.setTimerType(Qt::PreciseTimer);
}

void QtTimer::enable() {
    // QTimer::start() would restart a running period.
    if (!timer_.isActive()) timer_.start();
}

// Carries the link's notices from its worker threads to the window thread, in order. The
// notices travel in a queue of our own under a mutex, and only a plain wake-up goes through
// Qt's event queue, so the hand-over is one any race checker can see.
class TForm1::NoticeBridge final : public serial::NoticeSink {
  public:
    explicit NoticeBridge(TForm1* window) : window_(window) {}
    void post(serial::Notice notice) override {
        {
            std::lock_guard lock(mutex_);
            notices_.push_back(std::move(notice));
        }
        QMetaObject::invokeMethod(window_, "dispatchNotices", Qt::QueuedConnection);
    }
    std::deque<serial::Notice> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(notices_, {});
    }

  private:
    TForm1* window_;
    std::mutex mutex_;
    std::deque<serial::Notice> notices_;
};

void TForm1::dispatchNotices() {
    // One wake-up may find several notices, a later one none.
    for (const serial::Notice& notice : bridge_->take()) Comm1->dispatch(notice);
}

// The controls an operation reads, by object name.
class TForm1::FormControls final : public ops::Controls {
  public:
    explicit FormControls(const TForm1& form) : form_(form) {}

    std::string text(std::string_view name) const override {
        const QObject* o = find(name);
        if (const auto* e = qobject_cast<const QLineEdit*>(o)) return e->text().toStdString();
        if (const auto* c = qobject_cast<const QComboBox*>(o))
            return c->currentText().toStdString();
        if (const auto* l = qobject_cast<const QLabel*>(o)) return l->text().toStdString();
        if (const auto* m = qobject_cast<const QPlainTextEdit*>(o)) {
            return m->toPlainText().toStdString();
        }
        noControl(name);
    }
    int index(std::string_view name) const override {
        if (const auto* c = qobject_cast<const QComboBox*>(find(name))) return shownItem(*c);
        noControl(name);
    }
    bool checked(std::string_view name) const override {
        if (const auto* b = qobject_cast<const QAbstractButton*>(find(name))) return b->isChecked();
        noControl(name);
    }

  private:
    const QObject* find(std::string_view name) const {
        const QObject* o = form_.findChild<QObject*>(qs(name));
        if (o == nullptr) noControl(name);
        return o;
    }
    const TForm1& form_;
};

// Applies an edit line's key filter: refused keys never reach the box, and the filter's
// button follows the text length on every key press.
class KeyFilterHook final : public QObject {
  public:
    KeyFilterHook(QLineEdit* edit, const hart::KeyFilter& filter, QWidget* button)
        : QObject(edit), edit_(edit), filter_(filter), button_(button) {
        edit->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_ || event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts and editing keys (Delete, Tab, Enter, ...) are not typing: they pass and
        // leave the button alone, whatever text the platform gives them.
        if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        const QString text = key->text();
        const char32_t code = key->key() == Qt::Key_Backspace ? hart::kBackspace
                              : text.isEmpty()                ? 0
                                                              : text.toUcs4().value(0);
        if (!hart::reachesFilter(code)) return false;
        const auto outcome =
            hart::onKeyPress(filter_, code, static_cast<std::size_t>(edit_->text().size()));
        if (outcome.buttonEnabled && button_ != nullptr)
            button_->setEnabled(*outcome.buttonEnabled);
        return !outcome.admitted;
    }

  private:
    QLineEdit* edit_;
    const hart::KeyFilter& filter_;
    QWidget* button_;
};

TForm1::TForm1(QWidget* parent) : TForm1(serial::makePortBackend(), parent) {}

TForm1::TForm1(std::unique_ptr<serial::PortBackend> port, QWidget* parent)
    : QMainWindow(parent),
      bridge_(std::make_unique<NoticeBridge>(this)),
      controls_(std::make_unique<FormControls>(*this)),
      Comm1(std::make_unique<serial::TComm>(std::move(port))),
      Timer1(this, "Timer1", 3000),
      Timer2(this, "Timer2", 100),
      Timer3(this, "Timer3", 3000),
      tracker_(Timer2, Timer3) {
    buildFormFront(this);
    // The port box is on the front: QObject's own lookup, which leaves the hidden pages for later.
    new PortOffer(*QObject::findChild<QComboBox*>(QStringLiteral("SPREALCOM")));

    // Design-time settings of the port: the HART line.
    Comm1->setCommName("COM1");
    serial::useHartLine(*Comm1);
    Comm1->setReadIntervalTimeout(300);
    Comm1->setNoticeSink(bridge_.get());
    Comm1->OnReceiveData = [this](serial::TComm&, const std::uint8_t* data, std::uint16_t n) {
        Comm1ReceiveData(data, n);
    };
    Comm1->OnRequestHangup = [this](serial::TComm&) { Comm1RequestHangup(); };

    connect(&Timer1.qt(), &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&Timer2.qt(), &QTimer::timeout, this, &TForm1::Timer2Timer);
    connect(&Timer3.qt(), &QTimer::timeout, this, &TForm1::Timer3Timer);
    startUp();
    configFiles_ = std::make_unique<ConfigFiles>(*this);

    menuBar()
        ->addMenu(tx(Tr::tr("趋势")))
        ->addAction(tx(Tr::tr("趋势窗口…")), this, &TForm1::showTrend);
    loopCheck_ = new LoopCheckWizard(*this);
    addLanguageMenu(this);
    // A turn ends at the latest a little after the response time of its request.
    turnTimer_.setSingleShot(true);
    turnTimer_.setInterval(Timer3.qt().interval() + 500);
    connect(&turnTimer_, &QTimer::timeout, this, [this] {
        RequestEnd none;
        none.outcome.result = hart::Result::TimedOut;
        requestEnded(none);
    });
    trendTimer_.setSingleShot(true);
    trendTimer_.setTimerType(Qt::PreciseTimer);
    connect(&trendTimer_, &QTimer::timeout, this, &TForm1::nextTurn);
    resendTimer_.setSingleShot(true);
    resendTimer_.setInterval(static_cast<int>(ops::hart7::kResendPause.count()));
    connect(&resendTimer_, &QTimer::timeout, this, [this] { sendNow(lastSent_, true); });
    sweepTimer_.setSingleShot(true);
    sweepTimer_.setInterval(kSweepWaitMs);
    connect(&sweepTimer_, &QTimer::timeout, this, [this] {
        // Nobody at this address; a reply still on its way is nobody's.
        sweepRead_ = false;
        resendTimer_.stop();
        Timer3.disable();
        tracker_.requestSent({}, false);
        endTurn();
        sweepTaken(nullptr);
    });
    sweepStop_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    sweepStop_->setEnabled(false);
    connect(sweepStop_, &QShortcut::activated, this, &TForm1::stopSweep);
    ask = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    formState_ = FormState::Pending;
}

bool TForm1::event(QEvent* event) {
    // The first frame needs only the first page: the others follow right after it.
    if (event->type() == QEvent::Paint && formState_ == FormState::Pending) {
        QMetaObject::invokeMethod(this, &TForm1::completeForm, Qt::QueuedConnection);
    }
    return QMainWindow::event(event);
}

void TForm1::completeForm() {
    if (formState_ != FormState::Pending) return;
    formState_ = FormState::Complete;
    buildHiddenPages(this);
    wireHandlers();
    resetControls();
    // Built in Chinese like the rest; the window may be in English by now.
    if (language() != hart::Language::Chinese) retranslate(this);
}

void TForm1::showTrend() {
    if (trend_ == nullptr) {
        trend_ = new TrendWindow([this] { return portOpen_; }, this);
        trend_->setFinder([this](Found then) { findInstrument(std::move(then)); });
        connect(trend_, &TrendWindow::wantsReads, this, &TForm1::nextTurn);
    }
    trend_->show();
    trend_->raise();
    trend_->redraw();
}

void TForm1::findInstrument(Found then) {
    if (!ops::mustPoll(*controls_, session_)) return then({});
    finding_ = std::move(then);
    send(ops::pollChosen(*controls_, session_));
}

void TForm1::send(const ops::Request& r) {
    // A refusal is said at once; a request for the line waits for its turn.
    const bool turns = (trend_ != nullptr && trend_->polling()) || finding_ || sweep_;
    if (turns && turnOpen_ && r.refusal.empty()) {
        waiting_.push_back(r);
        return;
    }
    sendNow(r);
}

void TForm1::requestEnded(const RequestEnd& ended, bool endsTurn) {
    RequestEnd end = ended;
    if (std::exchange(sweepRead_, false)) {  // the line failed under the sweep
        sweepTimer_.stop();
        sweep_.reset();
        showSweeping(false);
    }
    // A find by tag that nobody answered goes on address by address; one answered keeps the
    // instrument it found, and asks it for its polling address.
    if (const ops::Operation* find = findRow(lastSent_.pending.tag);
        find != nullptr && !sweep_ && !trendRead_ && !findingRead_) {
        const hart::Result r = end.outcome.result;
        if (r == hart::Result::Done || r == hart::Result::Warning) {
            ops::keepFound(*controls_, session_, std::nullopt);
            if (portOpen_) {
                foundEnd_ = end;
                return sendNow(ops::build(ops::hart7::kReadLoopConfigButton, *controls_, session_));
            }
        } else if (r != hart::Result::Refused && portOpen_) {
            return startSweep(*find);
        }
    }
    // Another click may have taken the line meanwhile: then its end is no address.
    if (const auto found = std::exchange(foundEnd_, std::nullopt);
        found &&
        lastSent_.pending.tag == ops::operationFor(ops::hart7::kReadLoopConfigButton)->tag) {
        const hart::Result r = end.outcome.result;
        const QString address = findChild<QLineEdit*>(qs(ops::hart7::kPollingAddressEdit))->text();
        if (r == hart::Result::Done || r == hart::Result::Warning)
            keepFoundAt(static_cast<std::uint8_t>(address.toInt()));
        end = *found;
        setStatus(end.outcome.status);
    }
    if (burstRow_ &&
        lastSent_.pending.tag == ops::operationFor(ops::hart7::kReadBurstTableRow)->tag) {
        const hart::Result r = end.outcome.result;
        const int next = *burstRow_ + 1;
        const int kept = findChild<QLabel*>(qs(ops::hart7::kBurstMaxMessagesLabel))->text().toInt();
        burstRow_.reset();
        if ((r == hart::Result::Done || r == hart::Result::Warning) &&
            next < std::min<int>(kept, ops::hart7::kBurstTableRows)) {
            burstRow_ = static_cast<std::uint8_t>(next);
            if (endsTurn)
                waiting_.push_front(ops::hart7::burstTableRead(*burstRow_, *controls_, session_));
        }
    }
    if (!trendRead_ && !findingRead_) {
        for (const auto& f : requestEnded_) f(end);
    }
    if (!endsTurn) return;
    turnOpen_ = false;
    turnTimer_.stop();
    if (std::exchange(trendRead_, false) && trend_ != nullptr) trend_->taken(end.outcome);
    if (std::exchange(findingRead_, false)) {
        const std::string failure = ops::unanswered(session_);
        if (!failure.empty()) setStatus(failure);
        std::exchange(finding_, nullptr)(failure);
    }
    nextTurn();
}

void TForm1::endTurn() {
    turnOpen_ = false;
    turnTimer_.stop();
}

void TForm1::findByTag(const ops::Operation& find) {
    if (sweep_) return stopSweep();
    run(find);
}

void TForm1::startSweep(const ops::Operation& find) {
    sweep_.emplace(find.control, *controls_);
    showSweeping(true);
    sweepNext();
}

void TForm1::sweepNext() {
    const auto r = sweep_->next(*controls_, session_);
    if (!r) return sweepOver();
    sweepRead_ = true;
    sendNow(*r);
    if (sweepRead_) sweepTimer_.start();  // unless the line failed at once
}

void TForm1::sweepTaken(const hart::Outcome* outcome) {
    sweep_->taken(outcome);
    sweepNext();
}

void TForm1::sweepOver() {
    const ops::TagSweep sweep = std::move(*sweep_);
    sweep_.reset();
    showSweeping(false);
    if (sweep.found()) {
        apply(sweep.identity());
        apply(sweep.tag());
        keepFoundAt(static_cast<std::uint8_t>(sweep.address()));
        setStatus(ops::TagSweep::foundText());
    } else {
        setStatus(ops::TagSweep::notFound());
    }
    nextTurn();
}

void TForm1::keepFoundAt(std::uint8_t address) {
    auto* box = control<QComboBox>("ComboBox9");
    // Past 15 the address box has no item: it shows the number, as if typed.
    if (address > ops::kLastPollingAddress)
        box->setEditText(QString::number(address));
    else
        box->setCurrentIndex(address);
    session_.identity.polledAddress = address;
    ops::keepFound(*controls_, session_, address);
}

void TForm1::stopSweep() {
    if (!sweep_) return;
    sweep_.reset();
    sweepRead_ = false;
    sweepTimer_.stop();
    resendTimer_.stop();
    Timer3.disable();
    tracker_.requestSent({}, false);  // a reply still on its way is nobody's
    endTurn();
    showSweeping(false);
    setStatus(Tr::tr("已停止查找。"));
    nextTurn();
}

void TForm1::showSweeping(bool on) {
    namespace h7 = ops::hart7;
    const std::pair<std::string_view, const char*> buttons[] = {
        {h7::kFindTagButton, Tr::tr("按标记查找")},
        {h7::kFindLongTagButton, Tr::tr("按长位号查找")},
    };
    for (const auto& [name, caption] : buttons) {
        if (auto* b = findChild<QAbstractButton*>(qs(name)))
            b->setText(tx(on ? Tr::tr("停止查找") : caption));
    }
    sweepStop_->setEnabled(on);
}

void TForm1::nextTurn() {
    if (turnOpen_) return;
    if (!waiting_.empty()) {
        const ops::Request r = std::move(waiting_.front());
        waiting_.pop_front();
        return sendNow(r);
    }
    if (trend_ == nullptr || !trend_->polling()) return;
    if (const auto read = trend_->due()) {
        trendRead_ = true;
        return sendNow(ops::build(*read, *controls_, session_));
    }
    if (const auto at = trend_->nextRound()) {
        const auto wait =
            std::chrono::ceil<std::chrono::milliseconds>(*at - std::chrono::steady_clock::now());
        trendTimer_.start(static_cast<int>(std::max<std::int64_t>(wait.count(), 0)));
    }
}

void TForm1::stopTrend(std::string_view why) {
    waiting_.clear();
    turnOpen_ = false;
    trendRead_ = false;
    finding_ = nullptr;
    findingRead_ = false;
    sweepRead_ = false;
    sweepTimer_.stop();
    if (std::exchange(sweep_, std::nullopt)) showSweeping(false);
    turnTimer_.stop();
    trendTimer_.stop();
    resendTimer_.stop();
    if (trend_ != nullptr) trend_->stop(why);
}

TForm1::~TForm1() {
    // The workers post to this window; stop them before it goes.
    Comm1->setNoticeSink(nullptr);
    Comm1->Close();
}

void TForm1::wireHandlers() {
    auto onClick = [this](const char* name, void (TForm1::*handler)()) {
        if (auto* b = control<QAbstractButton>(name)) {
            connect(b, &QAbstractButton::clicked, this, handler);
        }
    };
    onClick("Button1", &TForm1::Button1Click);
    onClick("Button58", &TForm1::Button58Click);
    const auto hart7 = ops::hart7Operations();
    const auto onPage = [&](std::string_view control) {
        return std::any_of(hart7.begin(), hart7.end(),
                           [&](const ops::Operation& op) { return op.control == control; });
    };
    for (const ops::Operation& op : ops::operations()) {
        if (op.control.starts_with("Timer")) continue;  // Timer1 steps the scan
        if (onPage(op.control)) continue;
        auto* button = findChild<QAbstractButton*>(qs(op.control));
        if (button == nullptr) noControl(op.control);
        connect(button, &QAbstractButton::clicked, this, [this, &op] { run(op); });
    }
    namespace h7 = ops::hart7;
    for (const ops::Operation& op : hart7) {
        auto* button = findChild<QAbstractButton*>(qs(op.control));
        if (button == nullptr) continue;  // run by another button
        if (op.control == h7::kFindTagButton || op.control == h7::kFindLongTagButton) {
            // Whoever answers the tag is the instrument sought: nothing to find first.
            connect(button, &QAbstractButton::clicked, this, [this, &op] { findByTag(op); });
        } else if (op.control == h7::kReadBurstConfigButton) {
            connect(button, &QAbstractButton::clicked, this, [this, &op] { runFound(op); });
            if (auto* table = findChild<QAbstractButton*>(qs(h7::kRefreshBurstTableButton)))
                connect(table, &QAbstractButton::clicked, this, &TForm1::refreshBurstTable);
        } else if (op.control == h7::kReadDeviceVariablesButton) {
            connect(button, &QAbstractButton::clicked, this, &TForm1::refreshDeviceVariables);
        } else if (op.control == h7::kResetConfigChangedButton) {
            // A HART 7 instrument takes it only with its current change counter: poll afresh.
            connect(button, &QAbstractButton::clicked, this, [this, &op] {
                session_.identifiedAt.reset();
                runFound(op);
            });
        } else if (op.control == h7::kDeviceResetButton) {
            connect(button, &QAbstractButton::clicked, this, [this, &op] {
                if (ask(qs(h7::kDeviceResetQuestion))) runFound(op);
            });
        } else {
            connect(button, &QAbstractButton::clicked, this, [this, &op] { runFound(op); });
        }
    }
    if (auto* label = control<ClickLabel>("Label4")) {
        connect(label, &ClickLabel::clicked, this, &TForm1::Label4Click);
    }
    for (const hart::KeyFilter& filter : ops::keyFilters()) {
        auto* edit = findChild<QLineEdit*>(qs(filter.box));
        if (edit == nullptr) continue;
        new KeyFilterHook(edit, filter,
                          filter.button.empty() ? nullptr : findChild<QWidget*>(qs(filter.button)));
    }
    // Choosing an E+H sensor number changes which saves apply; only the user's choice
    // counts, not an item set by the program.
    connect(control<QComboBox>("TempBIAHO"), &QComboBox::activated, this,
            [this] { apply(ops::ehSensorNumberChosen()); });
}

void TForm1::startUp() {
    control<QPushButton>("Button1")->setText(tx(Tr::tr("打开串口")));
    resetControls();
    control<QWidget>("PageControl2")->setProperty("currentIndex", 0);
    tracker_.resetCounters();
    echoSwitch_ = false;
    Timer2.enable();
    Timer1.disable();
    Timer3.disable();
}

// Over the controls that stand: at construction the first page's, once complete all.
void TForm1::resetControls() {
    setLinkGated(false);
    if (formState_ == FormState::Complete) apply(ops::ehSavesAtStartUp());
    resetRadios();
    resetCombos();
    emptyFields(false);
}

void TForm1::setLinkGated(bool enabled) {
    for (const QString& name : linkGatedButtons()) {
        if (auto* b = findChild<QPushButton*>(name)) b->setEnabled(enabled);
    }
}

void TForm1::resetRadios() {
    if (auto* r = control<QRadioButton>("RadioButton1")) r->setChecked(true);
    for (int i = 2; i <= 6; ++i) {
        if (auto* r = findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(i))) {
            r->setChecked(false);
        }
    }
}

void TForm1::resetCombos() {
    for (const char* name : {"ComboBox9", "ComboBox11"}) {
        if (auto* c = control<QComboBox>(name)) c->setCurrentIndex(0);
    }
    for (const char* name : kUnselectedCombos) {
        if (auto* c = control<QComboBox>(name)) c->setCurrentIndex(-1);
    }
}

void TForm1::emptyFields(bool keepSecondAndThirdVariable) {
    for (const QString& name : resetFields()) {
        if (keepSecondAndThirdVariable && (name == "Edit17" || name == "Edit18")) continue;
        if (auto* e = findChild<QLineEdit*>(name)) e->clear();
    }
    for (const char* name : kResetLabels) {
        if (auto* l = control<QLabel>(name)) l->clear();
    }
    clearDeviceStatus();
}

void TForm1::showCount(const char* label, std::int32_t count) {
    control<QLabel>(label)->setText(QString::number(count));
}

void TForm1::setStatus(std::string_view text) {
    control<QLabel>("Label68")->setText(tx(text));
}

void TForm1::Button1Click() {
    if (!portOpen_) {
        Comm1->Close();
        Comm1->setCommName(control<QComboBox>("SPREALCOM")->currentText().toStdString());
        hartIp_ = serial::isHartIpName(Comm1->commName());
        Comm1->setOutxXonXoffFlow(false);
        Comm1->setInxXonXoffFlow(false);
        try {
            Comm1->Open();
        } catch (const serial::ECommsError& e) {
            // The message box keeps the link's text; the status line says why, and what helps.
            const QString port = QString::fromStdString(Comm1->commName());
            control<QLabel>("Label68")->setText(
                hartIp_ ? tx(Tr::tr("无法连接 %1:%2")).arg(port, qs(Comm1->lastError()))
                        : openFailureText(
                              e.osError(),
                              QString::fromStdString(serial::commDevicePath(port.toStdString()))));
            showMessage(this, MessageKind::Error, QString::fromUtf8(e.what()));
            return;
        }
        Comm1->setRtsControl(serial::RtsControl::RtsEnable);
        Comm1->setDtrControl(serial::DtrControl::DtrEnable);
        portOpen_ = true;
        // Another line may hold other instruments: the features beyond the buttons poll anew.
        session_.identifiedAt.reset();
        control<QPushButton>("Button1")->setText(tx(Tr::tr("关闭串口")));
        setLinkGated(true);
        Timer1.disable();
        Timer3.disable();
        tracker_.resetCounters();
        resetRadios();
        resetCombos();
        emptyFields(true);
        loopCheck_->portOpened();
        return;
    }
    closePort();
}

void TForm1::closePort() {
    stopTrend(kPortClosed);
    Comm1->setDtrControl(serial::DtrControl::DtrDisable);
    setLinkGated(false);
    resetCombos();
    emptyFields(true);
    portOpen_ = false;
    control<QPushButton>("Button1")->setText(tx(Tr::tr("打开串口")));
    Comm1->Close();
}

void TForm1::Comm1RequestHangup() {
    // A worker ended on a failure: the modem is gone (a USB adapter pulled out). Close as the
    // close button would, so that opening it again starts afresh once it is back.
    if (!portOpen_) return;
    const QString port = QString::fromStdString(Comm1->commName());
    const std::string_view lost = hartIp_ ? kSessionLost : kPortLost;
    stopTrend(lost);
    closePort();
    // Nothing can answer now: no timeout text or scan step may follow as if it could.
    Timer3.disable();
    Timer1.disable();
    setStatus(lost);
    showMessage(
        this, MessageKind::Error,
        hartIp_
            ? tx(Tr::tr("HART-IP 连接 %1 已断开:%2。请检查网络和网关,然后重新打开。"))
                  .arg(port,
                       Comm1->lastError().empty() ? tx(Tr::tr("连接中断")) : qs(Comm1->lastError()))
            : tx(Tr::tr("串口 %1 已断开!请检查HART调制解调器的连接,然后重新打开串口。")).arg(port));
    RequestEnd end;
    end.outcome.fail(lost);
    requestEnded(end);
}

void TForm1::Label4Click() {
    echoSwitch_ = true;
}

void TForm1::sendNow(const ops::Request& r, bool again) {
    if (!again) {
        lastSent_ = r;
        replies_ = 0;
        resendTimer_.stop();
    }
    auto* memo = control<QPlainTextEdit>("Memo8");
    auto* echo = control<QLineEdit>("discomm");
    if (ops::clearsLog(r.procedure)) memo->clear();
    setStatus(r.startText);
    if (ops::blanksEchoFirst(r.procedure)) echo->clear();
    for (const std::string& field : r.clears) {
        applyUpdate({field, hart::Update::Kind::Text, {}, 0});
    }
    if (!r.refusal.empty()) {
        showMessage(this, r.refusalIsError ? MessageKind::Error : MessageKind::Information,
                    tx(r.refusal));
        if (trendRead_) requestEnded({});
        return;
    }
    for (const hart::Update& u : r.before) applyUpdate(u);
    findingRead_ = finding_ && !sweepRead_ && r.pending.tag == hart::kPollTag;

    const bool showFrame = r.echo == ops::Echo::Always || echoSwitch_;
    echo->setText(showFrame ? qs(hart::hexText(r.frame.bytes())) : QString());
    // Counted before the write: the device may refuse it before WriteData returns.
    errorsAtSend_ = Comm1->errorCount();
    // A frame the link cannot take is said at once, not as the instrument's silence later.
    if (!Comm1->WriteData(r.frame.data(), static_cast<std::uint16_t>(r.frame.size()))) {
        setStatus(portOpen_ ? kWriteRefused : kPortClosed);
        RequestEnd end;
        end.outcome.fail(portOpen_ ? kWriteRefused : kPortClosed);
        requestEnded(end);
        return;
    }
    turnOpen_ = true;
    turnTimer_.start();
    noReplyHint_ = ops::noReplyHint(r.frame.bytes(), session_);
    if (r.counted) {
        tracker_.addSent(r.frame.size());
        showCount("Label56", tracker_.sentBytes());
    }
    // Some instruments need the pause before the next frame; no reply can be handled
    // meanwhile, since chunks reach this thread as queued events.
    if (r.pause) QThread::msleep(200);
    tracker_.requestSent(r.pending, ops::timesResponse(r.procedure));
    if (ops::startsScan(r.procedure)) Timer1.enable();
}

void TForm1::run(const ops::Operation& operation) {
    send(ops::build(operation, *controls_, session_));
}

void TForm1::runFound(const ops::Operation& operation) {
    findInstrument([this, &operation](const std::string& failure) {
        if (failure.empty()) run(operation);
    });
}

void TForm1::refreshDeviceVariables() {
    findInstrument([this](const std::string& failure) {
        if (!failure.empty()) return;
        if (const auto* op = ops::operationFor(ops::hart7::deviceVariablesRow(session_))) run(*op);
    });
}

void TForm1::refreshBurstTable() {
    findInstrument([this](const std::string& failure) {
        if (!failure.empty()) return;
        for (std::size_t row = 0; row < ops::hart7::kBurstTableRows; ++row) {
            for (std::size_t column = 0; column < ops::hart7::kBurstColumns; ++column) {
                const auto cell =
                    ops::hart7::burstTableCell(row, static_cast<ops::hart7::BurstColumn>(column));
                findChild<QLabel*>(qs(cell))->clear();
            }
        }
        burstRow_ = 0;
        send(ops::hart7::burstTableRead(0, *controls_, session_));
    });
}

void TForm1::applyUpdate(const hart::Update& u) {
    QObject* target = findChild<QObject*>(qs(u.control));
    switch (u.kind) {
        case hart::Update::Kind::Text:
            if (auto* e = qobject_cast<QLineEdit*>(target)) return e->setText(qs(u.text));
            if (auto* l = qobject_cast<QLabel*>(target)) return l->setText(tx(u.text));
            if (auto* c = qobject_cast<QComboBox*>(target)) return c->setEditText(qs(u.text));
            if (auto* m = qobject_cast<QPlainTextEdit*>(target)) {
                return m->setPlainText(qs(u.text));
            }
            break;
        case hart::Update::Kind::Select:
            if (auto* c = qobject_cast<QComboBox*>(target)) return c->setCurrentIndex(u.value);
            break;
        case hart::Update::Kind::Check:
            if (auto* b = qobject_cast<QAbstractButton*>(target))
                return b->setChecked(u.value != 0);
            break;
        case hart::Update::Kind::Enable:
            if (auto* w = qobject_cast<QWidget*>(target)) return w->setEnabled(u.value != 0);
            break;
    }
    noControl(u.control);  // missing, or of a kind the update cannot change
}

void TForm1::apply(const hart::Outcome& outcome) {
    for (const hart::Update& u : outcome.updates) applyUpdate(u);
    if (!outcome.facts.empty()) showFacts(outcome.facts);
    if (!outcome.status.empty()) setStatus(outcome.status);
    if (outcome.stopScan) Timer1.disable();
}

void TForm1::Timer1Timer() {
    ops::ScanStep step = ops::scanStep(*controls_, session_);
    if (step.request) {
        send(*step.request);
        return;
    }
    setStatus(step.notFound);
    Timer1.disable();
}

void TForm1::Button58Click() {
    control<QLineEdit>("discomm")->clear();
    control<QPlainTextEdit>("Memo8")->clear();
}

void TForm1::Timer2Timer() {
    if (auto due = tracker_.parseTick()) {
        RequestEnd end{ops::decode(*due, tracker_.buffer(), session_),
                       ops::replyStatus(*due, tracker_.buffer())};
        // The sweep shows only what it found, once it is over.
        if (std::exchange(sweepRead_, false)) {
            sweepTimer_.stop();
            endTurn();
            return sweepTaken(&end.outcome);
        }
        if (resent(end)) return;
        // Still busy or delayed once the bound is reached: the outcome says so, to whoever waits.
        if (end.status && ops::hart7::isResendCode(end.status->first))
            end.outcome.fail(ops::hart7::gaveUp(end.status->first));
        apply(end.outcome);
        showDeviceStatus(end.status);
        requestEnded(end);
    }
}

bool TForm1::resent(const RequestEnd& end) {
    ++replies_;
    const auto code = end.status ? std::optional<int>(end.status->first) : std::nullopt;
    const auto again = ops::hart7::resendAfter(code, replies_);
    if (!again) return false;
    // The turn stays open: the answer to come is this request's.
    setStatus(again->status);
    showDeviceStatus(end.status);
    resendTimer_.start();
    return true;
}

void TForm1::Timer3Timer() {
    if (auto timeout = tracker_.responseTick()) {
        if (sweepRead_) return;  // the sweep waits on its own timer
        // A HART-IP device may have said why it did not answer.
        std::string text = hart::translate(*timeout, language());
        if (hartIp_ && Comm1->errorCount() != errorsAtSend_)
            text += " (" + Comm1->lastError() + ")";
        text += hart::translate(noReplyHint_, language());
        setStatus(text);
        RequestEnd end;
        end.outcome.finish(text, hart::Result::TimedOut);
        requestEnded(end, false);
    }
}

void TForm1::Comm1ReceiveData(const std::uint8_t* data, std::uint16_t length) {
    const std::span<const std::uint8_t> chunk(data, length);
    // What a bursting instrument sends unasked is plotted without polling, and is nobody's
    // reply, even where it shares a chunk with one.
    std::vector<std::uint8_t> rest(chunk.begin(), chunk.end());
    for (const auto& burst : hart::cutBursts(rest)) {
        if (trend_ == nullptr || !trend_->polling()) continue;
        if (auto s = ops::trend::burstSample(burst, ops::trend::Clock::now())) trend_->burst(*s);
    }
    const bool pending = tracker_.pending().tag != hart::kNoTag;
    if (pending && rest.empty()) return;
    const auto result =
        tracker_.chunkReceived(pending ? std::span<const std::uint8_t>(rest) : chunk);
    showCount("Label67", tracker_.receivedBytes());
    if (result.shown) {
        control<QPlainTextEdit>("Memo8")->setPlainText(qs(result.hex));
        setStatus(hart::text::kChunkReceived);
        // The console's reply has no decoder; its status bytes are shown from the chunk.
        if (!tracker_.pending().decodes) {
            showDeviceStatus(ops::replyStatus(tracker_.pending(), tracker_.buffer()));
            if (turnOpen_) requestEnded({});
        }
    }
    // A HART-IP chunk is a whole frame: no pause of the line to wait for.
    if (hartIp_) Timer2Timer();
}

}  // namespace ui
