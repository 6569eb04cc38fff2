// The memo and the stand-alone scroll bar: thin wrappers over "EDIT" and "SCROLLBAR".
#include "forms/StdCtrls.h"

#include "forms/WinText.h"

#include <algorithm>

namespace quorin {

// ======================= TMemo =======================

QUORIN_DEFINE_CLASS(TMemo, TCustomEdit) {
    p.Enum<TScrollStyle>("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars,
                         {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    p.Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap);
}

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
    FWidth = 185;
    FHeight = 89;
}

void TMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style &= ~DWORD(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (!FWordWrap || FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth) Params.Style |= WS_HSCROLL;
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TMemo::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    RecreateWnd();
}

std::vector<std::string> TMemo::Lines() const {
    std::vector<std::string> lines;
    const std::string text = Text();
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < text.size()) lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void TMemo::SetLines(const std::vector<std::string>& Value) {
    std::string text;
    for (size_t i = 0; i < Value.size(); ++i) {
        if (i) text += "\r\n";
        text += Value[i];
    }
    SetText(text);
}

// ======================= TScrollBar =======================

QUORIN_DEFINE_CLASS(TScrollBar, TWinControl) {
    p.Enum<TScrollBarKind>("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, {"sbHorizontal", "sbVertical"});
    p.Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition, INT32_MIN, INT32_MAX);
    p.Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize, 0, INT32_MAX);
    p.Event("OnChange", &TScrollBar::OnChange);
}

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    FTabStop = true;
    FWidth = 121;
    FHeight = GetSystemMetrics(SM_CYHSCROLL);
}

void TScrollBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = L"SCROLLBAR";
    Params.Style |= FKind == TScrollBarKind::sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::InitializeWnd() { UpdateInfo(); }

void TScrollBar::UpdateInfo() {
    if (!FHandle) return;
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE, FMin, FMax, UINT(FPageSize), FPosition, 0};
    SetScrollInfo(FHandle, SB_CTL, &info, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (Value == FKind) return;
    FKind = Value;
    if ((FWidth < FHeight) != (Value == TScrollBarKind::sbVertical)) SetBounds(FLeft, FTop, FHeight, FWidth);
    RecreateWnd();
}

void TScrollBar::SetRange(int AMin, int AMax) {
    FMin = AMin;
    FMax = std::max(AMin, AMax);
    FPosition = std::clamp(FPosition, FMin, FMax);
    UpdateInfo();
}

void TScrollBar::SetPosition(int Value) {
    Value = std::clamp(Value, FMin, FMax);
    if (Value == FPosition) return;
    FPosition = Value;
    UpdateInfo();
    if (OnChange) OnChange(this);
}

void TScrollBar::SetPageSize(int Value) {
    FPageSize = std::max(0, Value);
    UpdateInfo();
}

// The parent hands the bar's own WM_HSCROLL / WM_VSCROLL back to it: move the thumb.
void TScrollBar::WndProc(TMessage& Message) {
    if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(FHandle, SB_CTL, &info);
        const int maxPos = FMax - std::max(0, FPageSize - 1);
        int pos = FPosition;
        switch (LOWORD(Message.WParam)) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= std::max(1, FPageSize); break;
        case SB_PAGEDOWN: pos += std::max(1, FPageSize); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = info.nTrackPos; break;
        case SB_TOP: pos = FMin; break;
        case SB_BOTTOM: pos = maxPos; break;
        default: Message.Result = 0; return;
        }
        SetPosition(std::clamp(pos, FMin, std::max(FMin, maxPos)));
        Message.Result = 0;
        return;
    }
    TWinControl::WndProc(Message);
}

}  // namespace quorin
