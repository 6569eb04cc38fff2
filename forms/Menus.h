// Menus: the main menu of a form, pop-up menus and their items over native menus.
// Windows only.
//
// The native menu is built from the items: hidden items are left out, an item whose
// caption is "-" is a separator, an item with items is a drop-down. Any change rebuilds
// the native menu and tells the form (CM_MENUCHANGED). A menu with OwnerDraw (or an item
// with OnDrawItem) makes its items owner-drawn: the form then asks the item to measure
// and draw itself (OnMeasureItem, OnDrawItem), which is where a skin draws menus.
#pragma once

#include "forms/Classes.h"
#include "forms/Graphics.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quorin {

class TMenu;
class TImageList;
class TCustomForm;

using TShortCut = uint16_t;  // virtual key in the low byte; scShift, scCtrl, scAlt above
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// "Ctrl+S", "Shift+Del", "F1", ...
std::string ShortCutToText(TShortCut ShortCut);
// The short cut of a key as the keyboard now holds it: the virtual key with Shift, Ctrl
// and Alt as they are pressed.
TShortCut ShortCutOfKey(UINT Key);

class TMenuItem;
// The item with that command identifier in any menu of the process, or nullptr. Command
// identifiers are unique in the process, so a window can measure, draw and run the items
// of a menu it does not own (a menu built by a helper object and shown for the window).
TMenuItem* FindMenuItemByCommand(UINT Command);

// Brackets the tracking of a native menu (a pop-up call, a menu bar's modal loop). While
// any menu is tracked, a rebuilt menu keeps its old native handle alive, because the
// platform may still be showing it; the old handles are destroyed when tracking ends.
class TMenuTracking {
public:
    TMenuTracking();
    ~TMenuTracking();
    TMenuTracking(const TMenuTracking&) = delete;
    TMenuTracking& operator=(const TMenuTracking&) = delete;
    static bool Active();
    // Destroys the menu now, or when tracking ends.
    static void Retire(HMENU Menu);
    // For windows that see a menu loop begin and end (WM_ENTERMENULOOP, WM_EXITMENULOOP).
    static void Enter();
    static void Exit();
};

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, RECT ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height)>;

class TMenuItem : public TComponent {
    QUORIN_CLASS(TMenuItem, TComponent)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool IsLine() const { return FCaption == "-"; }

    // ---- the tree ----
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(size_t(Index)); }
    TMenuItem* operator[](int Index) const { return Items(Index); }
    TMenuItem* Parent() const { return FParent; }
    int MenuIndex() const;
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    // The item (this or below) with that command identifier, or nullptr.
    TMenuItem* FindByCommand(UINT Command);
    TMenuItem* FindByHandle(HMENU Handle);
    TMenu* GetParentMenu() const;
    void SetParentComponent(TComponent* AParent) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    // The command identifier of the native item (unique in the process).
    UINT Command() const { return FCommand; }
    // The native drop-down of an item with items (nullptr otherwise), built on demand.
    HMENU Handle();

    // ---- owner drawing ----
    // Draws or measures the item: OnDrawItem / OnMeasureItem when assigned, else the
    // framework's plain drawing (text, check mark, shortcut, separator line).
    void DrawItem(TCanvas& ACanvas, RECT ARect, bool Selected);
    void MeasureItem(TCanvas& ACanvas, int& Width, int& Height);
    virtual void Click();
    // Lets the item update itself before its menu opens (OnClick of a top-level item
    // without a drop-down still needs the command).
    void InitiateAction() {}

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

protected:
    friend class TMenu;
    void MenuChanged(bool Rebuild);
    void AppendTo(HMENU Menu, bool OwnerDraw);
    void DestroyHandle();
    void Loaded() override;

    std::string FCaption;
    bool FChecked = false, FEnabled = true, FVisible = true, FDefault = false, FRadioItem = false;
    int FGroupIndex = 0;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    std::string FHint;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item of a menu
    UINT FCommand = 0;
    HMENU FHandle = nullptr;
};

class TMenu : public TComponent {
    QUORIN_CLASS(TMenu, TComponent)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The invisible root whose items are the menu's top-level items.
    TMenuItem* Items() const { return FItems; }
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    // The native menu, built on demand.
    HMENU Handle();
    // The item with that command identifier (or drop-down handle), or nullptr.
    TMenuItem* FindItem(UINT Command) const;
    // The item that answers this short cut: a command (no items of its own) that is
    // visible and enabled, in menus that are all visible and enabled; nullptr if none.
    TMenuItem* FindShortCut(TShortCut ShortCut) const;
    TMenuItem* FindItemByHandle(HMENU Handle) const;
    // Runs the Click of the item with that command; false when there is none.
    bool DispatchCommand(UINT Command);
    // Rebuilds the native menu and tells the owner form.
    virtual void MenuChanged();
    bool IsOwnerDraw(const TMenuItem* Item) const;

protected:
    friend class TMenuItem;
    virtual HMENU CreateMenuHandle() = 0;
    void RebuildHandle();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    TMenuItem* FItems;
    bool FOwnerDraw = false;
    TImageList* FImages = nullptr;
    HMENU FHandle = nullptr;
};

// A form's menu bar.
class TMainMenu : public TMenu {
    QUORIN_CLASS(TMainMenu, TMenu)
public:
    explicit TMainMenu(TComponent* AOwner);
    bool AutoMerge() const { return FAutoMerge; }
    void SetAutoMerge(bool Value) { FAutoMerge = Value; }
    void MenuChanged() override;
    // The form whose menu this is (the owner, when it is a form).
    TCustomForm* Form() const;

protected:
    HMENU CreateMenuHandle() override;
    bool FAutoMerge = false;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
    QUORIN_CLASS(TPopupMenu, TMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    TPopupAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
    // The component the menu was last shown for.
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value) { FPopupComponent = Value; }
    // Shows the menu at a screen point and runs the chosen item's Click.
    virtual void Popup(int X, int Y);

    TNotifyEvent OnPopup;

protected:
    HMENU CreateMenuHandle() override;
    bool FAutoPopup = true;
    TPopupAlignment FAlignment = TPopupAlignment::paLeft;
    TComponent* FPopupComponent = nullptr;
};

}  // namespace quorin
