// Push, bit, menu and speed buttons, check boxes, radio buttons, object images.
#include "skin/apply/Winsubclass.h"

#include <algorithm>
#include <memory>

#include "forms/Buttons.h"
#include "forms/SysUtils.h"
#include "forms/TypInfo.h"
#include "forms/WinText.h"
#include "skin/apply/Winskinform.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

// SetRedraw's timer: gives the native button its painting back should the matching
// SetRedraw(true) be lost.
constexpr UINT_PTR kRedrawTimer = 1;
constexpr UINT kRedrawTimeout = 100;  // ms

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The skin's transparent colour, magenta, as a control's key colour takes it.
constexpr TColor kKeyColor = 0xFF00FF;

std::u16string WindowCaption(HWND window) { return ToU16(WindowTextW(window)); }

std::u16string BreakLines(std::u16string text) {
    for (size_t at = text.find(u"||"); at != std::u16string::npos; at = text.find(u"||", at + 2))
        text.replace(at, 2, u"\r\n");
    return text;
}

int DrawTextU(HDC dc, const std::u16string& text, RECT& rect, UINT format) {
    return DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.c_str()), int(text.size()), &rect, format);
}

// The text colour of a button face for the frame: the skin's colour for that state when
// it gives one, the button-shadow colour when disabled.
TColor FaceTextColor(const TDataSkinButton& e, int frame, TColor normal) {
    TColor c = normal;
    // The focused face is the normal one with a focus mark, and takes the normal text colour.
    if ((frame == bfNormal || frame == bfFocused) && e.HasNormalColor2 && e.NormalColor2 != clNoSkinColor)
        c = e.NormalColor2;
    if (frame == bfHot && e.HasOverColor2 && e.OverColor2 != clNoSkinColor) c = e.OverColor2;
    if (frame == bfPressed && e.HasDownColor2 && e.DownColor2 != clNoSkinColor) c = e.DownColor2;
    if (frame == bfDisabled) c = clBtnShadow;
    return c;
}

// Glyph settings of a bit or speed button.
struct TGlyphInfo {
    HBITMAP Glyph = nullptr;
    int Count = 1;
    TButtonLayout Layout = TButtonLayout::blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
};

// Property is the name of the glyph picture a button of another library publishes
// ("PngImage"); the framework's own buttons hold theirs as a bitmap.
TGlyphInfo GlyphOf(TControl* control, const std::string& property) {
    TGlyphInfo g;
    if (auto* b = dynamic_cast<TBitBtn*>(control)) {
        g = {b->Glyph(), b->NumGlyphs(), b->Layout(), b->Margin(), b->Spacing()};
    } else if (auto* s = dynamic_cast<TSpeedButton*>(control)) {
        g = {s->Glyph(), s->NumGlyphs(), s->Layout(), s->Margin(), s->Spacing()};
    } else if (control) {
        // Buttons of other kinds publish the layout by name; their pictures are their own.
        if (int n = GetIntProperty(control, "NumGlyphs"); n > 0) g.Count = n;
        if (int m = GetIntProperty(control, "Margin"); m >= -1) g.Margin = m;
        if (int s = GetIntProperty(control, "Spacing"); s >= 0) g.Spacing = s;
        if (TPicture* picture = GetPictureProp(control, property)) g.Glyph = picture->Bitmap();
    }
    return g;
}

// Glyph and caption of a bit or speed button on a face that is already drawn; the DC has
// the caption's font and colour. Returns the caption rectangle (for the focus rectangle).
RECT DrawGlyphAndText(HDC dc, const RECT& face, const TGlyphInfo& g, const std::u16string& caption, int picture,
                      bool sunk) {
    const SIZE gs = GlyphSize(g.Glyph, g.Count);
    RECT measured{0, 0, 0, 0};
    if (!caption.empty()) DrawTextU(dc, caption, measured, DT_CALCRECT | DT_EXPANDTABS);
    RECT inner{face.left + 2, face.top + 2, face.right - 2, face.bottom - 2};
    POINT at{};
    RECT textRect{};
    LayoutGlyphCaption(inner, gs.cx, gs.cy, measured.right, measured.bottom, g.Layout, g.Margin, g.Spacing, at,
                       textRect);
    if (sunk) {
        OffsetRect(&textRect, 1, 1);
        ++at.x, ++at.y;
    }
    if (gs.cx > 0) DrawGlyph(dc, g.Glyph, g.Count, picture < g.Count ? picture : 0, at);
    if (!caption.empty()) {
        const int mode = SetBkMode(dc, TRANSPARENT);
        DrawTextU(dc, caption, textRect, DT_CENTER | DT_EXPANDTABS);
        SetBkMode(dc, mode);
    }
    if (caption.empty() && gs.cx > 0) return RECT{at.x, at.y, at.x + gs.cx, at.y + gs.cy};
    return textRect;
}

}  // namespace

