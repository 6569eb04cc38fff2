// Test forms skinned by the applier and driven by real X input (xdotool) while this
// thread pumps their messages: the menu bar from the keyboard (Alt + accelerator, Alt,
// F10, arrows that wrap, Escape, Enter), caption buttons with application actions and
// visibilities the window decides, and the time from a click on a menu-bar item to its
// drop-down on screen, skinned against native.
#include "skin/apply/Winskinform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "SkinTestSupport.h"
#include "forms/Forms.h"
#include "forms/Menus.h"
#include "skin/resources/Skindraw.h"

namespace quorin {
namespace {

using namespace skintest;

const char* kLayout = R"(KeyForm1: TKeyForm {
  Left = 120
  Top = 100
  Caption = "Keys"
  ClientWidth = 420
  ClientHeight = 220
  Menu = MainMenu1
  MainMenu1: TMainMenu {
    File1: TMenuItem { Caption = "&File" Open1: TMenuItem { Caption = "&Open" OnClick = ItemClick } }
    Edit1: TMenuItem { Caption = "&Edit" Copy1: TMenuItem { Caption = "&Copy" OnClick = ItemClick } }
    Off1: TMenuItem { Caption = "&Disabled" Enabled = false Sub1: TMenuItem { Caption = "Sub" } }
    Help1: TMenuItem {
      Caption = "&Help"
      About1: TMenuItem { Caption = "&About" OnClick = ItemClick }
      Index1: TMenuItem { Caption = "&Index" OnClick = ItemClick }
    }
  }
})";

class TKeyForm : public TForm {
    QUORIN_CLASS(TKeyForm, TForm)
public:
    explicit TKeyForm(TComponent* AOwner) : TForm(AOwner) {
        RegisterHandler("ItemClick", &TKeyForm::ItemClick);
        InitLayoutText(kLayout);
    }
    std::vector<std::string> Clicked;
    void ItemClick(TObject* Sender) { Clicked.push_back(static_cast<TMenuItem*>(Sender)->Name()); }
};

QUORIN_DEFINE_CLASS(TKeyForm, TForm) {}

class SkinnedInput : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        ASSERT_TRUE(LoadDefaultSkin(skin));
        ui = GetCurrentThreadId();
    }
    void TearDown() override {
        delete form;
        PumpMessages(50);
    }
    // Shows the form and skins it as the manager would.
    void Skin() {
        form = new TKeyForm(nullptr);
        form->WindowProc = [this, previous = form->WindowProc](TMessage& m) {
            if (m.Msg == CN_SysButtonVisible) {
                m.Result = visibleAnswer;
                return;
            }
            if (m.Msg == CN_SysButtonClick) actions.push_back(int(m.WParam));
            previous(m);
        };
        form->Show();
        PumpMessages(100);
        applier = new TWinSkinForm(form);
        applier->SetHandle(form->Handle());
        applier->InitTform(&skin, form);
        SendMessageW(form->Handle(), CN_SkinActive, 0, 1000);
        PumpMessages(200);
        GetWindowRect(form->Handle(), &window);
        captionY = window.top + applier->FTitleHeight / 2;
        menuY = window.top + applier->FTitleHeight + applier->FMenuHeight / 2;
    }
    LONG ButtonLeft(int index) const { return window.left + applier->FMenuBar->FButtons[size_t(index)]->Rect.left; }
    void Activate() {
        XClick((window.left + window.right) / 2 - 60, captionY);
        WaitFor([&] { return GetForegroundWindow() == form->Handle(); }, 2000);
        Sleep(200);
    }
    TSkinData skin{nullptr};
    TKeyForm* form = nullptr;
    TWinSkinForm* applier = nullptr;
    DWORD ui = 0;
    RECT window{};
    int captionY = 0, menuY = 0;
    LRESULT visibleAnswer = 0;
    std::vector<int> actions;
};

