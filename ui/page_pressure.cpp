// Differential-pressure and multivariable page: 3051 zero, 300SMV variable mapping and
// display set, EJA display lines and zero cut-off.
#include <QComboBox>
#include <QGroupBox>
#include <QWidget>

#include "hart/tr.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;
namespace {

using namespace build;

constexpr int kUpDownWidth = 56;

void build3051(QWidget* page) {
    QGroupBox* g =
        group(page, "GroupBox13", Tr::tr("罗斯蒙特3051 差压变送器设置零点"), 8, 8, 620, 64);
    button(g, "Button42", Tr::tr("差压变送器校零点"), 16, kGroupTop + 8, 160);
}

void buildSmv(QWidget* page) {
    QGroupBox* outer =
        group(page, "GroupBox14", Tr::tr("罗斯蒙特300SMV 多变量参数设置"), 8, 80, 620, 228);

    QGroupBox* g = group(outer, "GroupBox15", Tr::tr("变量输出配置:"), 8, 20, 250, 198);
    struct Mapping {
        const char* caption;
        const char* box;
    };
    constexpr Mapping kMappings[] = {
        {Tr::tr("变量1:"), "ComboBox23"},
        {Tr::tr("变量2:"), "ComboBox24"},
        {Tr::tr("变量3:"), "ComboBox25"},
        {Tr::tr("变量4:"), "ComboBox26"},
    };
    int y = kGroupTop;
    for (const Mapping& m : kMappings) {
        label(g, m.caption, 10, y, 46);
        combo(g, m.box, 58, y, 180, boxItems(m.box), Typing::Off, 0);
        y += kRowPitch;
    }
    y += 14;
    button(g, "Button44", Tr::tr("上传"), 238 - 2 * kUpDownWidth - 6, y, kUpDownWidth);
    button(g, "Button45", Tr::tr("下传"), 238 - kUpDownWidth, y, kUpDownWidth);

    // The totalizer and flow rate boxes also count typed text as "on", so they accept typing.
    g = group(outer, "GroupBox17", Tr::tr("显示屏显示内容"), 266, 20, 346, 198);
    struct Display {
        const char* caption;
        const char* box;
        Typing typing;
    };
    constexpr Display kDisplay[] = {
        {"Differ_Pressure:", "ComboBox27", Typing::Off},
        {"Abso_Pressure:", "ComboBox28", Typing::Off},
        {"Gage_Pressure:", "ComboBox29", Typing::Off},
        {"Output(%Rang):", "ComboBox30", Typing::Off},
        {"Module_Temper:", "ComboBox31", Typing::Off},
        {"Proces_Temper:", "ComboBox32", Typing::Off},
        {"Totalizer:", "ComboBox33", Typing::On},
        {"Flow_Rate:", "ComboBox34", Typing::On},
    };
    for (int i = 0; i < 8; ++i) {
        const int x = 10 + (i / 4) * 168;
        const int row = kGroupTop + (i % 4) * kRowPitch;
        label(g, kDisplay[i].caption, x, row, 104);
        combo(g, kDisplay[i].box, x + 104, row, 56, boxItems(kDisplay[i].box), kDisplay[i].typing,
              0);
    }
    y = kGroupTop + 4 * kRowPitch + 14;
    button(g, "Button47", Tr::tr("上传"), 334 - 2 * kUpDownWidth - 6, y, kUpDownWidth);
    button(g, "Button46", Tr::tr("下传"), 334 - kUpDownWidth, y, kUpDownWidth);
}

void buildEja(QWidget* page) {
    QGroupBox* g = group(page, "GroupBox18", Tr::tr("EJA表差压变送器调零及显示"), 638, 8, 332, 300);
    constexpr int kField = 100;
    int y = kGroupTop;
    label(g, Tr::tr("显示内容:"), 12, y, 86);
    for (const char* box : {"EJAXIANS1", "EJAXIANS2", "EJAXIANS3", "EJAXIANS4"}) {
        combo(g, box, kField, y, 130, boxItems(box), Typing::Off, 0);
        y += kRowPitch;
    }
    button(g, "Button48", Tr::tr("上传"), kField + 130 - 2 * kUpDownWidth - 6, y, kUpDownWidth);
    button(g, "Button49", Tr::tr("下传"), kField + 130 - kUpDownWidth, y, kUpDownWidth);

    y += kRowPitch + 16;
    label(g, Tr::tr("设零点模式:"), 12, y, 86);
    combo(g, "EJAMODEM", kField, y, 130, boxItems("EJAMODEM"), Typing::Off, 0);
    y += kRowPitch;
    label(g, Tr::tr("零点切除%："), 12, y, 86);
    edit(g, "EJAlingdian", kField, y, 130, "EJAlingdian");
    y += kRowPitch;
    button(g, "Button50", Tr::tr("上传"), kField + 130 - 2 * kUpDownWidth - 6, y, kUpDownWidth);
    button(g, "Button51", Tr::tr("下传"), kField + 130 - kUpDownWidth, y, kUpDownWidth);
}

}  // namespace

void buildPressure(QWidget* page) {
    build3051(page);
    buildSmv(page);
    buildEja(page);
}

}  // namespace ui::pages
