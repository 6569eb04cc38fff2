// Edits, combo boxes, up-down controls, date-time pickers.
#include "skin/apply/Winsubclass.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/apply/Winskinform.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

std::wstring LowerClassName(HWND window) {
    wchar_t name[101] = {};
    GetClassNameW(window, name, 100);
    std::wstring s(name);
    for (wchar_t& c : s) c = wchar_t(towlower(c));
    return s;
}

bool WindowHasBorder(HWND window) {
    RECT w, c;
    if (!window || !GetWindowRect(window, &w) || !GetClientRect(window, &c)) return false;
    return (w.right - w.left) != (c.right - c.left) || (w.bottom - w.top) != (c.bottom - c.top);
}

// The skinned edit border: a ButtonShadow line on the outer edge and two white lines
// inside it, over the native 3D border.
void DrawEditBorder(TSkinControl& p, HDC dc, const RECT& rect) {
    RECT r = rect;
    const TColor shadow = p.FSkinData ? p.FSkinData->Colors.ButtonShadow : clBtnShadow;
    TGdiObject<HBRUSH> outer(CreateSolidBrush(ColorRef(shadow)));
    TGdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
    FrameRect(dc, &r, outer.Get());
    for (int i = 0; i < 2; ++i) {
        InflateRect(&r, -1, -1);
        if (r.right <= r.left || r.bottom <= r.top) return;
        FrameRect(dc, &r, white.Get());
    }
}

int MirroredFrame(int frame, int frames) {
    frames = std::max(frames, 1);
    return frames + 1 - FrameInStrip(frame, frames);
}

}  // namespace

// ======================= TSkinComBox =======================

TSkinComBox::TSkinComBox(TComponent* AOwner) : TSkinControl(AOwner) {}

TSkinComBox::~TSkinComBox() { FButtonHook.Unhook(); }

void TSkinComBox::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
    Attached();
}

void TSkinComBox::Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Inithwnd(Handle, SkinData, SkinForm, Canvas);
    Attached();
}

void TSkinComBox::Attached() {
    if (!FHandle) return;
    FStyle = int32_t(GetWindowLongEx(FHandle, GWL_STYLE) & 3);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(FHandle, &info)) FList = info.hwndList;
    if (FStyle == CBS_SIMPLE && FList && !FListBar && FSkinData && FSkinData->SkinControls.Contains(xcScrollbar)) {
        FListBar = NewSkinControl("TSkinScrollbarH", this);
        if (FListBar) FListBar->Inithwnd(FList, FSkinData, FSkinForm, FCanvas);
    }
    FindBtn();
}

void TSkinComBox::Unsubclass() {
    FButtonHook.Unhook();
    TSkinControl::Unsubclass();
}

void TSkinComBox::FindBtn() {
    if (FButton) return;
    for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = LowerClassName(child);
        if (cls.find(L"button") != std::wstring::npos || cls.find(L"btn") != std::wstring::npos) {
            FButton = child;
            FButtonHook.Hook(child, THookKind::hkOther, [this](TMessage& m) { ButtonProc(m); });
            return;
        }
    }
}

void TSkinComBox::ButtonProc(TMessage& Message) {
    FButtonHook.Default(Message);
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        if (FActive) PaintControl(nullptr);
        break;
    case WM_NCDESTROY:
        FButtonHook.Unhook();
        FButton = nullptr;
        break;
    default: break;
    }
}

void TSkinComBox::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER: MouseCame(); return;
    case CM_MOUSELEAVE: MouseGone(); return;
    case WM_MOUSEMOVE: AfterMouseMove(); return;
    case WM_MOUSELEAVE: AfterMouseLeave(); return;
    // Painting straight away, not invalidating: an owner-drawn box draws its items
    // while it paints, and invalidating from there would never end.
    case WM_DRAWITEM:
    case CN_DRAWITEM:
    case WM_NCPAINT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case CB_SETCURSEL:
    case CB_SHOWDROPDOWN: PaintControl(nullptr); return;
    case CN_COMMAND: AfterCommand(Message); return;
    default: TSkinControl::AfterProc(Message); return;
    }
}

void TSkinComBox::MouseCame() {
    FMouseState |= msHot;
    Invalidate();
}

void TSkinComBox::MouseGone() {
    FMouseState &= uint8_t(~msHot);
    Invalidate();
}

void TSkinComBox::AfterMouseMove() {
    if (!(FMouseState & msHot)) {
        FMouseState |= msHot;
        PaintControl(nullptr);
    }
    DoTrackMouse(FHandle);
}

