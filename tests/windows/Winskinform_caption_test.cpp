// Caption buttons of the skin applier: where each align value puts a button, which
// buttons the two visibility tables and the action veto show, which frame is drawn, what
// a click does, and the system menu built from the native one.
#include "skin/apply/Winskinform.h"

#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "forms/Forms.h"
#include "forms/Menus.h"
#include "skin/resources/Skindraw_win32.h"

namespace quorin {
namespace {

LRESULT VisibleAnswer = 0;
WPARAM AskedVisibility = 0;
LPARAM AskedAction = 0;

LRESULT CALLBACK TestWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == CN_SysButtonVisible) {
        AskedVisibility = wp;
        AskedAction = lp;
        return VisibleAnswer;
    }
    return DefWindowProcW(w, m, wp, lp);
}

HWND MakeWindow(DWORD style = WS_OVERLAPPEDWINDOW) {
    static ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CaptionTestWindow";
        return RegisterClassW(&wc);
    }();
    (void)atom;
    return CreateWindowExW(0, L"CaptionTestWindow", L"t", style, 10, 10, 400, 300, nullptr, nullptr, nullptr, nullptr);
}

// A strip of solid frames: frame k (from 1) has colour Colors[k - 1].
TBitmap Strip(int frameWidth, int height, std::initializer_list<TColor> colors) {
    TBitmap b(frameWidth * int(colors.size()), height);
    int k = 0;
    for (TColor c : colors) b.FillRect(TRect{k * frameWidth, 0, (k + 1) * frameWidth, height}, c), ++k;
    return b;
}

class CaptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = MakeWindow();
        ASSERT_NE(window, nullptr);
        form.SetHandle(window);
        form.FSkinData = &skin;
        form.FBorderLeft = 4;
        form.FBorderRight = 4;
        form.FTitleHeight = 30;
        form.FMenuHeight = 20;
        form.FTextLeft = 50;
        form.FTextRight = 300;
        form.FActive = true;
        form.FBorderIcons = biMaxBox | biMinBox | biSysMenu;
        skin.MenuBar = std::make_unique<TDataSkinObject>("MenuBar");
        skin.MenuBar->Map = TBitmap(20, 20);
        skin.MenuBar->Margins.Left = 7;
    }
    void TearDown() override {
        form.DeleteSysbtn();
        DestroyWindow(window);
    }
    // A button of 10 x 10 pixels (4 frames) with the given settings.
    TWinSysButton* Add(int action, int align, int x, int y, int visibility = 0, int visibility1 = 0) {
        auto e = std::make_unique<TDataSkinSysButton>("b");
        e->Map = Strip(10, 10, {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF});
        e->Frame = 4;
        e->Action = action;
        e->Align = align;
        e->XCoord = x;
        e->YCoord = y;
        e->Visibility = visibility;
        e->Visibility1 = visibility1;
        skin.SysButtons.push_back(std::move(e));
        form.FSysButtons.push_back(std::make_unique<TWinSysButton>(&form, skin.SysButtons.back().get()));
        return form.FSysButtons.back().get();
    }
    HWND window = nullptr;
    TSkinData skin{nullptr};
    TWinSkinForm form{nullptr};
};

struct AlignCase {
    int align, x, y;
    RECT expected;
};

class CaptionAlign : public CaptionTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(CaptionAlign, PlacesTheButton) {
    const AlignCase& c = GetParam();
    TWinSysButton* b = Add(40, c.align, c.x, c.y);
    form.SetSysbtnRect();
    EXPECT_EQ(b->Rect.left, c.expected.left);
    EXPECT_EQ(b->Rect.top, c.expected.top);
    EXPECT_EQ(b->Rect.right, c.expected.right);
    EXPECT_EQ(b->Rect.bottom, c.expected.bottom);
}

