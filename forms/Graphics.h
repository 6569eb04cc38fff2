// Colours, fonts and the drawing canvas over GDI. Windows only.
#pragma once

#include "forms/Classes.h"
#include "forms/Color.h"
#include "forms/Dpi.h"
#include "forms/Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quorin {

// Colours (TColor, SystemColor, ColorToRGB) are the skin resources' portable ones.
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR), clBackground = SystemColor(COLOR_BACKGROUND),
                 clActiveCaption = SystemColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION), clMenu = SystemColor(COLOR_MENU),
                 clWindow = SystemColor(COLOR_WINDOW), clWindowFrame = SystemColor(COLOR_WINDOWFRAME),
                 clMenuText = SystemColor(COLOR_MENUTEXT), clWindowText = SystemColor(COLOR_WINDOWTEXT),
                 clCaptionText = SystemColor(COLOR_CAPTIONTEXT), clActiveBorder = SystemColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER), clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE),
                 clHighlight = SystemColor(COLOR_HIGHLIGHT), clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SystemColor(COLOR_BTNFACE), clBtnShadow = SystemColor(COLOR_BTNSHADOW),
                 clGrayText = SystemColor(COLOR_GRAYTEXT), clBtnText = SystemColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW),
                 cl3DLight = SystemColor(COLOR_3DLIGHT), clInfoText = SystemColor(COLOR_INFOTEXT),
                 clInfoBk = SystemColor(COLOR_INFOBK);

// The RGB value of a colour as GDI takes it (system colours looked up now).
inline COLORREF ColorRef(TColor Color) { return COLORREF(ColorToRGB(Color)); }
// Colour names a layout may use for a colour property, and charset names for Charset.
const std::vector<std::pair<std::string, int64_t>>& ColorIdents();
const std::vector<std::pair<std::string, int64_t>>& CharsetIdents();

enum TFontStyle : uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint32_t;

// A font description; Handle() makes the GDI font when first asked and again after a
// change. The default is the framework's: "MS Sans Serif", 8 points (11 pixels high).
// Height is the stored value (at the layout's DPI); the GDI font is made at the DPI of
// the window the font is for (SetDpiScale), so the point size stays what was stored.
class TFont : public TPersistent {
    QUORIN_CLASS(TFont, TPersistent)
public:
    TFont();
    ~TFont() override;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    // Character height in pixels, negative as GDI takes it (-11 for 8 points at 96 dpi).
    int32_t Height() const { return FHeight; }
    void SetHeight(int32_t Value);
    int32_t Size() const;
    void SetSize(int32_t Points);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int32_t Charset() const { return FCharset; }
    void SetCharset(int32_t Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);

    // The scale the GDI font is made at; a change makes a new font and raises OnChange.
    const TDpiScale& DpiScale() const { return FDpiScale; }
    void SetDpiScale(const TDpiScale& Value);
    // The character height the GDI font has (Height at the window's DPI).
    int32_t ScaledHeight() const { return FDpiScale.Scale(FHeight); }

    HFONT Handle() const;
    void Assign(const TPersistent& Source) override;
    bool Equals(const TFont& Other) const;

    TNotifyEvent OnChange;

private:
    void Changed();
    std::string FName = "MS Sans Serif";
    int32_t FHeight = -11;
    TColor FColor = clWindowText;
    int32_t FCharset = DEFAULT_CHARSET;
    TFontStyles FStyle = 0;
    TDpiScale FDpiScale;
    mutable TGdiObject<HFONT> FHandle;
};

enum class TBrushStyle { bsSolid, bsClear };

// A device context with a font, a brush colour and a pen colour selected as drawing asks.
// The canvas does not own the DC it is given.
class TCanvas : public TPersistent {
    QUORIN_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    HDC Handle() const { return FHandle; }
    void SetHandle(HDC Value);

    TFont& Font() { return FFont; }
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor Value) { FBrushColor = Value; }
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle Value) { FBrushStyle = Value; }
    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor Value) { FPenColor = Value; }

    void FillRect(const RECT& Rect);
    void FrameRect(const RECT& Rect);
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    void TextOut(int X, int Y, const std::string& Text);
    // DrawTextW with the canvas font; returns the height drawn.
    int DrawText(const std::string& Text, RECT& Rect, UINT Format);
    SIZE TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    // Painters share one canvas per window; Lock/Unlock bracket a use of it.
    void Lock() { ++FLockCount; }
    void Unlock() { --FLockCount; }
    int LockCount() const { return FLockCount; }

private:
    void SelectFont();
    HDC FHandle = nullptr;
    TSelectObject FFontSelection;
    TFont FFont;
    TColor FBrushColor = clWhite;
    TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
    TColor FPenColor = clBlack;
    int FLockCount = 0;
};

// A picture a control publishes by name (a glyph strip, a tab's background), read and
// written through the property helpers as an object property of this class. It owns its
// bitmap; Assign copies another picture's.
class TPicture : public TPersistent {
    QUORIN_CLASS(TPicture, TPersistent)
public:
    TPicture() = default;
    HBITMAP Bitmap() const { return FBitmap.Get(); }
    // Takes the bitmap over; nullptr empties the picture.
    void SetBitmap(HBITMAP Value) { FBitmap.Reset(Value); }
    bool Empty() const { return !FBitmap; }
    void Assign(const TPersistent& Source) override;

private:
    TGdiObject<HBITMAP> FBitmap;
};

}  // namespace quorin
