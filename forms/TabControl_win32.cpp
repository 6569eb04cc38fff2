// The tab control without pages, the track bar and the header control: thin wrappers over
// their common controls.
#include "forms/ComCtrls.h"

#include "forms/WinText.h"

#include <algorithm>

namespace quorin {

// ======================= TTabControl =======================

QUORIN_DEFINE_CLASS(TTabControl, TWinControl) {
    p.Strings("Tabs", [](const TTabControl& c) -> const TStrings& { return const_cast<TTabControl&>(c).Tabs(); });
    p.Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex, -1, INT32_MAX);
    p.Enum<TTabPosition>("TabPosition", &TTabControl::TabPosition, &TTabControl::SetTabPosition,
                         {"tpTop", "tpBottom", "tpLeft", "tpRight"});
    p.Event("OnChange", &TTabControl::OnChange);
}

TTabControl::TTabControl(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = true;
    FTabStop = true;
    FWidth = 289;
    FHeight = 193;
}

void TTabControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = WC_TABCONTROLW;
    Params.Style |= WS_CLIPCHILDREN | TCS_FOCUSONBUTTONDOWN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
    switch (FTabPosition) {
    case TTabPosition::tpBottom: Params.Style |= TCS_BOTTOM; break;
    case TTabPosition::tpLeft: Params.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
    case TTabPosition::tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    default: break;
    }
}

void TTabControl::InitializeWnd() { UpdateTabs(); }

void TTabControl::SetTabs(const TStrings& Value) {
    FTabs.Assign(Value);
    UpdateTabs();
}

void TTabControl::UpdateTabs() {
    if (!FHandle) return;
    SendMessageW(FHandle, TCM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < FTabs.Count(); ++i) {
        std::wstring text = ToWide(FTabs[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(FHandle, TCM_INSERTITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(FHandle, TCM_SETCURSEL, WPARAM(FTabIndex), 0);
}

int TTabControl::TabIndex() const { return FHandle ? int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0)) : FTabIndex; }

void TTabControl::SetTabIndex(int Value) {
    FTabIndex = Value;
    if (FHandle) SendMessageW(FHandle, TCM_SETCURSEL, WPARAM(Value), 0);
}

void TTabControl::SetTabPosition(TTabPosition Value) {
    if (Value == FTabPosition) return;
    FTabPosition = Value;
    RecreateWnd();
}

void TTabControl::WndProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr->code == TCN_SELCHANGE) {
            FTabIndex = TabIndex();
            if (OnChange) OnChange(this);
            return;
        }
    }
    if (Message.Msg == WM_DESTROY) FTabIndex = TabIndex();
    TWinControl::WndProc(Message);
}

// ======================= TTrackBar =======================

QUORIN_DEFINE_CLASS(TTrackBar, TWinControl) {
    p.Int("Min", &TTrackBar::Min, &TTrackBar::SetMin, INT32_MIN, INT32_MAX);
    p.Int("Max", &TTrackBar::Max, &TTrackBar::SetMax, INT32_MIN, INT32_MAX);
    p.Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition, INT32_MIN, INT32_MAX);
    p.Enum<TTrackBarOrientation>("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation,
                                 {"trHorizontal", "trVertical"});
    p.Event("OnChange", &TTrackBar::OnChange);
}

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
    FTabStop = true;
    FWidth = 150;
    FHeight = 45;
    FColor = clBtnFace;
    FParentColor = true;
}

void TTrackBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = TRACKBAR_CLASSW;
    Params.Style |= TBS_AUTOTICKS | (FOrientation == TTrackBarOrientation::trVertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::InitializeWnd() {
    SendMessageW(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
    SendMessageW(FHandle, TBM_SETRANGEMAX, FALSE, FMax);
    SendMessageW(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetMin(int Value) {
    FMin = Value;
    if (FHandle) SendMessageW(FHandle, TBM_SETRANGEMIN, TRUE, Value);
}

void TTrackBar::SetMax(int Value) {
    FMax = Value;
    if (FHandle) SendMessageW(FHandle, TBM_SETRANGEMAX, TRUE, Value);
}

int TTrackBar::Position() const { return FHandle ? int(SendMessageW(FHandle, TBM_GETPOS, 0, 0)) : FPosition; }

void TTrackBar::SetPosition(int Value) {
    FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
    if (FHandle) SendMessageW(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    RecreateWnd();
}

void TTrackBar::WndProc(TMessage& Message) {
    if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
        const int position = Position();
        if (position != FPosition) {
            FPosition = position;
            if (OnChange) OnChange(this);
        }
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}

// ======================= THeaderControl =======================

QUORIN_DEFINE_CLASS(THeaderControl, TWinControl) {}

THeaderControl::THeaderControl(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 200;
    FHeight = 20;
    FAlign = TAlign::alTop;
}

void THeaderControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = WC_HEADERW;
    Params.Style |= HDS_BUTTONS | HDS_HORZ;
}

void THeaderControl::InitializeWnd() {
    for (size_t i = 0; i < FSections.size(); ++i) {
        std::wstring text = ToWide(FSections[i].first);
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = text.data();
        item.cxy = FSections[i].second;
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageW(FHandle, HDM_INSERTITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
}

void THeaderControl::AddSection(const std::string& Text, int Width) {
    FSections.emplace_back(Text, Width);
    if (!FHandle) return;
    std::wstring text = ToWide(Text);
    HDITEMW item{};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.pszText = text.data();
    item.cxy = Width;
    item.fmt = HDF_LEFT | HDF_STRING;
    SendMessageW(FHandle, HDM_INSERTITEMW, WPARAM(FSections.size() - 1), reinterpret_cast<LPARAM>(&item));
}

int THeaderControl::SectionCount() const {
    return FHandle ? int(SendMessageW(FHandle, HDM_GETITEMCOUNT, 0, 0)) : int(FSections.size());
}

}  // namespace quorin
