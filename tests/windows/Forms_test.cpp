// Forms loaded from layout texts: real windows, properties by name, the event rules of
// combo and check boxes, the message method, ownership, modal results and the exception
// display.
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/LayoutText.h"
#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "forms/TypInfo.h"
#include "forms/WinText.h"

#include <gtest/gtest.h>

#include <thread>

using namespace quorin;

namespace {

const char* kLayout = R"(TestForm1: TTestForm {
  Left = 100
  Top = 80
  BorderStyle = bsToolWindow
  Caption = "测试 Form"
  ClientWidth = 400
  ClientHeight = 300
  Color = clBtnFace
  Font.Name = "MS Sans Serif"
  Font.Height = -11
  Menu = MainMenu1
  Position = poScreenCenter
  OnCreate = FormCreate
  OnClose = FormClose
  Group: TGroupBox {
    Left = 8 Top = 0 Width = 380 Height = 120
    Caption = "RS232 参数"
    TabOrder = 1
    Combo: TComboBox {
      Left = 16 Top = 16 Width = 145 Height = 21
      Style = csDropDownList
      ItemIndex = 1
      Items = ["A", "B", "C"]
      TabOrder = 1
      OnChange = ComboChange
    }
    Open: TButton {
      Left = 200 Top = 16 Width = 105 Height = 25
      Caption = "打开串口"
      Enabled = false
      TabOrder = 0
      OnClick = OpenClick
    }
    Hint1: TLabel { Left = 16 Top = 60 Width = 100 Height = 13 Caption = "标签   " }
  }
  Check: TCheckBox {
    Left = 8 Top = 130 Width = 150 Height = 17
    Caption = "Filter Enable"
    TabOrder = 0
    OnClick = CheckClick
  }
  Edit: TEdit { Left = 8 Top = 150 Width = 81 Height = 21 MaxLength = 8 Text = "00000000" TabOrder = 2 }
  Pages: TPageControl {
    Left = 8 Top = 180 Width = 380 Height = 100
    ActivePage = Sheet2
    TabOrder = 3
    Sheet1: TTabSheet { Caption = "基本信息" }
    Sheet2: TTabSheet { Caption = "Hidden" TabVisible = false }
    Sheet3: TTabSheet { Caption = "转换参数" }
  }
  MainMenu1: TMainMenu {
    File1: TMenuItem {
      Caption = "File"
      Exit1: TMenuItem { Caption = "Exit" OnClick = Exit1Click }
    }
    Hidden1: TMenuItem { Caption = "Language" Visible = false }
  }
}
)";

class TTestForm : public TForm {
    QUORIN_CLASS(TTestForm, TForm)
public:
    explicit TTestForm(TComponent* AOwner, const char* layout = kLayout) : TForm(AOwner) {
        RegisterHandler("FormCreate", &TTestForm::FormCreate);
        RegisterHandler("FormClose", &TTestForm::FormClose);
        RegisterHandler("ComboChange", &TTestForm::ComboChange);
        RegisterHandler("OpenClick", &TTestForm::OpenClick);
        RegisterHandler("CheckClick", &TTestForm::CheckClick);
        RegisterHandler("Exit1Click", &TTestForm::Exit1Click);
        BindField("Combo", Combo);
        BindField("Open", Open);
        BindField("Check", Check);
        BindField("Edit", Edit);
        BindField("Pages", Pages);
        BindField("Hint1", Hint1);
        InitLayoutText(layout);
    }
    TComboBox* Combo = nullptr;
    TButton* Open = nullptr;
    TCheckBox* Check = nullptr;
    TEdit* Edit = nullptr;
    TPageControl* Pages = nullptr;
    TLabel* Hint1 = nullptr;
    std::vector<std::string> Log;
    TCloseAction CloseAction = TCloseAction::caHide;

    void FormCreate(TObject*) { Log.push_back("create"); }
    void FormClose(TObject*, TCloseAction& Action) {
        Log.push_back("close");
        Action = CloseAction;
    }
    void ComboChange(TObject*) { Log.push_back("change " + std::to_string(Combo->ItemIndex())); }
    void OpenClick(TObject*) { Log.push_back("open"); }
    void CheckClick(TObject*) { Log.push_back(std::string("check ") + (Check->Checked() ? "on" : "off")); }
    void Exit1Click(TObject*) { Log.push_back("exit"); }
};

QUORIN_DEFINE_CLASS(TTestForm, TForm) {}

