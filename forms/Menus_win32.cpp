// Menus over native menus.
#include "forms/Menus.h"

#include "forms/Forms.h"
#include "forms/ImgList.h"
#include "forms/WinText.h"

#include <algorithm>
#include <unordered_map>

namespace quorin {

namespace {

std::unordered_map<UINT, TMenuItem*>& CommandTable() {
    static std::unordered_map<UINT, TMenuItem*> table;
    return table;
}

// Command identifiers of menu items, unique in the process. They stay below 0xF000,
// where the system's own commands begin; after wrapping, numbers still in use are skipped.
UINT NextCommand() {
    static UINT next = 0;
    const auto& table = CommandTable();
    for (int tries = 0; tries < 0xEFFF; ++tries) {
        next = next % 0xEFFF + 1;
        if (!table.count(next)) break;
    }
    return next;
}

int TrackingDepth = 0;

std::vector<HMENU>& RetiredMenus() {
    static std::vector<HMENU> menus;
    return menus;
}

}  // namespace

TMenuItem* FindMenuItemByCommand(UINT Command) {
    const auto& table = CommandTable();
    auto it = table.find(Command);
    return it == table.end() ? nullptr : it->second;
}

TMenuTracking::TMenuTracking() { Enter(); }
TMenuTracking::~TMenuTracking() { Exit(); }
bool TMenuTracking::Active() { return TrackingDepth > 0; }
void TMenuTracking::Enter() { ++TrackingDepth; }

void TMenuTracking::Exit() {
    if (TrackingDepth > 0) --TrackingDepth;
    if (TrackingDepth) return;
    std::vector<HMENU> menus;
    menus.swap(RetiredMenus());
    for (HMENU m : menus) DestroyMenu(m);
}

void TMenuTracking::Retire(HMENU Menu) {
    if (!Menu) return;
    if (TrackingDepth)
        RetiredMenus().push_back(Menu);
    else
        DestroyMenu(Menu);
}

TShortCut ShortCutOfKey(UINT Key) {
    TShortCut shortCut = TShortCut(Key & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0) shortCut |= scShift;
    if (GetKeyState(VK_CONTROL) < 0) shortCut |= scCtrl;
    if (GetKeyState(VK_MENU) < 0) shortCut |= scAlt;
    return shortCut;
}

std::string ShortCutToText(TShortCut ShortCut) {
    const UINT key = ShortCut & 0xFF;
    if (!key) return std::string();
    std::string name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        name = std::string(1, char(key));
    else if (key >= VK_F1 && key <= VK_F24)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else {
        switch (key) {
        case VK_BACK: name = "BkSp"; break;
        case VK_TAB: name = "Tab"; break;
        case VK_RETURN: name = "Enter"; break;
        case VK_ESCAPE: name = "Esc"; break;
        case VK_SPACE: name = "Space"; break;
        case VK_PRIOR: name = "PgUp"; break;
        case VK_NEXT: name = "PgDn"; break;
        case VK_END: name = "End"; break;
        case VK_HOME: name = "Home"; break;
        case VK_LEFT: name = "Left"; break;
        case VK_UP: name = "Up"; break;
        case VK_RIGHT: name = "Right"; break;
        case VK_DOWN: name = "Down"; break;
        case VK_INSERT: name = "Ins"; break;
        case VK_DELETE: name = "Del"; break;
        default: {
            wchar_t buf[32] = {};
            const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
            if (GetKeyNameTextW(LONG(scan << 16), buf, 32) > 0)
                name = ToUtf8(buf);
            else
                name = "#" + std::to_string(key);
        }
        }
    }
    std::string out;
    if (ShortCut & scShift) out += "Shift+";
    if (ShortCut & scCtrl) out += "Ctrl+";
    if (ShortCut & scAlt) out += "Alt+";
    return out + name;
}

// ======================= TMenuItem =======================

QUORIN_DEFINE_CLASS(TMenuItem, TComponent) {
    p.Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
    p.Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
    p.Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
    p.Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
    p.Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
    p.Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
    p.Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex, 0, 255);
    p.Int(
        "ShortCut", [](const TMenuItem& m) { return int32_t(m.ShortCut()); },
        [](TMenuItem& m, int32_t v) { m.SetShortCut(TShortCut(v)); }, 0, 0xFFFF);
    p.Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex, -1, INT32_MAX);
    p.Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
    p.Event("OnClick", &TMenuItem::OnClick);
    p.Event("OnDrawItem", &TMenuItem::OnDrawItem);
    p.Event("OnMeasureItem", &TMenuItem::OnMeasureItem);
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand()) {
    CommandTable()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
    SetComponentState(csDestroying, true);
    if (auto it = CommandTable().find(FCommand); it != CommandTable().end() && it->second == this)
        CommandTable().erase(it);
    while (!FItems.empty()) delete FItems.back();
    if (FParent) FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    if (Value && FRadioItem && FParent) {
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
                sibling->FChecked = false;
    }
    MenuChanged(true);
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    MenuChanged(true);
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault) return;
    FDefault = Value;
    MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem) return;
    FRadioItem = Value;
    MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    FShortCut = Value;
    MenuChanged(true);
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    MenuChanged(true);
}

int TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw EComponentError("Menu item " + Item->Name() + " is already in a menu");
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw EComponentError("A menu item cannot hold itself");
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FParent = nullptr;
    if (!(ComponentState() & csDestroying)) MenuChanged(true);
}

void TMenuItem::Delete(int Index) { delete Items(Index); }

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

TMenuItem* TMenuItem::FindByCommand(UINT Command) {
    if (FCommand == Command && FParent) return this;
    for (TMenuItem* c : FItems)
        if (TMenuItem* found = c->FindByCommand(Command)) return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindByHandle(HMENU Handle) {
    if (FHandle && FHandle == Handle) return this;
    for (TMenuItem* c : FItems)
        if (TMenuItem* found = c->FindByHandle(Handle)) return found;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->FParent) item = item->FParent;
    return item->FMenu;
}

void TMenuItem::SetParentComponent(TComponent* AParent) {
    if (auto* menu = dynamic_cast<TMenu*>(AParent))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(AParent))
        item->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

HMENU TMenuItem::Handle() {
    if (!FHandle && !FItems.empty()) {
        if (TMenu* menu = GetParentMenu()) menu->Handle();
    }
    return FHandle;
}

void TMenuItem::MenuChanged(bool) {
    TMenu* menu = GetParentMenu();
    if (!menu || (menu->ComponentState() & (csLoading | csDestroying)) || (ComponentState() & csLoading)) return;
    menu->MenuChanged();
}

void TMenuItem::Loaded() { TComponent::Loaded(); }

void TMenuItem::AppendTo(HMENU Menu, bool OwnerDraw) {
    FHandle = nullptr;
    if (!FVisible) return;
    const TMenu* menu = GetParentMenu();
    const bool ownerDraw = OwnerDraw || (menu && menu->IsOwnerDraw(this));
    std::wstring text = ToWide(FCaption);
    if (FShortCut) text += L"\t" + ToWide(ShortCutToText(FShortCut));
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    mii.wID = FCommand;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    mii.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (FRadioItem) mii.fType |= MFT_RADIOCHECK;
    if (ownerDraw) mii.fType |= MFT_OWNERDRAW;
    mii.fState = (FEnabled ? 0 : MFS_GRAYED) | (FChecked ? MFS_CHECKED : 0) | (FDefault ? MFS_DEFAULT : 0);
    mii.dwTypeData = text.data();
    mii.cch = UINT(text.size());
    if (!FItems.empty()) {
        FHandle = CreatePopupMenu();
        for (TMenuItem* c : FItems) c->AppendTo(FHandle, OwnerDraw);
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = FHandle;
    }
    InsertMenuItemW(Menu, UINT(GetMenuItemCount(Menu)), TRUE, &mii);
}

void TMenuItem::DestroyHandle() {
    FHandle = nullptr;
    for (TMenuItem* c : FItems) c->DestroyHandle();
}

