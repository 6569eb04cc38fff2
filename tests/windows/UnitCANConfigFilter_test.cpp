// The filter list editor and the enabling rules inside the real main window, created from
// its stored layout in this process. The operations are called as the handlers and the
// read sequence call them; warnings are real message boxes, answered by a helper thread.
#include "app/UnitCANConfig.h"
#include "forms/SysUtils.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quorin {
namespace {

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

// Answers every message box this process shows while it lives: records its title, text
// and owner, then presses OK, as an operator would.
class TBoxAnswerer {
public:
    struct TSeen {
        std::string Caption, Text;
        bool Owned = false;
        bool MainEnabled = true;
    };

    explicit TBoxAnswerer(HWND MainWindow) : FMain(MainWindow), FThread([this] { Run(); }) {}
    ~TBoxAnswerer() {
        FStop = true;
        FThread.join();
    }

    std::vector<TSeen> Seen() {
        std::lock_guard<std::mutex> lock(FLock);
        return FSeen;
    }

private:
    void Run() {
        while (!FStop) {
            EnumWindows(
                [](HWND w, LPARAM self) -> BOOL {
                    reinterpret_cast<TBoxAnswerer*>(self)->Consider(w);
                    return TRUE;
                },
                LPARAM(this));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    void Consider(HWND w) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (pid != GetCurrentProcessId() || wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(w)) return;
        for (HWND done : FAnswered)
            if (done == w && IsWindow(w)) return;
        wchar_t caption[256] = {}, text[1024] = {};
        GetWindowTextW(w, caption, 256);
        GetDlgItemTextW(w, 0xFFFF, text, 1024);
        {
            std::lock_guard<std::mutex> lock(FLock);
            FSeen.push_back(
                {Utf8(caption), Utf8(text), GetWindow(w, GW_OWNER) != nullptr, IsWindowEnabled(FMain) != FALSE});
        }
        FAnswered.push_back(w);
        PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(w, IDOK)));
    }

    HWND FMain;
    std::atomic<bool> FStop{false};
    std::mutex FLock;
    std::vector<TSeen> FSeen;
    std::vector<HWND> FAnswered;
    std::thread FThread;
};

using TRow = std::vector<std::string>;

class MainWindowInProcess : public testing::Test {
protected:
    static void SetUpTestSuite() { Form = new TFormCANConfig(Application); }
    static void TearDownTestSuite() {
        delete Form;
        Form = nullptr;
    }

    void SetUp() override {
        Form->ListViewVandrelFrameID->Items().Clear();
        Form->CheckBoxVandrelFilterEnable->SetChecked(true);
        Form->ComboBoxVandrelFrameType->SetItemIndex(0);
        Form->EditVandrelStartID->SetText("00000000");
        Form->EditVandrelEndID->SetText("FFFFFFFF");
    }

    static std::vector<TRow> Rows() {
        std::vector<TRow> rows;
        const TListItems& items = Form->ListViewVandrelFrameID->Items();
        for (int i = 0; i < items.Count(); ++i) {
            TRow row{items.Item(i)->Caption()};
            const TStrings& sub = items.Item(i)->SubItems();
            for (int j = 0; j < sub.Count(); ++j) row.push_back(sub.Strings(j));
            rows.push_back(row);
        }
        return rows;
    }

    static void AddRow(const TRow& cells) {
        TListItem* item = Form->ListViewVandrelFrameID->Items().Add();
        item->SetCaption(cells.at(0));
        for (size_t i = 1; i < cells.size(); ++i) item->SubItems().Add(cells[i]);
    }

    static void Add(const std::string& start, const std::string& end, int frameType = 0) {
        Form->ComboBoxVandrelFrameType->SetItemIndex(frameType);
        Form->EditVandrelStartID->SetText(start);
        Form->EditVandrelEndID->SetText(end);
        Form->AddFilterID();
    }

