// The comparison of the window's settings with the converter's (File > Compare with
// converter...): one row per setting that differs, with the converter's value and the
// window's, or "Equal". Made when the operator first asks, labelled in the language in
// force each time it shows.
#pragma once

#include "forms/ComCtrls.h"
#include "forms/Forms.h"
#include "forms/StdCtrls.h"

#include <string>
#include <vector>

namespace quorin {

struct TCompareRow {
    std::string Setting;
    std::string Converter;
    std::string Window;
};

class TCompareBox : public TForm {
    QUORIN_CLASS(TCompareBox, TForm)
public:
    explicit TCompareBox(TComponent* AOwner);

    TLabel* LabelSummary = nullptr;
    TListView* ListViewDifferences = nullptr;
    TButton* OKButton = nullptr;

    // Labels the box in the current language and lists the rows.
    void Fill(const std::vector<TCompareRow>& Rows);
};

// Shows the rows in the box, modally, until the operator closes it.
void ShowCompareBox(const std::vector<TCompareRow>& Rows);

}  // namespace quorin
