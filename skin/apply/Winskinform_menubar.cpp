// The menu bar in the frame's menu row, opening its drop-downs, accelerators, and the
// owner-drawn items of menus.
#include "skin/apply/Winskinform.h"

#include "forms/Dpi.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "forms/Forms.h"
#include "forms/ImgList.h"
#include "forms/Menus.h"
#include "forms/WinText.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Skindraw.h"
#include "skin/resources/Skindraw_win32.h"
#include "skin/resources/Winskindata.h"

#ifndef OBM_CHECK
#define OBM_CHECK 32760
#endif

namespace quorin {

// ======================= shared helpers =======================

namespace {

constexpr int MenuTextMax = 80;  // characters kept of a native item's text

// The platform's menu font at a window's DPI; the caller owns it.
HFONT CreateMenuFont(int Dpi, bool Bold = false) {
    NONCLIENTMETRICSW ncm{};
    NonClientMetricsForDpi(ncm, Dpi);
    if (Bold) ncm.lfMenuFont.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&ncm.lfMenuFont);
}

LPCWSTR W(const std::u16string& s) { return reinterpret_cast<LPCWSTR>(s.c_str()); }

std::u16string CutText(std::u16string s) {
    if (s.size() > size_t(MenuTextMax)) s.resize(MenuTextMax);
    return s;
}

// The text of a native item (by position or by command), at most 80 characters. Read as
// a string even when the item is owner-drawn, which the plain string call refuses.
std::u16string NativeItemText(HMENU Menu, UINT Item, bool ByPosition) {
    wchar_t buffer[MenuTextMax + 1] = {};
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = buffer;
    mii.cch = MenuTextMax + 1;
    if (!GetMenuItemInfoW(Menu, Item, ByPosition, &mii)) return {};
    buffer[MenuTextMax] = 0;
    return ToU16(buffer);
}

SIZE MeasureText(HDC DC, const std::u16string& Text) {
    RECT r{0, 0, 0, 0};
    const std::u16string t = Text.empty() ? std::u16string(u" ") : Text;
    DrawTextW(DC, W(t), int(t.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_EXPANDTABS);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The character after the first single "&", upper-cased; 0 without one.
wchar_t AccelOf(const std::u16string& Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != u'&') continue;
        if (Text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return wchar_t(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(Text[i + 1])))));
    }
    return 0;
}

// ---- the tracking of one drop-down, shared with the message hook ----
TWinSkinForm* TrackForm = nullptr;  // the skin applier whose drop-down is open
int OpenIndex = -1;                 // the menu-bar button whose drop-down is open
int PendingIndex = -1;              // the button to open once the open drop-down has closed
THookHandle MenuHook;
bool Switching = false;  // a switch to another button is under way
POINT LastMouse{-1, -1};

// How many pop-up menu windows of this thread are shown: 1 while only the drop-down is.
int OpenMenuDepth() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (wcscmp(cls, L"#32768") == 0 && IsWindowVisible(w)) ++*reinterpret_cast<int*>(p);
            return TRUE;
        },
        LPARAM(&count));
    return count;
}

// The highlighted item of a menu, by position, or -1.
int HilitedItem(HMENU Menu) {
    const int n = GetMenuItemCount(Menu);
    for (int i = 0; i < n; ++i)
        if (GetMenuState(Menu, UINT(i), MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
}

// Whether the selected item of the deepest open level has sub-items (Right then opens
// them instead of moving to the next menu).
bool SelectionHasSubMenu(HMENU Top) {
    HMENU menu = Top;
    for (int level = OpenMenuDepth(); level > 1 && menu; --level) {
        const int i = HilitedItem(menu);
        if (i < 0) return false;
        menu = GetSubMenu(menu, i);
    }
    if (!menu || !IsMenu(menu)) return false;
    const int i = HilitedItem(menu);
    return i >= 0 && GetSubMenu(menu, i) != nullptr;
}

// Ends the menu the window is tracking, at once: the owner's cancel-mode handling ends
// it synchronously, where a queued request could outlive this menu and close the next.
void CloseTrackedMenu(HWND Owner) { SendMessageW(Owner, WM_CANCELMODE, 0, 0); }

void ReleaseToolMenuHooks() { MenuHook.Reset(); }

LRESULT CALLBACK hook_proc(int Code, WPARAM WParam, LPARAM LParam) {
    const LRESULT next = CallNextHookEx(MenuHook.Get(), Code, WParam, LParam);
    if (next || Code != MSGF_MENU || !TrackForm || !TrackForm->FMenuBar || !LParam) return next;
    auto* msg = reinterpret_cast<MSG*>(LParam);
    TWinSkinMenu* bar = TrackForm->FMenuBar.get();
    const int count = int(bar->FButtons.size());
    if (bar->RightToLeft() && (msg->message == WM_KEYDOWN) && (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT))
        msg->wParam = msg->wParam == VK_LEFT ? VK_RIGHT : VK_LEFT;
    // Neighbours skip hidden, empty and disabled buttons; they wrap at both ends.
    auto neighbour = [&](int step) {
        if (OpenIndex < 0 || count == 0) return -1;
        for (int i = 1; i <= count; ++i) {
            const int k = ((OpenIndex + step * i) % count + count) % count;
            const TMenuBtn* b = bar->FButtons[size_t(k)].get();
            if (b->Visible && !b->Caption.empty() && b->ItemEnabled) return k;
        }
        return -1;
    };
    int target = -1;
    switch (msg->message) {
    case WM_KEYDOWN:
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)
            Switching = false;
        else if (msg->wParam == VK_RIGHT) {
            HMENU open = OpenIndex >= 0 && OpenIndex < count ? bar->FButtons[size_t(OpenIndex)]->SubMenu : nullptr;
            if (!open || !SelectionHasSubMenu(open)) target = neighbour(1);
        } else if (msg->wParam == VK_LEFT) {
            if (OpenMenuDepth() <= 1) target = neighbour(-1);
        }
        break;
    case WM_SYSKEYDOWN:
        if (msg->wParam == VK_MENU) TrackForm->CancelMenu();
        break;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
            if (msg->pt.x == LastMouse.x && msg->pt.y == LastMouse.y) break;
            LastMouse = msg->pt;
        }
        if (TMenuBtn* b = bar->FindBtn(TrackForm->GetWinXY(msg->pt.x, msg->pt.y)); b && b->ItemEnabled) {
            // A press on the open button closes its drop-down, as on a native bar.
            if (b->Index == OpenIndex && (msg->message == WM_LBUTTONDOWN || msg->message == WM_NCLBUTTONDOWN)) {
                TrackForm->CancelMenu();
                return 1;
            }
            target = b->Index;
        }
        break;
    default: break;
    }
    if (target >= 0 && target != OpenIndex && target < count) {
        Switching = true;
        TrackForm->ClickButton(bar->FButtons[size_t(target)].get());
        return 1;
    }
    return 0;
}

}  // namespace