    // Add, expecting exactly one message box; returns what it showed.
    static TBoxAnswerer::TSeen AddAnswering(const std::string& start, const std::string& end, int frameType = 0) {
        TBoxAnswerer answerer(Form->Handle());
        Add(start, end, frameType);
        const auto seen = answerer.Seen();
        EXPECT_EQ(seen.size(), 1u);
        return seen.empty() ? TBoxAnswerer::TSeen{} : seen.front();
    }

    static TFormCANConfig* Form;
};

TFormCANConfig* MainWindowInProcess::Form = nullptr;

TEST_F(MainWindowInProcess, ConversionErrorReachesTheCallerAndAddsNothing) {
    Add("1", "2");
    for (const auto& [start, end, named] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"1G", "5", "0x1G"}, {"5", "", "0x"}, {"100000000", "5", "0x100000000"}, {"7FF", "1 ", "0x1 "}}) {
        Form->EditVandrelStartID->SetText(start);
        Form->EditVandrelEndID->SetText(end);
        try {
            Form->AddFilterID();
            ADD_FAILURE() << start << ".." << end << " was accepted";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + named + "' is not a valid integer value");
        }
        // The edits keep the operator's text.
        EXPECT_EQ(Form->EditVandrelStartID->Text(), start);
    }
    EXPECT_EQ(Rows().size(), 1u);
}

TEST_F(MainWindowInProcess, WarningsAreOwnerlessButModalAndTheirOrderHolds) {
    const auto order = AddAnswering("7FF", "100");
    EXPECT_EQ(order.Caption, "Warning");
    EXPECT_EQ(order.Text, "Start ID must be smaller than End ID!");
    EXPECT_FALSE(order.Owned);
    EXPECT_FALSE(order.MainEnabled);
    EXPECT_TRUE(IsWindowEnabled(Form->Handle()));

    // Rows the read sequence or this page put there count alike, even beyond 16.
    for (int i = 0; i < 17; ++i) {
        AddRow({"CAN0", "Standard Frame", "0x00000001", "0x00000002"});
        if (i < 15) continue;
        const auto full = AddAnswering("7FF", "100");
        EXPECT_EQ(full.Caption, "Waring");
        EXPECT_EQ(full.Text, "All the filter has been used!");
        EXPECT_FALSE(full.Owned);
    }
    EXPECT_EQ(Rows().size(), 17u);
}

TEST_F(MainWindowInProcess, RowsOfAnyShapeDoNotUpsetTheDuplicateTest) {
    // A row with only a port, one with the frame type only, and one whose cells are the
    // lower-case form of what Add would write: none is a duplicate of the new range.
    AddRow({"CAN1"});
    AddRow({"CAN1", "Standard Frame"});
    AddRow({"CAN1", "Standard Frame", "0x000000ab", "0x000000cd"});
    Add("AB", "CD");
    ASSERT_EQ(Rows().size(), 4u);
    EXPECT_EQ(Rows().back(), (TRow{"CAN1", "Standard Frame", "0x000000AB", "0x000000CD"}));
    // A row with extra cells beyond the fourth is still compared on the four.
    AddRow({"CAN1", "Extend   Frame", "0x00000010", "0x00000020", "extra"});
    Add("10", "20", 1);
    EXPECT_EQ(Rows().size(), 5u);
}

TEST_F(MainWindowInProcess, FrameTypeWithoutSelectionCountsAsExtended) {
    Form->EditVandrelStartID->SetText("1FFFFFFF");
    Form->EditVandrelEndID->SetText("FFFFFFFF");
    Form->ComboBoxVandrelFrameType->SetItemIndex(-1);
    Form->AddFilterID();
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0][2], "0x1FFFFFFF");
    EXPECT_EQ(Rows()[0][3], "0x1FFFFFFF");
}

