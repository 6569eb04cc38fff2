// Scroll-bar painters and their overlay windows, list views, headers.
//
// The native scroll bars are never repainted: a small window of our own (TWScrollbar) is
// laid exactly over each bar, drawn from the skin, and hands every press on to the control
// as a press on its own bar, so the platform's scroll tracking does the scrolling. The
// painter re-places its overlays whenever the bars may have moved, changed or appeared;
// the control gets WS_CLIPSIBLINGS meanwhile, so its own non-client painting never covers
// the overlays.
#include "skin/apply/Winsubclass.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "forms/TypInfo.h"
#include "skin/apply/Winskinform.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

int FramesOf(const TDataSkinObject& e, int fallback) { return e.Frame > 0 ? e.Frame : fallback; }

void DrawElement(TBitmap& target, const RECT& r, const TDataSkinObject* e, int frame, int fallbackFrames) {
    if (!HasPicture(e) || r.right <= r.left || r.bottom <= r.top) return;
    DrawRect2(target, FromRECT(r), e->Map, e->Margins,
              {.Frame = frame, .Frames = FramesOf(*e, fallbackFrames), .Trans = e->Trans == 1, .Tile = e->Tile == 1});
}

// The parts of SCROLLBARINFO.rgstate.
constexpr int kBar = 0, kFirstArrow = 1, kThumb = 3, kSecondArrow = 5;

constexpr wchar_t kOverlayClass[] = L"TWScrollbar";

LRESULT CALLBACK OverlayProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* bar = reinterpret_cast<TWScrollbar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (bar) bar->FWindow = nullptr;
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    if (!bar || !bar->FWindow) {
        if (bar && msg == WM_NCCREATE) bar->FWindow = window;
        return DefWindowProcW(window, msg, wParam, lParam);
    }
    TMessage m{msg, wParam, lParam, 0};
    bar->WndProc(m);
    return m.Result;
}

void RegisterOverlayClass() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = OverlayProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kOverlayClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
}

// Whether the window is an overlay laid over that control.
bool IsOverlayOf(HWND window, HWND control) {
    wchar_t name[32] = {};
    if (!GetClassNameW(window, name, 32) || std::wstring(name) != kOverlayClass) return false;
    auto* bar = reinterpret_cast<TWScrollbar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return bar && bar->Control() == control;
}

bool SameInfo(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.dxyLineButton == b.dxyLineButton &&
           a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom &&
           std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}

// The one-pixel shadow frame with a white line inside, over a native sunken border.
void DrawSkinBorder(HDC dc, const RECT& rect, TColor shadow) {
    RECT r = rect;
    TGdiObject<HBRUSH> outer(CreateSolidBrush(ColorRef(shadow)));
    FrameRect(dc, &r, outer.Get());
    InflateRect(&r, -1, -1);
    TGdiObject<HBRUSH> inner(CreateSolidBrush(RGB(255, 255, 255)));
    FrameRect(dc, &r, inner.Get());
}

}  // namespace

bool ScrollbarSkinned(const TSkinData* SkinData) {
    return SkinData && HasPicture(SkinData->Scrollbar.get()) && HasPicture(SkinData->HorzScroll.get()) &&
           HasPicture(SkinData->VertScroll.get()) && HasPicture(SkinData->HorzScrollThumb.get()) &&
           HasPicture(SkinData->VertScrollThumb.get()) && PlatformHasScrollBarInfo();
}

// ---- TWScrollbar --------------------------------------------------------------------------

TWScrollbar::TWScrollbar(TSkinControl* Painter, HWND Control, int Kind)
    : FPainter(Painter), FControl(Control), FKind(Kind) {
    FVertical = Kind == 1;
    if (Kind == 2) {
        // A stand-alone bar is vertical unless its control says otherwise.
        const std::string kind = GetEnumProperty(Painter ? Painter->FControl : nullptr, "Kind");
        FVertical = kind.empty() ? (GetWindowLongPtrW(Control, GWL_STYLE) & SBS_VERT) != 0 : kind != "sbHorizontal";
    }
    RegisterOverlayClass();
    HWND parent = GetParent(Control);
    if (!parent) return;
    // Created hidden; SetPosition shows it over the bar.
    CreateWindowExW(0, kOverlayClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr,
                    GetModuleHandleW(nullptr), this);
}

