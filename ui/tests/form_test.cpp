#include "ui/form.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <memory>
#include <vector>

#include "ui/click_label.h"

namespace {

class FormTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "form_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr) app_ = new QApplication(argc, argv);
        window_ = new QMainWindow;
        ui::buildForm(window_);
        window_->show();  // lays out the page controls, so pages get their real size
        QApplication::processEvents();
    }
    static void TearDownTestSuite() {
        delete window_;
        window_ = nullptr;
    }

    template <typename T>
    static T* find(const char* name) {
        return window_->findChild<T*>(QString::fromUtf8(name));
    }

    static QApplication* app_;
    static QMainWindow* window_;
};

QApplication* FormTest::app_ = nullptr;
QMainWindow* FormTest::window_ = nullptr;

enum class Kind { Label, Edit, Combo, Button, Radio, Group, Memo, Tabs, Frame };

struct Control {
    const char* name;
    Kind kind;
    const char* text;  // caption, title, initial text or current item; nullptr: not fixed
    const char* page;  // nearest page holding the control; "" outside the page controls
};

// Every named control with its type, design-time text and page.
const Control kControls[] = {
    {"Label1", Kind::Label, nullptr, ""},
    {"Label2", Kind::Label, nullptr, ""},
    {"Label4", Kind::Label, "IP连或者COM号:", ""},
    {"SPREALCOM", Kind::Combo, "COM3", ""},
    {"Button1", Kind::Button, "打开串口", ""},
    {"PageControl2", Kind::Tabs, nullptr, ""},
    {"discomm", Kind::Edit, "", ""},
    {"Memo8", Kind::Memo, nullptr, ""},
    {"Button58", Kind::Button, "清除内容", ""},
    {"Panel1", Kind::Frame, nullptr, ""},
    {"Label56", Kind::Label, "", ""},
    {"Label67", Kind::Label, "", ""},
    {"Label68", Kind::Label, "", ""},
    {"DeviceStatusLabel", Kind::Label, "", ""},
    {"ReadMoreStatusButton", Kind::Button, "读取更多状态", ""},
    {"MoreStatusLabel", Kind::Label, "", ""},

    {"GroupBox1", Kind::Group, "HART智能仪表设备基本信息", "TabSheet6"},
    {"ComboBox9", Kind::Combo, "0", "TabSheet6"},
    {"ComboBox8", Kind::Combo, "HART_modem 主设备用", "TabSheet6"},
    {"Edit1", Kind::Edit, "", "TabSheet6"},
    {"Edit2", Kind::Edit, "", "TabSheet6"},
    {"Edit3", Kind::Edit, "", "TabSheet6"},
    {"Edit4", Kind::Edit, "", "TabSheet6"},
    {"Button3", Kind::Button, "HART 0号地址查询", "TabSheet6"},
    {"Button16", Kind::Button, "HART 0-15地址轮巡检测", "TabSheet6"},
    {"Label33", Kind::Label, "", "TabSheet6"},
    {"GroupBox7", Kind::Group, "HART智能仪表实时数据", "TabSheet6"},
    {"Edit6", Kind::Edit, "", "TabSheet6"},
    {"Edit20", Kind::Edit, nullptr, "TabSheet6"},
    {"Edit5", Kind::Edit, "", "TabSheet6"},
    {"Edit17", Kind::Edit, "", "TabSheet6"},
    {"Edit18", Kind::Edit, "", "TabSheet6"},
    {"Edit30", Kind::Edit, nullptr, "TabSheet6"},
    {"ComboBox5", Kind::Combo, "", "TabSheet6"},
    {"ComboBox15", Kind::Combo, "", "TabSheet6"},
    {"ComboBox16", Kind::Combo, "", "TabSheet6"},
    {"ComboBox6", Kind::Combo, "", "TabSheet6"},
    {"Button34", Kind::Button, "当前电流查询", "TabSheet6"},
    {"Button4", Kind::Button, "仪表实时数查询", "TabSheet6"},
    {"GroupBox16", Kind::Group, nullptr, "TabSheet6"},
    {"Edit8", Kind::Edit, nullptr, "TabSheet6"},
    {"Button17", Kind::Button, "发送", "TabSheet6"},

    {"GroupBox2", Kind::Group, "电流输出", "TabSheet7"},
    {"RadioButton1", Kind::Radio, "4mA 输 出", "TabSheet7"},
    {"RadioButton2", Kind::Radio, "8mA 输 出", "TabSheet7"},
    {"RadioButton3", Kind::Radio, "12mA 输 出", "TabSheet7"},
    {"RadioButton4", Kind::Radio, "16mA 输 出", "TabSheet7"},
    {"RadioButton5", Kind::Radio, "20mA 输 出", "TabSheet7"},
    {"RadioButton6", Kind::Radio, "其 他 输 出:", "TabSheet7"},
    {"RadioButton7", Kind::Radio, "退出固定出模式", "TabSheet7"},
    {"Edit7", Kind::Edit, "", "TabSheet7"},
    {"Button6", Kind::Button, "下  传", "TabSheet7"},
    {"GroupBox3", Kind::Group, "电流输出校准", "TabSheet7"},
    {"Edit9", Kind::Edit, nullptr, "TabSheet7"},
    {"Button15", Kind::Button, nullptr, "TabSheet7"},
    {"Edit10", Kind::Edit, nullptr, "TabSheet7"},
    {"Button30", Kind::Button, nullptr, "TabSheet7"},
    {"Button25", Kind::Button, "校准4mA", "TabSheet7"},
    {"Button26", Kind::Button, "校准20mA", "TabSheet7"},
    {"GroupBox10", Kind::Group, "仪表显示值调整", "TabSheet7"},
    {"Button23", Kind::Button, "零点调整", "TabSheet7"},
    {"Edit13", Kind::Edit, "", "TabSheet7"},
    {"Button24", Kind::Button, nullptr, "TabSheet7"},
    {"Edit19", Kind::Edit, "", "TabSheet7"},
    {"Button31", Kind::Button, nullptr, "TabSheet7"},
    {"Label83", Kind::Label, "数值单位则为是主变量的单位", "TabSheet7"},

    {"GroupBox5", Kind::Group, "测量范围及精度", "TabSheet8"},
    {"Edit11", Kind::Edit, "", "TabSheet8"},
    {"Edit12", Kind::Edit, "", "TabSheet8"},
    {"ComboBox10", Kind::Combo, "", "TabSheet8"},
    {"Button5", Kind::Button, "上  传", "TabSheet8"},
    {"GroupBox6", Kind::Group, "信号状态", "TabSheet8"},
    {"ComboBox1", Kind::Combo, "", "TabSheet8"},
    {"Button8", Kind::Button, "下  传", "TabSheet8"},
    {"Edit14", Kind::Edit, "", "TabSheet8"},
    {"Edit15", Kind::Edit, "", "TabSheet8"},
    {"Button12", Kind::Button, "下  传", "TabSheet8"},
    {"Edit16", Kind::Edit, "", "TabSheet8"},
    {"Button10", Kind::Button, "下  传", "TabSheet8"},
    {"ComboBox2", Kind::Combo, "", "TabSheet8"},
    {"Button14", Kind::Button, "下  传", "TabSheet8"},
    {"Label51", Kind::Label, "", "TabSheet8"},
    {"Button13", Kind::Button, "上传数据", "TabSheet8"},
    {"GroupBox4", Kind::Group, "阵发模式测试", "TabSheet8"},
    {"ComboBox11", Kind::Combo, "1", "TabSheet8"},
    {"Button20", Kind::Button, "设置阵发指令号", "TabSheet8"},
    {"Button19", Kind::Button, "进入阵发模式", "TabSheet8"},
    {"Button9", Kind::Button, "退出阵发模式", "TabSheet8"},
    {"GroupBox8", Kind::Group, "传感器信息", "TabSheet8"},
    {"ComboBox4", Kind::Combo, "", "TabSheet8"},
    {"ComboBox12", Kind::Combo, "", "TabSheet8"},
    {"ComboBox13", Kind::Combo, "", "TabSheet8"},
    {"Button18", Kind::Button, nullptr, "TabSheet8"},

    {"Edit21", Kind::Edit, "", "TabSheet9"},
    {"Edit22", Kind::Edit, "", "TabSheet9"},
    {"Edit23", Kind::Edit, "", "TabSheet9"},
    {"Edit24", Kind::Edit, "", "TabSheet9"},
    {"Edit25", Kind::Edit, "", "TabSheet9"},
    {"Edit29", Kind::Edit, "", "TabSheet9"},
    {"Edit28", Kind::Edit, "", "TabSheet9"},
    {"Edit26", Kind::Edit, "", "TabSheet9"},
    {"ComboBox3", Kind::Combo, "", "TabSheet9"},
    {"Button28", Kind::Button, "上  传", "TabSheet9"},
    {"Button29", Kind::Button, "下  传", "TabSheet9"},
    {"Button32", Kind::Button, "上  传", "TabSheet9"},
    {"Button33", Kind::Button, "下  传", "TabSheet9"},
    {"Button7", Kind::Button, "上  传", "TabSheet9"},
    {"Button37", Kind::Button, "下  传", "TabSheet9"},
    {"Button38", Kind::Button, "上  传", "TabSheet9"},
    {"Button39", Kind::Button, "下  传", "TabSheet9"},
    {"Button27", Kind::Button, "下  传", "TabSheet9"},
    {"Button21", Kind::Button, "备份传感器数据", "TabSheet9"},
    {"Button22", Kind::Button, "恢复出厂设置", "TabSheet9"},

    {"PageControl1", Kind::Tabs, nullptr, "TabSheet3"},
    {"GroupBox11", Kind::Group, "罗斯蒙特644温度传感器及接线方式设置 ", "TabSheet11"},
    {"ComboBox17", Kind::Combo, "", "TabSheet11"},
    {"ComboBox18", Kind::Combo, "", "TabSheet11"},
    {"Button35", Kind::Button, "上传", "TabSheet11"},
    {"Button36", Kind::Button, "下传", "TabSheet11"},
    {"GroupBox12", Kind::Group, " 罗期蒙特848T 温度配置 ", "TabSheet11"},
    {"ComboBox19", Kind::Combo, "通道1", "TabSheet11"},
    {"ComboBox21", Kind::Combo, "", "TabSheet11"},
    {"ComboBox20", Kind::Combo, "", "TabSheet11"},
    {"ComboBox22", Kind::Combo, "degc", "TabSheet11"},
    {"Button41", Kind::Button, "上传", "TabSheet11"},
    {"Button40", Kind::Button, "下传", "TabSheet11"},
    {"Button43", Kind::Button, "下传", "TabSheet11"},
    {"GroupBox23", Kind::Group, "罗斯蒙特644RK温度传感器及接线方式设置 ", "TabSheet11"},
    {"ComboBox36", Kind::Combo, "", "TabSheet11"},
    {"ComboBox35", Kind::Combo, "", "TabSheet11"},
    {"Button70", Kind::Button, "上传", "TabSheet11"},
    {"Button69", Kind::Button, "下传", "TabSheet11"},
    {"GroupBox19", Kind::Group, "横河温度变送器", "TabSheet11"},
    {"HengHeTX", Kind::Combo, "HengHeTX", "TabSheet11"},
    {"HengHeFS", Kind::Combo, "2线制", "TabSheet11"},
    {"HengHeJXIAN", Kind::Edit, nullptr, "TabSheet11"},
    {"Button52", Kind::Button, "上传", "TabSheet11"},
    {"Button53", Kind::Button, "保存", "TabSheet11"},
    {"Button54", Kind::Button, "上传", "TabSheet11"},
    {"Button55", Kind::Button, "保存", "TabSheet11"},
    {"GroupBox20", Kind::Group, "E+H温度变送器", "TabSheet11"},
    {"TempBIAHO", Kind::Combo, "传感编号1", "TabSheet11"},
    {"EHTEMNX", Kind::Combo, nullptr, "TabSheet11"},
    {"EHTEMFS", Kind::Combo, nullptr, "TabSheet11"},
    {"EHPIANYI", Kind::Edit, nullptr, "TabSheet11"},
    {"POTMXU", Kind::Combo, "设置系数X0", "TabSheet11"},
    {"RTDxishu", Kind::Edit, nullptr, "TabSheet11"},
    {"CALL_ALP", Kind::Combo, "设置计数系数A", "TabSheet11"},
    {"CALL_ALP_XS", Kind::Edit, nullptr, "TabSheet11"},
    {"Button56", Kind::Button, "上传", "TabSheet11"},
    {"Button57", Kind::Button, " 保存", "TabSheet11"},
    {"Button59", Kind::Button, "上传", "TabSheet11"},
    {"Button60", Kind::Button, "保存", "TabSheet11"},
    {"Button65", Kind::Button, "上传", "TabSheet11"},
    {"Button66", Kind::Button, "保存", "TabSheet11"},
    {"Button61", Kind::Button, "保存", "TabSheet11"},
    {"Button62", Kind::Button, "保存", "TabSheet11"},
    {"GroupBox9", Kind::Group, "西门子温度变送器", "TabSheet12"},
    {"ComboBox7", Kind::Combo, nullptr, "TabSheet12"},
    {"Button2", Kind::Button, "上传", "TabSheet12"},
    {"Button11", Kind::Button, "下传", "TabSheet12"},
    {"GroupBox21", Kind::Group, "科隆TT50C", "TabSheet12"},
    {"TT50NEXING", Kind::Combo, "00 无", "TabSheet12"},
    {"TT50WAR", Kind::Combo, "00 无", "TabSheet12"},
    {"Button63", Kind::Button, "上传", "TabSheet12"},
    {"Button64", Kind::Button, "下传", "TabSheet12"},
    {"GroupBox22", Kind::Group, "ABBTTH200", "TabSheet12"},
    {"ABBTTH200NEIXING", Kind::Combo, "00 无", "TabSheet12"},
    {"ABBTTH200WAY", Kind::Combo, "00 无", "TabSheet12"},
    {"Button68", Kind::Button, "上传", "TabSheet12"},
    {"Button67", Kind::Button, "下传", "TabSheet12"},

    {"GroupBox13", Kind::Group, "罗斯蒙特3051 差压变送器设置零点", "TabSheet1"},
    {"Button42", Kind::Button, "差压变送器校零点", "TabSheet1"},
    {"GroupBox14", Kind::Group, "罗斯蒙特300SMV 多变量参数设置", "TabSheet1"},
    {"GroupBox15", Kind::Group, "变量输出配置:", "TabSheet1"},
    {"ComboBox23", Kind::Combo, "defferential pressure", "TabSheet1"},
    {"ComboBox24", Kind::Combo, "defferential pressure", "TabSheet1"},
    {"ComboBox25", Kind::Combo, "defferential pressure", "TabSheet1"},
    {"ComboBox26", Kind::Combo, "defferential pressure", "TabSheet1"},
    {"Button44", Kind::Button, "上传", "TabSheet1"},
    {"Button45", Kind::Button, "下传", "TabSheet1"},
    {"GroupBox17", Kind::Group, "显示屏显示内容", "TabSheet1"},
    {"ComboBox27", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox28", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox29", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox30", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox31", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox32", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox33", Kind::Combo, "OFF", "TabSheet1"},
    {"ComboBox34", Kind::Combo, "OFF", "TabSheet1"},
    {"Button47", Kind::Button, "上传", "TabSheet1"},
    {"Button46", Kind::Button, "下传", "TabSheet1"},
    {"GroupBox18", Kind::Group, "EJA表差压变送器调零及显示", "TabSheet1"},
    {"EJAXIANS1", Kind::Combo, "00Pres", "TabSheet1"},
    {"EJAXIANS2", Kind::Combo, "00Pres", "TabSheet1"},
    {"EJAXIANS3", Kind::Combo, "00Pres", "TabSheet1"},
    {"EJAXIANS4", Kind::Combo, "00Pres", "TabSheet1"},
    {"Button48", Kind::Button, "上传", "TabSheet1"},
    {"Button49", Kind::Button, "下传", "TabSheet1"},
    {"EJAMODEM", Kind::Combo, "0linear mode", "TabSheet1"},
    {"EJAlingdian", Kind::Edit, "EJAlingdian", "TabSheet1"},
    {"Button50", Kind::Button, "上传", "TabSheet1"},
    {"Button51", Kind::Button, "下传", "TabSheet1"},
};

