// Panels and timers.
#include "forms/ExtCtrls.h"

#include "forms/Forms.h"
#include "forms/WinText.h"

#include <map>

namespace quorin {

// ======================= TPanel =======================

namespace {
const std::vector<std::string> kBevels = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
}

QUORIN_DEFINE_CLASS(TPanel, TWinControl) {
    p.Enum<TBevelCut>("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, kBevels);
    p.Enum<TBevelCut>("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, kBevels);
    p.Int("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1, 100);
    p.Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0, 100);
    p.Enum<TBorderStyleCtl>("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle, {"bsNone", "bsSingle"});
    p.Enum<TAlignment>("Alignment", &TPanel::Alignment, &TPanel::SetAlignment,
                       {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Bool("Transparent", &TPanel::Transparent, &TPanel::SetTransparent);
    p.Bool("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint);
}

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = false;
    FWidth = 185;
    FHeight = 41;
}

void TPanel::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
    if (FBorderStyle == TBorderStyleCtl::bsSingle) Params.Style |= WS_BORDER;
    Params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    Invalidate();
}
void TPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    Invalidate();
}
void TPanel::SetBevelWidth(int Value) {
    FBevelWidth = Value;
    Invalidate();
}
void TPanel::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Invalidate();
}
void TPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}
void TPanel::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}
void TPanel::TextChanged() { Invalidate(); }

void TPanel::SetBorderStyle(TBorderStyleCtl Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

bool TPanel::EraseBackground(HDC DC) {
    if (FTransparent) return true;
    return TWinControl::EraseBackground(DC);
}

// Two bevels, each BevelWidth wide, with BorderWidth between them, then the caption.
void TPanel::PaintWindow(HDC DC) {
    RECT r;
    GetClientRect(FHandle, &r);
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        for (int i = 0; i < FBevelWidth; ++i) {
            if (cut != TBevelCut::bvSpace) {
                const COLORREF topLeft = ColorRef(cut == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight);
                const COLORREF bottomRight = ColorRef(cut == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow);
                TGdiObject<HPEN> tl(CreatePen(PS_SOLID, 1, topLeft));
                TGdiObject<HPEN> br(CreatePen(PS_SOLID, 1, bottomRight));
                {
                    TSelectObject sel(DC, tl.Get());
                    MoveToEx(DC, r.left, r.bottom - 1, nullptr);
                    LineTo(DC, r.left, r.top);
                    LineTo(DC, r.right - 1, r.top);
                }
                {
                    TSelectObject sel(DC, br.Get());
                    MoveToEx(DC, r.right - 1, r.top, nullptr);
                    LineTo(DC, r.right - 1, r.bottom - 1);
                    LineTo(DC, r.left - 1, r.bottom - 1);
                }
            }
            InflateRect(&r, -1, -1);
        }
    };
    bevel(FBevelOuter);
    InflateRect(&r, -FBorderWidth, -FBorderWidth);
    bevel(FBevelInner);
    if (!FText.empty()) {
        TSelectObject font(DC, FFont.Handle());
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorRef(FEnabled ? FFont.Color() : clGrayText));
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
        format |= FAlignment == TAlignment::taCenter         ? DT_CENTER
                  : FAlignment == TAlignment::taRightJustify ? DT_RIGHT
                                                             : DT_LEFT;
        std::wstring text = ToWide(FText);
        DrawTextW(DC, text.data(), int(text.size()), &r, format);
    }
}

// ======================= TTimer =======================

namespace {
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}
}  // namespace

QUORIN_DEFINE_CLASS(TTimer, TComponent) {
    p.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
    p.Int(
        "Interval", [](const TTimer& t) { return int32_t(t.Interval()); },
        [](TTimer& t, int32_t v) { t.SetInterval(uint32_t(v)); }, 0, INT32_MAX);
    p.Event("OnTimer", &TTimer::OnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value) {
    if (Value == FInterval) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::Loaded() {
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FTimer) {
        Timers().erase(FTimer.Id());
        FTimer.Reset();
    }
    // OnTimer may be assigned after Enabled, so a timer runs whenever it is enabled; the
    // tick does nothing without a handler.
    if (FEnabled && FInterval > 0 && !(ComponentState() & (csLoading | csDestroying))) {
        if (FTimer.Start(nullptr, 0, FInterval, &TTimer::TimerProc)) Timers()[FTimer.Id()] = this;
    }
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    auto it = Timers().find(Id);
    if (it == Timers().end()) return;
    TTimer* timer = it->second;
    try {
        timer->Timer();
    } catch (...) {
        Application->HandleException(timer);
    }
}

void TTimer::Timer() {
    if (FEnabled && OnTimer) OnTimer(this);
}

}  // namespace quorin
