// Skins at run time on the real CANConfig.exe, with real input (xdotool):
//   - each skin the program has (the built-in one, and slate from skins\ beside the exe)
//     draws the frame's four sides from its own pictures around the layout's client
//     size, shapes the window after the transparent corners of its pictures, opens the
//     menu row by F10 and closes by a real click on its own close button;
//   - Window > Skin switches the main window and the open About box at once, keeps every
//     client area and the window's place, goes to no skin and back, and is remembered;
//   - every kind of unusable skin file, chosen through Load skin file..., is refused with
//     the file's name and the reason, and the skin in force and the remembered value stay.
// The remembered value is the test's to set: it is put back as it was at the end.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <psapi.h>

#include "support/GuiHarness.h"
#include "support/RealInput.h"
#include "tests/common/BrokenSkins.h"

namespace quorin::gui {
namespace {

constexpr UINT kIsSkinned = 0x3523;
constexpr int kClientWidth = 694, kClientHeight = 419;

std::string Build(const std::string& path) { return std::string(QUORIN_BINARY_DIR) + "/" + path; }

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(Narrow(HostPath(path)), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What a skin's pictures and description say about its frame.
struct TSkinFrame {
    const char* Value;  // the remembered value that names it
    const char* File;   // its packed skin in the build
    int Side, Title, Bottom;
    int CloseX, CloseY, CloseW, CloseH;  // the close button: Xcoord from the right edge
    TBitmap Left, Right, Top, BottomMap;
};

TBitmap Picture(const TSkinReader& reader, const char* name) {
    TMemoryStream body;
    reader.readfile(name, body);
    TBitmap map;
    ReadBmp(body.Bytes().data(), body.Bytes().size(), map);
    return map;
}

TSkinFrame LoadFrame(const char* value, const char* file, int closeX, int closeY, int closeW, int closeH) {
    TSkinFrame f{value, file, 0, 0, 0, closeX, closeY, closeW, closeH, {}, {}, {}, {}};
    const std::vector<uint8_t> packed = ReadAll(Build(file));
    TSkinReader reader;
    if (!reader.Loadfromstream(packed.data(), packed.size())) return f;
    f.Left = Picture(reader, "frameleft.bmp");
    f.Right = Picture(reader, "frameright.bmp");
    f.Top = Picture(reader, "frametop.bmp");
    f.BottomMap = Picture(reader, "framebottom.bmp");
    // Two frames each: the sides side by side, the strips stacked.
    f.Side = f.Left.Width() / 2;
    f.Title = f.Top.Height() / 2;
    f.Bottom = f.BottomMap.Height() / 2;
    return f;
}

bool FrameIs(HWND w, const TSkinFrame& f) {
    RECT window{}, client{};
    GetWindowRect(w, &window);
    GetClientRect(w, &client);
    return (window.right - window.left) - client.right == 2 * f.Side &&
           (window.bottom - window.top) - client.bottom == f.Title + GetSystemMetrics(SM_CYMENU) + f.Bottom;
}

bool Skinned(HWND w) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(w, kIsSkinned, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer) && answer == 1;
}

long Rgb(TColor c) { return long(c & 0xFFFFFF); }

// Pixels of the active frame on the screen that differ from the skin's pictures (the
// transparent ones are left out: the region cuts them away).
std::vector<std::string> FrameDifferences(HWND w, const TSkinFrame& f) {
    std::vector<std::string> out;
    RECT r{};
    GetWindowRect(w, &r);
    const int W = r.right - r.left, H = r.bottom - r.top;
    auto compare = [&](const char* part, int x, int y, TColor expected) {
        if (expected == KeyColor) return;
        const long got = ScreenPixel(r.left + x, r.top + y);
        if (got != Rgb(expected) && out.size() < 8)
            out.push_back(std::string(part) + " at " + std::to_string(x) + "," + std::to_string(y));
    };
    for (int y = 0; y < f.Title; ++y)
        for (int x = 0; x < f.Side; ++x) {
            compare("left", x, y, f.Left.Pixel(x, y));
            compare("right", W - f.Side + x, y, f.Right.Pixel(x, y));
        }
    // The title strip left of the window icon, and the start of the bottom.
    for (int y = 0; y < f.Title; ++y)
        for (int x = 0; x < 4; ++x) compare("top", f.Side + x, y, f.Top.Pixel(x, y));
    for (int y = 0; y < f.Bottom; ++y)
        for (int x = 0; x < 3; ++x) compare("bottom", f.Side + x, H - f.Bottom + y, f.BottomMap.Pixel(x, y));
    return out;
}

// Region points that disagree with the transparency of the corner pictures.
std::vector<std::string> RegionDifferences(HWND w, const TSkinFrame& f) {
    std::vector<std::string> out;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(w, rgn) == ERROR) {
        out.push_back("no region");
        DeleteObject(rgn);
        return out;
    }
    RECT r{};
    GetWindowRect(w, &r);
    const int W = r.right - r.left;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < f.Side; ++x) {
            if ((PtInRegion(rgn, x, y) != 0) != (f.Left.Pixel(x, y) != KeyColor))
                out.push_back("left " + std::to_string(x) + "," + std::to_string(y));
            if ((PtInRegion(rgn, W - f.Side + x, y) != 0) != (f.Right.Pixel(x, y) != KeyColor))
                out.push_back("right " + std::to_string(x) + "," + std::to_string(y));
        }
    DeleteObject(rgn);
    return out;
}