bool hasKind(QWidget* w, Kind kind) {
    switch (kind) {
        case Kind::Label:
            return qobject_cast<QLabel*>(w) != nullptr;
        case Kind::Edit:
            return qobject_cast<QLineEdit*>(w) != nullptr;
        case Kind::Combo:
            return qobject_cast<QComboBox*>(w) != nullptr;
        case Kind::Button:
            return qobject_cast<QPushButton*>(w) != nullptr;
        case Kind::Radio:
            return qobject_cast<QRadioButton*>(w) != nullptr;
        case Kind::Group:
            return qobject_cast<QGroupBox*>(w) != nullptr;
        case Kind::Memo:
            return qobject_cast<QPlainTextEdit*>(w) != nullptr;
        case Kind::Tabs:
            return qobject_cast<QTabWidget*>(w) != nullptr;
        case Kind::Frame:
            return qobject_cast<QFrame*>(w) != nullptr;
    }
    return false;
}

QString textOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    return {};
}

// The nearest ancestor that is a page of one of the page controls.
QString pageOf(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (p->objectName().startsWith("TabSheet") || p->objectName().endsWith("Page"))
            return p->objectName();
    }
    return {};
}

TEST_F(FormTest, EveryControlExistsWithItsTypeTextAndPage) {
    for (const Control& c : kControls) {
        SCOPED_TRACE(c.name);
        auto* w = find<QWidget>(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(hasKind(w, c.kind)) << w->metaObject()->className();
        if (c.text != nullptr) {
            EXPECT_EQ(textOf(w), QString::fromUtf8(c.text));
        }
        EXPECT_EQ(pageOf(w), QString::fromUtf8(c.page));
    }
}

TEST_F(FormTest, ObjectNamesAreUniqueAndAllSeventyButtonsExist) {
    QSet<QString> seen;
    for (QObject* o : window_->findChildren<QObject*>()) {
        const QString name = o->objectName();
        // Qt names some internal children: viewports ("qt_" prefix), tab bar scroll buttons.
        if (name.isEmpty() || name.startsWith("qt_")) continue;
        if (qobject_cast<QTabBar*>(o->parent()) != nullptr) continue;
        EXPECT_FALSE(seen.contains(name)) << name.toStdString();
        seen.insert(name);
    }
    for (int n = 1; n <= 70; ++n) {
        const QString name = QStringLiteral("Button%1").arg(n);
        EXPECT_NE(window_->findChild<QPushButton*>(name), nullptr) << name.toStdString();
    }
}

TEST_F(FormTest, PagesInOrderWithTheirCaptions) {
    struct Pages {
        const char* control;
        std::vector<std::pair<const char*, const char*>> pages;
    };
    const Pages kPageControls[] = {
        {"PageControl2",
         {{"TabSheet6", "联机测试   "},
          {"TabSheet7", "仪表输入输出校正  "},
          {"TabSheet8", "仪表基本参数设置  "},
          {"TabSheet9", "仪表基本信息"},
          {"TabSheet3", " 温度变送器参数配置"},
          {"TabSheet1", "差压及多变量变送器"},
          {"TabSheet4", "VT420-K(II)接线示意图"},
          {"TabSheet2", "VT420-K(I)接线图)"},
          {"Hart7Page", "HART 7"}}},
        {"PageControl1",
         {{"TabSheet11", "罗斯蒙特与E+H温度变送器"},
          {"TabSheet12", "西门子+ABB+科隆+ 中科博微 温度变送器"},
          {"TabSheet13", "TabSheet13"},
          {"TabSheet14", "TabSheet14"}}},
    };
    for (const Pages& pc : kPageControls) {
        SCOPED_TRACE(pc.control);
        auto* tabs = find<QTabWidget>(pc.control);
        ASSERT_NE(tabs, nullptr);
        ASSERT_EQ(tabs->count(), static_cast<int>(pc.pages.size()));
        EXPECT_EQ(tabs->currentIndex(), 0);
        for (int i = 0; i < tabs->count(); ++i) {
            EXPECT_EQ(tabs->widget(i)->objectName(), QString::fromUtf8(pc.pages[i].first));
            EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(pc.pages[i].second));
        }
    }
    // The spare pages and the wiring pages carry no operation controls.
    for (const char* spare : {"TabSheet13", "TabSheet14"}) {
        EXPECT_TRUE(find<QWidget>(spare)->findChildren<QWidget*>().isEmpty()) << spare;
    }
    for (const char* wiring : {"TabSheet4", "TabSheet2"}) {
        int pictures = 0;
        for (auto* l : find<QWidget>(wiring)->findChildren<QLabel*>()) {
            if (!l->pixmap().isNull()) ++pictures;
        }
        EXPECT_EQ(pictures, 2) << wiring;
    }
}

