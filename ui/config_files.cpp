#include "ui/config_files.h"

#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

#include "cli/names.h"
#include "hart/device_status.h"
#include "ops/discovery.h"
#include "report/labels.h"
#include "report/report.h"
#include "ui/language.h"
#include "ui/loop_check_wizard.h"
#include "ui/messages.h"
#include "ui/text.h"

#ifndef HART_VERSION
#define HART_VERSION "0"
#endif

namespace ui {
namespace {

namespace cfg = ops::config;

std::string captionOf(std::string_view field) {
    const cfg::FieldRow* f = cfg::findField(field);
    const cli::FieldName* n = f ? cli::fieldName(f->control) : nullptr;
    return n ? std::string(n->caption) : std::string();
}

// "标记 (tag)": the window's caption with the file's name of the field.
QString label(std::string_view field) {
    const std::string caption = captionOf(field);
    return caption.empty() ? qs(field) : tx(caption) + " (" + qs(field) + ")";
}

QString labels(const std::vector<std::string>& fields) {
    QStringList out;
    for (const std::string& f : fields) out << label(f);
    return out.isEmpty() ? tx(Tr::tr("无")) : out.join(QStringLiteral(", "));
}

QString differences(const std::vector<cfg::Difference>& diff, const QString& left,
                    const QString& right) {
    QString text;
    for (const cfg::Difference& d : diff) {
        text += label(d.field) + ": " + left + " \"" + qs(d.left) + "\", " + right + " \"" +
                qs(d.right) + "\"\n";
    }
    return text;
}

QString filter() {
    return tx(Tr::tr("配置文件 (*.json)"));
}

}  // namespace

cfg::ControlStore startControls(const ops::Controls& window) {
    cfg::ControlStore c;
    c.setIndex("ComboBox8", window.index("ComboBox8"));
    c.setIndex("ComboBox9", std::max(0, window.index("ComboBox9")));
    return c;
}

ConfigFiles::ConfigFiles(TForm1& window) : QObject(&window), window_(window) {
    ask = [this](const QString& question) {
        return QMessageBox::question(&window_, tx(Tr::tr("配置文件")), question) ==
               QMessageBox::Yes;
    };
    // The menu bar sits above the form: the window grows by its height, the form stays.
    QMenu* menu = window.menuBar()->addMenu(tx(Tr::tr("配置文件")));
    menu->setObjectName(QStringLiteral("ConfigMenu"));
    auto item = [&](const QString& text, auto run, bool saving, const QString& filter) {
        menu->addAction(text, this, [this, text, run, saving, filter] {
            if (busy()) return;
            // Made in Chinese with the window; shown in the language of the moment.
            const QString path =
                saving ? QFileDialog::getSaveFileName(&window_, tx(text), {}, tx(filter))
                       : QFileDialog::getOpenFileName(&window_, tx(text), {}, tx(filter));
            if (!path.isEmpty()) (this->*run)(path);
        });
    };
    menu->addAction(tx(Tr::tr("保存配置…")), this, [this] {
        if (busy()) return;
        // Which named instrument it is, for its own settings: the instrument does not say.
        QStringList models{tx(Tr::tr("通用仪表 (只保存通用参数)"))};
        for (const cfg::Model& m : cfg::models()) models << tx(m.caption);
        bool chosen = false;
        const QString model = QInputDialog::getItem(
            &window_, tx(Tr::tr("保存配置")), tx(Tr::tr("仪表型号:")), models, 0, false, &chosen);
        if (!chosen) return;
        const QString path =
            QFileDialog::getSaveFileName(&window_, tx(Tr::tr("保存配置…")), {}, filter());
        const auto i = models.indexOf(model);
        if (!path.isEmpty()) saveModel(path, i > 0 ? cfg::models()[i - 1].name : "");
    });
    item(tx(Tr::tr("比较配置…")), &ConfigFiles::compare, false, filter());
    item(tx(Tr::tr("载入配置…")), &ConfigFiles::restore, false, filter());
    item(tx(Tr::tr("生成报告…")), &ConfigFiles::report, true, tx(Tr::tr("PDF 文件 (*.pdf)")));
    window.resize(window.width(), window.height() + window.menuBar()->sizeHint().height());
    window.addRequestEnded([this](const TForm1::RequestEnd& end) { ended(end); });
}

ConfigFiles::~ConfigFiles() = default;

void ConfigFiles::tell(bool error, const QString& text) {
    showMessage(&window_, error ? MessageKind::Error : MessageKind::Information, text);
}

void ConfigFiles::save(const QString& path) {
    saveModel(path, {});
}

void ConfigFiles::saveModel(const QString& path, std::string_view model) {
    start(Job::Save, path, cfg::Driver::reading(startControls(window_.controls()), false, model));
}

void ConfigFiles::report(const QString& path) {
    start(Job::Report, path, cfg::Driver::reading(startControls(window_.controls()), true));
}

void ConfigFiles::compare(const QString& path) {
    startWithFile(Job::Compare, path);
}

void ConfigFiles::restore(const QString& path) {
    startWithFile(Job::RestoreRead, path);
}

void ConfigFiles::startWithFile(Job job, const QString& path) {
    // A file that is none is refused before anything is sent.
    cfg::Parsed p = cfg::load(path.toStdString());
    if (!p.record) return tell(true, tx(Tr::tr("无法使用该配置文件:")) + tx(p.error));
    file_ = std::move(p.record);
    start(job, path, cfg::Driver::readingFor(startControls(window_.controls()), file_->fields));
}

void ConfigFiles::start(Job job, const QString& path, cfg::Driver driver) {
    if (!window_.portOpen()) return tell(true, tx(Tr::tr("串口没有打开!")));
    // Requests of two features at once would each take the other's replies.
    if (window_.loopCheck().running()) return tell(true, tx(Tr::tr("回路检查进行中!")));
    job_ = job;
    path_ = path;
    driver_.emplace(std::move(driver));
    if (progress_ == nullptr) {
        progress_ = new QProgressDialog(&window_);
        progress_->setObjectName(QStringLiteral("ConfigProgress"));
        progress_->setWindowTitle(tx(Tr::tr("配置文件")));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoReset(false);
        progress_->setAutoClose(false);
        connect(progress_, &QProgressDialog::canceled, this, &ConfigFiles::cancel);
    }
    progress_->reset();
    progress_->show();
    step();
}

void ConfigFiles::cancel() {
    if (!driver_) return;
    // The drive ends now; a reply still on its way is the window's alone.
    driver_->cancel();
    finish();
}

void ConfigFiles::step() {
    if (!driver_) return;
    std::optional<cfg::Step> s = driver_->next(window_.session());
    if (!s) return finish();
    progress_->setMaximum(static_cast<int>(driver_->stepsPlanned()));
    progress_->setValue(static_cast<int>(driver_->stepsDone()));
    const QString doing = s->kind == cfg::Step::Kind::Read    ? tx(Tr::tr("正在读取: "))
                          : s->kind == cfg::Step::Kind::Write ? tx(Tr::tr("正在写入: "))
                                                              : tx(Tr::tr("正在回读: "));
    progress_->setLabelText(doing + labels(s->fields));
    if (!s->request.refusal.empty()) {
        driver_->take({}, false, s->request.refusal);
        return finish();
    }
    waiting_ = true;
    window_.send(s->request);
}

void ConfigFiles::ended(const TForm1::RequestEnd& end) {
    if (!driver_ || !waiting_) return;
    waiting_ = false;
    const bool code = end.status && end.status->first != 0;
    const bool ok = end.outcome.result == hart::Result::Done && !code;
    std::string why = hart::translate(end.outcome.status, language());
    if (code) {
        why += hart::translate(Tr::tr(" (响应码 "), language()) +
               std::to_string(end.status->first) + ")";
    }
    // A communication error report carries no device status.
    const bool status = end.status && (end.status->first & hart::kCommErrorReport) == 0;
    driver_->take(end.outcome, ok, why, code ? end.status->first : 0,
                  status ? std::optional<int>(end.status->second) : std::nullopt);
    // The next request goes out once this reply's handling is over.
    QTimer::singleShot(0, this, &ConfigFiles::step);
}

void ConfigFiles::finish() {
    const cfg::Account account = driver_->account();
    const Job job = job_;
    const bool wasWaiting = waiting_;
    driver_.reset();
    waiting_ = false;
    progress_->hide();
    if (account.cancelled) {
        QString text = tx(Tr::tr("已取消。"));
        if (job == Job::RestoreWrite) {
            text += tx(Tr::tr("已写入: ")) + labels(account.written);
            if (wasWaiting) text += tx(Tr::tr("; 最后一项写入是否被仪表接受未知。"));
        }
        return tell(false, text);
    }
    if (job == Job::RestoreWrite) return restoreWritten(account);
    if (account.stopped) {
        // Every read begins with the poll that finds the instrument: nothing there, nothing read.
        const std::string none = ops::unanswered(window_.session());
        if (!none.empty()) return tell(true, tx(none));
        return tell(true, tx(Tr::tr("读取 ")) + labels(account.stopped->fields) +
                              tx(Tr::tr(" 失败: ")) + tx(account.failure));
    }
    const std::string path = path_.toStdString();
    switch (job) {
        case Job::Save: {
            const cfg::Record r =
                cfg::recordOf(account.values, cfg::utcNow(), "hart-config " HART_VERSION);
            const std::string why = cfg::saveAtomically(path, cfg::toJson(r));
            return tell(!why.empty(), why.empty() ? tx(Tr::tr("配置已保存到 ")) + path_ : tx(why));
        }
        case Job::Report: {
            const cfg::Record r =
                cfg::recordOfDrive(account, cfg::utcNow(), "hart-config " HART_VERSION);
            const std::string why = report::writePdf(path, r, report::windowLabel,
                                                     lastLoopCheck ? &*lastLoopCheck : nullptr);
            return tell(!why.empty(), why.empty() ? tx(Tr::tr("报告已生成: ")) + path_ : tx(why));
        }
        case Job::Compare: {
            const auto diff = cfg::compare(file_->all(), account.values);
            return tell(false, diff.empty()
                                   ? tx(Tr::tr("仪表与配置文件一致。"))
                                   : tx(Tr::tr("以下字段不同:\n")) +
                                         differences(diff, tx(Tr::tr("文件")), tx(Tr::tr("仪表"))));
        }
        case Job::RestoreRead:
            return restoreRead(account);
        case Job::RestoreWrite:
            break;
    }
}

void ConfigFiles::restoreRead(const cfg::Account& account) {
    instrument_ = account.values;
    if (!cfg::sameModel(file_->identity, instrument_) &&
        !ask(tx(Tr::tr("该配置文件属于另一型号的仪表(制造ID或传感器类型不同)。"
                       "作为替换仪表写入吗?")))) {
        return tell(false, tx(Tr::tr("未写入任何字段。")));
    }
    const std::vector<std::string> fields = cfg::toWrite(file_->fields, instrument_);
    if (fields.empty()) return tell(false, tx(Tr::tr("仪表与配置文件一致,无需写入。")));
    const QString diff = differences(cfg::compare(file_->all(), instrument_), tx(Tr::tr("文件")),
                                     tx(Tr::tr("仪表")));
    if (!ask(tx(Tr::tr("以下字段不同:\n")) + diff + tx(Tr::tr("\n写入 ")) + labels(fields) +
             tx(Tr::tr(" 吗?")))) {
        return tell(false, tx(Tr::tr("未写入任何字段。")));
    }
    start(Job::RestoreWrite, path_,
          cfg::Driver::restoring(startControls(window_.controls()), file_->fields, instrument_));
}

void ConfigFiles::restoreWritten(const cfg::Account& a) {
    QString text = tx(Tr::tr("已写入: ")) + labels(a.written);
    if (a.stopped) {
        const bool writing = a.stopped->kind == cfg::Step::Kind::Write;
        text += (writing ? tx(Tr::tr("\n写入 ")) : tx(Tr::tr("\n回读 "))) +
                labels(a.stopped->fields) + tx(Tr::tr(" 失败: ")) + tx(a.failure) +
                tx(Tr::tr(",其后的字段未写入。"));
    }
    if (!a.notTaken.empty()) text += tx(Tr::tr("\n仪表未接受: ")) + labels(a.notTaken);
    tell(a.stopped || !a.notTaken.empty(), text);
}

}  // namespace ui