// The main window is in front and its thread free for the keyboard: back in its message
// loop (it answers a sent message; a skin just put in force may still be finishing its
// windows), no mouse capture, no move loop, no menu open.
bool ReadyForKeys(HWND main) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer)) return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetForegroundWindow() == main && GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) &&
           !info.hwndCapture && !(info.flags & (GUI_INMOVESIZE | GUI_INMENUMODE | GUI_POPUPMENUMODE));
}

// A click brings the main window to the front with the X focus. It goes to an empty spot
// of the port group, not to the caption, where a press starts a move loop that holds the
// capture and could still be running when the first key comes.
void FocusMain(HWND main) {
    POINT p{250, 25};
    ClientToScreen(main, &p);
    MouseClick(p.x, p.y);
    WaitUntil([&] { return ReadyForKeys(main); }, 3000);
}

// Window > Skin by the keyboard: F10 opens File (the skinned row opens its drop-down at
// once; the native bar only selects File, and Down opens it), Right goes to Window (its
// first item selected), Down to Skin, Right into the submenu, then `downs` times Down
// (Up, from the first item, wraps to the last: Load skin file...) and Return.
// Returns when the Return key went in.
std::chrono::steady_clock::time_point ChooseSkinItem(const RunningApp& app, int downs, bool skinnedRow = true) {
    const DWORD pid = app.ProcessId();
    auto firstLeft = [&]() -> LONG {
        const std::vector<HWND> menus = PopupMenus(pid);
        RECT r{};  // a drop-down closing meanwhile has no rectangle: none open yet
        return !menus.empty() && GetWindowRect(menus.back(), &r) ? r.left : -1;
    };
    WaitUntil([&] { return ReadyForKeys(app.MainWindow()); }, 3000);
    // F10 goes to the window that has the keyboard focus, which a modal box beside the
    // main window may keep; the menu bar is asked for the keyboard as F10 asks it, and
    // the walk through the menus is real keys again.
    PostMessageW(app.MainWindow(), WM_SYSCOMMAND, SC_KEYMENU, 0);
    LONG file = -1;
    if (skinnedRow) WaitUntil([&] { return (file = firstLeft()) >= 0; }, 3000);
    Keys("Right");
    if (!skinnedRow) Keys("Down");
    WaitUntil(
        [&] {
            const LONG l = firstLeft();
            return l >= 0 && l != file;
        },
        3000);
    Keys("Down");
    Keys("Right");
    WaitUntil([&] { return PopupMenus(pid).size() >= 2; }, 3000);
    for (int i = 0; i < downs; ++i) Keys("Down");
    if (downs < 0) Keys("Up");
    Keys("Return");
    const auto chosen = std::chrono::steady_clock::now();
    WaitUntil([&] { return PopupMenus(pid).empty(); }, 3000);
    return chosen;
}

// The file name box of the system's open dialog: its first visible edit.
HWND FindNameEdit(HWND dialog) {
    HWND found = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND w, LPARAM p) -> BOOL {
            if (ClassOf(w) == "Edit" && IsWindowVisible(w)) {
                *reinterpret_cast<HWND*>(p) = w;
                return FALSE;
            }
            return TRUE;
        },
        LPARAM(&found));
    return found;
}

