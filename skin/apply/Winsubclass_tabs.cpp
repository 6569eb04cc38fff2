// Tab controls, tab sets, button tabs, tab sheets and advanced pages.
//
// A tab control is painted whole by its painter: the strip of tabs and the pane border are
// composed off screen and copied in one blit, so the native tabs never show through. Tabs
// at the left or right are composed as a horizontal strip and turned before the copy, which
// turns their captions with them.
#include "skin/apply/Winsubclass.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "forms/ComCtrls.h"
#include "skin/apply/Winskinform.h"
#include "skin/resources/Imgutil.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

constexpr int kCloseSize = 9;      // the close button's cross
constexpr int kCloseInset = 5;     // from the tab's right edge
constexpr int kClosePadding = 14;  // horizontal tab padding that leaves room for it

TMargins MirrorMargins(const TMargins& m) { return TMargins{m.Left, m.Bottom, m.Right, m.Top}; }
// Margins of a picture turned counter-clockwise (270 degrees) or clockwise (90 degrees).
TMargins TurnedLeft(const TMargins& m) { return TMargins{m.Top, m.Right, m.Bottom, m.Left}; }
TMargins TurnedRight(const TMargins& m) { return TMargins{m.Bottom, m.Left, m.Top, m.Right}; }

TBitmap Copy24(const TBitmap& source) {
    TBitmap copy(source);
    if (!copy.Empty()) copy.SetPixelFormat(pf24bit);
    return copy;
}

// Tab captions treat "&" as the native tab control does: the next letter is underlined
// (hidden until the keyboard is used, when the window says so) and "&&" is one "&".
UINT TabTextFlags(HWND window) {
    const LRESULT ui = SendMessageW(window, WM_QUERYUISTATE, 0, 0);
    return DT_CENTER | DT_VCENTER | DT_SINGLELINE | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
}

std::u16string TabText(HWND window, int index, bool unicode) {
    if (unicode) {
        wchar_t buffer[260] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 259;
        if (!SendMessageW(window, TCM_GETITEMW, WPARAM(index), reinterpret_cast<LPARAM>(&item))) return {};
        return std::u16string(reinterpret_cast<const char16_t*>(item.pszText));
    }
    char buffer[260] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 259;
    if (!SendMessageA(window, TCM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item))) return {};
    wchar_t wide[260] = {};
    const int n = MultiByteToWideChar(CP_ACP, 0, item.pszText, -1, wide, 260);
    return std::u16string(reinterpret_cast<const char16_t*>(wide), size_t(n > 0 ? n - 1 : 0));
}

void DrawCross(HDC dc, const RECT& r, COLORREF color, bool pressed) {
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    TSelectObject old(dc, pen.Get());
    for (int d = 0; d < 2; ++d) {  // two pixels thick
        MoveToEx(dc, r.left + d, r.top, nullptr);
        LineTo(dc, r.right, r.bottom - d);
        MoveToEx(dc, r.left + d, r.bottom - 1, nullptr);
        LineTo(dc, r.right, r.top - 1 + d);
    }
    if (pressed) {
        RECT f = r;
        InflateRect(&f, 2, 2);
        TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
        FrameRect(dc, &f, brush.Get());
    }
}

}  // namespace

TTabSide TabSideOfStyle(LONG_PTR Style) {
    const bool bottom = (Style & TCS_BOTTOM) != 0;
    const bool vertical = (Style & TCS_VERTICAL) != 0;
    if (vertical) return bottom ? tsRight : tsLeft;
    return bottom ? tsBottom : tsTop;
}

void PaintGraphicChildren(TWinControl* Control, HDC DC) {
    if (Control && DC) Control->PaintControls(DC);
}

// ---- TSkinTab ---------------------------------------------------------------------------

