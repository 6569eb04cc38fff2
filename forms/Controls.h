// Controls: the visual components. A windowed control (TWinControl) is a real Win32 window
// of a class named after the framework class ("TButton", "TComboBox", ...), registered as a
// superclass of the standard or common control it wraps, so the native control does the
// work and the framework object sits beside it. Windowless controls (TGraphicControl,
// e.g. labels) are painted by their parent.
//
// Every message of a control passes through its WindowProc member, a std::function that
// starts bound to the virtual WndProc. Another object (a skin painter) may save it,
// install its own and chain to the saved one; putting the saved one back undoes it.
//
// Each control window carries two window properties: the framework's link from the handle
// back to the control object (named "ControlOfs" + module instance + thread id in
// hexadecimal, so other code of the process can find the object; see FindControl), and
// L"QuorinName", a global atom of the component's Name, for tools in other processes.
//
// Windows only.
#pragma once

#include "forms/Classes.h"
#include "forms/Graphics.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quorin {

class TWinControl;
class TCustomForm;
class TPopupMenu;

// A message as the framework passes it: the window message, its parameters and the result.
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// The point a mouse message carries in its lParam: signed, since a monitor left of or above
// the first one has negative coordinates.
inline POINT LParamPoint(LPARAM L) { return POINT{short(LOWORD(L)), short(HIWORD(L))}; }

// Framework notification messages (sent with Perform; they go through WindowProc).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = 0xB000;
constexpr UINT CM_DEACTIVATE = 0xB001;
constexpr UINT CM_DIALOGKEY = 0xB005;     // wParam virtual key; to the form, broadcast to controls
constexpr UINT CM_DIALOGCHAR = 0xB006;    // wParam character (Alt+key); to the form
constexpr UINT CM_FOCUSCHANGED = 0xB007;  // lParam the control that got the focus; broadcast
constexpr UINT CM_PARENTFONTCHANGED = 0xB008;
constexpr UINT CM_PARENTCOLORCHANGED = 0xB009;
constexpr UINT CM_VISIBLECHANGED = 0xB00B;
constexpr UINT CM_ENABLEDCHANGED = 0xB00C;
constexpr UINT CM_COLORCHANGED = 0xB00D;
constexpr UINT CM_FONTCHANGED = 0xB00E;
constexpr UINT CM_TEXTCHANGED = 0xB012;
constexpr UINT CM_MOUSEENTER = 0xB013;   // lParam the control
constexpr UINT CM_MOUSELEAVE = 0xB014;   // lParam the control
constexpr UINT CM_MENUCHANGED = 0xB015;  // to a form whose menu changed
constexpr UINT CM_SHOWINGCHANGED = 0xB019;
constexpr UINT CM_ENTER = 0xB01A;
constexpr UINT CM_EXIT = 0xB01B;
constexpr UINT CM_BUTTONPRESSED = 0xB021;
constexpr UINT CM_RECREATEWND = 0xB033;
// Notifications a parent window receives (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM,
// WM_HSCROLL, ...) are handed to the child control they concern as CN_BASE + the message.
// The block is kept clear of 0xBC00-0xBCFF, which skinned windows use among themselves.
constexpr UINT CN_BASE = 0xBE00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBorderStyleCtl { bsNone, bsSingle };  // of controls (edits, list views); forms have their own

class TControl : public TComponent {
    QUORIN_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // ---- the message method ----
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& Message);
    // Sends a message through WindowProc and returns its result.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    // ---- parent and geometry (relative to the parent's client area) ----
    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    void SetParentComponent(TComponent* AParent) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return true; }

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    virtual void SetClientWidth(int Value);
    virtual void SetClientHeight(int Value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    // A point of this control's client area in screen coordinates, and back.
    POINT ClientToScreen(POINT P) const;
    POINT ScreenToClient(POINT P) const;

    // ---- appearance and state ----
    // Caption and Text are the same value: the control's text (UTF-8).
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent visible (and the form shown).
    virtual bool Showing() const;
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    virtual void Invalidate();
    void Update();
    void Repaint();
    void BringToFront();
    void SendToBack();

    // The form the control is on (the top-most parent that is a form), or nullptr.
    TCustomForm* GetParentForm() const;

    // ---- display scale ----
    // The scale of the form the control is on (identity without a form). Painters and
    // controls scale stored lengths with it; they never ask the system for a DPI.
    TDpiScale DpiScale() const;
    // Brings the control to a scale: bounds and font from their stored values, and what
    // a control class keeps besides (columns, item heights, tab sizes). Bounds that were
    // set at run time since the last scaling become the stored ones first.
    virtual void ScaleForDpi(const TDpiScale& Scale);

    // ---- events ----
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    virtual void Click();

protected:
    friend class TWinControl;
    // The control's text as stored; a windowed control reads its window.
    virtual std::string GetText() const { return FText; }
    virtual void TextChanged() {}
    virtual void BoundsChanged() {}
    virtual void VisibleChanging() {}
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Default message handling: framework messages; the rest to DefaultHandler.
    virtual void DefaultHandler(TMessage& Message);
    virtual void FontChanged();
    virtual void ColorChanged();
    void Loaded() override;

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    std::string FText;
    TColor FColor = clWindow;
    bool FParentColor = false;
    TFont FFont;
    bool FParentFont = true;
    bool FEnabled = true;
    bool FVisible = true;
    TAlign FAlign = TAlign::alNone;
    std::string FHint;
    bool FShowHint = false;
    TPopupMenu* FPopupMenu = nullptr;
    bool FApplyingParentFont = false;
    // The bounds at the stored DPI, the scale the bounds are at now and the bounds that
    // scale gave (to tell whether someone has moved the control since).
    struct TStoredBounds {
        int Left = 0, Top = 0, Width = 0, Height = 0;
    };
    TStoredBounds FStoredBounds;
    RECT FScaledBounds{};
    TDpiScale FBoundsScale;
    bool FBoundsScaled = false;
    void ScaleBoundsForDpi(const TDpiScale& Scale);
};

