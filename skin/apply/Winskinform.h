// TWinSkinForm: the skin applier of one top-level window. It replaces the window
// procedure, takes over the whole non-client area (frame borders, title strip, caption
// buttons, the menu-bar row), draws it from the skin's frame elements, answers hit tests,
// shapes the window with a region traced from transparent frame images, and owns the
// painters of the window's controls.
//
// This header is the single place that names the unit's classes; the unit's files:
//   Winskinform.cpp          attaching, finishing, unskinning, the window-procedure tables,
//                            the form hook, the MDI client hook
//   Winskinform_frame.cpp    frame sizes, non-client size, hit test, frame painting,
//                            the caption text, the window region
//   Winskinform_caption.cpp  caption buttons, non-client mouse, window-state commands,
//                            the system menu, native caption suppression
//   Winskinform_menubar.cpp  the menu bar in the frame, opening drop-downs, accelerators,
//                            owner-drawn menu items
//   Winskinaccess.cpp        what screen readers are told of the drawn title bar and menu
//                            row (the framework's accessible objects, forms/Accessible.h)
//   Winsubclass_walk.cpp     the control walk (which painter for which control)
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/Classes.h"
#include "forms/Controls.h"
#include "forms/ExtCtrls.h"
#include "forms/Graphics.h"
#include "skin/apply/Winhook.h"
#include "skin/apply/Winsubclass.h"
#include "skin/resources/Bitmap.h"
#include "skin/resources/SkinElements.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

class TSkinData;
class TCustomForm;
class TMainMenu;
class TMenu;
class TMenuItem;
class TPopupMenu;
class TWinSkinForm;
class TWinSkinMenu;

// States of a clickable non-client object.
constexpr int ncNormal = 1;
constexpr int ncPressed = 2;
constexpr int ncHot = 3;

// A clickable object of the non-client area: a caption button or a menu-bar item.
class TNCObject {
public:
    explicit TNCObject(TWinSkinForm* AForm) : Form(AForm) {}
    virtual ~TNCObject() = default;
    TNCObject(const TNCObject&) = delete;
    TNCObject& operator=(const TNCObject&) = delete;

    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Draw() {}

    TWinSkinForm* Form;
    RECT Rect{};          // window coordinates
    bool Enabled = true;  // shown and clickable
    int State = ncNormal;
};

// A caption button, bound to one system-button element of the skin.
class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TWinSkinForm* AForm, TDataSkinSysButton* AElement) : TNCObject(AForm), Element(AElement) {}
    void Draw() override;
    TDataSkinSysButton* Element;
};

// An item of the skinned menu bar.
class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TWinSkinForm* AForm, TSkinData* ASkinData) : TNCObject(AForm), SkinData(ASkinData) {}
    void Draw() override;
    TSkinData* SkinData;
    int Index = 0;
    std::u16string Caption;   // at most 80 characters of the native item
    bool ItemEnabled = true;  // the native item is not disabled or greyed
    bool Visible = true;
    UINT Command = 0;
    HMENU SubMenu = nullptr;
    TMenuItem* Item = nullptr;  // the framework item of the same command
};

// The menu bar drawn in the frame's menu row.
class TWinSkinMenu : public TComponent {
    QUORIN_CLASS(TWinSkinMenu, TComponent)
public:
    TWinSkinMenu(TComponent* AOwner, TSkinData* SkinData, TWinSkinForm* SkinForm);
    ~TWinSkinMenu() override;

    void UpdataBtn();
    void UpdataBtn1();
    void UpdataBtn2(HMENU Menu);
    void SetMenuRect();
    void DrawMenu(HDC DC, const RECT& Rect);
    TMenuBtn* FindBtn(POINT Point) const;
    void MouseMove(POINT Point);
    void FreeButtons();
    bool RightToLeft() const;