// ======================= TSkinButton =======================

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinButton::~TSkinButton() {
    // A painter going away while the native button is kept from painting gives it back.
    if (FHandle && IsWindow(FHandle)) {
        FRedrawTimer.Reset();
        LONG_PTR style = GetWindowLongEx(FHandle, GWL_STYLE);
        if (!(style & WS_VISIBLE) && FRedrawOff) SetWindowLongPtrW(FHandle, GWL_STYLE, style | WS_VISIBLE);
    }
}

void TSkinButton::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    const std::string cls = FControl ? LowerCase(FControl->ClassName()) : std::string();
    FKind = (cls.rfind("trz", 0) == 0 || cls.rfind("tel", 0) == 0) ? 1 : 0;
    FTransparent =
        (FControl && FControl->Tag() == TagTransparent) || (FSkinData && FSkinData->Options.Contains(xoTransparent));
}

bool TSkinButton::HasSkin() const {
    if (!FSkinData || !FSkinData->Buttons) return false;
    const TBitmap& map = FSkinData->Buttons->Map;
    return !map.Empty() && map.Width() >= std::max(FSkinData->Buttons->Frame, 1);
}

int TSkinButton::ButtonFrame() const {
    int frame = bfNormal;
    if (FFocused) frame = bfFocused;
    if (FMouseState & msPressed)
        frame = bfPressed;
    else if (FMouseState & msHot)
        frame = bfHot;
    if (!FEnabled) frame = bfDisabled;
    return frame;
}

void TSkinButton::SetRedraw(bool Value) {
    if (!FHandle || !IsWindow(FHandle)) return;
    FRedrawTimer.Reset();
    LONG_PTR style = GetWindowLongEx(FHandle, GWL_STYLE);
    if (!Value) {
        // Only a window that is shown is hidden from its own painting.
        if (!(style & WS_VISIBLE)) return;
        FRedrawTimer.Start(FHandle, kRedrawTimer, kRedrawTimeout);
        FRedrawOff = true;
        style &= ~LONG_PTR(WS_VISIBLE);
    } else {
        if (!FRedrawOff) return;
        FRedrawOff = false;
        style |= WS_VISIBLE;
    }
    if (FUnicode)
        SetWindowLongPtrW(FHandle, GWL_STYLE, style);
    else
        SetWindowLongPtrA(FHandle, GWL_STYLE, style);
}

bool TSkinButton::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND: return BeforePaint(Message);
    case WM_TIMER: return BeforeTimer(Message);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return BeforeLButtonDown(Message);
    case WM_LBUTTONUP: return BeforeLButtonUp(Message);
    default: return TSkinControl::BeforeProc(Message);
    }
}

// Without a usable picture the button paints and erases natively.
bool TSkinButton::BeforePaint(TMessage& Message) {
    if (!HasSkin()) return TSkinControl::BeforeProc(Message);
    if (Message.Msg == WM_PAINT)
        WMPaint(Message);
    else
        Message.Result = 1;
    return false;
}

bool TSkinButton::BeforeTimer(TMessage& Message) {
    if (Message.WParam != kRedrawTimer) return TSkinControl::BeforeProc(Message);
    SetRedraw(true);
    Message.Result = 0;
    return false;
}

bool TSkinButton::BeforeLButtonDown(TMessage& Message) {
    if (!HasSkin()) return TSkinControl::BeforeProc(Message);
    FFocused = GetFocus() == FHandle;
    if (!FFocused) SetFocus(FHandle);
    FMouseState |= msPressed;
    std::shared_ptr<bool> alive = FAlive;
    SetRedraw(false);
    Default(Message);
    if (!*alive) return false;
    SetRedraw(true);
    PaintControl(nullptr);
    return false;
}

