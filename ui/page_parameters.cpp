// Basic parameter page: sensor limits, range configuration, burst mode, and the sensor group
// whose controls stay hidden.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "hart/tr.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;
namespace {

using namespace build;

void buildSensorLimits(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox5", Tr::tr("测量范围及精度"), 8, 8, 310, 150);
    int y = kGroupTop + 4;
    label(g, Tr::tr("测量上限值:"), 12, y, 84);
    edit(g, "Edit11", 100, y, 190);
    y += kRowPitch;
    label(g, Tr::tr("测量下限值:"), 12, y, 84);
    edit(g, "Edit12", 100, y, 190);
    y += kRowPitch;
    label(g, Tr::tr("单位:"), 12, y, 84);
    combo(g, "ComboBox10", 100, y, 190, boxItems("ComboBox10"), Typing::On);
    y += kRowPitch + 4;
    button(g, "Button5", Tr::tr("上  传"), 200, y, 90);
}

// Shown as an empty frame: the group has no operation.
void buildSensorInfo(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox8", Tr::tr("传感器信息"), 8, 168, 310, 140);
    int y = kGroupTop + 4;
    QWidget* hidden[] = {
        label(g, Tr::tr("传感器类型:"), 12, y, 84),
        combo(g, "ComboBox4", 100, y, 190, {}, Typing::Off),
        label(g, Tr::tr("膜片材料:"), 12, y + kRowPitch, 84),
        combo(g, "ComboBox12", 100, y + kRowPitch, 190, {}, Typing::Off),
        label(g, Tr::tr("填充液:"), 12, y + 2 * kRowPitch, 84),
        combo(g, "ComboBox13", 100, y + 2 * kRowPitch, 190, {}, Typing::Off),
        button(g, "Button18", Tr::tr("下  传"), 200, y + 3 * kRowPitch + 4, 90),
    };
    for (QWidget* w : hidden) w->hide();
}

void buildRange(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox6", Tr::tr("信号状态"), 328, 8, 390, 300);
    constexpr int kField = 96;
    constexpr int kButton = 286;
    int y = kGroupTop + 4;
    label(g, Tr::tr("量程单位"), 12, y, 80);
    combo(g, "ComboBox1", kField, y, 176, boxItems("ComboBox1"), Typing::On);
    button(g, "Button8", Tr::tr("下  传"), kButton, y, 90);

    y += kRowPitch + 6;
    label(g, Tr::tr("量程上限:"), 12, y, 80);
    edit(g, "Edit14", kField, y, 176);
    y += kRowPitch;
    label(g, Tr::tr("量程下限:"), 12, y, 80);
    edit(g, "Edit15", kField, y, 176);
    button(g, "Button12", Tr::tr("下  传"), kButton, y - kRowPitch / 2, 90);

    y += kRowPitch + 6;
    label(g, Tr::tr("阻尼时间"), 12, y, 80);
    edit(g, "Edit16", kField, y, 156);
    label(g, "S", kField + 162, y, 14);
    button(g, "Button10", Tr::tr("下  传"), kButton, y, 90);

    y += kRowPitch + 6;
    label(g, Tr::tr("输出特性:"), 12, y, 80);
    combo(g, "ComboBox2", kField, y, 176, boxItems("ComboBox2"), Typing::On);
    button(g, "Button14", Tr::tr("下  传"), kButton, y, 90);

    y += kRowPitch + 10;
    label(g, Tr::tr("制造商:"), 12, y, 80);
    label(g, {}, kField, y, 280, "Label51");
    y += kRowPitch + 10;
    button(g, "Button13", Tr::tr("上传数据"), kField, y, 120);
}

void buildBurstMode(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox4", Tr::tr("阵发模式测试"), 728, 8, 242, 190);
    int y = kGroupTop + 6;
    label(g, Tr::tr("阵发指令号:"), 16, y, 84);
    combo(g, "ComboBox11", 104, y, 60, boxItems("ComboBox11"), Typing::On, 0);
    y += kRowPitch + 8;
    button(g, "Button20", Tr::tr("设置阵发指令号"), 16, y, 210);
    y += kRowPitch + 4;
    button(g, "Button19", Tr::tr("进入阵发模式"), 16, y, 210);
    y += kRowPitch + 4;
    button(g, "Button9", Tr::tr("退出阵发模式"), 16, y, 210);
}

}  // namespace

void buildParameters(QWidget* page) {
    buildSensorLimits(page);
    buildSensorInfo(page);
    buildRange(page);
    buildBurstMode(page);
}

}  // namespace ui::pages