void TSkinComBox::AfterMouseLeave() {
    // Moving onto the edit inside the box is not leaving it.
    POINT p;
    RECT r;
    GetCursorPos(&p);
    GetWindowRect(FHandle, &r);
    if (!PtInRect(&r, p)) {
        FMouseState &= uint8_t(~msHot);
        PaintControl(nullptr);
    }
}

// The notifications after which the box looks different.
void TSkinComBox::AfterCommand(TMessage& Message) {
    switch (HIWORD(Message.WParam)) {
    case CBN_DROPDOWN:
    case CBN_CLOSEUP:
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS:
    case CBN_SELCHANGE:
    case CBN_EDITCHANGE: PaintControl(nullptr); break;
    default: break;
    }
}

int TSkinComBox::ComboFrame() const {
    const HWND focus = GetFocus();
    const bool focused = focus && (focus == FHandle || IsChild(FHandle, focus));
    const bool dropped = SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
    int frame = 1;
    if (focused) frame = 4;
    if (dropped || (FMouseState & msPressed))
        frame = 2;
    else if (FMouseState & msHot)
        frame = 4;
    if (GetWindowLongEx(FHandle, GWL_STYLE) & WS_DISABLED) frame = 3;
    return frame;
}

void TSkinComBox::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC || !FHandle || !FSkinData) return;
    TDataSkinBorder* button = FSkinData->ComboButton.get();
    if (!HasPicture(button)) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(FHandle, &info) && (info.stateButton & STATE_SYSTEM_INVISIBLE)) return;
    const HWND focus = GetFocus();
    FFocused = focus && (focus == FHandle || IsChild(FHandle, focus));
    FEnabled = !(GetWindowLongEx(FHandle, GWL_STYLE) & WS_DISABLED);
    const int frame = ComboFrame();
    if (button->Style == 1) {
        DrawControl1(DC, Rect, frame);
        return;
    }
    const int b = SystemMetric(SM_CXHSCROLL);
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    const bool left = (GetWindowLongEx(FHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    TSavedDC saved(DC);
    // The text the native box shows stays its own.
    if (left)
        ExcludeClipRect(DC, Rect.left + b + 4, Rect.top + 2, Rect.right - 2, Rect.bottom - 2);
    else
        ExcludeClipRect(DC, Rect.left + 2, Rect.top + 2, Rect.right - b - 4, Rect.bottom - 2);
    if (button->Style == 2) {
        // The complete picture built with the skin; the mirrored one for a left button.
        const TDataSkinObject* picture = left ? FSkinData->SunkEdge.get() : button;
        if (HasPicture(picture))
            DrawRect2(DC, FromRECT(Rect), picture->Map, picture->Margins,
                      {.Frame = FrameInStrip(frame, picture->Frame),
                       .Frames = std::max(picture->Frame, 1),
                       .Trans = true,
                       .Tile = picture->Tile == 1});
        return;
    }
    if (const TDataSkinObject* sunk = FSkinData->SunkEdge.get(); HasPicture(sunk))
        DrawSkinMap(DC, Rect, sunk->Frame, frame, sunk);
    RECT br = left ? RECT{Rect.left, Rect.top, Rect.left + b + 2, Rect.bottom}
                   : RECT{Rect.right - b - 2, Rect.top, Rect.right, Rect.bottom};
    const int frames = std::max(button->Frame, 1);
    if (left && !button->Map2.Empty())
        DrawRect2(DC, FromRECT(br), button->Map2, button->Margins,
                  {.Frame = MirroredFrame(frame, frames),
                   .Frames = frames,
                   .Trans = button->Trans != 0,
                   .Tile = button->Tile == 1});
    else
        DrawRect2(DC, FromRECT(br), button->Map, button->Margins,
                  {.Frame = FrameInStrip(frame, frames),
                   .Frames = frames,
                   .Trans = button->Trans != 0,
                   .Tile = button->Tile == 1});
    if (const TDataSkinObject* arrow = FSkinData->ExtraImages.get(); HasPicture(arrow)) {
        RECT ar = br;
        if (left)
            ar.left = Rect.left + 2;
        else
            ar.right -= 2;
        const int n = std::max(arrow->Frame, 1);
        if (arrow->Map.Width() / n > 0)
            DrawRect3(DC, FromRECT(ar), arrow->Map,
                      {.Frame = FrameInStrip(frame, n), .Frames = n, .Trans = arrow->Trans != 0});
    }
}

void TSkinComBox::DrawControl1(HDC DC, const RECT& Rect, int Frame) {
    const int b = SystemMetric(SM_CXHSCROLL);
    const bool left = (GetWindowLongEx(FHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    RECT br = left ? RECT{Rect.left + 2, Rect.top + 2, Rect.left + b + 2, Rect.bottom - 2}
                   : RECT{Rect.right - b - 2, Rect.top + 2, Rect.right - 2, Rect.bottom - 2};
    TArrowButton::Draw(DC, br, FSkinData, Frame);
}

// ======================= TSkinEdit =======================

bool TSkinEdit::HasBorder() const { return WindowHasBorder(FHandle); }

bool TSkinEdit::BeforeProc(TMessage& Message) {
    if (Message.Msg == CN_PaintClient && Message.LParam == SkinHandshake) {
        TMessage print{WM_PRINTCLIENT, Message.WParam, PRF_CLIENT | PRF_ERASEBKGND, 0};
        Default(print);
        Message.Result = SkinHandshake;
        return false;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinEdit::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT: PaintControl(nullptr); break;
    case WM_PRINT:
        if (Message.LParam & PRF_NONCLIENT) PaintControl(reinterpret_cast<HDC>(Message.WParam));
        break;
    case WM_PAINT:
        // The border is outside the client area: paint it on the window's own DC.
        PaintControl(nullptr);
        break;
    default: TSkinControl::AfterProc(Message); break;
    }
}

void TSkinEdit::FindUpDown() {
    if (FLookedForUpDown || !FHandle) return;
    FLookedForUpDown = true;
    if (!FSkinData || !FSkinData->SkinControls.Contains(xcSpin)) return;
    for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::wstring cls = LowerClassName(child);
        if (cls == L"msctls_updown32" || cls.find(L"spin") != std::wstring::npos ||
            cls.find(L"updown") != std::wstring::npos) {
            FUpDown = new TSkinUpDown(this);
            FUpDown->Inithwnd(child, FSkinData, FSkinForm, FCanvas);
            return;
        }
    }
}

void TSkinEdit::DrawControl(HDC DC, const RECT& Rect) {
    FindUpDown();
    if (!DC || !HasBorder()) return;
    DrawEditBorder(*this, DC, Rect);
}

// ======================= TSkinUpDown =======================

bool TSkinUpDown::Horizontal() const { return (GetWindowLongEx(FHandle, GWL_STYLE) & UDS_HORZ) != 0; }

bool TSkinUpDown::BeforeProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return false;
    case WM_ERASEBKGND: Message.Result = 1; return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        Default(Message);
        RECT r;
        GetClientRect(FHandle, &r);
        const POINT p = LParamPoint(Message.LParam);
        FPressedPart = Horizontal() ? (p.x < r.right / 2 ? 1 : 2) : (p.y < r.bottom / 2 ? 1 : 2);
        PaintControl(nullptr);
        return false;
    }
    case WM_LBUTTONUP:
        Default(Message);
        FPressedPart = 0;
        PaintControl(nullptr);
        return false;
    default: break;
    }
    return TSkinControl::BeforeProc(Message);
}