struct Items {
    std::vector<const char*> boxes;
    int count;
    std::vector<std::pair<int, const char*>> samples;  // index, exact text
};

const Items kItems[] = {
    {{"SPREALCOM"}, 9, {{0, "COM1"}, {2, "COM3"}, {8, "COM9"}}},
    {{"ComboBox9", "ComboBox3"}, 16, {{0, "0"}, {9, "9"}, {15, "15"}}},
    {{"ComboBox8"}, 2, {{0, "HART_modem 主设备用"}, {1, "HART_modem 副主设备用"}}},
    {{"ComboBox5", "ComboBox15", "ComboBox16", "ComboBox6"},
     83,
     {{0, "00_inH20 "}, {9, "09_KPa   "}, {12, "12_摄氏度  "}, {81, "81_PH"}, {82, "82_other"}}},
    {{"ComboBox10", "ComboBox1"},
     83,
     {{5, "psi   "}, {9, "KPa   "}, {12, "degc   "}, {79, "mA"}, {82, "other"}}},
    {{"ComboBox2"}, 2, {{0, "线性"}, {1, "开方"}}},
    {{"ComboBox11"}, 3, {{0, "1"}, {2, "3"}}},
    {{"ComboBox17", "ComboBox21"},
     29,
     {{0, "0_PT50  a=391"},
      {9, "9_Cu50,a=426"},
      {25, "25_T/C  ty DIN L"},
      {27, "27_T/C typ W5Re26                  "},
      {28, "28_T/C typ GOSTL    "}}},
    {{"ComboBox18", "ComboBox20", "HengHeFS"}, 3, {{0, "2线制"}, {2, "4线制"}}},
    {{"ComboBox19"}, 4, {{0, "通道1"}, {3, "通道4"}}},
    {{"ComboBox22"}, 4, {{0, "degc"}, {3, "kelvin"}}},
    {{"ComboBox36"}, 10, {{0, "0_PT100 IEC-751"}, {3, "3_PT100 JISC 1604"}, {9, "9_other"}}},
    {{"ComboBox35"}, 4, {{0, "2线制"}, {3, "other"}}},
    {{"HengHeTX"},
     24,
     {{0, "00-0C-Pt100 IEC 751"}, {16, "16-84-T/C Type C(W5)"}, {23, "23-other"}}},
    {{"TempBIAHO"}, 2, {{0, "传感编号1"}, {1, "传感编号2"}}},
    {{"EHTEMNX"},
     32,
     {{0, "00-F1-Pt50 GOST(a=0.003911)，"},
      {26, "26-F0-Polynom RTD，"},
      {27, "27-03-callendar Van-Dusen）"},
      {30, "30-81--20..100mv"},
      {31, "31-other"}}},
    {{"EHTEMFS"}, 3, {{0, "00_2 line"}, {1, "01_3line"}, {2, "04_4line"}}},
    {{"POTMXU"}, 5, {{0, "设置系数X0"}, {4, "设置系数X4"}}},
    {{"CALL_ALP"}, 4, {{0, "设置计数系数A"}, {3, "设置计数系数R0"}}},
    {{"ComboBox7"}, 4, {{0, "PT100，A=385  2 WIRE"}, {3, "T/C，S  2 WIRE"}}},
    {{"TT50NEXING"},
     26,
     {{0, "00 无"},
      {4, "04-04 PTx, a=385 "},
      {11, "0B_84 T/C typ DIN L "},
      {19, "13_other"},
      {20, ""},
      {25, ""}}},
    {{"TT50WAR"}, 6, {{0, "00 无"}, {1, "02 二线制"}, {5, "10 SmartSense"}}},
    {{"ABBTTH200NEIXING"},
     38,
     {{0, "00 无"}, {4, "04_0C 无"}, {20, "20_64 Pt10(IEC751) "}, {37, "37_Other"}}},
    {{"ABBTTH200WAY"}, 5, {{0, "00 无"}, {1, "01 无"}, {4, "04 四线制"}}},
    {{"ComboBox23", "ComboBox24", "ComboBox25", "ComboBox26"},
     8,
     {{0, "defferential pressure"}, {3, "process tempter"}, {6, "Energy FLow"}, {7, "Total flow"}}},
    {{"ComboBox27", "ComboBox28", "ComboBox29", "ComboBox30", "ComboBox31", "ComboBox32",
      "ComboBox33", "ComboBox34"},
     2,
     {{0, "OFF"}, {1, "ON"}}},
    {{"EJAXIANS1", "EJAXIANS2", "EJAXIANS3", "EJAXIANS4"},
     6,
     {{0, "00Pres"}, {2, "02Engr.pRES"}, {5, "05不显示"}}},
    {{"EJAMODEM"}, 2, {{0, "0linear mode"}, {1, "1Zero mode"}}},
};