std::string ClassOf(HWND h) {
    wchar_t buf[128] = {};
    GetClassNameW(h, buf, 128);
    return ToUtf8(buf);
}

std::string QuorinName(HWND h) {
    const ATOM atom = ATOM(reinterpret_cast<uintptr_t>(GetPropW(h, L"QuorinName")));
    wchar_t buf[256] = {};
    if (atom) GlobalGetAtomNameW(atom, buf, 256);
    return ToUtf8(buf);
}

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override { Application->Initialize(); }
    void TearDown() override { Application->ProcessMessages(); }
};

}  // namespace

TEST_F(FormsTest, LayoutCreatesRealControlsWithTheirNamesAndClasses) {
    auto* form = new TTestForm(nullptr);
    EXPECT_EQ(form->Log, (std::vector<std::string>{"create"})) << "OnCreate runs once the layout is loaded";
    ASSERT_NE(form->Combo, nullptr);
    form->Show();
    const HWND combo = form->Combo->Handle();
    EXPECT_EQ(ClassOf(combo), "TComboBox");
    EXPECT_EQ(ClassOf(form->Handle()), "TTestForm");
    EXPECT_EQ(QuorinName(combo), "Combo");
    EXPECT_EQ(FindControl(combo), form->Combo);
    EXPECT_EQ(GetPropW(combo, ControlPropertyName()), static_cast<HANDLE>(form->Combo));
    EXPECT_EQ(GetParent(combo), static_cast<TWinControl*>(form->FindComponent("Group"))->Handle());
    // The stored values reached the native controls.
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1) << "ItemIndex before Items in the text still applies";
    EXPECT_FALSE(IsWindowEnabled(form->Open->Handle()));
    EXPECT_EQ(ToUtf8(WindowTextW(form->Open->Handle())), "打开串口");
    EXPECT_EQ(SendMessageW(form->Edit->Handle(), EM_GETLIMITTEXT, 0, 0), 8);
    EXPECT_EQ(ToUtf8(WindowTextW(form->Handle())), "测试 Form");
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300) << "client height with the menu bar taken off";
    EXPECT_TRUE(GetWindowLongW(form->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongW(form->Handle(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    delete form;
}

TEST_F(FormsTest, PublishedPropertiesByName) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    EXPECT_EQ(GetPropValue(form->Check, "Checked"), "False");
    SetPropValue(form->Check, "Checked", "True");
    EXPECT_EQ(SendMessageW(form->Check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GetEnumProp(form->Check, "State"), "cbChecked");
    EXPECT_EQ(GetEnumProp(form->Combo, "Style"), "csDropDownList");
    EXPECT_EQ(GetPropValue(form, "BorderStyle"), "bsToolWindow");
    EXPECT_EQ(GetOrdProp(form, "Color"), clBtnFace);
    EXPECT_EQ(GetObjectProp(form, "Menu"), form->FindComponent("MainMenu1"));
    EXPECT_EQ(GetStrProp(form, "Font.Name"), "MS Sans Serif");
    EXPECT_EQ(GetStrProp(form->Open, "Caption"), "打开串口");
    SetPropValue(form->Open, "Tag", "99");
    EXPECT_EQ(form->Open->Tag(), 99);
    SetPropValue(form->Open, "Caption", "关闭串口");
    EXPECT_EQ(ToUtf8(WindowTextW(form->Open->Handle())), "关闭串口");
    EXPECT_EQ(PropType(form->Combo, "Items"), TPropKind::Strings);
    EXPECT_EQ(PropType(form->Pages, "ActivePage"), TPropKind::Object);
    EXPECT_TRUE(IsMethodAssigned(form->Open, "OnClick"));
    EXPECT_FALSE(IsPublishedProp(form->Open, "Checked"));
    delete form;
}

TEST_F(FormsTest, ComboBoxSelectionFromCodeRaisesNoChangeButTheOperatorsDoes) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    form->Combo->SetItemIndex(2);
    EXPECT_EQ(form->Combo->Text(), "C");
    form->Combo->Items().AddObject("D", 42);
    EXPECT_EQ(form->Combo->Items().Objects(3), 42);
    EXPECT_EQ(SendMessageW(form->Combo->Handle(), CB_GETITEMDATA, 3, 0), 42);
    EXPECT_EQ(form->Log, (std::vector<std::string>{"create"}));
    // What the drop-down does when the operator picks an item.
    SendMessageW(form->Combo->Handle(), CB_SETCURSEL, 0, 0);
    SendMessageW(GetParent(form->Combo->Handle()), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form->Combo->Handle()));
    EXPECT_EQ(form->Log.back(), "change 0");
    form->Combo->SetItemIndex(7);
    EXPECT_EQ(form->Combo->ItemIndex(), -1) << "an index outside the items selects nothing";
    delete form;
}

TEST_F(FormsTest, CheckBoxRaisesClickOnlyWhenItsStateChanges) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    form->Check->SetChecked(false);
    EXPECT_EQ(form->Log.size(), 1u) << "no change, no click";
    form->Check->SetChecked(true);
    form->Check->SetChecked(true);
    EXPECT_EQ(form->Log, (std::vector<std::string>{"create", "check on"}));
    // The operator's click toggles and raises it too.
    SendMessageW(form->Check->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form->Log.back(), "check off");
    EXPECT_EQ(SendMessageW(form->Check->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    delete form;
}

TEST_F(FormsTest, PageControlShowsOnlyVisibleTabsAndTheActivePage) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    TPageControl* pages = form->Pages;
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    auto* sheet1 = static_cast<TTabSheet*>(form->FindComponent("Sheet1"));
    auto* sheet3 = static_cast<TTabSheet*>(form->FindComponent("Sheet3"));
    pages->SetActivePageIndex(2);
    EXPECT_EQ(pages->ActivePage(), sheet3);
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(IsWindowVisible(sheet3->Handle()));
    EXPECT_FALSE(IsWindowVisible(sheet1->Handle()));
    EXPECT_EQ(sheet3->TabIndex(), 1);
    delete form;
}

TEST_F(FormsTest, WindowProcCanBeReplacedAndChained) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    TButton* button = form->Open;
    std::vector<UINT> seen;
    TWndMethod saved = button->WindowProc;
    button->WindowProc = [&](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == CM_ENABLEDCHANGED) seen.push_back(0xFFFF);
        saved(m);  // chain to the framework
    };
    button->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(button->Handle())) << "the chained method still did its work";
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(CM_ENABLEDCHANGED)), seen.end());
    SendMessageW(button->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
    EXPECT_NE(std::find(seen.begin(), seen.end(), UINT(WM_SETTEXT)), seen.end())
        << "window messages pass through it too";
    // A replacement that consumes a message: the native control never sees it.
    button->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_SETTEXT) {
            m.Result = TRUE;
            return;
        }
        saved(m);
    };
    SendMessageW(button->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"blocked"));
    EXPECT_EQ(ToUtf8(WindowTextW(button->Handle())), "x");
    button->WindowProc = saved;
    delete form;
}

