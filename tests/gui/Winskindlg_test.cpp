// The running program is skinned: its main window, the About box and the message boxes
// it shows (its own warnings and the exception display), with the controls inside them.
// Asked from outside, as any other process would ask a window.
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace quorin::gui {
namespace {

constexpr UINT kIsSkinned = 0x3523;

bool IsSkinned(HWND window) {
    DWORD_PTR answer = 0;
    return window && SendMessageTimeoutW(window, kIsSkinned, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) && answer == 1;
}

bool BecomesSkinned(HWND window) {
    return WaitUntil([&] { return IsSkinned(window); }, 5000);
}

// The buttons of a message box, each by its control id.
void ExpectBoxSkinned(const MessageBoxInfo& box, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_TRUE(BecomesSkinned(box.window));
    ASSERT_FALSE(box.buttons.empty());
    for (const auto& [id, caption] : box.buttons) EXPECT_TRUE(IsSkinned(GetDlgItem(box.window, id))) << caption;
}

TEST(SkinnedProgram, MainWindowAboutBoxAndMessageBoxesAreSkinned) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    EXPECT_TRUE(BecomesSkinned(app.MainWindow()));
    // The controls get their painters once the window is skinned, not in the same step.
    EXPECT_TRUE(BecomesSkinned(app.Window("ButtonOpenRS232")));
    SaveWindowPng(app.MainWindow(), std::string(QUORIN_BINARY_DIR) + "/screenshots/SkinnedMain.png");

    app.ChooseMenu({-1, 0});  // About, the last menu > About QUORIN
    HWND about = app.WaitWindow("AboutBox");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(BecomesSkinned(about));
    EXPECT_TRUE(BecomesSkinned(app.Window("OKButton", about)));
    SaveWindowPng(about, std::string(QUORIN_BINARY_DIR) + "/screenshots/SkinnedAbout.png");
    EXPECT_TRUE(app.ClickAsync("OKButton"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));

    // The program's warning box, then the exception display: a start identifier above the
    // end, then one that is no number.
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    if (!app.Checked("CheckBoxVandrelFilterEnable")) {
        ASSERT_TRUE(app.Click("CheckBoxVandrelFilterEnable"));
    }
    struct Case {
        const char* start;
        const char* what;
    };
    for (const Case& c : {Case{"7FF", "warning box"}, Case{"1G", "exception display"}}) {
        ASSERT_TRUE(app.SetText("EditVandrelStartID", c.start));
        ASSERT_TRUE(app.SetText("EditVandrelEndID", "100"));
        ASSERT_TRUE(app.ClickAsync("ButtonVandrelFilterIDAdd"));
        auto box = app.WaitMessageBox();
        ASSERT_TRUE(box) << c.what;
        ExpectBoxSkinned(*box, c.what);
        SaveWindowPng(box->window, std::string(QUORIN_BINARY_DIR) + "/screenshots/Skinned " + c.what + ".png");
        EXPECT_TRUE(app.PressButton(*box, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box->window); }));
    }
    EXPECT_TRUE(IsSkinned(app.MainWindow()));
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// The program closed while a skinned message box is up: the box's skin goes with the
// program's end, after nothing else of the skin has, and the program ends cleanly.
TEST(SkinnedProgram, EndsCleanlyWithASkinnedMessageBoxUp) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    EXPECT_TRUE(BecomesSkinned(app.MainWindow()));
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    if (!app.Checked("CheckBoxVandrelFilterEnable")) {
        ASSERT_TRUE(app.Click("CheckBoxVandrelFilterEnable"));
    }
    ASSERT_TRUE(app.SetText("EditVandrelStartID", "7FF"));
    ASSERT_TRUE(app.SetText("EditVandrelEndID", "100"));
    ASSERT_TRUE(app.ClickAsync("ButtonVandrelFilterIDAdd"));
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(BecomesSkinned(box->window));
    PostMessageW(app.MainWindow(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace quorin::gui
