// The main window and the About box as their stored layouts create them: every named
// component with its class, parent, geometry, tab order, text, items, selection and
// enabled and visible state, and what start-up changes on top of the stored defaults.
#include "app/UnitAbout.h"
#include "app/UnitCANConfig.h"
#include "app/UnitCompare.h"
#include "app/Strings.h"
#include "forms/LayoutText.h"
#include "forms/TypInfo.h"
#include "skin/apply/Skinclasses.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <any>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorin {
namespace {

// Enabled as the operator finds it after start-up: the layout's state with the conversion-
// mode rule (mode 0) and the filter rule (filtering off) applied. The Open button depends
// on the ports this machine has and is checked on its own.
enum TEnabled { kOn, kOff, kStartUp };

struct TExpected {
    const char* Name;
    const char* Class;
    const char* Parent;
    struct {
        int Left, Top, Width, Height;
    } Bounds;
    int TabOrder;      // -1: not a windowed control
    const char* Text;  // Caption, or Text for an edit; nullptr: not checked
    std::vector<std::string> Items;
    int ItemIndex;
    TEnabled Enabled;
    bool Visible;
};

void PrintTo(const TExpected& e, std::ostream* os) { *os << e.Name; }

const std::vector<TExpected> kMainWindow = {
    {"GroupBox2", "TGroupBox", "FormCANConfig", {8, 0, 681, 49}, 0, "RS232 参数", {}, -1, kOn, true},
    {"GroupBox3", "TGroupBox", "FormCANConfig", {8, 56, 681, 345}, 1, "设备参数", {}, -1, kOn, true},
    {"Label2", "TLabel", "FormCANConfig", {290, 166, 63, 13}, -1, "转换模式     ", {}, -1, kOn, true},
    {"ComboBoxCommIndex", "TComboBox", "GroupBox2", {16, 16, 145, 21}, 0, nullptr, {}, -1, kOn, true},
    {"ButtonOpenRS232", "TButton", "GroupBox2", {344, 16, 105, 25}, 1, "打开串口", {}, -1, kStartUp, true},
    {"ButtonReadParameter", "TButton", "GroupBox2", {448, 16, 105, 25}, 2, "读取参数", {}, -1, kOff, true},
    {"ButtonWriteParameter", "TButton", "GroupBox2", {552, 16, 105, 25}, 3, "写入参数", {}, -1, kOff, true},
    {"PageControlCANConfig", "TPageControl", "GroupBox3", {8, 16, 665, 321}, 0, nullptr, {}, -1, kOn, true},
    {"TreeViewDeviceType", "TTreeView", "GroupBox3", {208, 8, 33, 25}, 1, nullptr, {}, -1, kOn, false},
    {"PageControlQUORINQ1", "TPageControl", "TabSheet1", {8, -4, 649, 301}, 0, nullptr, {}, -1, kOn, true},
    {"CheckBoxCANFrameInfoEnable",
     "TCheckBox",
     "TabSheet2",
     {8, 240, 220, 17},
     3,
     "允许CAN帧信息转发到串行帧中        ",
     {},
     -1,
     kOn,
     true},
    {"CheckBoxCANIDInfoEnable",
     "TCheckBox",
     "TabSheet2",
     {344, 240, 220, 17},
     4,
     "允许CAN帧ID转发到串行帧中        ",
     {},
     -1,
     kOn,
     true},
    {"GroupBox4", "TGroupBox", "TabSheet2", {344, 96, 281, 129}, 2, "帧与帧之间的时间间隔", {}, -1, kOn, true},
    {"Label10", "TLabel", "GroupBox4", {39, 44, 118, 13}, -1, "串行帧（ms）(&S)：           ", {}, -1, kOn, true},
    {"Label25", "TLabel", "GroupBox4", {42, 104, 89, 13}, -1, "CAN帧（ms）(&C)：  ", {}, -1, kOn, false},
    {"EditUARTFrameInterVal", "TEdit", "GroupBox4", {136, 40, 65, 21}, 0, "0", {}, -1, kOn, true},
    {"EditCANFrameInterval", "TEdit", "GroupBox4", {136, 100, 65, 21}, 1, "0", {}, -1, kOn, false},
    {"GroupBox5", "TGroupBox", "TabSheet2", {8, 96, 281, 129}, 1, "CAN标识在串行帧中的位置", {}, -1, kOn, true},
    {"Label7", "TLabel", "GroupBox5", {39, 46, 66, 13}, -1, "起始偏移(&O):     ", {}, -1, kOn, true},
    {"Label5", "TLabel", "GroupBox5", {39, 86, 42, 13}, -1, "长度(&N):     ", {}, -1, kOn, true},
    {"ComboBoxCANIDOffset",
     "TComboBox",
     "GroupBox5",
     {120, 40, 81, 21},
     0,
     nullptr,
     {"0", "1", "2", "3", "4", "5", "6", "7"},
     0,
     kOff,
     true},
    {"ComboBoxCANIDLen", "TComboBox", "GroupBox5", {120, 80, 81, 21}, 1, nullptr, {"1", "2", "3", "4"}, 0, kOff, true},
    {"GroupBox6", "TGroupBox", "TabSheet2", {8, 0, 625, 81}, 0, "模式和方向", {}, -1, kOn, true},
    {"Label4", "TLabel", "GroupBox6", {34, 38, 66, 13}, -1, "转换模式(&M):     ", {}, -1, kOn, true},
    {"Label6", "TLabel", "GroupBox6", {343, 38, 66, 13}, -1, "转换方向(&D):     ", {}, -1, kOn, true},
    {"ComboBoxSwitchMode",
     "TComboBox",
     "GroupBox6",
     {112, 32, 105, 21},
     0,
     nullptr,
     {"透明转换", "透明带标识转换", "格式转换"},
     0,
     kOn,
     true},
    {"ComboBoxSwtichRoute",
     "TComboBox",
     "GroupBox6",
     {416, 32, 105, 21},
     1,
     nullptr,
     {"双向转换", "仅串口转CAN", "仅CAN转串口"},
     0,
     kOn,
     true},
    {"Label9", "TLabel", "TabSheet3", {58, 38, 80, 13}, -1, "波特率(&B)：  ", {}, -1, kOn, true},
    {"Label11", "TLabel", "TabSheet3", {306, 38, 67, 13}, -1, "停止位 (&S)：  ", {}, -1, kOn, true},
    {"Label12", "TLabel", "TabSheet3", {58, 92, 80, 13}, -1, "数据位(&D)：  ", {}, -1, kOn, true},
    {"Label13", "TLabel", "TabSheet3", {58, 148, 76, 13}, -1, "模式转换(&I)：  ", {}, -1, kOn, true},
    {"Label16", "TLabel", "TabSheet3", {306, 92, 67, 13}, -1, "校验位 (&P)：  ", {}, -1, kOn, true},
    {"ComboBoxUARTBuadrateIndex",
     "TComboBox",
     "TabSheet3",
     {152, 34, 81, 21},
     0,
     nullptr,
     {"1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200", "230400", "460800", "921600"},
     3,
     kOn,
     true},
    {"ComboBoxUARTStopBitIndex", "TComboBox", "TabSheet3", {400, 34, 81, 21}, 1, nullptr, {"1", "2"}, 0, kOn, true},
    {"ComboBoxUARTDataBitIndex", "TComboBox", "TabSheet3", {152, 88, 81, 21}, 2, nullptr, {"7", "8"}, 1, kOff, true},
    {"ComboBoxUARTMode",
     "TComboBox",
     "TabSheet3",
     {152, 144, 81, 21},
     4,
     nullptr,
     {"RS232", "RS485", "RS422"},
     0,
     kOn,
     true},
    {"ComboBoxUARTParityBitIndex",
     "TComboBox",
     "TabSheet3",
     {400, 88, 81, 21},
     3,
     nullptr,
     {"无校验", "奇校验", "偶校验"},
     0,
     kOn,
     true},
    {"Label17", "TLabel", "TabSheet23", {34, 22, 70, 13}, -1, "CAN标准(&S)：    ", {}, -1, kOn, true},
    {"Label18", "TLabel", "TabSheet23", {242, 22, 65, 13}, -1, "协议(&P)：   ", {}, -1, kOn, true},
    {"Label19", "TLabel", "TabSheet23", {400, 21, 78, 13}, -1, "帧类型(&M)：  ", {}, -1, kOn, true},
    {"Label20", "TLabel", "TabSheet23", {34, 54, 76, 13}, -1, "CAN加速(&R)：    ", {}, -1, kOn, true},
    {"Label21", "TLabel", "TabSheet23", {242, 54, 85, 13}, -1, "CAN &ID(Hex)：    ", {}, -1, kOn, true},
    {"GroupBox18", "TGroupBox", "TabSheet23", {24, 80, 577, 81}, 5, "标准波特率", {}, -1, kOn, true},
    {"Label14", "TLabel", "GroupBox18", {34, 38, 104, 13}, -1, "仲裁域波特率(&B): 0x     ", {}, -1, kOn, true},
    {"Label15", "TLabel", "GroupBox18", {282, 38, 104, 13}, -1, "数据域波特率(&D): 0x     ", {}, -1, kOn, true},
    {"ComboBoxtBaudrateIndexB",
     "TComboBox",
     "GroupBox18",
     {392, 34, 81, 21},
     1,
     nullptr,
     {"5Mbps", "4Mbps", "预留1", "预留2", "2Mbps", "预留3", "1Mbps", "预留4", "500kbps", "预留5", "250Kbps", "预留6",
      "125Kbps", "100Kbps", "预留7"},
     0,
     kOn,
     true},
    {"ComboBoxtBaudrateIndexA",
     "TComboBox",
     "GroupBox18",
     {144, 34, 89, 21},
     0,
     nullptr,
     {"1Mbps", "预留1", "预留2", "500Kbps", "预留3", "250Kbps", "预留4", "125Kbps", "100Kbps", "预留5", "50Kbps",
      "40Kbps", "20Kbps", "10Kbps", "5Kbps"},
     0,
     kOn,
     true},
    {"ComboBoxFDStandard", "TComboBox", "TabSheet23", {128, 16, 81, 21}, 0, nullptr, {"ISO"}, 0, kOff, true},
    {"ComboBoxCANType", "TComboBox", "TabSheet23", {312, 16, 81, 21}, 1, nullptr, {"CAN", "CANFD"}, 0, kOn, true},
    {"ComboBoxCANFrameType",
     "TComboBox",
     "TabSheet23",
     {480, 17, 105, 21},
     2,
     nullptr,
     {"标准帧", "扩展帧"},
     0,
     kOn,
     true},
    {"ComboBoxBitRateSwitch", "TComboBox", "TabSheet23", {128, 48, 81, 21}, 3, nullptr, {"否", "是"}, 0, kOn, true},
    {"EditCANID", "TEdit", "TabSheet23", {312, 52, 81, 21}, 4, "00000000", {}, -1, kOn, true},
    {"GroupBox1", "TGroupBox", "TabSheet23", {24, 168, 577, 89}, 6, "自定义波特率", {}, -1, kOn, true},
    {"Label23", "TLabel", "GroupBox1", {34, 54, 104, 13}, -1, "仲裁域波特率(&T): 0x     ", {}, -1, kOn, true},
    {"Label24", "TLabel", "GroupBox1", {280, 54, 104, 13}, -1, "数据域波特率(&E): 0x   ", {}, -1, kOn, true},
    {"EditBaudrateA", "TEdit", "GroupBox1", {144, 52, 81, 21}, 1, "00050B2E", {}, -1, kOff, true},
    {"EditBaudrateB", "TEdit", "GroupBox1", {392, 52, 89, 21}, 2, "00008207", {}, -1, kOff, true},
    {"CheckBoxBuadrateCustom", "TCheckBox", "GroupBox1", {40, 24, 150, 17}, 0, "使用自定义波特率 ", {}, -1, kOn, true},
    {"Label36", "TLabel", "TabSheet25", {40, 208, 75, 13}, -1, "Frame T&ype:", {}, -1, kOn, true},
    {"Label38", "TLabel", "TabSheet25", {258, 206, 68, 13}, -1, "&Start ID: 0x     ", {}, -1, kOn, true},
    {"Label39", "TLabel", "TabSheet25", {434, 206, 65, 13}, -1, "&End ID: 0x     ", {}, -1, kOn, true},
    {"Label22", "TLabel", "TabSheet25", {154, 238, 37, 13}, -1, "&Port:     ", {}, -1, kOn, false},
    {"GroupBox29", "TGroupBox", "TabSheet25", {16, 0, 609, 201}, 0, "Filter Frame ID List", {}, -1, kOn, true},
    {"ListViewVandrelFrameID", "TListView", "GroupBox29", {8, 24, 569, 161}, 0, nullptr, {}, -1, kOff, true},
    {"ComboBoxVandrelFrameType",
     "TComboBox",
     "TabSheet25",
     {120, 204, 105, 21},
     1,
     nullptr,
     {"Standard Frame", "Extend   Frame"},
     0,
     kOff,
     true},
    {"EditVandrelStartID", "TEdit", "TabSheet25", {328, 204, 65, 21}, 2, "00000000", {}, -1, kOff, true},
    {"EditVandrelEndID", "TEdit", "TabSheet25", {504, 204, 65, 21}, 3, "FFFFFFFF", {}, -1, kOff, true},
    {"ButtonVandrelFilterIDAdd", "TButton", "TabSheet25", {408, 240, 75, 25}, 6, "Add", {}, -1, kOff, true},
    {"ButtonVandrelFilterIDDelete", "TButton", "TabSheet25", {488, 240, 75, 25}, 7, "Delete", {}, -1, kOff, true},
    {"CheckBoxVandrelFilterEnable",
     "TCheckBox",
     "TabSheet25",
     {40, 240, 97, 17},
     4,
     "Filter Enable",
     {},
     -1,
     kOn,
     true},
    {"ComboBoxVandrelPort",
     "TComboBox",
     "TabSheet25",
     {184, 236, 105, 21},
     5,
     nullptr,
     {"CAN0", "CAN1"},
     1,
     kOff,
     false},
    {"ListViewVandrelBasicInfo", "TListView", "TabSheet15", {8, 16, 609, 113}, 0, nullptr, {}, -1, kOn, true},
};

const std::vector<TExpected> kAboutBox = {
    {"Panel1", "TPanel", "AboutBox", {9, 16, 328, 89}, 0, "", {}, -1, kOn, true},
    {"ProductName",
     "TLabel",
     "Panel1",
     {48, 16, 270, 13},
     -1,
     "QUORINConifg V1.0  for the following product:",
     {},
     -1,
     kOn,
     true},
    {"Version", "TLabel", "Panel1", {112, 40, 88, 13}, -1, "QUORIN-Q1", {}, -1, kOn, true},
    {"Label3", "TLabel", "Panel1", {96, 64, 120, 13}, -1, "www.quorin.example", {}, -1, kOn, true},
    {"OKButton", "TButton", "AboutBox", {135, 116, 75, 25}, 1, "OK", {}, -1, kOn, true},
};

// One main window and one About box for the whole file, made as start-up makes them.
class Forms : public testing::Test {
protected:
    static void SetUpTestSuite() {
        Form = new TFormCANConfig(Application);
        About = new TAboutBox(Application);
    }
    static void TearDownTestSuite() {
        delete About;
        delete Form;
        About = nullptr;
        Form = nullptr;
    }
    static TFormCANConfig* Form;
    static TAboutBox* About;
};
TFormCANConfig* Forms::Form = nullptr;
TAboutBox* Forms::About = nullptr;

void ExpectComponent(TComponent* root, const TExpected& e) {
    TComponent* c = root->FindComponent(e.Name);
    ASSERT_NE(c, nullptr) << "no component " << e.Name;
    EXPECT_EQ(c->ClassName(), e.Class);
    ASSERT_NE(c->GetParentComponent(), nullptr);
    EXPECT_EQ(c->GetParentComponent()->Name(), e.Parent);
    EXPECT_EQ(GetOrdProp(c, "Left"), e.Bounds.Left);
    EXPECT_EQ(GetOrdProp(c, "Top"), e.Bounds.Top);
    EXPECT_EQ(GetOrdProp(c, "Width"), e.Bounds.Width);
    EXPECT_EQ(GetOrdProp(c, "Height"), e.Bounds.Height);
    if (e.TabOrder >= 0) {
        EXPECT_EQ(GetOrdProp(c, "TabOrder"), e.TabOrder);
    }
    if (e.Text) {
        EXPECT_EQ(GetStrProp(c, e.Class == std::string("TEdit") ? "Text" : "Caption"), e.Text);
    }
    if (auto* combo = dynamic_cast<TComboBox*>(c); combo && !e.Items.empty()) {
        std::vector<std::string> items;
        for (int i = 0; i < combo->Items().Count(); ++i) items.push_back(combo->Items()[i]);
        EXPECT_EQ(items, e.Items);
        EXPECT_EQ(combo->ItemIndex(), e.ItemIndex);
        EXPECT_EQ(combo->Style(), TComboBoxStyle::csDropDownList);
    }
    if (e.Enabled != kStartUp) {
        EXPECT_EQ(GetOrdProp(c, "Enabled") != 0, e.Enabled == kOn);
    }
    EXPECT_EQ(GetOrdProp(c, "Visible") != 0, e.Visible);
}

class MainWindowComponent : public Forms, public testing::WithParamInterface<TExpected> {};

TEST_P(MainWindowComponent, IsAsStored) { ExpectComponent(Form, GetParam()); }

INSTANTIATE_TEST_SUITE_P(FormCANConfig, MainWindowComponent, testing::ValuesIn(kMainWindow),
                         [](const auto& info) { return std::string(info.param.Name); });

class AboutBoxComponent : public Forms, public testing::WithParamInterface<TExpected> {};

TEST_P(AboutBoxComponent, IsAsStored) { ExpectComponent(About, GetParam()); }

INSTANTIATE_TEST_SUITE_P(AboutBox, AboutBoxComponent, testing::ValuesIn(kAboutBox),
                         [](const auto& info) { return std::string(info.param.Name); });

std::vector<std::string> ShownTabs(const TPageControl& pages) {
    std::vector<std::string> shown;
    for (int i = 0; i < pages.PageCount(); ++i)
        if (pages.Pages(i)->TabVisible()) shown.push_back(pages.Pages(i)->Caption());
    return shown;
}

TEST_F(Forms, OnlyTheDevicePagesShowTheirTabs) {
    EXPECT_EQ(ShownTabs(*Form->PageControlCANConfig), std::vector<std::string>{"QUORIN-Q1"});
    EXPECT_EQ(ShownTabs(*Form->PageControlQUORINQ1),
              (std::vector<std::string>{"基本信息", "转换参数", "串口参数", "CAN参数", "滤波参数"}));
    // The pages keep their places, so index 5 is the page without a tab.
    ASSERT_EQ(Form->PageControlQUORINQ1->PageCount(), 6);
    EXPECT_EQ(Form->PageControlQUORINQ1->Pages(5), Form->TabSheet26);
    EXPECT_EQ(Form->TabSheet26->Caption(), "Product Description");
    EXPECT_EQ(Form->TabSheet4->Caption(), "PELLIQ-2");
    EXPECT_FALSE(Form->TabSheet4->TabVisible());
}

// Reading order: a control whose top lies more than a few pixels below another's comes
// after it; on the same row the left one comes first.
bool ReadsBefore(const TControl* a, const TControl* b) {
    constexpr int kSameRow = 8;
    if (a->Top() + kSameRow < b->Top()) return true;
    if (b->Top() + kSameRow < a->Top()) return false;
    return a->Left() < b->Left();
}

// Every container's windowed children, in tab order, follow reading order (a group box
// counts as one control where it stands), in the main window, the About box and the
// comparison box.
TEST_F(Forms, TabOrderFollowsReadingOrderInEveryContainer) {
    TCompareBox compare(Application);
    for (TCustomForm* form :
         {static_cast<TCustomForm*>(Form), static_cast<TCustomForm*>(About), static_cast<TCustomForm*>(&compare)}) {
        std::vector<TWinControl*> containers{form};
        form->GetTabOrderList(containers);
        for (TWinControl* container : containers) {
            // The hidden second device's pages keep their stored order: nobody reaches them.
            if (!container->Visible()) continue;
            const auto& tabs = container->TabList();
            for (size_t i = 1; i < tabs.size(); ++i)
                EXPECT_FALSE(ReadsBefore(tabs[i], tabs[i - 1]))
                    << form->Name() << "." << container->Name() << ": " << tabs[i]->Name() << " reads before "
                    << tabs[i - 1]->Name();
        }
    }
    // The dialogs start on their OK button.
    EXPECT_EQ(About->ActiveControl(), About->OKButton);
    EXPECT_EQ(compare.ActiveControl(), compare.OKButton);
}

// Each label on a device page names the control beside it (on its row, to its right, on
// the same page) and carries a marker letter that no other label of that page has, in
// both languages.
TEST_F(Forms, EveryLabelOfAPageIsTiedToItsControlWithAMarkerOfItsOwn) {
    auto pageOf = [](const TControl* c) -> const TControl* {
        while (c && !dynamic_cast<const TTabSheet*>(c)) c = c->Parent();
        return c;
    };
    auto origin = [](const TControl* c) {
        POINT p{c->Left(), c->Top()};
        for (const TControl* up = c->Parent(); up && !dynamic_cast<const TTabSheet*>(up); up = up->Parent())
            p.x += up->Left(), p.y += up->Top();
        return p;
    };
    for (TLanguage language : {TLanguage::Chinese, TLanguage::English}) {
        SetCurrentLanguage(language);
        Form->ApplyLanguage();
        std::map<const TControl*, std::map<wchar_t, std::string>> markers;
        for (int i = 0; i < Form->ComponentCount(); ++i) {
            auto* label = dynamic_cast<TLabel*>(Form->Components(i));
            const TControl* page = label ? pageOf(label) : nullptr;
            if (!page || page->Parent() != Form->PageControlQUORINQ1) continue;
            ASSERT_NE(label->FocusControl(), nullptr) << label->Name();
            const TWinControl* target = label->FocusControl();
            EXPECT_EQ(pageOf(target), page) << label->Name();
            const POINT l = origin(label), t = origin(target);
            EXPECT_GT(t.x, l.x) << label->Name() << " -> " << target->Name();
            EXPECT_TRUE(l.y + label->Height() / 2 >= t.y && l.y + label->Height() / 2 <= t.y + target->Height())
                << label->Name() << " -> " << target->Name();
            const wchar_t marker = label->AccelChar();
            EXPECT_NE(marker, 0) << label->Name() << ": " << label->Caption();
            const auto [at, fresh] = markers[page].emplace(marker, label->Name());
            EXPECT_TRUE(fresh) << label->Name() << " and " << at->second << " share their marker";
        }
        EXPECT_EQ(markers.size(), 4u);  // every device page but the identity list has labels
    }
    // The hidden second device's labels name their controls too; only the label that lies
    // beneath the device group, seen by nobody, names none.
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        if (auto* label = dynamic_cast<TLabel*>(Form->Components(i)); label && label != Form->Label2) {
            EXPECT_NE(label->FocusControl(), nullptr) << label->Name();
        }
    }
    SetCurrentLanguage(TLanguage::Chinese);
    Form->ApplyLanguage();
}