// Window 400 wide; caption text from 50 to 300; menu row 30..50; menu-bar margin 7.
INSTANTIATE_TEST_SUITE_P(Aligns, CaptionAlign,
                         ::testing::Values(AlignCase{0, 5, 3, {5, 3, 15, 13}}, AlignCase{1, 60, 3, {340, 3, 350, 13}},
                                           AlignCase{2, 5, 4, {285, 4, 295, 14}}, AlignCase{8, 5, 4, {285, 4, 295, 14}},
                                           AlignCase{3, 5, 4, {55, 4, 65, 14}}, AlignCase{9, 5, 4, {55, 4, 65, 14}},
                                           AlignCase{100, 20, 99, {369, 35, 379, 45}}));

TEST_F(CaptionTest, MenuRowButtonsOfALeftScrollBarWindowStartAtTheLeft) {
    form.FLeftScrollBar = true;
    TWinSysButton* b = Add(40, 100, 20, 0);
    form.SetSysbtnRect();
    EXPECT_EQ(b->Rect.left, 20 + 4 + 7);
}

TEST_F(CaptionTest, EmptyImageOrHiddenButtonIsNeitherPlacedNorHit) {
    TWinSysButton* hidden = Add(40, 0, 5, 3, 5);
    TWinSysButton* empty = Add(40, 0, 20, 3);
    skin.SysButtons.back()->Map.Clear();
    form.SetSysbtnRect();
    EXPECT_TRUE(IsRectEmpty(&hidden->Rect));
    EXPECT_TRUE(IsRectEmpty(&empty->Rect));
    EXPECT_EQ(form.FindBtn(POINT{7, 5}), nullptr);
    EXPECT_EQ(form.FindBtn(POINT{22, 5}), nullptr);
}

enum Flags { fMax = 1, fActive = 2, fMaxBox = 4, fMinBox = 8, fSysMenu = 16, fDialogFrame = 32 };

struct VisibleCase {
    int visibility, visibility1, action, flags;
    bool shown;
};

class CaptionVisible : public CaptionTest, public ::testing::WithParamInterface<VisibleCase> {};