void TSkinUpDown::DrawControl(HDC DC, const RECT& Rect) {
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (!DC || w <= 0 || h <= 0) return;
    const bool horz = Horizontal();
    const bool enabled = !(GetWindowLongEx(FHandle, GWL_STYLE) & WS_DISABLED);
    TBitmap picture(w, h);
    TBitmapDC pdc(picture);
    const RECT halves[2] = {horz ? RECT{0, 0, w / 2, h} : RECT{0, 0, w, h / 2},
                            horz ? RECT{w / 2, 0, w, h} : RECT{0, h / 2, w, h}};
    const TDataSkinBorder* e = FSkinData ? (horz ? FSkinData->UpDownHorz.get() : FSkinData->UpDownVert.get()) : nullptr;
    FillBG(pdc.Handle(), RECT{0, 0, w, h});
    for (int i = 0; i < 2; ++i) {
        const RECT& r = halves[i];
        const bool pressed = FPressedPart == i + 1;
        if (HasPicture(e)) {
            // Four frames per half: normal, pressed, hot, disabled; the first half first.
            const int state = !enabled ? 4 : pressed ? 2 : 1;
            DrawRect2(pdc.Handle(), FromRECT(r), e->Map, e->Margins,
                      {.Frame = FrameInStrip(i * 4 + state, e->Frame),
                       .Frames = std::max(e->Frame, 1),
                       .Trans = e->Trans != 0,
                       .Tile = e->Tile == 1});
            continue;
        }
        const TSkinColors& colors = FSkinData ? FSkinData->Colors : TSkinColors{};
        FillColor(pdc.Handle(), r, pressed ? colors.ButtonShadow : ButtonFace());
        TGdiObject<HBRUSH> edge(CreateSolidBrush(ColorRef(colors.ButtonDkShadow)));
        FrameRect(pdc.Handle(), &r, edge.Get());
        TCanvas canvas;
        canvas.SetHandle(pdc.Handle());
        canvas.SetPenColor(enabled ? colors.ButtonText : colors.ButtonShadow);
        const int direction = horz ? (i == 0 ? 2 : 3) : (i == 0 ? 1 : 0);
        DrawArrow(canvas, (r.left + r.right) / 2, (r.top + r.bottom) / 2, direction);
        canvas.SetHandle(nullptr);
    }
    BitBlt(DC, Rect.left, Rect.top, w, h, pdc.Handle(), 0, 0, SRCCOPY);
}