TEST_F(FormTest, ComboBoxesCarryTheirFixedItems) {
    for (const Items& list : kItems) {
        for (const char* name : list.boxes) {
            SCOPED_TRACE(name);
            auto* box = find<QComboBox>(name);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->count(), list.count);
            for (const auto& [index, text] : list.samples) {
                EXPECT_EQ(box->itemText(index), QString::fromUtf8(text)) << "item " << index;
            }
        }
    }
}

TEST_F(FormTest, InitialSelections) {
    struct Selection {
        const char* box;
        int index;
    };
    const Selection kSelections[] = {
        {"SPREALCOM", -1},    {"ComboBox9", 0},   {"ComboBox8", 0},  {"ComboBox11", 0},
        {"ComboBox5", -1},    {"ComboBox10", -1}, {"ComboBox1", -1}, {"ComboBox2", -1},
        {"ComboBox4", -1},    {"ComboBox3", -1},  {"ComboBox19", 0}, {"ComboBox22", 0},
        {"HengHeTX", -1},     {"HengHeFS", 0},    {"TempBIAHO", 0},  {"POTMXU", 0},
        {"CALL_ALP", -1},     {"TT50NEXING", -1}, {"TT50WAR", -1},   {"ABBTTH200NEIXING", -1},
        {"ABBTTH200WAY", -1}, {"ComboBox23", 0},  {"ComboBox34", 0}, {"EJAXIANS4", 0},
        {"EJAMODEM", 0},
    };
    for (const Selection& s : kSelections) {
        auto* box = find<QComboBox>(s.box);
        ASSERT_NE(box, nullptr) << s.box;
        EXPECT_EQ(box->currentIndex(), s.index) << s.box;
    }
    EXPECT_TRUE(find<QRadioButton>("RadioButton1")->isChecked());
    for (const char* r : {"RadioButton2", "RadioButton3", "RadioButton4", "RadioButton5",
                          "RadioButton6", "RadioButton7"}) {
        EXPECT_FALSE(find<QRadioButton>(r)->isChecked()) << r;
    }
}