TWScrollbar::~TWScrollbar() {
    if (FWindow && IsWindow(FWindow)) {
        HWND window = FWindow;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        FWindow = nullptr;
        DestroyWindow(window);
    }
}

void TWScrollbar::Hide() {
    if (FWindow && IsWindowVisible(FWindow)) ShowWindow(FWindow, SW_HIDE);
}

bool TWScrollbar::SetPosition() {
    if (!FWindow || !FControl || !IsWindow(FControl)) {
        Hide();
        return false;
    }
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    bool ok;
    if (FKind == 2) {
        ok = TSkinData::GetScrollBarInfo(FControl, OBJID_CLIENT, &info);
        if (!ok) {
            // Without the platform's geometry the bar is the control itself, thumb unknown.
            info = SCROLLBARINFO{};
            info.cbSize = sizeof info;
            ok = GetWindowRect(FControl, &info.rcScrollBar) != FALSE;
        }
    } else {
        ok = TSkinData::GetScrollBarInfo(FControl, FKind == 0 ? OBJID_HSCROLL : OBJID_VSCROLL, &info);
    }
    if (!ok) return false;
    const bool shown = IsWindowVisible(FControl) &&
                       !(info.rgstate[kBar] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) &&
                       info.rcScrollBar.right > info.rcScrollBar.left && info.rcScrollBar.bottom > info.rcScrollBar.top;
    if (!shown) {
        FInfo = info;
        Hide();
        return true;
    }
    RECT r = info.rcScrollBar;
    HWND parent = GetParent(FWindow);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RECT now{};
    GetWindowRect(FWindow, &now);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
    const bool visible = IsWindowVisible(FWindow) != FALSE;
    // In front of the control: above it, with at most other overlays of it in between.
    HWND above = GetWindow(FControl, GW_HWNDPREV);
    bool inFront = false;
    for (HWND w = above; w; w = GetWindow(w, GW_HWNDPREV)) {
        if (w == FWindow) {
            inFront = true;
            break;
        }
        if (!IsOverlayOf(w, FControl)) break;
    }
    if (!visible || !inFront || !EqualRect(&now, &r)) {
        UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW;
        if (inFront) flags |= SWP_NOZORDER;
        SetWindowPos(FWindow, above ? above : HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    }
    const bool changed = !visible || !SameInfo(info, FInfo);
    FInfo = info;
    if (changed) RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE);
    return true;
}

int TWScrollbar::PartAt(POINT Point) const {
    if (!FWindow) return 0;
    RECT client;
    GetClientRect(FWindow, &client);
    if (!PtInRect(&client, Point)) return 0;
    const int pos = FVertical ? Point.y : Point.x;
    const int length = FVertical ? client.bottom : client.right;
    const int arrow = FInfo.dxyLineButton;
    if (pos < arrow) return 1;
    if (pos >= length - arrow) return 5;
    if (FInfo.xyThumbBottom > FInfo.xyThumbTop) {
        if (pos < FInfo.xyThumbTop) return 2;
        if (pos < FInfo.xyThumbBottom) return 3;
    }
    return 4;
}

