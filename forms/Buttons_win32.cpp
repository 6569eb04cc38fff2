// Bit buttons and speed buttons.
#include "forms/Buttons.h"

#include "forms/WinText.h"

#include <algorithm>

namespace quorin {

namespace {

std::vector<std::string> Layouts() { return {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}; }

// Picture Index of a strip, as a new bitmap (the native button shows one picture).
HBITMAP CutGlyph(HBITMAP Strip, int Count, int Index) {
    const SIZE size = GlyphSize(Strip, Count);
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    TClientDC screen(nullptr);
    TMemoryDC src(screen.Handle());
    TMemoryDC dst(screen.Handle());
    HBITMAP out = CreateCompatibleBitmap(screen.Handle(), size.cx, size.cy);
    {
        TSelectObject strip(src.Handle(), Strip);
        TSelectObject picture(dst.Handle(), out);
        BitBlt(dst.Handle(), 0, 0, size.cx, size.cy, src.Handle(), size.cx * Index, 0, SRCCOPY);
    }
    return out;
}

}  // namespace

SIZE GlyphSize(HBITMAP Glyph, int Count) {
    BITMAP bm{};
    if (!Glyph || !GetObjectW(Glyph, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return SIZE{0, 0};
    const int n = std::max(Count, 1);
    return SIZE{bm.bmWidth / n, bm.bmHeight};
}

void DrawGlyph(HDC DC, HBITMAP Glyph, int Count, int Index, POINT Pos) {
    const SIZE size = GlyphSize(Glyph, Count);
    if (size.cx <= 0 || !DC) return;
    const int n = std::max(Count, 1);
    if (Index < 0 || Index >= n) Index = 0;
    TMemoryDC src(DC);
    TSelectObject glyph(src.Handle(), Glyph);
    const COLORREF key = GetPixel(src.Handle(), 0, size.cy - 1);
    GdiTransparentBlt(DC, Pos.x, Pos.y, size.cx, size.cy, src.Handle(), size.cx * Index, 0, size.cx, size.cy, key);
}

void LayoutGlyphCaption(const RECT& Client, int GlyphW, int GlyphH, int TextW, int TextH, TButtonLayout Layout,
                        int Margin, int Spacing, POINT& GlyphPos, RECT& TextRect) {
    const int cw = Client.right - Client.left, ch = Client.bottom - Client.top;
    const bool across = Layout == TButtonLayout::blGlyphLeft || Layout == TButtonLayout::blGlyphRight;
    const int gap = (GlyphW > 0 && TextW > 0) ? std::max(Spacing, 0) : 0;
    // Along the layout axis: glyph, gap, caption (or the reverse).
    const int glyphAlong = across ? GlyphW : GlyphH;
    const int textAlong = across ? TextW : TextH;
    const int room = across ? cw : ch;
    int start = Margin < 0 ? (room - (glyphAlong + gap + textAlong)) / 2 : Margin;
    const bool glyphFirst = Layout == TButtonLayout::blGlyphLeft || Layout == TButtonLayout::blGlyphTop;
    int glyphAt, textAt;
    if (glyphFirst) {
        glyphAt = start;
        textAt = start + glyphAlong + gap;
    } else {
        if (Margin >= 0) start = room - Margin - glyphAlong - gap - textAlong;
        textAt = start;
        glyphAt = start + textAlong + gap;
    }
    if (across) {
        GlyphPos = POINT{Client.left + glyphAt, Client.top + (ch - GlyphH) / 2};
        TextRect = RECT{Client.left + textAt, Client.top + (ch - TextH) / 2, Client.left + textAt + TextW,
                        Client.top + (ch - TextH) / 2 + TextH};
    } else {
        GlyphPos = POINT{Client.left + (cw - GlyphW) / 2, Client.top + glyphAt};
        TextRect = RECT{Client.left + (cw - TextW) / 2, Client.top + textAt, Client.left + (cw - TextW) / 2 + TextW,
                        Client.top + textAt + TextH};
    }
}

// ======================= TBitBtn =======================

QUORIN_DEFINE_CLASS(TBitBtn, TButton) {
    p.Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1, 4);
    p.Enum<TButtonLayout>("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, Layouts());
    p.Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin, -1, 1000);
    p.Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, -1, 1000);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

void TBitBtn::SetGlyph(HBITMAP Value) {
    FGlyph.Reset(Value);
    UpdateImage();
}

void TBitBtn::SetNumGlyphs(int Value) {
    FNumGlyphs = std::clamp(Value, 1, 4);
    UpdateImage();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    FMargin = Value;
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TBitBtn::InitializeWnd() {
    TButton::InitializeWnd();
    UpdateImage();
}

void TBitBtn::UpdateImage() {
    if (!FHandle) return;
    FShown.Reset(CutGlyph(FGlyph.Get(), FNumGlyphs, 0));
    SendMessageW(FHandle, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FShown.Get()));
    InvalidateRect(FHandle, nullptr, TRUE);
}

// ======================= TSpeedButton =======================

QUORIN_DEFINE_CLASS(TSpeedButton, TGraphicControl) {
    p.Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
    p.Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat);
    p.Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, 0, INT32_MAX);
    p.Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp);
    p.Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1, 4);
    p.Enum<TButtonLayout>("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, Layouts());
    p.Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1, 1000);
    p.Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, -1, 1000);
}

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 23;
    FHeight = 22;
    FColor = clBtnFace;
    FParentColor = true;
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    FDown = Value;
    if (Value && FParent) {
        // One button of a group is down.
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TSpeedButton*>(FParent->Controls(i));
                other && other != this && other->FGroupIndex == FGroupIndex && other->FDown) {
                other->FDown = false;
                other->Invalidate();
            }
    }
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetGlyph(HBITMAP Value) {
    FGlyph.Reset(Value);
    Invalidate();
}