// ======================= TWinSkinMenu =======================

QUORIN_DEFINE_CLASS(TWinSkinMenu, TComponent) {}

TWinSkinMenu::TWinSkinMenu(TComponent* AOwner, TSkinData* SkinData, TWinSkinForm* SkinForm)
    : TComponent(AOwner), FSkinData(SkinData), FSkinForm(SkinForm) {}

// The applier frees the bar while it still exists; FreeButtons drops the applier's
// hot object when it is one of the buttons.
TWinSkinMenu::~TWinSkinMenu() { FreeButtons(); }

bool TWinSkinMenu::RightToLeft() const { return FSkinForm && FSkinForm->FLeftScrollBar; }

void TWinSkinMenu::FreeButtons() {
    if (FSkinForm)
        for (auto& b : FButtons)
            if (FSkinForm->FHotObject == b.get()) FSkinForm->FHotObject = nullptr;
    FButtons.clear();
    FItemCount = 0;
}

void TWinSkinMenu::UpdataBtn() {
    // The platforms before NT 5 read their menus the same way here.
    if (!FSkinForm) return;
    HWND window = FSkinForm->FHandle;
    TCustomForm* form = FSkinForm->FForm;
    HMENU menu = window ? GetMenu(window) : nullptr;
    if (form) {
        FMenu = form->Menu();
        if (!FMenu) {
            FreeButtons();
            return;
        }
        // A rebuilt framework menu has a new handle; the old one is gone.
        if (!menu) menu = FMenu->Handle();
    }
    if (menu) FMenuHandle = menu;
    if (FMenuHandle && !IsMenu(FMenuHandle)) FMenuHandle = nullptr;
    if (!FMenuHandle) {
        FreeButtons();
        return;
    }
    FreeButtons();
    FItemCount = std::max(0, GetMenuItemCount(FMenuHandle));
    for (int i = 0; i < FItemCount; ++i) {
        wchar_t buffer[MenuTextMax + 1] = {};
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        mii.dwTypeData = buffer;
        mii.cch = MenuTextMax + 1;
        GetMenuItemInfoW(FMenuHandle, UINT(i), TRUE, &mii);
        buffer[MenuTextMax] = 0;
        auto b = std::make_unique<TMenuBtn>(FSkinForm, FSkinData);
        b->Index = i;
        b->ItemEnabled = (mii.fState & (MFS_DISABLED | MFS_GRAYED)) == 0;
        b->Visible = true;
        b->SubMenu = mii.hSubMenu;
        b->Command = mii.wID;
        b->Caption = ToU16(buffer);
        if (FMenu) {
            if (TMenuItem* item = FMenu->FindItem(mii.wID)) {
                item->InitiateAction();
                b->Caption = CutText(ToU16(ToWide(item->Caption())));
                b->ItemEnabled = item->Enabled();
                b->Item = item;
                b->SubMenu = item->Count() > 0 ? item->Handle() : nullptr;
            }
        }
        FButtons.push_back(std::move(b));
    }
    if (window && GetMenu(window)) SetMenu(window, nullptr);
}

void TWinSkinMenu::UpdataBtn1() { UpdataBtn(); }

void TWinSkinMenu::UpdataBtn2(HMENU Menu) {
    if (!Menu || !IsMenu(Menu)) return;
    // An MDI frame's menu changes with the active child: read the buttons from that menu.
    TMainMenu* keep = FMenu;
    FMenuHandle = Menu;
    FreeButtons();
    FItemCount = std::max(0, GetMenuItemCount(Menu));
    for (int i = 0; i < FItemCount; ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoW(Menu, UINT(i), TRUE, &mii);
        auto b = std::make_unique<TMenuBtn>(FSkinForm, FSkinData);
        b->Index = i;
        b->ItemEnabled = (mii.fState & (MFS_DISABLED | MFS_GRAYED)) == 0;
        b->SubMenu = mii.hSubMenu;
        b->Command = mii.wID;
        b->Caption = NativeItemText(Menu, UINT(i), true);
        if (keep)
            if (TMenuItem* item = keep->FindItem(mii.wID)) b->Item = item;
        FButtons.push_back(std::move(b));
    }
    if (FSkinForm && FSkinForm->FHandle && GetMenu(FSkinForm->FHandle)) SetMenu(FSkinForm->FHandle, nullptr);
}

namespace {

// The menu row of the window in window coordinates.
RECT MenuRow(const TWinSkinForm* F) {
    RECT wr{};
    if (F->FHandle) GetWindowRect(F->FHandle, &wr);
    const int w = wr.right - wr.left;
    return RECT{F->FBorderLeft, F->FTitleHeight, w - F->FBorderRight, F->FTitleHeight + F->FMenuHeight};
}

}  // namespace

// Lays the buttons out in the row: widths from the texts in the menu font.
void TWinSkinMenu::SetMenuRect() {
    if (!FSkinForm) return;
    RECT row = IsRectEmpty(&FBarRect) ? MenuRow(FSkinForm) : FBarRect;
    const TDataSkinObject* e = FSkinData ? FSkinData->MenuBar.get() : nullptr;
    const bool rtl = RightToLeft();
    const int rowWidth = row.right - row.left;
    int start = 6;
    if (HasPicture(e)) {
        start = rtl ? e->Margins.Right + 8 : e->Margins.Left + 4;
        if (rowWidth < start) start = 12;
    }
    TClientDC screen(nullptr);
    const HDC dc = screen.Handle();
    TGdiObject<HFONT> font(CreateMenuFont(FSkinForm->WindowDpi()));
    {
        TSelectObject sel(dc, font.Get());
        int x = rtl ? row.right - start : row.left + start;
        for (auto& b : FButtons) {
            if (!b->Visible) {
                b->Rect = RECT{};
                continue;
            }
            const int w = b->Caption.empty() ? 0 : MeasureText(dc, b->Caption).cx + 10;
            if (rtl) {
                b->Rect = RECT{x - w, row.top, x, row.bottom - 1};
                x -= w;
            } else {
                b->Rect = RECT{x, row.top, x + w, row.bottom - 1};
                x += w;
            }
        }
    }
}

