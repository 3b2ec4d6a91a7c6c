// The window's "配置文件" menu: save, compare and restore a configuration file and write the
// commissioning report, through the same driver as hart-cli, one request at a time through
// the window's request procedure, with a progress dialog that shows each field and can
// cancel.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>

#include "ops/config_file.h"
#include "ops/loop_check.h"
#include "ui/main_window.h"

class QProgressDialog;

namespace ui {

// The own controls of a drive or check: the window's master role and polling address, nothing
// else.
ops::config::ControlStore startControls(const ops::Controls& window);

class ConfigFiles : public QObject {
    Q_OBJECT

  public:
    explicit ConfigFiles(TForm1& window);
    ~ConfigFiles() override;

    // The menu's commands once their file is chosen.
    void save(const QString& path);
    // Saves a named instrument's own settings too.
    void saveModel(const QString& path, std::string_view model);
    void compare(const QString& path);
    void restore(const QString& path);
    void report(const QString& path);

    bool busy() const { return driver_.has_value(); }
    void cancel();
    // Asks the user a yes-or-no question; tests answer it themselves.
    std::function<bool(const QString&)> ask;
    // The last loop check of this session, which the report then holds; the loop check sets it.
    std::optional<ops::loopcheck::Record> lastLoopCheck;

  private:
    enum class Job { Save, Compare, RestoreRead, RestoreWrite, Report };
    void start(Job job, const QString& path, ops::config::Driver driver);
    // Reads the instrument for the file at the path, once the file is read.
    void startWithFile(Job job, const QString& path);
    void step();
    void ended(const TForm1::RequestEnd& end);
    void finish();
    void restoreRead(const ops::config::Account& account);
    void restoreWritten(const ops::config::Account& account);
    void tell(bool error, const QString& text);

    TForm1& window_;
    Job job_ = Job::Save;
    QString path_;
    std::optional<ops::config::Record> file_;
    ops::config::Values instrument_;
    std::optional<ops::config::Driver> driver_;
    bool waiting_ = false;
    QProgressDialog* progress_ = nullptr;
};

}  // namespace ui