bool TSkinButton::BeforeLButtonUp(TMessage& Message) {
    if (!(FMouseState & msPressed) || !HasSkin()) return TSkinControl::BeforeProc(Message);
    FMouseState &= uint8_t(~msPressed);
    std::shared_ptr<bool> alive = FAlive;
    SetRedraw(false);
    // The native button raises its click here; the handler may do anything, even
    // free this painter with its control.
    Default(Message);
    if (!*alive) return false;
    SetRedraw(true);
    if (IsWindowVisible(FHandle)) Invalidate();
    return false;
}

void TSkinButton::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    // The native button paints these straight away; the skin goes back over it.
    case WM_SETTEXT:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case WM_UPDATEUISTATE: PaintControl(nullptr); return;
    case WM_KEYDOWN: SpacePressed(Message); return;
    case WM_KEYUP: SpaceReleased(Message); return;
    case WM_MOUSEMOVE: AfterMouseMove(); return;
    case WM_LBUTTONUP: AfterLButtonUp(); return;
    case WM_MOUSELEAVE: MouseGone(); return;
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED: Invalidate(); return;
    default: TSkinControl::AfterProc(Message); return;
    }
}

// The space bar presses the button as the mouse does.
void TSkinButton::SpacePressed(TMessage& Message) {
    if (Message.WParam == VK_SPACE) {
        FMouseState |= msPressed;
        Invalidate();
    }
}

void TSkinButton::SpaceReleased(TMessage& Message) {
    if (Message.WParam == VK_SPACE) {
        FMouseState &= uint8_t(~msPressed);
        Invalidate();
    }
}

void TSkinButton::AfterMouseMove() {
    FEnabled = FHandle && IsWindowEnabled(FHandle);
    if (FEnabled && !(FMouseState & msHot)) {
        FMouseState |= msHot;
        Invalidate();
    }
    if (FHandle) DoTrackMouse(FHandle);
}

void TSkinButton::AfterLButtonUp() {
    // The native button has told its parent of the click already; a second
    // WM_COMMAND from here would run the parent's command twice.
    if (FMouseState & msPressed) {
        FMouseState &= uint8_t(~msPressed);
        Invalidate();
    }
}

void TSkinButton::MouseGone() {
    FMouseState &= uint8_t(~(msHot | msPressed));
    Invalidate();
}

int TSkinButton::ComposeFace(const RECT& Rect,
                             const std::function<void(HDC BufferDC, const RECT& Face, int Frame)>& Draw) {
    if (!HasSkin() || !FHandle) return 0;
    const TDataSkinButton& e = *FSkinData->Buttons;
    FFocused = GetFocus() == FHandle;
    FEnabled = !(GetWindowLongEx(FHandle, GWL_STYLE) & WS_DISABLED);
    FMultiLine = false;
    if (FControl) {
        FCaption = StrToWideStr(FControl->Caption());
        FMultiLine = LowerCase(GetProperty(FControl, "MultiLine")) == "true";
    } else {
        FCaption = WindowCaption(FHandle);
    }
    const int frame = ButtonFrame();
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return 0;
    if (FBuffer.Width() != w || FBuffer.Height() != h) FBuffer.SetSize(w, h);
    TBitmapDC buffer(FBuffer);
    HDC bdc = buffer.Handle();
    const RECT face{0, 0, w, h};
    if (FTransparent)
        DrawParentImage(FHandle, bdc);
    else
        FillBG(bdc, face);
    DrawSkinMap(bdc, face, e.Frame, FrameInStrip(frame, e.Frame), &e);

    HFONT font;
    TColor color;
    if (FControl) {
        font = FControl->Font().Handle();
        color = FControl->Font().Color();
    } else {
        font = reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
        color = FSkinData->Colors.ButtonText;
    }
    TSelectObject selected(bdc, font);
    SetTextColor(bdc, ColorRef(FaceTextColor(e, frame, color)));
    Draw(bdc, face, frame);
    return frame;
}

void TSkinButton::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC) return;
    const int frame = ComposeFace(Rect, [&](HDC bdc, const RECT& face, int) { DrawBtnText(bdc, face, 1, FCaption); });
    if (!frame) return;
    TBitmapDC buffer(FBuffer);
    BitBlt(DC, Rect.left, Rect.top, FBuffer.Width(), FBuffer.Height(), buffer.Handle(), 0, 0, SRCCOPY);
}

