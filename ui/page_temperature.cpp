// Temperature transmitter page: an inner page control with one sub-page for Rosemount,
// Yokogawa and E+H, one for Siemens, Krohne and ABB, and two spare pages.
#include <QComboBox>
#include <QGroupBox>
#include <QTabWidget>
#include <QWidget>

#include "hart/tr.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;
namespace {

using namespace build;

constexpr int kUpDownWidth = 56;  // the short "上传" / "下传" / "保存" buttons

// A read and a write button side by side.
void upDown(QWidget* g, const char* read, const char* write, const char* writeCaption, int x,
            int y) {
    button(g, read, Tr::tr("上传"), x, y, kUpDownWidth);
    button(g, write, writeCaption, x + kUpDownWidth + 6, y, kUpDownWidth);
}

void buildRosemount(QWidget* page) {
    constexpr int kField = 86;

    QGroupBox* g =
        group(page, "GroupBox11", Tr::tr("罗斯蒙特644温度传感器及接线方式设置 "), 6, 6, 318, 82);
    int y = kGroupTop;
    label(g, Tr::tr("传感器类型:"), 10, y, 76);
    combo(g, "ComboBox17", kField, y, 222, boxItems("ComboBox17"), Typing::On);
    y += kRowPitch;
    label(g, Tr::tr("接线方式:"), 10, y, 76);
    combo(g, "ComboBox18", kField, y, 96, boxItems("ComboBox18"), Typing::On);
    upDown(g, "Button35", "Button36", Tr::tr("下传"), 190, y);

    g = group(page, "GroupBox12", Tr::tr(" 罗期蒙特848T 温度配置 "), 6, 94, 318, 140);
    y = kGroupTop;
    label(g, Tr::tr("澷度通道:"), 10, y, 76);
    combo(g, "ComboBox19", kField, y, 96, boxItems("ComboBox19"), Typing::On, 0);
    y += kRowPitch;
    label(g, Tr::tr("传感器类型:"), 10, y, 76);
    combo(g, "ComboBox21", kField, y, 222, boxItems("ComboBox21"), Typing::On);
    y += kRowPitch;
    label(g, Tr::tr("接线方式:"), 10, y, 76);
    combo(g, "ComboBox20", kField, y, 96, boxItems("ComboBox20"), Typing::On);
    button(g, "Button41", Tr::tr("上传"), 190, y, kUpDownWidth);
    button(g, "Button40", Tr::tr("下传"), 190 + kUpDownWidth + 6, y, kUpDownWidth);
    y += kRowPitch;
    label(g, Tr::tr("温度单位:"), 10, y, 76);
    combo(g, "ComboBox22", kField, y, 96, boxItems("ComboBox22"), Typing::On, 0);
    button(g, "Button43", Tr::tr("下传"), 190 + kUpDownWidth + 6, y, kUpDownWidth);

    g = group(page, "GroupBox23", Tr::tr("罗斯蒙特644RK温度传感器及接线方式设置 "), 6, 240, 318,
              82);
    y = kGroupTop;
    label(g, Tr::tr("传感器类型:"), 10, y, 76);
    combo(g, "ComboBox36", kField, y, 222, boxItems("ComboBox36"), Typing::On);
    y += kRowPitch;
    label(g, Tr::tr("接线方式:"), 10, y, 76);
    combo(g, "ComboBox35", kField, y, 96, boxItems("ComboBox35"), Typing::On);
    upDown(g, "Button70", "Button69", Tr::tr("下传"), 190, y);
}

void buildYokogawa(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox19", Tr::tr("横河温度变送器"), 330, 6, 276, 172);
    constexpr int kField = 104;
    int y = kGroupTop;
    label(g, Tr::tr("传感器类型："), 10, y, 92);
    combo(g, "HengHeTX", kField, y, 166, boxItems("HengHeTX"), Typing::On, -1, "HengHeTX");
    y += kRowPitch;
    label(g, Tr::tr("接线方式:"), 10, y, 92);
    combo(g, "HengHeFS", kField, y, 80, boxItems("HengHeFS"), Typing::Off, 0);
    y += kRowPitch;
    upDown(g, "Button52", "Button53", Tr::tr("保存"), kField + 48, y);
    y += kRowPitch + 8;
    label(g, Tr::tr("二线制电阻值："), 10, y, 92);
    edit(g, "HengHeJXIAN", kField, y, 80);
    y += kRowPitch;
    upDown(g, "Button54", "Button55", Tr::tr("保存"), kField + 48, y);
}

void buildEh(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox20", Tr::tr("E+H温度变送器"), 612, 6, 360, 316);
    constexpr int kField = 130;
    constexpr int kFieldWidth = 100;
    // Up to the fields: in Windows' Arial "Polynom_RTD传感器：" takes all of it.
    constexpr int kLabel = kField - 10;
    constexpr int kButtons = kField + kFieldWidth + 6;
    int y = kGroupTop;
    label(g, Tr::tr("传感器编号："), 10, y, kLabel);
    combo(g, "TempBIAHO", kField, y, kFieldWidth, boxItems("TempBIAHO"), Typing::Off, 0);
    y += kRowPitch;
    label(g, Tr::tr("传感类型："), 10, y, kLabel);
    combo(g, "EHTEMNX", kField, y, kFieldWidth, boxItems("EHTEMNX"), Typing::Off);
    upDown(g, "Button56", "Button57", Tr::tr(" 保存"), kButtons, y);
    y += kRowPitch;
    label(g, Tr::tr("接线方式:"), 10, y, kLabel);
    combo(g, "EHTEMFS", kField, y, kFieldWidth, boxItems("EHTEMFS"), Typing::Off);
    upDown(g, "Button59", "Button60", Tr::tr("保存"), kButtons, y);
    y += kRowPitch;
    label(g, Tr::tr("传感器单位与偏移值："), 10, y, kLabel);
    edit(g, "EHPIANYI", kField, y, kFieldWidth);
    upDown(g, "Button65", "Button66", Tr::tr("保存"), kButtons, y);

    y += kRowPitch + 10;
    label(g, Tr::tr("Polynom_RTD传感器："), 10, y, kLabel);
    combo(g, "POTMXU", kField, y, kFieldWidth, boxItems("POTMXU"), Typing::On, 0);
    y += kRowPitch;
    label(g, Tr::tr("系数值"), 10, y, kLabel);
    edit(g, "RTDxishu", kField, y, kFieldWidth);
    button(g, "Button61", Tr::tr("保存"), kButtons + kUpDownWidth + 6, y, kUpDownWidth);

    y += kRowPitch + 10;
    label(g, "callendar-Alp(ABC):", 10, y, kLabel);
    combo(g, "CALL_ALP", kField, y, kFieldWidth, boxItems("CALL_ALP"), Typing::On, -1,
          Tr::tr("设置计数系数A"));
    y += kRowPitch;
    label(g, Tr::tr("系数值"), 10, y, kLabel);
    edit(g, "CALL_ALP_XS", kField, y, kFieldWidth);
    button(g, "Button62", Tr::tr("保存"), kButtons + kUpDownWidth + 6, y, kUpDownWidth);
}

void buildSiemens(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox9", Tr::tr("西门子温度变送器"), 6, 6, 316, 120);
    int y = kGroupTop;
    label(g, Tr::tr("西门子HART协议温度传感器类型:"), 10, y, 296);
    y += kRowPitch - 4;
    combo(g, "ComboBox7", 10, y, 200, boxItems("ComboBox7"), Typing::Off);
    y += kRowPitch + 8;
    button(g, "Button2", Tr::tr("上传"), 10 + 200 - 2 * kUpDownWidth - 6, y, kUpDownWidth);
    button(g, "Button11", Tr::tr("下传"), 10 + 200 - kUpDownWidth, y, kUpDownWidth);
}

// Krohne and ABB groups share one shape: sensor type, wiring, and a read/write pair.
void buildTypeAndWiring(QWidget* page, const char* groupName, const char* title, int x,
                        const char* sensorBox, const char* wiringBox, const char* read,
                        const char* write) {
    QGroupBox* g = group(page, groupName, title, x, 6, 316, 120);
    constexpr int kField = 96;
    int y = kGroupTop;
    label(g, Tr::tr("传感器类型："), 10, y, 84);
    combo(g, sensorBox, kField, y, 206, boxItems(sensorBox), Typing::On, -1, Tr::tr("00 无"));
    y += kRowPitch;
    label(g, Tr::tr("接线方式:"), 10, y, 84);
    combo(g, wiringBox, kField, y, 140, boxItems(wiringBox), Typing::On, -1, Tr::tr("00 无"));
    y += kRowPitch + 8;
    button(g, read, Tr::tr("上传"), kField + 206 - 2 * kUpDownWidth - 6, y, kUpDownWidth);
    button(g, write, Tr::tr("下传"), kField + 206 - kUpDownWidth, y, kUpDownWidth);
}

}  // namespace

void buildTemperature(QWidget* page) {
    auto* tabs = new QTabWidget(page);
    tabs->setObjectName("PageControl1");
    tabs->setGeometry(2, 4, 979, 368);

    QWidget* sheet = build::page(tabs, "TabSheet11", Tr::tr("罗斯蒙特与E+H温度变送器"));
    buildRosemount(sheet);
    buildYokogawa(sheet);
    buildEh(sheet);

    sheet = build::page(tabs, "TabSheet12", Tr::tr("西门子+ABB+科隆+ 中科博微 温度变送器"));
    buildSiemens(sheet);
    buildTypeAndWiring(sheet, "GroupBox21", Tr::tr("科隆TT50C"), 328, "TT50NEXING", "TT50WAR",
                       "Button63", "Button64");
    buildTypeAndWiring(sheet, "GroupBox22", "ABBTTH200", 650, "ABBTTH200NEIXING", "ABBTTH200WAY",
                       "Button68", "Button67");

    // Two spare pages, kept empty.
    build::page(tabs, "TabSheet13", "TabSheet13");
    build::page(tabs, "TabSheet14", "TabSheet14");
    tabs->setCurrentIndex(0);
}

}  // namespace ui::pages
