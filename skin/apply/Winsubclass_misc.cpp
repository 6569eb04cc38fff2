// Track bars and media players.
#include "skin/apply/Winsubclass.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/ExtCtrls.h"
#include "forms/TypInfo.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

// The thumb picture for the track bar's style: the pointed one where the ticks are on one
// side only, else the plain one of its direction.
const TDataSkinObject* ThumbElement(const TSkinData& skin, LONG_PTR style) {
    const bool vertical = (style & TBS_VERT) != 0;
    const TDataSkinObject* pointed = nullptr;
    if (!(style & TBS_BOTH) && !(style & TBS_NOTHUMB)) {
        if (vertical)
            pointed = (style & TBS_LEFT) ? skin.TrackbarThumbLeft.get() : skin.TrackbarThumbRight.get();
        else
            pointed = (style & TBS_TOP) ? skin.TrackbarThumbUp.get() : skin.TrackbarThumbDown.get();
    }
    if (HasPicture(pointed)) return pointed;
    const TDataSkinObject* plain = vertical ? skin.TrackbarThumbVert.get() : skin.TrackbarThumbHorz.get();
    return HasPicture(plain) ? plain : nullptr;
}

}  // namespace

// ---- TSkinTrackBar: thumb and channel through the control's custom draw ---------------------

bool TSkinTrackBar::Drawable() const { return FSkinData && FHandle && IsWindow(FHandle); }

void TSkinTrackBar::DrawThumb(HDC DC, const RECT& Rect, UINT ItemState) {
    const TDataSkinObject* e = ThumbElement(*FSkinData, GetWindowLongPtrW(FHandle, GWL_STYLE));
    if (!e) return;
    int frame = 1;
    if (ItemState & CDIS_DISABLED)
        frame = 4;
    else if (ItemState & CDIS_SELECTED)
        frame = 3;
    else if (ItemState & CDIS_HOT)
        frame = 2;
    else if (ItemState & CDIS_FOCUS)
        frame = 5;
    const int frames = e->Frame > 0 ? e->Frame : 5;
    if (frame > frames) frame = 1;
    // The parent's colour under the picture's transparent corners.
    FillColor(DC, Rect, GetParentColor(ButtonFace()));
    DrawRect2(DC, FromRECT(Rect), e->Map, e->Margins,
              {.Frame = frame, .Frames = frames, .Trans = e->Trans == 1, .Tile = e->Tile == 1});
}

void TSkinTrackBar::DrawTrack(HDC DC, const RECT& Rect) {
    const bool vertical = (GetWindowLongPtrW(FHandle, GWL_STYLE) & TBS_VERT) != 0;
    const TDataSkinObject* e = vertical ? FSkinData->TrackVert.get() : FSkinData->Track.get();
    if (!HasPicture(e)) return;
    DrawRect2(DC, FromRECT(Rect), e->Map, e->Margins,
              {.Frames = e->Frame > 0 ? e->Frame : 1, .Trans = e->Trans == 1, .Tile = e->Tile == 1});
}

