// The filter list editor of the "滤波参数" page, driven from outside the real program with
// real message boxes read and answered by the test.
#include "support/GuiHarness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace quorin::gui {
namespace {

using Row = std::vector<std::string>;

constexpr int kFilterPage = 4;
const char kStandard[] = "Standard Frame";
const char kExtended[] = "Extend   Frame";

// The controls that follow "Filter Enable".
const char* const kFilterControls[] = {"ListViewVandrelFrameID",     "ComboBoxVandrelPort", "ComboBoxVandrelFrameType",
                                       "EditVandrelStartID",         "EditVandrelEndID",    "ButtonVandrelFilterIDAdd",
                                       "ButtonVandrelFilterIDDelete"};

// One program for the whole file; each test starts from an empty, enabled list and the
// stored texts of the edits.
class FilterEditor : public ::testing::Test {
protected:
    static void SetUpTestSuite() { app_ = std::make_unique<RunningApp>(); }
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override {
        if (!app_ || !app_->Running()) app_ = std::make_unique<RunningApp>();
        ASSERT_TRUE(app_->Started()) << app_->Failure();
        ASSERT_TRUE(app_->SelectTab("PageControlQUORINQ1", kFilterPage));
        SetFilterEnable(true);
        const auto rows = app_->ListRows("ListViewVandrelFrameID");
        if (!rows.empty()) {
            std::vector<int> all;
            for (int i = 0; i < int(rows.size()); ++i) all.push_back(i);
            ASSERT_TRUE(app_->SelectRows("ListViewVandrelFrameID", all));
            ASSERT_TRUE(app_->Click("ButtonVandrelFilterIDDelete"));
            ASSERT_TRUE(app_->ListRows("ListViewVandrelFrameID").empty());
        }
        ASSERT_TRUE(app_->SelectComboIndex("ComboBoxVandrelFrameType", 0));
        ASSERT_TRUE(app_->SetText("EditVandrelStartID", "00000000"));
        ASSERT_TRUE(app_->SetText("EditVandrelEndID", "FFFFFFFF"));
    }

    void TearDown() override {
        while (auto box = app_->CurrentMessageBox()) {
            ADD_FAILURE() << "message box left open: " << box->caption << ": " << box->text;
            if (!app_->PressButton(*box, IDOK)) break;
        }
    }

    RunningApp& App() { return *app_; }
    std::vector<Row> Rows() { return app_->ListRows("ListViewVandrelFrameID"); }

    void SetFilterEnable(bool on) {
        if (app_->Checked("CheckBoxVandrelFilterEnable") != on) {
            ASSERT_TRUE(app_->Click("CheckBoxVandrelFilterEnable"));
        }
        ASSERT_EQ(app_->Checked("CheckBoxVandrelFilterEnable"), on);
    }

    // Types the range, picks the frame type and presses Add, expecting no message.
    void Add(const std::string& start, const std::string& end, int frameType = 0) {
        ASSERT_TRUE(app_->SelectComboIndex("ComboBoxVandrelFrameType", frameType));
        ASSERT_TRUE(app_->SetText("EditVandrelStartID", start));
        ASSERT_TRUE(app_->SetText("EditVandrelEndID", end));
        ASSERT_TRUE(app_->Click("ButtonVandrelFilterIDAdd"));
    }

    // Like Add, but the press must bring up a message box; it is answered with OK and
    // returned.
    MessageBoxInfo AddExpectingBox(const std::string& start, const std::string& end, int frameType = 0) {
        EXPECT_TRUE(app_->SelectComboIndex("ComboBoxVandrelFrameType", frameType));
        EXPECT_TRUE(app_->SetText("EditVandrelStartID", start));
        EXPECT_TRUE(app_->SetText("EditVandrelEndID", end));
        EXPECT_TRUE(app_->ClickAsync("ButtonVandrelFilterIDAdd"));
        auto box = app_->WaitMessageBox();
        if (!box) {
            ADD_FAILURE() << "no message box for " << start << ".." << end;
            return {};
        }
        EXPECT_EQ(box->buttons.size(), 1u);
        lastBoxOwned_ = GetWindow(box->window, GW_OWNER) != nullptr;
        lastMainEnabled_ = IsWindowEnabled(app_->MainWindow()) != FALSE;
        EXPECT_TRUE(app_->PressButton(*box, IDOK));
        return *box;
    }