namespace {

// One button's text (and its hot or pressed frame) on a DC whose origin is the row's.
void DrawButtonFace(HDC dc, const TMenuBtn& b, const RECT& r, const TSkinData* skin, HFONT font) {
    const TSkinColors colors = skin ? skin->Colors : TSkinColors{};
    if (b.State == ncHot || b.State == ncPressed) {
        TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(colors.ButtonHilight)));
        FrameRect(dc, &r, brush.Get());
    }
    TSelectObject sel(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(b.ItemEnabled ? colors.MenuBarText : colors.ButtonShadow));
    RECT t = r;
    DrawTextW(dc, W(b.Caption), int(b.Caption.size()), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

void TWinSkinMenu::DrawMenu(HDC DC, const RECT& Rect) {
    if (!FSkinForm || FPainting) return;
    FPainting = true;
    RECT row = IsRectEmpty(&Rect) ? MenuRow(FSkinForm) : Rect;
    const int w = row.right - row.left, h = row.bottom - row.top;
    if (w <= 0 || h <= 0) {
        FPainting = false;
        return;
    }
    // 1-2. The background, kept for redrawing single buttons.
    FBarRect = row;
    FBarBitmap.SetSize(w, h);
    const TDataSkinObject* e = FSkinData ? FSkinData->MenuBar.get() : nullptr;
    const TRect whole{0, 0, w, h};
    if (HasPicture(e)) {
        const int frame = FSkinForm->FActive || e->Frame < 2 ? 1 : 2;
        const int frames = std::max(1, int(e->Frame));
        if (e->Tile == 1)
            DrawRect2(FBarBitmap, whole, e->Map, e->Margins,
                      {.Frame = frame, .Frames = frames, .Trans = e->Trans == 1, .Tile = true});
        else
            DrawRectTile(FBarBitmap, whole, e->Map, e->Margins,
                         {.Frame = frame, .Frames = frames, .Trans = e->Trans == 1});
    } else {
        FBarBitmap.Fill(ColorToRGB(FSkinData ? FSkinData->Colors.Menubar : SystemColor(scBtnFace)));
    }
    // 3. The buttons.
    SetMenuRect();
    TBitmap composed(FBarBitmap);
    {
        TBitmapDC mem(composed, DC);
        TGdiObject<HFONT> font(CreateMenuFont(FSkinForm->WindowDpi()));
        for (auto& b : FButtons) {
            // Only the applier's hot object shows a state: the frame painter forgets it
            // after a full repaint.
            if (b.get() != FSkinForm->FHotObject) b->State = ncNormal;
            if (!b->Visible || b->Caption.empty()) continue;
            RECT r = b->Rect;
            OffsetRect(&r, -row.left, -row.top);
            DrawButtonFace(mem.Handle(), *b, r, FSkinData, font.Get());
        }
        // 4. A maximised MDI child's buttons sit at the row's end.
        if (FSkinForm->FFormStyle == fsfMDIFrame && FSkinForm->MDIChildMax()) {
            FSkinForm->SetSysbtnRect();
            for (auto& sb : FSkinForm->FSysButtons) {
                if (!sb->Enabled || !sb->Element || sb->Element->Visibility != 100 || sb->Element->Map.Empty())
                    continue;
                RECT r = sb->Rect;
                OffsetRect(&r, -row.left, -row.top);
                const int frame = sb->State == ncHot ? 4 : sb->State;
                DrawRect1(
                    composed, FromRECT(r), sb->Element->Map,
                    {.Frame = frame, .Frames = std::max(1, int(sb->Element->Frame)), .Trans = sb->Element->Trans == 1});
            }
            if (TSkinManage* m = SkinManage()) m->SetMDIMax(true);
        }
    }
    // 5. Onto the window.
    if (DC) Bitmapdraw(DC, FromRECT(row), composed);
    FPainting = false;
}

TMenuBtn* TWinSkinMenu::FindBtn(POINT Point) const {
    for (auto& b : FButtons)
        if (b->Visible && !b->Caption.empty() && PtInRect(&b->Rect, Point)) return b.get();
    return nullptr;
}

void TWinSkinMenu::MouseMove(POINT Point) {
    if (TMenuBtn* b = FindBtn(Point))
        b->MouseEnter();
    else if (FSkinForm && FSkinForm->FHotObject)
        for (auto& own : FButtons)
            if (own.get() == FSkinForm->FHotObject) {
                own->MouseLeave();
                break;
            }
}

// Repaints one button in its state straight to the window.
void TMenuBtn::Draw() {
    TWinSkinMenu* bar = Form ? Form->FMenuBar.get() : nullptr;
    if (!bar || !Form->FHandle || bar->FBarBitmap.Empty() || !Visible) return;
    const RECT& row = bar->FBarRect;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    TBitmap piece(w, h);
    DrawBGbmp(piece, TRect{0, 0, w, h}, bar->FBarBitmap,
              TRect{Rect.left - row.left, Rect.top - row.top, Rect.right - row.left, Rect.bottom - row.top});
    {
        TBitmapDC mem(piece);
        TGdiObject<HFONT> font(CreateMenuFont(Form->WindowDpi()));
        DrawButtonFace(mem.Handle(), *this, RECT{0, 0, w, h}, SkinData, font.Get());
    }
    TWindowDC dc(Form->FHandle);
    if (!dc.Handle()) return;
    Bitmapdraw(dc.Handle(), FromRECT(Rect), piece);
}

// ======================= opening drop-downs =======================

bool TWinSkinForm::CheckMenu(TMenuBtn* Button) {
    if (!Button || !FMenuBar || FInMenu) return false;
    int index = Button->Index;
    bool opened = false;
    bool told = false;  // screen readers were told the menu bar is in use
    while (index >= 0 && index < int(FMenuBar->FButtons.size())) {
        TMenuBtn* b = FMenuBar->FButtons[size_t(index)].get();
        const UINT command = b->Command;
        const HMENU sub = b->SubMenu;
        const bool enabled = b->ItemEnabled;
        const RECT rect = b->Rect;
        // 1. The framework runs the top-level item's own click handling.
        if (enabled && command) PostMessageW(FHandle, WM_COMMAND, command, 0);
        if (!sub || !IsMenu(sub)) break;
        // 2-4.
        if (b->Item)
            for (int i = 0; i < b->Item->Count(); ++i) b->Item->Items(i)->InitiateAction();
        OpenIndex = index;
        TrackForm = this;
        RECT wr{};
        GetWindowRect(FHandle, &wr);
        WMINITMENU(sub);
        FInMenu = true;
        if (TSkinManage* m = SkinManage()) {
            m->FPopupKind = pkMenu;
            m->FFromMenuBar = true;
        }
        // 5. Below the button; the chosen command comes back here and is posted, so the
        // window gets it whatever the platform does with notifications.
        PendingIndex = -1;
        UINT chosen = 0;
        if (enabled) {
            const bool rtl = (GetWindowLongW(FHandle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
            const int x = wr.left + (rtl ? rect.right : rect.left);
            const int y = wr.top + rect.bottom;
            Switching = false;
            // The first item is selected as the drop-down opens: the key is the first
            // message the menu's loop takes from the queue.
            PostMessageW(FHandle, WM_KEYDOWN, VK_DOWN, LPARAM(1 | (MapVirtualKeyW(VK_DOWN, MAPVK_VK_TO_VSC) << 16)));
            GetCursorPos(&LastMouse);
            MenuHook.Reset(SetWindowsHookExW(WH_MSGFILTER, hook_proc, nullptr, GetCurrentThreadId()));
            if (!told) NotifyWinEvent(EVENT_SYSTEM_MENUSTART, FHandle, OBJID_MENU, CHILDID_SELF);
            told = true;
            NotifyWinEvent(EVENT_OBJECT_FOCUS, FHandle, OBJID_MENU, LONG(index + 1));
            {
                TMenuTracking tracking;
                chosen = UINT(
                    TrackPopupMenu(sub, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD | (rtl ? TPM_RIGHTALIGN : 0), x,
                                   y, 0, FHandle, nullptr));
            }
            ReleaseToolMenuHooks();
            MSG stray;
            while (PeekMessageW(&stray, FHandle, WM_CANCELMODE, WM_CANCELMODE, PM_REMOVE)) {}
        }
        // 6.
        FInMenu = false;
        opened = true;
        if (TSkinManage* m = SkinManage()) m->FFromMenuBar = false;
        TrackForm = nullptr;
        OpenIndex = -1;
        if (chosen) PostMessageW(FHandle, WM_COMMAND, chosen, 0);
        // The buttons may have been rebuilt while the drop-down was open.
        const int next = PendingIndex;
        PendingIndex = -1;
        if (FMenuBar && index < int(FMenuBar->FButtons.size())) {
            TMenuBtn* closed = FMenuBar->FButtons[size_t(index)].get();
            if (closed == FHotObject)
                closed->MouseLeave();
            else if (closed->State != ncNormal) {
                closed->State = ncNormal;
                closed->Draw();
            }
        }
        if (next < 0 || !FMenuBar || next >= int(FMenuBar->FButtons.size())) break;
        index = next;
        FMenuBar->FButtons[size_t(index)]->MouseDown();
    }
    Switching = false;
    if (told) NotifyWinEvent(EVENT_SYSTEM_MENUEND, FHandle, OBJID_MENU, CHILDID_SELF);
    return opened;
}

void TWinSkinForm::ClickButton(TMenuBtn* Button) {
    if (!Button || !FMenuBar) return;
    if (FInMenu) {
        // The open drop-down closes first; the target opens when the pop-up call returns.
        PendingIndex = Button->Index;
        CloseTrackedMenu(FHandle);
        return;
    }
    RECT wr{};
    GetWindowRect(FHandle, &wr);
    PostMessageW(FHandle, WM_NCLBUTTONDOWN, HTMENU,
                 MAKELPARAM(wr.left + Button->Rect.left + 1, wr.top + Button->Rect.top + 1));
}

void TWinSkinForm::CancelMenu() {
    if (FInMenu && TrackForm == this) {
        PendingIndex = -1;
        CloseTrackedMenu(FHandle);
    }
    if (FHotObject && FMenuBar)
        for (auto& own : FMenuBar->FButtons)
            if (own.get() == FHotObject) {
                own->MouseLeave();
                break;
            }
}

TMenuBtn* TWinSkinForm::FindButtonFromAccel(WPARAM Key) const {
    if (!FMenuBar || !Key) return nullptr;
    const wchar_t key =
        wchar_t(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(Key & 0xFFFF)))));
    for (auto& b : FMenuBar->FButtons)
        if (b->ItemEnabled && b->Visible && AccelOf(b->Caption) == key) return b.get();
    // As the system's menu bars: an item without a marker opens by its first character.
    for (auto& b : FMenuBar->FButtons)
        if (b->ItemEnabled && b->Visible && !b->Caption.empty() && !AccelOf(b->Caption) &&
            wchar_t(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(b->Caption[0]))))) == key)
            return b.get();
    return nullptr;
}