// The Skin submenu: Built-in skin, slate, No skin, -, Load skin file...
constexpr int kBuiltIn = 0, kSlate = 1, kNoSkin = 2, kLoadFile = -1;

TEST(Skins, EachSkinDrawsItsFrameRegionAndButtonsOnTheRealProgram) {
    TRememberedSkin keep;
    const TSkinFrame skins[] = {LoadFrame("default", "skin/default/default.skn", 34, 5, 28, 20),
                                LoadFrame("slate.skn", "skins/slate.skn", 37, 6, 26, 22)};
    for (const TSkinFrame& f : skins) {
        SCOPED_TRACE(f.Value);
        ASSERT_GT(f.Side, 0) << "the skin's pictures were not read from " << f.File;
        SetRememberedSkin(Widen(f.Value));
        RunningApp app;
        ASSERT_TRUE(app.Started()) << app.Failure();
        const HWND main = app.MainWindow();
        ASSERT_TRUE(WaitUntil([&] { return Skinned(main) && FrameIs(main, f); }, 15000))
            << "the skin's frame did not come";
        RECT client{};
        GetClientRect(main, &client);
        EXPECT_EQ(client.right, kClientWidth);
        EXPECT_EQ(client.bottom, kClientHeight);
        FocusMain(main);
        Sleep(300);
        EXPECT_TRUE(SaveWindowPng(main, Build("screenshots/Skins-" + std::string(f.Value) + ".png")));
        std::vector<std::string> diff;
        EXPECT_TRUE(WaitUntil([&] { return (diff = FrameDifferences(main, f)).empty(); }, 3000))
            << "frame pixels differ from the pictures: " << ::testing::PrintToString(diff);
        EXPECT_EQ(RegionDifferences(main, f), std::vector<std::string>());

        // Every page, for the eye.
        for (int page = 0; page < 5; ++page) {
            ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", page));
            Sleep(300);
            SaveWindowPng(main,
                          Build("screenshots/Skins-" + std::string(f.Value) + "-page" + std::to_string(page) + ".png"));
        }
        ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 1));

        Keys("F10");
        EXPECT_TRUE(WaitUntil([&] { return !PopupMenus(app.ProcessId()).empty(); }, 3000)) << "F10 opened no menu";
        // The Skin submenu open, its first item selected.
        Keys("Right");
        Keys("Down");
        Keys("Right");
        WaitUntil([&] { return PopupMenus(app.ProcessId()).size() >= 2; }, 3000);
        Sleep(300);
        SaveWindowPng(main, Build("screenshots/Skins-" + std::string(f.Value) + "-menu.png"));
        Keys("Escape");
        Keys("Escape");
        Keys("Escape");
        WaitUntil([&] { return PopupMenus(app.ProcessId()).empty(); }, 3000);

        RECT r{};
        GetWindowRect(main, &r);
        MouseClick(r.right - f.CloseX + f.CloseW / 2, r.top + f.CloseY + f.CloseH / 2);
        EXPECT_EQ(app.WaitExit(), 0u) << "the close button did not close the program";
    }
}

