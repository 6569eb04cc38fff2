// What screen readers are told of the parts the skin draws: the title bar with its caption
// buttons, the menu row with its items, and the items of a skinned drop-down (drawn by
// their owner, which the system's own object cannot read). The system's own objects for them
// would describe a native caption and menu bar the window no longer shows. The objects ask
// the window's skin applier afresh on every call (the skin may change or go meanwhile);
// they are made by the framework's accessible-object room (forms/Accessible.h).
#include "skin/apply/Winskinform.h"
#include "skin/apply/Winskinmenu.h"

#include "forms/AccessText.h"
#include "forms/Accessible.h"
#include "forms/WinText.h"

namespace quorin {
namespace {

RECT ScreenOfWindowRect(HWND Window, const RECT& R) {
    RECT w{};
    GetWindowRect(Window, &w);
    return RECT{w.left + R.left, w.top + R.top, w.left + R.right, w.top + R.bottom};
}

POINT WindowPointOfScreen(HWND Window, POINT P) {
    RECT w{};
    GetWindowRect(Window, &w);
    return POINT{P.x - w.left, P.y - w.top};
}

std::string Utf8Of(const std::u16string& Text) { return ToUtf8(std::wstring(Text.begin(), Text.end())); }

// The title bar, its children numbered as the system numbers a title bar's.
constexpr long kTitleMinimize = 2, kTitleMaximize = 3, kTitleHelp = 4, kTitleClose = 5, kTitleChildren = 5;

class TTitleBarSource final : public TAccessibleSource {
public:
    explicit TTitleBarSource(HWND Window) : FWindow(Window) {}
    HWND Window() const override { return FWindow; }
    bool Alive() const override { return IsWindow(FWindow) && Skin(); }
    int ElementCount() override { return kTitleChildren; }

    void Describe(long Child, TAccessibleElement& E) override {
        TWinSkinForm* skin = Skin();
        if (!skin) return;
        const bool hidden = !IsWindowVisible(FWindow);
        if (Child == CHILDID_SELF) {
            E.Role = ROLE_SYSTEM_TITLEBAR;
            E.Name = ToUtf8(WindowTextW(FWindow));
            E.Value = *E.Name;
            E.State = (hidden ? STATE_SYSTEM_INVISIBLE : 0) | STATE_SYSTEM_FOCUSABLE;
            E.Screen = ScreenOfWindowRect(FWindow, RECT{skin->FBorderLeft, 0, skin->FWidth - skin->FBorderRight,
                                                        skin->FTitleHeight});
            return;
        }
        E.Role = ROLE_SYSTEM_PUSHBUTTON;
        E.DefaultAction = AccessibleWord(TAccessibleWord::Press);
        TWinSysButton* b = Button(*skin, Child);
        const bool zoomed = IsZoomed(FWindow) != FALSE;
        switch (Child) {
        case kTitleMinimize: E.Name = AccessibleWord(TAccessibleWord::Minimize); break;
        case kTitleMaximize:
            E.Name = AccessibleWord(zoomed ? TAccessibleWord::Restore : TAccessibleWord::Maximize);
            break;
        case kTitleHelp: E.Name = AccessibleWord(TAccessibleWord::Help); break;
        case kTitleClose: E.Name = AccessibleWord(TAccessibleWord::Close); break;
        default: E.Name = std::string(); break;
        }
        long state = 0;
        if (!b || !b->Enabled || hidden) state |= STATE_SYSTEM_INVISIBLE;
        if (b && b->State == ncPressed) state |= STATE_SYSTEM_PRESSED;
        if (b && b->State == ncHot) state |= STATE_SYSTEM_HOTTRACKED;
        E.State = state;
        if (b && b->Enabled) E.Screen = ScreenOfWindowRect(FWindow, b->Rect);
    }

