// The window in English: every page walked, no Chinese left on it and no caption cut; and
// back in Chinese, every text as it was.
#include "ui/language.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "hart/texts.h"
#include "ui/main_window.h"

namespace ui {
namespace {

bool hasChinese(const QString& s) {
    static const QRegularExpression cjk(
        QStringLiteral("[\\x{3000}-\\x{303F}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return s.contains(cjk);
}

QString nameOf(const QWidget* w) {
    if (w == nullptr) return {};
    return w->objectName().isEmpty()
               ? nameOf(w->parentWidget()) + "/" + w->metaObject()->className()
               : w->objectName();
}

QString captionOf(const QWidget* w) {
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    return {};
}

// Every text the window shows, by where it is.
QStringList texts(TForm1& window) {
    QStringList all{window.windowTitle()};
    for (QAction* menu : window.menuBar()->actions()) {
        all << menu->text();
        for (QAction* a : menu->menu()->actions()) all << menu->text() + "/" + a->text();
    }
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QString at = nameOf(w) + ": ";
        if (!captionOf(w).isEmpty()) all << at + captionOf(w);
        if (auto* g = qobject_cast<QGroupBox*>(w)) all << at + g->title();
        if (auto* c = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < c->count(); ++i) all << at + c->itemText(i);
            all << at + c->currentText();
        }
        if (auto* t = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < t->count(); ++i) all << at + t->tabText(i);
        }
    }
    return all;
}

// A caption is cut when its text needs more room than it has; a button's own size hint asks
// for a minimum width whatever its text, so its text is measured with the button's margins.
bool cut(const QWidget* w) {
    if (!qobject_cast<const QAbstractButton*>(w)) {
        return w->sizeHint().width() > w->width() || w->sizeHint().height() > w->height();
    }
    const int margin = 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin);
    return w->fontMetrics().horizontalAdvance(captionOf(w)) + margin > w->width();
}

TEST(Language, EveryPageInEnglishThenChineseAgain) {
    TForm1 window;
    window.show();
    const QStringList chinese = texts(window);
    TForm1 later;  // its hidden pages are built once searched, in English below
    QStringList faults;
    for (const hart::Language language : {hart::Language::English, hart::Language::Chinese}) {
        setLanguage(language);
        const bool english = language == hart::Language::English;
        for (const QString& t : texts(window) + (english ? texts(later) : QStringList())) {
            // The language menu names itself in both.
            if (english && hasChinese(t) && !t.contains("Language")) faults << "Chinese: " + t;
        }
        // Every page, and every page of a page's own tabs, shown in turn.
        auto* pages = window.control<QTabWidget>("PageControl2");
        for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
            // Tabs on a page show only with their page.
            if (tabs != pages) pages->setCurrentWidget(tabs->parentWidget());
            if (tabs->tabBar()->sizeHint().width() > tabs->width())
                faults << "tabs do not fit: " + tabs->objectName();
            for (int page = 0; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                QCoreApplication::processEvents();
                // Pictures of every page to look at (HART_SCREENSHOTS=folder).
                if (const QString dir = qEnvironmentVariable("HART_SCREENSHOTS"); !dir.isEmpty())
                    window.grab().save(QStringLiteral("%1/%2-%3-%4.png")
                                           .arg(dir, tabs->objectName())
                                           .arg(page)
                                           .arg(english ? "en" : "zh"));
                for (QWidget* w : window.findChildren<QWidget*>()) {
                    if (!captionOf(w).isEmpty() && w->isVisible() && cut(w))
                        faults << QStringLiteral("cut: %1 \"%2\" (%3 wide)")
                                      .arg(nameOf(w), captionOf(w))
                                      .arg(w->width());
                }
            }
        }
    }
    faults.removeDuplicates();
    // Showing a page reorders the widgets: the texts are compared as a set.
    QStringList before = chinese;
    QStringList again = texts(window);
    before.sort();
    again.sort();
    for (qsizetype i = 0; i < std::max(before.size(), again.size()); ++i) {
        if (before.value(i) != again.value(i)) faults << "not as before: " + again.value(i);
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();

    // A status shown in English turns back to its Chinese.
    setLanguage(hart::Language::English);
    hart::Outcome read;
    read.finish(hart::text::kReadOk, hart::Result::Done);
    window.apply(read);
    EXPECT_EQ(window.control<QLabel>("Label68")->text(), "Read successful!");
    setLanguage(hart::Language::Chinese);
    EXPECT_EQ(window.control<QLabel>("Label68")->text(), QString::fromUtf8(hart::text::kReadOk));
}

}  // namespace
}  // namespace ui