    std::vector<std::unique_ptr<TMenuBtn>> FButtons;
    TMainMenu* FMenu = nullptr;
    RECT FBarRect{};
    TSkinData* FSkinData;
    TWinSkinForm* FSkinForm;
    TBitmap FBarBitmap;
    int FItemCount = 0;
    bool FPainting = false;
    HMENU FMenuHandle = nullptr;
};

// Status values of a skin applier.
constexpr uint8_t sfsNew = 0, sfsSkinned = 1, sfsChanging = 3, sfsDestroying = 4, sfsResizing = 5, sfsDestroyed = 6;
// Border kinds.
constexpr uint8_t bkSizeable = 0, bkFixed = 1, bkNoCaption = 2, bkDialog = 3;
// Window states.
constexpr uint8_t wsfNormal = 0, wsfMaximized = 1, wsfMinimized = 2;
// Form styles.
constexpr uint8_t fsfOrdinary = 0, fsfMDIFrame = 1, fsfMDIChild = 2;
// Bits of FBorderIcons.
constexpr uint8_t biMaxBox = 1, biMinBox = 2, biSysMenu = 8, biCaptionStyle = 16;

class TWinSkinForm : public TComponent {
    QUORIN_CLASS(TWinSkinForm, TComponent)
public:
    explicit TWinSkinForm(TComponent* AOwner);
    ~TWinSkinForm() override;

    // ---- attaching and removing (Winskinform.cpp) ----
    void InitTform(TSkinData* SkinData, TCustomForm* Form);
    void InitDlg(TSkinData* SkinData);
    void InitSkin(TSkinData* SkinData);
    void WinWndProc(TMessage& Message);
    void Default(TMessage& Message);
    void NewWndProc(TMessage& Message);
    void SkinActive();  // finishing, on CN_SkinActive
    void SkinChange();
    void UnSubclass();
    void UnSubclass2();
    void UnSubclass3();
    void AfterSkin();
    void StopUpdate();
    void BeginUpdate();
    void GetWindowstate();
    void GetFormstyle();
    void OnTimer(TObject* Sender);
    void SubclassMDI();
    void UnSubclassMDI();
    void DefaultMDI(TMessage& Message);
    void WinMDIProc(TMessage& Message);
    void doLog(const std::string&) {}
    void SkinAddLog(const std::string&) {}
    // The window this applier skins; must be set before InitTform / InitDlg.
    void SetHandle(HWND Window) { FHandle = Window; }
    HWND Handle() const { return FHandle; }
    TCustomForm* Form() const { return FForm; }
    // The skin the manager applied (the painters draw from its companion at the window's
    // DPI, FSkinData).
    TSkinData* SkinData() const { return FSkinData ? FSkinData->DpiSource() : nullptr; }
    // The window's DPI: its form's, or the system's answer for a window of another kind.
    int WindowDpi() const;
    // Takes the skin at the window's DPI, hands it to the painters and the menu bar, and
    // makes the caption font at that DPI. True when the painters' skin changed.
    bool UseSkinForDpi();
    // The window moved to a DPI: the skin at the new scale, frame and painters redrawn.
    void DpiChanged();
    // Painters invalidate without painting at once while a DPI change re-skins them (the
    // window is painted whole once at the end: each at once cost a paint per control), and
    // until the window has had its first paint, which paints every control anyway: a
    // control that changes while the window is being made and shown is painted once.
    bool PaintDeferred() const { return FDeferPaint || !FPainted; }
    // A paint of the window or of one of its controls has begun: the first is under way.
    void NotePainted() { FPainted = true; }
    bool Hooked() const { return FHook.Hooked(); }