    bool DoDefaultAction(long Child) override {
        TWinSkinForm* skin = Skin();
        if (!skin) return false;
        TWinSysButton* b = Button(*skin, Child);
        if (!b || !b->Enabled) return false;
        UINT command = SC_CLOSE;
        if (Child == kTitleMinimize) command = SC_MINIMIZE;
        if (Child == kTitleMaximize) command = IsZoomed(FWindow) ? SC_RESTORE : SC_MAXIMIZE;
        // As the button's click does, by the window's own command.
        return PostMessageW(FWindow, WM_SYSCOMMAND, command, 0) != FALSE;
    }

    long HitTest(POINT Screen) override {
        TWinSkinForm* skin = Skin();
        if (!skin) return -1;
        const POINT p = WindowPointOfScreen(FWindow, Screen);
        for (long child : {kTitleMinimize, kTitleMaximize, kTitleClose})
            if (TWinSysButton* b = Button(*skin, child); b && b->Enabled && PtInRect(&b->Rect, p)) return child;
        return p.y >= 0 && p.y < skin->FTitleHeight ? CHILDID_SELF : -1;
    }

private:
    TWinSkinForm* Skin() const {
        TWinSkinForm* skin = FindSkinForm(FWindow);
        return skin && skin->FSkinFrame ? skin : nullptr;
    }
    static TWinSysButton* Button(TWinSkinForm& Skin, long Child) {
        switch (Child) {
        case kTitleMinimize: return Skin.CaptionButton(SC_MINIMIZE);
        case kTitleMaximize: return Skin.CaptionButton(SC_MAXIMIZE);
        case kTitleClose: return Skin.CaptionButton(SC_CLOSE);
        default: return nullptr;
        }
    }
    HWND FWindow;
};

// The menu row: a menu bar whose items are the row's buttons.
class TMenuRowSource final : public TAccessibleSource {
public:
    explicit TMenuRowSource(HWND Window) : FWindow(Window) {}
    HWND Window() const override { return FWindow; }
    bool Alive() const override { return IsWindow(FWindow) && Row(); }
    int ElementCount() override {
        TWinSkinMenu* row = Row();
        return row ? int(row->FButtons.size()) : 0;
    }

    void Describe(long Child, TAccessibleElement& E) override {
        TWinSkinMenu* row = Row();
        if (!row) return;
        const bool hidden = !IsWindowVisible(FWindow);
        if (Child == CHILDID_SELF) {
            E.Role = ROLE_SYSTEM_MENUBAR;
            E.Name = AccessibleWord(TAccessibleWord::MenuBar);
            E.State = hidden ? STATE_SYSTEM_INVISIBLE : 0;
            E.Screen = ScreenOfWindowRect(FWindow, row->FBarRect);
            return;
        }
        if (Child < 1 || size_t(Child) > row->FButtons.size()) return;
        const TMenuBtn& b = *row->FButtons[size_t(Child - 1)];
        const std::string caption = Utf8Of(b.Caption);
        E.Role = ROLE_SYSTEM_MENUITEM;
        E.Name = TextWithoutMarker(caption);
        E.Shortcut = AltShortcut(caption, true);
        E.DefaultAction = AccessibleWord(b.SubMenu ? TAccessibleWord::Open : TAccessibleWord::Execute);
        long state = STATE_SYSTEM_FOCUSABLE;
        if (!b.Visible || b.Caption.empty() || hidden) state |= STATE_SYSTEM_INVISIBLE;
        if (!b.ItemEnabled) state |= STATE_SYSTEM_UNAVAILABLE;
        if (b.SubMenu) state |= STATE_SYSTEM_HASPOPUP;
        if (b.State == ncHot) state |= STATE_SYSTEM_HOTTRACKED;
        if (b.State == ncPressed) state |= STATE_SYSTEM_PRESSED | STATE_SYSTEM_FOCUSED;
        E.State = state;
        if (b.Visible && !IsRectEmpty(&b.Rect)) E.Screen = ScreenOfWindowRect(FWindow, b.Rect);
    }