    // A warning of the editor itself: its own text and title, no owner window.
    void ExpectWarning(const MessageBoxInfo& box, const std::string& text, const std::string& caption) {
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        EXPECT_FALSE(lastBoxOwned_) << text;
        // Ownerless, yet modal to the program: the main window takes no input meanwhile.
        EXPECT_FALSE(lastMainEnabled_) << text;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(app_->MainWindow()) != FALSE; })) << text;
    }

    bool lastBoxOwned_ = false;
    bool lastMainEnabled_ = true;

    static std::unique_ptr<RunningApp> app_;
};

std::unique_ptr<RunningApp> FilterEditor::app_;

// The conversion error as the application's exception display shows it, with the full
// stop the display adds to a message that has none.
std::string ConversionMessage(const std::string& text) { return "'" + text + "' is not a valid integer value."; }

TEST_F(FilterEditor, StoredDefaultsGiveAStandardThenAnExtendedRow) {
    ASSERT_TRUE(App().Click("ButtonVandrelFilterIDAdd"));
    ASSERT_TRUE(App().SelectComboIndex("ComboBoxVandrelFrameType", 1));
    ASSERT_TRUE(App().Click("ButtonVandrelFilterIDAdd"));
    EXPECT_EQ(Rows(), (std::vector<Row>{{"CAN1", kStandard, "0x00000000", "0x000007FF"},
                                        {"CAN1", kExtended, "0x00000000", "0x1FFFFFFF"}}));
    // The edits keep what was typed; only the rows show the masked values.
    EXPECT_EQ(App().Text("EditVandrelEndID"), "FFFFFFFF");
    EXPECT_FALSE(App().CurrentMessageBox());
}

struct Accepted {
    std::string start, end;
    int frameType;
    std::string rowStart, rowEnd;
};

void PrintTo(const Accepted& c, std::ostream* os) { *os << c.start << ".." << c.end << " type " << c.frameType; }

class FilterAccepts : public FilterEditor, public ::testing::WithParamInterface<Accepted> {};

TEST_P(FilterAccepts, AppendsTheMaskedRange) {
    const Accepted& c = GetParam();
    Add(c.start, c.end, c.frameType);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"CAN1", c.frameType == 0 ? kStandard : kExtended, c.rowStart, c.rowEnd}}));
}

INSTANTIATE_TEST_SUITE_P(Ranges, FilterAccepts,
                         ::testing::Values(
                             // Bits above the identifier width go without a word: 800 becomes 0.
                             Accepted{"800", "7FF", 0, "0x00000000", "0x000007FF"},
                             Accepted{"123", "123", 0, "0x00000123", "0x00000123"},
                             Accepted{"abc", "ABCDEF", 1, "0x00000ABC", "0x00ABCDEF"},
                             Accepted{"80000000", "FFFFFFFF", 1, "0x00000000", "0x1FFFFFFF"},
                             Accepted{"0000000000007ff", "7FF", 0, "0x000007FF", "0x000007FF"},
                             Accepted{"0", "1fffffff", 1, "0x00000000", "0x1FFFFFFF"}));

struct Refused {
    std::string start, end;
    int frameType;
    std::string text, caption;  // caption empty: the application's exception display
};

void PrintTo(const Refused& c, std::ostream* os) { *os << c.start << ".." << c.end << " type " << c.frameType; }

class FilterRefuses : public FilterEditor, public ::testing::WithParamInterface<Refused> {};