TEST_F(SkinnedInput, KeyboardReachesEveryMenuOfTheSkinnedBar) {
    Skin();
    ASSERT_TRUE(applier->FMenuBar);
    ASSERT_EQ(GetMenu(form->Handle()), nullptr);
    ASSERT_EQ(applier->FMenuBar->FButtons.size(), 4u);
    const LONG file = ButtonLeft(0), edit = ButtonLeft(1), help = ButtonLeft(3);
    LONG altE = -1, alt = -1, f10 = -1, afterEscape = -1;
    std::vector<LONG> rights, lefts;
    WhileInput([&] {
        Activate();
        XKeys("alt+e");
        altE = OpenMenuLeft(ui);
        XKeys("Escape");
        WaitFor([&] { return PopupMenus(ui).empty(); });
        Sleep(300);  // the X focus is back on the form before the next key
        afterEscape = LONG(PopupMenus(ui).size());
        XKeys("alt");
        alt = OpenMenuLeft(ui);
        for (int i = 0; i < 3; ++i) {
            XKeys("Right");
            rights.push_back(OpenMenuLeft(ui, rights.empty() ? alt : rights.back()));
        }
        XKeys("Left");
        lefts.push_back(OpenMenuLeft(ui, rights.back()));
        XKeys("Escape");
        WaitFor([&] { return PopupMenus(ui).empty(); });
        Sleep(300);  // the X focus is back on the form before the next key
        XKeys("F10");
        f10 = OpenMenuLeft(ui);
        Screenshot("menus-testform-dropdown");
        XKeys("Escape");
        WaitFor([&] { return PopupMenus(ui).empty(); });
        Sleep(300);  // the X focus is back on the form before the next key
        // Alt + H, then the second item by Down and Enter.
        XKeys("alt+h");
        OpenMenuLeft(ui);
        XKeys("Down Return");
        WaitFor([&] { return PopupMenus(ui).empty(); });
        Sleep(300);  // the X focus is back on the form before the next key
        if (!PopupMenus(ui).empty()) XKeys("Escape Escape");
    });
    EXPECT_EQ(altE, edit) << "Alt + the accelerator letter opens that menu";
    EXPECT_EQ(afterEscape, 0) << "Escape closes it";
    EXPECT_EQ(alt, file) << "Alt alone opens the first";
    EXPECT_EQ(rights, (std::vector<LONG>{edit, help, file})) << "Right skips the disabled menu and wraps";
    EXPECT_EQ(lefts, (std::vector<LONG>{help})) << "Left from the first wraps to the last";
    EXPECT_EQ(f10, file);
    PumpMessages(100);
    EXPECT_EQ(form->Clicked, (std::vector<std::string>{"Index1"})) << "the first item is selected as a menu opens";
}

TEST_F(SkinnedInput, CaptionButtonsWithApplicationActionsAndVisibility) {
    // Two buttons of the test's own: action 40 always shown, action 41 when the window says.
    for (int k = 0; k < 2; ++k) {
        auto e = std::make_unique<TDataSkinSysButton>("Test");
        e->Map = TBitmap(48, 16);
        e->Map.FillRect(TRect{0, 0, 16, 16}, 0x0000FF);
        e->Map.FillRect(TRect{16, 0, 32, 16}, 0x00FF00);
        e->Map.FillRect(TRect{32, 0, 48, 16}, 0xFF0000);
        e->Frame = 3;
        e->Action = 40 + k;
        e->Align = 0;
        e->XCoord = 40 + 30 * k;
        e->YCoord = 2;
        e->Visibility = k ? 1500 : 0;
        skin.SysButtons.push_back(std::move(e));
    }
    Skin();
    const int y = window.top + 10, x40 = window.left + 48, x41 = window.left + 78;
    TColor hot = -1, normalAfter = -1;
    WhileInput([&] {
        Activate();
        XMove(x40, y);
        Sleep(150);
        HDC dc = GetDC(nullptr);
        hot = TColor(GetPixel(dc, x40, y));
        ReleaseDC(nullptr, dc);
        XClick(x40, y);
        Sleep(150);
        XClick(x41, y);  // hidden: nothing
        Sleep(150);
        XMove(window.left + 200, window.bottom - 40);
        Sleep(400);
        dc = GetDC(nullptr);
        normalAfter = TColor(GetPixel(dc, x40, y));
        ReleaseDC(nullptr, dc);
    });
    EXPECT_EQ(hot, 0xFF0000) << "frame 3 while hot";
    EXPECT_EQ(normalAfter, 0x0000FF) << "back to frame 1 once the mouse has left";
    EXPECT_EQ(actions, (std::vector<int>{40}));
    visibleAnswer = 1;
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(100);
    WhileInput([&] {
        XClick(x41, y);
        Sleep(200);
    });
    EXPECT_EQ(actions, (std::vector<int>{40, 41})) << "shown once the window answers CN_SysButtonVisible";
}

TEST_F(SkinnedInput, CaptionDoubleClickMaximisesAndRestores) {
    Skin();
    ASSERT_TRUE(GetWindowLongW(form->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX);
    bool zoomed = false, restored = false;
    WhileInput([&] {
        Activate();
        XClick((window.left + window.right) / 2 - 60, captionY, 1, 2);
        zoomed = WaitFor([&] { return IsZoomed(form->Handle()) != FALSE; });
        Sleep(400);
        RECT now;
        GetWindowRect(form->Handle(), &now);
        XClick((now.left + now.right) / 2 - 60, now.top + applier->FTitleHeight / 2, 1, 2);
        restored = WaitFor([&] { return !IsZoomed(form->Handle()); });
        Sleep(300);
    });
    EXPECT_TRUE(zoomed);
    EXPECT_TRUE(restored);
}

HWND MdiClient = nullptr;
LRESULT CALLBACK MdiFrameProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefFrameProcW(w, MdiClient, m, wp, lp); }

