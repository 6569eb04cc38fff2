// The skinned menu bar and owner-drawn menu items, in-process: the bar takes the form's
// menu over, lays its buttons out and paints them from the skin (or from colours when the
// skin has no elements), rebuilt menus leave no dangling handle, and items are composed
// from the skin's frames.
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winskinmenu.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "SkinTestSupport.h"
#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/WinText.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Skindraw_win32.h"

namespace quorin {
namespace {

const char* kLayout = R"(MenuForm1: TMenuForm {
  Left = 100
  Top = 80
  Caption = "Menus"
  ClientWidth = 400
  ClientHeight = 200
  Menu = MainMenu1
  MainMenu1: TMainMenu {
    File1: TMenuItem {
      Caption = "&File"
      Open1: TMenuItem { Caption = "&Open" }
      N1: TMenuItem { Caption = "-" }
      Exit1: TMenuItem { Caption = "E&xit" }
    }
    Edit1: TMenuItem {
      Caption = "&Edit"
      Copy1: TMenuItem { Caption = "&Copy" ShortCut = 16451 Checked = true }
    }
    Off1: TMenuItem { Caption = "&Disabled" Enabled = false Sub1: TMenuItem { Caption = "Sub" } }
    Help1: TMenuItem { Caption = "&Help" About1: TMenuItem { Caption = "&About" } }
  }
})";

class TMenuForm : public TForm {
    QUORIN_CLASS(TMenuForm, TForm)
public:
    explicit TMenuForm(TComponent* AOwner) : TForm(AOwner) { InitLayoutText(kLayout); }
};

QUORIN_DEFINE_CLASS(TMenuForm, TForm) {}

TBitmap Strip(int frameWidth, int height, std::initializer_list<TColor> colors) {
    TBitmap b(frameWidth * int(colors.size()), height);
    int k = 0;
    for (TColor c : colors) b.FillRect(TRect{k * frameWidth, 0, (k + 1) * frameWidth, height}, c), ++k;
    return b;
}

bool HasPixelOtherThan(const TBitmap& b, RECT r, TColor background) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (b.Pixel(x, y) != background) return true;
    return false;
}

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        form = new TMenuForm(nullptr);
        form->HandleNeeded();  // hidden: showing a window costs seconds under Wine
        skin.Colors.Menubar = 0x00FF00;
        skin.Colors.MenuBarText = 0x000000;
        skin.Colors.ButtonHilight = 0xFFFFFF;
        skin.Colors.ButtonShadow = 0x808080;
        applier.SetHandle(form->Handle());
        applier.FForm = form;
        applier.FSkinData = &skin;
        applier.FBorderLeft = 4;
        applier.FBorderRight = 4;
        applier.FTitleHeight = 30;
        applier.FMenuHeight = 20;
        applier.FActive = true;
        applier.FMenuBar.reset(new TWinSkinMenu(&applier, &skin, &applier));
        bar = applier.FMenuBar.get();
    }
    void TearDown() override {
        delete form;
        Application->ProcessMessages();
    }
    TMenuItem* Item(const char* name) { return static_cast<TMenuItem*>(form->FindComponent(name)); }
    // The menu row drawn into a bitmap of the window's size.
    TBitmap DrawRow() {
        RECT wr;
        GetWindowRect(form->Handle(), &wr);
        TBitmap window(wr.right - wr.left, wr.bottom - wr.top);
        window.Fill(0x123456);
        TBitmapDC dc(window);
        bar->DrawMenu(dc.Handle(), RECT{4, 30, window.Width() - 4, 50});
        GdiFlush();
        return window;
    }
    TSkinData skin{nullptr};
    TMenuForm* form = nullptr;
    TWinSkinForm applier{nullptr};
    TWinSkinMenu* bar = nullptr;
};

