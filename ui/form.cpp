#include "ui/form.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "hart/tr.h"
#include "ui/click_label.h"
#include "ui/form_access.h"
#include "ui/form_build.h"
#include "ui/pages.h"

namespace ui {

using hart::Tr;
namespace {

using namespace build;

constexpr int kWindowWidth = 1003;
// One row below the status bar for the instrument's own status.
constexpr int kWindowHeight = 651;
constexpr const char* kTitle = Tr::tr("HART 智能仪表配置工具");
constexpr const char* kVersion = "V1.0";

struct PageEntry {
    const char* name;
    const char* caption;
    void (*build)(QWidget*);
};

// Pages of PageControl2 in tab order; the captions keep their trailing blanks. The last one
// holds the later revisions' commands.
constexpr PageEntry kPages[] = {
    {"TabSheet6", Tr::tr("联机测试   "), pages::buildOnline},
    {"TabSheet7", Tr::tr("仪表输入输出校正  "), pages::buildCalibration},
    {"TabSheet8", Tr::tr("仪表基本参数设置  "), pages::buildParameters},
    {"TabSheet9", Tr::tr("仪表基本信息"), pages::buildInformation},
    {"TabSheet3", Tr::tr(" 温度变送器参数配置"), pages::buildTemperature},
    {"TabSheet1", Tr::tr("差压及多变量变送器"), pages::buildPressure},
    {"TabSheet4", Tr::tr("VT420-K(II)接线示意图"), pages::buildWiringII},
    {"TabSheet2", Tr::tr("VT420-K(I)接线图)"), pages::buildWiringI},
    {"Hart7Page", "HART 7", pages::buildHart7},
};

QFont formFont() {
    QFont font;
    // Arial for Latin text; the fallbacks carry the Chinese captions.
    font.setFamilies({"Arial", "WenQuanYi Micro Hei", "Noto Sans CJK SC"});
    font.setPointSize(8);
    font.setBold(true);
    return font;
}

void buildTitleAndConnection(QWidget* root) {
    QLabel* title = label(root, kTitle, 12, 6, 420, "Label1");
    QFont big = title->font();
    big.setPointSize(16);
    title->setFont(big);
    title->setGeometry(12, 6, 420, 32);
    label(root, kVersion, 440, 16, 60, "Label2");

    auto* port = new ClickLabel(Tr::tr("IP连或者COM号:"), root);
    port->setObjectName("Label4");
    port->setGeometry(590, 13, 112, kFieldHeight);
    port->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    QStringList ports;
    for (int n = 1; n <= 9; ++n) ports.append(QStringLiteral("COM%1").arg(n));
    combo(root, "SPREALCOM", 708, 13, 110, ports, Typing::On, -1, "COM3");
    button(root, "Button1", Tr::tr("打开串口"), 830, 13, 100);
}

// Every page's tab, with the first page's controls.
void buildFirstPage(QWidget* root) {
    auto* tabs = new QTabWidget(root);
    tabs->setObjectName("PageControl2");
    tabs->setGeometry(8, 42, 987, 424);
    // Captions once every tab is in: each tab added with its caption lays out and measures
    // all the captions before it again.
    for (const PageEntry& entry : kPages) page(tabs, entry.name, {});
    for (int i = 0; i < tabs->count(); ++i) tabs->setTabText(i, kPages[i].caption);
    kPages[0].build(tabs->widget(0));
    tabs->setCurrentIndex(0);
}

void buildEchoAndLog(QWidget* root) {
    label(root, Tr::tr("发送HART命令:"), 12, 472, 96);
    edit(root, "discomm", 112, 472, 883);

    label(root, Tr::tr("接收数据区:"), 12, 500, 96);
    auto* log = new QPlainTextEdit(root);
    log->setObjectName("Memo8");
    log->setGeometry(112, 500, 773, 88);
    log->setLineWrapMode(QPlainTextEdit::NoWrap);
    log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    button(root, "Button58", Tr::tr("清除内容"), 895, 501, 100);
}

void buildStatusPanel(QWidget* root) {
    auto* panel = new QFrame(root);
    panel->setObjectName("Panel1");
    panel->setGeometry(8, 594, 987, 26);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    label(panel, Tr::tr("发送字数:"), 8, 2, 64);
    label(panel, {}, 76, 2, 80, "Label56");
    label(panel, Tr::tr("接收字节数:"), 170, 2, 76);
    label(panel, {}, 250, 2, 80, "Label67");
    label(panel, Tr::tr("传输状态:"), 344, 2, 64);
    label(panel, {}, 412, 2, 568, "Label68");
}

// The instrument's own status under the status line; the button shows only while the
// instrument reports more status.
void buildDeviceStatusRow(QWidget* root) {
    label(root, {}, 12, 624, 300, "DeviceStatusLabel");
    label(root, {}, 316, 624, 260, "HartFactsLabel");
    button(root, "ReadMoreStatusButton", Tr::tr("读取更多状态"), 580, 623, 100)->hide();
    label(root, Tr::tr("附加状态:"), 690, 624, 64);
    label(root, {}, 758, 624, 237, "MoreStatusLabel");
}

}  // namespace

void buildForm(QMainWindow* window) {
    buildFormFront(window);
    buildHiddenPages(window);
}

void buildFormFront(QMainWindow* window) {
    window->setWindowTitle(kTitle);
    window->setFont(formFont());
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(0x87, 0xCE, 0xEB));
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    auto* root = new QWidget(window);
    window->setCentralWidget(root);
    window->resize(kWindowWidth, kWindowHeight);

    buildTitleAndConnection(root);
    buildFirstPage(root);
    buildEchoAndLog(root);
    buildStatusPanel(root);
    buildDeviceStatusRow(root);
}

void buildHiddenPages(QMainWindow* window) {
    auto* tabs = window->findChild<QTabWidget*>("PageControl2");
    for (int i = 1; i < tabs->count(); ++i) kPages[i].build(tabs->widget(i));
    // Names and the Tab order need every control.
    makeAccessible(window->centralWidget());
}

}  // namespace ui
