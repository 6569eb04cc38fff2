// Caption buttons, the non-client mouse, window-state commands, the system menu, and
// keeping the native caption from showing.
#include "skin/apply/Winskinform.h"

#include <algorithm>
#include <functional>

#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/WinText.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

// Caption-button actions with a meaning here; any other is the application's.
constexpr int acClose = 0, acMaximize = 1, acMinimize = 2, acIcon = 3, acIcon2 = 11, acSysMenu = 12;
constexpr int acMaximize2 = 22, acMinimize2 = 23;
constexpr int acMDIMinimize = 7, acMDIRestore = 8, acMDIClose = 9;
constexpr int acMDIMinimize2 = 60, acMDIRestore2 = 61, acMDIClose2 = 62;
constexpr int SysMenuTag = 0x8235;

bool IsIconAction(int Action) { return Action == acIcon || Action == acIcon2; }

}  // namespace

void TWinSysButton::Draw() { Form->DrawSysbtn(this, State); }

// Screen point to window coordinates (the window's top-left corner is (0, 0)).
static POINT ToWindow(HWND Window, POINT Screen) {
    RECT wr{};
    GetWindowRect(Window, &wr);
    return POINT{Screen.x - wr.left, Screen.y - wr.top};
}

TWinSysButton* TWinSkinForm::FindBtn(POINT Point) const {
    for (auto& b : FSysButtons)
        if (b->Enabled && b->Element && b->Element->Visibility >= 0 && PtInRect(&b->Rect, Point)) return b.get();
    return nullptr;
}

void TWinSkinForm::SetSysbtnRect() {
    RECT wr{};
    if (FHandle) GetWindowRect(FHandle, &wr);
    const int W = wr.right - wr.left;
    const TDataSkinObject* bar = FSkinData ? FSkinData->MenuBar.get() : nullptr;
    const int m = bar && !bar->Map.Empty() ? bar->Margins.Left : 0;
    for (size_t i = 0; i < FSysButtons.size(); ++i) {
        TWinSysButton* b = FSysButtons[i].get();
        const TDataSkinSysButton* e = b->Element;
        if (!Checkvisible(int(i)) || !e || e->Map.Empty()) {
            b->Rect = RECT{};
            continue;
        }
        const int w = e->Map.Width() / FrameCount(e), h = e->Map.Height();
        POINT p{e->XCoord, e->YCoord};
        switch (e->Align) {
        case 0: break;
        case 1: p.x = W - e->XCoord; break;
        case 2:
        case 8: p.x = FTextRight - w - e->XCoord; break;
        case 3:
        case 9: p.x = FTextLeft + e->XCoord; break;
        case 100:
            p.y = FTitleHeight + (FMenuHeight - h) / 2;
            p.x = FLeftScrollBar ? e->XCoord + FBorderLeft + m : W - e->XCoord - FBorderRight - m;
            break;
        default: break;
        }
        b->Rect = RECT{p.x, p.y, p.x + w, p.y + h};
    }
}

namespace {

// The conditions of the visibility tables; Rule 100 is the MDI one.
struct TCaptionState {
    bool maximized, active, maxBox, minBox, sysMenu, mdi100, dialogFrame;
};

bool FirstCondition(int V, const TCaptionState& s, const std::function<bool()>& ask) {
    switch (V) {
    case 0: return true;
    case 1: return s.maximized;
    case 2: return !s.maximized;
    case 3: return s.active;
    case 4: return !s.active;
    case 6: return s.maxBox && s.sysMenu;
    case 7: return !s.maxBox;
    case 8: return s.minBox && s.sysMenu;
    case 9: return !s.minBox;
    case 100: return s.mdi100;
    case 200: return s.dialogFrame;
    default: break;
    }
    if (V > 200 && V < 1000) return true;
    if (V >= 1000 && V <= 2000) return ask();
    return false;
}

bool SecondCondition(int V, const TCaptionState& s) {
    switch (V) {
    case 0: return true;
    case 1: return s.maximized;
    case 2: return !s.maximized;
    case 3: return s.active;
    case 4: return !s.active;
    case 6: return s.maxBox;
    case 7: return !s.maxBox;
    case 8: return s.minBox;
    case 9: return !s.minBox;
    case 100: return s.mdi100;
    default: return false;
    }
}

}  // namespace