    bool DoDefaultAction(long Child) override {
        TWinSkinForm* skin = FindSkinForm(FWindow);
        TWinSkinMenu* row = Row();
        if (!skin || !row || Child < 1 || size_t(Child) > row->FButtons.size()) return false;
        TMenuBtn* b = row->FButtons[size_t(Child - 1)].get();
        if (!b->Visible || !b->ItemEnabled || b->Caption.empty()) return false;
        skin->ClickButton(b);  // posts the click: the drop-down opens once the client's call is answered
        return true;
    }

    long HitTest(POINT Screen) override {
        TWinSkinMenu* row = Row();
        if (!row) return -1;
        const POINT p = WindowPointOfScreen(FWindow, Screen);
        for (size_t i = 0; i < row->FButtons.size(); ++i) {
            const TMenuBtn& b = *row->FButtons[i];
            if (b.Visible && !b.Caption.empty() && PtInRect(&b.Rect, p)) return long(i + 1);
        }
        return PtInRect(&row->FBarRect, p) ? CHILDID_SELF : -1;
    }

    long FocusedChild() override {
        TWinSkinMenu* row = Row();
        if (!row) return -1;
        for (size_t i = 0; i < row->FButtons.size(); ++i)
            if (row->FButtons[i]->State == ncPressed) return long(i + 1);
        return -1;
    }

private:
    TWinSkinMenu* Row() const {
        TWinSkinForm* skin = FindSkinForm(FWindow);
        return skin && skin->FSkinFrame && skin->FMenuBar && skin->FMenuHeight > 0 ? skin->FMenuBar.get() : nullptr;
    }
    HWND FWindow;
};

// A drop-down's window: its items, read from the menu it shows.
class TDropDownSource final : public TAccessibleSource {
public:
    explicit TDropDownSource(HWND Window) : FWindow(Window) {}
    HWND Window() const override { return FWindow; }
    int ElementCount() override {
        const HMENU menu = Menu();
        const int n = menu ? GetMenuItemCount(menu) : 0;
        return n > 0 ? n : 0;
    }

    void Describe(long Child, TAccessibleElement& E) override {
        const HMENU menu = Menu();
        if (Child == CHILDID_SELF) {
            E.Role = ROLE_SYSTEM_MENUPOPUP;
            E.Name = std::string();
            E.State = IsWindowVisible(FWindow) ? 0 : STATE_SYSTEM_INVISIBLE;
            return;
        }
        wchar_t text[256] = {};
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
        mii.dwTypeData = text;
        mii.cch = 255;
        if (!menu || !GetMenuItemInfoW(menu, UINT(Child - 1), TRUE, &mii)) return;
        if (mii.fType & MFT_SEPARATOR) {
            E.Role = ROLE_SYSTEM_SEPARATOR;
            E.Name = std::string();
            E.State = 0;
            return;
        }
        const std::string caption = ToUtf8(text);
        E.Role = ROLE_SYSTEM_MENUITEM;
        E.Name = TextWithoutMarker(caption);
        E.Shortcut = MarkerKey(caption);
        E.Description = MenuShortcutText(caption);
        E.DefaultAction = AccessibleWord(mii.hSubMenu ? TAccessibleWord::Open : TAccessibleWord::Execute);
        long state = STATE_SYSTEM_FOCUSABLE;
        if (mii.fState & MFS_DISABLED) state |= STATE_SYSTEM_UNAVAILABLE;
        if (mii.fState & MFS_CHECKED) state |= STATE_SYSTEM_CHECKED;
        if (mii.fState & MFS_HILITE) state |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED;
        if (mii.hSubMenu) state |= STATE_SYSTEM_HASPOPUP;
        E.State = state;
        RECT r{};
        if (GetMenuItemRect(nullptr, menu, UINT(Child - 1), &r)) E.Screen = r;
    }

