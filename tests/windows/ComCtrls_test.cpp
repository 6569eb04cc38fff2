// The common controls seen through their native messages: the list view in report style
// (columns, rows with sub-items, selection, in-place editing), the status bar's panels.
#include "forms/ComCtrls.h"
#include "forms/Forms.h"
#include "forms/WinText.h"

#include <gtest/gtest.h>
#include <vector>
#include <string>

using namespace quorin;

namespace {

const char* kLayout = R"(ListForm: TForm {
  ClientWidth = 640
  ClientHeight = 260
  List: TListView {
    Left = 8 Top = 8 Width = 569 Height = 161
    Color = clWhite
    Columns = (
      { Caption = "Port" Width = 100 }
      { Alignment = taCenter Caption = "Frame Type" Width = 150 }
      { Alignment = taCenter Caption = "Start ID" Width = 150 }
    )
    Items = ({ Caption = "Vendor ID" } { Caption = "Product Type" })
    GridLines = true
    MultiSelect = true
    ReadOnly = false
    RowSelect = true
    ViewStyle = vsReport
  }
  Status: TStatusBar {
    Left = 0 Top = 241 Width = 640 Height = 19
    Align = alBottom
    Panels = ({ Alignment = taCenter Text = "www.quorin.example" Width = 350 } { Width = 50 })
    SimplePanel = false
  }
}
)";

class ListForm : public TForm {
public:
    ListForm() : TForm(nullptr) {
        BindField("List", List);
        BindField("Status", Status);
        InitLayoutText(kLayout);
        Show();
    }
    TListView* List = nullptr;
    TStatusBar* Status = nullptr;
};

std::string CellText(HWND list, int row, int column) {
    wchar_t buf[256] = {};
    LVITEMW it{};
    it.iSubItem = column;
    it.pszText = buf;
    it.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&it));
    return ToUtf8(buf);
}

std::string PanelText(HWND bar, int panel) {
    wchar_t buf[256] = {};
    SendMessageW(bar, SB_GETTEXTW, WPARAM(panel), reinterpret_cast<LPARAM>(buf));
    return ToUtf8(buf);
}

class ComCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        form = new ListForm();
        list = form->List->Handle();
    }
    void TearDown() override { delete form; }
    ListForm* form = nullptr;
    HWND list = nullptr;
};

}  // namespace

TEST_F(ComCtrlsTest, ListViewIsAReportWithTheStoredColumnsAndRows) {
    const LONG style = GetWindowLongW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_EDITLABELS);
    const DWORD ex = DWORD(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
    EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 100);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 2, 0), 150);
    LVCOLUMNW col{};
    col.mask = LVCF_FMT;
    SendMessageW(list, LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
    EXPECT_EQ(col.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(CellText(list, 1, 0), "Product Type");
    EXPECT_EQ(SendMessageW(list, LVM_GETBKCOLOR, 0, 0), RGB(255, 255, 255));
}

TEST_F(ComCtrlsTest, RowsAddedEditedAndDeletedFromCodeReachTheWindow) {
    TListItems& items = form->List->Items();
    TListItem* row = items.Add();
    row->SetCaption("CAN1");
    row->SubItems().Add("Standard Frame");
    row->SubItems().Add("0x00000000");
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(CellText(list, 2, 0), "CAN1");
    EXPECT_EQ(CellText(list, 2, 1), "Standard Frame");
    EXPECT_EQ(CellText(list, 2, 2), "0x00000000");
    row->SubItems().Put(1, "0xFFFFFFFF");
    EXPECT_EQ(CellText(list, 2, 2), "0xFFFFFFFF");
    items.Item(0)->Delete();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(CellText(list, 0, 0), "Product Type");
    EXPECT_EQ(CellText(list, 1, 1), "Standard Frame");
    items.Clear();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ComCtrlsTest, SelectionIsTheWindowsAndSurvivesChangesToOtherRows) {
    TListItems& items = form->List->Items();
    for (int i = 0; i < 4; ++i) items.Add()->SetCaption("row" + std::to_string(i));
    // The operator selects rows 1 and 3 (of the six).
    LVITEMW st{};
    st.stateMask = LVIS_SELECTED;
    st.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&st));
    SendMessageW(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&st));
    EXPECT_EQ(form->List->SelCount(), 2);
    EXPECT_EQ(form->List->Selected(), items.Item(1));
    EXPECT_EQ(form->List->GetNextItem(items.Item(1), LVNI_SELECTED), items.Item(3));
    // Deleting the selected rows one by one, as a delete command does, finds each of them.
    while (TListItem* selected = form->List->Selected()) selected->Delete();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(CellText(list, 1, 0), "row0");
    EXPECT_EQ(CellText(list, 2, 0), "row2");
    // A row added later leaves another row's selection alone.
    items.Item(2)->SetSelected(true);
    items.Add()->SetCaption("new");
    EXPECT_TRUE(items.Item(2)->Selected());
    EXPECT_EQ(form->List->SelCount(), 1);
}