TEST_F(FormsTest, MenuSkipsHiddenItemsAndDispatchesClicks) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    HMENU bar = GetMenu(form->Handle());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 1) << "the hidden Language menu is left out";
    auto* exit1 = static_cast<TMenuItem*>(form->FindComponent("Exit1"));
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(exit1->Command(), 0), 0);
    EXPECT_EQ(form->Log.back(), "exit");
    // A change to the menu rebuilds it and tells the form through its message method.
    bool told = false;
    TWndMethod saved = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == CM_MENUCHANGED) told = true;
        saved(m);
    };
    static_cast<TMenuItem*>(form->FindComponent("Hidden1"))->SetVisible(true);
    EXPECT_TRUE(told);
    EXPECT_EQ(GetMenuItemCount(GetMenu(form->Handle())), 2);
    form->WindowProc = saved;
    delete form;
}

TEST_F(FormsTest, FreeingAFormFreesWhatItOwnsAndDestroysItsWindows) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    const HWND combo = form->Combo->Handle();
    const HWND window = form->Handle();
    const int owned = form->ComponentCount();
    EXPECT_GT(owned, 10);
    EXPECT_EQ(form->Components(0)->Name(), "Group") << "owned components in creation order";
    delete form;
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FormsTest, ButtonModalResultEndsShowModal) {
    auto* form = new TTestForm(nullptr);
    form->Open->SetEnabled(true);
    form->Open->SetModalResult(mrOk);
    // Click the button once the modal loop runs.
    PostMessageW(nullptr, WM_NULL, 0, 0);
    TButton* button = form->Open;
    Application->OnIdle = [button](TObject*) {
        if (button->HandleAllocated() && IsWindowVisible(button->Handle()))
            SendMessageW(button->Handle(), BM_CLICK, 0, 0);
    };
    const TModalResult result = form->ShowModal();
    Application->OnIdle = nullptr;
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(form->Log.back(), "close") << "closing a modal form runs OnClose";
    delete form;
}