TEST_F(Forms, StartUpBringsTheConversionPageToTheFront) {
    EXPECT_EQ(Form->PageControlQUORINQ1->ActivePageIndex(), 1);
    EXPECT_EQ(Form->PageControlQUORINQ1->ActivePage(), Form->TabSheet2);
    EXPECT_EQ(Form->PageControlCANConfig->ActivePage(), Form->TabSheet1);
}

TEST_F(Forms, StartUpRefillsTheFilterPortBoxWithNumberedPorts) {
    const TStrings& items = Form->ComboBoxVandrelPort->Items();
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items[0], "CAN0");
    EXPECT_EQ(items.Objects(0), 0);
    EXPECT_EQ(items[1], "CAN1");
    EXPECT_EQ(items.Objects(1), 1);
    EXPECT_EQ(Form->ComboBoxVandrelPort->ItemIndex(), 1);
}

TEST_F(Forms, PortBoxIsEditableAndOpenFollowsThePortList) {
    EXPECT_EQ(Form->ComboBoxCommIndex->Style(), TComboBoxStyle::csDropDown);
    const bool anyPort = Form->ComboBoxCommIndex->Items().Count() > 0;
    EXPECT_EQ(Form->ButtonOpenRS232->Enabled(), anyPort);
    if (!anyPort) {
        EXPECT_EQ(Form->ComboBoxCommIndex->Text(), "No RS232 port find !");
    }
    EXPECT_FALSE(CommOpened);
}