TEST_P(CaptionVisible, FollowsBothTablesAndTheVeto) {
    const VisibleCase& c = GetParam();
    Add(c.action, 0, 0, 0, c.visibility, c.visibility1);
    form.FWinState = c.flags & fMax ? wsfMaximized : wsfNormal;
    form.FActive = c.flags & fActive;
    form.FBorderIcons = uint8_t((c.flags & fMaxBox ? biMaxBox : 0) | (c.flags & fMinBox ? biMinBox : 0) |
                                (c.flags & fSysMenu ? biSysMenu : 0));
    form.FBorderKind = c.flags & fDialogFrame ? bkDialog : bkSizeable;
    EXPECT_EQ(form.Checkvisible(0), c.shown);
    EXPECT_EQ(form.FSysButtons[0]->Enabled, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CaptionVisible,
    ::testing::Values(
        VisibleCase{0, 0, 40, 0, true}, VisibleCase{1, 0, 40, fMax, true}, VisibleCase{1, 0, 40, 0, false},
        VisibleCase{2, 0, 40, 0, true}, VisibleCase{2, 0, 40, fMax, false}, VisibleCase{3, 0, 40, fActive, true},
        VisibleCase{4, 0, 40, fActive, false}, VisibleCase{5, 0, 40, 0xFF, false}, VisibleCase{10, 0, 40, 0xFF, false},
        VisibleCase{6, 0, 40, fMaxBox | fSysMenu, true}, VisibleCase{6, 0, 40, fMaxBox, false},
        VisibleCase{7, 0, 40, 0, true}, VisibleCase{8, 0, 40, fMinBox | fSysMenu, true},
        VisibleCase{8, 0, 40, fMinBox, false}, VisibleCase{9, 0, 40, fMinBox, false},
        VisibleCase{100, 0, 40, 0xFF, false} /* not an MDI frame */, VisibleCase{200, 0, 40, fDialogFrame, true},
        VisibleCase{200, 0, 40, 0, false}, VisibleCase{201, 0, 40, 0, true}, VisibleCase{999, 0, 40, 0, true},
        VisibleCase{2001, 0, 40, 0xFF, false}, VisibleCase{-1, 0, 40, 0xFF, false},
        // The second condition.
        VisibleCase{0, 1, 40, 0, false}, VisibleCase{0, 2, 40, 0, true}, VisibleCase{0, 3, 40, 0, false},
        VisibleCase{0, 4, 40, 0, true}, VisibleCase{0, 6, 40, fMaxBox, true}, VisibleCase{0, 7, 40, fMaxBox, false},
        VisibleCase{0, 8, 40, fMinBox, true}, VisibleCase{0, 9, 40, 0, true}, VisibleCase{0, -1, 40, 0xFF, false},
        VisibleCase{0, 5, 40, 0xFF, false}, VisibleCase{0, 200, 40, 0xFF, false},
        // The veto by action.
        VisibleCase{0, 0, 0, fMaxBox | fMinBox, false}, VisibleCase{0, 0, 0, fSysMenu, true},
        VisibleCase{0, 0, 1, fSysMenu | fMinBox, false}, VisibleCase{0, 0, 2, fSysMenu | fMaxBox, false},
        VisibleCase{0, 0, 3, fDialogFrame, false}, VisibleCase{0, 0, 11, fDialogFrame, false},
        VisibleCase{0, 0, 12, fDialogFrame, false}, VisibleCase{0, 0, 12, 0, true}));

TEST_F(CaptionTest, VisibilityBetween1000And2000AsksTheWindow) {
    Add(41, 0, 0, 0, 1500);
    VisibleAnswer = 1;
    EXPECT_TRUE(form.Checkvisible(0));
    EXPECT_EQ(AskedVisibility, 1500u);
    EXPECT_EQ(AskedAction, 41);
    VisibleAnswer = 0;
    EXPECT_FALSE(form.Checkvisible(0));
    VisibleAnswer = -5;
    EXPECT_FALSE(form.Checkvisible(0));
}

TEST_F(CaptionTest, TitleStripGetsFrameOneWhenActiveAndFrameFourWhenInactive) {
    TWinSysButton* b = Add(40, 0, 10, 5);
    Add(40, 100, 10, 5);  // the MDI child's buttons belong to the menu row
    TBitmap strip(400, 30);
    strip.Fill(0x808080);
    form.SetSysbtnRect();
    form.DrawAllSysbtn(strip, RECT{4, 0, 396, 30});
    EXPECT_EQ(strip.Pixel(15, 10), 0x0000FF);
    form.FActive = false;
    form.DrawAllSysbtn(strip, RECT{4, 0, 396, 30});
    EXPECT_EQ(strip.Pixel(b->Rect.left + 5, b->Rect.top + 5), 0x00FFFF);
    EXPECT_EQ(strip.Pixel(375, 10), 0x808080) << "a visibility-100 button is not drawn into the title strip";
}

TEST_F(CaptionTest, ActionsPostTheirCommands) {
    Add(40, 0, 10, 5);
    Add(0, 0, 30, 5);
    Add(2, 0, 50, 5);
    form.SetSysbtnRect();
    RECT wr;
    GetWindowRect(window, &wr);
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {}
    auto posted = [&](UINT message) -> WPARAM {
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE))
            if (msg.message == message) return msg.wParam;
        return WPARAM(-1);
    };
    form.SysBtnAction(wr.left + 12, wr.top + 7);
    EXPECT_EQ(posted(CN_SysButtonClick), 40u) << "an application action";
    form.SysBtnAction(wr.left + 32, wr.top + 7);
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(SC_CLOSE));
    form.SysBtnAction(wr.left + 52, wr.top + 7);
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(SC_MINIMIZE));
    EXPECT_EQ(form.FWinState, wsfMinimized);
    form.SysBtnAction(wr.left + 52, wr.top + 7);
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(SC_RESTORE)) << "minimise on a minimised window restores";
    EXPECT_EQ(form.FWinState, wsfNormal);
    form.Maximize();
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(SC_MAXIMIZE));
    form.Maximize();
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(SC_RESTORE));
}