TEST_F(FormsTest, ExceptionInAHandlerGoesToTheExceptionDisplay) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    std::string shown;
    Application->OnException = [&](TObject*, const std::exception& e) { shown = e.what(); };
    form->Open->OnClick = [](TObject*) { StrToInt("0x1G"); };
    form->Open->SetEnabled(true);
    SendMessageW(form->Open->Handle(), BM_CLICK, 0, 0);
    Application->OnException = nullptr;
    EXPECT_EQ(shown, "'0x1G' is not a valid integer value");
    EXPECT_TRUE(IsWindow(form->Handle())) << "the application goes on";
    delete form;
}

// The exception display shows the framework's whole message, also past a NUL that came
// with a text from outside.
TEST_F(FormsTest, ExceptionDisplayShowsTheWholeMessage) {
    Application->Initialize();
    std::string shown;
    std::thread answer([&] {
        for (int tries = 0; tries < 500 && shown.empty(); ++tries) {
            Sleep(20);
            EnumWindows(
                [](HWND w, LPARAM p) -> BOOL {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    wchar_t cls[16] = {};
                    GetClassNameW(w, cls, 16);
                    if (pid != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
                    wchar_t text[256] = {};
                    GetDlgItemTextW(w, 0xFFFF, text, 256);
                    *reinterpret_cast<std::string*>(p) = ToUtf8(text);
                    PostMessageW(w, WM_COMMAND, IDOK, 0);
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&shown));
        }
    });
    static const char kMessage[] = "'0x1\0002' is not a valid integer value";
    Application->ShowException(EConvertError(std::string(kMessage, sizeof kMessage - 1)));
    answer.join();
    EXPECT_EQ(shown,
              "'0x1\xE2\x90\x80"
              "2' is not a valid integer value.");
}

struct BadLayout {
    const char* text;
    int line;
    const char* fragment;
};

class FormsBadLayout : public ::testing::TestWithParam<BadLayout> {};

TEST_P(FormsBadLayout, IsRefusedNamingTheLine) {
    Application->Initialize();
    try {
        delete new TTestForm(nullptr, GetParam().text);
        FAIL() << "accepted";
    } catch (const ELayoutError& e) {
        EXPECT_EQ(e.Line(), GetParam().line) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().fragment), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FormsBadLayout,
    ::testing::Values(
        BadLayout{"F: TTestForm {\n  B: TButton { Captoin = \"x\" }\n}", 2, "unknown property \"Captoin\" of TButton"},
        BadLayout{"F: TTestForm {\n  B: TSkinThing {}\n}", 2, "unknown class \"TSkinThing\""},
        BadLayout{"F: TTestForm {\n  B: TButton {\n    OnClick = Nowhere\n  }\n}", 3, "unknown event handler"},
        BadLayout{"F: TTestForm {\n  C: TCheckBox { Checked = \"yes\" }\n}", 2, "takes true or false"},
        BadLayout{"F: TTestForm {\n  Combo: TEdit {}\n}", 2, "field wants a TComboBox"},
        BadLayout{"F: TTestForm {\n  B: TButton { Caption = \"x\" \n}", 1, "not closed"}));

TEST_F(FormsTest, OwnerDrawnMenuItemsAreMeasuredAndDrawnByTheirHandlers) {
    auto* form = new TTestForm(nullptr);
    auto* menu = static_cast<TMainMenu*>(form->FindComponent("MainMenu1"));
    auto* exit1 = static_cast<TMenuItem*>(form->FindComponent("Exit1"));
    int measured = 0, drawn = 0;
    bool selected = false;
    exit1->OnMeasureItem = [&](TObject*, TCanvas&, int& w, int& h) {
        ++measured;
        w = 120;
        h = 22;
    };
    exit1->OnDrawItem = [&](TObject*, TCanvas& c, RECT r, bool sel) {
        ++drawn;
        selected = sel;
        c.FillRect(r);
    };
    menu->SetOwnerDraw(true);
    form->Show();
    // The item is owner-drawn in the native menu now.
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(GetMenu(form->Handle()), exit1->Command(), FALSE, &mii);
    EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
    // What the system sends the form when the drop-down opens.
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, exit1->Command(), 0, 0, 0};
    EXPECT_EQ(SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_EQ(mis.itemWidth, 120u);
    EXPECT_EQ(mis.itemHeight, 22u);
    HDC dc = GetDC(form->Handle());
    DRAWITEMSTRUCT dis{ODT_MENU, 0, exit1->Command(), ODA_DRAWENTIRE, ODS_SELECTED, nullptr, dc, RECT{0, 0, 120, 22},
                       0};
    SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    ReleaseDC(form->Handle(), dc);
    EXPECT_EQ(measured, 1);
    EXPECT_EQ(drawn, 1);
    EXPECT_TRUE(selected);
    delete form;
}

TEST_F(FormsTest, CloseActionDecidesWhatClosingDoes) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    form->CloseAction = TCloseAction::caNone;
    SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle())) << "caNone keeps the form";
    form->CloseAction = TCloseAction::caHide;
    form->Close();
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(std::count(form->Log.begin(), form->Log.end(), "close"), 2);
    EXPECT_FALSE(Application->Terminated()) << "a form that is not the main form ends nothing";
    delete form;
}