TEST_F(Forms, WindowIsAFixedToolWindowOfTheStoredSize) {
    EXPECT_EQ(Form->Caption(), "QUORIN 配置工具");
    EXPECT_EQ(Form->BorderStyle(), TFormBorderStyle::bsToolWindow);
    EXPECT_EQ(Form->Position(), TPosition::poDesktopCenter);
    EXPECT_EQ(Form->ClientRect().right, 694);
    EXPECT_EQ(Form->ClientRect().bottom, 419);
    EXPECT_EQ(Form->Menu(), Form->MainMenu1);
    EXPECT_EQ(Form->Font().Name(), "MS Sans Serif");
    EXPECT_EQ(Form->Font().Height(), -11);

    EXPECT_EQ(About->Caption(), "About");
    EXPECT_EQ(About->BorderStyle(), TFormBorderStyle::bsDialog);
    EXPECT_EQ(About->Position(), TPosition::poScreenCenter);
    EXPECT_EQ(About->ClientRect().right, 344);
    EXPECT_EQ(About->ClientRect().bottom, 145);
    EXPECT_FALSE(About->Visible());
    EXPECT_TRUE(About->OKButton->Default());
    EXPECT_EQ(About->OKButton->ModalResult(), mrOk);
}

// Edits have no length limit except the CAN identifier's eight hexadecimal digits.
TEST_F(Forms, OnlyTheCanIdentifierEditIsLimited) {
    EXPECT_EQ(Form->EditCANID->MaxLength(), 8);
    for (TCustomEdit* e :
         {static_cast<TCustomEdit*>(Form->EditVandrelStartID), static_cast<TCustomEdit*>(Form->EditVandrelEndID),
          static_cast<TCustomEdit*>(Form->EditBaudrateA), static_cast<TCustomEdit*>(Form->EditBaudrateB),
          static_cast<TCustomEdit*>(Form->EditUARTFrameInterVal)})
        EXPECT_EQ(e->MaxLength(), 0) << e->Name();
}