// Boxes where the user may type a value instead of choosing an item.
const char* const kTypingBoxes[] = {
    "SPREALCOM",    "ComboBox9",  "ComboBox5",  "ComboBox15", "ComboBox16", "ComboBox6",
    "ComboBox10",   "ComboBox1",  "ComboBox2",  "ComboBox11", "ComboBox17", "ComboBox18",
    "ComboBox19",   "ComboBox20", "ComboBox21", "ComboBox22", "ComboBox35", "ComboBox36",
    "HengHeTX",     "POTMXU",     "CALL_ALP",   "TT50NEXING", "TT50WAR",    "ABBTTH200NEIXING",
    "ABBTTH200WAY", "ComboBox33", "ComboBox34",
};

TEST_F(FormTest, OnlyTheTypingBoxesAreEditable) {
    QSet<QString> typing;
    for (const char* name : kTypingBoxes) typing.insert(QString::fromUtf8(name));
    for (auto* box : window_->findChildren<QComboBox*>()) {
        EXPECT_EQ(box->isEditable(), typing.contains(box->objectName()))
            << box->objectName().toStdString();
    }
}

TEST_F(FormTest, TypedTextNeverBecomesAnItem) {
    for (const char* name : kTypingBoxes) {
        auto* box = find<QComboBox>(name);
        ASSERT_NE(box, nullptr) << name;
        const int count = box->count();
        const int index = box->currentIndex();
        const QString text = box->currentText();
        box->setEditText("typed value");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(box->lineEdit(), &press);
        EXPECT_EQ(box->count(), count) << name;
        box->setCurrentIndex(index);
        if (index < 0) box->setEditText(text);
    }
}

