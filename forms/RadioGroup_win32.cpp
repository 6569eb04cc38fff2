// The radio group.
#include "forms/RadioGroup.h"

#include <algorithm>

namespace quorin {

QUORIN_DEFINE_CLASS(TRadioGroup, TGroupBox) {
    p.Strings("Items", [](const TRadioGroup& g) -> const TStrings& { return g.Items(); });
    p.Int("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex, -1, INT32_MAX);
}

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner) {
    FItems.OnChange = [this](TObject*) { UpdateButtons(); };
}

TRadioGroup::~TRadioGroup() {
    FItems.OnChange = nullptr;
    // The buttons are children: the window's teardown frees them.
}

void TRadioGroup::SetItems(const TStrings& Value) { FItems.Assign(Value); }

void TRadioGroup::SetItemIndex(int Value) {
    if (Value < -1 || Value >= FItems.Count()) Value = -1;
    if (Value == FItemIndex) return;
    FItemIndex = Value;
    FUpdating = true;
    for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetChecked(int(i) == Value);
    FUpdating = false;
    if (!(ComponentState() & csLoading) && OnChange) OnChange(this);
}

void TRadioGroup::Loaded() {
    TGroupBox::Loaded();
    UpdateButtons();
}

void TRadioGroup::BoundsChanged() {
    TGroupBox::BoundsChanged();
    ArrangeButtons();
}

void TRadioGroup::UpdateButtons() {
    if (ComponentState() & csLoading) return;
    while (int(FButtons.size()) > FItems.Count()) {
        delete FButtons.back();
        FButtons.pop_back();
    }
    while (int(FButtons.size()) < FItems.Count()) {
        auto* b = new TRadioButton(this);
        b->SetParent(this);
        const size_t index = FButtons.size();
        b->OnClick = [this, index](TObject*) {
            if (!FUpdating) SetItemIndex(int(index));
        };
        FButtons.push_back(b);
    }
    FUpdating = true;
    for (size_t i = 0; i < FButtons.size(); ++i) {
        FButtons[i]->SetCaption(FItems.Strings(int(i)));
        FButtons[i]->SetChecked(int(i) == FItemIndex);
    }
    FUpdating = false;
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (FButtons.empty()) return;
    // One column below the caption line, the rows sharing the height.
    const int top = 16, bottom = 4;
    const int row = std::max((FHeight - top - bottom) / int(FButtons.size()), 1);
    for (size_t i = 0; i < FButtons.size(); ++i)
        FButtons[i]->SetBounds(8, top + int(i) * row, std::max(FWidth - 16, 1), std::min(row, 20));
}

}  // namespace quorin