void TSkinButton::DrawBtnText(HDC DC, const RECT& Rect, int Align, const std::u16string& Text) {
    FCaption = BreakLines(Text);
    RECT textRect{Rect.left + 2, Rect.top + 2, Rect.right - 2, Rect.bottom - 2};
    SetBkMode(DC, TRANSPARENT);
    const UINT format = UINT(Align) | DT_WORDBREAK | DT_EXPANDTABS;
    RECT m = textRect;
    DrawTextU(DC, FCaption, m, format | DT_CALCRECT | DT_NOCLIP);
    const int tw = m.right - m.left, th = m.bottom - m.top;
    const int rw = Rect.right - Rect.left, rh = Rect.bottom - Rect.top;
    RECT r;
    if (Align == 1) {
        r.left = Rect.left + (rw - tw) / 2;
        r.right = r.left + tw;
    } else {
        r.left = Rect.left;
        r.right = Rect.right;
    }
    r.top = Rect.top + (rh - th) / 2 - 1;
    r.bottom = r.top + th;
    TRect drawn = FromRECT(r);
    Tnt_DrawTextW(DC, FCaption, drawn, format);
    SetBkMode(DC, OPAQUE);
    if (FFocused && !(FSkinData && FSkinData->Options.Contains(xoNoFocusRect))) {
        InflateRect(&r, 2, 2);
        DrawFocusRect(DC, &r);
    }
}

// ======================= TSkinBitButton =======================

void TSkinBitButton::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC) return;
    const int frame = ComposeFace(Rect, [&](HDC bdc, const RECT& face, int f) { DrawGlyphCaption(bdc, face, f); });
    if (!frame) return;
    TBitmapDC buffer(FBuffer);
    BitBlt(DC, Rect.left, Rect.top, FBuffer.Width(), FBuffer.Height(), buffer.Handle(), 0, 0, SRCCOPY);
}

void TSkinBitButton::DrawGlyphCaption(HDC DC, const RECT& Rect, int Frame) {
    const TGlyphInfo g = GlyphOf(FControl, FGlyphProperty);
    const int picture = Frame == bfDisabled ? 1 : Frame == bfPressed ? 2 : 0;
    FCaption = BreakLines(FCaption);
    RECT around = DrawGlyphAndText(DC, Rect, g, FCaption, picture, Frame == bfPressed);
    if (FFocused && !(FSkinData && FSkinData->Options.Contains(xoNoFocusRect)) && around.right > around.left) {
        InflateRect(&around, 2, 2);
        DrawFocusRect(DC, &around);
    }
}

// ======================= TSkinMenuButton =======================

void TSkinMenuButton::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC) return;
    const int frame = ComposeFace(Rect, [&](HDC bdc, const RECT& face, int) {
        // The caption keeps clear of the drop-down arrow at the right.
        RECT text = face;
        text.right = std::max(text.left, text.right - 14);
        DrawBtnText(bdc, text, 1, FCaption);
        const TColor arrow = TColor(GetTextColor(bdc));
        TCanvas canvas;
        canvas.SetHandle(bdc);
        canvas.SetPenColor(arrow);
        DrawArrow(canvas, face.right - 9, (face.top + face.bottom) / 2, 0);
        canvas.SetHandle(nullptr);
    });
    if (!frame) return;
    TBitmapDC buffer(FBuffer);
    BitBlt(DC, Rect.left, Rect.top, FBuffer.Width(), FBuffer.Height(), buffer.Handle(), 0, 0, SRCCOPY);
}

// ======================= TSkinSpeedButton =======================

TSkinSpeedButton::TSkinSpeedButton(TComponent* AOwner) : TSkinBitButton(AOwner) {}

TSkinSpeedButton::~TSkinSpeedButton() = default;

void TSkinSpeedButton::InitGraphicControl(TWinSkinForm* SkinForm, TSkinData* SkinData, TCanvas* Canvas) {
    FRedirect = Owner();
    Init(SkinForm, SkinData, false, Canvas);
    FEnabled = FControl && FControl->Enabled();
}

int TSkinSpeedButton::SpeedFrame() const {
    auto* speed = dynamic_cast<TSpeedButton*>(FControl);
    const bool down = speed && speed->Down();
    if (!FControl || !FControl->Enabled()) return bfDisabled;
    if ((FMouseState & msPressed) || down) return bfPressed;
    if (FMouseState & msHot) return bfHot;
    return bfNormal;
}