// Measured as the list opens, so a text longer than any at start (another language's) shows too.
TEST_F(FormTest, OpenListShowsItsLongestItemInFull) {
    auto* box = find<QComboBox>("ComboBox5");
    const QString first = box->itemText(0);
    box->setItemText(0, QString(40, QChar('W')));
    box->showPopup();
    EXPECT_GE(box->view()->width(), box->fontMetrics().horizontalAdvance(box->itemText(0)));
    box->hidePopup();
    box->setItemText(0, first);
}

TEST_F(FormTest, SensorInformationGroupShowsOnlyItsFrame) {
    auto* group = find<QGroupBox>("GroupBox8");
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->isHidden());
    const auto children = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_GE(children.size(), 7);  // three boxes, their labels and the button
    for (QWidget* w : children) EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
}

TEST_F(FormTest, ReceiveLogScrollsBothWaysWithoutWrapping) {
    auto* log = find<QPlainTextEdit>("Memo8");
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(FormTest, PortLabelReportsClicks) {
    auto* port = qobject_cast<ui::ClickLabel*>(find<QLabel>("Label4"));
    ASSERT_NE(port, nullptr);
    int clicks = 0;
    auto connection = QObject::connect(port, &ui::ClickLabel::clicked, [&] { ++clicks; });
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, port->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(port, &press);
    EXPECT_EQ(clicks, 1);
    QObject::disconnect(connection);
}

TEST_F(FormTest, FixedCurrentChoicesFormOneGroup) {
    auto* first = find<QRadioButton>("RadioButton1");
    auto* leave = find<QRadioButton>("RadioButton7");
    leave->setChecked(true);
    EXPECT_FALSE(first->isChecked());
    first->setChecked(true);
    EXPECT_FALSE(leave->isChecked());
}

TEST_F(FormTest, WindowSizeTitleAndColours) {
    EXPECT_EQ(window_->size(), QSize(1003, 651));
    EXPECT_FALSE(window_->windowTitle().isEmpty());
    EXPECT_EQ(window_->windowTitle(), find<QLabel>("Label1")->text());
    EXPECT_EQ(window_->palette().color(QPalette::Window), QColor(0x87, 0xCE, 0xEB));
    EXPECT_TRUE(window_->font().bold());
    EXPECT_EQ(window_->font().pointSize(), 8);
}

// Width a widget needs to show its caption uncut.
int neededWidth(QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->pixmap().isNull() ? fm.horizontalAdvance(l->text()) : l->pixmap().width();
    }
    if (qobject_cast<QRadioButton*>(w) != nullptr) return w->sizeHint().width();
    if (auto* b = qobject_cast<QPushButton*>(w)) return fm.horizontalAdvance(b->text()) + 8;
    if (auto* g = qobject_cast<QGroupBox*>(w)) return fm.horizontalAdvance(g->title()) + 16;
    return 0;
}