TEST_F(MenuBarTest, TakesTheMenuOverFromTheWindow) {
    bar->UpdataBtn();
    EXPECT_EQ(GetMenu(form->Handle()), nullptr) << "only the skin draws the menu row";
    ASSERT_EQ(bar->FButtons.size(), 4u);
    EXPECT_EQ(bar->FButtons[0]->Caption, u"&File");
    EXPECT_EQ(bar->FButtons[0]->Item, Item("File1"));
    EXPECT_EQ(bar->FButtons[0]->SubMenu, Item("File1")->Handle());
    EXPECT_FALSE(bar->FButtons[2]->ItemEnabled);
    EXPECT_EQ(applier.FindButtonFromAccel('e'), bar->FButtons[1].get());
    EXPECT_EQ(applier.FindButtonFromAccel('H'), bar->FButtons[3].get());
    EXPECT_EQ(applier.FindButtonFromAccel('d'), nullptr) << "a disabled item does not open";
    EXPECT_EQ(applier.FindButtonFromAccel('x'), nullptr) << "an accelerator of a drop-down item is not the bar's";
}

TEST_F(MenuBarTest, RebuiltMenuLeavesNoDanglingHandle) {
    bar->UpdataBtn();
    HMENU oldFile = bar->FButtons[0]->SubMenu;
    {
        TMenuTracking tracking;  // as if the drop-down were open
        Item("Open1")->SetCaption("&Open...");
        EXPECT_TRUE(IsMenu(oldFile)) << "a menu on screen stays until tracking ends";
        bar->UpdataBtn();
    }
    EXPECT_FALSE(IsMenu(oldFile));
    for (auto& b : bar->FButtons)
        if (b->SubMenu) {
            EXPECT_TRUE(IsMenu(b->SubMenu));
        }
    // Emptied: no buttons, nothing to open, no crash.
    Item("File1")->Clear();
    bar->UpdataBtn();
    EXPECT_EQ(bar->FButtons[0]->SubMenu, nullptr);
    EXPECT_FALSE(applier.CheckMenu(bar->FButtons[0].get()));
}

TEST_F(MenuBarTest, LongCaptionIsCutAt80Characters) {
    Item("Help1")->SetCaption(std::string(200, 'W'));
    bar->UpdataBtn();
    EXPECT_EQ(bar->FButtons[3]->Caption.size(), 80u);
}

TEST_F(MenuBarTest, WithoutAMenuBarElementTheRowIsMenubarColoured) {
    bar->UpdataBtn();
    TBitmap window = DrawRow();
    EXPECT_EQ(bar->FButtons[0]->Rect.left, 4 + 6);
    EXPECT_EQ(window.Pixel(window.Width() - 6, 40), 0x00FF00);
    EXPECT_EQ(window.Pixel(2, 40), 0x123456) << "nothing outside the row";
    const RECT& file = bar->FButtons[0]->Rect;
    EXPECT_TRUE(HasPixelOtherThan(window, file, 0x00FF00)) << "the caption is drawn";
    EXPECT_EQ(bar->FButtons[1]->Rect.left, file.right);
    EXPECT_EQ(bar->FindBtn(POINT{file.left + 2, 35}), bar->FButtons[0].get());
    EXPECT_EQ(bar->FindBtn(POINT{file.left + 2, 55}), nullptr);
}

TEST_F(MenuBarTest, MenuBarElementGivesTheBackgroundAndTheStart) {
    skin.MenuBar = std::make_unique<TDataSkinObject>("MenuBar");
    skin.MenuBar->Map = Strip(30, 20, {0x0000FF, 0xFF0000});
    skin.MenuBar->Frame = 2;
    skin.MenuBar->Margins.Left = 10;
    bar->UpdataBtn();
    TBitmap active = DrawRow();
    EXPECT_EQ(bar->FButtons[0]->Rect.left, 4 + 14);
    EXPECT_EQ(active.Pixel(active.Width() - 6, 40), 0x0000FF);
    applier.FActive = false;
    TBitmap inactive = DrawRow();
    EXPECT_EQ(inactive.Pixel(inactive.Width() - 6, 40), 0xFF0000);
}