TEST_F(CaptionTest, MenuCommandsOfTheSystemMenuComeBackAsSystemCommands) {
    MSG msg;
    while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {}
    for (UINT c : {SC_SIZE, SC_MOVE, SC_MINIMIZE, SC_MAXIMIZE, SC_NEXTWINDOW, SC_PREVWINDOW, SC_CLOSE, SC_RESTORE}) {
        TMessage m{WM_COMMAND, c, 0, 0};
        form.WMCommand(m);
        ASSERT_TRUE(PeekMessageW(&msg, window, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) << c;
        EXPECT_EQ(msg.wParam, c);
    }
}

TEST_F(CaptionTest, SystemMenuCopiesTheNativeItemsWithGlyphsAndStates) {
    form.FWinState = wsfMaximized;
    form.CreateSysmenu2();
    ASSERT_NE(form.FSysMenu, nullptr);
    EXPECT_EQ(form.FSysMenu->Tag(), 0x8235);
    HMENU native = GetSystemMenu(window, FALSE);
    TMenuItem* root = form.FSysMenu->Items();
    ASSERT_EQ(root->Count(), GetMenuItemCount(native));
    int seen = 0;
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        const UINT id = GetMenuItemID(native, i);
        EXPECT_EQ(UINT(item->Tag()), id);
        EXPECT_TRUE(item->OnDrawItem && item->OnMeasureItem);
        switch (id) {
        case SC_CLOSE:
            EXPECT_EQ(item->ImageIndex(), 3);
            ++seen;
            break;
        case SC_RESTORE:
            EXPECT_EQ(item->ImageIndex(), 0);
            EXPECT_TRUE(item->Enabled());
            ++seen;
            break;
        case SC_MAXIMIZE:
            EXPECT_EQ(item->ImageIndex(), 1);
            EXPECT_FALSE(item->Enabled());
            ++seen;
            break;
        case SC_MOVE:
        case SC_SIZE:
            EXPECT_FALSE(item->Enabled()) << "not while maximised";
            ++seen;
            break;
        case 0: EXPECT_EQ(item->Caption(), "-"); break;
        default: break;
        }
    }
    EXPECT_EQ(seen, 5);
    // Its items are found by the window that shows them, whoever owns the menu.
    EXPECT_EQ(FindMenuItemByCommand(root->Items(0)->Command()), root->Items(0));
}

// A system-menu request within the double-click time of the last one is a double click on
// the caption object: with that object hot it closes the window, without it nothing
// happens; after the double-click time the menu opens again.
TEST_F(CaptionTest, SecondSystemMenuRequestWithinTheDoubleClickTimeCloses) {
    TWinSysButton* button = Add(40, 0, 10, 5);
    form.SetSysbtnRect();
    struct TRow {
        const char* Name;
        bool Hot;
        DWORD Ago;  // milliseconds since the last pop-up
        bool Closes, Opens;
    };
    const DWORD dbl = form.FDblClickTime;
    ASSERT_GT(dbl, 10u);
    const TRow rows[] = {{"hot, within", true, 0, true, false},
                         {"hot, at the edge", true, dbl - 10, true, false},
                         {"not hot, within", false, 0, false, false},
                         {"hot, later", true, dbl + 50, false, true}};
    MSG msg;
    for (const TRow& row : rows) {
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {}
        form.FHotObject = row.Hot ? button : nullptr;
        form.FLastPopupTick = GetTickCount() - row.Ago;
        form.FSysMenu.reset();
        // A menu that opens is closed again at once.
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
        form.PopSysmenu(POINT{100, 100});
        KillTimer(nullptr, timer);
        EXPECT_EQ(PeekMessageW(&msg, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != 0, row.Closes) << row.Name;
        EXPECT_EQ(form.FSysMenu != nullptr, row.Opens) << row.Name;
    }
    form.FHotObject = nullptr;
}

TEST_F(CaptionTest, NativeCaptionButtonsAreHiddenAndComeBack) {
    form.UpdateStyle(true);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_SYSMENU);
    form.UpdateStyle(false);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_SYSMENU);
    form.EnableSysbtn(false);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) << "only in caption-style mode";
    form.FBorderIcons |= biCaptionStyle;
    form.EnableSysbtn(false);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION);
    form.UpdateStyle(true);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_SYSMENU) << "caption-style mode leaves the system menu";
    form.EnableSysbtn(true);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION, LONG(WS_CAPTION));
}

}  // namespace
}  // namespace quorin
