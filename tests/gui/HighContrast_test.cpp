// High contrast on the real CANConfig.exe: the mode switched on and off while the program
// runs, each time followed by the system's real WM_SETTINGCHANGE. Wine has no high-contrast
// mode, so the program's one question about it is answered by the file that
// QUORIN_HIGH_CONTRAST_FILE names. While the mode is on, the window has no skin and shows
// the system's colours (Wine keeps each process's system colours to itself, so the scheme
// is not changed from here: the colours in force are checked); when it goes off, the
// remembered skin comes back; the remembered value never changes.
#include <windows.h>

#include <uxtheme.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

#include "support/GuiHarness.h"
#include "support/RealInput.h"

namespace quorin::gui {
namespace {


bool Skinned(HWND w) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(w, 0x3523, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer == 1;
}

// A system colour as a program with the visual style in force sees it (Wine's default
// style brings colours of its own; this console program does not load it by itself).
COLORREF SystemColor(int element) {
    COLORREF color = GetSysColor(element);
    if (HTHEME theme = OpenThemeData(nullptr, L"WINDOW")) {
        color = GetThemeSysColor(theme, element);
        CloseThemeData(theme);
    }
    return color;
}

// The system tells every top-level window that its high-contrast setting changed.
void AnnounceChange() {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 3000, &answer);
}

void SetStandIn(const std::string& path, bool on) {
    FILE* f = _wfopen(HostPath(path).c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    std::fputc(on ? '1' : '0', f);
    std::fclose(f);
}

// A point of the client area of the main window, on the screen.
POINT At(HWND main, int x, int y) {
    POINT p{x, y};
    ClientToScreen(main, &p);
    return p;
}

// Waits until the window has kept its frame for a while, skinned or not as asked.
bool Settled(HWND main, bool skinned) {
    RECT last{};
    int steady = 0;
    return WaitUntil(
        [&] {
            if (Skinned(main) != skinned) return false;
            RECT r{};
            GetWindowRect(main, &r);
            steady = EqualRect(&r, &last) ? steady + 1 : 0;
            last = r;
            return steady >= 5;
        },
        10000, 50);
}

TEST(HighContrast, TakesTheSkinOffWhileOnAndBringsItBackUnchangedInTheRegistry) {
    const TRememberedSkin remembered;
    SetRememberedSkin(L"default");
    const std::string standIn = std::string(QUORIN_BINARY_DIR) + "/high-contrast-stand-in";
    SetStandIn(standIn, false);
    const std::string shots = std::string(QUORIN_BINARY_DIR) + "/screenshots/high-contrast-";
    {
        LaunchOptions options;
        options.env.push_back({L"QUORIN_HIGH_CONTRAST_FILE", HostPath(standIn)});
        RunningApp app(options);
        ASSERT_TRUE(app.Started()) << app.Failure();
        HWND main = app.MainWindow();
        ASSERT_TRUE(Settled(main, true));
        SaveWindowPng(main, shots + "off.png");
        // The skin paints the port group in its own colour, which is not the system's.
        const POINT face = At(main, 250, 25);
        const long skinnedFace = ScreenPixel(face.x, face.y);
        EXPECT_NE(skinnedFace, long(SystemColor(COLOR_BTNFACE)));

        // On: the skin goes from the window, its pixels are the system's colours.
        SetStandIn(standIn, true);
        AnnounceChange();
        ASSERT_TRUE(Settled(main, false)) << "the skin stayed";
        EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"default"));
        const RECT edit = app.ClientRectIn("EditUARTFrameInterVal", main);
        struct TSpot {
            const char* Where;
            POINT Point;
            COLORREF Expected;
        };
        const TSpot spots[] = {
            {"the port group's face", At(main, 250, 25), SystemColor(COLOR_BTNFACE)},
            {"the edit's field", At(main, edit.right - 4, edit.bottom - 4), SystemColor(COLOR_WINDOW)},
        };
        for (const TSpot& spot : spots)
            EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(spot.Point.x, spot.Point.y) == long(spot.Expected); }, 3000))
                << spot.Where << " is " << std::hex << ScreenPixel(spot.Point.x, spot.Point.y) << ", not "
                << spot.Expected;
        // The menu row is the system's: the bar between the window's frame and its client
        // area in the menu colour, right of the last menu.
        RECT window{};
        GetWindowRect(main, &window);
        const POINT client = At(main, 0, 0);
        const POINT bar{window.right - 40, client.y - GetSystemMetrics(SM_CYMENU) / 2};
        const long menu = ScreenPixel(bar.x, bar.y);
        EXPECT_TRUE(menu == long(SystemColor(COLOR_MENU)) || menu == long(SystemColor(COLOR_MENUBAR)))
            << std::hex << menu;
        SaveWindowPng(main, shots + "on.png");

        // Off again: the remembered skin is back, the value as it was.
        SetStandIn(standIn, false);
        AnnounceChange();
        EXPECT_TRUE(Settled(main, true)) << "the skin did not come back";
        EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(face.x, face.y) == skinnedFace; }, 3000));
        EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"default"));
        SaveWindowPng(main, shots + "back.png");
        app.CloseBox();
        EXPECT_TRUE(app.WaitExit());
    }
    DeleteFileW(HostPath(standIn).c_str());
}

}  // namespace
}  // namespace quorin::gui