bool TSkinTrackBar::BeforeProc(TMessage& Message) {
    if (Message.Msg == CN_NOTIFY && Drawable()) {
        auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(Message.LParam);
        if (cd && cd->hdr.hwndFrom == FHandle && cd->hdr.code == UINT(NM_CUSTOMDRAW)) {
            const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
            const bool vertical = (style & TBS_VERT) != 0;
            const TDataSkinObject* track = vertical ? FSkinData->TrackVert.get() : FSkinData->Track.get();
            const TDataSkinObject* thumb = ThumbElement(*FSkinData, style);
            if (cd->dwDrawStage == CDDS_PREPAINT) {
                Message.Result = (HasPicture(track) || thumb) ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
                return false;
            }
            if (cd->dwDrawStage == CDDS_ITEMPREPAINT) {
                if (cd->dwItemSpec == TBCD_THUMB && thumb) {
                    DrawThumb(cd->hdc, cd->rc, cd->uItemState);
                    Message.Result = CDRF_SKIPDEFAULT;
                    return false;
                }
                if (cd->dwItemSpec == TBCD_CHANNEL && HasPicture(track)) {
                    DrawTrack(cd->hdc, cd->rc);
                    Message.Result = CDRF_SKIPDEFAULT;
                    return false;
                }
                Message.Result = CDRF_DODEFAULT;
                return false;
            }
        }
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinTrackBar::Unsubclass() {
    TSkinControl::Unsubclass();
    if (FHandle && IsWindow(FHandle)) InvalidateRect(FHandle, nullptr, TRUE);
}

void TSkinTrackBar::SkinChange() { TSkinControl::SkinChange(); }

// ---- TWMediaPlayer and TSkinMP --------------------------------------------------------------

namespace {

constexpr int kPlayerButtons = 9;  // play, pause, stop, next, prev, step, back, record, eject
constexpr wchar_t kPlayerClass[] = L"TWMediaPlayer";

LRESULT CALLBACK PlayerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* panel = reinterpret_cast<TWMediaPlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (panel) panel->FWindow = nullptr;
    }
    if (!panel || !panel->FWindow || msg == WM_NCDESTROY) return DefWindowProcW(window, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    panel->WndProc(m);
    return m.Result;
}

// One of the player's button sets (VisibleButtons, EnabledButtons): a set property whose
// element n is button n, or an integer mask; every button when the player has none.
uint32_t ButtonSet(TControl* control, std::string_view name) {
    constexpr uint32_t all = (1u << kPlayerButtons) - 1;
    const TPropInfo* p = control ? GetPropInfo(control, name) : nullptr;
    if (!p || (p->Kind != TPropKind::Set && p->Kind != TPropKind::Integer)) return all;
    try {
        const int64_t value = GetOrdProp(control, name);
        return value < 0 ? all : uint32_t(value) & all;
    } catch (const std::exception&) {
        return all;
    }
}

// The buttons the player shows.
uint32_t VisibleMask(TControl* control) { return ButtonSet(control, "VisibleButtons"); }

}  // namespace

TWMediaPlayer::TWMediaPlayer(TSkinControl* Painter, TWinControl* Control) : FPainter(Painter), FControl(Control) {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = PlayerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kPlayerClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    HWND parent = Control && Control->HandleAllocated() ? GetParent(Control->Handle()) : nullptr;
    if (!parent) return;
    FWindow = CreateWindowExW(0, kPlayerClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent, nullptr,
                              GetModuleHandleW(nullptr), this);
    Place();
}

TWMediaPlayer::~TWMediaPlayer() {
    if (FWindow && IsWindow(FWindow)) {
        HWND window = FWindow;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        FWindow = nullptr;
        DestroyWindow(window);
    }
}

void TWMediaPlayer::Place() {
    if (!FWindow || !FControl || !FControl->HandleAllocated()) return;
    HWND control = FControl->Handle();
    if (!IsWindowVisible(control)) {
        ShowWindow(FWindow, SW_HIDE);
        return;
    }
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(FWindow), reinterpret_cast<POINT*>(&r), 2);
    HWND above = GetWindow(control, GW_HWNDPREV);
    SetWindowPos(FWindow,
                 above == FWindow ? nullptr
                 : above          ? above
                                  : HWND_TOP,
                 r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW | (above == FWindow ? SWP_NOZORDER : 0));
    InvalidateRect(FWindow, nullptr, FALSE);
}

int TWMediaPlayer::ButtonAt(POINT Point) const {
    RECT client;
    GetClientRect(FWindow, &client);
    const uint32_t mask = VisibleMask(FControl);
    const int shown = std::max(1, int(__builtin_popcount(mask & ((1u << kPlayerButtons) - 1))));
    const int width = client.right / shown;
    if (width <= 0 || Point.y < 0 || Point.y >= client.bottom) return -1;
    int slot = Point.x / width;
    for (int i = 0; i < kPlayerButtons; ++i) {
        if (!(mask & (1u << i))) continue;
        if (slot-- == 0) return i;
    }
    return -1;
}