// Opens a menu-bar button from the keyboard (Alt, F10, Alt + accelerator): 0 opens the
// first one. False when nothing opened.
bool TWinSkinForm::KeyMenu(WPARAM Key) {
    if (!FMenuBar || FMenuBar->FButtons.empty()) return false;
    TMenuBtn* b = nullptr;
    if (Key == 0) {
        for (auto& own : FMenuBar->FButtons)
            if (own->Visible && !own->Caption.empty()) {
                b = own.get();
                break;
            }
    } else {
        b = FindButtonFromAccel(Key);
    }
    if (!b) return false;
    if (IsRectEmpty(&b->Rect)) FMenuBar->SetMenuRect();
    b->MouseDown();
    CheckMenu(b);
    return true;
}

void TWinSkinForm::CMDialogChar(TMessage& Message) {
    if (FOldWindowMethod)
        FOldWindowMethod(Message);
    else
        Default(Message);
    if (Message.Result) return;
    const bool alt = GetKeyState(VK_MENU) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    if (alt && !ctrl && !shift) {
        if (TMenuBtn* b = FindButtonFromAccel(Message.WParam)) {
            ClickButton(b);
            Message.Result = 1;
            return;
        }
    }
    // A child window passes the accelerator on to the window that holds the menu.
    TCustomForm* target = nullptr;
    if (FFormStyle == fsfMDIChild) {
        if (HWND client = GetParent(FHandle))
            if (HWND frame = GetParent(client)) target = dynamic_cast<TCustomForm*>(FindControl(frame));
    } else if (FForm && Application && Application->MainForm() && Application->MainForm() != FForm) {
        target = Application->MainForm();
    }
    if (target && target != FForm) Message.Result = target->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
}