TEST_F(MenuBarTest, HotButtonGetsAFrameAndRightToLeftStartsAtTheRight) {
    bar->UpdataBtn();
    bar->FButtons[0]->State = ncHot;
    applier.FHotObject = bar->FButtons[0].get();
    TBitmap window = DrawRow();
    const RECT r = bar->FButtons[0]->Rect;
    EXPECT_EQ(window.Pixel(r.left, (r.top + r.bottom) / 2), 0xFFFFFF);
    EXPECT_EQ(window.Pixel(bar->FButtons[1]->Rect.left, (r.top + r.bottom) / 2), 0x00FF00);
    applier.FHotObject = nullptr;
    applier.FLeftScrollBar = true;
    DrawRow();
    EXPECT_EQ(bar->FButtons[0]->Rect.right, window.Width() - 4 - 6);
    EXPECT_LT(bar->FButtons[1]->Rect.right, bar->FButtons[0]->Rect.left + 1);
}

TEST_F(MenuBarTest, DropDownItemsBecomeOwnerDrawn) {
    bar->UpdataBtn();
    HMENU file = bar->FButtons[0]->SubMenu;
    applier.WMINITMENU(file);
    for (int i = 0; i < GetMenuItemCount(file); ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(file, UINT(i), TRUE, &mii);
        EXPECT_TRUE(mii.fType & MFT_OWNERDRAW) << i;
    }
}

TEST_F(MenuBarTest, LettersChooseOwnerDrawnItems) {
    bar->UpdataBtn();
    HMENU file = bar->FButtons[0]->SubMenu;
    applier.WMINITMENU(file);
    EXPECT_EQ(SendMessageW(form->Handle(), WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), LPARAM(file)),
              MAKELRESULT(2, MNC_EXECUTE));
    EXPECT_EQ(SendMessageW(form->Handle(), WM_MENUCHAR, MAKEWPARAM('O', MF_POPUP), LPARAM(file)),
              MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(HIWORD(SendMessageW(form->Handle(), WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), LPARAM(file))), 0);
}

// The row is composed off screen and copied in one piece (its time is in
// tools/bench_paint.sh).
TEST_F(MenuBarTest, MenuRowIsComposedOffScreen) {
    ASSERT_TRUE(skintest::LoadDefaultSkin(skin));
    bar->UpdataBtn();
    RECT wr;
    GetWindowRect(form->Handle(), &wr);
    TBitmap window(wr.right - wr.left, wr.bottom - wr.top);
    TBitmapDC dc(window);
    bar->DrawMenu(dc.Handle(), RECT{4, 30, window.Width() - 4, 50});
    EXPECT_FALSE(bar->FBarBitmap.Empty());
}

class MenuItemDraw : public MenuBarTest {
protected:
    void SetUp() override {
        MenuBarTest::SetUp();
        skin.Colors.Menu = 0xC0C0C0;
        skin.Colors.MenuText = 0x000000;
        skin.Colors.HilightText = 0xFFFFFF;
        skin.MenuItem = std::make_unique<TDataSkinObject>("MenuItem");
        skin.MenuItem->Map = Strip(20, 20, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFF00, 0xFF00FF});
        skin.MenuItem->Frame = 5;
        skin.MenuItem->Margins.Left = 2;
        skin.MenuItem->Margins.Right = 2;
    }
    TBitmap Draw(TMenuItem* item, bool selected, int height = 20) {
        TBitmap b(200, height);
        b.Fill(0x654321);
        TBitmapDC dc(b);
        TCanvas canvas;
        canvas.SetHandle(dc.Handle());
        applier.DrawMenuItem(item, canvas, RECT{0, 0, 200, height}, selected);
        canvas.SetHandle(nullptr);
        GdiFlush();
        return b;
    }
};