TEST(Skins, SwitchingRestylesEveryOpenWindowAtOnceAndIsRemembered) {
    TRememberedSkin keep;
    SetRememberedSkin(std::nullopt);
    const TSkinFrame builtIn = LoadFrame("default", "skin/default/default.skn", 34, 5, 28, 20);
    const TSkinFrame slate = LoadFrame("slate.skn", "skins/slate.skn", 37, 6, 26, 22);
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    const HWND main = app.MainWindow();
    ASSERT_TRUE(WaitUntil([&] { return Skinned(main) && FrameIs(main, builtIn); }, 15000));

    // The About box, opened from its menu, is modal: the main window takes input beside
    // it again here, as a window of another part of the program would.
    FocusMain(main);
    Keys("F10");
    WaitUntil([&] { return !PopupMenus(app.ProcessId()).empty(); }, 3000);
    Keys("Right");
    Keys("Right");
    Keys("Right");
    Keys("Return");
    const HWND about = app.WaitWindow("AboutBox", 5000);
    ASSERT_TRUE(about) << "the About box did not open";
    EnableWindow(main, TRUE);
    auto aboutFrameWidth = [&] {
        RECT w{}, c{};
        GetWindowRect(about, &w);
        GetClientRect(about, &c);
        return (w.right - w.left) - c.right;
    };
    ASSERT_TRUE(WaitUntil([&] { return Skinned(about) && aboutFrameWidth() == 2 * builtIn.Side; }, 5000))
        << "the About box was not skinned";
    RECT aboutClient{};
    GetClientRect(about, &aboutClient);
    FocusMain(main);
    RECT before{};
    GetWindowRect(main, &before);

    auto sameClients = [&] {
        RECT c{}, a{};
        GetClientRect(main, &c);
        GetClientRect(about, &a);
        return c.right == kClientWidth && c.bottom == kClientHeight && a.right == aboutClient.right &&
               a.bottom == aboutClient.bottom;
    };
    auto samePlace = [&] {
        RECT now{};
        GetWindowRect(main, &now);
        return now.left == before.left && now.top == before.top;
    };

    // The window as the screen shows it, at points fixed on the screen (the frame changes
    // size, the old picture stays where it was): the middle of the title strip, the form's
    // face just inside the client area and a grid over the controls. Every look on the way
    // must be the old window or the new one, never a part drawn anew beside old ones or
    // not drawn yet.
    std::vector<POINT> points;
    {
        RECT w{}, c{};
        GetWindowRect(main, &w);
        GetClientRect(main, &c);
        points.push_back({(w.left + w.right) / 2, w.top + 2});
        std::vector<POINT> inside{{2, 2}};
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 5; ++col)
                inside.push_back({c.right * (2 * col + 1) / 10, c.bottom * (2 * row + 1) / 8});
        for (POINT p : inside) {
            ClientToScreen(main, &p);
            points.push_back(p);
        }
    }
    // All points of a look come from one copy of the screen, taken at one instant.
    RECT area{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (POINT p : points) {
        const RECT one{p.x, p.y, p.x + 1, p.y + 1};
        UnionRect(&area, &area, &one);
    }
    const int areaWidth = area.right - area.left;
    auto look = [&] {
        const std::vector<long> copy = ScreenPixels(area);
        std::vector<long> v;
        for (POINT p : points)
            if (!copy.empty()) v.push_back(copy[size_t((p.y - area.top) * areaWidth + (p.x - area.left))]);
        return v;
    };
    const std::vector<long> old = look();
    ChooseSkinItem(app, kSlate);
    std::vector<std::vector<long>> seen{old};
    auto record = [&] {
        std::vector<long> now = look();
        if (now != seen.back()) seen.push_back(std::move(now));
    };
    EXPECT_TRUE(WaitUntil(
        [&] {
            record();
            return FrameIs(main, slate) && aboutFrameWidth() == 2 * slate.Side;
        },
        5000, 2))
        << "slate did not reach both windows";
    ASSERT_TRUE(WaitUntil(
        [&] {
            record();
            return seen.back()[1] != old[1];
        },
        3000, 2))
        << "the client kept the old face";
    // The screen is watched a while longer: the rest of the window may come later.
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
         std::chrono::steady_clock::now() < end;)
        record();
    const std::vector<long> now = seen.back();
    std::string halfDrawn;
    for (const std::vector<long>& v : seen) {
        bool oldPart = false, newPart = false, other = false;
        for (size_t i = 0; i < v.size(); ++i) {
            if (v[i] == old[i] && v[i] == now[i]) continue;
            (v[i] == old[i] ? oldPart : v[i] == now[i] ? newPart : other) = true;
        }
        if (other || (oldPart && newPart)) halfDrawn += ::testing::PrintToString(v) + "\n";
    }
    EXPECT_EQ(halfDrawn, "") << "half-drawn looks between " << ::testing::PrintToString(old) << " and "
                             << ::testing::PrintToString(now);
    auto clients = [&] {
        RECT c{}, a{};
        GetClientRect(main, &c);
        GetClientRect(about, &a);
        return std::to_string(c.right) + "x" + std::to_string(c.bottom) + ", About " + std::to_string(a.right) + "x" +
               std::to_string(a.bottom) + " (was " + std::to_string(aboutClient.right) + "x" +
               std::to_string(aboutClient.bottom) + ")";
    };
    EXPECT_TRUE(WaitUntil(sameClients, 3000)) << "a client area changed size: " << clients();
    EXPECT_TRUE(samePlace()) << "the window moved";
    EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"slate.skn"));
    Sleep(300);
    SaveWindowPng(main, Build("screenshots/Skins-switched-main.png"));
    SaveWindowPng(about, Build("screenshots/Skins-switched-about.png"));

    FocusMain(main);
    ChooseSkinItem(app, kNoSkin);
    EXPECT_TRUE(WaitUntil([&] { return !Skinned(main) && !Skinned(about); }, 5000)) << "the windows stayed skinned";
    EXPECT_TRUE(WaitUntil(sameClients, 3000)) << "a client area changed size under the native frame: " << clients();
    EXPECT_TRUE(samePlace());
    EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"none"));
    Sleep(500);  // the native drawing of every control, for the picture only
    SaveWindowPng(main, Build("screenshots/Skins-none-main.png"));

    FocusMain(main);
    ChooseSkinItem(app, kBuiltIn, false);
    EXPECT_TRUE(WaitUntil([&] { return Skinned(main) && FrameIs(main, builtIn); }, 8000))
        << "the built-in skin did not return";
    EXPECT_TRUE(WaitUntil(sameClients, 3000)) << clients();
    EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"default"));

    // How long a switch takes, and what repeated switching costs, when asked for.
    if (const char* n = std::getenv("QUORIN_SKIN_SWITCHES")) {
        HANDLE process = app.Process();
        // Private bytes as the system counts them (Wine fills the page-file figure, which
        // is the same count, where it leaves the private one at 0).
        auto privateBytes = [&] {
            PROCESS_MEMORY_COUNTERS_EX m{};
            m.cb = sizeof m;
            GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m);
            return std::max<size_t>(m.PrivateUsage, m.PagefileUsage);
        };
        const size_t first = privateBytes();
        std::vector<double> ms;
        const int count = std::atoi(n);
        for (int i = 0; i < count; ++i) {
            const TSkinFrame& to = i % 2 == 0 ? slate : builtIn;
            FocusMain(main);
            const auto start = ChooseSkinItem(app, i % 2 == 0 ? kSlate : kBuiltIn);
            WaitUntil([&] { return FrameIs(main, to); }, 5000, 2);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf(
            "skin switches: %d, median %.0f ms (from the Return key to the new frame), private bytes %zu before, "
            "%zu after; GDI objects %lu\n",
            count, ms.empty() ? 0.0 : ms[ms.size() / 2], first, size_t(privateBytes()),
            GetGuiResources(process, GR_GDIOBJECTS));
    }
    PostMessageW(about, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindowVisible(about); }, 3000);
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), 0u);
}