// What other code (the skin, a tool) relies on after a form's window changes under it.
TEST_F(FormsTest, TopLevelFormFollowsItsWindowAndCarriesTheProgramIcon) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    const HWND w = form->Handle();
    SetWindowPos(w, nullptr, 50, 40, 500, 380, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(form->Left(), 50);
    EXPECT_EQ(form->Top(), 40);
    EXPECT_EQ(form->Width(), 500);
    EXPECT_EQ(form->Height(), 380);
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(form->ClientWidth(), client.right);
    // Growing by one pixel through the framework keeps the window where it is.
    form->SetHeight(form->Height() + 1);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.bottom - r.top, 381);
    // A new menu keeps the client size the window has now, not the one of the layout.
    RECT before{};
    GetClientRect(w, &before);
    form->SetMenu(nullptr);
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, before.right);
    EXPECT_EQ(client.bottom, before.bottom);
    EXPECT_NE(SendMessageW(w, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageW(w, WM_GETICON, ICON_BIG, 0), 0);
    delete form;
}

TEST_F(FormsTest, MenuIsSetThroughTheFormsMessageMethod) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    TMainMenu* menu = form->Menu();
    ASSERT_TRUE(menu);
    // Someone drawing the menu bar in the window's place keeps the native one off.
    TWndMethod previous = form->WindowProc;
    int changes = 0;
    form->WindowProc = [&](TMessage& m) {
        previous(m);
        if (m.Msg == CM_MENUCHANGED) {
            ++changes;
            SetMenu(form->Handle(), nullptr);
        }
    };
    form->SetMenu(nullptr);
    form->SetMenu(menu);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    form->WindowProc = previous;
    delete form;
}

TEST_F(FormsTest, FailureWhilePaintingIsNotShown) {
    auto* form = new TTestForm(nullptr);
    form->Show();
    int shown = 0;
    Application->OnException = [&](TObject*, const std::exception&) { ++shown; };
    TWndMethod previous = form->WindowProc;
    form->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_PAINT || m.Msg == WM_NCPAINT || m.Msg == WM_DRAWITEM) throw Exception("broken picture");
        previous(m);
    };
    InvalidateRect(form->Handle(), nullptr, TRUE);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Application->ProcessMessages();
    DRAWITEMSTRUCT dis{ODT_MENU, 0, 1, ODA_DRAWENTIRE, 0, nullptr, nullptr, RECT{}, 0};
    SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));  // an owner-drawn item
    EXPECT_EQ(shown, 0);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(form->Handle(), &update, FALSE)) << "the area counts as painted";
    form->WindowProc = previous;
    Application->OnException = nullptr;
    delete form;
}

namespace {

const char* kPagesLayout = R"(TestForm1: TTestForm {
  ClientWidth = 300
  ClientHeight = 200
  Pages: TPageControl {
    Left = 0 Top = 0 Width = 300 Height = 150
    ActivePage = SheetA
    SheetA: TTabSheet { Caption = "A" EditA: TEdit { Left = 8 Top = 8 Width = 80 Height = 21 } }
    SheetB: TTabSheet {
      Caption = "B"
      EditB1: TEdit { Left = 8 Top = 8 Width = 80 Height = 21 }
      ButtonB2: TButton { Left = 8 Top = 8 Width = 80 Height = 25 }
    }
  }
  GroupH: TGroupBox {
    Left = 0 Top = 150 Width = 300 Height = 50 Visible = false
    EditH: TEdit { Left = 8 Top = 16 Width = 80 Height = 21 }
  }
}
)";

