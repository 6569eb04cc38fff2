// A radio group: a group box that makes one radio button per item of its list and keeps
// one of them chosen (ItemIndex). Windows only.
#pragma once

#include "forms/StdCtrls.h"
#include "forms/StringList.h"

#include <vector>

namespace quorin {

class TRadioGroup : public TGroupBox {
    QUORIN_CLASS(TRadioGroup, TGroupBox)
public:
    explicit TRadioGroup(TComponent* AOwner);
    ~TRadioGroup() override;
    TStrings& Items() { return FItems; }
    const TStrings& Items() const { return FItems; }
    void SetItems(const TStrings& Value);
    // -1 when no item is chosen.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // The radio buttons, one per item, in item order.
    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int Index) const { return FButtons.at(size_t(Index)); }
    TNotifyEvent OnChange;

protected:
    void Loaded() override;
    void BoundsChanged() override;
    void UpdateButtons();
    void ArrangeButtons();

    TStringList FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    bool FUpdating = false;
};

}  // namespace quorin