struct TColumn {
    std::string Caption;
    int Width;
    TAlignment Alignment;
    bool operator==(const TColumn&) const = default;
};

std::vector<TColumn> Columns(TListView& list) {
    std::vector<TColumn> out;
    for (int i = 0; i < list.Columns().Count(); ++i) {
        const TListColumn* c = list.Columns().Items(i);
        out.push_back({c->Caption(), c->Width(), c->Alignment()});
    }
    return out;
}

TEST_F(Forms, IdentityListStartsWithItsSixPropertyRows) {
    TListView& list = *Form->ListViewVandrelBasicInfo;
    EXPECT_EQ(Columns(list), (std::vector<TColumn>{{"Property", 250, TAlignment::taLeftJustify},
                                                   {"Description", 350, TAlignment::taCenter}}));
    std::vector<std::string> rows;
    for (int i = 0; i < list.Items().Count(); ++i) {
        rows.push_back(list.Items().Item(i)->Caption());
        const TStrings& sub = list.Items().Item(i)->SubItems();
        EXPECT_TRUE(sub.Count() == 0 || sub[0].empty());
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"Vendor ID", "Product Type", "Product Code", "Hardware Version",
                                              "Firmware Version", "Serial Number"}));
    EXPECT_EQ(list.ViewStyle(), TViewStyle::vsReport);
    EXPECT_TRUE(list.GridLines());
    EXPECT_FALSE(list.ReadOnly());
    EXPECT_FALSE(list.RowSelect());
    EXPECT_FALSE(list.MultiSelect());
}

