// The About box, opened from the Help menu of the running program and closed in each of
// the ways an operator can close it.
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

namespace quorin::gui {
namespace {

enum class CloseBy { OkButton, EnterKey, CloseBox };

std::string Describe(const testing::TestParamInfo<CloseBy>& info) {
    switch (info.param) {
    case CloseBy::OkButton: return "OkButton";
    case CloseBy::EnterKey: return "EnterKey";
    case CloseBy::CloseBox: return "CloseBox";
    }
    return "Unknown";
}

class AboutBoxClose : public testing::TestWithParam<CloseBy> {};

HWND OpenAbout(RunningApp& app) {
    // The menu keys must not race the skin taking over the menu bar, and the box is centred
    // with the frame it is shown in: both want the skin in place first.
    WaitMainWindowSkinned(app.MainWindow());
    app.ChooseMenu({-1, 0});  // "About", the last menu > "About QUORIN"
    HWND about = app.WaitWindow("AboutBox");
    if (about) WaitUntil([&] { return !IsWindowEnabled(app.MainWindow()); }, 2000);
    return about;
}

TEST_P(AboutBoxClose, OpensRepeatedlyAndClosesLeavingTheMainWindowUsable) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();

    HWND first = nullptr;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        HWND about = OpenAbout(app);
        ASSERT_NE(about, nullptr) << "the About box did not appear";
        // Created once at start-up, so every showing is the same window.
        if (round == 0) first = about;
        EXPECT_EQ(about, first);
        EXPECT_EQ(WindowText(about), "About");
        EXPECT_FALSE(IsWindowEnabled(app.MainWindow())) << "the About box must be modal";

        switch (GetParam()) {
        case CloseBy::OkButton: EXPECT_TRUE(app.ClickAsync("OKButton")); break;
        case CloseBy::EnterKey: app.PressKey(VK_RETURN); break;
        case CloseBy::CloseBox: app.CloseBox(about); break;
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); })) << "the About box stayed open";
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app.MainWindow()) != FALSE; }));
        EXPECT_TRUE(app.Running());
    }
    EXPECT_FALSE(app.CurrentMessageBox().has_value());
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

INSTANTIATE_TEST_SUITE_P(AboutBox, AboutBoxClose,
                         testing::Values(CloseBy::OkButton, CloseBy::EnterKey, CloseBy::CloseBox), Describe);

TEST(AboutBox, IsCentredOnTheScreenWithItsStoredClientSize) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);

    // The labels are painted by their panel, not windows of their own: their texts are
    // checked in the layout tests, and the picture below is for a person to look at.
    EXPECT_EQ(app.Text("OKButton"), "OK");
    EXPECT_TRUE(SaveWindowPng(about, std::string(QUORIN_BINARY_DIR) + "/screenshots/AboutBox.png"));

    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, 344);
    EXPECT_EQ(client.bottom, 145);
    RECT r{};
    GetWindowRect(about, &r);
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR((r.left + r.right) / 2, screenW / 2, 2);
    EXPECT_NEAR((r.top + r.bottom) / 2, screenH / 2, 2);

    EXPECT_TRUE(app.ClickAsync("OKButton"));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
}

}  // namespace
}  // namespace quorin::gui
