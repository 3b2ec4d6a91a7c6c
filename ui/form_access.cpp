#include "ui/form_access.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>
#include <vector>

#include "hart/tr.h"

namespace ui {

using hart::Tr;
namespace {

struct FixedName {
    const char* control;
    const char* name;
};

// Controls whose caption is not beside them: shared by a row or column, or missing.
constexpr FixedName kFixedNames[] = {
    {"ComboBox8", Tr::tr("主设备类型")},
    {"Label33", Tr::tr("轮巡地址")},
    {"ComboBox5", Tr::tr("当前动态变量1单位")},
    {"ComboBox15", Tr::tr("当前动态变量2单位")},
    {"ComboBox16", Tr::tr("当前动态变量3单位")},
    {"ComboBox6", Tr::tr("当前动态变量4单位")},
    {"Edit7", Tr::tr("其他输出电流 mA")},
    {"Edit24", Tr::tr("出厂日期: 年")},
    {"Edit25", Tr::tr("出厂日期: 月")},
    {"Edit29", Tr::tr("出厂日期: 日")},
    {"EJAXIANS1", Tr::tr("显示内容: 第1行")},
    {"EJAXIANS2", Tr::tr("显示内容: 第2行")},
    {"EJAXIANS3", Tr::tr("显示内容: 第3行")},
    {"EJAXIANS4", Tr::tr("显示内容: 第4行")},
    {"RTDxishu", Tr::tr("Polynom_RTD 系数值")},
    {"CALL_ALP_XS", Tr::tr("callendar-Alp 系数值")},
    {"DeviceStatusLabel", Tr::tr("设备状态")},
    {"HartFactsLabel", Tr::tr("HART 协议版本与组态变更计数")},
};

bool isCaption(const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr && !label->text().isEmpty();
}

// Named labels that start empty are written by the window: counters and status fields.
bool isStatusField(const QWidget* w) {
    const auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr && label->text().isEmpty() && !label->objectName().isEmpty();
}

bool isControl(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) != nullptr ||
           qobject_cast<const QComboBox*>(w) != nullptr ||
           qobject_cast<const QAbstractButton*>(w) != nullptr ||
           qobject_cast<const QAbstractScrollArea*>(w) != nullptr;
}

QList<QWidget*> siblings(const QWidget* w) {
    return w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

bool sameRow(const QRect& a, const QRect& b) {
    return a.center().y() >= b.top() && a.center().y() <= b.bottom();
}

// The caption just left of w on its row, with no other control in between; failing that, the
// caption just above it in the same column.
QLabel* captionOf(const QWidget* w) {
    const QRect g = w->geometry();
    int blocker = -1;  // right edge of the nearest control left of w on its row
    for (const QWidget* s : siblings(w)) {
        const QRect sg = s->geometry();
        if (s != w && isControl(s) && sameRow(sg, g) && sg.right() < g.left()) {
            blocker = std::max(blocker, sg.right());
        }
    }
    QLabel* left = nullptr;
    QLabel* top = nullptr;
    for (QWidget* s : siblings(w)) {
        if (s == w || !isCaption(s)) continue;
        const QRect sg = s->geometry();
        if (sameRow(sg, g) && sg.left() > blocker && sg.right() < g.left() &&
            (left == nullptr || sg.right() > left->geometry().right())) {
            left = static_cast<QLabel*>(s);
        }
        if (sg.bottom() < g.top() && g.top() - sg.bottom() <= sg.height() &&
            sg.left() <= g.left() && sg.right() >= g.left()) {
            top = static_cast<QLabel*>(s);
        }
    }
    return left != nullptr ? left : top;
}

// The first caption of w's row: what a button on that row acts on.
const QLabel* rowCaptionOf(const QWidget* w) {
    const QLabel* first = nullptr;
    for (const QWidget* s : siblings(w)) {
        const QRect sg = s->geometry();
        if (s != w && isCaption(s) && sameRow(sg, w->geometry()) && sg.right() < w->x() &&
            (first == nullptr || sg.left() < first->x())) {
            first = static_cast<const QLabel*>(s);
        }
    }
    return first;
}

void nameControls(QWidget* root) {
    for (QWidget* w : root->findChildren<QWidget*>()) {
        // Only the form's own controls; captions are plain labels without a name.
        if (w->objectName().isEmpty() || (!isControl(w) && !isStatusField(w))) continue;

        QString name;
        const auto fixed =
            std::find_if(std::begin(kFixedNames), std::end(kFixedNames),
                         [&](const FixedName& f) { return w->objectName() == f.control; });
        if (fixed != std::end(kFixedNames)) {
            name = QString::fromUtf8(fixed->name);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            name = button->text();
            // Many buttons read "上传" or "下传": the description says what they serve.
            if (const QLabel* caption = rowCaptionOf(w)) {
                w->setAccessibleDescription(caption->text());
            } else if (auto* group = qobject_cast<QGroupBox*>(w->parentWidget())) {
                w->setAccessibleDescription(group->title());
            }
        } else if (QLabel* caption = captionOf(w)) {
            name = caption->text();
            // The label relation is how Linux screen readers name a combo box.
            caption->setBuddy(w);
        }
        if (name.isEmpty()) continue;
        w->setAccessibleName(name);
        // Focus lands on an editable box's line edit, so it carries the name too.
        if (auto* box = qobject_cast<QComboBox*>(w); box != nullptr && box->lineEdit() != nullptr) {
            box->lineEdit()->setAccessibleName(name);
        }
    }
}

// Rows are runs of widgets that overlap vertically: a button between two fields joins both
// rows. Inside a row, left to right and then top to bottom, so a column of group boxes is
// read down before the next column.
std::vector<QWidget*> readingOrder(std::vector<QWidget*> widgets) {
    std::stable_sort(widgets.begin(), widgets.end(),
                     [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    std::vector<QWidget*> ordered;
    auto rowStart = widgets.begin();
    int rowBottom = 0;
    const auto closeRow = [&](auto end) {
        std::stable_sort(rowStart, end, [](const QWidget* a, const QWidget* b) {
            return a->x() != b->x() ? a->x() < b->x() : a->y() < b->y();
        });
        ordered.insert(ordered.end(), rowStart, end);
    };
    for (auto it = widgets.begin(); it != widgets.end(); ++it) {
        if (it != rowStart && (*it)->y() >= rowBottom) {
            closeRow(it);
            rowStart = it;
        }
        rowBottom = it == rowStart ? (*it)->y() + (*it)->height()
                                   : std::max(rowBottom, (*it)->y() + (*it)->height());
    }
    closeRow(widgets.end());
    return ordered;
}

void collectFocusable(QWidget* container, std::vector<QWidget*>& out) {
    if (auto* tabs = qobject_cast<QTabWidget*>(container)) {
        out.push_back(tabs->tabBar());
        // Its scroll arrows, when shown, belong with it.
        for (QWidget* arrow : tabs->tabBar()->findChildren<QWidget*>()) {
            if ((arrow->focusPolicy() & Qt::TabFocus) != 0) out.push_back(arrow);
        }
        for (int i = 0; i < tabs->count(); ++i) collectFocusable(tabs->widget(i), out);
        return;
    }
    const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* w : readingOrder({children.begin(), children.end()})) {
        if (qobject_cast<QTabWidget*>(w) == nullptr && (w->focusPolicy() & Qt::TabFocus) != 0) {
            out.push_back(w);
        } else {
            collectFocusable(w, out);
        }
    }
}

void orderTabs(QWidget* root) {
    std::vector<QWidget*> chain;
    collectFocusable(root, chain);
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace

void makeAccessible(QWidget* root) {
    nameControls(root);
    orderTabs(root);
}

}  // namespace ui