// CN_MenuSelect: wParam the index of the menu-bar button to open.
void TWinSkinForm::MenuSelect(TMessage& Message) {
    if (!FMenuBar || Message.WParam >= FMenuBar->FButtons.size()) {
        Default(Message);
        return;
    }
    TMenuBtn* b = FMenuBar->FButtons[size_t(Message.WParam)].get();
    b->MouseDown();
    CheckMenu(b);
    Message.Result = 1;
}

void TWinSkinForm::WMCommand(TMessage& Message) {
    switch (LOWORD(Message.WParam)) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
        if (Message.LParam == 0) {
            PostMessageW(FHandle, WM_SYSCOMMAND, LOWORD(Message.WParam), 0);
            Message.Result = 0;
            return;
        }
        break;
    default: break;
    }
    Default(Message);
}

void TWinSkinForm::WMINITMENU(HMENU Menu) {
    if (!Menu || !IsMenu(Menu)) return;
    const int n = GetMenuItemCount(Menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE;
        if (!GetMenuItemInfoW(Menu, UINT(i), TRUE, &mii)) continue;
        if (!(mii.fType & MFT_OWNERDRAW)) {
            MENUITEMINFOW set{};
            set.cbSize = sizeof set;
            set.fMask = MIIM_FTYPE;
            set.fType = mii.fType | MFT_OWNERDRAW;
            SetMenuItemInfoW(Menu, UINT(i), TRUE, &set);
        }
        if (mii.hSubMenu) WMINITMENU(mii.hSubMenu);
    }
}

// ======================= owner-drawn items =======================

namespace {

void SetItemHandlers(TWinSkinForm* F, TMenuItem* Item, bool Enable) {
    if (Enable) {
        Item->OnDrawItem = [F](TObject* s, TCanvas& c, RECT r, bool sel) { F->DrawMenuItem(s, c, r, sel); };
        if (!Item->OnMeasureItem)
            Item->OnMeasureItem = [F](TObject* s, TCanvas& c, int& w, int& h) { F->MeasureItemPop(s, c, w, h); };
    } else {
        Item->OnDrawItem = nullptr;
        Item->OnMeasureItem = nullptr;
    }
    for (int i = 0; i < Item->Count(); ++i) SetItemHandlers(F, Item->Items(i), Enable);
}

int MenuItemLeftMargin(const TSkinData* S) {
    return S && HasPicture(S->MenuItem.get()) ? S->MenuItem->Margins.Left : 0;
}

}  // namespace

void TWinSkinForm::InitMainMenu(TComponent* Container, bool Enable, bool Recurse) {
    auto* form = dynamic_cast<TCustomForm*>(Container);
    if (!form || !form->Menu() || form->Menu()->Tag() == (FSkinData ? FSkinData->DisableTag : 99)) return;
    TMenuItem* root = form->Menu()->Items();
    for (int i = 0; i < root->Count(); ++i)
        for (int k = 0; k < root->Items(i)->Count(); ++k) SetItemHandlers(this, root->Items(i)->Items(k), Enable);
    if (Recurse)
        for (int i = 0; i < Container->ComponentCount(); ++i)
            if (auto* f = dynamic_cast<TCustomForm*>(Container->Components(i))) InitMainMenu(f, Enable, true);
}

void TWinSkinForm::InitPopMenu(TComponent* Container, bool Enable, bool Recurse) {
    if (!Container || !FSkinData) return;
    if (std::string(Container->ClassName()) == "TwwRichEditForm") return;
    for (int i = 0; i < Container->ComponentCount(); ++i) {
        TComponent* c = Container->Components(i);
        if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            if (popup->Tag() == FSkinData->DisableTag || !FSkinData->SkinControls.Contains(xcPopupMenu)) continue;
            popup->SetOwnerDraw(Enable);
            for (int k = 0; k < popup->Items()->Count(); ++k) SetItemHandlers(this, popup->Items()->Items(k), Enable);
        } else if (Recurse && (dynamic_cast<TCustomForm*>(c) || dynamic_cast<TWinControl*>(c))) {
            if (dynamic_cast<TCustomForm*>(c) || c->ComponentCount() > 0) InitPopMenu(c, Enable, true);
        }
    }
}

void TWinSkinForm::InitToolbarMenu(TMenuItem* Item, bool Enable) {
    if (Item) SetItemHandlers(this, Item, Enable);
}

void TWinSkinForm::MeasureItemPop(TObject* Sender, TCanvas& Canvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    // The framework's own measure first (this handler replaces it), then the skin's room.
    TMenuMeasureItemEvent self = std::move(item->OnMeasureItem);
    item->OnMeasureItem = nullptr;
    item->MeasureItem(Canvas, Width, Height);
    item->OnMeasureItem = std::move(self);
    TMenu* menu = item->GetParentMenu();
    Width += MenuItemLeftMargin(FSkinData);
    if (!menu || !menu->Images()) Width += 23;
    Width += 12;
}

void TWinSkinForm::MeasureItem(TObject* Sender, TCanvas& Canvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item) return;
    TMenuMeasureItemEvent self = std::move(item->OnMeasureItem);
    item->OnMeasureItem = nullptr;
    item->MeasureItem(Canvas, Width, Height);
    item->OnMeasureItem = std::move(self);
    TMenu* menu = item->GetParentMenu();
    Width += MenuItemLeftMargin(FSkinData) + 10;
    if (!menu || !menu->Images()) Width += 25;
}

namespace {

// One text of an item: measured (CALCRECT) or drawn in the item's colours.
void DoDrawText(const TSkinData* S, TMenuItem* Item, HDC dc, const std::u16string& Text, RECT& R, UINT Flags,
                bool Selected) {
    if (Flags & DT_CALCRECT) {
        const std::u16string t = (Text.empty() || Text == u"&") ? std::u16string(u" ") : Text;
        DrawTextW(dc, W(t), int(t.size()), &R, Flags);
        return;
    }
    if (Text == u"-") {
        RECT line = R;
        OffsetRect(&line, 0, 4);
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const TSkinColors c = S ? S->Colors : TSkinColors{};
    TColor color = Selected ? c.HilightText : c.MenuText;
    if (!Item->Enabled()) color = c.ButtonShadow == c.MenuText ? SystemColor(COLOR_BTNSHADOW) : c.ButtonShadow;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(color));
    DrawTextW(dc, W(Text), int(Text.size()), &R, Flags);
}

}  // namespace

