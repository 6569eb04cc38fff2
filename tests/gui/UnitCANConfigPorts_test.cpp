// Port selection and the Open button of the running program, with virtual converters
// behind COM0, COM3, COM7, COM12 and COM23 that the tests make appear and vanish.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/GuiHarness.h"
#include "support/VirtualConverter.h"

namespace quorin::gui {
namespace {

const char* const kPortBox = "ComboBoxCommIndex";
const char* const kOpen = "ButtonOpenRS232";
const std::string kOpenCaption = "打开串口";
const std::string kCloseCaption = "关闭串口";

// While the program has a port open through its serial channel, it holds the port's claim.
bool PortHeld(int port) {
    const std::wstring name = L"Local\\QuorinSerialPort" + std::to_wstring(port);
    HANDLE claim = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
    if (claim == nullptr) return false;
    CloseHandle(claim);
    return true;
}

// Types into the edit part of an editable combo box as the operator does: everything
// selected, then one character after the other.
void TypeInto(HWND combo, const std::string& text) {
    HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr) << "the port box has no edit part";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &ignored);
    for (wchar_t c : Widen(text)) SendMessageTimeoutW(edit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 5000, &ignored);
}

class PortSelection : public ::testing::Test {
protected:
    void SetUp() override {
        for (int port : ConverterPorts())
            if (!VirtualConverter(port).Running()) GTEST_SKIP() << "no virtual converters (tools/vconv-ports.sh start)";
    }
    void TearDown() override { PresentPorts({0, 3, 7, 12, 23}); }

    // The program started with exactly these ports present.
    std::unique_ptr<RunningApp> Start(std::initializer_list<int> ports) {
        EXPECT_TRUE(PresentPorts(ports));
        auto app = std::make_unique<RunningApp>();
        EXPECT_TRUE(app->Started()) << app->Failure();
        return app;
    }

    void ExpectClosedState(RunningApp& app) {
        EXPECT_EQ(app.Text(kOpen), kOpenCaption);
        EXPECT_TRUE(app.Enabled(kOpen));
        EXPECT_FALSE(app.Enabled("ButtonReadParameter"));
        EXPECT_FALSE(app.Enabled("ButtonWriteParameter"));
        EXPECT_TRUE(app.Enabled(kPortBox));
    }
};

TEST_F(PortSelection, ListsThePortsThatOpenInOrderAndSelectsTheFirst) {
    auto app = Start({7, 3});
    ASSERT_TRUE(app->Started());
    EXPECT_EQ(app->ComboItems(kPortBox), (std::vector<std::string>{"COM3", "COM7"}));
    EXPECT_EQ(app->ComboItemData(kPortBox, 0), 3);
    EXPECT_EQ(app->ComboItemData(kPortBox, 1), 7);
    EXPECT_EQ(app->ComboIndex(kPortBox), 0);
    EXPECT_EQ(app->Text(kPortBox), "COM3");
    ExpectClosedState(*app);
    // The scan closed every port it probed.
    EXPECT_FALSE(PortHeld(3));
    EXPECT_FALSE(PortHeld(7));
}

TEST_F(PortSelection, ListsPortZeroAndPortsAboveNine) {
    auto app = Start({0, 12, 23});
    ASSERT_TRUE(app->Started());
    EXPECT_EQ(app->ComboItems(kPortBox), (std::vector<std::string>{"COM0", "COM12", "COM23"}));
    EXPECT_EQ(app->ComboItemData(kPortBox, 0), 0);
    EXPECT_EQ(app->ComboItemData(kPortBox, 2), 23);
}

TEST_F(PortSelection, WithNoPortTheBoxSaysSoAndOpenIsDisabled) {
    auto app = Start({});
    ASSERT_TRUE(app->Started());
    EXPECT_TRUE(app->ComboItems(kPortBox).empty());
    EXPECT_EQ(app->Text(kPortBox), "No RS232 port find !");
    EXPECT_FALSE(app->Enabled(kOpen));
    EXPECT_EQ(app->Text(kOpen), kOpenCaption);
    EXPECT_FALSE(app->Enabled("ButtonReadParameter"));
}