// ======================= TArrowButton and TSkinDateTime =======================

void TArrowButton::Draw(HDC DC, const RECT& Rect, TSkinData* SkinData, int Frame) {
    if (!DC || Rect.right <= Rect.left || Rect.bottom <= Rect.top) return;
    const TDataSkinBorder* button = SkinData ? SkinData->ComboButton.get() : nullptr;
    const TDataSkinObject* arrow = SkinData ? SkinData->ExtraImages.get() : nullptr;
    if (HasPicture(button) && button->Style != 2) {
        DrawRect2(DC, FromRECT(Rect), button->Map, button->Margins,
                  {.Frame = FrameInStrip(Frame, button->Frame),
                   .Frames = std::max(button->Frame, 1),
                   .Trans = button->Trans != 0,
                   .Tile = button->Tile == 1});
    } else {
        TGdiObject<HBRUSH> face(CreateSolidBrush(ColorRef(SkinData ? SkinData->Colors.ButtonFace : clBtnFace)));
        FillRect(DC, &Rect, face.Get());
        RECT r = Rect;
        DrawEdge(DC, &r, Frame == 2 ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    if (HasPicture(arrow) && arrow->Map.Width() / std::max(arrow->Frame, 1) > 0) {
        DrawRect3(DC, FromRECT(Rect), arrow->Map,
                  {.Frame = FrameInStrip(Frame, arrow->Frame),
                   .Frames = std::max(arrow->Frame, 1),
                   .Trans = arrow->Trans != 0});
    } else {
        TCanvas canvas;
        canvas.SetHandle(DC);
        canvas.SetPenColor(Frame == 3 ? clBtnShadow : (SkinData ? SkinData->Colors.ButtonText : clBtnText));
        DrawArrow(canvas, (Rect.left + Rect.right) / 2, (Rect.top + Rect.bottom) / 2, 0);
        canvas.SetHandle(nullptr);
    }
}

TSkinDateTime::~TSkinDateTime() = default;

void TSkinDateTime::Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) {
    if (FInited) return;
    TSkinControl::Init(SkinForm, SkinData, ParentBK, Canvas);
}

void TSkinDateTime::AfterProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: PaintControl(nullptr); break;
    case WM_MOUSEMOVE:
        if (!(FMouseState & msHot)) {
            FMouseState |= msHot;
            PaintControl(nullptr);
        }
        DoTrackMouse(FHandle);
        break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
        FMouseState &= uint8_t(~msHot);
        PaintControl(nullptr);
        break;
    case CN_NOTIFY: PaintControl(nullptr); break;
    default: TSkinControl::AfterProc(Message); break;
    }
}

void TSkinDateTime::DrawControl(HDC DC, const RECT& Rect) {
    if (!DC || !FHandle) return;
    if (WindowHasBorder(FHandle)) DrawEditBorder(*this, DC, Rect);
    const LONG_PTR style = GetWindowLongEx(FHandle, GWL_STYLE);
    if (style & DTS_UPDOWN) return;
    RECT client;
    GetClientRect(FHandle, &client);
    const POINT origin = ClientOrigin(FHandle);
    OffsetRect(&client, origin.x + Rect.left, origin.y + Rect.top);
    const int bw = SystemMetric(SM_CXVSCROLL);
    RECT br{client.right - bw, client.top, client.right, client.bottom};
    if (br.left < client.left) return;
    int frame = 1;
    if (FMouseState & msHot) frame = 4;
    // Some platforms keep the calendar window while it is closed: dropped is shown.
    if (HWND calendar = reinterpret_cast<HWND>(SendMessageW(FHandle, DTM_GETMONTHCAL, 0, 0));
        calendar && IsWindowVisible(calendar))
        frame = 2;
    if (style & WS_DISABLED) frame = 3;
    TArrowButton::Draw(DC, br, FSkinData, frame);
}

}  // namespace quorin
