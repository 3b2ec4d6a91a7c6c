// Basic information page: message, tag, descriptor, date, serial and assembly numbers,
// polling address, and the store/restore buttons.
#include <QComboBox>
#include <QWidget>

#include "hart/tr.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui::pages {

using hart::Tr;

void buildInformation(QWidget* page) {
    using namespace build;
    constexpr int kCaption = 24;
    constexpr int kField = 130;
    constexpr int kUpload = 620;
    constexpr int kDownload = 720;
    constexpr int kButton = 90;

    int y = 20;
    label(page, Tr::tr("设备信息:"), kCaption, y, 100);
    edit(page, "Edit21", kField, y, 340);
    label(page, Tr::tr("最多32个字符"), kField + 350, y, 110);
    button(page, "Button28", Tr::tr("上  传"), kUpload, y, kButton);
    button(page, "Button29", Tr::tr("下  传"), kDownload, y, kButton);

    // Tag, descriptor and date travel together and share one pair of buttons.
    y += 40;
    label(page, Tr::tr("标记:"), kCaption, y, 100);
    edit(page, "Edit22", kField, y, 120);
    label(page, Tr::tr("最多8个字符"), kField + 350, y, 110);
    y += kRowPitch + 4;
    label(page, Tr::tr("模述符:"), kCaption, y, 100);
    edit(page, "Edit23", kField, y, 220);
    label(page, Tr::tr("最多16个字符"), kField + 350, y, 110);
    button(page, "Button32", Tr::tr("上  传"), kUpload, y, kButton);
    button(page, "Button33", Tr::tr("下  传"), kDownload, y, kButton);
    y += kRowPitch + 4;
    label(page, Tr::tr("出厂日期:"), kCaption, y, 100);
    edit(page, "Edit24", kField, y, 60);
    label(page, Tr::tr("年"), kField + 64, y, 20);
    edit(page, "Edit25", kField + 90, y, 40);
    label(page, Tr::tr("月"), kField + 134, y, 20);
    edit(page, "Edit29", kField + 160, y, 40);
    label(page, Tr::tr("日"), kField + 204, y, 20);

    y += 48;
    label(page, Tr::tr("传感器序列号:"), kCaption, y, 100);
    edit(page, "Edit28", kField, y, 160);
    button(page, "Button7", Tr::tr("上  传"), kUpload, y, kButton);
    button(page, "Button37", Tr::tr("下  传"), kDownload, y, kButton);

    y += kRowPitch + 12;
    label(page, Tr::tr("装配号:"), kCaption, y, 100);
    edit(page, "Edit26", kField, y, 160);
    button(page, "Button38", Tr::tr("上  传"), kUpload, y, kButton);
    button(page, "Button39", Tr::tr("下  传"), kDownload, y, kButton);

    y += kRowPitch + 12;
    label(page, Tr::tr("短帧地修改:"), kCaption, y, 100);
    combo(page, "ComboBox3", kField, y, 70, boxItems("ComboBox3"), Typing::Off);
    button(page, "Button27", Tr::tr("下  传"), kDownload, y, kButton);

    y += 56;
    button(page, "Button21", Tr::tr("备份传感器数据"), kField, y, 150);
    button(page, "Button22", Tr::tr("恢复出厂设置"), kField + 170, y, 150);
}

}  // namespace ui::pages