bool TSkinSpeedButton::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: return BeforePaint(Message);
    case CM_MOUSEENTER: MouseCame(); break;
    case CM_MOUSELEAVE: MouseGone(); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: LeftPressed(); break;
    case WM_LBUTTONUP: LeftReleased(); break;
    case WM_KEYDOWN: SpacePressed(Message); break;
    case WM_KEYUP: SpaceReleased(Message); break;
    case CM_BUTTONPRESSED:
    case CM_ENABLEDCHANGED:
    case CM_FOCUSCHANGED:
    case WM_ENABLE: Invalidate(); break;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

// The control's own painting is replaced when it paints into a DC it was given.
bool TSkinSpeedButton::BeforePaint(TMessage& Message) {
    if (!HasSkin() || !Message.WParam) return TSkinControl::BeforeProc(Message);
    PaintControl(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 0;
    return false;
}

void TSkinSpeedButton::MouseCame() {
    FMouseState |= msHot;
    Invalidate();
}

void TSkinSpeedButton::LeftPressed() {
    if (FControl && FControl->Enabled()) {
        FMouseState |= msPressed;
        Invalidate();
    }
}

void TSkinSpeedButton::LeftReleased() {
    FMouseState &= uint8_t(~msPressed);
    Invalidate();
}

void TSkinSpeedButton::AfterProc(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) Invalidate();
}

void TSkinSpeedButton::PaintControl(HDC DC) {
    if (!FControl) return;
    if (!DC) {
        // No window of its own: the parent paints it, and the button with it.
        Invalidate();
        return;
    }
    DrawControl(DC, RECT{0, 0, FControl->Width(), FControl->Height()});
}

void TSkinSpeedButton::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC || !HasSkin() || !FControl) return;
    const TDataSkinButton& e = *FSkinData->Buttons;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    if (FCanvas) FCanvas->Lock();
    FEnabled = FControl->Enabled();
    FCaption = BreakLines(StrToWideStr(FControl->Caption()));
    const int frame = SpeedFrame();
    auto* speed = dynamic_cast<TSpeedButton*>(FControl);
    const bool flat = speed ? speed->Flat() : LowerCase(GetProperty(FControl, "Flat")) == "true";
    if (FBuffer.Width() != w || FBuffer.Height() != h) FBuffer.SetSize(w, h);
    TBitmapDC buffer(FBuffer);
    HDC bdc = buffer.Handle();
    const RECT face{0, 0, w, h};
    // The parent has painted itself under a windowless button already.
    if (FTransparent)
        BitBlt(bdc, 0, 0, w, h, DC, Rect.left, Rect.top, SRCCOPY);
    else
        FillBG(bdc, face);
    if (!flat || frame != bfNormal) DrawSkinMap(bdc, face, e.Frame, FrameInStrip(frame, e.Frame), &e);
    TSelectObject font(bdc, FControl->Font().Handle());
    SetTextColor(bdc, ColorRef(FaceTextColor(e, frame, FControl->Font().Color())));
    const int picture = frame == bfDisabled ? 1 : (speed && speed->Down()) ? 3 : frame == bfPressed ? 2 : 0;
    DrawGlyphAndText(bdc, face, GlyphOf(FControl, FGlyphProperty), FCaption, picture, frame == bfPressed);
    BitBlt(DC, Rect.left, Rect.top, w, h, bdc, 0, 0, SRCCOPY);
    if (FCanvas) FCanvas->Unlock();
}

// ======================= check boxes and radio buttons =======================