// A skin file with the stored property's length in front passes the check and is loaded as
// it was checked: no box, the skin in force, the path remembered.
TEST(Skins, AFileWithItsLengthInFrontLoadsAsChecked) {
    TRememberedSkin keep;
    const TSkinFrame slate = LoadFrame("slate.skn", "skins/slate.skn", 37, 6, 26, 22);
    std::vector<uint8_t> framed = ReadAll(Build("skins/slate.skn"));
    ASSERT_FALSE(framed.empty());
    const uint32_t size = uint32_t(framed.size());
    framed.insert(framed.begin(), {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24)});
    CreateDirectoryW(HostPath(Build("framed-skins")).c_str(), nullptr);
    const std::wstring path = HostPath(Build("framed-skins/Framed.skn"));
    {
        std::ofstream out(Narrow(path), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(framed.data()), std::streamsize(framed.size()));
    }
    auto boxes = [](const RunningApp& app) {
        int n = 0;
        for (HWND w : app.TopLevelWindows()) n += ClassOf(w) == "#32770";
        return n;
    };
    SetRememberedSkin(path);
    {
        RunningApp app;
        ASSERT_TRUE(app.Started()) << app.Failure();
        const HWND main = app.MainWindow();
        EXPECT_TRUE(WaitUntil([&] { return Skinned(main) && FrameIs(main, slate); }, 15000))
            << ::testing::PrintToString(FrameDifferences(main, slate));
        EXPECT_EQ(boxes(app), 0);
        EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(path));
        app.CloseBox();
        EXPECT_EQ(app.WaitExit(), 0u);
    }
}