// A row leaves the window before its members go: a selection handler that reads the row
// while it is removed (the control reports the row's deselection then) finds it whole.
TEST_F(ComCtrlsTest, ARowBeingDeletedIsWholeForTheHandlersThatReadIt) {
    TListItems& items = form->List->Items();
    items.Clear();
    for (int i = 0; i < 3; ++i) {
        TListItem* row = items.Add();
        row->SetCaption("CAN" + std::to_string(i));
        row->SubItems().Add("a frame type text long enough for the heap");
        row->SubItems().Add("0x00000100, also a text on the heap");
    }
    std::vector<std::string> seen;
    int broken = 0;
    auto read = [&](TListItem* item) {
        // A row whose own part is destroyed already has lost its class.
        if (!dynamic_cast<TListItem*>(static_cast<TCollectionItem*>(item))) {
            ++broken;
            return;
        }
        std::string cells = item->Caption();
        for (int i = 0; i < item->SubItems().Count(); ++i) cells += "|" + item->SubItems()[i];
        seen.push_back(cells);
    };
    form->List->OnSelectItem = [&](TObject*, TListItem* item, bool) { read(item); };
    form->List->OnChange = [&](TObject*) {
        for (int i = 0; i < form->List->Items().Count(); ++i) read(form->List->Items().Item(i));
    };
    for (int i = 0; i < 3; ++i) items.Item(i)->SetSelected(true);
    seen.clear();
    items.Item(1)->Delete();
    items.Delete(0);
    items.Clear();
    form->List->OnSelectItem = nullptr;
    form->List->OnChange = nullptr;
    EXPECT_EQ(broken, 0);
    for (const auto& cells : seen)
        EXPECT_EQ(cells.substr(4), "|a frame type text long enough for the heap|0x00000100, also a text on the heap");
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
}

TEST_F(ComCtrlsTest, InPlaceCaptionEditUpdatesTheItem) {
    TListItem* row = form->List->Items().Item(0);
    std::string edited;
    form->List->OnEdited = [&](TObject*, TListItem*, std::string& s) { edited = s; };
    ::SetFocus(list);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, 0, 0));
    ASSERT_NE(edit, nullptr) << "the list view is not read-only, so its captions can be edited";
    SetWindowTextW(edit, L"CAN0");
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Application->ProcessMessages();
    EXPECT_EQ(edited, "CAN0");
    EXPECT_EQ(row->Caption(), "CAN0");
    EXPECT_EQ(CellText(list, 0, 0), "CAN0");
}

TEST_F(ComCtrlsTest, StatusBarPanelsEndAtTheirWidthsAndTheLastStretches) {
    HWND bar = form->Status->Handle();
    int edges[4] = {};
    EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 350);
    EXPECT_EQ(edges[1], -1);
    EXPECT_EQ(PanelText(bar, 0), "\twww.quorin.example")
        << "a centred panel's text carries the status bar's centring tab";
    form->Status->Panels()[1]->SetText("Read Parameter Success!");
    EXPECT_EQ(PanelText(bar, 1), "Read Parameter Success!");
    RECT r;
    GetWindowRect(bar, &r);
    MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.bottom, 260) << "aligned to the bottom of the client area";
    EXPECT_EQ(r.right - r.left, 640);
}