void TWScrollbar::Paint(HDC DC) {
    if (!FWindow || !FPainter || !FPainter->FSkinData) return;
    const TSkinData& skin = *FPainter->FSkinData;
    RECT client;
    GetClientRect(FWindow, &client);
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    if (FBuffer.Width() != w || FBuffer.Height() != h) FBuffer.SetSize(w, h);
    FBuffer.Fill(ColorToRGB(FPainter->ButtonFace()));

    const bool disabled = (FInfo.rgstate[kBar] & STATE_SYSTEM_UNAVAILABLE) != 0;
    const int arrow = std::min(FInfo.dxyLineButton, (FVertical ? h : w) / 2);
    const RECT first = FVertical ? RECT{0, 0, w, arrow} : RECT{0, 0, arrow, h};
    const RECT second = FVertical ? RECT{0, h - arrow, w, h} : RECT{w - arrow, 0, w, h};
    const RECT track = FVertical ? RECT{0, arrow, w, h - arrow} : RECT{arrow, 0, w - arrow, h};
    const bool thumbShown =
        !disabled && FInfo.xyThumbBottom > FInfo.xyThumbTop && !(FInfo.rgstate[kThumb] & STATE_SYSTEM_INVISIBLE);
    const RECT thumb = FVertical ? RECT{0, FInfo.xyThumbTop, w, FInfo.xyThumbBottom}
                                 : RECT{FInfo.xyThumbTop, 0, FInfo.xyThumbBottom, h};

    // The track: frame 1, the pressed page part frame 3, a disabled bar frame 4.
    const TDataSkinObject* trackElement = FVertical ? skin.VertScroll.get() : skin.HorzScroll.get();
    DrawElement(FBuffer, track, trackElement, disabled ? 4 : 1, 4);
    if (FPressed && thumbShown && (FPressedPart == 2 || FPressedPart == 4)) {
        RECT page = track;
        if (FPressedPart == 2)
            (FVertical ? page.bottom : page.right) = FInfo.xyThumbTop;
        else
            (FVertical ? page.top : page.left) = FInfo.xyThumbBottom;
        DrawElement(FBuffer, page, trackElement, 3, 4);
    }
    // The arrows: up 1-4, down 5-8, left 9-12, right 13-16 (normal, hot, pressed, disabled).
    auto arrowFrame = [&](int part, int base, int stateIndex) {
        if (disabled || (FInfo.rgstate[stateIndex] & STATE_SYSTEM_UNAVAILABLE)) return base + 3;
        if (FPressed && FPressedPart == part) return base + 2;
        if (FHotPart == part) return base + 1;
        return base;
    };
    DrawElement(FBuffer, first, skin.Scrollbar.get(), arrowFrame(1, FVertical ? 1 : 9, kFirstArrow), 23);
    DrawElement(FBuffer, second, skin.Scrollbar.get(), arrowFrame(5, FVertical ? 5 : 13, kSecondArrow), 23);
    if (thumbShown) {
        const int frame = FPressed && FPressedPart == 3 ? 3 : FHotPart == 3 ? 2 : 1;
        DrawElement(FBuffer, thumb, FVertical ? skin.VertScrollThumb.get() : skin.HorzScrollThumb.get(), frame, 3);
    }
    TBitmapDC source(FBuffer, DC);
    BitBlt(DC, 0, 0, w, h, source.Handle(), 0, 0, SRCCOPY);
}

void TWScrollbar::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_PAINT: WMPaint(); return;
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(Message.WParam)); return;
    case CN_IsSkinned: Message.Result = 1; return;  // never walked, never given a painter
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: WMLButtonDown(Message); return;
    case WM_LBUTTONUP: WMLButtonUp(Message); return;
    case WM_MOUSEMOVE: WMMouseMove(Message); return;
    case WM_MOUSELEAVE: WMMouseLeave(); return;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); return;
    default: Message.Result = DefWindowProcW(FWindow, Message.Msg, Message.WParam, Message.LParam); return;
    }
}

void TWScrollbar::WMPaint() {
    TPaintDC dc(FWindow);
    if (dc.Handle()) Paint(dc.Handle());
}