    long HitTest(POINT Screen) override {
        const HMENU menu = Menu();
        if (!menu) return -1;
        const int i = MenuItemFromPoint(nullptr, menu, Screen);
        return i >= 0 ? long(i + 1) : -1;
    }

    long FocusedChild() override {
        const HMENU menu = Menu();
        for (int i = 0, n = ElementCount(); i < n; ++i)
            if (GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_HILITE) return long(i + 1);
        return -1;
    }

private:
    HMENU Menu() const { return reinterpret_cast<HMENU>(SendMessageW(FWindow, MN_GETHMENU, 0, 0)); }
    HWND FWindow;
};

}  // namespace

bool TWinSkinPopMenu::AnswerObject(TMessage& Message) {
    if (!FMenuWindow || AccessibleObjectId(Message.LParam) != OBJID_CLIENT) return false;
    auto source = std::make_shared<TDropDownSource>(FMenuWindow);
    Message.Result = AccessibleResult(MakeAccessibleObject(std::move(source), OBJID_CLIENT, true), Message.WParam);
    return true;
}

bool TWinSkinForm::AnswerFrameObject(TMessage& Message) {
    if (!FSkinFrame || !FHandle || FStatus == sfsNew) return false;
    std::shared_ptr<TAccessibleSource> source;
    switch (AccessibleObjectId(Message.LParam)) {
    case OBJID_TITLEBAR:
        if (FTitleHeight <= 0) return false;
        source = std::make_shared<TTitleBarSource>(FHandle);
        break;
    case OBJID_MENU:
        if (!FMenuBar || FMenuHeight <= 0) return false;
        source = std::make_shared<TMenuRowSource>(FHandle);
        break;
    default: return false;
    }
    Message.Result = AccessibleResult(MakeAccessibleObject(std::move(source), OBJID_TITLEBAR, false), Message.WParam);
    return true;
}

}  // namespace quorin

namespace quorin {

void TWinSkinPopMenu::TellShowing(const TMessage& Message) {
    bool shown = FToldShown;
    if (Message.Msg == WM_WINDOWPOSCHANGED) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
        if (pos && (pos->flags & SWP_SHOWWINDOW)) shown = true;
        if (pos && (pos->flags & SWP_HIDEWINDOW)) shown = false;
    } else if (Message.Msg == WM_SHOWWINDOW) {
        shown = Message.WParam != 0;
    } else if (Message.Msg == WM_DESTROY) {
        shown = false;
    }
    if (shown == FToldShown || !FMenuWindow) return;
    FToldShown = shown;
    NotifyWinEvent(shown ? EVENT_SYSTEM_MENUPOPUPSTART : EVENT_SYSTEM_MENUPOPUPEND, FMenuWindow, OBJID_CLIENT,
                   CHILDID_SELF);
}

void TellMenuItemFocus(const DRAWITEMSTRUCT& Item) {
    if (Item.CtlType != ODT_MENU || !(Item.itemAction & ODA_SELECT) || !(Item.itemState & ODS_SELECTED)) return;
    const auto menu = reinterpret_cast<HMENU>(Item.hwndItem);
    // The shown drop-down of this thread that holds the menu.
    struct TFind {
        HMENU Menu;
        HWND Window = nullptr;
    } find{menu};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<TFind*>(p);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (wcscmp(cls, L"#32768") == 0 && IsWindowVisible(w) &&
                reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0)) == f->Menu) {
                f->Window = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    if (!find.Window) return;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        const HMENU sub = GetSubMenu(menu, i);
        const bool same = sub ? reinterpret_cast<UINT_PTR>(sub) == Item.itemID || UINT(reinterpret_cast<UINT_PTR>(sub)) == Item.itemID
                              : GetMenuItemID(menu, i) == Item.itemID;
        if (same) {
            NotifyWinEvent(EVENT_OBJECT_FOCUS, find.Window, OBJID_CLIENT, LONG(i + 1));
            return;
        }
    }
}

}  // namespace quorin