TEST_P(FilterRefuses, WithAMessageAndNoRow) {
    const Refused& c = GetParam();
    Add("1", "2");  // one row already there, which must survive
    const auto box = AddExpectingBox(c.start, c.end, c.frameType);
    if (c.caption.empty()) {
        EXPECT_EQ(box.text, c.text);
    } else {
        ExpectWarning(box, c.text, c.caption);
    }
    EXPECT_EQ(Rows(), (std::vector<Row>{{"CAN1", kStandard, "0x00000001", "0x00000002"}}));
    // The program goes on: the next valid Add works.
    Add("3", "4");
    EXPECT_EQ(Rows().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Ranges, FilterRefuses,
                         ::testing::Values(Refused{"7FF", "100", 0, "Start ID must be smaller than End ID!", "Warning"},
                                           // Only after masking is start greater than end.
                                           Refused{"FFFFFFFF", "0", 1, "Start ID must be smaller than End ID!",
                                                   "Warning"},
                                           Refused{"7FF", "800", 0, "Start ID must be smaller than End ID!", "Warning"},
                                           Refused{"1G", "5", 0, ConversionMessage("0x1G"), ""},
                                           Refused{"5", "zz", 0, ConversionMessage("0xzz"), ""},
                                           // The start is converted first and is the one named.
                                           Refused{"q", "r", 0, ConversionMessage("0xq"), ""},
                                           Refused{"", "5", 0, ConversionMessage("0x"), ""},
                                           Refused{" 123", "FFF", 0, ConversionMessage("0x 123"), ""},
                                           Refused{"123 ", "FFF", 0, ConversionMessage("0x123 "), ""},
                                           Refused{"123456789", "FFF", 1, ConversionMessage("0x123456789"), ""},
                                           Refused{"0x10", "FFF", 0, ConversionMessage("0x0x10"), ""},
                                           Refused{"-1", "FFF", 0, ConversionMessage("0x-1"), ""}));

TEST_F(FilterEditor, DuplicateIsIgnoredSilentlyButTheOtherFrameTypeIsNot) {
    Add("100", "200", 0);
    Add("100", "200", 0);
    // Same masked range typed differently is still the same row.
    Add("00000100", "0200", 0);
    EXPECT_EQ(Rows().size(), 1u);
    Add("100", "200", 1);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"CAN1", kStandard, "0x00000100", "0x00000200"},
                                        {"CAN1", kExtended, "0x00000100", "0x00000200"}}));
    EXPECT_FALSE(App().CurrentMessageBox());
}

TEST_F(FilterEditor, SixteenRowsLimitComesAfterConversionButBeforeEverythingElse) {
    for (int i = 0; i < 16; ++i) Add(std::to_string(i + 10), std::to_string(i + 10));
    ASSERT_EQ(Rows().size(), 16u);

    // A duplicate of row 0: the limit is reported first.
    ExpectWarning(AddExpectingBox("10", "10"), "All the filter has been used!", "Waring");
    // So is a range that would be refused for its order.
    ExpectWarning(AddExpectingBox("7FF", "100"), "All the filter has been used!", "Waring");
    // A text that does not convert is reported before the count is looked at.
    EXPECT_EQ(AddExpectingBox("1G", "10").text, ConversionMessage("0x1G"));
    EXPECT_EQ(AddExpectingBox("10", "1G").text, ConversionMessage("0x1G"));
    EXPECT_EQ(Rows().size(), 16u);

    // Deleting one row makes room again.
    ASSERT_TRUE(App().SelectRows("ListViewVandrelFrameID", {15}));
    ASSERT_TRUE(App().Click("ButtonVandrelFilterIDDelete"));
    Add("700", "7FF");
    EXPECT_EQ(Rows().size(), 16u);
    EXPECT_EQ(Rows().back(), (Row{"CAN1", kStandard, "0x00000700", "0x000007FF"}));
}

