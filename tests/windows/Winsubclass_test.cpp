// The control walk: which painter each control of a window gets (the main window's real
// layout, DisableTag, the Skin3rd map, raw dialogs), the painter pipeline's switch, and
// painters leaving with their controls.
#include "skin/apply/Winskinform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "app/UnitCANConfig.h"
#include "forms/Buttons.h"
#include "forms/ComCtrls.h"
#include "forms/ComCtrlsExtra.h"
#include "forms/ExtCtrls.h"
#include "forms/Forms.h"
#include "forms/RadioGroup.h"
#include "forms/StdCtrls.h"
#include "forms/TypInfo.h"
#include "skin/resources/Winskindata.h"

namespace quorin {
namespace {

// A control of class Base that calls itself Name, so the walk meets classes the framework
// does not have (yet), such as those of other libraries named in Skin3rd.
template <class Base>
class TNamed : public Base {
public:
    TNamed(TComponent* Owner, const std::string& Name) : Base(Owner) {
        FInfo.Name = Name;
        FInfo.Parent = &Base::StaticClassInfo();
    }
    const TClassInfo& ClassInfo() const override { return FInfo; }
    void AddEnum(const std::string& Prop, const std::string& Value) {
        TPropInfo p;
        p.Name = Prop;
        p.Kind = TPropKind::Enumeration;
        p.Names = {Value};
        p.GetOrd = [](const TObject&) { return int64_t(0); };
        FInfo.Props.push_back(p);
    }
    void AddInt(const std::string& Prop, int64_t Value) {
        TPropInfo p;
        p.Name = Prop;
        p.Kind = TPropKind::Integer;
        p.GetOrd = [Value](const TObject&) { return Value; };
        FInfo.Props.push_back(p);
    }
    TClassInfo FInfo;
};

// A button whose window cannot be made while Refuse is set.
class TRefusingButton : public TButton {
public:
    using TButton::TButton;
    static inline bool Refuse = false;

protected:
    void CreateParams(TCreateParams& Params) override {
        if (Refuse) throw Exception("no window for this one");
        TButton::CreateParams(Params);
    }
};

// Shares the main window (and its skin) across the suite; each test gets a fresh applier.
class Walk : public testing::Test {
protected:
    static void SetUpTestSuite() { Main = new TFormCANConfig(Application); }
    static void TearDownTestSuite() { delete Main; }
    void SetUp() override {
        Skin = Main->SkinData1;
        Saved = Skin->SkinControls;
        Saved3rd.Assign(Skin->Skin3rd());
        Applier = std::make_unique<TWinSkinForm>(nullptr);
        Applier->FSkinData = Skin;
    }
    void TearDown() override {
        Applier.reset();
        delete Form;
        Skin->SkinControls = Saved;
        Skin->SetSkin3rd(Saved3rd);
        Skin->OnSkinControl = nullptr;
    }
    TForm* MakeForm() {
        Form = new TForm(Application);
        Form->SetBounds(40, 40, 400, 300);
        return Form;
    }
    template <class C, class... A>
    C* Add(TWinControl* Parent, A&&... Args) {
        C* c = new C(Form, std::forward<A>(Args)...);
        c->SetParent(Parent);
        c->SetBounds(8 + 60 * int(Parent->ControlCount() % 5), 8 + 30 * int(Parent->ControlCount() / 5), 56, 24);
        return c;
    }
    // The class of the first painter attached to the control; empty when none.
    std::string PainterOf(TControl* c) const {
        for (TSkinControl* p : Applier->ControlList())
            if (p->FControl == c) return p->ClassName();
        // A painter attached to the control's window alone.
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleAllocated())
            if (TSkinControl* p = Applier->Lookupcontrol(w->Handle())) return p->ClassName();
        return {};
    }
    static inline TFormCANConfig* Main = nullptr;
    TSkinData* Skin = nullptr;
    TSkinControls Saved;
    TStringList Saved3rd;
    std::unique_ptr<TWinSkinForm> Applier;
    TForm* Form = nullptr;
};

// What the rows of the walk's table give the framework classes of the main window.
const std::map<std::string, std::string> kPainterByClass = {{"TLabel", ""},
                                                            {"TGroupBox", "TSkinGroupBox"},
                                                            {"TComboBox", "TSkinComBox"},
                                                            {"TButton", "TSkinButton"},
                                                            {"TPageControl", "TSkinTab"},
                                                            {"TTabSheet", "TSkinTabSheet"},
                                                            {"TListView", "TSkinListView"},
                                                            {"TCheckBox", "TSkinCheckBox"},
                                                            {"TEdit", "TSkinEdit"},
                                                            {"TMaskEdit", "TSkinEdit"},
                                                            {"TPanel", "TSkinBox"},
                                                            {"TTreeView", "TSkinScrollbar"},
                                                            {"TStatusBar", "TSkinStatusBar"}};

struct TGateCase {
    TSkinControlType Off;
    std::vector<std::string> Unskinned;  // classes that lose their painter
};

class MainWindowWalk : public Walk, public testing::WithParamInterface<TGateCase> {};

TEST_P(MainWindowWalk, EveryControlGetsThePainterOfItsKind) {
    if (GetParam().Off != xcMainMenu) Skin->SkinControls.Exclude(GetParam().Off);
    Applier->InitControls(Main);
    size_t expected = 0;
    for (int i = 0; i < Main->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(Main->Components(i));
        if (!c) continue;
        ASSERT_TRUE(kPainterByClass.count(c->ClassName())) << c->ClassName();
        std::string want = kPainterByClass.at(c->ClassName());
        for (const std::string& off : GetParam().Unskinned)
            if (off == c->ClassName()) want.clear();
        EXPECT_EQ(PainterOf(c), want) << c->Name();
        expected += !want.empty();
    }
    const std::vector<TSkinControl*> first = Applier->ControlList();
    EXPECT_EQ(size_t(std::count_if(first.begin(), first.end(), [](TSkinControl* p) { return p->FControl; })), expected)
        << "one painter per skinned control";
    Applier->InitControls(Main);
    EXPECT_EQ(Applier->ControlList(), first) << "a second walk attaches nothing";
    Applier.reset();
    EXPECT_EQ(SendMessageW(Main->ButtonOpenRS232->Handle(), CN_IsSkinned, 0, 0), 0) << "unskinned again";
}

INSTANTIATE_TEST_SUITE_P(Gates, MainWindowWalk,
                         testing::Values(TGateCase{xcMainMenu, {}}, TGateCase{xcTab, {"TPageControl", "TTabSheet"}},
                                         TGateCase{xcPanel, {"TGroupBox", "TPanel"}},
                                         TGateCase{xcScrollbar, {"TListView", "TTreeView"}},
                                         TGateCase{xcCombo, {"TComboBox"}}, TGateCase{xcEdit, {"TEdit", "TMaskEdit"}},
                                         TGateCase{xcButton, {"TButton"}}, TGateCase{xcCheckBox, {"TCheckBox"}},
                                         TGateCase{xcStatusBar, {"TStatusBar"}}));

TEST_F(Walk, TabGateNeedsTheSkinsTabsElement) {
    std::unique_ptr<TDataSkinBorder> tabs = std::move(Skin->Tabs);
    Applier->InitControls(Main);
    Skin->Tabs = std::move(tabs);
    for (const char* name : {"PageControlCANConfig", "TabSheet1"})
        EXPECT_EQ(PainterOf(static_cast<TControl*>(Main->FindComponent(name))), "") << name;
}

struct TTagCase {
    const char* GroupClass;
    int32_t GroupTag;
    const char* GroupPainter;
    const char* ButtonPainter;
    int32_t ButtonTagAfter;
};

class DisableTagWalk : public Walk, public testing::WithParamInterface<TTagCase> {};

TEST_P(DisableTagWalk, TaggedControlsAndTheirGroupsButtonsStayNative) {
    MakeForm();
    // The framework's radio group makes its own buttons; the others get two of the form's.
    TGroupBox* group = nullptr;
    std::vector<TRadioButton*> buttons;
    if (std::string(GetParam().GroupClass) == "TRadioGroup") {
        auto* real = Add<TRadioGroup>(Form);
        TStringList items;
        items.Add("A");
        items.Add("B");
        real->SetItems(items);
        for (int i = 0; i < real->ButtonCount(); ++i) buttons.push_back(real->Buttons(i));
        group = real;
    } else {
        group = Add<TNamed<TGroupBox>>(Form, GetParam().GroupClass);
        buttons = {Add<TRadioButton>(group), Add<TRadioButton>(group)};
    }
    group->SetTag(GetParam().GroupTag);
    group->SetBounds(8, 8, 200, 120);
    ASSERT_EQ(buttons.size(), 2u);
    auto* tagged = Add<TButton>(Form);
    tagged->SetTag(99);
    Applier->InitControls(Form);
    EXPECT_EQ(PainterOf(group), GetParam().GroupPainter);
    for (TRadioButton* b : buttons) {
        EXPECT_EQ(PainterOf(b), GetParam().ButtonPainter);
        EXPECT_EQ(b->Tag(), GetParam().ButtonTagAfter);
    }
    EXPECT_EQ(PainterOf(tagged), "");
}

INSTANTIATE_TEST_SUITE_P(Groups, DisableTagWalk,
                         testing::Values(TTagCase{"TRadioGroup", 0, "TSkinGroupBox", "TSkinRadioButton", 0},
                                         TTagCase{"TRadioGroup", 99, "", "", 99},
                                         TTagCase{"TAcmeCheckGroup", 99, "", "", 99},
                                         TTagCase{"TGroupBox", 99, "", "TSkinRadioButton", 0}));

// One control of a named class (with its own check boxes for the group kinds), walked
// under a Skin3rd map and with some kinds switched off.
struct TKindCase {
    const char* Name;
    std::vector<std::string> Skin3rd;
    const char* Class;
    char Base;  // b button, e edit, p panel, w plain window, g and f group box and plain
                // window with two check boxes of their own, s the framework's speed button
    std::vector<TSkinControlType> Off;
    std::vector<std::pair<std::string, std::string>> Enums;
    const char* Painter;
    const char* ChildPainter;
};

class KindWalk : public Walk, public testing::WithParamInterface<TKindCase> {};

TEST_P(KindWalk, ChoosesThePainterOfTheClassKind) {
    const TKindCase& k = GetParam();
    MakeForm();
    TStringList lines;
    for (const std::string& l : k.Skin3rd) lines.Add(l);
    Skin->SetSkin3rd(lines);
    for (TSkinControlType t : k.Off) Skin->SkinControls.Exclude(t);
    TWinControl* c = nullptr;
    auto named = [&](auto* made) {
        // "#Name" is an integer property.
        for (const auto& [prop, value] : k.Enums)
            if (prop[0] == '#')
                made->AddInt(prop.substr(1), std::stoll(value));
            else
                made->AddEnum(prop, value);
        c = made;
    };
    switch (k.Base) {
    case 'b': named(Add<TNamed<TButton>>(Form, k.Class)); break;
    case 'e': named(Add<TNamed<TEdit>>(Form, k.Class)); break;
    case 'p': named(Add<TNamed<TPanel>>(Form, k.Class)); break;
    case 'g': named(Add<TNamed<TGroupBox>>(Form, k.Class)); break;
    case 's': break;
    default: named(Add<TNamed<TWinControl>>(Form, k.Class)); break;
    }
    TControl* control = c;
    if (k.Base == 's') control = Add<TSpeedButton>(Form);
    std::vector<TCheckBox*> children;
    if (k.Base == 'g' || k.Base == 'f') {
        c->SetBounds(8, 8, 200, 100);
        for (int i = 0; i < 2; ++i) {
            children.push_back(new TCheckBox(c));  // the group's own, as a group makes them
            children.back()->SetParent(c);
        }
    }
    Applier->InitControls(Form);
    EXPECT_EQ(PainterOf(control), k.Painter);
    for (TCheckBox* b : children) EXPECT_EQ(PainterOf(b), k.ChildPainter);
    const size_t painters = Applier->ControlList().size();
    Applier->InitControls(Form);
    EXPECT_EQ(Applier->ControlList().size(), painters) << "a second walk attaches nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Skin3rd, KindWalk,
    testing::Values(
        TKindCase{"TrackbarKind", {"TAcmeSlider=trackbar"}, "TAcmeSlider", 'p', {}, {}, "TSkinTrackBar", ""},
        TKindCase{"TrackbarNeedsButtons", {"TAcmeSlider=trackbar"}, "TAcmeSlider", 'p', {xcButton}, {}, "", ""},
        TKindCase{"NilStaysNative", {"TAcmeBox=nil"}, "TAcmeBox", 'p', {}, {}, "", ""},
        TKindCase{"FirstLineWins", {"TAcmeBox=button", "TAcmeBox=panel"}, "TAcmeBox", 'p', {}, {}, "TSkinButton", ""},
        TKindCase{"CaseIgnored", {"tacmebox=Panel"}, "TAcmeBox", 'b', {}, {}, "TSkinBox", ""},
        TKindCase{"UnknownKindStaysNative", {"TAcmeBox=gizmo"}, "TAcmeBox", 'p', {}, {}, "", ""},
        TKindCase{"NoPrefixMatch", {"TAcme=button"}, "TAcmeBox", 'p', {}, {}, "TSkinBox", ""},
        TKindCase{"CheckGroup", {"TAcmeGroup=CheckGroup"}, "TAcmeGroup", 'g', {}, {}, "TSkinGroupBox", "TSkinCheckBox"},
        TKindCase{"CheckGroupNeedsPanels", {"TAcmeGroup=checkgroup"}, "TAcmeGroup", 'g', {xcPanel}, {}, "", ""},
        TKindCase{
            "RadioGroup", {"TAcmeGroup=radiogroup"}, "TAcmeGroup", 'g', {}, {}, "TSkinGroupBox", "TSkinRadioButton"},
        // Every other kind once, and the gates that only the table names.
        TKindCase{"ComboBoxKind", {"TAcmeBox=combobox"}, "TAcmeBox", 'w', {}, {}, "TSkinComBox", ""},
        TKindCase{"EditKind", {"TAcmeBox=edit"}, "TAcmeBox", 'e', {}, {}, "TSkinEdit", ""},
        TKindCase{"RadioButtonKind", {"TAcmeBox=radiobutton"}, "TAcmeBox", 'b', {}, {}, "TSkinRadioButton", ""},
        TKindCase{"DateTimeKind", {"TAcmeBox=datetimepicker"}, "TAcmeBox", 'w', {}, {}, "TSkinDateTime", ""},
        TKindCase{"DateTimeNeedsCombos", {"TAcmeBox=datetimepicker"}, "TAcmeBox", 'w', {xcCombo}, {}, "", ""},
        TKindCase{"MediaPlayerKind", {"TAcmeBox=mediaplayer"}, "TAcmeBox", 'p', {}, {}, "TSkinMP", ""},
        TKindCase{"BitBtnKind", {"TAcmeBox=bitbtn"}, "TAcmeBox", 'b', {}, {}, "TSkinBitButton", ""},
        TKindCase{"DropDownCxButton",
                  {"TcxButton=bitbtn"},
                  "TcxButton",
                  'b',
                  {},
                  {{"Kind", "cxbkDropDownButton"}},
                  "TSkinMenuButton",
                  ""},
        TKindCase{"PngBitBtnKind", {"TAcmeBox=pngbitbtn"}, "TAcmeBox", 'b', {}, {}, "TSkinBitButton", ""},
        TKindCase{"MenuBtnKind", {"TAcmeBox=menubtn"}, "TAcmeBox", 'b', {}, {}, "TSkinMenuButton", ""},
        TKindCase{"SpeedButtonKind", {"TSpeedButton=speedbutton"}, "", 's', {}, {}, "TSkinSpeedButton", ""},
        TKindCase{"TabKind", {"TAcmeBox=tab"}, "TAcmeBox", 'w', {}, {}, "TSkinTab", ""},
        TKindCase{"ProgressKind", {"TAcmeBox=progress"}, "TAcmeBox", 'w', {}, {}, "TSkinProgress", ""},
        TKindCase{"ScrollbarKind", {"TAcmeBox=scrollbar"}, "TAcmeBox", 'f', {}, {}, "TSkinScrollbar", "TSkinCheckBox"},
        TKindCase{"SingleScrollbarKind", {"TAcmeBox=singlescrollbar"}, "TAcmeBox", 'w', {}, {}, "TSkinScrollbar", ""},
        TKindCase{"EmbedScrollbarKind", {"TAcmeBox=embedscrollbar"}, "TAcmeBox", 'f', {}, {}, "", ""},
        TKindCase{"ContainerKind", {"TAcmeBox=container"}, "TAcmeBox", 'f', {}, {}, "", "TSkinCheckBox"},
        TKindCase{"GroupBoxKind", {"TAcmeBox=groupbox"}, "TAcmeBox", 'p', {}, {}, "TSkinGroupBox", ""},
        TKindCase{"AdvPageControlKind", {"TAcmeBox=advpagecontrol"}, "TAcmeBox", 'w', {}, {}, "TSkinAdvPage", ""},
        TKindCase{"CheckBoxKind", {"TAcmeBox=checkbox"}, "TAcmeBox", 'b', {}, {}, "TSkinCheckBox", ""},
        TKindCase{"CheckBoxNeedsItsSwitch", {"TAcmeBox=checkbox"}, "TAcmeBox", 'b', {xcCheckBox}, {}, "", ""}),
    [](const auto& i) { return std::string(i.param.Name); });

// The rows of the walk's table that name classes of other libraries, and the kinds only
// the table's order tells apart.
INSTANTIATE_TEST_SUITE_P(
    Rows, KindWalk,
    testing::Values(TKindCase{"ToolButtonGetsNoPainter", {}, "TToolButton", 'w', {}, {}, "", ""},
                    TKindCase{"CoolBarGetsNoPainter", {}, "TCoolBar", 'w', {}, {}, "", ""},
                    TKindCase{"TabSet", {}, "TTabSet", 'w', {}, {}, "TSkinTab31", ""},
                    TKindCase{"TabbedNotebook", {}, "TTabbedNotebook", 'w', {}, {}, "TSkinTab", ""},
                    TKindCase{"MvcPanelWalksItsChildren", {}, "TMvcPanel", 'f', {}, {}, "", "TSkinCheckBox"},
                    TKindCase{"HeaderControl", {}, "THeaderControl", 'w', {}, {}, "TSkinHeader", ""},
                    TKindCase{"UpDown", {}, "TUpDown", 'w', {}, {}, "TSkinUpDown", ""},
                    TKindCase{"SpinButton", {}, "TSpinButton", 'w', {}, {}, "TSkinUpDown", ""},
                    TKindCase{"SpinNeedsItsSwitch", {}, "TSpinButton", 'w', {xcSpin}, {}, "", ""},
                    TKindCase{"MediaPlayer", {}, "TMediaPlayer", 'p', {}, {}, "TSkinMP", ""},
                    TKindCase{"DbNavigatorAndItsButtons", {}, "TDBNavigator", 'f', {}, {}, "TSkinBox", "TSkinCheckBox"},
                    TKindCase{"RzCheckBox", {}, "TRzCheckBox", 'b', {}, {}, "TSkinObjImage", ""},
                    TKindCase{"RzRadioButton", {}, "TRzRadioButton", 'b', {}, {}, "TSkinObjImage", ""},
                    TKindCase{"CxCheckBox", {}, "TcxCheckBox", 'b', {}, {}, "TSkinObjImage", ""},
                    TKindCase{"TntComboBox", {}, "TTntComboBox", 'w', {}, {}, "TSkinComBox", ""},
                    TKindCase{"RichEdit", {}, "TRichEdit", 'e', {}, {}, "TSkinScrollbar", ""},
                    TKindCase{"DxDbMemo", {}, "TdxDBMemo", 'e', {}, {}, "TSkinScrollbar", ""},
                    TKindCase{"DxTreeList", {}, "TdxTreeList", 'w', {}, {}, "TSkinScrollbar", ""},
                    TKindCase{"Grid", {}, "TCustomGrid", 'w', {}, {}, "TSkinScrollbar", ""},
                    TKindCase{"DcEditWithAButton", {}, "TDCEdit", 'w', {}, {{"#NumButtons", "1"}}, "TSkinComBox", ""},
                    TKindCase{"DcEditWithoutButtons", {}, "TDCEdit", 'w', {}, {{"#NumButtons", "0"}}, "TSkinEdit", ""}),
    [](const auto& i) { return std::string(i.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Classes, KindWalk,
    testing::Values(
        TKindCase{"BitButton", {}, "TBitBtn", 'b', {}, {}, "TSkinBitButton", ""},
        TKindCase{"BitButtonSwitchedOff", {}, "TBitBtn", 'b', {xcBitBtn}, {}, "", ""},
        TKindCase{"DropDownPicker", {}, "TDateTimePicker", 'w', {}, {}, "TSkinDateTime", ""},
        TKindCase{"TimePicker", {}, "TDateTimePicker", 'w', {}, {{"Kind", "dtkTime"}}, "TSkinEdit", ""},
        TKindCase{"UpDownPicker", {}, "TDateTimePicker", 'w', {}, {{"DateMode", "dmUpDown"}}, "TSkinEdit", ""},
        TKindCase{"MemoBeforeEdit", {}, "TMemo", 'e', {}, {}, "TSkinScrollbar", ""},
        TKindCase{"ButtonTabs", {}, "TPageControl", 'w', {}, {{"Style", "tsButtons"}}, "TSkinTabBtn", ""},
        TKindCase{"TabControl", {}, "TTabControl", 'w', {}, {}, "TSkinTab", ""},
        TKindCase{"TrackBar", {}, "TTrackBar", 'w', {}, {}, "TSkinTrackBar", ""},
        TKindCase{"ScrollBar", {}, "TScrollBar", 'w', {}, {}, "TSkinScControl", ""},
        TKindCase{"ToolBar", {}, "TToolBar", 'w', {}, {}, "TSkinBox", ""},
        TKindCase{
            "RadioGroupWithoutRadios", {}, "TRadioGroup", 'g', {xcRadioButton}, {}, "TSkinGroupBox", "TSkinCheckBox"},
        TKindCase{"FrameWalksItsOwnControls", {}, "TFrame", 'f', {}, {}, "", "TSkinCheckBox"},
        TKindCase{"SpeedButton", {}, "", 's', {}, {}, "TSkinSpeedButton", ""},
        TKindCase{"SpeedButtonSwitchedOff", {}, "", 's', {xcSpeedButton}, {}, "", ""}),
    [](const auto& i) { return std::string(i.param.Name); });

TEST_F(Walk, HandlerPaintsWhatItChoosesAndWindowsThatCannotBeMadeAreSkipped) {
    MakeForm();
    auto* asked = Add<TButton>(Form);
    auto* refusing = Add<TRefusingButton>(Form);
    auto* edit = Add<TEdit>(Form);
    std::vector<std::string> seen;
    Skin->OnSkinControl = [&](TObject* Sender, TSkinData* Data, TComponent* Container, TControl* Control,
                              const std::string& Class, TObject*& Made) {
        EXPECT_EQ(Sender, Applier.get());
        EXPECT_EQ(Data, Skin);
        EXPECT_EQ(Container, Form);
        seen.push_back(Class);
        if (Control == asked) Made = NewSkinControl("TSkinEdit", Control);
    };
    Form->HandleNeeded();
    refusing->DestroyHandle();
    TRefusingButton::Refuse = true;
    EXPECT_NO_THROW(Applier->InitControls(Form));
    TRefusingButton::Refuse = false;
    EXPECT_EQ(PainterOf(asked), "TSkinEdit");
    EXPECT_EQ(PainterOf(refusing), "");
    EXPECT_EQ(PainterOf(edit), "TSkinEdit");
    EXPECT_EQ(seen, (std::vector<std::string>{"TBUTTON", "TEDIT"}));
}

TEST_F(Walk, NestedContainerBecomesABoxAndItsOwnControlsAreWalked) {
    MakeForm();
    auto* host = Add<TPanel>(Form);
    auto* inner = new TButton(host);
    inner->SetParent(host);
    Applier->InitNestform(host);
    EXPECT_EQ(PainterOf(host), "TSkinBox");
    EXPECT_EQ(PainterOf(inner), "TSkinButton");
    EXPECT_EQ(host->Color(), Skin->Colors.ButtonFace);
}

// A painter that fills its control and counts its paints.
class TProbe : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawControl(HDC DC, const RECT& Rect) override {
        ++Paints;
        FillColor(DC, Rect, 0x00FF00);
    }
    int Paints = 0;
};

TEST_F(Walk, SkinEnableSwitchesPaintingOffAndRepaintsWhenOn) {
    MakeForm();
    auto* button = Add<TButton>(Form);
    Form->Show();
    auto* probe = new TProbe(button);
    probe->Init(Applier.get(), Skin, false, Applier->FCanvas.get());
    HWND h = button->Handle();
    auto centre = [h] {
        HDC dc = GetWindowDC(h);
        COLORREF c = GetPixel(dc, 20, 12);
        ReleaseDC(h, dc);
        return c;
    };
    auto repaint = [h] { RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
    repaint();
    const int painted = probe->Paints;
    EXPECT_GT(painted, 0);
    EXPECT_EQ(centre(), RGB(0, 0xFF, 0));
    SendMessageW(h, CN_SkinEnable, 0, 0);
    repaint();
    EXPECT_EQ(probe->Paints, painted);
    EXPECT_NE(centre(), RGB(0, 0xFF, 0)) << "native look while off";
    SendMessageW(h, CN_SkinEnable, WPARAM(-1), 0);
    EXPECT_EQ(probe->Paints, painted) << "a negative switch is no switch on";
    SendMessageW(h, CN_SkinEnable, 1, 0);
    EXPECT_GT(probe->Paints, painted) << "painted at once";
    EXPECT_EQ(centre(), RGB(0, 0xFF, 0));
}

// A painter whose drawing fails.
class TFailing : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void DrawControl(HDC, const RECT&) override { throw Exception("broken picture"); }
};

TEST_F(Walk, DrawingFaultsLeaveTheNativePaintingAndReachNobody) {
    MakeForm();
    auto* button = Add<TButton>(Form);
    Form->Show();
    (new TFailing(button))->Init(Applier.get(), Skin, false, Applier->FCanvas.get());
    int shown = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++shown; };
    RedrawWindow(button->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Application->OnException = nullptr;
    EXPECT_EQ(shown, 0);
}

TEST_F(Walk, PaintersLeaveWithTheirControlsAndWindows) {
    MakeForm();
    auto* gone = Add<TButton>(Form);
    auto* edit = Add<TEdit>(Form);
    auto* kept = Add<TCheckBox>(Form);
    Applier->InitControls(Form);
    ASSERT_EQ(Applier->ControlList().size(), 3u);
    // Someone hooks the check box after its painter; that hook must outlive the painter.
    int outer = 0;
    TWndMethod before = kept->WindowProc;
    kept->WindowProc = [&outer, before](TMessage& m) {
        ++outer;
        before(m);
    };

    delete gone;
    EXPECT_EQ(Applier->ControlList().size(), 2u) << "the destroyed control's painter left the list";
    edit->DestroyHandle();  // the window goes, the control stays
    Applier->InitControls(Form);
    EXPECT_EQ(Applier->ControlList().size(), 2u);
    EXPECT_EQ(PainterOf(edit), "TSkinEdit");
    EXPECT_EQ(SendMessageW(edit->Handle(), CN_IsSkinned, 0, 0), 1) << "the new window is skinned again";

    // Walked again as raw windows (by another applier), the skinned controls get nothing.
    TWinSkinForm raw(nullptr);
    raw.FSkinData = Skin;
    raw.InitHwndControls(Form->Handle());
    EXPECT_TRUE(raw.ControlList().empty());

    Applier->DeleteControls();
    EXPECT_EQ(kept->Perform(CN_IsSkinned), 0);
    EXPECT_GT(outer, 0) << "the later hook still runs";
    kept->WindowProc = before;
}

TEST(PropertyHelpers, AbsentOrForeignPropertiesGiveTheAbsentValue) {
    TPanel panel(nullptr);
    EXPECT_EQ(GetProperty(&panel, "Transparent"), "False");
    EXPECT_EQ(GetProperty(&panel, "BevelWidth"), "1");
    EXPECT_EQ(GetIntProperty(&panel, "Transparent"), -1);
    EXPECT_EQ(GetIntProperty(&panel, "NumButtons"), -1);
    EXPECT_EQ(GetEnumProperty(nullptr, "Kind"), "");
    EXPECT_EQ(GetObjProp(&panel, "Menu", TComponent::StaticClassInfo()), nullptr);
    EXPECT_NO_THROW(SetProperty(&panel, "BevelWidth", "many"));
    EXPECT_NO_THROW(SetProperty(&panel, "Flat", "True"));
    SetProperty(&panel, "Transparent", "True");
    EXPECT_TRUE(panel.Transparent());
    EXPECT_EQ(panel.BevelWidth(), 1);
}

// A raw dialog (no framework objects) with one control of each style the walk tells apart.
TEST_F(Walk, RawDialogControlsGetPaintersByWindowClassAndStyle) {
    struct TItem {
        WORD Id;
        WORD Atom;
        DWORD Style;
        const char* Painter;
    };
    const TItem items[] = {{101, 0x80, BS_GROUPBOX, ""},
                           {102, 0x80, BS_PUSHBUTTON | BS_BITMAP, ""},
                           {103, 0x80, BS_OWNERDRAW, ""},
                           {104, 0x80, BS_AUTOCHECKBOX, "TSkinCheckBox"},
                           {105, 0x80, BS_AUTORADIOBUTTON, "TSkinRadioButton"},
                           {106, 0x80, BS_PUSHBUTTON, "TSkinButton"},
                           {107, 0x80, BS_3STATE, "TSkinCheckBox"},
                           {108, 0x81, WS_BORDER, "TSkinEdit"},
                           {109, 0x85, CBS_DROPDOWNLIST, "TSkinComBox"},
                           {110, 0x85, CBS_SIMPLE, ""},
                           {111, 0x82, SS_LEFT, ""},
                           {112, 0x84, SBS_HORZ, "TSkinSizer"}};
    std::vector<WORD> t(4096, 0);
    size_t n = 0;
    auto put = [&](const void* p, size_t bytes) {
        memcpy(&t[n], p, bytes);
        n += (bytes + 1) / 2;
    };
    auto align4 = [&] { n = (n + 1) & ~size_t(1); };
    const DLGTEMPLATE dlg{WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, WORD(std::size(items)), 10, 10, 300, 200};
    put(&dlg, sizeof dlg);
    n += 3;  // no menu, the default class, no title
    for (size_t i = 0; i < std::size(items); ++i) {
        align4();
        const DLGITEMTEMPLATE it{WS_CHILD | WS_VISIBLE | items[i].Style,
                                 0,
                                 short(4 + 70 * (i % 4)),
                                 short(4 + 30 * (i / 4)),
                                 66,
                                 24,
                                 items[i].Id};
        put(&it, sizeof it);
        const WORD cls[2] = {0xFFFF, items[i].Atom};
        put(cls, sizeof cls);
        n += 2;  // no text, no creation data
    }
    HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_TRUE(dialog);
    std::vector<std::pair<HWND, std::string>> expected;
    for (const TItem& i : items) expected.emplace_back(GetDlgItem(dialog, i.Id), i.Painter);
    // Tab controls (not owner-drawn ones) and a dialog nested in the dialog, walked too.
    auto child = [](const wchar_t* cls, DWORD style, HWND parent, int y) {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 4, y, 120, 40, parent, nullptr, nullptr,
                               nullptr);
    };
    expected.emplace_back(child(WC_TABCONTROLW, 0, dialog, 130), "TSkinTab");
    expected.emplace_back(child(WC_TABCONTROLW, TCS_OWNERDRAWFIXED, dialog, 180), "");
    HWND nested = child(L"#32770", 0, dialog, 230);
    expected.emplace_back(nested, "TSkinBoxH");
    expected.emplace_back(child(L"Button", BS_PUSHBUTTON, nested, 0), "TSkinButton");
    Applier->InitHwndControls(dialog);
    const size_t first = Applier->ControlList().size();
    Applier->InitHwndControls(dialog);
    EXPECT_EQ(Applier->ControlList().size(), first) << "a second walk attaches nothing";
    for (const auto& [window, painter] : expected) {
        ASSERT_TRUE(window);
        TSkinControl* p = Applier->Lookupcontrol(window);
        EXPECT_EQ(p ? p->ClassName() : "", painter) << GetDlgCtrlID(window);
    }
    HWND edit = GetDlgItem(dialog, 108);
    DestroyWindow(edit);
    EXPECT_EQ(Applier->Lookupcontrol(edit), nullptr);
    Applier.reset();
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, 106), CN_IsSkinned, 0, 0), 0);
    DestroyWindow(dialog);
}