bool TWinSkinForm::Checkvisible(int Index) {
    if (Index < 0 || size_t(Index) >= FSysButtons.size()) return false;
    TWinSysButton* b = FSysButtons[size_t(Index)].get();
    const TDataSkinSysButton* e = b->Element;
    if (!e) return b->Enabled = false;
    TCaptionState s{};
    s.maximized = FWinState == wsfMaximized;
    s.active = FActive;
    s.maxBox = (FBorderIcons & biMaxBox) != 0;
    s.minBox = (FBorderIcons & biMinBox) != 0;
    s.sysMenu = (FBorderIcons & biSysMenu) != 0;
    s.dialogFrame = !FIsDialog && FBorderKind == bkDialog;
    s.mdi100 =
        (e->Visibility == 100 || e->Visibility1 == 100) && FFormStyle == fsfMDIFrame && FMenuBar && MDIChildMax();
    auto ask = [&] {
        return FHandle && SendMessageW(FHandle, CN_SysButtonVisible, WPARAM(e->Visibility), LPARAM(e->Action)) > 0;
    };
    bool show = FirstCondition(e->Visibility, s, ask) && SecondCondition(e->Visibility1, s);
    // The action may veto.
    switch (e->Action) {
    case acClose: show = show && s.sysMenu; break;
    case acMaximize: show = show && s.maxBox; break;
    case acMinimize: show = show && s.minBox; break;
    case acIcon:
    case acIcon2:
    case acSysMenu: show = show && FBorderKind != bkDialog; break;
    default: break;
    }
    b->Enabled = show;
    return show;
}

void TWinSkinForm::DrawAllSysbtn(TBitmap& Canvas, const RECT& Rect) {
    // What lies under the buttons, for redrawing one of them alone.
    FSysBtnBackground = Canvas;
    for (auto& b : FSysButtons) {
        const TDataSkinSysButton* e = b->Element;
        if (!b->Enabled || !e || e->Map.Empty() || e->Visibility == 100) continue;
        if (IsRectEmpty(&b->Rect)) continue;
        if (IsIconAction(e->Action)) {
            TBitmapDC dc(Canvas);
            DrawIcon(dc.Handle(), b->Rect);
            GdiFlush();
            continue;
        }
        const int frame = FActive || FrameCount(e) < 4 ? 1 : 4;
        DrawRect1(Canvas, FromRECT(b->Rect), e->Map, {.Frame = frame, .Frames = FrameCount(e), .Trans = e->Trans == 1});
    }
}

void TWinSkinForm::DrawSysbtn(TWinSysButton* Button, int Frame) {
    if (!Button || !Button->Element || !FHandle || !Button->Enabled) return;
    const TDataSkinSysButton* e = Button->Element;
    const RECT r = Button->Rect;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || e->Map.Empty()) return;
    if (e->Visibility == 100 && Frame == ncHot) Frame = 4;
    if (Frame > FrameCount(e)) Frame = 1;
    // The button over what lies beneath it: the title strip, or the menu row.
    TBitmap piece(w, h);
    const TBitmap* under = &FSysBtnBackground;
    POINT origin{0, 0};
    if (e->Visibility == 100 && FMenuBar && !FMenuBar->FBarBitmap.Empty()) {
        under = &FMenuBar->FBarBitmap;
        origin = POINT{FMenuBar->FBarRect.left, FMenuBar->FBarRect.top};
    }
    if (!under->Empty())
        DrawBGbmp(piece, TRect{0, 0, w, h}, *under,
                  TRect{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y});
    else
        piece.Fill(ColorToRGB(FSkinData ? FSkinData->Colors.ButtonFace : SystemColor(scBtnFace)));
    if (IsIconAction(e->Action)) {
        TBitmapDC dc(piece);
        DrawIcon(dc.Handle(), RECT{0, 0, w, h});
        GdiFlush();
    } else {
        DrawRect1(piece, TRect{0, 0, w, h}, e->Map, {.Frame = Frame, .Frames = FrameCount(e), .Trans = e->Trans == 1});
    }
    TWindowDC dc(FHandle);
    if (!dc.Handle()) return;
    Bitmapdraw(dc.Handle(), FromRECT(r), piece);
}