void TWinSkinForm::DrawItemText(TMenuItem* Item, TCanvas& Canvas, RECT Rect, bool Selected) {
    HDC dc = Canvas.Handle();
    if (!Item || !dc) return;
    TMenu* menu = Item->GetParentMenu();
    TImageList* images = menu ? menu->Images() : nullptr;
    const bool rtl = RightToLeft();
    const std::u16string caption = CutText(ToU16(ToWide(Item->Caption())));
    const bool separator = Item->IsLine();
    const int rh = Rect.bottom - Rect.top;
    // 1-2. The glyph column.
    int column = images ? images->Width() : 16;
    if (Item->Checked()) column = std::max(column, 16);
    RECT square{Rect.left + 1, Rect.top + 1, Rect.left + 1 + column, Rect.top + 1 + column};
    if (FSkinData && HasPicture(FSkinData->MenuItem.get())) OffsetRect(&square, FSkinData->MenuItem->Margins.Left, 0);
    if (rtl) {
        const int w = square.right - square.left;
        square.right = Rect.right - (square.left - Rect.left);
        square.left = square.right - w;
    }
    if (!separator) {
        const bool systemGlyph = menu && menu->Tag() == 0x8235 && FSkinData && Item->ImageIndex() >= 0 &&
                                 Item->ImageIndex() < 4 && !FSkinData->Glyphs[size_t(Item->ImageIndex())].Empty();
        if (images && Item->ImageIndex() >= 0 && Item->ImageIndex() < images->Count()) {
            // 3. An image; a checked one sits on a sunken pattern.
            int top = Rect.top + (rh - images->Height()) / 2;
            if (Item->Checked()) {
                top = Rect.top + (rh - 16) / 2;
                RECT sq = square;
                sq.top = top;
                sq.bottom = top + column;
                WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
                TGdiObject<HBITMAP> bits(CreateBitmap(8, 8, 1, 1, pattern));
                TGdiObject<HBRUSH> brush(CreatePatternBrush(bits.Get()));
                const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
                const COLORREF oldBk = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
                FillRect(dc, &sq, brush.Get());
                SetTextColor(dc, oldText);
                SetBkColor(dc, oldBk);
                DrawEdge(dc, &sq, BDR_SUNKENOUTER, BF_RECT);
            }
            images->Draw(dc, square.left, top, Item->ImageIndex(), Item->Enabled());
        } else if (systemGlyph) {
            // The system menu's glyphs: black on white, white transparent.
            const TBitmap& g = FSkinData->Glyphs[size_t(Item->ImageIndex())];
            const int top = Rect.top + (rh - g.Height()) / 2;
            DrawTranmap(dc, TRect{square.left, top, square.left + g.Width(), top + g.Height()}, g, TColor(0xFFFFFF));
        } else if (Item->Checked()) {
            // 4. The platform's check mark in the button-text colour.
            TGdiObject<HBITMAP> check(LoadBitmapW(nullptr, MAKEINTRESOURCEW(OBM_CHECK)));
            BITMAP bm{};
            if (check && GetObjectW(check.Get(), sizeof bm, &bm)) {
                TMemoryDC mem(dc);
                TSelectObject mark(mem.Handle(), check.Get());
                const int x = square.left + (column - bm.bmWidth) / 2 + 1;
                const int y = Rect.top + (rh - bm.bmHeight) / 2 + 1;
                const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
                const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
                BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, mem.Handle(), 0, 0, SRCAND);
                SetTextColor(dc, oldText);
                SetBkColor(dc, oldBk);
            }
        }
    }
    // 5. The caption.
    HFONT font = CreateMenuFont(WindowDpi(), Item->Default());
    TGdiObject<HFONT> owned(font);
    TSelectObject sel(dc, font);
    RECT text = rtl ? RECT{Rect.left + 1, Rect.top, square.left - 3, Rect.bottom}
                    : RECT{square.right + 3, Rect.top, Rect.right - 1, Rect.bottom};
    if (separator) text = Rect;
    RECT measured = text;
    DoDrawText(FSkinData, Item, dc, caption, measured, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE | DT_EXPANDTABS,
               Selected);
    if (!separator) OffsetRect(&text, 0, (rh - (measured.bottom - measured.top)) / 2);
    text.bottom = text.top + (measured.bottom - measured.top);
    DoDrawText(FSkinData, Item, dc, caption, text, DT_SINGLELINE | DT_EXPANDTABS | (rtl ? DT_RIGHT | DT_RTLREADING : 0),
               Selected);
    // 6. The shortcut, right-aligned.
    if (!separator && Item->ShortCut()) {
        const std::u16string sc = ToU16(ToWide(ShortCutToText(Item->ShortCut())));
        RECT r = rtl ? RECT{Rect.left + 11, text.top, text.left, text.bottom}
                     : RECT{text.left + (measured.right - measured.left), text.top, Rect.right - 11, text.bottom};
        DoDrawText(FSkinData, Item, dc, sc, r, DT_SINGLELINE | (rtl ? DT_LEFT : DT_RIGHT), Selected);
    }
}