namespace {

// The two painters differ only in their picture and frame count.
struct TCheckPicture {
    const TBitmap* Map = nullptr;
    int Frames = 0;
    bool Usable() const { return Map && !Map->Empty() && Frames >= 1 && Map->Width() / Frames > 0; }
};

TCheckPicture CheckPicture(const TSkinData* skin, bool radio) {
    if (!skin || !skin->Buttons) return {};
    const TDataSkinButton& b = *skin->Buttons;
    return radio ? TCheckPicture{&b.RadioMap, b.RadioFrame} : TCheckPicture{&b.CheckMap, b.CheckFrame};
}

int CheckFrameOf(const TSkinControl& p, int checkState, int n) {
    const LRESULT state = SendMessageW(p.FHandle, BM_GETSTATE, 0, 0);
    int f = (state & BST_CHECKED) ? 2 : 1;
    bool indeterminate = (state & BST_INDETERMINATE) != 0;
    if (TControl* c = p.FControl) {
        const std::string st = LowerCase(GetEnumProperty(c, "State"));
        if (!st.empty()) {
            if (Contains(st, "uncheck"))
                f = 1;
            else if (Contains(st, "check"))
                f = 2;
            else if (Contains(st, "gray"))
                f = 4, indeterminate = true;
        } else if (GetPropInfo(c, "Checked")) {
            f = LowerCase(GetProperty(c, "Checked")) == "true" ? 2 : 1;
        }
        if (GetPropInfo(c, "DataField") && checkState != 0) f = checkState == 3 ? 4 : checkState;
        if (GetPropInfo(c, "DataBinding")) f = 1;
    }
    const bool disabled = (p.GetWindowLongEx(p.FHandle, GWL_STYLE) & WS_DISABLED) != 0;
    if (disabled) f += 2;
    if (indeterminate) f = 4;
    if (n == 12) {
        if (indeterminate)
            f = disabled ? 12 : 9;
        else if (f == 2)
            f = 5;
        else if (f == 3)
            f = 4;
        else if (f == 4)
            f = 8;
    }
    return FrameInStrip(f, n);
}

bool CheckBeforeProc(TSkinControl& p, TMessage& m, bool radio, bool transparent) {
    switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
        if (p.FKind != 1) break;
        if (!CheckPicture(p.FSkinData, radio).Usable()) {
            // Without its picture the control paints natively from now on.
            p.FKind = 0;
            break;
        }
        p.WMPaint(m);
        return false;
    case WM_ERASEBKGND:
        if (!transparent) break;
        p.WMERASEBKGND(m);
        m.Result = 1;
        return false;
    default: break;
    }
    return true;
}

void CheckAfterProc(TSkinControl& p, TMessage& m, int32_t& checkState) {
    switch (m.Msg) {
    case BM_SETCHECK:
        checkState = int32_t(m.WParam) + 1;
        p.Invalidate();
        break;
    case BM_SETSTATE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_UPDATEUISTATE:
    case CM_EXIT:
    case 0xB0D0: p.Invalidate(); break;
    default: break;
    }
}

void DrawCheck(TSkinControl& p, HDC dc, const RECT& rect, bool radio, bool transparent, int checkState) {
    const TCheckPicture pic = CheckPicture(p.FSkinData, radio);
    if (!pic.Usable()) {
        p.FKind = 0;
        return;
    }
    if (!dc || !p.FHandle) return;
    const int n = pic.Frames;
    const int gw = pic.Map->Width() / n, gh = pic.Map->Height();
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    const LONG_PTR style = p.GetWindowLongEx(p.FHandle, GWL_STYLE);
    const LONG_PTR exStyle = p.GetWindowLongEx(p.FHandle, GWL_EXSTYLE);
    const bool leftText = (style & BS_LEFTTEXT) != 0;
    const bool rtl = (exStyle & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) != 0;
    const int gy = rect.top + (h - gh) / 2;
    RECT glyph, text;
    if (leftText) {
        glyph = RECT{rect.right - gw, gy, rect.right, gy + gh};
        text = RECT{rect.left, rect.top, rect.right - gw - 2, rect.bottom};
    } else {
        glyph = RECT{rect.left, gy, rect.left + gw, gy + gh};
        text = RECT{rect.left + gw + 2, rect.top, rect.right, rect.bottom};
    }
    if (p.FKind == 1 && !transparent) p.FillBG(dc, rect);
    p.DrawSkinMap2(dc, glyph, n, CheckFrameOf(p, checkState, n), *pic.Map);
    if (p.FKind != 1 || w <= 0) return;

    p.FEnabled = !(style & WS_DISABLED);
    p.FFocused = GetFocus() == p.FHandle;
    p.FCaption = p.FControl ? StrToWideStr(p.FControl->Caption()) : WindowCaption(p.FHandle);
    if (p.FCaption.empty() || text.right <= text.left) return;
    HFONT font =
        p.FControl ? p.FControl->Font().Handle() : reinterpret_cast<HFONT>(SendMessageW(p.FHandle, WM_GETFONT, 0, 0));
    TColor color = p.FControl ? p.FControl->Font().Color()
                              : (p.FSkinData ? p.FSkinData->Colors.ButtonText : SystemColor(scBtnText));
    if (!p.FEnabled) color = clBtnShadow;
    TSelectObject selected(dc, font);
    const int mode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, ColorRef(color));
    UINT format = DT_WORDBREAK | DT_EXPANDTABS;
    if (leftText && rtl) format |= DT_RIGHT;
    RECT m = text;
    DrawTextU(dc, p.FCaption, m, format | DT_CALCRECT | DT_NOCLIP);
    const int th = m.bottom - m.top;
    RECT r = text;
    r.top = text.top + ((text.bottom - text.top) - th) / 2;
    r.bottom = r.top + th;
    DrawTextU(dc, p.FCaption, r, format);
    if (p.FFocused) p.DrawFocus(dc, p.FCaption, format, r);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, mode);
}

}  // namespace