// The framework's own windows met as raw windows (a window the walk reaches by handle
// alone), by their window class: the panel family is walked into and takes the skin's face
// colour without a painter (the silent panel is not walked into), the others get the
// painter of their kind; an extended combo box gives its painter to the combo box inside.
TEST_F(Walk, FrameworkWindowsMetByHandleGetPaintersByWindowClass) {
    MakeForm();
    struct TRow {
        const char* Class;  // the window class; empty: the framework class's own
        char Base;  // 'p' panel (with a button inside), 'c' check box, 'o' combo box, 'b' button, 'g' progress bar
        const char* Painter;  // on the window itself
        const char* Inside;   // on the button inside a panel; nullptr: no button
    };
    const TRow rows[] = {{"", 'p', "", "TSkinButton"},
                         {"TTntPanel.UnicodeClass", 'p', "", "TSkinButton"},
                         {"TTntSilentPaintPanel.UnicodeClass", 'p', "", "TSkinButton"},
                         {"TSilentPaintPanel", 'p', "", ""},
                         {"", 'c', "TSkinCheckBox", nullptr},
                         {"", 'o', "TSkinComBox", nullptr},
                         {"", 'b', "TSkinButton", nullptr},
                         {"", 'g', "TSkinProgress", nullptr}};
    struct TMade {
        const TRow* Row;
        TWinControl* Control;
        TButton* Inside;
    };
    std::vector<TMade> made;
    for (const TRow& row : rows) {
        TWinControl* c = nullptr;
        TButton* inside = nullptr;
        switch (row.Base) {
        case 'p': {
            TPanel* panel = *row.Class ? Add<TNamed<TPanel>>(Form, row.Class) : Add<TPanel>(Form);
            panel->SetColor(0x0000FF);
            inside = new TButton(Form);
            inside->SetParent(panel);
            inside->SetBounds(2, 2, 20, 12);
            c = panel;
            break;
        }
        case 'c': c = Add<TCheckBox>(Form); break;
        case 'o': c = Add<TComboBox>(Form); break;
        case 'b': c = Add<TButton>(Form); break;
        default: c = Add<TProgressBar>(Form); break;
        }
        made.push_back({&row, c, inside});
    }
    Form->HandleNeeded();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    HWND ex = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 8, 200, 120, 100,
                              Form->Handle(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(ex);
    HWND inner = GetTopWindow(ex);
    ASSERT_TRUE(inner);

    Applier->InitHwndControls(Form->Handle());
    auto painterOf = [&](HWND h) {
        TSkinControl* p = Applier->Lookupcontrol(h);
        return p ? p->ClassName() : std::string();
    };
    for (const TMade& m : made) {
        const std::string name = *m.Row->Class ? m.Row->Class : m.Control->ClassName();
        EXPECT_EQ(painterOf(m.Control->Handle()), m.Row->Painter) << name;
        if (m.Row->Inside) {
            EXPECT_EQ(m.Control->Color(), Skin->Colors.ButtonFace) << name << ": the skin's face";
            EXPECT_EQ(painterOf(m.Inside->Handle()), m.Row->Inside) << name << ": the button inside";
        }
    }
    EXPECT_EQ(painterOf(ex), "") << "the extended combo box itself";
    EXPECT_EQ(painterOf(inner), "TSkinComBox") << "the combo box inside it";
    DestroyWindow(ex);
}

// ---- controls of other libraries whose pictures the skin sets, and a tool bar ----------

// A picture of one colour (its bottom-left pixel another, since glyphs take that corner's
// colour as transparent).
HBITMAP Solid(int w, int h, TColor c) {
    TBitmap b(w, h);
    b.FillRect(TRect{0, 0, w, h}, c);
    b.SetPixel(0, h - 1, 0xFF00FF);
    return static_cast<HBITMAP>(CopyImage(b.Handle(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

SIZE PictureSize(const TPicture& p) {
    BITMAP bm{};
    if (!p.Bitmap() || !GetObjectW(p.Bitmap(), sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

TColor PicturePixel(const TPicture& p, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, p.Bitmap());
    const COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return TColor(c);
}

constexpr TColor kOwn = 0x123456;  // the control's own pictures

// Check box or radio button with glyphs of its own.
class TRzCheckBox : public TButton {
    QUORIN_CLASS(TRzCheckBox, TButton)
public:
    explicit TRzCheckBox(TComponent* Owner) : TButton(Owner) { FGlyphs.SetBitmap(Solid(2, 2, kOwn)); }
    bool FUseCustom = false;
    TPicture FGlyphs;
    int32_t FKey = 0x00FF00;
};
QUORIN_DEFINE_CLASS(TRzCheckBox, TButton) {
    p.Bool("UseCustomGlyphs", &TRzCheckBox::FUseCustom, [](TRzCheckBox& c, bool v) { c.FUseCustom = v; });
    p.Part<TPicture>("CustomGlyphs", &TRzCheckBox::FGlyphs);
    p.Int("TransparentColor", &TRzCheckBox::FKey, [](TRzCheckBox& c, int32_t v) { c.FKey = v; });
}
class TRzRadioButton : public TRzCheckBox {
    QUORIN_CLASS(TRzRadioButton, TRzCheckBox)
public:
    using TRzCheckBox::TRzCheckBox;
};
QUORIN_DEFINE_CLASS(TRzRadioButton, TRzCheckBox) {}

// A check box whose glyph sits in its Properties.
class TCxProperties : public TPersistent {
    QUORIN_CLASS(TCxProperties, TPersistent)
public:
    TPicture FGlyph;
};
QUORIN_DEFINE_CLASS(TCxProperties, TPersistent) { p.Part<TPicture>("Glyph", &TCxProperties::FGlyph); }
class TcxCheckBox : public TButton {
    QUORIN_CLASS(TcxCheckBox, TButton)
public:
    explicit TcxCheckBox(TComponent* Owner) : TButton(Owner) { FProperties.FGlyph.SetBitmap(Solid(2, 2, kOwn)); }
    TCxProperties FProperties;
};
QUORIN_DEFINE_CLASS(TcxCheckBox, TButton) { p.Part<TCxProperties>("Properties", &TcxCheckBox::FProperties); }

// A page control with tab pictures of its own.
class TAdvPageControl : public TWinControl {
    QUORIN_CLASS(TAdvPageControl, TWinControl)
public:
    explicit TAdvPageControl(TComponent* Owner) : TWinControl(Owner) {
        FBack.SetBitmap(Solid(2, 2, kOwn));
        FActive.SetBitmap(Solid(2, 2, kOwn));
    }
    TPicture FBack, FActive;
};
QUORIN_DEFINE_CLASS(TAdvPageControl, TWinControl) {
    p.Part<TPicture>("TabBackGround", &TAdvPageControl::FBack);
    p.Part<TPicture>("TabBackGroundActive", &TAdvPageControl::FActive);
}

// A bit button whose glyph is its PngImage.
class TPngBitBtn : public TButton {
    QUORIN_CLASS(TPngBitBtn, TButton)
public:
    using TButton::TButton;
    TPicture FPng;
};
QUORIN_DEFINE_CLASS(TPngBitBtn, TButton) { p.Part<TPicture>("PngImage", &TPngBitBtn::FPng); }

using TBarDraw = std::function<void(TObject* Sender, const RECT& Rect, bool& DefaultDraw)>;
using TBarDrawButton = std::function<void(TObject* Sender, TObject* Button, int State, bool& DefaultDraw)>;

// A tool bar that leaves its drawing to its custom-draw events.
class TToolBar : public TWinControl {
    QUORIN_CLASS(TToolBar, TWinControl)
public:
    using TWinControl::TWinControl;
    TBarDraw OnCustomDraw;
    TBarDrawButton OnCustomDrawButton;
};
QUORIN_DEFINE_CLASS(TToolBar, TWinControl) {
    p.Event("OnCustomDraw", &TToolBar::OnCustomDraw);
    p.Event("OnCustomDrawButton", &TToolBar::OnCustomDrawButton);
}

// Each control takes the skin's picture in place of its own while it is skinned (the whole
// check or radio strip; the tab and chosen tab frames) and gets its own back when unskinned.
TEST_F(Walk, ControlsOfOtherLibrariesTakeTheSkinsPicturesAndGetTheirOwnBack) {
    MakeForm();
    Skin->Skin3rd().Add("TAdvPageControl=advpagecontrol");
    auto* rz = Add<TRzCheckBox>(Form);
    auto* radio = Add<TRzRadioButton>(Form);
    auto* cx = Add<TcxCheckBox>(Form);
    auto* pages = Add<TAdvPageControl>(Form);
    ASSERT_TRUE(Skin->Buttons && Skin->Tabs);
    const TBitmap& check = Skin->Buttons->CheckMap;
    const TBitmap& radios = Skin->Buttons->RadioMap;
    const TBitmap& tabs = Skin->Tabs->Map;
    const int tabW = tabs.Width() / (Skin->Tabs->Frame > 0 ? Skin->Tabs->Frame : 5);
    struct TRow {
        const char* Name;
        TControl* Control;
        const TPicture* Picture;
        const TBitmap* Skin;
        int Width, X;  // of the picture: its width, and where in the skin's strip it starts
    };
    const TRow rows[] = {{"TRzCheckBox", rz, &rz->FGlyphs, &check, check.Width(), 0},
                         {"TRzRadioButton", radio, &radio->FGlyphs, &radios, radios.Width(), 0},
                         {"TcxCheckBox", cx, &cx->FProperties.FGlyph, &check, check.Width(), 0},
                         {"tab", pages, &pages->FBack, &tabs, tabW, 0},
                         {"chosen tab", pages, &pages->FActive, &tabs, tabW, tabW}};
    Applier->InitControls(Form);
    for (const TRow& row : rows) {
        EXPECT_EQ(PainterOf(row.Control), row.Control == pages ? "TSkinAdvPage" : "TSkinObjImage") << row.Name;
        const SIZE size = PictureSize(*row.Picture);
        EXPECT_EQ(size.cx, row.Width) << row.Name;
        EXPECT_EQ(size.cy, row.Skin->Height()) << row.Name;
        for (POINT at :
             {POINT{0, 0}, POINT{row.Width / 2, row.Skin->Height() / 2}, POINT{row.Width - 1, row.Skin->Height() - 1}})
            EXPECT_EQ(PicturePixel(*row.Picture, at.x, at.y), row.Skin->Pixel(row.X + at.x, at.y)) << row.Name;
    }
    EXPECT_TRUE(rz->FUseCustom);
    EXPECT_EQ(rz->FKey, 0xFF00FF) << "the skin's key colour";
    Applier->DeleteControls();
    for (const TRow& row : rows) {
        EXPECT_EQ(PictureSize(*row.Picture).cx, 2) << row.Name << ": its own picture back";
        EXPECT_EQ(PicturePixel(*row.Picture, 1, 0), kOwn) << row.Name;
    }
    EXPECT_FALSE(rz->FUseCustom);
    EXPECT_EQ(rz->FKey, 0x00FF00);
}

// The glyph of a "pngbitbtn" is read from its PngImage and drawn on the skinned face.
TEST_F(Walk, PngBitButtonShowsTheGlyphOfItsPngImage) {
    MakeForm();
    auto* button = Add<TPngBitBtn>(Form);
    button->SetBounds(8, 8, 80, 30);
    Applier->InitControls(Form);
    auto* painter = dynamic_cast<TSkinBitButton*>(Applier->Lookupcontrol(button->Handle()));
    ASSERT_TRUE(painter);
    EXPECT_EQ(painter->FGlyphProperty, "PngImage");
    constexpr TColor kGlyph = 0x00A0FF;
    auto glyphPixels = [&] {
        TBitmap out(80, 30);
        {
            TBitmapDC dc(out);
            painter->DrawControl(dc.Handle(), RECT{0, 0, 80, 30});
        }
        GdiFlush();
        int n = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 80; ++x) n += out.Pixel(x, y) == kGlyph;
        return n;
    };
    EXPECT_EQ(glyphPixels(), 0);
    button->FPng.SetBitmap(Solid(8, 8, kGlyph));
    EXPECT_EQ(glyphPixels(), 63) << "the glyph, less its transparent corner";
}

// A tool bar's background is the skin's tool-bar gradient and its buttons the faces of the
// skin's tool-bar buttons by state, painted where the bar paints; handlers of its own win.
TEST_F(Walk, ToolBarPaintsItsBackgroundAndButtonsFromTheSkin) {
    MakeForm();
    auto* bar = Add<TToolBar>(Form);
    bar->SetBounds(0, 100, 300, 40);
    auto* mine = Add<TToolBar>(Form);
    mine->SetBounds(0, 150, 300, 40);
    bool ownCalled = false;
    mine->OnCustomDraw = [&](TObject*, const RECT&, bool&) { ownCalled = true; };
    Form->Show();
    // A strip of five faces of plain colours for the buttons.
    auto saved = std::move(Skin->ToolBars);
    Skin->ToolBars = std::make_unique<TDataSkinObject>("ToolBars");
    const TColor faces[5] = {0x0000C0, 0x00C000, 0xC00000, 0x00C0C0, 0xC000C0};
    Skin->ToolBars->Map = TBitmap(5 * 20, 20);
    for (int i = 0; i < 5; ++i) Skin->ToolBars->Map.FillRect(TRect{i * 20, 0, i * 20 + 20, 20}, faces[i]);
    Skin->ToolBars->Frame = 5;
    ASSERT_TRUE(Skin->Toolbar && !Skin->Toolbar->Map.Empty());
    Applier->InitControls(Form);
    EXPECT_EQ(PainterOf(bar), "TSkinBox");
    ASSERT_TRUE(bar->OnCustomDraw && bar->OnCustomDrawButton);
    EXPECT_TRUE(mine->OnCustomDrawButton) << "the gap filled";
    bool own = true;
    mine->OnCustomDraw(mine, RECT{0, 0, 300, 40}, own);
    EXPECT_TRUE(ownCalled) << "its own handler stays";

    Application->ProcessMessages();
    auto pixel = [&](int x, int y) {
        HDC dc = GetDC(bar->Handle());
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(bar->Handle(), dc);
        return TColor(c);
    };
    bool def = true;
    bar->OnCustomDraw(bar, RECT{0, 0, 300, 40}, def);
    EXPECT_FALSE(def);
    const TBitmap& gradient = Skin->Toolbar->Map;
    EXPECT_EQ(pixel(150, 0), gradient.Pixel(gradient.Width() / 2, 0)) << "the gradient's top";
    EXPECT_EQ(pixel(150, 39), gradient.Pixel(gradient.Width() / 2, gradient.Height() - 1)) << "and bottom";
    TButton button(nullptr);
    button.SetBounds(10, 5, 30, 30);
    struct TRow {
        const char* Name;
        int State;
        TColor Face;
    };
    const TRow rows[] = {{"at rest, flat", 0, pixel(25, 20)},
                         {"hot", 0x40, faces[1]},
                         {"pressed", 0x41, faces[2]},
                         {"down", 0x8, faces[3]},
                         {"disabled", 0x4, faces[4]}};
    for (const TRow& row : rows) {
        bar->OnCustomDraw(bar, RECT{0, 0, 300, 40}, def);
        def = false;
        bar->OnCustomDrawButton(bar, &button, row.State, def);
        EXPECT_TRUE(def) << row.Name << ": the bar draws glyph and caption over the face";
        EXPECT_EQ(pixel(25, 20), row.Face) << row.Name;
        EXPECT_EQ(pixel(45, 20), pixel(150, 20)) << row.Name << ": nothing beside the button";
    }
    Skin->ToolBars = std::move(saved);
}

}  // namespace
}  // namespace quorin
