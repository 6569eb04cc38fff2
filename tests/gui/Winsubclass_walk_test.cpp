// The control walk in the real CANConfig.exe, seen from another process: once the program
// has skinned its main window, every framework control of a kind the skin paints answers
// that it is skinned, and so do the push button of a warning box (a raw dialog), but not
// its text. Skipped while the program does not skin its windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/GuiHarness.h"

namespace quorin::gui {
namespace {

constexpr UINT kIsSkinned = 0x3523;

bool Skinned(HWND w) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(w, kIsSkinned, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) && answer == 1;
}

std::vector<HWND> Descendants(HWND root) {
    std::vector<HWND> all;
    EnumChildWindows(
        root,
        [](HWND w, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

TEST(ControlWalk, RealProgramSkinsEveryControlOfAPaintedKind) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    const HWND main = app.MainWindow();
    if (!WaitUntil([&] { return Skinned(main); }, 4000)) GTEST_SKIP() << "the program does not skin its windows yet";
    ASSERT_TRUE(WaitMainWindowSkinned(main)) << "the walk ran and the skinned frame followed";

    // Every framework control of these classes has a painter (the skin switches all on).
    const std::map<std::string, bool> painted = {{"TButton", true},      {"TComboBox", true}, {"TEdit", true},
                                                 {"TMaskEdit", true},    {"TCheckBox", true}, {"TGroupBox", true},
                                                 {"TPageControl", true}, {"TTabSheet", true}, {"TListView", true},
                                                 {"TStatusBar", true},   {"TPanel", true},    {"TTreeView", true}};
    // The windows of the pages not shown are made a moment after the first paint, each with
    // its painter: wait for all of them.
    const auto named = [&] {
        int n = 0;
        for (HWND w : Descendants(main)) n += !QuorinNameOf(w).empty();
        return n;
    };
    EXPECT_TRUE(WaitUntil([&] { return named() >= 80; }, 10000)) << named() << " windows made";
    int checked = 0;
    for (HWND w : Descendants(main)) {
        const std::string name = QuorinNameOf(w);
        if (name.empty()) continue;
        const auto it = painted.find(ClassOf(w));
        ASSERT_NE(it, painted.end()) << name << " is a " << ClassOf(w);
        EXPECT_EQ(Skinned(w), it->second) << name;
        ++checked;
    }
    EXPECT_GE(checked, 80);

    // A warning box is a raw dialog: its push button is painted, its text is not.
    ASSERT_TRUE(app.SetText("ComboBoxCommIndex", "COM99"));  // no listed port: a warning
    ASSERT_TRUE(app.ClickAsync("ButtonOpenRS232"));
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    ASSERT_TRUE(WaitUntil([&] { return Skinned(box->window); }, 4000));
    HWND ok = GetDlgItem(box->window, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return Skinned(ok); }, 4000));
    for (HWND w : Descendants(box->window)) {
        if (ClassOf(w) == "Static") {
            EXPECT_FALSE(Skinned(w));
        }
    }
    app.PressButton(*box, IDOK);
}

}  // namespace
}  // namespace quorin::gui
