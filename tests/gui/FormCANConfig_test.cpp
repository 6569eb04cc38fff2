// The main window of the running program: what the operator sees after start-up, its
// picture, and the two ways to end the program.
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quorin::gui {
namespace {

TEST(FormCANConfig, StartsOnTheConversionPageWithOnlyTheDevicePagesShown) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();

    EXPECT_EQ(WindowText(app.MainWindow()), "QUORIN 配置工具");
    RECT client{};
    GetClientRect(app.MainWindow(), &client);
    EXPECT_EQ(client.right, 694);
    EXPECT_EQ(client.bottom, 419);
    // Centred on the desktop once the skin has given the window its frame.
    RECT r{};
    auto centred = [&] {
        GetWindowRect(app.MainWindow(), &r);
        return std::abs((r.left + r.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2) <= 2 &&
               std::abs((r.top + r.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2) <= 2;
    };
    EXPECT_TRUE(WaitUntil(centred, 3000))
        << "window at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom;

    EXPECT_EQ(app.TabCaptions("PageControlCANConfig"), std::vector<std::string>{"QUORIN-Q1"});
    EXPECT_EQ(app.TabCaptions("PageControlQUORINQ1"),
              (std::vector<std::string>{"基本信息", "转换参数", "串口参数", "CAN参数", "滤波参数"}));
    EXPECT_EQ(app.TabIndex("PageControlQUORINQ1"), 1);
    EXPECT_TRUE(app.Showing("ComboBoxSwitchMode"));
    EXPECT_FALSE(app.Showing("ComboBoxUARTMode"));

    EXPECT_EQ(app.Text("ButtonOpenRS232"), "打开串口");
    EXPECT_FALSE(app.Enabled("ButtonReadParameter"));
    EXPECT_FALSE(app.Enabled("ButtonWriteParameter"));
    // Whatever ports this machine has, the Open button follows the port list.
    const auto ports = app.ComboItems("ComboBoxCommIndex");
    EXPECT_EQ(app.Enabled("ButtonOpenRS232"), !ports.empty());
    if (ports.empty()) {
        EXPECT_EQ(app.Text("ComboBoxCommIndex"), "No RS232 port find !");
    }

    // The hidden port box of the filter page, refilled at start-up: rows added there get "CAN1".
    EXPECT_EQ(app.Text("ComboBoxVandrelPort"), "CAN1");
    EXPECT_EQ(app.ComboItemData("ComboBoxVandrelPort", 0), 0);
    EXPECT_EQ(app.ComboItemData("ComboBoxVandrelPort", 1), 1);

    EXPECT_EQ(app.StatusPanelText("StatusBar1", 0), "www.quorin.example");
    EXPECT_EQ(app.StatusPanelText("StatusBar1", 1), "");
    EXPECT_EQ(app.ListColumns("ListViewVandrelBasicInfo"), (std::vector<std::string>{"Property", "Description"}));
    EXPECT_EQ(app.ListRows("ListViewVandrelBasicInfo").size(), 6u);
    EXPECT_TRUE(app.ListRows("ListViewVandrelFrameID").empty());
}

TEST(FormCANConfig, PageTabsBringTheirPagesToTheFront) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 2));
    EXPECT_TRUE(WaitUntil([&] { return app.Showing("ComboBoxUARTMode"); }));
    EXPECT_FALSE(app.Showing("ComboBoxSwitchMode"));
    ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", 4));
    EXPECT_TRUE(WaitUntil([&] { return app.Showing("ListViewVandrelFrameID"); }));
    // Hidden controls stay hidden on their page.
    EXPECT_FALSE(app.Showing("ComboBoxVandrelPort"));
}

TEST(FormCANConfig, ExitFromTheFileMenuEndsTheProgram) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    app.ChooseMenu({0, -1});  // "File" > "Exit", its last item
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

TEST(FormCANConfig, TheCloseBoxEndsTheProgram) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    app.CloseBox();
    EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
}

// Writes the main window's picture to <build>/screenshots/FormCANConfig.png, on each page,
// for a person to look at (Chinese labels must be legible).
TEST(FormCANConfig, Screenshot) {
    RunningApp app;
    ASSERT_TRUE(app.Started()) << app.Failure();
    Sleep(1000);  // the skin is applied a moment after the window shows
    const std::string dir = std::string(QUORIN_BINARY_DIR) + "/screenshots/";
    ASSERT_TRUE(SaveWindowPng(app.MainWindow(), dir + "FormCANConfig.png"));
    for (int page : {0, 2, 3, 4}) {
        ASSERT_TRUE(app.SelectTab("PageControlQUORINQ1", page));
        Sleep(300);
        EXPECT_TRUE(SaveWindowPng(app.MainWindow(), dir + "FormCANConfig-page" + std::to_string(page) + ".png"));
    }
}

}  // namespace
}  // namespace quorin::gui