// Makes the pages holding `w` current, outer page control included, as a user would.
void bringToFront(QWidget* w) {
    for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        QWidget* stack = p->parentWidget();
        if (qobject_cast<QStackedWidget*>(stack) == nullptr) continue;
        if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
            tabs->setCurrentWidget(p);
    }
    QApplication::processEvents();
}

// Every container of the form: its children fit inside it, do not overlap each other and are
// wide enough for their captions.
TEST_F(FormTest, ControlsFitTheirContainersWithoutOverlap) {
    std::vector<QWidget*> containers{window_->centralWidget(), find<QWidget>("Panel1")};
    for (auto* tabs : window_->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) containers.push_back(tabs->widget(i));
    }
    for (auto* g : window_->findChildren<QGroupBox*>()) containers.push_back(g);

    for (QWidget* container : containers) {
        SCOPED_TRACE(container->objectName().toStdString());
        // Pages get their real size only once shown.
        bringToFront(container);
        const QRect area = container->rect();
        std::vector<QWidget*> children;
        for (QWidget* w : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!w->isHidden() && !w->isWindow()) children.push_back(w);
        }
        for (size_t i = 0; i < children.size(); ++i) {
            QWidget* w = children[i];
            const std::string name =
                w->objectName().isEmpty() ? textOf(w).toStdString() : w->objectName().toStdString();
            EXPECT_TRUE(area.contains(w->geometry())) << name;
            EXPECT_LE(neededWidth(w), w->width()) << name;
            for (size_t j = i + 1; j < children.size(); ++j) {
                EXPECT_FALSE(w->geometry().intersects(children[j]->geometry()))
                    << name << " / " << children[j]->objectName().toStdString() << " "
                    << textOf(children[j]).toStdString();
            }
        }
    }
}

bool isInteractive(QWidget* w) {
    return qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QComboBox*>(w) != nullptr ||
           qobject_cast<QAbstractButton*>(w) != nullptr ||
           qobject_cast<QPlainTextEdit*>(w) != nullptr;
}

