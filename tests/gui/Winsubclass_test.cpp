// The skinned controls of the real CANConfig.exe under real input: the mouse and keys come
// from the X server (xdotool), so the program sees what an operator's hand would make. Hover
// shows a button's hot face on the screen and leaving takes it away; each click runs its command once (the
// converter's log counts the frames); typing and choosing reach the controls. Skipped
// while the program does not skin its controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/GuiHarness.h"
#include "support/RealInput.h"
#include "support/VirtualConverter.h"

namespace quorin::gui {
namespace {

constexpr UINT kIsSkinned = 0x3523;  // a skinned window answers 1

void MouseTo(POINT p) {
    MouseMove(p.x, p.y);
    Sleep(80);
}

void ClickAt(POINT p) {
    MouseClick(p.x, p.y);
    Sleep(150);
}

POINT Centre(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The window's pixels as the screen shows them.
std::vector<long> Shown(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return ScreenPixels(r);
}

class SkinnedControls : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Converter.Running()) GTEST_SKIP() << "no virtual converter on COM3 (tools/vconv-ports.sh start)";
        ASSERT_TRUE(Converter.Reset());
        App = std::make_unique<RunningApp>();
        ASSERT_TRUE(App->Started()) << App->Failure();
        const HWND open = App->Window("ButtonOpenRS232");
        if (!WaitUntil([&] { return SendMessageW(open, kIsSkinned, 0, 0) == 1; }, 3000))
            GTEST_SKIP() << "the program does not skin its controls";
        ASSERT_TRUE(WaitMainWindowSkinned(App->MainWindow()));
        SetForegroundWindow(App->MainWindow());
        // The skin changes the frame first: wait until the window has settled.
        std::vector<long> last;
        WaitUntil(
            [&] {
                auto now = Shown(App->MainWindow());
                const bool same = now == last;
                last = std::move(now);
                return same;
            },
            5000, 400);
    }
    // Away from every control: the lower right corner of the main window's client area.
    POINT Away() const {
        RECT r;
        GetWindowRect(App->MainWindow(), &r);
        return POINT{r.right - 12, r.top + 120};
    }
    std::vector<std::string> Received(const char* prefix) const {
        std::vector<std::string> frames;
        for (const auto& f : Converter.FramesSinceMark())
            if (f.rfind(std::string("RX ") + prefix, 0) == 0) frames.push_back(f);
        return frames;
    }

    VirtualConverter Converter{3};
    std::unique_ptr<RunningApp> App;
};

TEST_F(SkinnedControls, HoverShowsTheHotFaceAndLeavingTakesItAway) {
    const HWND button = App->Window("ButtonOpenRS232");
    MouseTo(Away());
    const auto before = Shown(button);
    MouseTo(Centre(button));
    EXPECT_TRUE(WaitUntil([&] { return Shown(button) != before; }, 3000)) << "no hot face under the mouse";
    const auto hot = Shown(button);
    MouseTo(Away());
    // The exact pixels are checked in process; from outside, the hot face must go again.
    EXPECT_TRUE(WaitUntil([&] { return Shown(button) != hot; }, 3000)) << "leaving kept the hot face";
}