void TSkinCheckBox::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    if (FControl) FKind = 1;
    FTransparent =
        (FControl && FControl->Tag() == TagTransparent) || (FSkinData && FSkinData->Options.Contains(xoTransparent));
}

bool TSkinCheckBox::BeforeProc(TMessage& Message) {
    return CheckBeforeProc(*this, Message, false, FTransparent) && TSkinControl::BeforeProc(Message);
}

void TSkinCheckBox::AfterProc(TMessage& Message) {
    TSkinControl::AfterProc(Message);
    CheckAfterProc(*this, Message, FCheckState);
}

void TSkinCheckBox::SkinChange() {
    if (FControl) FKind = 1;
    TSkinControl::SkinChange();
}

int TSkinCheckBox::CheckFrame(int n) const { return CheckFrameOf(*this, FCheckState, n); }

void TSkinCheckBox::DrawControl(HDC DC, const RECT& Rect) {
    DrawCheck(*this, DC, Rect, false, FTransparent, FCheckState);
}

void TSkinRadioButton::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    if (FControl) FKind = 1;
    FTransparent =
        (FControl && FControl->Tag() == TagTransparent) || (FSkinData && FSkinData->Options.Contains(xoTransparent));
}

bool TSkinRadioButton::BeforeProc(TMessage& Message) {
    return CheckBeforeProc(*this, Message, true, FTransparent) && TSkinControl::BeforeProc(Message);
}

void TSkinRadioButton::AfterProc(TMessage& Message) {
    TSkinControl::AfterProc(Message);
    CheckAfterProc(*this, Message, FCheckState);
}

void TSkinRadioButton::SkinChange() {
    if (FControl) FKind = 1;
    TSkinControl::SkinChange();
}

int TSkinRadioButton::CheckFrame(int n) const { return CheckFrameOf(*this, FCheckState, n); }

void TSkinRadioButton::DrawControl(HDC DC, const RECT& Rect) {
    DrawCheck(*this, DC, Rect, true, FTransparent, FCheckState);
}

// ======================= TSkinObjImage =======================

void TSkinObjImage::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    ApplyGlyphs();
    Invalidate();
}

void TSkinObjImage::ApplyGlyphs() {
    if (!ControlAlive()) return;
    const TCheckPicture picture = CheckPicture(FSkinData, FKind == 2);
    if (!picture.Usable()) {
        RestoreGlyphs();
        return;
    }
    // The control cuts its states from the strip itself, so it gets the whole strip.
    HBITMAP strip = StripFrameBitmap(*picture.Map, picture.Frames, 0);
    if (FKind == 3) {
        FGlyph.Swap(FControl, "Properties.Glyph", strip);
        return;
    }
    if (!FGlyph.Swap(FControl, "CustomGlyphs", strip)) return;
    if (!FSwitched) {
        FOldUseCustom = GetProperty(FControl, "UseCustomGlyphs");
        FOldTransparent = GetProperty(FControl, "TransparentColor");
    }
    SetProperty(FControl, "UseCustomGlyphs", "True");
    SetProperty(FControl, "TransparentColor", std::to_string(kKeyColor));
    FSwitched = true;
}

void TSkinObjImage::RestoreGlyphs() {
    if (ControlAlive()) {
        FGlyph.Restore(FControl);
        if (FSwitched) {
            SetProperty(FControl, "UseCustomGlyphs", FOldUseCustom);
            SetProperty(FControl, "TransparentColor", FOldTransparent);
        }
    }
    FGlyph.Forget();
    FSwitched = false;
}

void TSkinObjImage::Unsubclass() {
    RestoreGlyphs();
    TSkinControl::Unsubclass();
}

void TSkinObjImage::SkinChange() {
    ApplyGlyphs();  // a new skin's pictures, or the control's own when it has none
    TSkinControl::SkinChange();
}

}  // namespace quorin