void TWinSkinForm::DrawMenuCaption(TCanvas& Canvas, RECT Rect) {
    const TDataSkinObject* e = FSkinData ? FSkinData->MenuItem.get() : nullptr;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (!HasPicture(e) || w <= 0 || h <= 0 || !Canvas.Handle()) return;
    // Frame 2 of the item picture: its margins at the ends, the middle stretched.
    const TRect frame = FrameRect(e->Map, 2, 5);
    const int fh = frame.Height();
    const int lm = std::min<int>(e->Margins.Left, frame.Width()),
              rm = std::min<int>(e->Margins.Right, frame.Width() - lm);
    TBitmap line(w, h);
    line.Fill(TColor(0xFF00FF));
    // A separator lower than the picture shows the picture's middle rows.
    const int sy = fh > h ? frame.Top + (fh - h) / 2 : frame.Top;
    const int rows = std::min(fh, h);
    const int dy = h > fh ? (h - fh) / 2 : 0;
    TBitmapDC src(e->Map);
    TBitmapDC dst(line);
    SetStretchBltMode(dst.Handle(), COLORONCOLOR);
    BitBlt(dst.Handle(), 0, dy, std::min(lm, w), rows, src.Handle(), frame.Left, sy, SRCCOPY);
    if (rm > 0 && w > lm) BitBlt(dst.Handle(), w - rm, dy, rm, rows, src.Handle(), frame.Right - rm, sy, SRCCOPY);
    if (w - lm - rm > 0 && frame.Width() - lm - rm > 0)
        StretchBlt(dst.Handle(), lm, dy, w - lm - rm, rows, src.Handle(), frame.Left + lm, sy, frame.Width() - lm - rm,
                   rows, SRCCOPY);
    GdiFlush();
    DrawTranmap(Canvas.Handle(), FromRECT(Rect), line, TColor(0xFF00FF));
}

void TWinSkinForm::DefaultMenuItem(TObject* Sender, TCanvas& Canvas, RECT Rect, bool Selected) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    HDC dc = Canvas.Handle();
    if (!item || !dc) return;
    const TSkinColors c = FSkinData ? FSkinData->Colors : TSkinColors{};
    TGdiObject<HBRUSH> brush(CreateSolidBrush(ColorRef(Selected && !item->IsLine() ? c.Hilight : c.Menu)));
    FillRect(dc, &Rect, brush.Get());
    DrawItemText(item, Canvas, Rect, Selected && !item->IsLine());
}

void TWinSkinForm::DrawMenuItem(TObject* Sender, TCanvas& Canvas, RECT Rect, bool Selected) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    TSkinManage* manager = SkinManage();
    if (manager) manager->SetPopMenu();
    if (!item || !Canvas.Handle()) return;
    const TDataSkinObject* e = FSkinData ? FSkinData->MenuItem.get() : nullptr;
    if (!HasPicture(e)) {
        DefaultMenuItem(Sender, Canvas, Rect, Selected);
        return;
    }
    HMENU parent = nullptr;
    if (item->Parent())
        parent = item->Parent()->Parent() ? item->Parent()->Handle()
                                          : (item->GetParentMenu() ? item->GetParentMenu()->Handle() : nullptr);
    if (manager && parent) manager->SetHMenu(parent);
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (w <= 0 || h <= 0) return;
    TBitmap bmp(w, h);
    const TBitmap* bg = manager && parent ? manager->GetMenuBg(parent) : nullptr;
    if (bg && !bg->Empty())
        DrawBGbmp(bmp, TRect{0, 0, w, h}, *bg, TRect{Rect.left + 3, Rect.top + 3, Rect.right + 3, Rect.bottom + 3});
    else
        bmp.Fill(ColorToRGB(FSkinData->Colors.Menu));
    if (item->IsLine()) {
        Bitmapdraw(Canvas.Handle(), FromRECT(Rect), bmp);
        DrawMenuCaption(Canvas, Rect);
        return;
    }
    DrawRect2(bmp, TRect{0, 0, w, h}, e->Map, e->Margins,
              {.Frame = Selected ? 4 : 1, .Frames = 5, .Trans = e->Trans == 1, .Tile = e->Tile == 1});
    {
        TBitmapDC mem(bmp, Canvas.Handle());
        TCanvas c;
        c.SetHandle(mem.Handle());
        DrawItemText(item, c, RECT{0, 0, w, h}, Selected);
        c.SetHandle(nullptr);
        GdiFlush();
    }
    Bitmapdraw(Canvas.Handle(), FromRECT(Rect), bmp);
}

// A temporary framework item standing for a native item, for drawing it.
TMenuItem* TWinSkinForm::CreateMenuItem(HMENU Menu, UINT Identifier) {
    auto* item = new TMenuItem(nullptr);
    std::u16string text = NativeItemText(Menu, Identifier, false);
    const UINT state = GetMenuState(Menu, Identifier, MF_BYCOMMAND);
    std::wstring wide(text.begin(), text.end());
    item->SetCaption(text.empty() ? std::string("-") : ToUtf8(wide));
    if (state != UINT(-1)) {
        item->SetEnabled((state & 3) == 0);
        item->SetChecked((state & MFS_CHECKED) != 0);
    }
    return item;
}

void TWinSkinForm::DrawHMenuItem2(TMenuItem* Item, HDC DC, RECT Rect, bool Selected) {
    TCanvas canvas;
    canvas.SetHandle(DC);
    DrawMenuItem(Item, canvas, Rect, Selected);
    canvas.SetHandle(nullptr);
}

void TWinSkinForm::WMMEASUREITEM(TMessage& Message) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (!mis || mis->CtlType != ODT_MENU) {
        Default(Message);
        return;
    }
    if (TSkinManage* m = SkinManage()) m->SetPopMenu();
    // Given back before the window's own handling runs, as that may want a DC of its own.
    std::optional<TWindowDC> window(std::in_place, FHandle);
    const HDC dc = window->Handle();
    TGdiObject<HFONT> font(CreateMenuFont(WindowDpi()));
    auto measure = [&](auto&& fn) {
        TSelectObject sel(dc, font.Get());
        TCanvas canvas;
        canvas.SetHandle(dc);
        // The canvas took the DC with a font of its own, made for 96 DPI: at another DPI the
        // items are measured in the menu font of that DPI they are drawn in, or their text
        // is cut (at 200 % by a third). At 96 DPI the menus keep the sizes they always had.
        if (WindowDpi() != kDefaultDpi) SelectObject(dc, font.Get());
        int w = int(mis->itemWidth), h = int(mis->itemHeight);
        fn(canvas, w, h);
        canvas.SetHandle(nullptr);
        mis->itemWidth = UINT(std::max(0, w));
        mis->itemHeight = UINT(std::max(0, h));
        Message.Result = 1;
    };
    TMenuItem* item = FMenuBar && FMenuBar->FMenu ? FMenuBar->FMenu->FindItem(mis->itemID) : nullptr;
    TMenuItem* any = item ? nullptr : FindMenuItemByCommand(mis->itemID);
    if (item && FForm) {
        measure([&](TCanvas& c, int& w, int& h) { MeasureItem(item, c, w, h); });
    } else if (any && any->GetParentMenu() && (any->OnMeasureItem || any->OnDrawItem)) {
        // A skinned menu shown for this window (its system menu) measures itself.
        measure([&](TCanvas& c, int& w, int& h) { any->MeasureItem(c, w, h); });
    } else if (FForm && mis->itemID >= 1 && mis->itemID <= 4095) {
        window.reset();
        Default(Message);
        return;
    } else if (FMenuBar && !FMenuBar->FButtons.empty()) {
        WMMEASUREITEMH(Message, dc, font.Get());
    } else {
        window.reset();
        Default(Message);
        return;
    }
}