void TWinSkinForm::DeleteSysbtn() {
    for (auto& b : FSysButtons)
        if (FHotObject == b.get()) FHotObject = nullptr;
    FSysButtons.clear();
}

// ======================= the non-client mouse =======================

namespace {

TNCObject* ObjectAt(TWinSkinForm* F, POINT P) {
    if (TWinSysButton* b = F->FindBtn(P)) return b;
    if (F->FMenuBar)
        if (TMenuBtn* m = F->FMenuBar->FindBtn(P)) return m;
    return nullptr;
}

bool IsMenuButton(TWinSkinForm* F, TNCObject* O) {
    if (!F->FMenuBar || !O) return false;
    for (auto& b : F->FMenuBar->FButtons)
        if (b.get() == O) return true;
    return false;
}

}  // namespace

void TWinSkinForm::WMNCMouseMove(TMessage& Message) {
    if (!FActive) {
        Default(Message);
        return;
    }
    if (TNCObject* o = ObjectAt(this, ToWindow(FHandle, LParamPoint(Message.LParam)))) {
        o->MouseEnter();
        Message.Result = 0;
        return;
    }
    if (FHotObject) FHotObject->MouseLeave();
    Default(Message);
}

void TWinSkinForm::WMNCLButtonDown(TMessage& Message) {
    const POINT p = ToWindow(FHandle, LParamPoint(Message.LParam));
    if (TNCObject* o = ObjectAt(this, p)) {
        if (!FActive || GetForegroundWindow() != FHandle) SetForegroundWindow(FHandle);
        o->MouseDown();
        if (IsMenuButton(this, o)) CheckMenu(static_cast<TMenuBtn*>(o));
        Message.Result = 0;
        return;
    }
    // A maximised window is not dragged by its caption.
    if (FActive && FWinState == wsfMaximized && Message.WParam == HTCAPTION) Message.WParam = HTMENU;
    Default(Message);
}

void TWinSkinForm::WMNCLButtonUp(TMessage& Message) {
    const POINT screen = LParamPoint(Message.LParam);
    const POINT p = ToWindow(FHandle, screen);
    if (TWinSysButton* b = FindBtn(p); b && b == FHotObject) {
        b->MouseUp();
        SysBtnAction(screen.x, screen.y);
        Message.Result = 0;
        return;
    }
    if (ObjectAt(this, p)) {
        Message.Result = 0;
        return;
    }
    Default(Message);
}

