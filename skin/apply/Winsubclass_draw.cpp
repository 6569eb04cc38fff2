// The drawing operations the painters share: skin pictures onto a DC or into a bitmap,
// captions, arrows.
#include "skin/apply/Winsubclass.h"

#include "forms/Dpi.h"

#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

bool ValidRect(const RECT& r) { return r.right - r.left > 0 && r.bottom - r.top > 0; }

}  // namespace

int FrameInStrip(int Frame, int Frames) {
    if (Frames < 1) Frames = 1;
    if (Frame < 1) return 1;
    if (Frame > Frames) return (Frame - 1) % Frames + 1;
    return Frame;
}

void TSkinControl::DrawSkinMap(HDC DC, const RECT& Rect, int Frames, int Frame, const TDataSkinObject* Element) {
    if (!DC || !HasPicture(Element) || !ValidRect(Rect)) return;
    TBitmap piece =
        GetHMap(FromRECT(Rect), Element->Map, Element->Margins,
                {.Frame = FrameInStrip(Frame, Frames), .Frames = Frames < 1 ? 1 : Frames, .Tile = Element->Tile == 1});
    if (piece.Empty()) return;
    if (Element->Trans == 1)
        DrawTranmap(DC, FromRECT(Rect), piece, TColor(0xFF00FF));
    else
        Bitmapdraw(DC, FromRECT(Rect), piece);
}

void TSkinControl::DrawSkinMap1(HDC DC, const RECT& Rect, int Frames, int Frame, const TBitmap& Bitmap) {
    if (!DC || Bitmap.Empty() || !ValidRect(Rect)) return;
    DrawRect1(DC, FromRECT(Rect), Bitmap,
              {.Frame = FrameInStrip(Frame, Frames), .Frames = Frames < 1 ? 1 : Frames, .Trans = true});
}

void TSkinControl::DrawSkinMap2(HDC DC, const RECT& Rect, int Frames, int Frame, const TBitmap& Bitmap) {
    DrawSkinMap1(DC, Rect, Frames, Frame, Bitmap);
}

void TSkinControl::DrawSkinMap3(TCanvas& Canvas, const RECT& Rect, int Frames, int Frame, const TBitmap& Bitmap) {
    DrawSkinMap1(Canvas.Handle(), Rect, Frames, Frame, Bitmap);
}

void TSkinControl::DrawBMPSkin(TBitmap& Bitmap, const RECT& Rect, int Frames, int Frame,
                               const TDataSkinObject* Element) {
    if (!ValidRect(Rect)) return;
    Bitmap.FillRect(FromRECT(Rect), ColorToRGB(ButtonFace()));
    if (!HasPicture(Element)) return;
    DrawRect2(Bitmap, FromRECT(Rect), Element->Map, Element->Margins,
              {.Frame = FrameInStrip(Frame, Frames),
               .Frames = Frames < 1 ? 1 : Frames,
               .Trans = Element->Trans == 1,
               .Tile = Element->Tile == 1});
}

void TSkinControl::DrawSkin(const RECT& Rect, int Frames, int Frame, const TDataSkinObject* Element) {
    if (!FSharedBitmap) return;
    if (FSharedBitmap->Width() < Rect.right || FSharedBitmap->Height() < Rect.bottom)
        FSharedBitmap->SetSize(Max(FSharedBitmap->Width(), Rect.right), Max(FSharedBitmap->Height(), Rect.bottom));
    DrawBMPSkin(*FSharedBitmap, Rect, Frames, Frame, Element);
}

void TSkinControl::DrawBuf(HDC DC, const RECT& Rect) {
    if (!DC || !FSharedBitmap || FSharedBitmap->Empty() || !ValidRect(Rect)) return;
    TBitmapDC source(*FSharedBitmap, DC);
    BitBlt(DC, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, source.Handle(), Rect.left,
           Rect.top, SRCCOPY);
}

