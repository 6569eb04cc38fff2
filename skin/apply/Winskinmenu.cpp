// Pop-up menu windows drawn with the skin's menu border and background.
#include "skin/apply/Winskinmenu.h"

#include "skin/apply/Winsubclass.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

#include <optional>

namespace quorin {

namespace {

constexpr int BorderWidth = 3;  // the strips of the background picture used as the border

const TDataSkinObject* BackgroundOf(const TSkinData* S) {
    if (!S || S->Loading() || !S->MenuBackground || S->MenuBackground->Map.Empty()) return nullptr;
    return S->MenuBackground.get();
}

}  // namespace

TWinSkinPopMenu::~TWinSkinPopMenu() { UnSubClass(); }

void TWinSkinPopMenu::InitSkin(HWND Window, TSkinData* SkinData, int Kind) {
    if (FHook.Hooked() || !Window) return;
    FMenuWindow = Window;
    FSkinData = SkinData;
    FKind = Kind;
    FHook.Hook(Window, THookKind::hkPopupMenu, [this](TMessage& m) { WinWndProc(m); });
}

void TWinSkinPopMenu::UnSubClass() {
    // Let go of while shown (the window is being destroyed): the drop-down closed.
    if (FToldShown && FMenuWindow) NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, FMenuWindow, OBJID_CLIENT, CHILDID_SELF);
    FToldShown = false;
    FHook.Unhook();
}

void TWinSkinPopMenu::Default(TMessage& Message) { FHook.Default(Message); }

void TWinSkinPopMenu::WinWndProc(TMessage& Message) {
    if (Message.Msg == CN_IsSkinned) {
        Message.Result = 1;
        return;
    }
    if (Message.Msg == WM_GETOBJECT && AnswerObject(Message)) return;
    TellShowing(Message);
    if (!FSkinData || FSkinData->Loading() || !FSkinData->SkinControls.Contains(xcPopupMenu)) {
        Default(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_DESTROY:
        UnSubClass();
        Default(Message);
        return;
    case WM_ERASEBKGND: WMERASEBKGND(Message); return;
    case WM_NCPAINT:
        if (BackgroundOf(FSkinData)) {
            NcPaint(nullptr, reinterpret_cast<HRGN>(Message.WParam));
            Message.Result = 0;
        } else {
            Default(Message);
        }
        return;
    case WM_PRINT: WMPrint(Message); return;
    case WM_PRINTCLIENT: WMPrintClient(Message); return;
    case WM_WINDOWPOSCHANGED:
        Default(Message);
        MakeBackground();
        return;
    default: Default(Message); return;
    }
}

// The background picture cut to the window's size: its border strips frame the window,
// and the item painter copies the parts behind each item from it.
bool TWinSkinPopMenu::MakeBackground() {
    const TDataSkinObject* e = BackgroundOf(FSkinData);
    if (!e || !FMenuWindow) return false;
    RECT wr{};
    GetWindowRect(FMenuWindow, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w <= 0 || h <= 0) return false;
    if (FBackground.Width() != w || FBackground.Height() != h)
        FBackground = GetHMap(TRect{0, 0, w, h}, e->Map, e->Margins,
                              {.Frames = e->Frame > 0 ? e->Frame : 1, .Tile = e->Tile == 1});
    return !FBackground.Empty();
}

void TWinSkinPopMenu::NcPaint(HDC DC, HRGN) {
    if (!MakeBackground()) return;
    const TBitmap& map = FBackground;
    const int w = map.Width(), h = map.Height();
    std::optional<TWindowDC> taken;
    const HDC dc = DC ? DC : taken.emplace(FMenuWindow).Handle();
    if (!dc) return;
    {
        TBitmapDC src(map, dc);
        const int b = BorderWidth;
        BitBlt(dc, 0, 0, w, b, src.Handle(), 0, 0, SRCCOPY);
        BitBlt(dc, 0, h - b, w, b, src.Handle(), 0, h - b, SRCCOPY);
        BitBlt(dc, 0, 0, b, h, src.Handle(), 0, 0, SRCCOPY);
        BitBlt(dc, w - b, 0, b, h, src.Handle(), w - b, 0, SRCCOPY);
    }
}

void TWinSkinPopMenu::WMPrint(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc || !(Message.LParam & PRF_NONCLIENT) || !BackgroundOf(FSkinData)) {
        Default(Message);
        return;
    }
    // The skin's border, then the client part at the client's place inside it.
    NcPaint(dc, nullptr);
    RECT wr{}, client{};
    GetWindowRect(FMenuWindow, &wr);
    GetClientRect(FMenuWindow, &client);
    POINT origin{0, 0};
    ClientToScreen(FMenuWindow, &origin);
    TSavedDC saved(dc);
    OffsetViewportOrgEx(dc, origin.x - wr.left, origin.y - wr.top, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    if (Message.LParam & PRF_ERASEBKGND) SendMessageW(FMenuWindow, WM_ERASEBKGND, WPARAM(dc), 0);
    if (Message.LParam & PRF_CLIENT) SendMessageW(FMenuWindow, WM_PRINTCLIENT, WPARAM(dc), Message.LParam);
    Message.Result = 0;
}

void TWinSkinPopMenu::WMPrintClient(TMessage& Message) { Default(Message); }

void TWinSkinPopMenu::WMERASEBKGND(TMessage& Message) {
    if (!FSkinData || !FSkinData->Options.Contains(xoMenuBG))
        Default(Message);
    else if (HDC dc = reinterpret_cast<HDC>(Message.WParam); dc && MakeBackground()) {
        // The client area shows the picture inside the border.
        RECT client{};
        GetClientRect(FMenuWindow, &client);
        TBitmap inner(client.right, client.bottom);
        DrawBGbmp(inner, TRect{0, 0, client.right, client.bottom}, FBackground,
                  TRect{3, 3, 3 + client.right, 3 + client.bottom});
        Bitmapdraw(dc, TRect{0, 0, client.right, client.bottom}, inner);
    }
    Message.Result = 1;
}

void TWinSkinPopMenu::UpdateMenu() {
    if (FMenuWindow) RedrawWindow(FMenuWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

}  // namespace quorin
