// Buttons with a glyph: the bit button (a push button that shows a picture beside its
// caption) and the speed button (a windowless button painted by its parent, used on tool
// strips; it can stay down). Windows only.
#pragma once

#include "forms/StdCtrls.h"

namespace quorin {

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button with a glyph. The glyph holds NumGlyphs pictures side by side: up,
// disabled, clicked, down. The native button shows the first one next to its caption.
class TBitBtn : public TButton {
    QUORIN_CLASS(TBitBtn, TButton)
public:
    explicit TBitBtn(TComponent* AOwner);
    // The glyph strip; the control owns the bitmap it is given.
    HBITMAP Glyph() const { return FGlyph.Get(); }
    void SetGlyph(HBITMAP Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    // Distance of the glyph from the edge; -1 centres glyph and caption together.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Distance between glyph and caption.
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

protected:
    void InitializeWnd() override;
    void UpdateImage();

    TGdiObject<HBITMAP> FGlyph;
    TGdiObject<HBITMAP> FShown;  // the first picture, as the native button shows it
    int FNumGlyphs = 1;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
};

// A button without a window. With a GroupIndex it stays down when clicked (AllowAllUp
// lets a second click release it); Flat buttons show their face only under the mouse.
class TSpeedButton : public TGraphicControl {
    QUORIN_CLASS(TSpeedButton, TGraphicControl)
public:
    explicit TSpeedButton(TComponent* AOwner);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    // The glyph strip; the control owns the bitmap it is given.
    HBITMAP Glyph() const { return FGlyph.Get(); }
    void SetGlyph(HBITMAP Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // Pressed by the mouse right now, and the mouse over it.
    bool Pressed() const { return FPressed; }
    bool MouseInControl() const { return FMouseIn; }
    void Paint(TCanvas& Canvas) override;
    void Click() override;

protected:
    void WndProc(TMessage& Message) override;

    bool FDown = false;
    bool FFlat = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    TGdiObject<HBITMAP> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = TButtonLayout::blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FPressed = false;
    bool FMouseIn = false;
};

// Where a glyph of Glyph x GlyphH and a caption of TextW x TextH go in Client, as bit and
// speed buttons lay them out (shared by the framework's painting and the skin's).
void LayoutGlyphCaption(const RECT& Client, int GlyphW, int GlyphH, int TextW, int TextH, TButtonLayout Layout,
                        int Margin, int Spacing, POINT& GlyphPos, RECT& TextRect);
// Draws picture Index (from 0) of a glyph strip of Count pictures at Pos; the colour of
// the strip's bottom-left pixel is transparent.
void DrawGlyph(HDC DC, HBITMAP Glyph, int Count, int Index, POINT Pos);
// Width and height of one picture of a glyph strip of Count pictures (0, 0 without one).
SIZE GlyphSize(HBITMAP Glyph, int Count);

}  // namespace quorin