// Measures a native item from its text in the drop-down the menu bar has open.
void TWinSkinForm::WMMEASUREITEMH(TMessage& Message, HDC DC, HFONT Font) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    HMENU open = nullptr;
    if (FMenuBar && OpenIndex >= 0 && OpenIndex < int(FMenuBar->FButtons.size()))
        open = FMenuBar->FButtons[size_t(OpenIndex)]->SubMenu;
    const std::u16string text = open ? NativeItemText(open, mis->itemID, false) : std::u16string();
    TSelectObject sel(DC, Font);
    const SIZE size = MeasureText(DC, text);
    mis->itemWidth = UINT(size.cx + 26 + MenuItemLeftMargin(FSkinData));
    mis->itemHeight = UINT(text.empty() ? 8 : size.cy + 4);
    Message.Result = 1;
}

void TWinSkinForm::WMDRAWITEM(TMessage& Message) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
    if (!dis || dis->CtlType != ODT_MENU) {
        Default(Message);
        return;
    }
    const HMENU menu = reinterpret_cast<HMENU>(dis->hwndItem);
    if (TSkinManage* m = SkinManage()) {
        m->SetHMenu(menu);
        m->SetPopMenu();
    }
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    TCanvas canvas;
    canvas.SetHandle(dis->hDC);
    std::optional<TSavedDC> saved(std::in_place, dis->hDC);
    TMenuItem* item = FMenuBar && FMenuBar->FMenu ? FMenuBar->FMenu->FindItem(dis->itemID) : nullptr;
    TMenuItem* any = item ? nullptr : FindMenuItemByCommand(dis->itemID);
    if (item && FForm) {
        if (FSkinData && HasPicture(FSkinData->MenuItem.get()))
            DrawMenuItem(item, canvas, dis->rcItem, selected);
        else
            DefaultMenuItem(item, canvas, dis->rcItem, selected);
        Message.Result = 1;
    } else if (any && any->GetParentMenu() && any->OnDrawItem) {
        any->DrawItem(canvas, dis->rcItem, selected);
        Message.Result = 1;
    } else if (FForm && dis->itemID >= 1 && dis->itemID <= 4095) {
        saved.reset();
        canvas.SetHandle(nullptr);
        Default(Message);
        return;
    } else if (menu && IsMenu(menu)) {
        std::unique_ptr<TMenuItem> temp(CreateMenuItem(menu, dis->itemID));
        DrawHMenuItem2(temp.get(), dis->hDC, dis->rcItem, selected);
        Message.Result = 1;
    } else {
        saved.reset();
        canvas.SetHandle(nullptr);
        Default(Message);
        return;
    }
}

// ======================= tool bars =======================

namespace {

// Item states a tool bar hands its custom-draw events, as the platform's custom draw has them.
constexpr int tdsSelected = 0x1, tdsDisabled = 0x4, tdsChecked = 0x8, tdsHot = 0x40;

bool HasImage(const TDataSkinObject* e) { return e && !e->Map.Empty(); }

// Runs Draw on the tool bar's canvas while it paints, or else on its window's DC.
void OnToolBarDC(TObject* Sender, const std::function<void(HDC)>& Draw) {
    auto* bar = dynamic_cast<TWinControl*>(Sender);
    if (!bar) return;
    if (auto* canvas = dynamic_cast<TCanvas*>(GetObjProp(bar, "Canvas", TCanvas::StaticClassInfo()));
        canvas && canvas->Handle()) {
        Draw(canvas->Handle());
        return;
    }
    if (!bar->HandleAllocated()) return;
    const TClientDC dc(bar->Handle());
    if (dc.Handle()) Draw(dc.Handle());
}

}  // namespace

// The bar's background: the skin's tool-bar gradient across it.
void TWinSkinForm::ToolBarDrawBackground(TObject* Sender, const RECT& Rect, bool& DefaultDraw) {
    DefaultDraw = true;
    const TDataSkinObject* e = FSkinData ? FSkinData->Toolbar.get() : nullptr;
    if (!HasImage(e) || Rect.right <= Rect.left || Rect.bottom <= Rect.top) return;
    bool drawn = false;
    OnToolBarDC(Sender, [&](HDC dc) {
        DrawRect2(dc, FromRECT(Rect), e->Map, e->Margins, {.Frames = std::max(e->Frame, 1), .Tile = e->Tile == 1});
        drawn = true;
    });
    DefaultDraw = !drawn;
}

// A button's face from the skin's tool-bar buttons by its state (frames: 2 hot, 3 pressed,
// 4 down, 5 disabled). A flat bar shows no face on a button at rest. The bar then draws
// the button's glyph and caption over the face (DefaultDraw stays true).
void TWinSkinForm::ToolBarDrawButton(TObject* Sender, TObject* Button, int State, bool& DefaultDraw) {
    DefaultDraw = true;
    const TDataSkinObject* e = FSkinData ? FSkinData->ToolBars.get() : nullptr;
    auto* button = dynamic_cast<TControl*>(Button);
    if (!HasImage(e) || !button) return;
    int frame = 0;
    if (State & tdsDisabled)
        frame = 5;
    else if (State & tdsSelected)
        frame = 3;
    else if (State & tdsChecked)
        frame = 4;
    else if (State & tdsHot)
        frame = 2;
    if (!frame) return;
    const RECT r = button->BoundsRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    const int frames = std::max(e->Frame, 1);
    OnToolBarDC(Sender, [&](HDC dc) {
        DrawRect2(
            dc, FromRECT(r), e->Map, e->Margins,
            {.Frame = FrameInStrip(frame, frames), .Frames = frames, .Trans = e->Trans == 1, .Tile = e->Tile == 1});
    });
}

bool TWinSkinForm::RightToLeft() const { return FLeftScrollBar; }

}  // namespace quorin