void TSkinTab::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    if (!FHandle) return;
    FEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    auto* pages = dynamic_cast<TPageControl*>(FControl);
    FCloseButtons = pages && pages->Tag() == TagTabClose && pages->TabPosition() == TTabPosition::tpTop;
    if (FCloseButtons) {
        // Wider tabs leave the caption room beside the close button; a font change makes
        // the control measure its tabs again.
        SendMessageW(FHandle, TCM_SETPADDING, 0, MAKELPARAM(kClosePadding, 3));
        SendMessageW(FHandle, WM_SETFONT, SendMessageW(FHandle, WM_GETFONT, 0, 0), TRUE);
    }
    inittab();
    FUpDown = FindWindowExW(FHandle, nullptr, UPDOWN_CLASSW, nullptr);
    FActive = true;
}

void TSkinTab::Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Inithwnd(Handle, SkinData, SkinForm, Canvas);
    inittab();
    FUpDown = FindWindowExW(FHandle, nullptr, UPDOWN_CLASSW, nullptr);
}

void TSkinTab::Unsubclass() {
    if (FCloseButtons && FHandle && IsWindow(FHandle)) {
        SendMessageW(FHandle, TCM_SETPADDING, 0, MAKELPARAM(6, 3));
        SendMessageW(FHandle, WM_SETFONT, SendMessageW(FHandle, WM_GETFONT, 0, 0), TRUE);
    }
    TSkinControl::Unsubclass();
}

TTabSide TSkinTab::Side() const { return FHandle ? TabSideOfStyle(GetWindowLongPtrW(FHandle, GWL_STYLE)) : tsTop; }

bool TSkinTab::inittab() {
    FReady = false;
    FTabMap.Clear();
    FPaneMap.Clear();
    FPaneCache.Clear();
    if (!FSkinData || !HasPicture(FSkinData->Tabs.get())) return false;
    const TDataSkinBorder& tabs = *FSkinData->Tabs;
    if (tabs.Style == 0) {
        FPaneMap = Copy24(tabs.Map2);
        FPaneMargins = TMargins{4, 5, 4, 4};
    } else {
        if (!HasPicture(FSkinData->TabPane.get())) return false;
        FPaneMap = Copy24(FSkinData->TabPane->Map);
        FPaneMargins = FSkinData->TabPane->Margins;
    }
    if (FPaneMap.Empty()) return false;
    FTabMap = Copy24(tabs.Map);
    FSide = Side();
    switch (FSide) {
    case tsBottom:
        SpiegelnVertikal(FTabMap);
        SpiegelnVertikal(FPaneMap);
        FPaneMargins = MirrorMargins(FPaneMargins);
        break;
    case tsLeft:
        Drehen270Grad(FPaneMap);
        FPaneMargins = TurnedLeft(FPaneMargins);
        break;
    case tsRight:
        Drehen90Grad(FPaneMap);
        FPaneMargins = TurnedRight(FPaneMargins);
        break;
    default: break;
    }
    FReady = true;
    return true;
}

bool TSkinTab::Drawable() const { return FReady && FHandle && IsWindow(FHandle); }

void TSkinTab::SkinChange() {
    inittab();
    TSkinControl::SkinChange();
}

RECT TSkinTab::CloseRect(const RECT& TabRect) const {
    const int top = TabRect.top + ((TabRect.bottom - TabRect.top) - kCloseSize) / 2 + 1;
    return RECT{TabRect.right - kCloseInset - kCloseSize, top, TabRect.right - kCloseInset, top + kCloseSize};
}