void TWScrollbar::WMLButtonDown(TMessage& Message) {
    if (!FControl || !IsWindow(FControl)) return;
    const POINT p = LParamPoint(Message.LParam);
    FDownPoint = p;
    FDownThumb = FInfo.xyThumbTop;
    FPressed = true;
    FPressedPart = PartAt(p);
    RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
    HWND control = FControl;
    HWND self = FWindow;
    if (FKind == 2) {
        POINT c = p;
        MapWindowPoints(self, control, &c, 1);
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    } else {
        POINT s = p;
        ClientToScreen(self, &s);
        // The platform tracks the press until the button is released.
        SendMessageW(control, WM_NCLBUTTONDOWN, FKind == 0 ? HTHSCROLL : HTVSCROLL, MAKELPARAM(s.x, s.y));
    }
    // The overlay may be gone when the control went with the press.
    if (!IsWindow(self) || GetWindowLongPtrW(self, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(this)) return;
    if (GetKeyState(VK_LBUTTON) >= 0) {
        FPressed = false;
        FPressedPart = 0;
    }
    SetPosition();
    RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
}

void TWScrollbar::WMLButtonUp(TMessage& Message) {
    if (!FPressed) return;
    FPressed = false;
    FPressedPart = 0;
    RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
    if (!FControl || !IsWindow(FControl)) return;
    POINT p = LParamPoint(Message.LParam);
    if (FKind == 2) {
        MapWindowPoints(FWindow, FControl, &p, 1);
        PostMessageW(FControl, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    } else {
        ClientToScreen(FWindow, &p);
        PostMessageW(FControl, WM_NCLBUTTONUP, FKind == 0 ? HTHSCROLL : HTVSCROLL, MAKELPARAM(p.x, p.y));
    }
}

void TWScrollbar::WMMouseMove(TMessage& Message) {
    const int part = PartAt(LParamPoint(Message.LParam));
    if (part != FHotPart) {
        FHotPart = part;
        RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
    }
    DoTrackMouse(FWindow);
}

void TWScrollbar::WMMouseLeave() {
    if (!FPressed && FHotPart != 0) {
        FHotPart = 0;
        RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE);
    }
}

// The wheel over the bar scrolls the control, as over the native bar.
void TWScrollbar::WMMouseWheel(TMessage& Message) {
    if (FControl && IsWindow(FControl))
        Message.Result = SendMessageW(FControl, Message.Msg, Message.WParam, Message.LParam);
}

// ---- TSkinScrollbar -------------------------------------------------------------------------

TSkinScrollbar::~TSkinScrollbar() { FreeOverlays(); }

void TSkinScrollbar::FreeOverlays() {
    FHorz.reset();
    FVert.reset();
}

void TSkinScrollbar::InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited || !Control) return;
    Init(SkinForm, SkinData, false, Canvas);
    if (!FHandle) return;
    FXPStyle = true;  // every platform this program runs on has the themed geometry
    const std::string className = Control->ClassName();
    FBorder = GetEnumProperty(Control, "BorderStyle") != "bsNone" && className != "TImageScrollBox" && FKind != 1 &&
              (GetWindowLongPtrW(FHandle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    if (const TPropInfo* p = GetPropInfo(Control, "FixedColor"); p && p->Kind == TPropKind::Integer) {
        FHasFixedColor = true;
        FOldFixedColor = GetIntProperty(Control, "FixedColor");
        SetProperty(Control, "FixedColor", std::to_string(ButtonFace()));
    }
    if (!ScrollbarSkinned(SkinData) || !SkinData->SkinControls.Contains(xcScrollbar)) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    if (!(style & WS_CLIPSIBLINGS)) {
        SetWindowLongPtrW(FHandle, GWL_STYLE, style | WS_CLIPSIBLINGS);
        FAddedClipSiblings = true;
    }
    FHorz = std::make_unique<TWScrollbar>(this, FHandle, 0);
    FVert = std::make_unique<TWScrollbar>(this, FHandle, 1);
    SetScrollbarPos();
}

void TSkinScrollbar::SetScrollbarPos() {
    if (FInScrollbarPos) return;
    FInScrollbarPos = true;
    if (FHorz) FHorz->SetPosition();
    if (FVert) FVert->SetPosition();
    FInScrollbarPos = false;
}

void TSkinScrollbar::Unsubclass() {
    FreeOverlays();
    if (FAddedClipSiblings && FHandle && IsWindow(FHandle)) {
        SetWindowLongPtrW(FHandle, GWL_STYLE, GetWindowLongPtrW(FHandle, GWL_STYLE) & ~LONG_PTR(WS_CLIPSIBLINGS));
    }
    FAddedClipSiblings = false;
    if (FHasFixedColor && ControlAlive()) SetProperty(FControl, "FixedColor", std::to_string(FOldFixedColor));
    FHasFixedColor = false;
    TSkinControl::Unsubclass();
}

bool TSkinScrollbar::BeforeProc(TMessage& Message) {
    if (Message.Msg == CN_PaintFrame && Message.LParam == SkinHandshake) {
        if (HDC dc = reinterpret_cast<HDC>(Message.WParam); dc && FBorder) {
            RECT r;
            GetWindowRect(FHandle, &r);
            OffsetRect(&r, -r.left, -r.top);
            DrawControl(dc, r);
        }
        Message.Result = SkinHandshake;
        return false;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinScrollbar::AfterProc(TMessage& Message) {
    const UINT msg = Message.Msg;
    switch (msg) {
    case CM_RECREATEWND: AfterRecreateWnd(); return;
    case WM_NCPAINT: AfterNCPaint(); return;
    // Any of these may have moved, changed, shown or hidden a bar; placing is cheap when
    // nothing changed.
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case CM_VISIBLECHANGED:
    case WM_SHOWWINDOW:
    case WM_STYLECHANGED:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SETTEXT:
    case WM_TIMER:
    case WM_LBUTTONUP:
    case WM_SETREDRAW:
    case WM_PAINT:
        TSkinControl::AfterProc(Message);
        SetScrollbarPos();
        return;
    default: break;
    }
    // Messages that change the contents of list views and edits change their bars too.
    if ((msg >= LVM_FIRST && msg < LVM_FIRST + 0x100) || (msg >= EM_GETSEL && msg <= EM_GETIMESTATUS) ||
        (msg >= LB_ADDSTRING && msg <= LB_MSGMAX))
        SetScrollbarPos();
    TSkinControl::AfterProc(Message);
}

// The window this painter followed is gone; the applier gives the control a new one.
void TSkinScrollbar::AfterRecreateWnd() {
    if (FSkinForm && FSkinForm->FHandle)
        PostMessageW(FSkinForm->FHandle, CN_ReCreateWnd, reinterpret_cast<WPARAM>(FHandle), 0);
}

void TSkinScrollbar::AfterNCPaint() {
    if (FBorder) PaintControl(0);
    SetScrollbarPos();
}

void TSkinScrollbar::DrawControl(HDC DC, const RECT& Rect) {
    if (!FBorder || !FSkinData) return;
    DrawSkinBorder(DC, Rect, FSkinData->Colors.ButtonShadow);
}

// ---- TSkinListView ------------------------------------------------------------------------

void TSkinListView::InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited) return;
    TSkinScrollbar::InitScrollbar(Control, SkinData, SkinForm, Canvas);
    if (!FHandle) return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
    if (!header || SendMessageW(header, CN_IsSkinned, 0, 0) == 1) return;
    if (!SkinData || !HasPicture(SkinData->Headerbar.get())) return;
    // Owned by this painter, so it goes with it.
    FHeader = new TSkinHeader(this);
    FHeader->Inithwnd(header, SkinData, SkinForm, Canvas);
}

// ---- TSkinScrollbarH: the bars of a raw window -----------------------------------------------

TSkinScrollbarH::~TSkinScrollbarH() {
    FHorz.reset();
    FVert.reset();
}

void TSkinScrollbarH::Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Inithwnd(Handle, SkinData, SkinForm, Canvas);
    if (!ScrollbarSkinned(SkinData)) return;
    SetWindowLongPtrW(Handle, GWL_STYLE, GetWindowLongPtrW(Handle, GWL_STYLE) | WS_CLIPSIBLINGS);
    FHorz = std::make_unique<TWScrollbar>(this, Handle, 0);
    FVert = std::make_unique<TWScrollbar>(this, Handle, 1);
    SetScrollbarPos();
}

