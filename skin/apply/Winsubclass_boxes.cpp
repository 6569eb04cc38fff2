// Group boxes, boxes, transparent objects, status bars, progress bars, size grips, tool bars.
#include "skin/apply/Winsubclass.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "forms/TypInfo.h"
#include "forms/WinText.h"
#include "skin/apply/Winskinform.h"
#include "skin/resources/Imgutil.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {}  // namespace

// ======================= TSkinGroupBox =======================

void TSkinGroupBox::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    // The box paints its body in ButtonFace; its colour follows, so that the labels on it
    // (which take their parent's colour) do not show the platform's face around their text.
    TSkinControl::Init(SkinForm, SkinData, true, Canvas);
}

bool TSkinGroupBox::BeforeProc(TMessage& Message) {
    if (FControl) {
        switch (Message.Msg) {
        case WM_PAINT: WMPaint(Message); return false;
        case WM_ERASEBKGND:
            if (Message.WParam) {
                RECT r;
                GetClientRect(FHandle, &r);
                FillBG(reinterpret_cast<HDC>(Message.WParam), r);
            }
            Message.Result = 1;
            return false;
        default: break;
        }
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinGroupBox::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC || !FHandle) return;
    const TColor face = ButtonFace();
    const TColor shadow = FSkinData ? FSkinData->Colors.ButtonShadow : clBtnShadow;
    FEnabled = IsWindowEnabled(FHandle) != FALSE;
    FillBG(DC, Rect);
    HFONT font =
        FControl ? FControl->Font().Handle() : reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
    TSelectObject selectedFont(DC, font);
    const int line = TextHeight(DC, u"0");
    {
        TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorRef(shadow)));
        TSelectObject selectedPen(DC, pen.Get());
        TSelectObject hollow(DC, GetStockObject(NULL_BRUSH));
        RoundRect(DC, Rect.left, Rect.top + line / 2, Rect.right, Rect.bottom, 5, 5);
    }
    FCaption = FControl ? StrToWideStr(FControl->Caption()) : ToU16(WindowTextW(FHandle));
    if (!FCaption.empty()) {
        RECT m{0, 0, 0, 0};
        DrawTextW(DC, reinterpret_cast<LPCWSTR>(FCaption.c_str()), int(FCaption.size()), &m,
                  DT_CALCRECT | DT_SINGLELINE);
        RECT text{Rect.left + 8, Rect.top, std::min(LONG(Rect.left + 8 + m.right + 4), Rect.right - 2),
                  Rect.top + line};
        FillColor(DC, text, face);
        const TColor color = !FEnabled  ? clBtnShadow
                             : FControl ? FControl->Font().Color()
                                        : FSkinData->Colors.ButtonText;
        const int mode = SetBkMode(DC, TRANSPARENT);
        const COLORREF old = SetTextColor(DC, ColorRef(color));
        text.left += 2;
        DrawTextW(DC, reinterpret_cast<LPCWSTR>(FCaption.c_str()), int(FCaption.size()), &text,
                  DT_SINGLELINE | DT_END_ELLIPSIS);
        SetTextColor(DC, old);
        SetBkMode(DC, mode);
    }
    PaintGraphicChildren(WinControl(), DC);
}

// ======================= TSkinBox =======================

void TSkinBox::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
}

void TSkinBox::Unsubclass() {
    TSkinControl::Unsubclass();
    FStatus = 2;
}

void TSkinBox::AfterProc(TMessage& Message) { TSkinControl::AfterProc(Message); }

// ======================= TSkinBoxH =======================

HBRUSH TSkinBoxH::FaceBrush() {
    const TColor face = ButtonFace();
    if (!FBrush || FBrushColor != face) {
        FBrush.Reset(CreateSolidBrush(ColorRef(face)));
        FBrushColor = face;
    }
    return FBrush.Get();
}

bool TSkinBoxH::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (Message.WParam) {
            RECT r;
            GetClientRect(FHandle, &r);
            FillRect(reinterpret_cast<HDC>(Message.WParam), &r, FaceBrush());
        }
        Message.Result = 0;
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
        // The dialog's texts and the dialog itself stand on the skin's face colour.
        SetBkColor(reinterpret_cast<HDC>(Message.WParam), ColorRef(ButtonFace()));
        if (FSkinData) SetTextColor(reinterpret_cast<HDC>(Message.WParam), ColorRef(FSkinData->Colors.ButtonText));
        Message.Result = reinterpret_cast<LRESULT>(FaceBrush());
        return false;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