TEST_F(SkinnedControls, ClicksRunEachCommandOnceAndInputReachesTheControls) {
    ASSERT_TRUE(App->SelectComboText("ComboBoxCommIndex", "COM3"));
    ClickAt(Centre(App->Window("ButtonOpenRS232")));
    ASSERT_TRUE(WaitUntil([&] { return App->Text("ButtonOpenRS232") == "关闭串口"; }));
    Sleep(300);
    EXPECT_EQ("关闭串口", App->Text("ButtonOpenRS232")) << "a second run would have closed the port again";

    Converter.MarkLog();
    ClickAt(Centre(App->Window("ButtonReadParameter")));
    // The read's request, and no second one a moment later.
    EXPECT_TRUE(WaitUntil([&] { return !Received("CC DD").empty(); }, 5000));
    Sleep(300);
    EXPECT_EQ(1u, Received("CC DD").size());
    EXPECT_FALSE(App->CurrentMessageBox());
    Converter.MarkLog();
    ClickAt(Centre(App->Window("ButtonWriteParameter")));
    Sleep(3000);
    EXPECT_EQ(1u, Received("AA BB").size());
    if (auto box = App->CurrentMessageBox()) App->PressButton(*box, IDOK);

    // The filter page: switched on by its check box, a range typed in, added and deleted.
    ASSERT_TRUE(App->SelectTab("PageControlQUORINQ1", 4));
    Sleep(300);
    if (!App->Checked("CheckBoxVandrelFilterEnable")) {
        RECT box;
        GetWindowRect(App->Window("CheckBoxVandrelFilterEnable"), &box);
        ClickAt(POINT{box.left + 6, (box.top + box.bottom) / 2});
        ASSERT_TRUE(WaitUntil([&] { return App->Checked("CheckBoxVandrelFilterEnable"); }));
    }
    const HWND startEdit = App->Window("EditVandrelStartID");
    ClickAt(Centre(startEdit));
    ASSERT_TRUE(WaitUntil([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(GetWindowThreadProcessId(startEdit, nullptr), &info) && info.hwndFocus == startEdit;
    })) << "the click did not focus the edit";
    // The old text selected, then typed over on the keyboard.
    SendMessageW(App->Window("EditVandrelStartID"), EM_SETSEL, 0, -1);
    // No key twice in a row: the display's key-repeat detection may swallow the second.
    XDoTool("type --delay 60 123");
    // The old text is longer than the new, so wait for the new text itself.
    WaitUntil([&] { return App->Text("EditVandrelStartID") == "123"; });
    EXPECT_EQ("123", App->Text("EditVandrelStartID"));
    const HWND frameType = App->Window("ComboBoxVandrelFrameType");
    const int before = App->ComboIndex("ComboBoxVandrelFrameType");
    ClickAt(Centre(frameType));
    Keys(before == 0 ? "Down Return" : "Up Return");
    EXPECT_TRUE(WaitUntil([&] { return App->ComboIndex("ComboBoxVandrelFrameType") != before; }));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(frameType, CB_GETDROPPEDSTATE, 0, 0) == 0; }));

    const size_t rows = App->ListRows("ListViewVandrelFrameID").size();
    ClickAt(Centre(App->Window("ButtonVandrelFilterIDAdd")));
    ASSERT_TRUE(WaitUntil([&] { return App->ListRows("ListViewVandrelFrameID").size() == rows + 1; }))
        << "rows " << App->ListRows("ListViewVandrelFrameID").size()
        << ", box: " << (App->CurrentMessageBox() ? App->CurrentMessageBox()->text : std::string("none")) << ", start "
        << App->Text("EditVandrelStartID") << ", end " << App->Text("EditVandrelEndID") << ", enabled "
        << App->Enabled("ButtonVandrelFilterIDAdd");
    Sleep(300);
    EXPECT_EQ(rows + 1, App->ListRows("ListViewVandrelFrameID").size()) << "Add ran more than once";
    EXPECT_EQ("0x00000123", App->ListRows("ListViewVandrelFrameID").back().at(2));
    ASSERT_TRUE(App->SelectRows("ListViewVandrelFrameID", {int(rows)}));
    ClickAt(Centre(App->Window("ButtonVandrelFilterIDDelete")));
    EXPECT_TRUE(WaitUntil([&] { return App->ListRows("ListViewVandrelFrameID").size() == rows; }));
    Sleep(300);
    EXPECT_FALSE(App->CurrentMessageBox()) << "Delete ran again without a selection";
}

TEST_F(SkinnedControls, ScreenshotsOfEveryPageAndOfAWarningBox) {
    const std::string dir = std::string(QUORIN_BINARY_DIR) + "/screenshots/skinned-";
    for (int page : {0, 1, 2, 3, 4}) {
        ASSERT_TRUE(App->SelectTab("PageControlQUORINQ1", page));
        Sleep(300);
        EXPECT_TRUE(SaveWindowPng(App->MainWindow(), dir + "page" + std::to_string(page) + ".png"));
    }
    if (!App->Checked("CheckBoxVandrelFilterEnable")) {
        ASSERT_TRUE(App->Click("CheckBoxVandrelFilterEnable"));
    }
    ASSERT_TRUE(App->SetText("EditVandrelStartID", "00000200"));
    ASSERT_TRUE(App->SetText("EditVandrelEndID", "00000100"));
    ASSERT_TRUE(App->ClickAsync("ButtonVandrelFilterIDAdd"));
    auto box = App->WaitMessageBox();
    ASSERT_TRUE(box);
    Sleep(800);  // the manager skins a new box on its timer
    EXPECT_TRUE(SaveWindowPng(box->window, dir + "warning-box.png"));
    App->PressButton(*box, IDOK);
}

}  // namespace
}  // namespace quorin::gui
