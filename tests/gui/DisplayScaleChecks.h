// The real program at a display scale: the system's DPI (LogPixels) set before the program
// starts, with a skin and a language remembered. Shared by the DisplayScale tests, one
// program per group of scales so that the scales run side by side in the test lanes.
//
// At each scale: the client size and the controls' rectangles are the stored ones times
// the scale (within a pixel); the frame's sides and title strip are the skin's pictures at
// that scale, pixel for pixel; the menu row opens by F10 and by a click; the About box and
// a warning box come at the scale; a real click on the scaled close button closes the
// program. Screenshots go to build/screenshots/DisplayScale-DPI-SKIN-LANGUAGE.png.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "forms/Dpi.h"
#include "forms/Streams.h"
#include "skin/resources/Bmpfile.h"
#include "skin/resources/Skinread.h"
#include "skin/resources/Winskindata.h"
#include "support/GuiHarness.h"
#include "support/RealInput.h"

namespace quorin::gui {

// A registry value of the current user, set for the test and put back as it was.

struct TScaleRun {
    int Dpi;
    const char* Skin;      // the remembered value: "default" or "slate.skn"
    const char* SkinFile;  // its packed skin in the build
    const char* Language;  // "zh-CN" or "en"
    // The close button at 96 DPI: from the window's right edge and top, and its size.
    int CloseX, CloseY, CloseW, CloseH;
};

inline std::string BuildPath(const std::string& path) { return std::string(QUORIN_BINARY_DIR) + "/" + path; }

inline std::vector<uint8_t> ReadBuildFile(const std::string& path) {
    std::ifstream in(Narrow(HostPath(BuildPath(path))), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline bool Skinned(HWND w) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(w, 0x3523, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer == 1;
}

inline int FrameWidth(HWND w) {
    RECT window{}, client{};
    GetWindowRect(w, &window);
    GetClientRect(w, &client);
    return (window.right - window.left) - client.right;
}

// Pixels of the active frame on the screen that differ from the skin's pictures at the
// scale (transparent ones are cut away by the region and left out).
inline std::vector<std::string> FrameDifferences(HWND w, const TSkinData& skin) {
    std::vector<std::string> out;
    RECT r{};
    GetWindowRect(w, &r);
    const int W = r.right - r.left;
    const TBitmap& left = skin.Left()->Map;
    const TBitmap& right = skin.Right()->Map;
    const TBitmap& top = skin.Top()->Map;
    const int side = left.Width() / FrameCount(skin.Left()), title = top.Height() / FrameCount(skin.Top());
    auto compare = [&](const char* part, int x, int y, TColor expected) {
        if (expected == KeyColor) return;
        const long got = ScreenPixel(r.left + x, r.top + y);
        if (got != long(expected & 0xFFFFFF) && out.size() < 8)
            out.push_back(std::string(part) + " at " + std::to_string(x) + "," + std::to_string(y));
    };
    for (int y = 0; y < title; ++y) {
        for (int x = 0; x < side; ++x) {
            compare("left", x, y, left.Pixel(x, y));
            compare("right", W - side + x, y, right.Pixel(x, y));
        }
        for (int x = 0; x < skin.Top()->Margins.Left && x < 4 * side; ++x) compare("top", side + x, y, top.Pixel(x, y));
    }
    return out;
}

// A picture as the skin file carries it (a set's picture for a scale: NAME@PERCENT.bmp).
inline TBitmap PackedPicture(const std::vector<uint8_t>& packed, const std::string& name) {
    TSkinReader reader;
    TBitmap picture;
    TMemoryStream body;
    if (reader.Loadfromstream(packed.data(), packed.size())) reader.readfile(name, body);
    if (body.Size() == 0 || !ReadBmp(body.Bytes().data(), body.Bytes().size(), picture)) return TBitmap();
    picture.SetPixelFormat(pf24bit);
    return picture;
}

inline bool SamePixels(const TBitmap& a, const TBitmap& b) {
    if (a.Empty() || a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

// The test reads the program's windows in the screen's pixels: without per-monitor
// awareness the system would hand it rectangles mapped to its own DPI.
inline void AwareOfEveryDpi() {
    using TSet = BOOL(WINAPI*)(HANDLE);
    static const auto set = reinterpret_cast<TSet>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    if (set) set(reinterpret_cast<HANDLE>(intptr_t(-4)));
}

inline void RunAtScale(const TScaleRun& run) {
    AwareOfEveryDpi();
    SCOPED_TRACE(std::to_string(run.Dpi) + " DPI, " + run.Skin + ", " + run.Language);
    TUserValue logPixels(L"Control Panel\\Desktop", L"LogPixels");
    TUserValue skinValue(L"Software\\QUORIN\\CANConfig", L"Skin");
    TUserValue language(L"Software\\QUORIN\\CANConfig", L"Language");
    logPixels.SetDword(DWORD(run.Dpi));
    skinValue.SetText(Widen(run.Skin));
    language.SetText(Widen(run.Language));

    // The skin's pictures at this scale, as the program should draw them.
    const std::vector<uint8_t> packed = ReadBuildFile(run.SkinFile);
    ASSERT_FALSE(packed.empty()) << run.SkinFile;
    TSkinData source(nullptr);
    source.SkinFormtype = sfDialog;  // pictures only: nothing is applied in this process
    TMemoryStream stream(packed);
    source.LoadFromStream(stream);
    ASSERT_FALSE(source.Loading());
    const TSkinData& skin = *source.ForDpi(run.Dpi);
    const TDpiScale s{run.Dpi, 96};
    const int side = skin.Left()->Map.Width() / FrameCount(skin.Left());
    ASSERT_EQ(side, s.Scale(source.Left()->Map.Width() / FrameCount(source.Left())));
    // Where the skin carries pictures drawn for this scale, the frame is those pictures as
    // drawn (the screen is compared with them below), not the 100 % ones enlarged.
    const auto& sets = source.PictureSets();
    if (std::find(sets.begin(), sets.end(), s.Percent()) != sets.end()) {
        const std::string at = "@" + std::to_string(s.Percent()) + ".bmp";
        EXPECT_TRUE(SamePixels(skin.Left()->Map, PackedPicture(packed, "frameleft" + at))) << "left side";
        EXPECT_TRUE(SamePixels(skin.Right()->Map, PackedPicture(packed, "frameright" + at))) << "right side";
        EXPECT_TRUE(SamePixels(skin.Top()->Map, PackedPicture(packed, "frametop" + at))) << "title strip";
    }

    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    const HWND main = app.MainWindow();
    ASSERT_TRUE(WaitUntil([&] { return Skinned(main) && FrameWidth(main) == 2 * side; }, 20000))
        << "the skin's frame at the scale did not come: frame " << FrameWidth(main) << ", sides " << side;

    RECT client{};
    GetClientRect(main, &client);
    EXPECT_NEAR(client.right, s.Scale(694), 1);
    EXPECT_NEAR(client.bottom, s.Scale(419), 1);
    // Controls: their stored place and size (in the group box's, then the window's client
    // area) at the scale.
    struct {
        const char* Name;
        int Left, Top, Width, Height;
    } controls[] = {{"GroupBox2", 8, 0, 681, 49},
                    {"ButtonOpenRS232", 8 + 344, 16, 105, 25},
                    {"ButtonWriteParameter", 8 + 552, 16, 105, 25},
                    {"GroupBox3", 8, 56, 681, 345}};
    for (const auto& c : controls) {
        SCOPED_TRACE(c.Name);
        const RECT r = app.ClientRectIn(c.Name, main);
        EXPECT_NEAR(r.left, s.Scale(c.Left), 2);
        EXPECT_NEAR(r.top, s.Scale(c.Top), 2);
        EXPECT_NEAR(r.right - r.left, s.Scale(c.Width), 1);
        EXPECT_NEAR(r.bottom - r.top, s.Scale(c.Height), 1);
    }

    // The frame is the skin's pictures at the scale.
    POINT at{s.Scale(250), s.Scale(25)};
    ClientToScreen(main, &at);
    MouseClick(at.x, at.y);
    std::vector<std::string> diff;
    EXPECT_TRUE(WaitUntil([&] { return (diff = FrameDifferences(main, skin)).empty(); }, 5000))
        << "frame pixels differ from the pictures at the scale: " << ::testing::PrintToString(diff);
    EXPECT_TRUE(SaveWindowPng(main, BuildPath("screenshots/DisplayScale-" + std::to_string(run.Dpi) + "-" + run.Skin +
                                              "-" + run.Language + ".png")));

    // The menu row: F10, then a click on its first item.
    Keys("F10");
    EXPECT_TRUE(WaitUntil([&] { return !PopupMenus(app.ProcessId()).empty(); }, 3000)) << "F10 opened no menu";
    Sleep(200);
    EXPECT_TRUE(SaveWindowPng(main, BuildPath("screenshots/DisplayScale-" + std::to_string(run.Dpi) + "-" + run.Skin +
                                              "-" + run.Language + "-menu.png")));
    Keys("Escape");
    Keys("Escape");
    WaitUntil([&] { return PopupMenus(app.ProcessId()).empty(); }, 3000);
    RECT window{};
    GetWindowRect(main, &window);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    const int title = skin.Top()->Map.Height() / FrameCount(skin.Top());
    const int rowMiddle = (window.top + title + origin.y) / 2;
    MouseClick(origin.x + s.Scale(12), rowMiddle);
    EXPECT_TRUE(WaitUntil([&] { return !PopupMenus(app.ProcessId()).empty(); }, 3000)) << "a click opened no menu";
    Keys("Escape");
    Keys("Escape");
    WaitUntil([&] { return PopupMenus(app.ProcessId()).empty(); }, 3000);

    // The About box at the scale, skinned at the scale.
    app.ChooseMenu({-1, 0});
    const HWND about = app.WaitWindow("AboutBox", 5000);
    EXPECT_TRUE(about) << "the About box did not open";
    if (about) {
        EXPECT_TRUE(WaitUntil([&] { return Skinned(about) && FrameWidth(about) == 2 * side; }, 5000));
        RECT c{};
        GetClientRect(about, &c);
        EXPECT_NEAR(c.right, s.Scale(344), 1);
        EXPECT_NEAR(c.bottom, s.Scale(145), 1);
        EXPECT_NEAR(app.ClientRectIn("OKButton", about).right - app.ClientRectIn("OKButton", about).left, s.Scale(75),
                    1);
        SaveWindowPng(about, BuildPath("screenshots/DisplayScale-" + std::to_string(run.Dpi) + "-" + run.Skin + "-" +
                                       run.Language + "-about.png"));
        app.PressKey(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
    }

    // A warning box: the filter editor refuses a range whose start lies above its end.
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    if (!app.Checked("CheckBoxVandrelFilterEnable")) app.Click("CheckBoxVandrelFilterEnable");
    app.SetText("EditVandrelStartID", "7FF");
    app.SetText("EditVandrelEndID", "100");
    if (app.ClickAsync("ButtonVandrelFilterIDAdd")) {
        const auto box = app.WaitMessageBox();
        EXPECT_TRUE(box) << "no warning box";
        if (box) {
            EXPECT_TRUE(WaitUntil([&] { return Skinned(box->window) && FrameWidth(box->window) == 2 * side; }, 5000))
                << "the warning box's frame is not at the scale";
            SaveWindowPng(box->window, BuildPath("screenshots/DisplayScale-" + std::to_string(run.Dpi) + "-" +
                                                 run.Skin + "-" + run.Language + "-warning.png"));
            app.PressButton(*box, IDOK);
            WaitUntil([&] { return !app.CurrentMessageBox() && IsWindowEnabled(main); });
        }
    }

    // A real click on the close button at its scaled place closes the program.
    GetWindowRect(main, &window);
    WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, 3000);
    MouseClick(window.right - s.Scale(run.CloseX) + s.Scale(run.CloseW) / 2,
               window.top + s.Scale(run.CloseY) + s.Scale(run.CloseH) / 2);
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0)) << "the close button did not close the program";
}

inline TScaleRun BuiltIn(int Dpi, const char* Language) {
    return {Dpi, "default", "skin/default/default.skn", Language, 34, 5, 28, 20};
}
inline TScaleRun Slate(int Dpi, const char* Language) {
    return {Dpi, "slate.skn", "skins/slate.skn", Language, 37, 6, 26, 22};
}

}  // namespace quorin::gui