// ======================= TSkinTransObj =======================

bool TSkinTransObj::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (Message.WParam) {
            RECT r;
            GetWindowRect(FHandle, &r);
            OffsetRect(&r, -r.left, -r.top);
            FillBG(reinterpret_cast<HDC>(Message.WParam), r);
        }
        Message.Result = 1;
        return false;
    case WM_PAINT:
        if (Message.WParam) SetBkColor(reinterpret_cast<HDC>(Message.WParam), ColorRef(ButtonFace()));
        return true;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinTransObj::AfterProc(TMessage& Message) {
    if (Message.Msg == WM_PAINT) return;  // nothing is drawn over it
    TSkinControl::AfterProc(Message);
}

// ======================= TSkinStatusBar =======================

bool TSkinStatusBar::HasSkin() const { return FSkinData && HasPicture(FSkinData->StatusBarEdges.get()); }

bool TSkinStatusBar::BeforeProc(TMessage& Message) {
    if (HasSkin()) {
        switch (Message.Msg) {
        case WM_PAINT: WMPaint(Message); return false;
        case WM_ERASEBKGND: Message.Result = 1; return false;
        default: break;
        }
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinStatusBar::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC || !FHandle || !HasSkin()) return;
    const TDataSkinObject& e = *FSkinData->StatusBarEdges;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    if (!FSharedBitmap && FSkinForm) FSharedBitmap = &FSkinForm->FSharedBitmap;
    TBitmap& buffer = FSharedBitmap ? *FSharedBitmap : FOwnBitmap;
    if (buffer.Width() < w || buffer.Height() < h)
        buffer.SetSize(std::max(buffer.Width(), w), std::max(buffer.Height(), h));
    TBitmapDC bdc(buffer);
    HDC dc = bdc.Handle();
    const RECT whole{0, 0, w, h};
    FillBG(dc, whole);
    TSelectObject font(dc, reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    const TColor color = e.NormalColor != clNoSkinColor ? e.NormalColor : FSkinData->Colors.ButtonText;
    SetTextColor(dc, ColorRef(color));

    auto drawPart = [&](RECT r, std::wstring text) {
        DrawSkinMap(dc, r, std::max(e.Frame, 1), 1, &e);
        UINT align = DT_LEFT;
        if (text.rfind(L"\t\t", 0) == 0)
            align = DT_RIGHT, text.erase(0, 2);
        else if (text.rfind(L"\t", 0) == 0)
            align = DT_CENTER, text.erase(0, 1);
        InflateRect(&r, -3, 0);
        // The native status bar shows "&" as it is.
        DrawTextW(dc, text.c_str(), int(text.size()), &r,
                  align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    };
    auto partText = [&](int index) {
        const int length = LOWORD(SendMessageW(FHandle, SB_GETTEXTLENGTHW, WPARAM(index), 0));
        std::wstring text(size_t(length) + 1, L'\0');
        SendMessageW(FHandle, SB_GETTEXTW, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        return text;
    };
    if (SendMessageW(FHandle, SB_ISSIMPLE, 0, 0)) {
        std::wstring text = FControl ? ToWide(GetPropValue(FControl, "SimpleText")) : partText(SB_SIMPLEID);
        drawPart(whole, text);
    } else {
        const int parts = std::clamp(int(SendMessageW(FHandle, SB_GETPARTS, 0, 0)), 0, 256);
        for (int i = 0; i < parts; ++i) {
            RECT r{};
            if (!SendMessageW(FHandle, SB_GETRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
            r.right = std::min(r.right, LONG(w));
            if (r.right <= r.left) continue;
            drawPart(r, partText(i));
        }
    }
    BitBlt(DC, Rect.left, Rect.top, w, h, dc, 0, 0, SRCCOPY);
}

// ======================= TSkinProgress =======================

bool TSkinProgress::HasSkin() const { return FSkinData && HasPicture(FSkinData->Progress.get()); }

bool TSkinProgress::BeforeProc(TMessage& Message) {
    if (HasSkin()) {
        switch (Message.Msg) {
        case WM_PAINT: WMPaint(Message); return false;
        case WM_ERASEBKGND: Message.Result = 1; return false;
        default: break;
        }
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinProgress::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC || !FHandle || !HasSkin()) return;
    const TDataSkinBorder& e = *FSkinData->Progress;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    // Style 0: frame 1 the trough, frame 2 the bar; otherwise the bar is its own element.
    const int frames = e.Style == 0 ? 2 : 1;
    TBitmap picture(w, h);
    TBitmapDC pdc(picture);
    const RECT whole{0, 0, w, h};
    FillBG(pdc.Handle(), whole);
    DrawSkinMap(pdc.Handle(), whole, frames, 1, &e);

    PBRANGE range{};
    SendMessageW(FHandle, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const int position = int(SendMessageW(FHandle, PBM_GETPOS, 0, 0));
    const long long span = (long long)range.iHigh - range.iLow;
    if (span > 0) {
        const double fraction = std::clamp(double(position - range.iLow) / double(span), 0.0, 1.0);
        RECT inner{std::max(0, e.Margins.Left), std::max(0, e.Margins.Top), w - std::max(0, e.Margins.Right),
                   h - std::max(0, e.Margins.Bottom)};
        if (inner.right <= inner.left || inner.bottom <= inner.top) inner = whole;
        RECT bar = inner;
        if (GetWindowLongEx(FHandle, GWL_STYLE) & PBS_VERTICAL)
            bar.top = inner.bottom - LONG(double(inner.bottom - inner.top) * fraction + 0.5);
        else
            bar.right = inner.left + LONG(double(inner.right - inner.left) * fraction + 0.5);
        if (bar.right > bar.left && bar.bottom > bar.top) {
            const TDataSkinObject* chunk = FSkinData->ProgressChunk.get();
            if (frames == 2)
                DrawSkinMap(pdc.Handle(), bar, 2, 2, &e);
            else if (HasPicture(chunk))
                DrawSkinMap(pdc.Handle(), bar, chunk->Frame, 1, chunk);
            else
                FillColor(pdc.Handle(), bar, FSkinData->Colors.Hilight);
        }
    }
    BitBlt(DC, Rect.left, Rect.top, w, h, pdc.Handle(), 0, 0, SRCCOPY);
}

// ======================= TSkinSizer =======================

bool TSkinSizer::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return false;
    case WM_ERASEBKGND: Message.Result = 1; return false;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinSizer::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC) return;
    FillBG(DC, Rect);
    // Three diagonal ridges in the corner, in the skin's shadow and highlight colours.
    const TSkinColors& colors = FSkinData ? FSkinData->Colors : TSkinColors{};
    TGdiObject<HPEN> dark(CreatePen(PS_SOLID, 1, ColorRef(colors.ButtonShadow)));
    TGdiObject<HPEN> light(CreatePen(PS_SOLID, 1, ColorRef(colors.ButtonHilight)));
    const int size = std::min(Rect.right - Rect.left, Rect.bottom - Rect.top);
    for (int i = 1; i <= 3 && i * 4 < size; ++i) {
        const int d = i * 4;
        {
            TSelectObject pen(DC, dark.Get());
            MoveToEx(DC, Rect.right - d, Rect.bottom - 1, nullptr);
            LineTo(DC, Rect.right, Rect.bottom - d - 1);
        }
        TSelectObject pen(DC, light.Get());
        MoveToEx(DC, Rect.right - d - 1, Rect.bottom - 1, nullptr);
        LineTo(DC, Rect.right, Rect.bottom - d - 2);
    }
}

// ======================= TSkinToolbar =======================

void TSkinToolbar::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    const TColor caption = FSkinData ? FSkinData->CaptionColor : SystemColor(scBtnFace);
    FShadeColor = Blend(0x808080, caption, 150);
    FLightColor = Blend(ButtonFace(), 0xFFFFFF, 150);
}

bool TSkinToolbar::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NOTIFY:
    case CN_SkinFinished: return true;
    case WM_ERASEBKGND:
        if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) {
            RECT r;
            GetClientRect(FHandle, &r);
            const TDataSkinObject* bar = FSkinData ? FSkinData->Toolbar.get() : nullptr;
            if (HasPicture(bar)) {
                FillBG(dc, r);
                DrawSkinMap(dc, r, bar->Frame, 1, bar);
            } else {
                GradFill(dc, FromRECT(r), FLightColor, ButtonFace(), 1);
            }
        }
        Message.Result = 1;
        return false;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

}  // namespace quorin