TEST_F(Forms, FilterListStartsEmptyWithFourColumnsAndMultipleSelection) {
    TListView& list = *Form->ListViewVandrelFrameID;
    EXPECT_EQ(Columns(list), (std::vector<TColumn>{{"Port", 100, TAlignment::taLeftJustify},
                                                   {"Frame Type", 150, TAlignment::taCenter},
                                                   {"Start ID", 150, TAlignment::taCenter},
                                                   {"End ID", 150, TAlignment::taCenter}}));
    EXPECT_EQ(list.Items().Count(), 0);
    EXPECT_EQ(list.ViewStyle(), TViewStyle::vsReport);
    EXPECT_TRUE(list.GridLines());
    EXPECT_TRUE(list.RowSelect());
    EXPECT_TRUE(list.MultiSelect());
    EXPECT_FALSE(list.ReadOnly());
}

TEST_F(Forms, StatusBarHasTheAddressPanelAndAnEmptyOutcomePanel) {
    TStatusPanels& panels = Form->StatusBar1->Panels();
    ASSERT_EQ(panels.Count(), 2);
    EXPECT_EQ(panels[0]->Text(), "www.quorin.example");
    EXPECT_EQ(panels[0]->Width(), 350);
    EXPECT_EQ(panels[0]->Alignment(), TAlignment::taCenter);
    EXPECT_EQ(panels[1]->Text(), "");
    EXPECT_EQ(panels[1]->Width(), 50);
    EXPECT_EQ(panels[1]->Alignment(), TAlignment::taLeftJustify);
    EXPECT_FALSE(Form->StatusBar1->SimplePanel());
    EXPECT_EQ(Form->StatusBar1->Align(), TAlign::alBottom);
}