TEST_F(FilterEditor, DeleteRemovesEverySelectedRowAndNothingElse) {
    for (int i = 1; i <= 5; ++i) Add(std::to_string(i), std::to_string(i));
    // Nothing selected: nothing happens.
    ASSERT_TRUE(App().SelectRows("ListViewVandrelFrameID", {}));
    ASSERT_TRUE(App().Click("ButtonVandrelFilterIDDelete"));
    ASSERT_EQ(Rows().size(), 5u);

    ASSERT_TRUE(App().SelectRows("ListViewVandrelFrameID", {0, 2, 4}));
    ASSERT_TRUE(App().Click("ButtonVandrelFilterIDDelete"));
    EXPECT_EQ(Rows(), (std::vector<Row>{{"CAN1", kStandard, "0x00000002", "0x00000002"},
                                        {"CAN1", kStandard, "0x00000004", "0x00000004"}}));
    EXPECT_FALSE(App().CurrentMessageBox());
}

TEST_F(FilterEditor, FilterEnableSwitchesTheSevenControlsAndKeepsTheRows) {
    Add("1", "2");
    Add("3", "4", 1);
    const auto rows = Rows();

    SetFilterEnable(false);
    for (const char* name : kFilterControls) EXPECT_FALSE(App().Enabled(name)) << name;
    EXPECT_TRUE(App().Enabled("CheckBoxVandrelFilterEnable"));
    EXPECT_EQ(Rows(), rows);

    SetFilterEnable(true);
    for (const char* name : kFilterControls) EXPECT_TRUE(App().Enabled(name)) << name;
    EXPECT_EQ(Rows(), rows);
}

TEST_F(FilterEditor, ForwardingCheckBoxesLeaveTheFilterPageAlone) {
    for (bool filterOn : {false, true}) {
        ASSERT_TRUE(App().SelectTab("PageControlQUORINQ1", kFilterPage));
        SetFilterEnable(filterOn);
        ASSERT_TRUE(App().SelectTab("PageControlQUORINQ1", 1));
        for (const char* box : {"CheckBoxCANFrameInfoEnable", "CheckBoxCANIDInfoEnable"}) {
            for (int click = 0; click < 2; ++click) {
                ASSERT_TRUE(App().Click(box));
                for (const char* name : kFilterControls) EXPECT_EQ(App().Enabled(name), filterOn) << box << " " << name;
                EXPECT_EQ(App().Checked("CheckBoxVandrelFilterEnable"), filterOn);
            }
        }
    }
    ASSERT_TRUE(App().SelectTab("PageControlQUORINQ1", kFilterPage));
}

// Edits the caption of a row in place, as an operator does by clicking into the "Port" cell,
// typing and pressing Enter.
bool EditRowCaption(RunningApp& app, int row, const std::string& text) {
    HWND list = app.Window("ListViewVandrelFrameID");
    if (!list) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list, LVM_EDITLABELW, WPARAM(row), 0, SMTO_ABORTIFHUNG, 5000, &result) || !result)
        return false;
    HWND edit = reinterpret_cast<HWND>(result);
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, LPARAM(Widen(text).c_str()), SMTO_ABORTIFHUNG, 5000, &result))
        return false;
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(edit, WM_KEYUP, VK_RETURN, LPARAM(1u | (1u << 30) | (1u << 31)));
    return WaitUntil([&] { return !IsWindow(edit); });
}

TEST_F(FilterEditor, EditedPortTextMakesTheSameRangeANewRow) {
    Add("100", "1FF");
    ASSERT_TRUE(EditRowCaption(App(), 0, "CAN0"));
    ASSERT_EQ(Rows().at(0).at(0), "CAN0");
    Add("100", "1FF");
    EXPECT_EQ(Rows(), (std::vector<Row>{{"CAN0", kStandard, "0x00000100", "0x000001FF"},
                                        {"CAN1", kStandard, "0x00000100", "0x000001FF"}}));
    // The comparison is exact: a port text in another case is no duplicate either.
    ASSERT_TRUE(EditRowCaption(App(), 1, "can1"));
    Add("100", "1FF");
    EXPECT_EQ(Rows().size(), 3u);
    Add("100", "1FF");
    EXPECT_EQ(Rows().size(), 3u);
}

}  // namespace
}  // namespace quorin::gui
