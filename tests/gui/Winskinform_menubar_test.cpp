// The skinned main window with real mouse and keyboard input: its menu row drawn by the
// skin opens drop-downs from the keyboard (F10, Alt, arrows, Escape) and the mouse, the
// caption buttons track the mouse, the caption maximises and restores on a double click
// and shows the skinned system menu on a right click, and the program ends from the
// menus and the close button. Screenshots go to build/windows/screens/.
#include "support/GuiHarness.h"
#include "support/RealInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace quorin::gui {
namespace {

constexpr UINT CN_IsSkinned = 0x3523;

std::string Screens(const std::string& name) { return std::string(QUORIN_BINARY_DIR) + "/screens/" + name; }

bool Skinned(HWND w) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(w, CN_IsSkinned, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) && result == 1;
}

// Where things are on the skinned window: the menu row lies right above the client area.
struct Geometry {
    RECT window{};
    POINT client{};
    int menuY = 0, captionY = 0;
    explicit Geometry(HWND w) {
        GetWindowRect(w, &window);
        ClientToScreen(w, &client);
        const int menuHeight = GetSystemMetrics(SM_CYMENU);
        menuY = client.y - menuHeight / 2;
        captionY = window.top + (client.y - menuHeight - window.top) / 2;
    }
    POINT ClientCentre() const { return POINT{(window.left + window.right) / 2, (client.y + window.bottom) / 2}; }
};

// The one open drop-down, or nothing; with `notAt`, one whose left edge has moved away
// from there (after switching).
std::optional<RECT> OpenMenu(const RunningApp& app, std::optional<LONG> notAt = std::nullopt, DWORD timeoutMs = 3000) {
    std::optional<RECT> found;
    WaitUntil(
        [&] {
            auto menus = PopupMenus(app.ProcessId());
            if (menus.size() != 1) return false;
            // While the drop-downs switch, the one listed may be gone before it is measured.
            RECT r{};
            if (!GetWindowRect(menus[0], &r) || !IsWindowVisible(menus[0])) return false;
            if (notAt && r.left == *notAt) return false;
            found = r;
            return true;
        },
        timeoutMs);
    Sleep(300);  // the X focus settles on the new menu before the next key
    return found;
}

bool NoMenu(const RunningApp& app) {
    return WaitUntil([&] { return PopupMenus(app.ProcessId()).empty(); }, 3000);
}

std::optional<RECT> MenuMovedFrom(const RunningApp& app, LONG left) { return OpenMenu(app, left); }

class SkinnedWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.Started()) << app.Failure();
        main = app.MainWindow();
        ASSERT_TRUE(WaitUntil([&] { return Skinned(main); }, 15000)) << "the skin manager did not skin the window";
        ASSERT_TRUE(WaitMainWindowSkinned(main)) << "the skinned frame did not follow";
        Sleep(300);
        Geometry g(main);
        MouseClick((g.window.left + g.window.right) / 2, g.captionY);  // the X focus
        WaitUntil([&] { return GetForegroundWindow() == main; }, 2000);
    }
    // The left edges of the drop-downs, from the first menu on by Right, until it wraps.
    std::vector<LONG> WalkMenusWithRight() {
        std::vector<LONG> lefts;
        Keys("F10");
        auto first = OpenMenu(app);
        if (!first) return lefts;
        lefts.push_back(first->left);
        for (int i = 0; i < 8; ++i) {
            Keys("Right");
            auto next = MenuMovedFrom(app, lefts.back());
            if (!next) break;
            if (next->left == lefts.front()) {
                lefts.push_back(next->left);  // wrapped
                break;
            }
            lefts.push_back(next->left);
        }
        return lefts;
    }
    RunningApp app;
    HWND main = nullptr;
};

