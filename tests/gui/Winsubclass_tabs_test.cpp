// The skinned page controls and list header of the real CANConfig.exe under real input
// (xdotool): the current tab drawn white from the skin and the others grey, pages turned by
// a click and by the arrow keys, and the header's hot section following the mouse. Skipped
// while the program does not skin its controls.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/GuiHarness.h"
#include "support/RealInput.h"

namespace quorin::gui {
namespace {

constexpr UINT kIsSkinned = 0x3523;

RECT RemoteRect(const RunningApp& app, HWND window, UINT msg, int index) {
    RECT r{};
    RemoteBuffer buffer(app.Process(), sizeof(RECT));
    if (!buffer) return r;
    SendMessageW(window, msg, WPARAM(index), reinterpret_cast<LPARAM>(buffer.Address()));
    buffer.Read(&r, sizeof r);
    return r;
}

// A point inside a tab clear of its caption, on the screen.
POINT TabProbe(const RunningApp& app, HWND tabs, int index) {
    const RECT r = RemoteRect(app, tabs, TCM_GETITEMRECT, index);
    POINT p{r.left + 3, (r.top + r.bottom) / 2 + 1};
    ClientToScreen(tabs, &p);
    return p;
}

bool White(long c) { return (c & 0xFF) >= 250 && ((c >> 8) & 0xFF) >= 250 && ((c >> 16) & 0xFF) >= 250; }
bool SkinGrey(long c) {
    for (int s : {0, 8, 16})
        if (((c >> s) & 0xFF) < 215 || ((c >> s) & 0xFF) > 238) return false;
    return true;
}

class SkinnedPages : public ::testing::Test {
protected:
    void SetUp() override {
        App = std::make_unique<RunningApp>();
        ASSERT_TRUE(App->Started()) << App->Failure();
        Tabs = App->Window("PageControlQUORINQ1");
        if (!WaitUntil([&] { return SendMessageW(Tabs, kIsSkinned, 0, 0) == 1; }, 5000))
            GTEST_SKIP() << "the program does not skin its controls";
        ASSERT_TRUE(WaitMainWindowSkinned(App->MainWindow()));
        SetForegroundWindow(App->MainWindow());
        Sleep(500);
    }
    void ExpectFrames() {
        const int current = App->TabIndex("PageControlQUORINQ1");
        const int count = int(SendMessageW(Tabs, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const POINT p = TabProbe(*App, Tabs, i);
            const long c = ScreenPixel(p.x, p.y);
            if (i == current)
                EXPECT_TRUE(White(c)) << "current tab " << i << " shows " << std::hex << c;
            else
                EXPECT_TRUE(SkinGrey(c)) << "tab " << i << " shows " << std::hex << c;
        }
    }
    std::unique_ptr<RunningApp> App;
    HWND Tabs = nullptr;
};

TEST_F(SkinnedPages, TabsFromTheSkinTurnByClickAndArrowKeys) {
    ExpectFrames();
    const int count = int(SendMessageW(Tabs, TCM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(count, 2);
    const int target = count - 1;
    const RECT r = RemoteRect(*App, Tabs, TCM_GETITEMRECT, target);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(Tabs, &centre);
    MouseClick(centre.x, centre.y);
    ASSERT_TRUE(WaitUntil([&] { return App->TabIndex("PageControlQUORINQ1") == target; }, 3000));
    Sleep(200);
    ExpectFrames();
    Keys("Left");
    EXPECT_TRUE(WaitUntil([&] { return App->TabIndex("PageControlQUORINQ1") == target - 1; }, 3000));
    Sleep(200);
    ExpectFrames();
    SaveWindowPng(App->MainWindow(), std::string(QUORIN_BINARY_DIR) + "/screenshots/gui-skinned-pages.png");
}

TEST_F(SkinnedPages, FilterListHeaderHotSectionFollowsTheMouse) {
    App->SelectTab("PageControlQUORINQ1", 4);
    Sleep(300);
    // The list (and its header) takes the mouse only with filtering switched on.
    ASSERT_TRUE(App->Click("CheckBoxVandrelFilterEnable"));
    HWND list = App->Window("ListViewVandrelFrameID");
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(list) != FALSE; }, 2000));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    ASSERT_EQ(1, SendMessageW(header, kIsSkinned, 0, 0));
    auto probe = [&](int i) {
        const RECT r = RemoteRect(*App, header, HDM_GETITEMRECT, i);
        POINT p{r.left + 3, (r.top + r.bottom) / 2 + 1};
        ClientToScreen(header, &p);
        return p;
    };
    auto centre = [&](int i) {
        const RECT r = RemoteRect(*App, header, HDM_GETITEMRECT, i);
        POINT p{(r.left + r.right) / 2, r.top + 4};
        ClientToScreen(header, &p);
        return p;
    };
    MouseMove(5, 5);
    Sleep(300);
    const long idle0 = ScreenPixel(probe(0).x, probe(0).y), idle1 = ScreenPixel(probe(1).x, probe(1).y);
    EXPECT_EQ(idle0, idle1);
    MouseMove(centre(1).x, centre(1).y);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(probe(1).x, probe(1).y) != idle1; }, 2000)) << "section 1 hot";
    EXPECT_EQ(idle0, ScreenPixel(probe(0).x, probe(0).y));
    MouseMove(centre(0).x, centre(0).y);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(probe(0).x, probe(0).y) != idle0; }, 2000)) << "section 0 hot";
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(probe(1).x, probe(1).y) == idle1; }, 2000)) << "section 1 cold";
    MouseMove(5, 5);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(probe(0).x, probe(0).y) == idle0; }, 2000)) << "left: all cold";
}

}  // namespace
}  // namespace quorin::gui