struct TMenuRow {
    const char* Name;
    const char* Parent;
    const char* Caption;
    bool Visible;
    bool HasHandler;
};

TEST_F(Forms, MenuHasFileWindowLanguageAndAbout) {
    const TMenuRow rows[] = {
        {"File1", "MainMenu1", "File", true, false},
        {"OpenProfile1", "File1", "Open profile...", true, true},
        {"SaveProfile1", "File1", "Save profile...", true, true},
        {"CompareProfile1", "File1", "Compare with converter...", true, true},
        {"RecentProfile4", "File1", "4", false, true},
        {"N5", "File1", "-", false, false},
        {"Exit1", "File1", "Exit", true, true},
        {"Window1", "MainMenu1", "Window", true, false},
        {"Vandrel1", "Window1", "QUORIN-Q1", true, false},
        {"N1", "Window1", "-", true, false},
        {"N2", "Window1", "-", true, false},
        {"N3", "Window1", "-", true, false},
        {"Skin1", "Window1", "Skin", true, false},
        {"Language1", "MainMenu1", "Language", true, false},
        {"ChineseSimplified1", "Language1", "简体中文(Chinese-Simplified)", true, true},
        {"English1", "Language1", "English", true, true},
        {"Help1", "MainMenu1", "About", true, false},
        {"AboutCANConfig1", "Help1", "About QUORIN", true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        auto* item = dynamic_cast<TMenuItem*>(Form->FindComponent(r.Name));
        ASSERT_NE(item, nullptr);
        ASSERT_NE(item->GetParentComponent(), nullptr);
        EXPECT_EQ(item->GetParentComponent()->Name(), r.Parent);
        EXPECT_EQ(item->Caption(), r.Caption);
        EXPECT_EQ(item->Visible(), r.Visible);
        EXPECT_EQ(IsMethodAssigned(item, "OnClick"), r.HasHandler);
    }
}

TEST_F(Forms, HiddenElementsAreKeptButNotShown) {
    EXPECT_FALSE(Form->TreeViewDeviceType->Visible());
    EXPECT_EQ(Form->TreeViewDeviceType->Indent(), 19);
    EXPECT_EQ(Form->ImageList1->Count(), 9);
    EXPECT_EQ(Form->ImageList1->Width(), 16);
    EXPECT_EQ(Form->ImageList1->Height(), 16);
    EXPECT_EQ(Form->Panel5->Caption(), "Dual Port Intelligent CANFD to Fiber Converter (Point to Point) ");
    EXPECT_EQ(Form->Panel5->Font().Name(), "Times New Roman");
    EXPECT_EQ(Form->EditOsmerkCAN0BTR0->Text(), "00");
    EXPECT_EQ(Form->EditOsmerkCAN1BTR1->Text(), "14");
    EXPECT_EQ(Form->MaskEdit7->EditMask(), "aaaaaaaa;1;_");
    EXPECT_FALSE(Form->MaskEdit8->Visible());
    EXPECT_FALSE(Form->TabSheet8->TabVisible());
    EXPECT_EQ(Form->ListViewOsmerkBasicInfo->Items().Count(), 6);
    EXPECT_EQ(Form->ListViewOsmerkFrameID->Columns().Count(), 4);
}

// The skin travels in the layout; its own tests check what it holds.
TEST_F(Forms, SkinComponentsAreLoadedWithTheWindow) {
    TComponent* skin = Form->FindComponent("SkinData1");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(static_cast<TComponent*>(Form->SkinData1), skin);
    EXPECT_EQ(static_cast<TComponent*>(Form->SkinCaption1), Form->FindComponent("SkinCaption1"));
    EXPECT_EQ(skin->ClassName(), "TSkinData");
    EXPECT_EQ(GetPropValue(skin, "Active"), "True");
    EXPECT_EQ(GetOrdProp(skin, "DisableTag"), 99);
    TComponent* caption = Form->FindComponent("SkinCaption1");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->ClassName(), "TSkinCaption");
}