void TWMediaPlayer::Paint(HDC DC) {
    if (!FPainter || !FPainter->FSkinData) return;
    RECT client;
    GetClientRect(FWindow, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    FBuffer.SetSize(client.right, client.bottom);
    FBuffer.Fill(ColorToRGB(FPainter->ButtonFace()));
    const uint32_t mask = VisibleMask(FControl);
    const uint32_t enabled = ButtonSet(FControl, "EnabledButtons");
    const int shown = std::max(1, int(__builtin_popcount(mask & ((1u << kPlayerButtons) - 1))));
    const int width = client.right / shown;
    const TDataSkinButton* buttons = FPainter->FSkinData->Buttons.get();
    std::vector<std::pair<RECT, int>> glyphs;
    int slot = 0;
    for (int i = 0; i < kPlayerButtons; ++i) {
        if (!(mask & (1u << i))) continue;
        const RECT r{slot * width, 0, (slot + 1) * width, client.bottom};
        ++slot;
        const bool on = (enabled & (1u << i)) != 0;
        const int frame = !on ? 3 : FPressed == i ? 2 : 1;
        if (buttons && !buttons->Map.Empty())
            DrawRect2(FBuffer, FromRECT(r), buttons->Map, buttons->Margins,
                      {.Frame = frame,
                       .Frames = buttons->Frame > 0 ? buttons->Frame : 5,
                       .Trans = buttons->Trans == 1,
                       .Tile = buttons->Tile == 1});
        glyphs.emplace_back(r, on ? i : -1 - i);
    }
    TBitmapDC dc(FBuffer, DC);
    TCanvas canvas;
    canvas.SetHandle(dc.Handle());
    for (const auto& [r, code] : glyphs) {
        const int i = code < 0 ? -1 - code : code;
        canvas.SetPenColor(code < 0 ? SystemColor(scBtnShadow) : FPainter->FSkinData->Colors.ButtonText);
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        // Simple glyphs: arrows for the moving buttons, bars for the others.
        switch (i) {
        case 0: DrawArrow(canvas, x, y, 3); break;  // play
        case 3:
            DrawArrow(canvas, x - 2, y, 3);
            DrawArrow(canvas, x + 2, y, 3);
            break;  // next
        case 4:
            DrawArrow(canvas, x - 2, y, 2);
            DrawArrow(canvas, x + 2, y, 2);
            break;                                  // prev
        case 5: DrawArrow(canvas, x, y, 3); break;  // step
        case 6: DrawArrow(canvas, x, y, 2); break;  // back
        case 8: DrawArrow(canvas, x, y, 1); break;  // eject
        default: {
            RECT b{x - 3, y - 3, x + 4, y + 4};
            if (i == 1) {
                canvas.FillRect(RECT{x - 3, y - 3, x - 1, y + 4});
                b = RECT{x + 1, y - 3, x + 3, y + 4};
            }
            canvas.SetBrushColor(canvas.PenColor());
            canvas.FillRect(b);
            break;
        }
        }
    }
    canvas.SetHandle(nullptr);
    GdiFlush();
    BitBlt(DC, 0, 0, client.right, client.bottom, dc.Handle(), 0, 0, SRCCOPY);
}

void TWMediaPlayer::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_PAINT: {
        TPaintDC dc(FWindow);
        if (dc.Handle()) Paint(dc.Handle());
        return;
    }
    case CN_IsSkinned: Message.Result = 1; return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        POINT p = LParamPoint(Message.LParam);
        FPressed = Message.Msg == WM_LBUTTONDOWN ? ButtonAt(p) : -1;
        if (Message.Msg == WM_LBUTTONDOWN)
            SetCapture(FWindow);
        else if (GetCapture() == FWindow)
            ReleaseCapture();
        InvalidateRect(FWindow, nullptr, FALSE);
        // The player underneath does what its button does.
        if (FControl && FControl->HandleAllocated()) {
            MapWindowPoints(FWindow, FControl->Handle(), &p, 1);
            SendMessageW(FControl->Handle(), Message.Msg, Message.WParam, MAKELPARAM(p.x, p.y));
        }
        return;
    }
    default: Message.Result = DefWindowProcW(FWindow, Message.Msg, Message.WParam, Message.LParam); return;
    }
}

TSkinMP::~TSkinMP() { FPanel.reset(); }

void TSkinMP::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    if (auto* w = WinControl(); w && SkinData && SkinData->Buttons && !SkinData->Buttons->Map.Empty())
        FPanel = std::make_unique<TWMediaPlayer>(this, w);
}

void TSkinMP::Unsubclass() {
    FPanel.reset();
    TSkinControl::Unsubclass();
}

void TSkinMP::AfterProc(TMessage& Message) {
    TSkinControl::AfterProc(Message);
    if (!FPanel) return;
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED: FPanel->Place(); break;
    default: break;
    }
}

}  // namespace quorin
