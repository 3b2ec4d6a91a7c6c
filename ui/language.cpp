#include "ui/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTranslator>
#include <memory>

namespace ui {
namespace {

hart::Language current = hart::Language::Chinese;
std::unique_ptr<QTranslator> ours;
std::unique_ptr<QTranslator> qts;

constexpr const char* kSettingKey = "language";

// The Chinese of every translation shown, so that a text the program set in English turns
// back too.
QHash<QString, QString>& chineseOf() {
    static QHash<QString, QString> texts;
    return texts;
}

QString remember(const QString& chinese, const QString& text) {
    if (text != chinese) chineseOf().insert(text, chinese);
    return text;
}

QString code(hart::Language l) {
    return l == hart::Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

// Beside the program (Windows), where the package puts them, and in the build tree.
QStringList translationFolders() {
    const QString app = QCoreApplication::applicationDirPath();
    return {app + QStringLiteral("/translations"),
            app + QStringLiteral("/../share/hart-config/translations"),
            QStringLiteral(HART_BUILD_TRANSLATIONS)};
}

std::unique_ptr<QTranslator> load(const QString& name, const QStringList& folders) {
    auto t = std::make_unique<QTranslator>();
    for (const QString& folder : folders) {
        if (t->load(name, folder)) {
            QCoreApplication::installTranslator(t.get());
            return t;
        }
    }
    return nullptr;
}

// One text of a control, turned to the language. The Chinese it was made from is kept in
// the object; a text the program has set since is a translation shown or Chinese itself.
template <class Get, class Set>
void turn(QObject* o, const char* slot, Get get, Set set) {
    const QByteArray source = QByteArray("tr.source.") + slot;
    const QByteArray shown = QByteArray("tr.shown.") + slot;
    const QString now = get();
    QString chinese = chineseOf().value(now, now);
    if (o->property(shown.constData()).toString() == now &&
        o->property(source.constData()).isValid())
        chinese = o->property(source.constData()).toString();
    const QString text = tx(chinese);
    o->setProperty(source.constData(), chinese);
    o->setProperty(shown.constData(), text);
    if (text != now) set(text);
}

void turnMenu(QAction* action) {
    turn(
        action, "text", [&] { return action->text(); },
        [&](const QString& t) { action->setText(t); });
    if (QMenu* menu = action->menu()) {
        for (QAction* a : menu->actions()) turnMenu(a);
    }
}

void turnCombo(QComboBox* box) {
    // An item that is an instrument's or the user's text has no translation and stays.
    const QString typed = box->isEditable() ? box->currentText() : QString();
    const bool showsItem = box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == typed;
    for (int i = 0; i < box->count(); ++i) {
        const QByteArray slot = "item" + QByteArray::number(i);
        turn(
            box, slot.constData(), [&] { return box->itemText(i); },
            [&](const QString& t) { box->setItemText(i, t); });
    }
    if (!box->isEditable()) return;
    // A typing box shows its item's new text, or a text of its own that is no item.
    if (showsItem) return box->setEditText(box->itemText(box->currentIndex()));
    box->setEditText(typed);
    turn(
        box, "edit", [&] { return box->currentText(); },
        [&](const QString& t) { box->setEditText(t); });
}

}  // namespace

hart::Language language() {
    return current;
}

void setLanguage(hart::Language language) {
    current = language;
    if (ours) QCoreApplication::removeTranslator(ours.get());
    if (qts) QCoreApplication::removeTranslator(qts.get());
    ours.reset();
    qts.reset();
    if (language == hart::Language::English) {
        ours = load(QStringLiteral("hart_en"), translationFolders());
    } else {
        // Qt's own texts are English; the Chinese window gets Chinese buttons in its dialogs.
        qts = load(QStringLiteral("qtbase_zh_CN"),
                   {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                    QCoreApplication::applicationDirPath() + QStringLiteral("/translations")});
    }
    for (QWidget* w : QApplication::topLevelWidgets()) retranslate(w);
}

hart::Language startLanguage(const QString& asked) {
    if (const auto l = hart::parseLanguage(asked.toStdString())) return *l;
    const QString kept = QSettings().value(QLatin1String(kSettingKey)).toString();
    if (const auto l = hart::parseLanguage(kept.toStdString())) return *l;
    return hart::languageOfLocale(QLocale::system().name().toStdString());
}

void keepLanguage(hart::Language language) {
    QSettings().setValue(QLatin1String(kSettingKey), code(language));
}

void addLanguageMenu(QWidget* window) {
    auto* main = qobject_cast<QMainWindow*>(window);
    if (main == nullptr) return;
    // Both names, so that either reader finds the way back.
    QMenu* menu = main->menuBar()->addMenu(QStringLiteral("语言 / Language"));
    menu->setObjectName(QStringLiteral("LanguageMenu"));
    for (const auto& [l, name] : {std::pair{hart::Language::Chinese, "中文"},
                                  std::pair{hart::Language::English, "English"}}) {
        QAction* a = menu->addAction(QString::fromUtf8(name), main, [l] {
            setLanguage(l);
            keepLanguage(l);
        });
        a->setObjectName(QStringLiteral("Language_") + code(l));
    }
}

QString tx(const char* chinese) {
    return remember(QString::fromUtf8(chinese), QCoreApplication::translate("Tr", chinese));
}

QString tx(std::string_view chinese) {
    return remember(QString::fromUtf8(chinese.data(), static_cast<qsizetype>(chinese.size())),
                    QString::fromStdString(hart::translate(chinese, current)));
}

QString tx(const QString& chinese) {
    if (current == hart::Language::Chinese || chinese.isEmpty()) return chinese;
    const QByteArray utf8 = chinese.toUtf8();
    const QString qt = QCoreApplication::translate("Tr", utf8.constData());
    return qt != chinese ? remember(chinese, qt)
                         : tx(std::string_view(utf8.constData(), utf8.size()));
}

void retranslate(QWidget* root) {
    if (root->isWindow()) {
        turn(
            root, "title", [&] { return root->windowTitle(); },
            [&](const QString& t) { root->setWindowTitle(t); });
    }
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (auto* l = qobject_cast<QLabel*>(w)) {
            turn(
                l, "text", [&] { return l->text(); }, [&](const QString& t) { l->setText(t); });
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            turn(
                b, "text", [&] { return b->text(); }, [&](const QString& t) { b->setText(t); });
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            turn(
                g, "title", [&] { return g->title(); }, [&](const QString& t) { g->setTitle(t); });
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            turnCombo(c);
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                QWidget* page = tabs->widget(i);
                turn(
                    page, "tab", [&] { return tabs->tabText(i); },
                    [&](const QString& t) { tabs->setTabText(i, t); });
            }
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* a : bar->actions()) turnMenu(a);
        }
    }
}

}  // namespace ui