TEST_F(SkinnedWindow, MenuRowKeyboardMouseCaptionAndCloseButton) {
    EXPECT_EQ(GetMenu(main), nullptr) << "the skin draws the menu row";
    SaveWindowPng(main, Screens("menus-row.png"));
    Geometry g(main);

    // F10 opens the first drop-down with its first item selected; Right walks and wraps.
    const std::vector<LONG> lefts = WalkMenusWithRight();
    ASSERT_GE(lefts.size(), 3u) << "F10 then Right did not move through the menus";
    EXPECT_EQ(lefts.back(), lefts.front()) << "Right on the last menu wraps to the first";
    const size_t menus = lefts.size() - 1;
    EXPECT_GT(lefts.front(), g.window.left);
    EXPECT_LT(lefts.front(), g.window.left + 40);
    Keys("Escape");
    EXPECT_TRUE(NoMenu(app)) << "Escape closes the drop-down";

    // Alt alone opens the first one too; Left from the first goes to the last.
    Keys("alt");
    auto alt = OpenMenu(app);
    ASSERT_TRUE(alt);
    EXPECT_EQ(alt->left, lefts.front());
    if (auto menu = PopupMenus(app.ProcessId()); !menu.empty()) SaveWindowPng(menu[0], Screens("menus-dropdown.png"));
    Keys("Left");
    auto last = MenuMovedFrom(app, lefts.front());
    ASSERT_TRUE(last);
    EXPECT_EQ(last->left, lefts[menus - 1]);
    Keys("Escape");
    ASSERT_TRUE(NoMenu(app));

    // A right click on the caption: the skinned system menu with the native items.
    g = Geometry(main);
    MouseClick((g.window.left + g.window.right) / 2, g.captionY, 3);
    auto sys = OpenMenu(app);
    ASSERT_TRUE(sys) << "no system menu";
    if (auto menu = PopupMenus(app.ProcessId()); !menu.empty()) SaveWindowPng(menu[0], Screens("menus-sysmenu.png"));
    Keys("Escape");
    ASSERT_TRUE(NoMenu(app));
    Sleep(600);  // past the double-click time of the system menu

    // The main window has no maximise box: a double click on its caption does what the
    // default procedure does, which leaves it as it is (test forms cover the maximise box).
    ASSERT_FALSE(GetWindowLongW(main, GWL_STYLE) & WS_MAXIMIZEBOX);
    MouseClick((g.window.left + g.window.right) / 2, g.captionY, 1, 2);
    Sleep(500);
    EXPECT_FALSE(IsZoomed(main));
    g = Geometry(main);

    // The close button: found by its hot frame, from the right end of the title strip.
    const POINT away = g.ClientCentre();
    MouseMove(away.x, away.y);
    Sleep(400);
    int closeX = -1;
    std::vector<long> normal;
    RECT probe{};
    for (int x = g.window.right - 6; x > g.window.right - 120 && closeX < 0; x -= 4) {
        RECT r{x - 2, g.captionY - 2, x + 3, g.captionY + 3};
        const std::vector<long> before = ScreenPixels(r);
        MouseMove(x, g.captionY);
        Sleep(80);
        if (ScreenPixels(r) != before) {
            closeX = x;
            normal = before;
            probe = r;
        }
    }
    ASSERT_GE(closeX, 0) << "no caption button showed a hot frame";
    MouseMove(away.x, away.y);  // no non-client move follows: the timer restores it
    const DWORD left = GetTickCount();
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(probe) == normal; }, 2000, 10));
    const DWORD back = GetTickCount() - left;
    EXPECT_LE(back, 500u) << "the hot frame stayed " << back << " ms";
    std::printf("[ figure ] close button back to normal %lu ms after the mouse left\n", (unsigned long)back);

    // Pressed on the close button and released elsewhere: nothing.
    MouseDown(closeX, g.captionY);
    Sleep(100);
    MouseUp(away.x, away.y);
    Sleep(500);
    EXPECT_TRUE(app.Running());
    // Pressed and released on it: the program ends.
    MouseClick(closeX, g.captionY);
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// With a drop-down open, the mouse moving along the menu row opens the drop-down of the
// item under it; Exit chosen with the mouse ends the program.
TEST_F(SkinnedWindow, DropDownsFollowTheMouseAlongTheRowAndExitEnds) {
    const std::vector<LONG> lefts = WalkMenusWithRight();
    ASSERT_GE(lefts.size(), 3u);
    Keys("Escape");
    ASSERT_TRUE(NoMenu(app));
    Geometry g(main);
    MouseClick(lefts[0] + 4, g.menuY);
    auto open = OpenMenu(app);
    ASSERT_TRUE(open);
    MouseMove(lefts[1] + 8, g.menuY);
    auto second = MenuMovedFrom(app, lefts[0]);
    ASSERT_TRUE(second) << "the drop-down did not follow the mouse";
    EXPECT_EQ(second->left, lefts[1]) << "drop-downs at " << ::testing::PrintToString(lefts);
    MouseMove(lefts[0] + 4, g.menuY);
    auto back = MenuMovedFrom(app, lefts[1]);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->left, lefts[0]);
    MouseClick(back->left + 30, back->bottom - 3 - GetSystemMetrics(SM_CYMENU) / 2);  // "Exit", the last item
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

TEST_F(SkinnedWindow, CloseItemOfTheSystemMenuCloses) {
    Geometry g(main);
    MouseClick((g.window.left + g.window.right) / 2, g.captionY, 3);
    auto sys = OpenMenu(app);
    ASSERT_TRUE(sys);
    Keys("c");  // "&Close": the letter chooses the owner-drawn item
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quorin::gui
