// The HART 7 page: long tag and finding an instrument by tag, loop configuration, device
// actions, the device-variable table, variable mapping and burst messages. Three pages of
// their own inside it, since the commands do not fit one page of the form's size.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QWidget>
#include <string>

#include "hart/tr.h"
#include "ops/hart7.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;
namespace {

using namespace build;
namespace h7 = ops::hart7;

// The names are literals: their views end in a NUL.
const char* n(std::string_view name) {
    return name.data();
}

constexpr int kButton = 64;

QLabel* valueLabel(QWidget* parent, const std::string& name, int x, int y, int w,
                   const QString& accessible) {
    QLabel* l = label(parent, {}, x, y, w, name.c_str());
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAccessibleName(accessible);
    return l;
}

void buildTagPage(QWidget* page) {
    QGroupBox* g = group(page, "Hart7LongTagGroup", Tr::tr("长位号"), 8, 6, 470, 62);
    int y = kGroupTop + 6;
    label(g, Tr::tr("长位号:"), 12, y, 60);
    edit(g, n(h7::kLongTagEdit), 76, y, 240);
    button(g, n(h7::kReadLongTagButton), Tr::tr("上  传"), 324, y, kButton);
    button(g, n(h7::kWriteLongTagButton), Tr::tr("下  传"), 396, y, kButton);

    g = group(page, "Hart7FindGroup", Tr::tr("按标记查找仪表"), 8, 74, 470, 90);
    y = kGroupTop + 6;
    label(g, Tr::tr("标记:"), 12, y, 60);
    edit(g, n(h7::kFindTagEdit), 76, y, 120);
    button(g, n(h7::kFindTagButton), Tr::tr("按标记查找"), 324, y, 136);
    y += kRowPitch;
    label(g, Tr::tr("长位号:"), 12, y, 60);
    edit(g, n(h7::kFindLongTagEdit), 76, y, 240);
    button(g, n(h7::kFindLongTagButton), Tr::tr("按长位号查找"), 324, y, 136);

    g = group(page, "Hart7LoopGroup", Tr::tr("回路配置"), 8, 170, 470, 90);
    y = kGroupTop + 6;
    label(g, Tr::tr("地址号(0-63):"), 12, y, 96);
    edit(g, n(h7::kPollingAddressEdit), 112, y, 50);
    label(g, Tr::tr("回路电流:"), 176, y, 70);
    combo(g, n(h7::kLoopCurrentModeBox), 250, y, 130, boxItems(h7::kLoopCurrentModeBox),
          Typing::Off);
    y += kRowPitch;
    button(g, n(h7::kReadLoopConfigButton), Tr::tr("上  传"), 112, y, kButton);
    button(g, n(h7::kWritePollingAddressButton), Tr::tr("下  传"), 184, y, kButton);

    g = group(page, "Hart7UnitGroup", Tr::tr("国家代码与过程单元标记"), 486, 6, 470, 90);
    y = kGroupTop + 6;
    label(g, Tr::tr("国家代码:"), 12, y, 90);
    edit(g, n(h7::kCountryCodeEdit), 106, y, 50);
    auto* si = new QCheckBox(QString(Tr::tr("仅用SI单位")), g);
    si->setObjectName(n(h7::kSiUnitsOnlyCheck));
    si->setGeometry(170, y, 140, kFieldHeight);
    button(g, n(h7::kReadCountryButton), Tr::tr("上  传"), 324, y, kButton);
    button(g, n(h7::kWriteCountryButton), Tr::tr("下  传"), 396, y, kButton);
    y += kRowPitch;
    label(g, Tr::tr("过程单元标记:"), 12, y, 90);
    edit(g, n(h7::kProcessUnitTagEdit), 106, y, 210);
    button(g, n(h7::kReadProcessUnitTagButton), Tr::tr("上  传"), 324, y, kButton);
    button(g, n(h7::kWriteProcessUnitTagButton), Tr::tr("下  传"), 396, y, kButton);

    g = group(page, "Hart7ActionsGroup", Tr::tr("仪表操作"), 486, 102, 470, 118);
    y = kGroupTop + 6;
    button(g, n(h7::kSquawkButton), Tr::tr("仪表识别闪烁"), 12, y, 140);
    button(g, n(h7::kSelfTestButton), Tr::tr("仪表自检"), 164, y, 140);
    button(g, n(h7::kDeviceResetButton), Tr::tr("仪表复位"), 316, y, 140);
    y += kRowPitch + 4;
    button(g, n(h7::kResetConfigChangedButton), Tr::tr("清除组态变更标志"), 12, y, 180);
    y += kRowPitch + 4;
    label(g, Tr::tr("应答前导符数(5-20):"), 12, y, 150);
    edit(g, n(h7::kResponsePreamblesEdit), 166, y, 50);
    button(g, n(h7::kWritePreamblesButton), Tr::tr("下  传"), 230, y, kButton);
}

void buildVariableTable(QWidget* page) {
    QGroupBox* g = group(page, "Hart7VariablesGroup", Tr::tr("设备变量"), 8, 6, 556, 330);
    struct Column {
        h7::Column column;
        const char* caption;
        int width;
    };
    constexpr Column kColumns[] = {
        {h7::Column::Code, Tr::tr("代码"), 40},    {h7::Column::Classification, Tr::tr("分类"), 90},
        {h7::Column::Value, Tr::tr("数值"), 90},   {h7::Column::Unit, Tr::tr("单位"), 80},
        {h7::Column::Status, Tr::tr("状态"), 110}, {h7::Column::Limit, Tr::tr("限值状态"), 100},
    };
    int y = kGroupTop;
    int x = 12;
    for (const Column& c : kColumns) {
        label(g, c.caption, x, y, c.width);
        x += c.width + 4;
    }
    for (std::size_t slot = 0; slot < h7::kDeviceVariableSlots; ++slot) {
        y += 24;
        x = 12;
        for (const Column& c : kColumns) {
            const QString name =
                QString(Tr::tr("设备变量%1 %2")).arg(slot + 1).arg(QString::fromUtf8(c.caption));
            valueLabel(g, h7::deviceVariableCell(slot, c.column), x, y, c.width, name);
            x += c.width + 4;
        }
    }
    y += kRowPitch + 6;
    label(g, Tr::tr("变量代码:"), 12, y, 70);
    edit(g, n(h7::kDeviceVariableCodesEdit), 86, y, 150);
    label(g, Tr::tr("(空格分隔, 空为 0 1 2 3)"), 242, y, 180);
    button(g, n(h7::kReadDeviceVariablesButton), Tr::tr("刷新"), 430, y, 100);
    y += kRowPitch;
    label(g, Tr::tr("时间:"), 12, y, 40);
    valueLabel(g, std::string(h7::kDeviceVariableTime), 56, y, 120, QString(Tr::tr("时间")));
    label(g, Tr::tr("扩展状态:"), 190, y, 70);
    valueLabel(g, std::string(h7::kExtendedStatusLabel), 264, y, 266, QString(Tr::tr("扩展状态")));
}

void buildMapping(QWidget* page) {
    QGroupBox* g = group(page, "Hart7MappingGroup", Tr::tr("动态变量映射"), 572, 6, 384, 150);
    constexpr const char* kCaptions[] = {"PV:", "SV:", "TV:", "QV:"};
    int y = kGroupTop;
    for (std::size_t i = 0; i < h7::kMappingEdits.size(); ++i) {
        label(g, kCaptions[i], 12, y, 30);
        edit(g, n(h7::kMappingEdits[i]), 46, y, 50);
        label(g, Tr::tr("分类:"), 110, y, 40);
        valueLabel(g, std::string(h7::kClassLabels[i]), 154, y, 150,
                   QString(Tr::tr("%1 分类")).arg(QString::fromUtf8(kCaptions[i]).chopped(1)));
        y += 24;
    }
    y += 4;
    button(g, n(h7::kReadMappingButton), Tr::tr("上  传"), 46, y, kButton);
    button(g, n(h7::kWriteMappingButton), Tr::tr("下  传"), 118, y, kButton);
    button(g, n(h7::kReadClassificationsButton), Tr::tr("读取分类"), 190, y, 100);
}

void buildVariable(QWidget* page) {
    QGroupBox* g = group(page, "Hart7VariableGroup", Tr::tr("单个设备变量"), 572, 160, 384, 196);
    int y = kGroupTop;
    label(g, Tr::tr("变量代码:"), 12, y, 70);
    edit(g, n(h7::kVariableCodeEdit), 86, y, 50);
    button(g, n(h7::kReadVariableInfoButton), Tr::tr("上  传"), 150, y, kButton);
    y += 26;
    label(g, Tr::tr("单位:"), 12, y, 70);
    combo(g, n(h7::kVariableUnitBox), 86, y, 190, boxItems(h7::kVariableUnitBox), Typing::Off);
    button(g, n(h7::kWriteVariableUnitButton), Tr::tr("下  传"), 290, y, kButton);
    y += 26;
    label(g, Tr::tr("阻尼时间:"), 12, y, 70);
    edit(g, n(h7::kVariableDampingEdit), 86, y, 70);
    button(g, n(h7::kWriteVariableDampingButton), Tr::tr("下  传"), 290, y, kButton);

    struct Info {
        std::string_view name;
        const char* caption;
    };
    constexpr Info kInfo[] = {
        {h7::kVariableSerialLabel, Tr::tr("传感器序列号:")},
        {h7::kVariableClassLabel, Tr::tr("分类:")},
        {h7::kVariableUpperLimitLabel, Tr::tr("上限:")},
        {h7::kVariableFamilyLabel, Tr::tr("族:")},
        {h7::kVariableLowerLimitLabel, Tr::tr("下限:")},
        {h7::kVariablePeriodLabel, Tr::tr("更新周期:")},
        {h7::kVariableMinSpanLabel, Tr::tr("最小量程:")},
        {h7::kVariablePropertiesLabel, Tr::tr("属性:")},
    };
    y += 2;
    for (std::size_t i = 0; i < std::size(kInfo); ++i) {
        const int x = i % 2 == 0 ? 12 : 196;
        if (i % 2 == 0) y += 24;
        label(g, kInfo[i].caption, x, y, 84);
        valueLabel(g, std::string(kInfo[i].name), x + 86, y, 90,
                   QString::fromUtf8(kInfo[i].caption));
    }
}

void buildBurstPage(QWidget* page) {
    QGroupBox* g = group(page, "Hart7BurstGroup", Tr::tr("突发消息配置"), 8, 6, 948, 150);
    int y = kGroupTop + 6;
    label(g, Tr::tr("消息号:"), 12, y, 60);
    edit(g, n(h7::kBurstMessageEdit), 76, y, 40);
    button(g, n(h7::kReadBurstConfigButton), Tr::tr("上  传"), 126, y, kButton);
    label(g, Tr::tr("最多消息数:"), 210, y, 84);
    valueLabel(g, std::string(h7::kBurstMaxMessagesLabel), 298, y, 40,
               QString(Tr::tr("最多消息数")));
    label(g, Tr::tr("突发状态:"), 360, y, 70);
    combo(g, n(h7::kBurstControlBox), 434, y, 160, boxItems(h7::kBurstControlBox), Typing::Off);
    button(g, n(h7::kWriteBurstControlButton), Tr::tr("下  传"), 604, y, kButton);

    y += kRowPitch;
    label(g, Tr::tr("命令号:"), 12, y, 60);
    edit(g, n(h7::kBurstCommandEdit), 76, y, 50);
    button(g, n(h7::kWriteBurstCommandButton), Tr::tr("下  传"), 136, y, kButton);
    label(g, Tr::tr("设备变量代码:"), 210, y, 96);
    edit(g, n(h7::kBurstVariablesEdit), 310, y, 284);
    button(g, n(h7::kWriteBurstVariablesButton), Tr::tr("下  传"), 604, y, kButton);

    y += kRowPitch;
    label(g, Tr::tr("更新周期(秒):"), 12, y, 96);
    edit(g, n(h7::kBurstUpdatePeriodEdit), 112, y, 70);
    label(g, Tr::tr("最大周期(秒):"), 210, y, 96);
    edit(g, n(h7::kBurstMaxPeriodEdit), 310, y, 70);
    button(g, n(h7::kWriteBurstPeriodButton), Tr::tr("下  传"), 604, y, kButton);

    y += kRowPitch;
    label(g, Tr::tr("触发方式:"), 12, y, 70);
    combo(g, n(h7::kBurstTriggerModeBox), 86, y, 116, boxItems(h7::kBurstTriggerModeBox),
          Typing::Off);
    label(g, Tr::tr("分类:"), 210, y, 40);
    edit(g, n(h7::kBurstTriggerClassEdit), 254, y, 40);
    label(g, Tr::tr("单位:"), 302, y, 40);
    combo(g, n(h7::kBurstTriggerUnitBox), 346, y, 150, boxItems(h7::kBurstTriggerUnitBox),
          Typing::Off);
    label(g, Tr::tr("触发值:"), 504, y, 50);
    edit(g, n(h7::kBurstTriggerLevelEdit), 556, y, 40);
    button(g, n(h7::kWriteBurstTriggerButton), Tr::tr("下  传"), 604, y, kButton);
}

void buildBurstTable(QWidget* page) {
    QGroupBox* g = group(page, "Hart7BurstTableGroup", Tr::tr("突发消息表"), 8, 160, 948, 202);
    struct Column {
        h7::BurstColumn column;
        const char* caption;
        int width;
    };
    constexpr Column kColumns[] = {
        {h7::BurstColumn::Message, Tr::tr("消息号"), 64},
        {h7::BurstColumn::Command, Tr::tr("命令号"), 64},
        {h7::BurstColumn::Variables, Tr::tr("设备变量代码"), 150},
        {h7::BurstColumn::Update, Tr::tr("更新周期(秒)"), 90},
        {h7::BurstColumn::Maximum, Tr::tr("最大周期(秒)"), 90},
        {h7::BurstColumn::Trigger, Tr::tr("触发方式"), 100},
        {h7::BurstColumn::Level, Tr::tr("触发值"), 140},
        {h7::BurstColumn::Mode, Tr::tr("突发状态"), 120},
    };
    static_assert(std::size(kColumns) == h7::kBurstColumns);
    int y = kGroupTop - 4;
    int x = 12;
    for (const Column& c : kColumns) {
        label(g, c.caption, x, y, c.width);
        x += c.width + 4;
    }
    button(g, n(h7::kRefreshBurstTableButton), Tr::tr("刷新"), x + 4, y, 70);
    y += 2;  // the captions are a field high, the rows less
    for (std::size_t row = 0; row < h7::kBurstTableRows; ++row) {
        y += 20;
        x = 12;
        for (const Column& c : kColumns) {
            const QString name =
                QString(Tr::tr("突发消息%1 %2")).arg(row).arg(QString::fromUtf8(c.caption));
            valueLabel(g, h7::burstTableCell(row, c.column), x, y, c.width, name)
                ->setFixedHeight(18);
            x += c.width + 4;
        }
    }
}

}  // namespace

void buildHart7(QWidget* page) {
    auto* tabs = new QTabWidget(page);
    tabs->setObjectName(QStringLiteral("Hart7Tabs"));
    tabs->setGeometry(4, 4, 972, 390);
    buildTagPage(build::page(tabs, "Hart7TagPage", QString(Tr::tr("位号与回路"))));
    QWidget* variables = build::page(tabs, "Hart7VariablesPage", QString(Tr::tr("设备变量")));
    buildVariableTable(variables);
    buildMapping(variables);
    buildVariable(variables);
    QWidget* burst = build::page(tabs, "Hart7BurstPage", QString(Tr::tr("突发消息")));
    buildBurstPage(burst);
    buildBurstTable(burst);
    tabs->setCurrentIndex(0);
}

}  // namespace ui::pages
