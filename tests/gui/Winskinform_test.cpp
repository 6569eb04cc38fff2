// The skinned frame of the real CANConfig.exe, seen and used from another process: the
// window answers that it is skinned, keeps the client size of its layout inside the skin's
// borders, shows the skin's title strip instead of a native caption, moves when its title
// is dragged with the mouse (real input through the system's queue) and closes from the
// skinned close box. Skipped while the program does not skin its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/GuiHarness.h"

namespace quorin::gui {
namespace {

constexpr UINT kIsSkinned = 0x3523;

void MouseTo(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = LONG(p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = LONG(p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    Sleep(80);
}

void Button(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
    Sleep(100);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST(SkinnedFrame, RealProgramShowsMovesAndClosesItsSkinnedFrame) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    const HWND w = app.MainWindow();
    const bool skinned = WaitUntil([&] { return SendMessageW(w, kIsSkinned, 0, 0) == 1; }, 4000);
    if (!skinned) GTEST_SKIP() << "the program does not skin its windows yet";
    EXPECT_TRUE(WaitMainWindowSkinned(w)) << "the skinned frame did not follow";
    Sleep(300);

    // The layout's client area, inside 4-pixel sides and bottom, the 30-pixel title strip
    // and the menu row.
    RECT client{}, window{};
    GetClientRect(w, &client);
    GetWindowRect(w, &window);
    EXPECT_EQ(client.right, 694);
    EXPECT_EQ(client.bottom, 419);
    const int W = window.right - window.left, H = window.bottom - window.top;
    EXPECT_EQ(W, 694 + 8);
    EXPECT_EQ(H, 419 + 30 + GetSystemMetrics(SM_CYMENU) + 4);
    // The title strip is the skin's dark blue, not a native caption.
    SetForegroundWindow(w);
    Sleep(300);
    const COLORREF title = ScreenPixel(window.left + W / 2, window.top + 15);
    EXPECT_GT(GetBValue(title), 100);
    EXPECT_LT(GetRValue(title), 100);
    EXPECT_EQ(ScreenPixel(window.left + W / 3, window.top + 15), title) << "one strip across the title";
    EXPECT_TRUE(SaveWindowPng(w, std::string(QUORIN_BINARY_DIR) + "/screenshots/SkinnedFrame-main.png"));

    // Dragging the title moves the window.
    const POINT grab{window.left + W / 2, window.top + 12};
    MouseTo(grab);
    Button(MOUSEEVENTF_LEFTDOWN);
    MouseTo(POINT{grab.x - 20, grab.y + 15});
    MouseTo(POINT{grab.x - 40, grab.y + 30});
    Button(MOUSEEVENTF_LEFTUP);
    RECT moved{};
    EXPECT_TRUE(WaitUntil(
        [&] {
            GetWindowRect(w, &moved);
            return moved.left == window.left - 40 && moved.top == window.top + 30;
        },
        3000))
        << "window at " << moved.left << "," << moved.top << " was " << window.left << "," << window.top;

    // The About box is skinned too.
    app.ChooseMenu({-1, 0});  // About > About QUORIN
    HWND about = app.WaitWindow("AboutBox");
    ASSERT_TRUE(about);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(about, kIsSkinned, 0, 0) == 1; }, 3000));
    Sleep(300);
    EXPECT_TRUE(SaveWindowPng(about, std::string(QUORIN_BINARY_DIR) + "/screenshots/SkinnedFrame-about.png"));
    PostMessageW(about, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindowVisible(about); }, 3000);

    // A message box of the program (a #32770 dialog of the system) gets the skinned frame
    // too, wide enough for its caption.
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    if (!app.Checked("CheckBoxVandrelFilterEnable")) {
        ASSERT_TRUE(app.Click("CheckBoxVandrelFilterEnable"));
    }
    ASSERT_TRUE(app.SetText("EditVandrelStartID", "0x1G"));
    ASSERT_TRUE(app.ClickAsync("ButtonVandrelFilterIDAdd"));
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(box->window, kIsSkinned, 0, 0) == 1; }, 3000));
    Sleep(300);
    RECT boxRect{};
    GetWindowRect(box->window, &boxRect);
    const COLORREF boxTitle = ScreenPixel(boxRect.left + (boxRect.right - boxRect.left) / 2, boxRect.top + 15);
    EXPECT_GT(GetBValue(boxTitle), 100) << "the box shows the skin's title strip";
    EXPECT_TRUE(
        SaveWindowPng(box->window, std::string(QUORIN_BINARY_DIR) + "/screenshots/SkinnedFrame-messagebox.png"));
    app.PressButton(*box, IDOK);

    // The skinned close box ends the program.
    GetWindowRect(w, &window);
    SetForegroundWindow(w);
    Sleep(200);
    MouseTo(POINT{window.right - 34 + 9, window.top + 5 + 9});
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(app.WaitExit(), 0u);
}

}  // namespace
}  // namespace quorin::gui