TEST_F(MenuItemDraw, NormalAndSelectedFramesWithCheckAndShortcut) {
    TMenuItem* copy = Item("Copy1");
    TBitmap normal = Draw(copy, false);
    TBitmap selected = Draw(copy, true);
    EXPECT_EQ(normal.Pixel(190, 2), 0x0000FF) << "frame 1";
    EXPECT_EQ(selected.Pixel(190, 2), 0xFFFF00) << "frame 4";
    EXPECT_TRUE(HasPixelOtherThan(normal, RECT{3, 2, 19, 18}, 0x0000FF)) << "the check mark";
    EXPECT_TRUE(HasPixelOtherThan(normal, RECT{22, 2, 60, 18}, 0x0000FF)) << "the caption";
    EXPECT_TRUE(HasPixelOtherThan(normal, RECT{120, 2, 189, 18}, 0x0000FF)) << "the shortcut, right-aligned";
}

TEST_F(MenuItemDraw, SeparatorUsesFrameTwoOnTheMenuColour) {
    TBitmap sep = Draw(Item("N1"), false, 8);
    EXPECT_EQ(sep.Pixel(100, 4), 0x00FF00);
    EXPECT_EQ(sep.Pixel(0, 4), 0x00FF00);
}

TEST_F(MenuItemDraw, WithoutTheMenuItemElementColoursAreUsed) {
    skin.MenuItem.reset();
    EXPECT_EQ(Draw(Item("Open1"), false).Pixel(190, 2), 0xC0C0C0);
    EXPECT_EQ(Draw(Item("Open1"), true).Pixel(190, 2), ColorToRGB(skin.Colors.Hilight));
}

TEST_F(MenuItemDraw, MeasureAddsTheSkinsRoom) {
    HDC dc = GetDC(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc);
    int plainW = 0, plainH = 0, w = 0, h = 0;
    Item("Open1")->MeasureItem(canvas, plainW, plainH);
    applier.MeasureItemPop(Item("Open1"), canvas, w, h);
    EXPECT_EQ(w, plainW + 2 + 23 + 12);
    EXPECT_EQ(h, plainH);
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
}

TEST_F(MenuBarTest, FormMeasuresItemsOfMenusItDoesNotOwn) {
    // A pop-up menu owned by another object (a skin applier's system menu) shown for it.
    TPopupMenu popup(nullptr);
    auto* item = new TMenuItem(nullptr);
    item->SetCaption("x");
    item->OnMeasureItem = [](TObject*, TCanvas&, int& w, int& h) { w = 123, h = 17; };
    popup.Items()->Add(item);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = item->Command();
    SendMessageW(form->Handle(), WM_MEASUREITEM, 0, LPARAM(&mis));
    EXPECT_EQ(mis.itemWidth, 123u);
    EXPECT_EQ(mis.itemHeight, 17u);
}

TEST(PopupMenuWindow, BorderComesFromTheMenuBackground) {
    TSkinData skin(nullptr);
    ASSERT_TRUE(skintest::LoadDefaultSkin(skin));
    skin.SkinControls.Include(xcPopupMenu);
    skin.MenuBackground = std::make_unique<TDataSkinObject>("MenuBackground");
    skin.MenuBackground->Map = Strip(40, 40, {0x00FF00});
    skin.MenuBackground->Frame = 1;
    HWND w =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_BORDER, 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    TWinSkinPopMenu menu;
    menu.InitSkin(w, &skin, 1);
    EXPECT_EQ(SendMessageW(w, CN_IsSkinned, 0, 0), 1);
    TBitmap picture(120, 80);
    picture.Fill(0x123456);
    {
        TBitmapDC dc(picture);
        SendMessageW(w, WM_PRINT, WPARAM(dc.Handle()), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
    }
    EXPECT_EQ(picture.Pixel(0, 0), 0x00FF00);
    EXPECT_EQ(picture.Pixel(119, 40), 0x00FF00);
    EXPECT_EQ(picture.Pixel(60, 79), 0x00FF00);
    EXPECT_EQ(menu.FBackground.Width(), 120) << "kept for the items drawn on it";
    // Without the element the platform draws, and nothing breaks.
    skin.MenuBackground.reset();
    EXPECT_EQ(SendMessageW(w, WM_NCPAINT, 1, 0), 0);
    DestroyWindow(w);
    EXPECT_FALSE(menu.FHook.Hooked()) << "the window procedure goes back when the menu closes";
}

}  // namespace
}  // namespace quorin