TEST_F(SkinnedInput, MdiFrameShowsTheMaximisedChildsButtonsInItsMenuRow) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = MdiFrameProc;
    frameClass.hInstance = instance;
    frameClass.lpszClassName = L"MdiTestFrame";
    RegisterClassW(&frameClass);
    WNDCLASSW childClass{};
    childClass.lpfnWndProc = DefMDIChildProcW;
    childClass.hInstance = instance;
    childClass.lpszClassName = L"MdiTestChild";
    RegisterClassW(&childClass);
    HMENU bar = CreateMenu();
    HMENU windowMenu = CreatePopupMenu();
    AppendMenuW(windowMenu, MF_STRING, 100, L"&Tile");
    AppendMenuW(bar, MF_POPUP, UINT_PTR(windowMenu), L"&Window");
    HWND frame = CreateWindowExW(0, L"MdiTestFrame", L"MDI", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 350,
                                 nullptr, bar, instance, nullptr);
    ASSERT_NE(frame, nullptr);
    CLIENTCREATESTRUCT ccs{windowMenu, 50000};
    MdiClient = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 480, 280,
                                frame, nullptr, instance, &ccs);
    MDICREATESTRUCTW mcs{L"MdiTestChild", L"Child", instance, 0, 0, 200, 150, WS_MAXIMIZE, 0};
    HWND child = HWND(SendMessageW(MdiClient, WM_MDICREATE, 0, LPARAM(&mcs)));
    ASSERT_NE(child, nullptr);
    PumpMessages(100);
    auto* mdi = new TWinSkinForm(nullptr);
    mdi->SetHandle(frame);
    mdi->InitDlg(&skin);
    SendMessageW(frame, CN_SkinActive, 0, 1000);
    RedrawWindow(frame, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages(300);
    EXPECT_EQ(mdi->FFormStyle, fsfMDIFrame);
    ASSERT_TRUE(mdi->FMenuBar);
    EXPECT_TRUE(mdi->MDIChildMax());
    RECT wr;
    GetWindowRect(frame, &wr);
    TWinSysButton* close = nullptr;
    int inRow = 0;
    for (auto& b : mdi->FSysButtons) {
        if (!b->Element || b->Element->Visibility != 100) continue;
        EXPECT_TRUE(b->Enabled);
        EXPECT_GE(b->Rect.top, mdi->FTitleHeight);
        EXPECT_LE(b->Rect.bottom, mdi->FTitleHeight + mdi->FMenuHeight);
        ++inRow;
        if (b->Element->Action == 9 || b->Element->Action == 62) close = b.get();
    }
    EXPECT_EQ(inRow, 3) << "the child's minimise, restore and close";
    Screenshot("menus-mdi-row");
    ASSERT_TRUE(close);
    const int x = wr.left + (close->Rect.left + close->Rect.right) / 2,
              y = wr.top + (close->Rect.top + close->Rect.bottom) / 2;
    WhileInput([&] {
        XClick(x - 150, wr.top + 8);  // activate by the caption
        Sleep(300);
        XClick(x, y);
        WaitFor([&] { return !IsWindow(child); }, 2000);
    });
    EXPECT_FALSE(IsWindow(child)) << "the close button in the menu row closes the active child";
    delete mdi;
    DestroyWindow(frame);
    PumpMessages(50);
}

// Milliseconds from a click on the first menu-bar item to its drop-down on screen.
double ClickToDropDown(DWORD ui, int x, int y) {
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    XClick(x, y);
    WaitFor([&] { return !PopupMenus(ui).empty(); });
    QueryPerformanceCounter(&t1);
    XKeys("Escape Escape");  // a native bar stays in its menu loop after the first
    WaitFor([&] { return PopupMenus(ui).empty(); });
    Sleep(150);
    return double(t1.QuadPart - t0.QuadPart) * 1000.0 / double(f.QuadPart);
}

TEST_F(SkinnedInput, ClickToDropDownSkinnedAgainstNative) {
    Skin();
    auto* native = new TKeyForm(nullptr);
    native->SetLeft(window.right + 10);
    native->Show();
    PumpMessages(200);
    RECT item{};
    GetMenuItemRect(native->Handle(), GetMenu(native->Handle()), 0, &item);
    const int skinnedX = ButtonLeft(0) + 8;
    std::vector<double> skinned, plain;
    WhileInput([&] {
        Activate();
        for (int i = 0; i < 5; ++i) {
            skinned.push_back(ClickToDropDown(ui, skinnedX, menuY));
            plain.push_back(ClickToDropDown(ui, item.left + 8, (item.top + item.bottom) / 2));
        }
    });
    delete native;
    ASSERT_EQ(skinned.size(), 5u);
    std::sort(skinned.begin(), skinned.end());
    std::sort(plain.begin(), plain.end());
    std::printf("[ figure ] click to drop-down: skinned %.1f ms, native %.1f ms (medians), ratio %.2f\n", skinned[2],
                plain[2], plain[2] > 0 ? skinned[2] / plain[2] : 0.0);
    EXPECT_GT(skinned[2], 0.0);
}

}  // namespace
}  // namespace quorin