TEST_F(FormTest, EveryControlAndStatusFieldHasAnAccessibleName) {
    for (QWidget* w : window_->findChildren<QWidget*>()) {
        // Status fields and counters: the named labels the window writes.
        const auto* label = qobject_cast<QLabel*>(w);
        const bool statusField =
            label != nullptr && label->text().isEmpty() && !label->objectName().isEmpty();
        if (!isInteractive(w) && !statusField) continue;
        const QString where = w->objectName().isEmpty() ? QStringLiteral("unnamed %1 in %2")
                                                              .arg(w->metaObject()->className(),
                                                                   w->parentWidget()->objectName())
                                                        : w->objectName();
        EXPECT_FALSE(w->accessibleName().trimmed().isEmpty()) << where.toStdString();
    }

    // The caption beside, the caption above, the control's own caption, or a fixed name.
    const struct {
        const char* control;
        const char* name;
    } cases[] = {
        {"Edit14", "量程上限:"},
        {"SPREALCOM", "IP连或者COM号:"},
        {"discomm", "发送HART命令:"},
        {"Memo8", "接收数据区:"},
        {"Label56", "发送字数:"},
        {"Label68", "传输状态:"},
        {"DeviceStatusLabel", "设备状态"},
        {"MoreStatusLabel", "附加状态:"},
        {"Label51", "制造商:"},
        {"ComboBox31", "Module_Temper:"},
        {"ComboBox7", "西门子HART协议温度传感器类型:"},
        {"Button12", "下  传"},
        {"RadioButton6", "其 他 输 出:"},
        {"ComboBox8", "主设备类型"},
        {"Edit25", "出厂日期: 月"},
    };
    for (const auto& c : cases) {
        auto* w = find<QWidget>(c.control);
        ASSERT_NE(w, nullptr) << c.control;
        EXPECT_EQ(w->accessibleName(), QString::fromUtf8(c.name)) << c.control;
    }
    // Focus goes into an editable box's line edit, which must say the same; on Linux a
    // screen reader names a combo box by its label relation.
    auto* port = find<QComboBox>("SPREALCOM");
    EXPECT_EQ(port->lineEdit()->accessibleName(), "IP连或者COM号:");
    const auto labels = QAccessible::queryAccessibleInterface(port)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), find<QLabel>("Label4"));
}

TEST_F(FormTest, TabMovesThroughEachPageInReadingOrder) {
    // The focus chain once round, as Tab walks it: shown widgets that take focus by Tab and
    // pass it to no proxy (an editable box's line edit stands for the box). The tab bar's
    // scroll arrows, there when a font makes the tabs wider than the window, are the bar's.
    std::vector<QWidget*> chain;
    QWidget* start = find<QWidget>("SPREALCOM");
    QWidget* w = start;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->focusProxy() == nullptr &&
            !w->isHidden() && qobject_cast<QTabBar*>(w->parentWidget()) == nullptr) {
            auto* box = qobject_cast<QComboBox*>(w->parentWidget());
            chain.push_back(box != nullptr ? box : w);
        }
        w = w->nextInFocusChain();
    } while (w != start && w != nullptr);

    auto namesIn = [&](QWidget* area) {
        std::vector<QString> names;
        for (QWidget* c : chain) {
            if (area->isAncestorOf(c)) names.push_back(c->objectName());
        }
        return names;
    };
    const struct {
        const char* page;
        std::vector<QString> order;
    } pages[] = {
        // Button12 stands between the two range rows it sends: it follows both.
        {"TabSheet8",
         {"Edit11", "Edit12", "ComboBox10", "Button5", "ComboBox1", "Button8", "Edit14", "Edit15",
          "Button12", "Edit16", "Button10", "ComboBox2", "Button14", "Button13", "ComboBox11",
          "Button20", "Button19", "Button9"}},
        // The display boxes stand in two columns: each row is read left to right.
        {"TabSheet1",
         {"Button42",    "ComboBox23", "ComboBox24", "ComboBox25", "ComboBox26", "Button44",
          "Button45",    "ComboBox27", "ComboBox31", "ComboBox28", "ComboBox32", "ComboBox29",
          "ComboBox33",  "ComboBox30", "ComboBox34", "Button47",   "Button46",   "EJAXIANS1",
          "EJAXIANS2",   "EJAXIANS3",  "EJAXIANS4",  "Button48",   "Button49",   "EJAMODEM",
          "EJAlingdian", "Button50",   "Button51"}},
    };
    for (const auto& p : pages) EXPECT_EQ(namesIn(find<QWidget>(p.page)), p.order) << p.page;
    // Outside the pages: the connection row, the pages' tabs, the echo line and the log.
    std::vector<QString> outside;
    for (QWidget* c : chain) {
        if (pageOf(c).isEmpty()) outside.push_back(c->objectName());
    }
    EXPECT_EQ(outside, (std::vector<QString>{"SPREALCOM", "Button1", "qt_tabwidget_tabbar",
                                             "discomm", "Memo8", "Button58"}));

    // Each page's controls are one unbroken run of the chain.
    for (auto* page : window_->findChildren<QWidget*>(QRegularExpression("^TabSheet"))) {
        std::vector<size_t> at;
        for (size_t i = 0; i < chain.size(); ++i) {
            if (page->isAncestorOf(chain[i])) at.push_back(i);
        }
        if (!at.empty()) {
            EXPECT_EQ(at.back() - at.front() + 1, at.size()) << page->objectName().toStdString();
        }
    }
}

}  // namespace
