// TWinSkinPopMenu: the window of a pop-up menu (class "#32768"), subclassed while it is
// shown so that its border and background come from the skin.
#pragma once

#include <windows.h>

#include "forms/Classes.h"
#include "forms/Controls.h"
#include "skin/apply/Winhook.h"
#include "skin/resources/Bitmap.h"

namespace quorin {

class TSkinData;

// Pop-up kinds the manager is told about before a menu opens.
constexpr int pkContextMenu = 0;
constexpr int pkMenu = 1;
constexpr int pkSystemMenu = 2;

class TWinSkinPopMenu : public TObject {
public:
    TWinSkinPopMenu() = default;
    ~TWinSkinPopMenu() override;

    void InitSkin(HWND Window, TSkinData* SkinData, int Kind);
    void UnSubClass();
    void WinWndProc(TMessage& Message);
    void Default(TMessage& Message);
    void NcPaint(HDC DC, HRGN Update);
    void WMPrint(TMessage& Message);
    void WMPrintClient(TMessage& Message);
    void WMERASEBKGND(TMessage& Message);
    void UpdateMenu();
    bool MakeBackground();
    // WM_GETOBJECT for the window's client area: its items, as a screen reader wants them
    // (Winskinaccess.cpp). True when answered.
    bool AnswerObject(TMessage& Message);
    // Tells screen readers that the drop-down opened or closed, as the system's menus do.
    void TellShowing(const TMessage& Message);
    bool FToldShown = false;

    TWindowHook FHook;
    HWND FMenuWindow = nullptr;
    TSkinData* FSkinData = nullptr;
    int FLastSelection = -1;
    TBitmap FBackground;  // the window's background picture, for item drawing
    int FKind = 0;
    HMENU FMenu = nullptr;       // the menu shown (SetHMenu)
    bool FDrawnByItems = false;  // its items are drawn by the item painter (SetPopMenu)
    bool FFromMenuBar = false;   // opened from a skinned menu bar
};

// A drop-down's item drawn selected (WM_DRAWITEM of an owner-drawn menu item): screen
// readers are told it has the focus, as the system tells of its own menus' items.
void TellMenuItemFocus(const DRAWITEMSTRUCT& Item);

}  // namespace quorin