    // ---- the frame (Winskinform_frame.cpp) ----
    void InitSkinData();
    void UpdateNc(HDC DC);
    void DrawFLine(HDC DC);
    void Drawborder(int Index, const RECT& Rect, HDC DC);
    void DrawCaptionText(TBitmap& Strip, const RECT& TitleRect);
    void DrawIcon(HDC DC, const RECT& Rect);
    void GetIcon(TBitmap& Bitmap);
    void WMNCCalcSize(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMNCActive(TMessage& Message);
    void WMActive(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMWINDOWPOSCHANGED(TMessage& Message);
    void WMWindowPosChanging(TMessage& Message);
    void WMERASEBKGND(TMessage& Message);
    void WMCtlcolor(TMessage& Message);
    void WMReCreateWnd(TMessage& Message);
    POINT GetWinXY(int X, int Y) const;
    void Cropwindow();
    void Uncropwindow();
    void getClipMap(TBitmap& Bitmap);
    void GetBorderSize();
    void ResizeForm(bool KeepClientRect);
    void Refresh();
    void RePaint(HDC DC);
    // Where the caption text sits in the title strip (TextLeft, TextRight anchors).
    int TextLeft() const { return FTextLeft; }
    int TextRight() const { return FTextRight; }
    // The frame border element of Drawborder's index (1 left, 2 right, 3 top, 4 bottom),
    // null when the skin has none.
    TDataSkinBorder* BorderElement(int Index) const;
    // The border of that index cut to a size, in its active or inactive frame.
    TBitmap BorderPicture(int Index, int Width, int Height, bool Active) const;
    // The window region Cropwindow would set for a window of that size (the caller owns it).
    HRGN BuildRegion(int Width, int Height);
    void WMSetText(TMessage& Message);
    void MenuChanged(TMessage& Message, const TWndMethod& Previous);

    // ---- caption buttons and system menu (Winskinform_caption.cpp) ----
    TWinSysButton* FindBtn(POINT Point) const;
    void SetSysbtnRect();
    bool Checkvisible(int Index);
    void DrawAllSysbtn(TBitmap& Canvas, const RECT& Rect);
    void DrawSysbtn(TWinSysButton* Button, int Frame);
    void DeleteSysbtn();
    void WMNCMouseMove(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void WMNCLButtonUp(TMessage& Message);
    void WMNCLBUTTONDBLCLK(TMessage& Message);
    void WMNCRButtonUp(TMessage& Message);
    void WMSysCommand(TMessage& Message);
    void WMGetMinMaxInfo(TMessage& Message);
    void SysBtnAction(int X, int Y);
    void Maximize();
    void Minimize();
    void Restore();
    void RestoreMDI();
    void MDIChildAction(UINT Command);
    bool MDIChildMax() const;
    void PopSysmenu(POINT Point);
    void CreateSysmenu();
    void CreateSysmenu2();
    void AddSysMenuitem(const std::string& Caption, int Index);
    bool CheckSysmenu() const;
    void DoSysMenu(TObject* Sender);
    void DoSysMenu2(TObject* Sender);
    void EnableSysbtn(bool Enable);
    void UpdateStyle(bool Hide);
    // The native system menu has that command.
    bool HasSysCommand(UINT Command) const;
    // The caption button that carries out a window command (SC_CLOSE, SC_MINIMIZE,
    // SC_MAXIMIZE), shown or not; null when the skin has none.
    TWinSysButton* CaptionButton(UINT Command) const;

    // ---- accessible objects of the frame (Winskinform_access.cpp) ----
    // WM_GETOBJECT for the drawn title bar (OBJID_TITLEBAR) and menu row (OBJID_MENU):
    // true (and the result set) when answered.
    bool AnswerFrameObject(TMessage& Message);

    // ---- the menu bar and menu items (Winskinform_menubar.cpp) ----
    bool CheckMenu(TMenuBtn* Button);
    void ClickButton(TMenuBtn* Button);
    void CancelMenu();
    TMenuBtn* FindButtonFromAccel(WPARAM Key) const;
    void CMDialogChar(TMessage& Message);
    void MenuSelect(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMINITMENU(HMENU Menu);
    void InitMainMenu(TComponent* Container, bool Enable, bool Recurse);
    void InitPopMenu(TComponent* Container, bool Enable, bool Recurse);
    void InitToolbarMenu(TMenuItem* Item, bool Enable);
    void DrawMenuItem(TObject* Sender, TCanvas& Canvas, RECT Rect, bool Selected);
    void MeasureItemPop(TObject* Sender, TCanvas& Canvas, int& Width, int& Height);
    void MeasureItem(TObject* Sender, TCanvas& Canvas, int& Width, int& Height);
    void DrawItemText(TMenuItem* Item, TCanvas& Canvas, RECT Rect, bool Selected);
    void DrawMenuCaption(TCanvas& Canvas, RECT Rect);
    void DefaultMenuItem(TObject* Sender, TCanvas& Canvas, RECT Rect, bool Selected);
    void WMDRAWITEM(TMessage& Message);
    void WMMEASUREITEM(TMessage& Message);
    void ToolBarDrawButton(TObject* Sender, TObject* Button, int State, bool& DefaultDraw);
    void ToolBarDrawBackground(TObject* Sender, const RECT& Rect, bool& DefaultDraw);
    // Opens a menu-bar button from the keyboard: Key 0 the first one, else the one with
    // that accelerator. False when none opened.
    bool KeyMenu(WPARAM Key);
    TMenuItem* CreateMenuItem(HMENU Menu, UINT Identifier);
    void DrawHMenuItem2(TMenuItem* Item, HDC DC, RECT Rect, bool Selected);
    void WMMEASUREITEMH(TMessage& Message, HDC DC, HFONT Font);
    bool RightToLeft() const;

    // ---- the control walk (Winsubclass_walk.cpp) ----
    void InitControls(TComponent* Form);
    void InitControlA(TComponent* Container);
    void InitChildCtrl(TWinControl* Container);
    // Controls whose windows were made after the window was skinned (a page's, when it is
    // first shown or a moment after the first paint): painters for the whole tree.
    void InitMadeLater(TWinControl* Root);
    void AddComp(TControl* Control, TComponent* Parent);
    bool FindSkinComp(TControl* Control) const;
    bool FindSkinComp2(TControl* Control) const { return true; }
    void DisableControl(TControl* Control);
    bool Find3rdControl(const std::string& ClassName, TControl* Control);
    void DoSkinEdit(TControl* Control);
    void InitNestform(TWinControl* Container);
    void InitHwndControls(HWND Handle);
    void AddControlh(HWND Handle);
    TSkinControl* Lookupcontrol(HWND Handle) const;
    static BOOL CALLBACK EnumControl(HWND Handle, LPARAM SkinForm);
    bool AddControlList(TSkinControl* Painter);
    void DeleteControl(TSkinControl* Painter);
    void DeleteSkinDeleted();
    void DeleteControls();
    bool IsScrollControl(TComponent* Component) const;
    const std::vector<TSkinControl*>& ControlList() const { return FControlList; }
    // The walk's own helpers: attach a painter of the named class to a framework control
    // (by Init, by InitScrollbar, by InitGraphicControl) or to a raw window (by Inithwnd);
    // null when nothing was attached.
    TSkinControl* AttachPainter(std::string_view Class, TControl* Control, bool ParentBK, int32_t Kind = 0,
                                const std::function<void(TSkinControl*)>& Prepare = nullptr);
    TSkinControl* AttachScrollbar(std::string_view Class, TControl* Control, int32_t Kind = 0);
    TSkinControl* AttachGraphic(TControl* Control, const char* GlyphProperty = nullptr);
    TSkinControl* AttachHwnd(std::string_view Class, HWND Handle, TComponent* Owner = nullptr);
    bool SkinHas(TSkinControlType Kind) const;
    bool TabGate() const;  // xcTab on and the skin has a Tabs element
    void SetToolBarHandlers(TControl* ToolBar);
    void SkinToolbarMenus(TControl* ToolBar);

    // ---- state (public to the manager, the painters and tests) ----
    HWND FHandle = nullptr;
    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    TWindowHook FHook;            // the window's replaced procedure
    TWndMethod FOldWindowMethod;  // the form's replaced WindowProc
    bool FSkinFrame = false;
    uint8_t FStatus = sfsNew;
    uint8_t FWinState = wsfNormal;
    uint8_t FFormStyle = fsfOrdinary;
    uint8_t FBorderKind = bkSizeable;
    uint8_t FBorderIcons = 0;
    bool FActive = false;
    bool FIsDialog = false;
    bool FInMenu = false;
    bool FUnicode = false;
    bool FLeftScrollBar = false;    // WS_EX_LEFTSCROLLBAR
    bool FChild = false;            // WS_CHILD
    bool FHiddenForUpdate = false;  // StopUpdate took WS_VISIBLE away
    bool FDeferPaint = false;       // a DPI change is re-skinning the painters
    bool FPainted = false;          // the window has had a paint since it was skinned
    bool FFinished = false;         // SkinActive has run (once is enough)
    std::string FClassName;
    HWND FOwnerWindow = nullptr;
    int FBorderLeft = 0, FTitleHeight = 0, FBorderRight = 0, FBorderBottom = 0;
    int FMenuHeight = 0;
    TNCObject* FHotObject = nullptr;
    RECT FWindowRect{};
    int FWidth = 0, FHeight = 0;
    RECT FClientRect{};
    int FExtraWidth = 0, FExtraHeight = 0;  // native window size less client size (GetBorderSize)
    HRGN FRegion = nullptr;
    bool FRegionSet = false;
    int FRegionWidth = 0, FRegionHeight = 0;
    TBitmap FTitleBitmap;
    TBitmap FIconBitmap;
    HICON FIcon = nullptr;
    int FIconSize = 16;
    HFONT FCaptionFont = nullptr;  // FOwnCaptionFont, or the stock font when none could be made
    TGdiObject<HFONT> FOwnCaptionFont;
    int FCaptionFontDpi = 0;  // the DPI FOwnCaptionFont was made at
    int FTextLeft = 0, FTextRight = 0;
    std::unique_ptr<TWinSkinMenu> FMenuBar;
    HMENU FMenuHandle = nullptr;
    HWND FMDIClient = nullptr;
    TWindowHook FMDIHook;
    bool FMenuUpdate = true;  // remembered MenuUpdate of an MDI frame
    TColor FOldColor = 0;
    std::unique_ptr<TTimer> FTimer;
    std::unique_ptr<TCanvas> FCanvas;  // shared by the painters
    TBitmap FSharedBitmap;             // shared by the painters (DrawSkin, DrawBuf)
    std::vector<TSkinControl*> FControlList;
    bool FControlListAlive = true;
    // Caption buttons and the system menu.
    std::vector<std::unique_ptr<TWinSysButton>> FSysButtons;
    std::unique_ptr<TPopupMenu> FSysMenu;
    HMENU FSysMenuHandle = nullptr;
    DWORD FLastPopupTick = 0;
    UINT FDblClickTime = 500;
    TBitmap FSysBtnBackground;  // the title strip under the caption buttons
    // The raw window's control painter that is hot (for the timer's leave check).
    TSkinControl* FHotControl = nullptr;
    // Frame state of our own.
    std::shared_ptr<TWinSkinForm*> FSelf;  // what the hooks call through; cleared when freed
    RECT FAttachClient{};                  // client rectangle under the native frame when attached
    bool FHadNativeMenu = false;           // the window showed a native menu bar when attached
    bool FFormHooked = false;              // FForm->WindowProc runs NewWndProc
};

// The skin applier of a window, or null (any applier the manager knows, or the form hook).
TWinSkinForm* FindSkinForm(HWND Window);

// Whether the skin's frame painting is switched on; cleared around menu changes.
extern bool SkinFramePainting;

// Whether windows made after their form was skinned are handed to the skin as they are made
// (SkinFormsBeforeShow): the control walk then leaves controls without a window for later
// instead of making their windows for the first frame.
extern bool SkinWindowsMadeLater;

}  // namespace quorin