void TWinSkinForm::WMNCLBUTTONDBLCLK(TMessage& Message) {
    const POINT p = ToWindow(FHandle, LParamPoint(Message.LParam));
    if (TWinSysButton* b = FindBtn(p)) {
        if (b->Element && IsIconAction(b->Element->Action)) {
            if (FTimer) FTimer->SetEnabled(false);
            PostMessageW(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        Message.Result = 0;
        return;
    }
    if (Message.WParam == HTCAPTION) {
        if (FWinState != wsfNormal) {
            Restore();
            Message.Result = 0;
            return;
        }
        if (FBorderIcons & biMaxBox) {
            Maximize();
            Message.Result = 0;
            return;
        }
    }
    Default(Message);
}

// WM_NCRBUTTONDOWN: the caption's system menu.
void TWinSkinForm::WMNCRButtonUp(TMessage& Message) {
    if (Message.WParam == HTCAPTION && FFormStyle != fsfMDIChild) {
        PopSysmenu(LParamPoint(Message.LParam));
        Message.Result = 0;
        return;
    }
    Default(Message);
}

// ======================= actions and window states =======================

TWinSysButton* TWinSkinForm::CaptionButton(UINT Command) const {
    for (const auto& b : FSysButtons) {
        if (!b->Element) continue;
        const int a = b->Element->Action;
        if ((Command == SC_CLOSE && a == acClose) || (Command == SC_MINIMIZE && (a == acMinimize || a == acMinimize2)) ||
            (Command == SC_MAXIMIZE && (a == acMaximize || a == acMaximize2)))
            return b.get();
    }
    return nullptr;
}

void TWinSkinForm::SysBtnAction(int X, int Y) {
    TWinSysButton* b = FindBtn(ToWindow(FHandle, POINT{X, Y}));
    if (!b || !b->Element) return;
    const int action = b->Element->Action;
    switch (action) {
    case acClose:
        if (CheckSysmenu()) {
            if (FTimer) FTimer->SetEnabled(false);
            PostMessageW(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    case acMaximize:
    case acMaximize2: Maximize(); break;
    case acMinimize:
    case acMinimize2: Minimize(); break;
    case acIcon:
    case acIcon2:
    case acSysMenu: PopSysmenu(POINT{X + 1, Y + 1}); break;
    case acMDIMinimize:
    case acMDIMinimize2: MDIChildAction(SC_MINIMIZE); break;
    case acMDIRestore:
    case acMDIRestore2: MDIChildAction(SC_RESTORE); break;
    case acMDIClose:
    case acMDIClose2: MDIChildAction(SC_CLOSE); break;
    default: PostMessageW(FHandle, CN_SysButtonClick, WPARAM(action), 0); break;
    }
}

void TWinSkinForm::Maximize() {
    if (FWinState == wsfMaximized) {
        Restore();
        return;
    }
    if (FFormStyle == fsfMDIChild)
        if (TSkinManage* m = SkinManage()) m->SetMDIMax(true);
    FWinState = wsfMaximized;
    PostMessageW(FHandle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    if (FHotObject) FHotObject->State = ncNormal;
    FHotObject = nullptr;
}

void TWinSkinForm::Minimize() {
    if (FWinState == wsfMinimized) {
        Restore();
        return;
    }
    FWinState = wsfMinimized;
    UpdateStyle(false);
    PostMessageW(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::Restore() {
    FWinState = wsfNormal;
    PostMessageW(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TWinSkinForm::RestoreMDI() { MDIChildAction(SC_RESTORE); }

void TWinSkinForm::MDIChildAction(UINT Command) {
    if (FFormStyle != fsfMDIFrame || !FMDIClient) return;
    if (HWND child = HWND(SendMessageW(FMDIClient, WM_MDIGETACTIVE, 0, 0)))
        SendMessageW(child, WM_SYSCOMMAND, Command, 0);
}

bool TWinSkinForm::MDIChildMax() const {
    if (FFormStyle != fsfMDIFrame || !FMDIClient) return false;
    BOOL maximized = FALSE;
    HWND child = HWND(SendMessageW(FMDIClient, WM_MDIGETACTIVE, 0, LPARAM(&maximized)));
    return child && (maximized || IsZoomed(child));
}

// ======================= the system menu =======================

bool TWinSkinForm::HasSysCommand(UINT Command) const {
    HMENU menu = FSysMenuHandle ? FSysMenuHandle : (FHandle ? GetSystemMenu(FHandle, FALSE) : nullptr);
    if (!menu) return false;
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID;
    return GetMenuItemInfoW(menu, Command, FALSE, &mii) != 0;
}

bool TWinSkinForm::CheckSysmenu() const {
    // Before NT 5 every window could be closed here.
    const DWORD version = GetVersion();
    if ((version & 0x80000000u) || LOBYTE(LOWORD(version)) < 5) return true;
    return HasSysCommand(SC_CLOSE);
}

void TWinSkinForm::PopSysmenu(POINT Point) {
    const DWORD now = GetTickCount();
    if (FLastPopupTick && now - FLastPopupTick <= FDblClickTime) {
        // A second request within the double-click time on a caption object closes.
        if (FHotObject) {
            if (FTimer) FTimer->SetEnabled(false);
            PostMessageW(FHandle, WM_CLOSE, 0, 0);
        }
        return;
    }
    if (TSkinManage* m = SkinManage()) m->FPopupKind = pkSystemMenu;
    FLastPopupTick = now;
    CreateSysmenu2();
    if (!FSysMenu || FSysMenu->Items()->Count() == 0) return;
    UINT chosen = 0;
    {
        TMenuTracking tracking;
        chosen = UINT(TrackPopupMenuEx(FSysMenu->Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, Point.x,
                                       Point.y, FHandle, nullptr));
    }
    // Closing from the keyboard or a click: later requests are not double clicks.
    FLastPopupTick = GetTickCount() - (chosen ? FDblClickTime + 1 : 0);
    if (chosen && FSysMenu) FSysMenu->DispatchCommand(chosen);
}

namespace {

void SkinItem(TWinSkinForm* F, TMenuItem* Item) {
    Item->OnDrawItem = [F](TObject* s, TCanvas& c, RECT r, bool sel) { F->DrawMenuItem(s, c, r, sel); };
    Item->OnMeasureItem = [F](TObject* s, TCanvas& c, int& w, int& h) { F->MeasureItemPop(s, c, w, h); };
}

}  // namespace

void TWinSkinForm::AddSysMenuitem(const std::string& Caption, int Index) {
    if (!FSysMenu) return;
    auto* item = new TMenuItem(FSysMenu.get());
    item->SetCaption(Caption);
    item->SetTag(Index);
    item->SetImageIndex(Index);
    item->OnClick = [this](TObject* s) { DoSysMenu(s); };
    SkinItem(this, item);
    FSysMenu->Items()->Add(item);
}

void TWinSkinForm::CreateSysmenu() {
    AddSysMenuitem(" Restore ", 0);
    if (FBorderIcons & biMaxBox) AddSysMenuitem(" Maximize ", 1);
    if (FBorderIcons & biMinBox) AddSysMenuitem(" Minimize ", 2);
    AddSysMenuitem("-", -1);
    AddSysMenuitem(" Close ", 3);
    TMenuItem* close = FSysMenu->Items()->Items(FSysMenu->Items()->Count() - 1);
    close->SetShortCut(TShortCut(scAlt | VK_F4));
}

void TWinSkinForm::CreateSysmenu2() {
    FSysMenu = std::make_unique<TPopupMenu>(this);
    FSysMenu->SetTag(SysMenuTag);
    FSysMenu->SetOwnerDraw(true);
    const DWORD version = GetVersion();
    if (!(version & 0x80000000u) && LOBYTE(LOWORD(version)) < 5) {
        CreateSysmenu();
        return;
    }
    if (!(FBorderIcons & biSysMenu)) return;
    if (!FSysMenuHandle || !IsMenu(FSysMenuHandle)) FSysMenuHandle = GetSystemMenu(FHandle, FALSE);
    if (!FSysMenuHandle) return;
    const int n = GetMenuItemCount(FSysMenuHandle);
    for (int i = 0; i < n; ++i) {
        wchar_t buffer[81] = {};
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_FTYPE;
        mii.dwTypeData = buffer;
        mii.cch = 81;
        if (!GetMenuItemInfoW(FSysMenuHandle, UINT(i), TRUE, &mii)) continue;
        buffer[80] = 0;
        auto* item = new TMenuItem(FSysMenu.get());
        const std::string text = ToUtf8(buffer);
        item->SetCaption(text.empty() || (mii.fType & MFT_SEPARATOR) ? std::string("-") : text);
        item->SetTag(int32_t(mii.wID));
        bool enabled = (mii.fState & MFS_DISABLED) == 0;
        int glyph = -1;
        switch (mii.wID & 0xFFF0) {
        case SC_SIZE:
        case SC_MOVE: enabled = enabled && FWinState != wsfMaximized; break;
        case SC_MINIMIZE: glyph = 2; break;
        case SC_MAXIMIZE: glyph = 1; break;
        case SC_CLOSE: glyph = 3; break;
        case SC_RESTORE:
            glyph = 0;
            enabled = FWinState != wsfNormal;
            break;
        default: break;
        }
        // The native menu's own enabling of maximise and minimise follows the window.
        if ((mii.wID & 0xFFF0) == SC_MAXIMIZE) enabled = FWinState != wsfMaximized && (FBorderIcons & biMaxBox);
        if ((mii.wID & 0xFFF0) == SC_MINIMIZE) enabled = FWinState != wsfMinimized && (FBorderIcons & biMinBox);
        item->SetEnabled(enabled);
        item->SetChecked((mii.fState & MFS_CHECKED) != 0);
        item->SetImageIndex(glyph);
        item->OnClick = [this](TObject* s) { DoSysMenu2(s); };
        SkinItem(this, item);
        FSysMenu->Items()->Add(item);
    }
}

void TWinSkinForm::DoSysMenu(TObject* Sender) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    switch (item->Tag()) {
    case 0: Restore(); break;
    case 1: Maximize(); break;
    case 2: Minimize(); break;
    case 3:
        if (FTimer) FTimer->SetEnabled(false);
        PostMessageW(FHandle, WM_CLOSE, 0, 0);
        break;
    default: break;
    }
}

void TWinSkinForm::DoSysMenu2(TObject* Sender) {
    if (auto* item = dynamic_cast<TMenuItem*>(Sender))
        PostMessageW(FHandle, WM_SYSCOMMAND, WPARAM(UINT(item->Tag())), 0);
}

void TWinSkinForm::WMSysCommand(TMessage& Message) {
    const UINT command = UINT(Message.WParam) & 0xFFF0;
    if (command == SC_KEYMENU && !FInMenu) {
        const WPARAM key = WPARAM(Message.LParam);
        if (key != ' ' && key != '-' && !GetCapture() && FMenuBar && KeyMenu(key)) {
            Message.Result = 1;
            return;
        }
        if (key == ' ') {
            // Alt+Space: the skinned system menu at the client origin.
            POINT origin{0, 0};
            ClientToScreen(FHandle, &origin);
            FLastPopupTick = 0;
            PopSysmenu(origin);
            Message.Result = 0;
            return;
        }
    }
    switch (command) {
    case SC_MINIMIZE:
        FWinState = wsfMinimized;
        if (FFormStyle == fsfMDIChild) EnableSysbtn(true);
        break;
    case SC_MAXIMIZE: FWinState = wsfMaximized; break;
    case SC_RESTORE:
        FWinState = wsfNormal;
        if (FFormStyle == fsfMDIChild) {
            EnableSysbtn(false);
            if (TSkinManage* m = SkinManage()) m->SetMDIMax(false);
        }
        break;
    default: break;
    }
    Default(Message);
}

void TWinSkinForm::WMGetMinMaxInfo(TMessage& Message) {
    Default(Message);
    GetWindowstate();
    if (FWinState == wsfMinimized || (FFormStyle == fsfMDIChild && FWinState == wsfMaximized))
        EnableSysbtn(true);
    else
        EnableSysbtn(false);
}

// ======================= the native caption =======================

void TWinSkinForm::EnableSysbtn(bool Enable) {
    if (!(FBorderIcons & biCaptionStyle) || !FHandle) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR wanted = Enable ? (style | WS_CAPTION) : (style & ~LONG_PTR(WS_CAPTION));
    if (wanted != style) SetWindowLongPtrW(FHandle, GWL_STYLE, wanted);
}

void TWinSkinForm::UpdateStyle(bool Hide) {
    if ((FBorderIcons & biCaptionStyle) || !FHandle) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    LONG_PTR wanted = style;
    if (Hide)
        wanted &= ~LONG_PTR(WS_SYSMENU);
    else if (FBorderIcons & biSysMenu)
        wanted |= WS_SYSMENU;
    if (wanted != style) SetWindowLongPtrW(FHandle, GWL_STYLE, wanted);
}

}  // namespace quorin
