// Input/output calibration page: fixed loop current, current trim, range from the applied
// process value, and the display value adjustment.
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include "hart/tr.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;
namespace {

using namespace build;

void buildFixedCurrent(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox2", Tr::tr("电流输出"), 8, 8, 300, 300);
    struct Fixed {
        const char* name;
        const char* caption;
    };
    constexpr Fixed kFixed[] = {
        {"RadioButton1", Tr::tr("4mA 输 出")},  {"RadioButton2", Tr::tr("8mA 输 出")},
        {"RadioButton3", Tr::tr("12mA 输 出")}, {"RadioButton4", Tr::tr("16mA 输 出")},
        {"RadioButton5", Tr::tr("20mA 输 出")},
    };
    int y = kGroupTop + 2;
    for (const Fixed& f : kFixed) {
        radio(g, f.name, f.caption, 16, y, 140);
        y += kRowPitch;
    }
    radio(g, "RadioButton6", Tr::tr("其 他 输 出:"), 16, y, 110);
    edit(g, "Edit7", 130, y, 80);
    label(g, "mA", 216, y, 30);
    y += kRowPitch;
    radio(g, "RadioButton7", Tr::tr("退出固定出模式"), 16, y, 160);
    g->findChild<QRadioButton*>("RadioButton1")->setChecked(true);

    y += kRowPitch + 14;
    button(g, "Button6", Tr::tr("下  传"), 130, y, 90);
}

void buildTrim(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox3", Tr::tr("电流输出校准"), 318, 8, 380, 300);
    int y = kGroupTop + 4;
    label(g, Tr::tr("输出高电流微调:"), 12, y, 112);
    edit(g, "Edit9", 126, y, 80, "20");
    label(g, "mA", 212, y, 30);
    button(g, "Button15", Tr::tr("下  传"), 270, y, 90);
    label(g, Tr::tr("注意:要先下传固定电流20mA输出"), 12, y + 24, 350);
    label(g, Tr::tr("及设置18mA 与22mA之间"), 12, y + 46, 350);

    y += 84;
    label(g, Tr::tr("输出低电流微调:"), 12, y, 112);
    edit(g, "Edit10", 126, y, 80, "4");
    label(g, "mA", 212, y, 30);
    button(g, "Button30", Tr::tr("下  传"), 270, y, 90);
    label(g, Tr::tr("注意:要先下传固定电流4mA输出"), 12, y + 24, 350);
    label(g, Tr::tr("设置值在2mA 与6mA之间"), 12, y + 46, 350);

    y += 88;
    button(g, "Button25", Tr::tr("校准4mA"), 12, y, 100);
    label(g, Tr::tr("仪表上的ZERO"), 124, y, 120);
    y += kRowPitch + 6;
    button(g, "Button26", Tr::tr("校准20mA"), 12, y, 100);
    label(g, Tr::tr("仪表上的SPAN"), 124, y, 120);
}

void buildDisplayValue(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox10", Tr::tr("仪表显示值调整"), 708, 8, 262, 300);
    int y = kGroupTop + 6;
    button(g, "Button23", Tr::tr("零点调整"), 88, y, 100);
    y += kRowPitch + 16;
    label(g, Tr::tr("低点调整："), 12, y, 76);
    edit(g, "Edit13", 90, y, 80);
    button(g, "Button24", Tr::tr("下  传"), 178, y, 70);
    y += kRowPitch + 6;
    label(g, Tr::tr("高点调整："), 12, y, 76);
    edit(g, "Edit19", 90, y, 80);
    button(g, "Button31", Tr::tr("下  传"), 178, y, 70);
    y += kRowPitch + 14;
    label(g, Tr::tr("数值单位则为是主变量的单位"), 12, y, 236, "Label83");
}

}  // namespace

void buildCalibration(QWidget* page) {
    buildFixedCurrent(page);
    buildTrim(page);
    buildDisplayValue(page);
}

}  // namespace ui::pages