TWinControl* Win(TComponent* form, const char* name) { return static_cast<TWinControl*>(form->FindComponent(name)); }

// The child windows of a control, topmost first, by name.
std::vector<std::string> ChildOrder(TWinControl* parent) {
    std::vector<std::string> names;
    for (HWND h = GetWindow(parent->Handle(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        names.push_back(QuorinName(h));
    return names;
}

}  // namespace

// Hidden pages and boxes keep their windows for later: shown, asked for, or made once the
// form has painted; windows made late still lie in the order of the controls.
TEST_F(FormsTest, WindowsOfHiddenControlsAreMadeWhenShownAskedForOrAfterThePaint) {
    auto* form = new TTestForm(nullptr, kPagesLayout);
    form->Show();
    for (const char* made : {"Pages", "SheetA", "EditA"}) EXPECT_TRUE(Win(form, made)->HandleAllocated()) << made;
    for (const char* waiting : {"SheetB", "EditB1", "ButtonB2", "GroupH", "EditH"})
        EXPECT_FALSE(Win(form, waiting)->HandleAllocated()) << waiting;

    const HWND button = Win(form, "ButtonB2")->Handle();
    EXPECT_TRUE(Win(form, "SheetB")->HandleAllocated()) << "the parent comes with the window asked for";
    EXPECT_FALSE(Win(form, "EditB1")->HandleAllocated()) << "its hidden siblings still wait";
    static_cast<TPageControl*>(Win(form, "Pages"))->SetActivePageIndex(1);
    ASSERT_TRUE(Win(form, "EditB1")->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(Win(form, "EditB1")->Handle()));
    EXPECT_EQ(ChildOrder(Win(form, "SheetB")), (std::vector<std::string>{"ButtonB2", "EditB1"}))
        << "made after the button, the first edit still lies beneath it";
    EXPECT_EQ(GetParent(button), Win(form, "SheetB")->Handle());

    Win(form, "GroupH")->SetVisible(true);
    ASSERT_TRUE(Win(form, "EditH")->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(Win(form, "EditH")->Handle()));
    delete form;

    // Left alone, a form has every window a moment after it painted.
    form = new TTestForm(nullptr, kPagesLayout);
    form->Show();
    const DWORD end = GetTickCount() + 3000;
    auto all = [&] {
        for (const char* name : {"SheetB", "EditB1", "ButtonB2", "GroupH", "EditH"})
            if (!Win(form, name)->HandleAllocated()) return false;
        return true;
    };
    while (!all() && GetTickCount() < end) {
        Application->ProcessMessages();
        Sleep(5);
    }
    EXPECT_TRUE(all());
    EXPECT_EQ(ChildOrder(Win(form, "SheetB")), (std::vector<std::string>{"ButtonB2", "EditB1"}));
    EXPECT_FALSE(IsWindowVisible(Win(form, "SheetB")->Handle()));
    EXPECT_FALSE(IsWindowVisible(Win(form, "EditH")->Handle()));
    delete form;
}

// A combo box without a window (on a page not shown yet) answers as its window would.
class WindowlessCombo : public FormsTest, public testing::WithParamInterface<TComboBoxStyle> {};

TEST_P(WindowlessCombo, AnswersAsItsWindowWould) {
    auto steps = [](TComboBox& c) {
        std::vector<std::string> seen;
        c.Items().Clear();
        for (const char* item : {"A", "B", "C"}) c.Items().Add(item);
        seen.push_back(c.Text());
        c.SetItemIndex(1);
        seen.push_back(c.Text());
        c.Items().Insert(0, "Z");
        seen.push_back(c.Text() + " " + std::to_string(c.ItemIndex()));
        c.SetItemIndex(-1);
        seen.push_back(c.Text());
        return seen;
    };
    TForm form(nullptr);
    auto* combo = new TComboBox(&form);
    combo->SetStyle(GetParam());
    combo->SetParent(&form);
    const std::vector<std::string> windowless = steps(*combo);
    ASSERT_FALSE(combo->HandleAllocated());
    combo->HandleNeeded();
    EXPECT_EQ(windowless, steps(*combo));
}

INSTANTIATE_TEST_SUITE_P(Styles, WindowlessCombo,
                         testing::Values(TComboBoxStyle::csDropDownList, TComboBoxStyle::csDropDown));