// Exactly the handlers the design names are wired, to exactly these events.
TEST_F(Forms, EventWiringIsAsDesigned) {
    const std::pair<const char*, const char*> wired[] = {
        {"ButtonOpenRS232", "OnClick"},
        {"ButtonReadParameter", "OnClick"},
        {"ButtonWriteParameter", "OnClick"},
        {"ComboBoxSwitchMode", "OnChange"},
        {"CheckBoxBuadrateCustom", "OnClick"},
        {"CheckBoxVandrelFilterEnable", "OnClick"},
        {"CheckBoxCANFrameInfoEnable", "OnClick"},
        {"CheckBoxCANIDInfoEnable", "OnClick"},
        {"ButtonVandrelFilterIDAdd", "OnClick"},
        {"ButtonVandrelFilterIDDelete", "OnClick"},
    };
    for (const auto& [name, event] : wired)
        EXPECT_TRUE(IsMethodAssigned(Form->FindComponent(name), event)) << name << "." << event;
    EXPECT_TRUE(IsMethodAssigned(Form, "OnCreate"));
    EXPECT_TRUE(IsMethodAssigned(Form, "OnClose"));
    EXPECT_TRUE(IsMethodAssigned(About->OKButton, "OnClick"));
    // Nothing on the hidden page reacts.
    for (const char* name : {"ButtonOsmerkFilterIDAdd", "ButtonOsmerkFilterIDDelete", "CheckBoxOsmerkFilterEnable"})
        EXPECT_FALSE(IsMethodAssigned(Form->FindComponent(name), "OnClick")) << name;
}