TEST_F(PortSelection, OpensClosesAndOpensAgain) {
    auto app = Start({3, 7});
    ASSERT_TRUE(app->Started());

    ASSERT_TRUE(app->Click(kOpen));
    EXPECT_EQ(app->Text(kOpen), kCloseCaption);
    EXPECT_TRUE(app->Enabled("ButtonReadParameter"));
    EXPECT_TRUE(app->Enabled("ButtonWriteParameter"));
    EXPECT_FALSE(app->Enabled(kPortBox));
    EXPECT_TRUE(PortHeld(3));

    ASSERT_TRUE(app->Click(kOpen));
    ExpectClosedState(*app);
    EXPECT_FALSE(PortHeld(3)) << "closing left the port open";

    ASSERT_TRUE(app->Click(kOpen));
    EXPECT_EQ(app->Text(kOpen), kCloseCaption);
    EXPECT_TRUE(PortHeld(3));
}

TEST_F(PortSelection, OpensThePortOfTheSelectedEntryAndKeepsTheSelectionAfterClosing) {
    auto app = Start({3, 7});
    ASSERT_TRUE(app->Started());
    ASSERT_TRUE(app->SelectComboIndex(kPortBox, 1));
    ASSERT_TRUE(app->Click(kOpen));
    EXPECT_TRUE(PortHeld(7));
    EXPECT_FALSE(PortHeld(3));
    EXPECT_FALSE(app->Enabled(kPortBox)) << "the port can be changed while open";
    ASSERT_TRUE(app->Click(kOpen));
    EXPECT_TRUE(app->Enabled(kPortBox));
    EXPECT_EQ(app->ComboIndex(kPortBox), 1);
    EXPECT_EQ(app->Text(kPortBox), "COM7");
}

TEST_F(PortSelection, AFailedOpenWarnsAndChangesNothing) {
    auto app = Start({3, 7});
    ASSERT_TRUE(app->Started());
    // The converter is unplugged after the scan listed it.
    ASSERT_TRUE(VirtualConverter(3).SetPresent(false));
    ASSERT_TRUE(app->ClickAsync(kOpen));
    auto box = app->WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Warning");
    EXPECT_EQ(box->text, "Open RS232 port fail!");
    app->PressButton(*box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !app->CurrentMessageBox(); }));
    ExpectClosedState(*app);
    EXPECT_EQ(app->ComboIndex(kPortBox), 0);
    EXPECT_EQ(app->Text(kPortBox), "COM3");

    // Plugged in again, the same entry opens.
    ASSERT_TRUE(VirtualConverter(3).SetPresent(true));
    ASSERT_TRUE(app->Click(kOpen));
    EXPECT_EQ(app->Text(kOpen), kCloseCaption);
    EXPECT_TRUE(PortHeld(3));
}

TEST_F(PortSelection, ATypedNameThatIsNoEntryIsRefusedWithAWarning) {
    auto app = Start({3, 7});
    ASSERT_TRUE(app->Started());
    TypeInto(app->Window(kPortBox), "COM9");
    ASSERT_TRUE(app->ClickAsync(kOpen));
    auto box = app->WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Warning");
    EXPECT_EQ(box->text, "Please choose a serial port from the list!");
    app->PressButton(*box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !app->CurrentMessageBox(); }));
    ExpectClosedState(*app);
    EXPECT_FALSE(PortHeld(3));
    EXPECT_FALSE(PortHeld(7));
}

TEST_F(PortSelection, ATypedNameOfAnEntryOpensThatEntry) {
    auto app = Start({3, 7});
    ASSERT_TRUE(app->Started());
    TypeInto(app->Window(kPortBox), "com7");
    ASSERT_TRUE(app->Click(kOpen));
    EXPECT_EQ(app->Text(kOpen), kCloseCaption);
    EXPECT_TRUE(PortHeld(7));
}

}  // namespace
}  // namespace quorin::gui
