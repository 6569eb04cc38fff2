// The main window's close path with a real serial port: the virtual converter on COM3
// stands in for the device. Whether the window closed the port shows in whether the port
// can be opened again (the channel refuses a port that is still open).
#include "app/UnitCANConfig.h"
#include "link/VCI.h"

#include <gtest/gtest.h>

namespace quorin {
namespace {

constexpr int32_t kPort = 3;

enum class CloseBy { CloseBox, ExitCommand };

class ClosePath : public testing::TestWithParam<CloseBy> {
protected:
    void SetUp() override {
        Form = new TFormCANConfig(Application);
        CommOpened = false;
        OpenedCommIndex = 0;
    }
    void TearDown() override {
        VCI_CloseDevice(kPort);
        delete Form;
        CommOpened = false;
    }

    // The window's state after the Open button opened the port.
    void OpenAsTheButtonDoes() {
        ASSERT_EQ(VCI_OpenDevice(kPort), 1) << "no converter on COM" << kPort;
        CommOpened = true;
        OpenedCommIndex = kPort;
        Form->ButtonOpenRS232->SetCaption("关闭串口");
        Form->ButtonReadParameter->SetEnabled(true);
        Form->ButtonWriteParameter->SetEnabled(true);
        Form->ComboBoxCommIndex->SetEnabled(false);
    }

    void CloseWindow() {
        if (GetParam() == CloseBy::CloseBox) {
            TCloseAction action = TCloseAction::caHide;
            Form->FormClose(Form, action);
            EXPECT_EQ(action, TCloseAction::caHide) << "the close action is left as the framework set it";
        } else {
            Form->Exit1Click(Form->Exit1);
        }
    }

    TFormCANConfig* Form = nullptr;
};

TEST_P(ClosePath, ClosesAnOpenPortAndResetsTheButtons) {
    OpenAsTheButtonDoes();
    CloseWindow();

    EXPECT_FALSE(CommOpened);
    EXPECT_EQ(OpenedCommIndex, kPort) << "the number of the last port stays";
    EXPECT_EQ(Form->ButtonOpenRS232->Caption(), "打开串口");
    EXPECT_FALSE(Form->ButtonReadParameter->Enabled());
    EXPECT_FALSE(Form->ButtonWriteParameter->Enabled());
    EXPECT_FALSE(Form->ComboBoxCommIndex->Enabled()) << "the window is going away; the port box stays as it was";
    EXPECT_EQ(VCI_OpenDevice(kPort), 1) << "the port is still held";
}

TEST_P(ClosePath, LeavesEverythingAloneWhenNoPortIsOpen) {
    // The channel holds COM3 for someone else; the window, with no port open, must not
    // close it even though COM3 was the last port it used.
    ASSERT_EQ(VCI_OpenDevice(kPort), 1);
    OpenedCommIndex = kPort;
    Form->ButtonReadParameter->SetEnabled(false);
    const std::string caption = Form->ButtonOpenRS232->Caption();

    CloseWindow();

    EXPECT_FALSE(CommOpened);
    EXPECT_EQ(Form->ButtonOpenRS232->Caption(), caption);
    EXPECT_EQ(VCI_OpenDevice(kPort), 0) << "the window closed a port it had not opened";
}

INSTANTIATE_TEST_SUITE_P(UnitCANConfig, ClosePath, testing::Values(CloseBy::CloseBox, CloseBy::ExitCommand),
                         [](const auto& info) {
                             return std::string(info.param == CloseBy::CloseBox ? "CloseBox" : "ExitCommand");
                         });

}  // namespace
}  // namespace quorin