// ---- a damaged layout ----

// A form that loads any layout text with do-nothing handlers of the main window's names,
// so the real layout can be loaded with one fault put in.
class TProbeForm : public TForm {
public:
    TProbeForm(std::string_view Text) : TForm(Application) {
        RegisterSkinClasses();
        for (const char* name :
             {"FormCreate", "Exit1Click", "AboutCANConfig1Click", "ButtonOpenRS232Click", "ButtonReadParameterClick",
              "ButtonWriteParameterClick", "ComboBoxSwitchModeChange", "CheckBoxBuadrateCustomClick",
              "ButtonVandrelFilterIDAddClick", "ButtonVandrelFilterIDDeleteClick", "CheckBoxVandrelFilterEnableClick",
              "OpenProfile1Click", "SaveProfile1Click", "CompareProfile1Click", "RecentProfileClick",
              "LanguageItemClick"})
            RegisterMethod(name, std::any(TNotifyEvent([](TObject*) {})));
        RegisterMethod("FormClose", std::any(TCloseEvent([](TObject*, TCloseAction&) {})));
        InitLayoutText(Text);
    }
};

std::string StoredLayout() {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, L"TFORMCANCONFIG", MAKEINTRESOURCEW(10));
    HGLOBAL data = res ? LoadResource(module, res) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(module, res)) : std::string();
}

struct TDamage {
    const char* Name;
    std::string Find;  // first occurrence in the stored layout
    std::string Replace;
    std::string Mentions;  // the message names this
};

class DamagedLayout : public testing::TestWithParam<TDamage> {};

TEST(StoredLayout, LoadsIntoAFormWithTheMainWindowsHandlers) {
    const std::string text = StoredLayout();
    ASSERT_FALSE(text.empty());
    TProbeForm* form = nullptr;
    EXPECT_NO_THROW(form = new TProbeForm(text));
    delete form;
}

TEST_P(DamagedLayout, IsRefusedWithTheLineOfTheFault) {
    const TDamage& d = GetParam();
    std::string text = StoredLayout();
    const size_t at = text.find(d.Find);
    ASSERT_NE(at, std::string::npos) << d.Find;
    text.replace(at, d.Find.size(), d.Replace);
    const int line = 1 + int(std::count(text.begin(), text.begin() + at, '\n'));

    try {
        TProbeForm form(text);
        FAIL() << "the damaged layout loaded";
    } catch (const ELayoutError& e) {
        EXPECT_EQ(e.Line(), line) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("Layout line " + std::to_string(line) + ",", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find(d.Mentions), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredLayout, DamagedLayout,
    testing::Values(TDamage{"MisspelledProperty", "Caption = \"打开串口\"", "Captoin = \"打开串口\"", "Captoin"},
                    TDamage{"UnknownClass", "EditCANID: TEdit {", "EditCANID: TEditt {", "TEditt"},
                    TDamage{"UnknownHandler", "OnClick = ButtonOpenRS232Click", "OnClick = ButtonOpenRS232Clik",
                            "ButtonOpenRS232Clik"},
                    TDamage{"WrongKindOfValue", "MaxLength = 8", "MaxLength = \"8\"", "MaxLength"},
                    TDamage{"UnclosedString", "Caption = \"CAN参数\"", "Caption = \"CAN参数", "string"},
                    TDamage{"DuplicateName", "Label5: TLabel {", "Label7: TLabel {", "Label7"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace quorin
