#include "app/UnitCompare.h"

#include "app/Strings.h"

namespace quorin {

QUORIN_DEFINE_CLASS(TCompareBox, TForm) {}

TCompareBox::TCompareBox(TComponent* AOwner) : TForm(AOwner) {
    BindField("LabelSummary", LabelSummary);
    BindField("ListViewDifferences", ListViewDifferences);
    BindField("OKButton", OKButton);
    InitLayout(L"TCOMPAREBOX");
}

void TCompareBox::Fill(const std::vector<TCompareRow>& Rows) {
    SetCaption(LoadStr(IDS_COMPARE_CAPTION));
    OKButton->SetCaption(LoadStr(IDS_COMPARE_OK));
    const unsigned columns[] = {IDS_COMPARE_COLUMN_SETTING, IDS_COMPARE_COLUMN_CONVERTER, IDS_COMPARE_COLUMN_WINDOW};
    for (int i = 0; i < 3; ++i) ListViewDifferences->Columns().Items(i)->SetCaption(LoadStr(columns[i]));
    if (Rows.empty()) {
        LabelSummary->SetCaption(LoadStr(IDS_COMPARE_EQUAL));
    } else {
        std::string summary = LoadStr(IDS_COMPARE_DIFFER);
        if (const auto at = summary.find("%d"); at != std::string::npos)
            summary.replace(at, 2, std::to_string(Rows.size()));
        LabelSummary->SetCaption(summary);
    }
    ListViewDifferences->Items().Clear();
    for (const auto& row : Rows) {
        TListItem* item = ListViewDifferences->Items().Add();
        item->SetCaption(row.Setting);
        item->SubItems().Add(row.Converter);
        item->SubItems().Add(row.Window);
    }
}

void ShowCompareBox(const std::vector<TCompareRow>& Rows) {
    // Made on first use and kept, like the About box: closing a modal form only hides it,
    // and the next comparison shows the same window again, relabelled and refilled.
    static TCompareBox* box = nullptr;
    if (!box) box = new TCompareBox(Application);
    box->Fill(Rows);
    box->ShowModal();
}

}  // namespace quorin
