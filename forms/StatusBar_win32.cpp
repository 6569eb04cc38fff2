// The status bar and the tree view.
#include "forms/ComCtrls.h"

#include "forms/Forms.h"
#include "forms/Accessible.h"
#include "forms/WinText.h"

#include <algorithm>

namespace quorin {

// ======================= panels =======================

QUORIN_DEFINE_CLASS(TStatusPanel, TCollectionItem) {
    p.Str("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
    p.Int("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth, 0, 100000);
    p.Enum<TAlignment>("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment,
                       {"taLeftJustify", "taRightJustify", "taCenter"});
}

void TStatusPanel::SetText(const std::string& Value) {
    if (Value == FText) return;
    FText = Value;
    Changed(false);
    if (auto* bar = dynamic_cast<TStatusBar*>(Collection() ? Collection()->Owner() : nullptr))
        AccessibleChanged(bar, TAccessibleChange::Name, Index() + 1);
}

void TStatusPanel::SetWidth(int Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed(false);
}

void TStatusPanel::Assign(const TPersistent& Source) {
    if (auto* p = dynamic_cast<const TStatusPanel*>(&Source)) {
        FText = p->FText;
        FWidth = p->FWidth;
        FAlignment = p->FAlignment;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(Source);
}

QUORIN_DEFINE_CLASS(TStatusPanels, TCollection) {}

TStatusPanels::TStatusPanels(TStatusBar* Owner)
    : TCollection(CollectionItemFactory<TStatusPanel>(), Owner), FStatusBar(Owner) {
    OnUpdate = [this](TCollectionItem*) { FStatusBar->UpdatePanels(); };
}

// ======================= TStatusBar =======================

QUORIN_DEFINE_CLASS(TStatusBar, TWinControl) {
    p.Collection("Panels",
                 [](const TStatusBar& s) -> const TStatusPanels& { return const_cast<TStatusBar&>(s).Panels(); });
    p.Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel);
    p.Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
    p.Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip);
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = false;
    FHeight = 19;
    FWidth = 200;
    FAlign = TAlign::alBottom;
}

void TStatusBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = STATUSCLASSNAMEW;
    // The framework places the bar (Align); the control must not move itself.
    Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    TCustomForm* form = GetParentForm();
    const bool sizeable = form && (form->BorderStyle() == TFormBorderStyle::bsSizeable ||
                                   form->BorderStyle() == TFormBorderStyle::bsSizeToolWin);
    if (FSizeGrip && sizeable) Params.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::InitializeWnd() { UpdatePanels(); }

void TStatusBar::BoundsChanged() {
    TWinControl::BoundsChanged();
    UpdatePanels();
}

void TStatusBar::SetSimplePanel(bool Value) {
    FSimplePanel = Value;
    UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& Value) {
    FSimpleText = Value;
    if (FHandle && FSimplePanel)
        SendMessageW(FHandle, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(ToWide(Value).c_str()));
}

void TStatusBar::SetSizeGrip(bool Value) {
    if (Value == FSizeGrip) return;
    FSizeGrip = Value;
    RecreateWnd();
}

// Each panel ends where its width says; the last one reaches the right edge. A centred
// panel's text is sent with one leading tab and a right-aligned one with two, which is how
// the status-bar control aligns text (SB_GETTEXT reads them back with those tabs).
void TStatusBar::ScaleForDpi(const TDpiScale& Scale) {
    TWinControl::ScaleForDpi(Scale);
    UpdatePanels();
}

void TStatusBar::UpdatePanels() {
    if (!FHandle) return;
    SendMessageW(FHandle, SB_SIMPLE, FSimplePanel, 0);
    if (FSimplePanel) {
        SendMessageW(FHandle, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(ToWide(FSimpleText).c_str()));
        return;
    }
    const int n = std::min(FPanels.Count(), 255);
    std::vector<int> edges(size_t(std::max(n, 1)), -1);
    int x = 0;
    const TDpiScale scale = DpiScale();
    for (int i = 0; i < n; ++i) {
        x += scale.Scale(FPanels.Items(i)->Width());
        edges[size_t(i)] = i == n - 1 ? -1 : x;
    }
    SendMessageW(FHandle, SB_SETPARTS, WPARAM(std::max(n, 1)), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < n; ++i) {
        const TStatusPanel* p = FPanels.Items(i);
        std::wstring text = ToWide(p->Text());
        if (p->Alignment() == TAlignment::taCenter)
            text.insert(0, L"\t");
        else if (p->Alignment() == TAlignment::taRightJustify)
            text.insert(0, L"\t\t");
        SendMessageW(FHandle, SB_SETTEXTW, WPARAM(i), reinterpret_cast<LPARAM>(text.c_str()));
    }
    if (n == 0) SendMessageW(FHandle, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
}

void TStatusBar::WndProc(TMessage& Message) {
    TWinControl::WndProc(Message);
    if (Message.Msg == WM_SIZE) UpdatePanels();
}

// ======================= TTreeView =======================

QUORIN_DEFINE_CLASS(TTreeView, TWinControl) {
    p.Int("Indent", &TTreeView::Indent, &TTreeView::SetIndent, 0, 1000);
    p.Bool("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly);
    p.Bool("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines);
    p.Bool("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot);
    p.Bool("ShowButtons", &TTreeView::ShowButtons, &TTreeView::SetShowButtons);
    p.Bool("HideSelection", &TTreeView::HideSelection, &TTreeView::SetHideSelection);
}

TTreeView::TTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clWindow;
    FTabStop = true;
    FWidth = 121;
    FHeight = 97;
}

void TTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = WC_TREEVIEWW;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
    if (FShowLines) Params.Style |= TVS_HASLINES;
    if (FShowRoot) Params.Style |= TVS_LINESATROOT;
    if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
    if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
    if (!FHideSelection) Params.Style |= TVS_SHOWSELALWAYS;
}

void TTreeView::InitializeWnd() { SendMessageW(FHandle, TVM_SETINDENT, WPARAM(FIndent), 0); }

void TTreeView::SetIndent(int Value) {
    FIndent = Value;
    if (FHandle) SendMessageW(FHandle, TVM_SETINDENT, WPARAM(Value), 0);
}

void TTreeView::SetReadOnly(bool Value) {
    if (Value != FReadOnly) {
        FReadOnly = Value;
        RecreateWnd();
    }
}
void TTreeView::SetShowLines(bool Value) {
    if (Value != FShowLines) {
        FShowLines = Value;
        RecreateWnd();
    }
}
void TTreeView::SetShowRoot(bool Value) {
    if (Value != FShowRoot) {
        FShowRoot = Value;
        RecreateWnd();
    }
}
void TTreeView::SetShowButtons(bool Value) {
    if (Value != FShowButtons) {
        FShowButtons = Value;
        RecreateWnd();
    }
}

HTREEITEM TTreeView::AddNode(HTREEITEM Parent, const std::string& Text) {
    std::wstring text = ToWide(Text);
    TVINSERTSTRUCTW ins{};
    ins.hParent = Parent ? Parent : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = text.data();
    return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

int TTreeView::NodeCount() { return int(SendMessageW(Handle(), TVM_GETCOUNT, 0, 0)); }

void TTreeView::ClearNodes() { SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

}  // namespace quorin