void TSkinScrollbarH::SetScrollbarPos() {
    if (FHorz) FHorz->SetPosition();
    if (FVert) FVert->SetPosition();
}

void TSkinScrollbarH::Unsubclass() {
    FHorz.reset();
    FVert.reset();
    TSkinControl::Unsubclass();
}

void TSkinScrollbarH::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_NCPAINT:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_WINDOWPOSCHANGED:
    case WM_MOUSEWHEEL:
    case WM_SHOWWINDOW:
    case WM_KEYDOWN:
    case WM_PAINT: SetScrollbarPos(); break;
    default:
        if (Message.Msg >= LB_ADDSTRING && Message.Msg <= LB_MSGMAX) SetScrollbarPos();
        break;
    }
    TSkinControl::AfterProc(Message);
}

// ---- TSkinScControl: a stand-alone scroll-bar control ---------------------------------------

TSkinScControl::~TSkinScControl() { FBar.reset(); }

void TSkinScControl::InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited || !Control) return;
    Init(SkinForm, SkinData, false, Canvas);
    if (!FHandle || !ScrollbarSkinned(SkinData)) return;
    SetWindowLongPtrW(FHandle, GWL_STYLE, GetWindowLongPtrW(FHandle, GWL_STYLE) | WS_CLIPSIBLINGS);
    FBar = std::make_unique<TWScrollbar>(this, FHandle, 2);
    FBar->SetPosition();
}

void TSkinScControl::Unsubclass() {
    FBar.reset();
    TSkinControl::Unsubclass();
}

void TSkinScControl::AfterProc(TMessage& Message) {
    TSkinControl::AfterProc(Message);
    if (!FBar) return;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_ENABLE:
    case WM_SHOWWINDOW:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
    case SBM_SETSCROLLINFO:
    case SBM_ENABLE_ARROWS:
    case CN_HSCROLL:
    case CN_VSCROLL:
    case WM_PAINT:
    case WM_KEYDOWN: FBar->SetPosition(); break;
    default: break;
    }
}