void TSpeedButton::SetNumGlyphs(int Value) {
    FNumGlyphs = std::clamp(Value, 1, 4);
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::Click() {
    if (FGroupIndex != 0) SetDown(!(FDown && FAllowAllUp));
    TGraphicControl::Click();
}

void TSpeedButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FEnabled) {
            FPressed = true;
            Invalidate();
        }
        break;
    case WM_LBUTTONUP:
        if (FPressed) {
            FPressed = false;
            Invalidate();
        }
        break;
    case CM_MOUSEENTER:
        FMouseIn = true;
        if (FFlat) Invalidate();
        break;
    case CM_MOUSELEAVE:
        FMouseIn = false;
        FPressed = false;
        Invalidate();
        break;
    case CM_ENABLEDCHANGED: Invalidate(); break;
    default: break;
    }
    TGraphicControl::WndProc(Message);
}

void TSpeedButton::Paint(TCanvas& Canvas) {
    HDC dc = Canvas.Handle();
    RECT r{0, 0, FWidth, FHeight};
    const bool sunk = FPressed || FDown;
    TGdiObject<HBRUSH> face(CreateSolidBrush(ColorRef(FColor)));
    ::FillRect(dc, &r, face.Get());
    if (!FFlat || FMouseIn || sunk) DrawEdge(dc, &r, sunk ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const std::wstring text = ToWide(Caption());
    RECT measured{0, 0, 0, 0};
    if (!text.empty()) DrawTextW(dc, text.c_str(), int(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
    const SIZE glyph = GlyphSize(FGlyph.Get(), FNumGlyphs);
    POINT at{};
    RECT textRect{};
    RECT inner{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    LayoutGlyphCaption(inner, glyph.cx, glyph.cy, measured.right, measured.bottom, FLayout, FMargin, FSpacing, at,
                       textRect);
    if (sunk) {
        OffsetRect(&textRect, 1, 1);
        ++at.x, ++at.y;
    }
    const int picture = !FEnabled ? 1 : FDown ? 3 : FPressed ? 2 : 0;
    if (glyph.cx > 0) DrawGlyph(dc, FGlyph.Get(), FNumGlyphs, picture < FNumGlyphs ? picture : 0, at);
    if (!text.empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, FEnabled ? ColorRef(FFont.Color()) : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text.c_str(), int(text.size()), &textRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
}

}  // namespace quorin