int TSkinTab::CloseButtonAt(POINT Point) const {
    if (!FCloseButtons || !FHandle) return -1;
    const int n = int(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        RECT r{};
        if (!SendMessageW(FHandle, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        OffsetRect(&r, 0, 1);
        RECT c = CloseRect(r);
        InflateRect(&c, 2, 2);  // a little slack around the cross
        if (PtInRect(&c, Point)) return i;
    }
    return -1;
}

void TSkinTab::Compose(TBitmap& Target) {
    RECT client{};
    GetClientRect(FHandle, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    if (Target.Width() != w || Target.Height() != h) Target.SetSize(w, h);
    const TColor face = ColorToRGB(ButtonFace());
    if (FSide != Side()) inittab();
    if (!FReady) {
        Target.Fill(face);
        return;
    }

    const TDataSkinBorder& tabs = *FSkinData->Tabs;
    const int frames = tabs.Frame > 0 ? tabs.Frame : 5;
    const int count = int(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int current = int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
    FEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    FFocused = GetFocus() == FHandle;

    std::vector<RECT> items(size_t(std::max(count, 0)));
    RECT span{w, h, 0, 0};
    for (int i = 0; i < count; ++i) {
        SendMessageW(FHandle, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&items[size_t(i)]));
        const RECT& r = items[size_t(i)];
        span.left = std::min(span.left, r.left);
        span.top = std::min(span.top, r.top);
        span.right = std::max(span.right, r.right);
        span.bottom = std::max(span.bottom, r.bottom);
    }

    // The pane: the client area less the tab strip (or the display area with its border
    // when there are no tabs).
    RECT pane = client;
    if (count > 0) {
        switch (FSide) {
        case tsTop: pane.top = span.bottom; break;
        case tsBottom: pane.bottom = span.top; break;
        case tsLeft: pane.left = span.right; break;
        case tsRight: pane.right = span.left; break;
        }
    } else {
        RECT display = client;
        SendMessageW(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        InflateRect(&display, 4, 2);
        OffsetRect(&display, 0, 1);
        IntersectRect(&pane, &display, &client);
    }
    // The face and the pane change only with the sizes and the skin: stretching the pane's
    // picture on every paint cost most of the paint, so it is composed once and copied.
    if (FPaneCache.Width() != w || FPaneCache.Height() != h || !EqualRect(&FPaneCacheRect, &pane) ||
        FPaneCacheFace != face) {
        FPaneCache.SetSize(w, h);
        FPaneCache.Fill(face);
        DrawRect2(FPaneCache, FromRECT(pane), FPaneMap, FPaneMargins, {.Trans = true});
        FPaneCacheRect = pane;
        FPaneCacheFace = face;
    }
    GdiFlush();
    if (Target.PixelFormat() == FPaneCache.PixelFormat() && Target.Stride() == FPaneCache.Stride())
        std::memcpy(Target.Bits(), FPaneCache.Bits(), FPaneCache.Stride() * size_t(h));
    else
        Target = FPaneCache;
    if (count <= 0) return;

    // The strip, horizontal: straight into the target for tabs at the top or bottom, into a
    // bitmap of its own (turned afterwards) for tabs at the left or right.
    const bool turned = FSide == tsLeft || FSide == tsRight;
    RECT stripArea = client;
    if (FSide == tsLeft) stripArea.right = pane.left;
    if (FSide == tsRight) stripArea.left = pane.right;
    const int stripW = stripArea.right - stripArea.left;
    TBitmap strip;
    if (turned) {
        if (stripW <= 0) return;
        strip.SetSize(h, stripW);
        strip.Fill(ColorToRGB(ButtonFace()));
    }
    TBitmap& canvas = turned ? strip : Target;
    auto toStrip = [&](RECT r) {
        if (FSide == tsLeft) return RECT{h - r.bottom, r.left, h - r.top, r.right};
        if (FSide == tsRight)
            return RECT{r.top, stripW - (r.right - stripArea.left), r.bottom, stripW - (r.left - stripArea.left)};
        return r;
    };
    const TMargins tabMargins = FSide == tsBottom ? MirrorMargins(tabs.Margins) : tabs.Margins;

    {
        TBitmapDC dc(canvas);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
        TSelectObject oldFont(dc.Handle(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc.Handle(), TRANSPARENT);

        auto drawTab = [&](int i) {
            const bool selected = i == current;
            RECT r = toStrip(items[size_t(i)]);
            if (FSide == tsBottom) {
                OffsetRect(&r, 0, -1);
                if (selected) {
                    r.left -= 2;
                    r.right += 2;
                    r.top -= 1;
                    r.bottom += 2;
                }
            } else {
                OffsetRect(&r, 0, 1);
                if (selected) {
                    r.left -= 2;
                    r.right += 2;
                    r.top -= 2;
                    r.bottom += 1;
                }
            }
            const int frame = !FEnabled ? 3 : selected ? 2 : 1;
            // Paint the picture through the bitmap primitives (the DC is released meanwhile
            // by nothing: the DIB is shared, so flush GDI first).
            GdiFlush();
            DrawRect2(canvas, FromRECT(r), FTabMap, tabMargins,
                      {.Frame = frame, .Frames = frames, .Trans = tabs.Trans == 1, .Tile = tabs.Tile == 1});
            TColor color = frame == 2 ? tabs.DownColor2 : tabs.NormalColor2;
            if (color == clNoSkinColor) color = tabs.NormalColor2;
            if (color == clNoSkinColor) color = FSkinData->Colors.ButtonText;
            if (!FEnabled) color = SystemColor(scBtnShadow);
            SetTextColor(dc.Handle(), ColorRef(color));
            RECT text = r;
            if (FCloseButtons && !turned) {
                const RECT c = CloseRect(r);
                DrawCross(dc.Handle(), c, ColorRef(color), FClosePressed == i);
                text.right = c.left - 1;
                text.left += 2;
            }
            const std::u16string caption = TabText(FHandle, i, FUnicode);
            DrawTextW(dc.Handle(), reinterpret_cast<LPCWSTR>(caption.c_str()), int(caption.size()), &text,
                      TabTextFlags(FHandle));
            if (selected && FFocused) {
                RECT focus = text;
                InflateRect(&focus, -3, -3);
                DrawFocusRect(dc.Handle(), &focus);
            }
            GdiFlush();
        };
        for (int i = 0; i < count; ++i)
            if (i != current) drawTab(i);
        if (current >= 0 && current < count) drawTab(current);
    }  // the strip leaves its DC before it is turned

    if (turned) {
        if (FSide == tsLeft)
            Drehen270Grad(strip);
        else
            Drehen90Grad(strip);
        Bitmapdraw(Target, Bounds(stripArea.left, 0, strip.Width(), strip.Height()), strip);
    }
}

void TSkinTab::ClipUpdown(HDC DC) {
    if (!FUpDown || !IsWindow(FUpDown)) FUpDown = FindWindowExW(FHandle, nullptr, UPDOWN_CLASSW, nullptr);
    if (!FUpDown || !IsWindowVisible(FUpDown)) return;
    RECT r;
    GetWindowRect(FUpDown, &r);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
    // The up-down that scrolls the tabs gets a painter of its own, once.
    if (FSkinForm && FSkinData && FSkinData->SkinControls.Contains(xcSpin) && !FSkinForm->Lookupcontrol(FUpDown) &&
        SendMessageW(FUpDown, CN_IsSkinned, 0, 0) != 1) {
        if (TSkinControl* p = NewSkinControl("TSkinUpDown", FSkinForm))
            p->Inithwnd(FUpDown, FSkinData, FSkinForm, FCanvas);
    }
}

void TSkinTab::DrawControl(HDC DC, const RECT& Rect) {
    if (!Drawable()) return;
    Compose(FBuffer);
    if (FBuffer.Empty()) return;
    // DC is in window coordinates; the composition in client coordinates. The DC may
    // carry an offset already (a child painting its parent's background into its own DC):
    // the shift adds to it.
    const POINT origin = ClientOrigin(FHandle);
    TSavedDC saved(DC);
    OffsetViewportOrgEx(DC, origin.x, origin.y, nullptr);
    ClipUpdown(DC);
    TBitmapDC source(FBuffer, DC);
    BitBlt(DC, 0, 0, FBuffer.Width(), FBuffer.Height(), source.Handle(), 0, 0, SRCCOPY);
    if (FKind == 2) PaintGraphicChildren(WinControl(), DC);
}

bool TSkinTab::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT: return BeforePaint(Message);
    case WM_ERASEBKGND: return BeforeEraseBkgnd(Message);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return BeforeLButtonDown(Message);
    case WM_LBUTTONUP: return BeforeLButtonUp(Message);
    case WM_CAPTURECHANGED: CaptureChanged(Message); break;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

bool TSkinTab::BeforePaint(TMessage& Message) {
    if (!Drawable()) return TSkinControl::BeforeProc(Message);
    std::optional<TPaintDC> paint;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) dc = paint.emplace(FHandle).Handle();
    if (dc) {
        // A client DC: shift it so that window coordinates land right.
        const POINT origin = ClientOrigin(FHandle);
        TSavedDC saved(dc);
        OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
        RECT r{};
        GetWindowRect(FHandle, &r);
        OffsetRect(&r, -r.left, -r.top);
        try {
            DrawControl(dc, r);
        } catch (...) {}
    }
    Message.Result = 0;
    return false;
}

bool TSkinTab::BeforeEraseBkgnd(TMessage& Message) {
    if (!Drawable()) return TSkinControl::BeforeProc(Message);
    Message.Result = 1;
    return false;
}

// A press on a tab's close button is the painter's; elsewhere the tab control's.
bool TSkinTab::BeforeLButtonDown(TMessage& Message) {
    const int index = CloseButtonAt(LParamPoint(Message.LParam));
    if (index < 0) return TSkinControl::BeforeProc(Message);
    FClosePressed = index;
    SetCapture(FHandle);
    Invalidate();
    Message.Result = 0;
    return false;
}

bool TSkinTab::BeforeLButtonUp(TMessage& Message) {
    if (FClosePressed < 0) return TSkinControl::BeforeProc(Message);
    const int index = FClosePressed;
    FClosePressed = -1;
    if (GetCapture() == FHandle) ReleaseCapture();
    Invalidate();
    // A press released away from the button is no click.
    if (CloseButtonAt(LParamPoint(Message.LParam)) == index) {
        HWND target = FSkinForm && FSkinForm->FHandle ? FSkinForm->FHandle : GetAncestor(FHandle, GA_ROOT);
        SendMessageW(target, CN_TabClose, reinterpret_cast<WPARAM>(FHandle), LPARAM(index));
    }
    Message.Result = 0;
    return false;
}

// Another window took the mouse: a pressed close button springs back.
void TSkinTab::CaptureChanged(TMessage& Message) {
    if (FClosePressed >= 0 && reinterpret_cast<HWND>(Message.LParam) != FHandle) {
        FClosePressed = -1;
        Invalidate();
    }
}

// ---- TSkinTab31: a tab set, one strip of tabs painted by the tab painter -----------------

bool TSkinTab31::BeforeProc(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return false;
    }
    return TSkinTab::BeforeProc(Message);
}

// ---- TSkinTabBtn: tabs shown as buttons, each from the Buttons picture -------------------

bool TSkinTabBtn::BeforeProc(TMessage& Message) {
    const bool drawable = FSkinData && HasPicture(FSkinData->Buttons.get()) && FHandle;
    if (drawable && (Message.Msg == WM_PAINT || Message.Msg == WM_PRINTCLIENT)) {
        WMPaint(Message);
        return false;
    }
    if (drawable && Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;
        return false;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinTabBtn::DrawControl(HDC DC, const RECT& Rect) {
    if (!FSkinData || !HasPicture(FSkinData->Buttons.get()) || !FHandle) return;
    RECT client{};
    GetClientRect(FHandle, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    TBitmap buffer(client.right, client.bottom);
    buffer.Fill(ColorToRGB(ButtonFace()));
    const TDataSkinButton& buttons = *FSkinData->Buttons;
    const int frames = buttons.Frame > 0 ? buttons.Frame : 5;
    const int count = int(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int current = int(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
    FEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    TBitmapDC dc(buffer);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
    TSelectObject oldFont(dc.Handle(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc.Handle(), TRANSPARENT);
    for (int i = 0; i < count; ++i) {
        RECT r{};
        SendMessageW(FHandle, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r));
        const int frame = !FEnabled ? 3 : i == current ? 2 : 1;
        GdiFlush();
        DrawRect2(buffer, FromRECT(r), buttons.Map, buttons.Margins,
                  {.Frame = frame, .Frames = frames, .Trans = buttons.Trans == 1, .Tile = buttons.Tile == 1});
        TColor color = frame == 2 && buttons.HasDownColor2 ? buttons.DownColor2
                       : buttons.HasNormalColor2           ? buttons.NormalColor2
                                                           : FSkinData->Colors.ButtonText;
        if (!FEnabled) color = SystemColor(scBtnShadow);
        SetTextColor(dc.Handle(), ColorRef(color));
        const std::u16string caption = TabText(FHandle, i, FUnicode);
        DrawTextW(dc.Handle(), reinterpret_cast<LPCWSTR>(caption.c_str()), int(caption.size()), &r,
                  TabTextFlags(FHandle));
    }
    GdiFlush();
    const POINT origin = ClientOrigin(FHandle);
    TBitmapDC source(buffer, DC);
    BitBlt(DC, Rect.left + origin.x, Rect.top + origin.y, buffer.Width(), buffer.Height(), source.Handle(), 0, 0,
           SRCCOPY);
}

// ---- TSkinTabSheet: the page in ButtonFace with its labels on it --------------------------

bool TSkinTabSheet::BeforeProc(TMessage& Message) {
    if (FKind == 0 && (Message.Msg == WM_PAINT || Message.Msg == WM_PRINTCLIENT)) {
        WMPaint(Message);
        return false;
    }
    if (Message.Msg == WM_ERASEBKGND) {
        if (HDC dc = reinterpret_cast<HDC>(Message.WParam); dc && FHandle) {
            RECT r;
            GetClientRect(FHandle, &r);
            FillBG(dc, r);
        }
        Message.Result = 1;
        return false;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinTabSheet::DrawControl(HDC DC, const RECT& Rect) {
    if (!FHandle) return;
    RECT client;
    GetClientRect(FHandle, &client);
    // Window coordinates: a sheet has no border, but stay right if one ever has.
    const POINT origin = ClientOrigin(FHandle);
    TSavedDC saved(DC);
    OffsetViewportOrgEx(DC, origin.x + Rect.left, origin.y + Rect.top, nullptr);
    FillBG(DC, client);
    PaintGraphicChildren(WinControl(), DC);
}

// ---- TSkinAdvPage: a page control of another library, given the skin's tab pictures ------

void TSkinAdvPage::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    SkinChange();
}

void TSkinAdvPage::Unsubclass() {
    if (ControlAlive()) {
        FBackGround.Restore(FControl);
        FBackGroundActive.Restore(FControl);
    }
    FBackGround.Forget();
    FBackGroundActive.Forget();
    TSkinControl::Unsubclass();
}

void TSkinAdvPage::SkinChange() {
    if (ControlAlive()) {
        if (FSkinData && HasPicture(FSkinData->Tabs.get())) {
            // The tab painter's frames: 1 a tab, 2 the chosen one.
            const TDataSkinBorder& tabs = *FSkinData->Tabs;
            const int frames = tabs.Frame > 0 ? tabs.Frame : 5;
            FBackGround.Swap(FControl, "TabBackGround", StripFrameBitmap(tabs.Map, frames, 1));
            FBackGroundActive.Swap(FControl, "TabBackGroundActive", StripFrameBitmap(tabs.Map, frames, 2));
        } else {
            // A skin without tabs: the control's own pictures.
            FBackGround.Restore(FControl);
            FBackGroundActive.Restore(FControl);
        }
    }
    TSkinControl::SkinChange();
}

}  // namespace quorin
