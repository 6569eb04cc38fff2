// Colours, fonts and the canvas.
#include "forms/Graphics.h"

#include "forms/WinText.h"

namespace quorin {

const std::vector<std::pair<std::string, int64_t>>& ColorIdents() {
    static const std::vector<std::pair<std::string, int64_t>> idents = {
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clNone", 0x1FFFFFFF},
        {"clDefault", 0x20000000},
        {"clScrollBar", clScrollBar},
        {"clBackground", clBackground},
        {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption},
        {"clMenu", clMenu},
        {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame},
        {"clMenuText", clMenuText},
        {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText},
        {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow},
        {"clGrayText", clGrayText},
        {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText},
        {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow},
        {"cl3DLight", cl3DLight},
        {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk},
    };
    return idents;
}

const std::vector<std::pair<std::string, int64_t>>& CharsetIdents() {
    static const std::vector<std::pair<std::string, int64_t>> idents = {
        {"ANSI_CHARSET", ANSI_CHARSET},
        {"DEFAULT_CHARSET", DEFAULT_CHARSET},
        {"SYMBOL_CHARSET", SYMBOL_CHARSET},
        {"MAC_CHARSET", MAC_CHARSET},
        {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
        {"HANGEUL_CHARSET", HANGEUL_CHARSET},
        {"JOHAB_CHARSET", JOHAB_CHARSET},
        {"GB2312_CHARSET", GB2312_CHARSET},
        {"CHINESEBIG5_CHARSET", CHINESEBIG5_CHARSET},
        {"GREEK_CHARSET", GREEK_CHARSET},
        {"TURKISH_CHARSET", TURKISH_CHARSET},
        {"VIETNAMESE_CHARSET", VIETNAMESE_CHARSET},
        {"HEBREW_CHARSET", HEBREW_CHARSET},
        {"ARABIC_CHARSET", ARABIC_CHARSET},
        {"BALTIC_CHARSET", BALTIC_CHARSET},
        {"RUSSIAN_CHARSET", RUSSIAN_CHARSET},
        {"THAI_CHARSET", THAI_CHARSET},
        {"EASTEUROPE_CHARSET", EASTEUROPE_CHARSET},
        {"OEM_CHARSET", OEM_CHARSET},
    };
    return idents;
}

// ---- TFont ----

QUORIN_DEFINE_CLASS(TFont, TPersistent) {
    p.Int("Charset", &TFont::Charset, &TFont::SetCharset, 0, 255).Idents = CharsetIdents();
    p.Int("Color", &TFont::Color, &TFont::SetColor).Idents = ColorIdents();
    p.Int("Height", &TFont::Height, &TFont::SetHeight);
    p.Str("Name", &TFont::Name, &TFont::SetName);
    p.Int("Size", &TFont::Size, &TFont::SetSize);
    p.Set("Style", &TFont::Style, &TFont::SetStyle, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
}

TFont::TFont() = default;

TFont::~TFont() = default;

void TFont::SetName(const std::string& Value) {
    if (Value == FName || Value.empty()) return;
    FName = Value;
    Changed();
}

void TFont::SetHeight(int32_t Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

int32_t TFont::Size() const { return -MulDiv(FHeight, 72, FDpiScale.Stored); }

void TFont::SetSize(int32_t Points) { SetHeight(-MulDiv(Points, FDpiScale.Stored, 72)); }

void TFont::SetDpiScale(const TDpiScale& Value) {
    if (Value == FDpiScale) return;
    FDpiScale = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetCharset(int32_t Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::Changed() {
    FHandle.Reset();
    if (OnChange) OnChange(this);
}

HFONT TFont::Handle() const {
    if (!FHandle) {
        LOGFONTW lf{};
        lf.lfHeight = ScaledHeight();
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = BYTE(FCharset);
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        const std::wstring face = ToWide(FName);
        wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        FHandle.Reset(CreateFontIndirectW(&lf));
    }
    return FHandle.Get();
}

QUORIN_DEFINE_CLASS(TPicture, TPersistent) {}

void TPicture::Assign(const TPersistent& Source) {
    const auto* p = dynamic_cast<const TPicture*>(&Source);
    if (!p) {
        TPersistent::Assign(Source);
        return;
    }
    if (p == this) return;
    FBitmap.Reset(p->Bitmap() ? static_cast<HBITMAP>(CopyImage(p->Bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
                              : nullptr);
}

void TFont::Assign(const TPersistent& Source) {
    const auto* f = dynamic_cast<const TFont*>(&Source);
    if (!f) {
        TPersistent::Assign(Source);
        return;
    }
    if (Equals(*f)) return;
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FCharset = f->FCharset;
    FStyle = f->FStyle;
    FDpiScale = f->FDpiScale;
    Changed();
}

bool TFont::Equals(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FColor == o.FColor && FCharset == o.FCharset &&
           FStyle == o.FStyle && FDpiScale == o.FDpiScale;
}

// ---- TCanvas ----

QUORIN_DEFINE_CLASS(TCanvas, TPersistent) {}

TCanvas::TCanvas() {
    FFont.OnChange = [this](TObject*) {
        if (FHandle) SelectFont();
    };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC Value) {
    FFontSelection = TSelectObject();
    FHandle = Value;
    if (FHandle) SelectFont();
}

void TCanvas::SelectFont() {
    // The font the DC came with goes back when the canvas lets the DC go.
    if (FFontSelection)
        SelectObject(FHandle, FFont.Handle());
    else
        FFontSelection = TSelectObject(FHandle, FFont.Handle());
    SetTextColor(FHandle, ColorRef(FFont.Color()));
}

void TCanvas::FillRect(const RECT& Rect) {
    if (!FHandle || FBrushStyle == TBrushStyle::bsClear) return;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(FBrushColor)));
    ::FillRect(FHandle, &Rect, brush.Get());
}

void TCanvas::FrameRect(const RECT& Rect) {
    if (!FHandle) return;
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(FBrushColor)));
    ::FrameRect(FHandle, &Rect, brush.Get());
}

void TCanvas::MoveTo(int X, int Y) {
    if (FHandle) MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    if (!FHandle) return;
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorRef(FPenColor)));
    TSelectObject sel(FHandle, pen.Get());
    ::LineTo(FHandle, X, Y);
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    if (!FHandle) return;
    SetTextColor(FHandle, ColorRef(FFont.Color()));
    if (FBrushStyle == TBrushStyle::bsClear) {
        SetBkMode(FHandle, TRANSPARENT);
    } else {
        SetBkMode(FHandle, OPAQUE);
        SetBkColor(FHandle, ColorRef(FBrushColor));
    }
    const std::wstring w = ToWide(Text);
    ::TextOutW(FHandle, X, Y, w.c_str(), int(w.size()));
}

int TCanvas::DrawText(const std::string& Text, RECT& Rect, UINT Format) {
    if (!FHandle) return 0;
    SetTextColor(FHandle, ColorRef(FFont.Color()));
    SetBkMode(FHandle, FBrushStyle == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
    if (FBrushStyle != TBrushStyle::bsClear) SetBkColor(FHandle, ColorRef(FBrushColor));
    std::wstring w = ToWide(Text);
    return ::DrawTextW(FHandle, w.data(), int(w.size()), &Rect, Format);
}

SIZE TCanvas::TextExtent(const std::string& Text) {
    SIZE size{0, 0};
    if (!FHandle) return size;
    const std::wstring w = ToWide(Text);
    GetTextExtentPoint32W(FHandle, w.c_str(), int(w.size()), &size);
    return size;
}

}  // namespace quorin