TEST_F(MainWindowInProcess, DeleteTakesEverySelectedRowIncludingNeighbours) {
    for (int i = 0; i < 6; ++i) Add(std::to_string(i), std::to_string(i));
    TListItems& items = Form->ListViewVandrelFrameID->Items();
    for (int i : {1, 2, 3, 5}) items.Item(i)->SetSelected(true);
    Form->DeleteFilterID();
    EXPECT_EQ(Rows(), (std::vector<TRow>{{"CAN1", "Standard Frame", "0x00000000", "0x00000000"},
                                         {"CAN1", "Standard Frame", "0x00000004", "0x00000004"}}));
    Form->DeleteFilterID();  // nothing selected any more
    EXPECT_EQ(Rows().size(), 2u);
}

TEST_F(MainWindowInProcess, SettingTheCheckBoxesFromCodeRunsTheirRulesOnlyOnAChange) {
    // The read sequence sets the check boxes and relies on their rules running.
    Form->CheckBoxVandrelFilterEnable->SetChecked(false);
    EXPECT_FALSE(Form->ButtonVandrelFilterIDAdd->Enabled());
    EXPECT_FALSE(Form->ListViewVandrelFrameID->Enabled());
    Form->CheckBoxVandrelFilterEnable->SetChecked(true);
    EXPECT_TRUE(Form->ButtonVandrelFilterIDAdd->Enabled());
    EXPECT_TRUE(Form->ComboBoxVandrelPort->Enabled());

    Form->CheckBoxBuadrateCustom->SetChecked(true);
    EXPECT_TRUE(Form->EditBaudrateA->Enabled());
    EXPECT_FALSE(Form->ComboBoxtBaudrateIndexA->Enabled());
    // Set again to the state it has: the rule does not run, so this stray state stays.
    Form->ComboBoxtBaudrateIndexA->SetEnabled(true);
    Form->CheckBoxBuadrateCustom->SetChecked(true);
    EXPECT_TRUE(Form->ComboBoxtBaudrateIndexA->Enabled());
    Form->CheckBoxBuadrateCustom->SetChecked(false);
    EXPECT_FALSE(Form->EditBaudrateA->Enabled());
    EXPECT_FALSE(Form->EditBaudrateB->Enabled());
    EXPECT_TRUE(Form->ComboBoxtBaudrateIndexA->Enabled());
    EXPECT_TRUE(Form->ComboBoxtBaudrateIndexB->Enabled());
}

TEST_F(MainWindowInProcess, ModeSetFromCodeWaitsForTheExplicitRuleAndNoSelectionChangesNothing) {
    Form->ComboBoxSwitchMode->SetItemIndex(0);
    Form->ComboBoxSwitchModeChange(nullptr);
    Form->ComboBoxSwitchMode->SetItemIndex(1);
    EXPECT_FALSE(Form->ComboBoxCANIDOffset->Enabled()) << "setting the index ran the rule";
    Form->ComboBoxSwitchModeChange(nullptr);
    EXPECT_TRUE(Form->ComboBoxCANIDOffset->Enabled());
    EXPECT_FALSE(Form->CheckBoxCANIDInfoEnable->Enabled());

    Form->ComboBoxSwitchMode->SetItemIndex(-1);
    Form->ComboBoxSwitchModeChange(nullptr);
    EXPECT_TRUE(Form->ComboBoxCANIDOffset->Enabled());
    EXPECT_TRUE(Form->ComboBoxCANIDLen->Enabled());
    EXPECT_TRUE(Form->EditUARTFrameInterVal->Enabled());
    EXPECT_FALSE(Form->CheckBoxCANFrameInfoEnable->Enabled());

    Form->ComboBoxSwitchMode->SetItemIndex(0);
    Form->ComboBoxSwitchModeChange(nullptr);
    EXPECT_FALSE(Form->ComboBoxCANIDOffset->Enabled());
    EXPECT_TRUE(Form->CheckBoxCANFrameInfoEnable->Enabled());
}

}  // namespace
}  // namespace quorin
