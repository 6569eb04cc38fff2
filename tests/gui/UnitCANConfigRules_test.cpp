// The enabling rules of the main window, driven from outside the real program: the
// conversion mode decides which conversion controls can be edited, and the custom bit-rate
// box chooses between the two bit-rate lists and the two custom timing edits.
#include "support/GuiHarness.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

namespace quorin::gui {
namespace {

// One program for the whole file: every test leaves the rules in a state the next can start
// from, and starting the program under Wine is the slow part.
class EnablingRules : public ::testing::Test {
protected:
    static void SetUpTestSuite() { app_ = std::make_unique<RunningApp>(); }
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override {
        if (!app_ || !app_->Running()) app_ = std::make_unique<RunningApp>();
        ASSERT_TRUE(app_->Started()) << app_->Failure();
        ASSERT_TRUE(app_->SelectTab("PageControlQUORINQ1", 1));
    }
    void TearDown() override {
        // A box left open by a failed test would block everything after it.
        while (auto box = app_->CurrentMessageBox()) {
            ADD_FAILURE() << "message box left open: " << box->caption << ": " << box->text;
            if (!app_->PressButton(*box, IDOK)) break;
        }
    }

    RunningApp& App() { return *app_; }

    static std::unique_ptr<RunningApp> app_;
};

std::unique_ptr<RunningApp> EnablingRules::app_;

// The controls of the conversion page that follow the mode, in this order.
const std::array<const char*, 6> kModeControls = {"ComboBoxCANIDOffset",        "ComboBoxCANIDLen",
                                                  "EditUARTFrameInterVal",      "EditCANFrameInterval",
                                                  "CheckBoxCANFrameInfoEnable", "CheckBoxCANIDInfoEnable"};

// Enabled state of kModeControls for each mode.
const std::array<std::array<bool, 6>, 3> kModeTable = {{
    {false, false, true, true, true, true},     // transparent
    {true, true, true, true, false, false},     // transparent with identifier
    {false, false, false, true, false, false},  // formatted
}};

std::array<bool, 6> ModeControlStates(RunningApp& app) {
    std::array<bool, 6> states{};
    for (size_t i = 0; i < kModeControls.size(); ++i) states[i] = app.Enabled(kModeControls[i]);
    return states;
}

TEST_F(EnablingRules, StartUpStateFollowsModeZeroAndTheUncheckedCustomBox) {
    EXPECT_EQ(App().ComboIndex("ComboBoxSwitchMode"), 0);
    EXPECT_EQ(ModeControlStates(App()), kModeTable[0]);

    EXPECT_FALSE(App().Checked("CheckBoxBuadrateCustom"));
    EXPECT_FALSE(App().Enabled("EditBaudrateA"));
    EXPECT_FALSE(App().Enabled("EditBaudrateB"));
    EXPECT_TRUE(App().Enabled("ComboBoxtBaudrateIndexA"));
    EXPECT_TRUE(App().Enabled("ComboBoxtBaudrateIndexB"));

    // In no rule at all.
    EXPECT_FALSE(App().Enabled("ComboBoxUARTDataBitIndex"));
    EXPECT_FALSE(App().Enabled("ComboBoxFDStandard"));
}

// Every change from one mode to another lands on exactly the row of the new mode, so a rule
// that only ever enables (or only ever disables) shows up here.
class ModeChange : public EnablingRules, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(ModeChange, LandsOnTheRowOfTheNewMode) {
    const auto [from, to] = GetParam();
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", from));
    EXPECT_EQ(ModeControlStates(App()), kModeTable[from]) << "mode " << from;
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", to));
    EXPECT_EQ(ModeControlStates(App()), kModeTable[to]) << "mode " << from << " then " << to;
    // Leave mode 0 for the next test.
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", 0));
}

INSTANTIATE_TEST_SUITE_P(AllPairs, ModeChange,
                         ::testing::Values(std::pair{0, 1}, std::pair{1, 0}, std::pair{0, 2}, std::pair{2, 0},
                                           std::pair{1, 2}, std::pair{2, 1}, std::pair{1, 1}, std::pair{2, 2}));

TEST_F(EnablingRules, ModeRuleKeepsCheckMarksTextsAndSelections) {
    ASSERT_TRUE(App().Click("CheckBoxCANFrameInfoEnable"));
    ASSERT_TRUE(App().Checked("CheckBoxCANFrameInfoEnable"));
    ASSERT_FALSE(App().Checked("CheckBoxCANIDInfoEnable"));
    ASSERT_TRUE(App().SetText("EditUARTFrameInterVal", "25"));
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", 1));
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxCANIDOffset", 3));
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxCANIDLen", 2));

    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", 2));
    EXPECT_FALSE(App().Enabled("EditUARTFrameInterVal"));
    EXPECT_EQ(App().Text("EditUARTFrameInterVal"), "25");
    EXPECT_TRUE(App().Checked("CheckBoxCANFrameInfoEnable"));
    EXPECT_EQ(App().ComboIndex("ComboBoxCANIDOffset"), 3);
    EXPECT_EQ(App().ComboIndex("ComboBoxCANIDLen"), 2);

    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", 0));
    EXPECT_EQ(ModeControlStates(App()), kModeTable[0]);
    EXPECT_TRUE(App().Checked("CheckBoxCANFrameInfoEnable"));
    EXPECT_FALSE(App().Checked("CheckBoxCANIDInfoEnable"));
    EXPECT_EQ(App().Text("EditUARTFrameInterVal"), "25");
    EXPECT_EQ(App().ComboIndex("ComboBoxCANIDOffset"), 3);

    // Back to the stored state.
    ASSERT_TRUE(App().Click("CheckBoxCANFrameInfoEnable"));
    ASSERT_TRUE(App().SetText("EditUARTFrameInterVal", "0"));
}

TEST_F(EnablingRules, CustomBitRateBoxSwitchesBetweenEditsAndLists) {
    ASSERT_TRUE(App().SelectTab("PageControlQUORINQ1", 3));
    const std::string a = App().Text("EditBaudrateA"), b = App().Text("EditBaudrateB");
    const int listA = App().ComboIndex("ComboBoxtBaudrateIndexA"), listB = App().ComboIndex("ComboBoxtBaudrateIndexB");

    for (bool checked : {true, false, true, false}) {
        ASSERT_TRUE(App().Click("CheckBoxBuadrateCustom"));
        ASSERT_EQ(App().Checked("CheckBoxBuadrateCustom"), checked);
        EXPECT_EQ(App().Enabled("EditBaudrateA"), checked);
        EXPECT_EQ(App().Enabled("EditBaudrateB"), checked);
        EXPECT_EQ(App().Enabled("ComboBoxtBaudrateIndexA"), !checked);
        EXPECT_EQ(App().Enabled("ComboBoxtBaudrateIndexB"), !checked);
        // The rule changes no value.
        EXPECT_EQ(App().Text("EditBaudrateA"), a);
        EXPECT_EQ(App().Text("EditBaudrateB"), b);
        EXPECT_EQ(App().ComboIndex("ComboBoxtBaudrateIndexA"), listA);
        EXPECT_EQ(App().ComboIndex("ComboBoxtBaudrateIndexB"), listB);
    }
    // Neither rule reaches the two controls that stay disabled for good.
    EXPECT_FALSE(App().Enabled("ComboBoxFDStandard"));
    ASSERT_TRUE(App().SelectTab("PageControlQUORINQ1", 1));
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", 1));
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxSwitchMode", 0));
    EXPECT_FALSE(App().Enabled("ComboBoxUARTDataBitIndex"));
}

}  // namespace
}  // namespace quorin::gui