int TSkinControl::SystemMetric(int Index) const {
    return SystemMetricForDpi(Index, FSkinData ? FSkinData->DpiScale().Dpi : SystemDpi());
}

int TSkinControl::TextHeight(HDC DC, const std::u16string& Text) {
    SIZE size{};
    const std::u16string& t = Text.empty() ? std::u16string(u"0") : Text;
    GetTextExtentPoint32W(DC, reinterpret_cast<LPCWSTR>(t.c_str()), int(t.size()), &size);
    return size.cy;
}

void MyDrawImgCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text,
                      const TBitmap* Glyph) {
    HDC dc = Canvas.Handle();
    if (!dc) return;
    RECT r = Rect;
    if (Glyph && !Glyph->Empty()) {
        // The glyph sits at the left of the text, centred vertically, magenta transparent.
        const int gy = r.top + ((r.bottom - r.top) - Glyph->Height()) / 2;
        DrawTranmap(dc, TRect{r.left + 2, gy, r.left + 2 + Glyph->Width(), gy + Glyph->Height()}, *Glyph,
                    TColor(0xFF00FF));
        r.left += Glyph->Width() + 4;
    }
    // Captions are drawn in the regular style whatever the canvas font carries.
    LOGFONTW lf{};
    TGdiObject<HFONT> regular;
    if (GetObjectW(Canvas.Font().Handle(), sizeof lf, &lf)) {
        lf.lfWeight = FW_NORMAL;
        lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 0;
        regular.Reset(CreateFontIndirectW(&lf));
    }
    TSelectObject font(dc, regular ? regular.Get() : Canvas.Font().Handle());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(dc, Enabled ? ColorRef(Canvas.Font().Color()) : GetSysColor(COLOR_BTNSHADOW));
    UINT format = DT_EXPANDTABS | DT_VCENTER | DT_SINGLELINE;
    if (Align == 1)
        format |= DT_CENTER;
    else if (Align == 2)
        format |= DT_RIGHT;
    DrawTextW(dc, reinterpret_cast<LPCWSTR>(Text.c_str()), int(Text.size()), &r, format);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void MyDrawCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text) {
    MyDrawImgCaption(Canvas, Rect, Align, Enabled, Text, nullptr);
}

void TSkinControl::DrawCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text) {
    MyDrawCaption(Canvas, Rect, Align, Enabled, Text);
}

void TSkinControl::DrawImgCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled,
                                  const std::u16string& Text, const TBitmap* Glyph) {
    MyDrawImgCaption(Canvas, Rect, Align, Enabled, Text, Glyph);
}

POINT ClientOrigin(HWND Window) {
    RECT w;
    GetWindowRect(Window, &w);
    POINT p{0, 0};
    ClientToScreen(Window, &p);
    return POINT{p.x - w.left, p.y - w.top};
}

void DrawArrow(TCanvas& Canvas, int X, int Y, int Direction) {
    HDC dc = Canvas.Handle();
    if (!dc) return;
    // A 7-pixel wide triangle, 4 pixels deep, in the canvas pen colour.
    POINT pts[3];
    switch (Direction) {
    case 1:
        pts[0] = {X - 3, Y + 2};
        pts[1] = {X + 3, Y + 2};
        pts[2] = {X, Y - 1};
        break;
    case 2:
        pts[0] = {X + 1, Y - 3};
        pts[1] = {X + 1, Y + 3};
        pts[2] = {X - 2, Y};
        break;
    case 3:
        pts[0] = {X - 1, Y - 3};
        pts[1] = {X - 1, Y + 3};
        pts[2] = {X + 2, Y};
        break;
    default:
        pts[0] = {X - 3, Y - 1};
        pts[1] = {X + 3, Y - 1};
        pts[2] = {X, Y + 2};
        break;
    }
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(Canvas.PenColor())));
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorRef(Canvas.PenColor())));
    TSelectObject b(dc, brush.Get());
    TSelectObject p(dc, pen.Get());
    Polygon(dc, pts, 3);
}

}  // namespace quorin