void TMenuItem::Click() {
    if (FEnabled && OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas& ACanvas, int& Width, int& Height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, ACanvas, Width, Height);
        return;
    }
    if (IsLine()) {
        Width = 10;
        Height = 8;
        return;
    }
    std::string text = FCaption;
    if (FShortCut) text += "    " + ShortCutToText(FShortCut);
    const SIZE size = ACanvas.TextExtent(text);
    Width = size.cx + 32;
    Height = std::max<int>(size.cy + 4, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::DrawItem(TCanvas& ACanvas, RECT ARect, bool Selected) {
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, Selected);
        return;
    }
    ACanvas.SetBrushColor(Selected ? clHighlight : clMenu);
    ACanvas.FillRect(ARect);
    if (IsLine()) {
        const int y = (ARect.top + ARect.bottom) / 2;
        ACanvas.SetPenColor(clBtnShadow);
        ACanvas.MoveTo(ARect.left + 2, y);
        ACanvas.LineTo(ARect.right - 2, y);
        return;
    }
    ACanvas.Font().SetColor(!FEnabled ? clGrayText : Selected ? clHighlightText : clMenuText);
    ACanvas.SetBrushStyle(TBrushStyle::bsClear);
    RECT r = ARect;
    r.left += 16;
    if (FChecked) {
        RECT mark = ARect;
        mark.right = mark.left + 16;
        ACanvas.DrawText(FRadioItem ? "\xE2\x80\xA2" : "\xE2\x9C\x93", mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    ACanvas.DrawText(FCaption, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
    if (FShortCut) {
        r.right -= 10;
        ACanvas.DrawText(ShortCutToText(FShortCut), r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
    ACanvas.SetBrushStyle(TBrushStyle::bsSolid);
}

// ======================= TMenu =======================

QUORIN_DEFINE_CLASS(TMenu, TComponent) {
    p.Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
    p.Ref<TImageList>("Images", &TMenu::Images, &TMenu::SetImages);
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this)) { FItems->FMenu = this; }

TMenu::~TMenu() {
    SetComponentState(csDestroying, true);
    TMenuTracking::Retire(FHandle);
    FHandle = nullptr;
}

void TMenu::SetOwnerDraw(bool Value) {
    if (Value == FOwnerDraw) return;
    FOwnerDraw = Value;
    MenuChanged();
}

void TMenu::SetImages(TImageList* Value) {
    FImages = Value;
    if (Value) Value->FreeNotification(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FImages) FImages = nullptr;
}

HMENU TMenu::Handle() {
    if (!FHandle) RebuildHandle();
    return FHandle;
}

void TMenu::RebuildHandle() {
    FHandle = CreateMenuHandle();
    for (TMenuItem* item : FItems->FItems) item->AppendTo(FHandle, FOwnerDraw);
}

void TMenu::MenuChanged() {
    if (ComponentState() & (csLoading | csDestroying)) return;
    if (!FHandle) return;  // built when first asked for
    HMENU old = FHandle;
    FItems->DestroyHandle();
    RebuildHandle();
    if (auto* main = dynamic_cast<TMainMenu*>(this)) {
        if (TCustomForm* form = main->Form(); form && form->Menu() == main && form->HandleAllocated())
            form->Perform(CM_MENUCHANGED);
    }
    // The old menu may be on screen (an item changed from a click handler while it is
    // open): it goes when no menu is tracked any more.
    TMenuTracking::Retire(old);
}

bool TMenu::IsOwnerDraw(const TMenuItem* Item) const { return FOwnerDraw || (Item && Item->OnDrawItem); }

TMenuItem* TMenu::FindItem(UINT Command) const { return FItems->FindByCommand(Command); }

TMenuItem* TMenu::FindItemByHandle(HMENU Handle) const { return FItems->FindByHandle(Handle); }

namespace {

TMenuItem* FindShortCutBelow(const TMenuItem* Parent, TShortCut ShortCut) {
    for (int i = 0; i < Parent->Count(); ++i) {
        TMenuItem* item = Parent->Items(i);
        if (!item->Visible() || !item->Enabled() || item->IsLine()) continue;
        if (item->Count() == 0) {
            if (item->ShortCut() == ShortCut) return item;
        } else if (TMenuItem* found = FindShortCutBelow(item, ShortCut)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindShortCut(TShortCut ShortCut) const {
    if ((ShortCut & 0xFF) == 0) return nullptr;
    return FindShortCutBelow(FItems, ShortCut);
}

bool TMenu::DispatchCommand(UINT Command) {
    TMenuItem* item = FindItem(Command);
    if (!item) return false;
    item->Click();
    return true;
}

void TMenu::Loaded() {
    TComponent::Loaded();
    MenuChanged();
}

// ======================= TMainMenu / TPopupMenu =======================

QUORIN_DEFINE_CLASS(TMainMenu, TMenu) { p.Bool("AutoMerge", &TMainMenu::AutoMerge, &TMainMenu::SetAutoMerge); }

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }

TCustomForm* TMainMenu::Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

void TMainMenu::MenuChanged() { TMenu::MenuChanged(); }

QUORIN_DEFINE_CLASS(TPopupMenu, TMenu) {
    p.Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
    p.Enum<TPopupAlignment>("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment,
                            {"paLeft", "paRight", "paCenter"});
    p.Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TPopupMenu::Popup(int X, int Y) {
    if (OnPopup) OnPopup(this);
    HWND owner = nullptr;
    if (auto* c = dynamic_cast<TControl*>(FPopupComponent)) {
        if (TCustomForm* f = c->GetParentForm(); f && f->HandleAllocated()) owner = f->Handle();
    }
    if (!owner) {
        if (auto* f = dynamic_cast<TCustomForm*>(Owner()); f && f->HandleAllocated()) owner = f->Handle();
    }
    if (!owner) owner = GetActiveWindow();
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    flags |= FAlignment == TPopupAlignment::paRight    ? TPM_RIGHTALIGN
             : FAlignment == TPopupAlignment::paCenter ? TPM_CENTERALIGN
                                                       : TPM_LEFTALIGN;
    UINT command = 0;
    {
        TMenuTracking tracking;
        command = UINT(TrackPopupMenuEx(Handle(), flags, X, Y, owner, nullptr));
    }
    if (command) DispatchCommand(command);
}

}  // namespace quorin