// ---- TSkinHeader ----------------------------------------------------------------------------

void TSkinHeader::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
}

void TSkinHeader::Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    TSkinControl::Inithwnd(Handle, SkinData, SkinForm, Canvas);
}

bool TSkinHeader::Drawable() const {
    return FSkinData && HasPicture(FSkinData->Headerbar.get()) && FHandle && IsWindow(FHandle);
}

int TSkinHeader::SectionAt(POINT ClientPoint) const {
    HDHITTESTINFO hit{};
    hit.pt = ClientPoint;
    const int index = int(SendMessageW(FHandle, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & (HHT_ONHEADER | HHT_ONDIVIDER | HHT_ONDIVOPEN)) ? index : -1;
}

bool TSkinHeader::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (!Drawable()) break;
        WMPaint(Message);
        return false;
    case WM_ERASEBKGND:
        if (!Drawable()) break;
        Message.Result = 1;
        return false;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinHeader::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEMOVE: {
        const int hot = SectionAt(LParamPoint(Message.LParam));
        if (hot != FHotIndex) {
            FHotIndex = hot;
            Invalidate();
        }
        DoTrackMouse(FHandle);
        return;
    }
    case WM_MOUSELEAVE:
        if (FHotIndex != -1) {
            FHotIndex = -1;
            Invalidate();
        }
        return;
    case WM_LBUTTONDOWN:
        FPressedIndex = SectionAt(LParamPoint(Message.LParam));
        Invalidate();
        return;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (FPressedIndex != -1) {
            FPressedIndex = -1;
            Invalidate();
        }
        return;
    default: break;
    }
    TSkinControl::AfterProc(Message);
}

void TSkinHeader::DrawControl(HDC DC, const RECT& Rect) {
    if (!Drawable()) return;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    if (FBuffer.Width() != w || FBuffer.Height() != h) FBuffer.SetSize(w, h);
    FBuffer.Fill(ColorToRGB(ButtonFace()));
    const TDataSkinObject& bar = *FSkinData->Headerbar;
    FEnabled = (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_DISABLED) == 0;
    const int count = int(SendMessageW(FHandle, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    struct TSection {
        RECT r;
        int frame;
        std::u16string text;
        int format;
    };
    std::vector<TSection> sections;
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (!SendMessageW(FHandle, HDM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
        wchar_t buffer[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = buffer;
        item.cchTextMax = 259;
        SendMessageW(FHandle, HDM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        int frame = 1;
        if (!FEnabled)
            frame = 4;
        else if (FPressedIndex == i)
            frame = 3;
        else if (FHotIndex == i)
            frame = 2;
        else if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN))
            frame = 5;
        sections.push_back({r, frame, std::u16string(reinterpret_cast<const char16_t*>(buffer)), item.fmt});
        right = std::max(right, int(r.right));
    }
    for (const TSection& s : sections) DrawElement(FBuffer, s.r, &bar, s.frame, 5);
    if (right < w) DrawElement(FBuffer, RECT{right, 0, w, h}, &bar, FEnabled ? 1 : 4, 5);
    {
        TBitmapDC dc(FBuffer, DC);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(FHandle, WM_GETFONT, 0, 0));
        TSelectObject oldFont(dc.Handle(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc.Handle(), TRANSPARENT);
        for (const TSection& s : sections) {
            TColor color = s.frame == 2 ? bar.OverColor : s.frame == 3 ? bar.DownColor : bar.NormalColor;
            if (color == clNoSkinColor) color = FSkinData->Colors.ButtonText;
            if (!FEnabled) color = SystemColor(scBtnShadow);
            SetTextColor(dc.Handle(), ColorRef(color));
            RECT t = s.r;
            InflateRect(&t, -6, 0);
            if (s.frame == 3) OffsetRect(&t, 1, 1);
            UINT align = DT_LEFT;
            if ((s.format & HDF_JUSTIFYMASK) == HDF_CENTER)
                align = DT_CENTER;
            else if ((s.format & HDF_JUSTIFYMASK) == HDF_RIGHT)
                align = DT_RIGHT;
            DrawTextW(dc.Handle(), reinterpret_cast<LPCWSTR>(s.text.c_str()), int(s.text.size()), &t,
                      align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
        GdiFlush();
        BitBlt(DC, Rect.left, Rect.top, w, h, dc.Handle(), 0, 0, SRCCOPY);
    }
}

}  // namespace quorin