// A control without a window of its own; its parent paints it (Paint) and hands it the
// mouse messages that fall on it.
class TGraphicControl : public TControl {
    QUORIN_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    void Invalidate() override;
    // Paints the control on the canvas of its parent's paint, with the origin moved to
    // the control's top-left corner and the output clipped to it.
    virtual void Paint(TCanvas& Canvas) {}

protected:
    void DefaultHandler(TMessage& Message) override;
};

// What a control class asks of its window.
struct TCreateParams {
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    // The standard or common control class it wraps (L"BUTTON", WC_LISTVIEWW, ...), or
    // empty for a window the framework paints itself.
    std::wstring BaseClass;
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
    QUORIN_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // Repaints the whole window, background included (nothing without a window).
    void Invalidate() override;
    // The window handle, created (with the parents' handles) on first use.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { Handle(); }
    // The control is being torn down: its window must not be made again, and objects
    // hooked to it must leave its WindowProc alone.
    bool Destroying() const { return FDestroying || (ComponentState() & csDestroying) != 0; }
    // Destroys the window (and those of the children); it is made again when needed.
    void DestroyHandle();
    // Makes the window again with the current properties (after a style change).
    void RecreateWnd();

    // Child controls in z-order (first at the bottom), windowed and windowless alike.
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(size_t(Index)); }
    // The child control at a client point (visible ones only; the top-most), or nullptr.
    TControl* ControlAtPos(POINT P, bool AllowDisabled = false) const;
    // Calls Perform on every child control until one returns a result other than 0.
    void Broadcast(TMessage& Message);

    // ---- keyboard focus and tab order ----
    int TabOrder() const;
    void SetTabOrder(int Value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The windowed children in tab order.
    const std::vector<TWinControl*>& TabList() const { return FTabList; }
    // Every control under this one in tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List) const;
    // Moves the focus from CurControl to the next (or previous) control that can take it.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;

    // A solid brush of Color, kept until Color changes (for WM_CTLCOLOR* answers).
    HBRUSH ColorBrush();

    // Repositions children that have an Align.
    void Realign();
    // Paints the windowless children into DC as this control's paint does (each clipped to
    // its bounds, its origin moved there); for whoever paints this control instead.
    void PaintControls(HDC DC);
    // The window's client area when there is a window, else the bounds' size.
    RECT ClientRect() const override;
    // The control, then every child control.
    void ScaleForDpi(const TDpiScale& Scale) override;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    friend class TControl;
    friend class TApplication;
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    // Called after the window exists: push properties into it.
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void InitializeWnd() {}
    virtual void DestroyWnd();
    // What CM_RECREATEWND does by default: destroy the window and make it again.
    void DoRecreateWnd();
    void DefaultHandler(TMessage& Message) override;
    void WndProc(TMessage& Message) override;
    std::string GetText() const override;
    void TextChanged() override;
    void BoundsChanged() override;
    // A top-level window was resized (by the user, the system or anyone's SetWindowPos).
    virtual void BoundsResized() {}
    void FontChanged() override;
    void ColorChanged() override;
    void Loaded() override;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    void UpdateWindowBounds();
    virtual void UpdateShowing();
    // Whether the windows of the children are made with this control's own (false for a
    // hidden child control, whose children's windows wait until it is shown).
    bool MakesChildWindows() const;
    // Makes the windows the children still lack, when this control makes them.
    void CreateChildWindows();
    // Makes the first window still waiting in this control's tree, with every window of
    // its own tree; false when none waits.
    bool CreateWaitingWindows();
    // The sibling window this one goes beneath (HWND_TOP when no later sibling has one).
    HWND WindowAbove() const;
    // WM_PAINT: the native painting, then the windowless children on top.
    void PaintHandler(TMessage& Message);
    virtual void PaintWindow(HDC DC);
    // The background for WM_ERASEBKGND and for children's WM_CTLCOLOR*.
    virtual bool EraseBackground(HDC DC);
    void FixupTabList();
    void SetName(const std::string& NewName) override;
    void UpdateNameAtom();
    RECT AdjustClientRectForAlign() const;

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int FTabOrderLoading = -1;
    bool FMadeHidden = false;  // the window is being made hidden, to be shown once made
    bool FTabStop = false;
    ATOM FNameAtom = 0;
    TGdiObject<HBRUSH> FBrush;
    TColor FBrushColor = 0;
    bool FDestroying = false;
    TControl* FMouseControl = nullptr;

private:
    static LRESULT CALLBACK InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void ReflectToChild(TMessage& Message, HWND Child);
    void DispatchMouseToGraphic(TMessage& Message);
    // The handlers of WndProc's table; each passes on what it does not take.
    void WMFromChild(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMDrawItem(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void CNCtlColor(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMMouse(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMSysColorChange(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMNCDestroy(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
};

// The control object that owns a window (of this process and thread), or nullptr.
TWinControl* FindControl(HWND Handle);

// Whoever draws the program's windows its own way (the skin engine) is told of windows
// made after their form was first made: the controls of a hidden page, made when the page
// is first shown or a moment after the form has painted. Root is the control whose tree
// has the new windows; the hook runs before any of them paints. One hook for the program;
// null (the default) does nothing.
using TWindowsMadeHook = void (*)(TWinControl& Root);
void SetWindowsMadeHook(TWindowsMadeHook Hook);
// The name of the window property that links a handle to its control object.
const wchar_t* ControlPropertyName();

}  // namespace quorin