// A remembered name in other letters than the file's is that file: one item in the menu,
// and choosing it changes nothing.
TEST(Skins, SkinNamesIgnoreCase) {
    TRememberedSkin keep;
    const TSkinFrame slate = LoadFrame("slate.skn", "skins/slate.skn", 37, 6, 26, 22);
    SetRememberedSkin(L"SLATE.SKN");
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    const HWND main = app.MainWindow();
    ASSERT_TRUE(WaitUntil([&] { return Skinned(main) && FrameIs(main, slate); }, 15000));
    FocusMain(main);
    ChooseSkinItem(app, kSlate);
    EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"SLATE.SKN"));
    // Built-in skin, slate, No skin, -, Load skin file...: no second slate.
    FocusMain(main);
    ChooseSkinItem(app, kNoSkin);
    EXPECT_TRUE(WaitUntil([&] { return !Skinned(main); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return RememberedSkin() == std::optional<std::wstring>(L"none"); }, 5000))
        << Narrow(RememberedSkin().value_or(L"(none)"));
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), 0u);
}

TEST(Skins, EveryUnusableFileIsRefusedAndTheSkinInForceStays) {
    TRememberedSkin keep;
    const TSkinFrame slate = LoadFrame("slate.skn", "skins/slate.skn", 37, 6, 26, 22);
    const std::vector<uint8_t> good = ReadAll(Build("skins/slate.skn"));
    ASSERT_FALSE(good.empty());
    const std::string folder = Build("broken-skins");
    CreateDirectoryW(HostPath(folder).c_str(), nullptr);

    // A remembered file that is gone: the built-in skin, a word about it, the value kept.
    SetRememberedSkin(L"gone.skn");
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    auto box = app.WaitMessageBox(10000);
    ASSERT_TRUE(box) << "no word about the missing remembered skin";
    EXPECT_NE(box->text.find("gone.skn"), std::string::npos) << box->text;
    EXPECT_NE(box->text.find("does not exist"), std::string::npos) << box->text;
    app.PressButton(*box);
    const HWND main = app.MainWindow();
    EXPECT_TRUE(WaitUntil([&] { return Skinned(main); }, 8000));
    EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"gone.skn"));

    // Slate in force, then each broken file through Load skin file...
    FocusMain(main);
    ChooseSkinItem(app, kSlate);
    // The whole frame drawn from slate, caption buttons included: the change is over.
    ASSERT_TRUE(WaitUntil([&] { return FrameIs(main, slate) && FrameDifferences(main, slate).empty(); }, 5000))
        << ::testing::PrintToString(FrameDifferences(main, slate));
    for (const auto& broken : testing::MakeBrokenSkins(good)) {
        SCOPED_TRACE(broken.Name);
        const std::string path = folder + "/" + broken.Name + ".skn";
        {
            std::ofstream out(Narrow(HostPath(path)), std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(broken.Bytes.data()), std::streamsize(broken.Bytes.size()));
        }
        FocusMain(main);
        ChooseSkinItem(app, kLoadFile);
        const HWND dialog = app.WaitWindow("Load skin file", 8000);
        ASSERT_TRUE(dialog) << "no file dialog";
        // The file name goes into the dialog's name box; its Open button is clicked.
        const HWND nameBox = FindNameEdit(dialog);
        ASSERT_TRUE(nameBox) << "the dialog has no file name box";
        SendMessageW(nameBox, WM_SETTEXT, 0, LPARAM(HostPath(path).c_str()));
        RECT open{};
        GetWindowRect(GetDlgItem(dialog, IDOK), &open);
        MouseClick((open.left + open.right) / 2, (open.top + open.bottom) / 2);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 5000))
            << "the dialog stayed";
        auto refusal = app.WaitMessageBox(8000);
        ASSERT_TRUE(refusal) << "the file was not refused";
        EXPECT_NE(refusal->text.find(std::string(broken.Name) + ".skn"), std::string::npos) << refusal->text;
        EXPECT_NE(refusal->text.find(broken.Reason), std::string::npos) << refusal->text;
        if (broken.Name == std::string("truncated")) {
            Sleep(300);
            SaveWindowPng(refusal->window, Build("screenshots/Skins-refused.png"));
        }
        app.PressButton(*refusal);
        EXPECT_TRUE(WaitUntil([&] { return Skinned(main) && FrameIs(main, slate); }, 3000))
            << "the skin in force changed";
        EXPECT_EQ(RememberedSkin(), std::optional<std::wstring>(L"slate.skn"));
    }
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), 0u);
}

}  // namespace
}  // namespace quorin::gui
