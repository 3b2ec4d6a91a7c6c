// First page: finding the instrument, its live values and the manual command console.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include "hart/tr.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;
namespace {

using namespace build;

void buildIdentity(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox1", Tr::tr("HART智能仪表设备基本信息"), 8, 8, 476, 176);
    int y = kGroupTop + 4;
    label(g, Tr::tr("地址号:"), 12, y, 56);
    combo(g, "ComboBox9", 72, y, 64, boxItems("ComboBox9"), Typing::On, 0);
    combo(g, "ComboBox8", 150, y, 200, boxItems("ComboBox8"), Typing::Off, 0);

    y += kRowPitch + 4;
    label(g, Tr::tr("制造ID:"), 12, y, 100);
    edit(g, "Edit1", 114, y, 110);
    label(g, Tr::tr("传感器类型:"), 240, y, 100);
    edit(g, "Edit2", 346, y, 110);

    y += kRowPitch;
    label(g, Tr::tr("前导符字节数:"), 12, y, 100);
    edit(g, "Edit3", 114, y, 110);
    label(g, Tr::tr("传感器序列号:"), 240, y, 100);
    edit(g, "Edit4", 346, y, 110);

    y += kRowPitch + 12;
    button(g, "Button3", Tr::tr("HART 0号地址查询"), 12, y, 150);
    button(g, "Button16", Tr::tr("HART 0-15地址轮巡检测"), 176, y, 190);
    label(g, {}, 380, y, 76, "Label33");
}

void buildConsole(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox16", Tr::tr("手动HART指令发送"), 8, 194, 476, 104);
    int y = kGroupTop + 6;
    label(g, Tr::tr("手动HART指令:"), 12, y, 96);
    edit(g, "Edit8", 114, y, 250, "02 80 00 00");
    button(g, "Button17", Tr::tr("发送"), 376, y, 80);
    y += kRowPitch;
    label(g, Tr::tr("(自动生成校验位)"), 114, y, 130);
    label(g, Tr::tr("HEX 如 (76 89 FD AD)"), 250, y, 180);
}

void buildLiveValues(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox7", Tr::tr("HART智能仪表实时数据"), 494, 8, 476, 290);
    int y = kGroupTop + 4;
    label(g, Tr::tr("输出电流值:"), 12, y, 110);
    edit(g, "Edit6", 126, y, 110);
    label(g, "mA", 242, y, 30);

    y += kRowPitch;
    label(g, Tr::tr("输出电流百分比:"), 12, y, 110);
    edit(g, "Edit20", 126, y, 110);

    // Four dynamic variables, each with its unit box.
    struct Variable {
        const char* caption;
        const char* edit;
        const char* unit;
    };
    constexpr Variable kVariables[] = {
        {Tr::tr("当前动态变量1:"), "Edit5", "ComboBox5"},
        {Tr::tr("当前动态变量2:"), "Edit17", "ComboBox15"},
        {Tr::tr("当前动态变量3:"), "Edit18", "ComboBox16"},
        {Tr::tr("当前动态变量4:"), "Edit30", "ComboBox6"},
    };
    y += 8;
    for (const Variable& v : kVariables) {
        y += kRowPitch;
        label(g, v.caption, 12, y, 110);
        edit(g, v.edit, 126, y, 110);
        label(g, Tr::tr("单位:"), 250, y, 40);
        combo(g, v.unit, 292, y, 170, boxItems(v.unit), Typing::On);
    }

    y += kRowPitch + 20;
    button(g, "Button34", Tr::tr("当前电流查询"), 126, y, 130);
    button(g, "Button4", Tr::tr("仪表实时数查询"), 270, y, 140);
}

}  // namespace

void buildOnline(QWidget* page) {
    buildIdentity(page);
    buildConsole(page);
    buildLiveValues(page);
}

}  // namespace ui::pages
