// The control painters: one small companion object per skinned control, derived from
// TSkinControl, that intercepts the control's messages and paints it from the skin.
//
// A painter of a framework control is owned by the control and hooks the control's
// WindowProc; a painter of a raw window (a control of a message box or of a platform
// dialog) is owned by the window's skin applier and replaces the window procedure.
// Painters draw in window coordinates: (0, 0) is the window's top-left corner,
// non-client area included.
//
// This header is the single place that names the painter classes:
//   Winsubclass.cpp          TSkinControl: attaching, the message pipeline, property helpers
//   Winsubclass_draw.cpp     the drawing operations the painters share
//   Winsubclass_factory.cpp  the painter classes by name, and their class information
//   Winsubclass_walk.cpp     the control walk of TWinSkinForm (which painter for which control)
//   Winsubclass_buttons.cpp  push, bit, menu and speed buttons, check boxes, radio buttons, object images
//   Winsubclass_edits.cpp    edits, combo boxes, up-down controls, date-time pickers
//   Winsubclass_boxes.cpp    group boxes, boxes, transparent objects, status bars, progress bars, size grips, tool bars
//   Winsubclass_tabs.cpp     tab controls, tab sets, button tabs, tab sheets, advanced pages
//   Winsubclass_scroll.cpp   scroll-bar painters and their overlay windows, list views, headers
//   Winsubclass_misc.cpp     track bars, media players
#pragma once

#include <windows.h>

#include <any>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forms/Classes.h"
#include "forms/Controls.h"
#include "forms/Graphics.h"
#include "skin/apply/Winhook.h"
#include "skin/resources/Bitmap.h"
#include "skin/resources/Gdi_win32.h"
#include "skin/resources/SkinElements.h"

namespace quorin {

class TSkinData;
class TWinSkinForm;
class TStrings;

// Private messages of the skin engine.
constexpr UINT CN_SkinChanged = 0x3401;
constexpr UINT CN_UpdateNC = 0x3502;
constexpr UINT CN_SkinActive = 0x3503;
constexpr UINT CN_SkinEnable = 0x3506;
constexpr UINT CN_TabClose = 0x3507;
constexpr UINT CN_ReSkinWindow = 0x3508;
constexpr UINT CN_SysButtonClick = 0x3514;
constexpr UINT CN_SysButtonVisible = 0x3515;
constexpr UINT CN_RedrawMDI = 0x3516;
constexpr UINT CN_ReCreateWnd = 0x3517;
constexpr UINT CN_MenuSelect = 0x3518;
constexpr UINT CN_IsSkinned = 0x3523;
// The paint handshake between skinned windows: lParam SkinHandshake throughout.
constexpr UINT CN_PaintClient = 0xBC4A;   // paint the client area into the DC in wParam
constexpr UINT CN_PaintFrame = 0xBC4B;    // paint the frame or border into the DC in wParam
constexpr UINT CN_Handshake = 0xBC4D;     // answered with SkinHandshake
constexpr UINT CN_SkinFinished = 0xBC4E;  // sent by a window to itself when skinning finished
constexpr LPARAM SkinHandshake = 0x41A2;
// Tags with a meaning to the skin engine.
constexpr int32_t TagTransparent = 5555;  // a button or check box drawn on its parent's image
constexpr int32_t TagTabClose = 7777;     // a page control with close buttons on its tabs

// Bits of FMouseState.
constexpr uint8_t msHot = 1;
constexpr uint8_t msPressed = 2;

// A control's picture property switched to a picture of the skin, with the control's own
// kept to be put back.
class TSwappedPicture {
public:
    // Gives the picture named Name the bitmap With (taken over); the first swap keeps the
    // control's own. False, and With freed, when the control publishes no such picture.
    bool Swap(TObject* Control, std::string_view Name, HBITMAP With);
    // Gives the control its own picture back.
    void Restore(TObject* Control);
    // Drops the kept picture without touching the control.
    void Forget();

private:
    std::string FName;
    TPicture FSaved;
    bool FSwapped = false;
};
// Frame Frame (from 1) of a strip of Frames frames as a bitmap of its own, or with Frame 0
// the whole strip; nullptr for an empty strip.
HBITMAP StripFrameBitmap(const TBitmap& Strip, int Frames, int Frame);

class TSkinControl : public TComponent {
    QUORIN_CLASS(TSkinControl, TComponent)
public:
    explicit TSkinControl(TComponent* AOwner);
    ~TSkinControl() override;

    // ---- virtual operations, in slot order ----
    // Attach to the framework control that owns the painter.
    virtual void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas);
    // Attach to a raw window.
    virtual void Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas);
    // Release what Init changed on the control (its colour).
    virtual void Unsubclass();
    // Before the previous window procedure; false consumes the message (Result set).
    virtual bool BeforeProc(TMessage& Message);
    // After the previous window procedure.
    virtual void AfterProc(TMessage& Message);
    // Paints over the whole window (non-client included); DC 0 takes the window DC.
    virtual void PaintControl(HDC DC);
    // Draws the control into a DC, in window coordinates; the base draws nothing.
    virtual void DrawControl(HDC DC, const RECT& Rect);
    // The skin was replaced.
    virtual void SkinChange();
    virtual int GetState();

    // ---- the message pipeline ----
    void NewWndProc(TMessage& Message);
    void Default(TMessage& Message);
    void Invalidate();
    void MouseLeave();
    void WMPaint(TMessage& Message);
    void WMERASEBKGND(TMessage& Message);

    // ---- helpers ----
    void FillBG(HDC DC, const RECT& Rect);
    void FillColor(HDC DC, const RECT& Rect, TColor Color);
    void FillParentBG(HDC DC, const RECT& Rect);
    TColor GetParentColor(TColor DefaultColor) const;
    LONG_PTR GetWindowLongEx(HWND Handle, int Index) const;
    void DrawFocus(HDC DC, const std::u16string& Text, UINT Flags, const RECT& Rect);
    virtual void SetParentBK(bool Value) {}
    virtual void SetColor() {}
    virtual void RestoreColor() {}
    void doLogMsg(std::string_view Text, const TMessage& Message) {}
    // The skin colour ButtonFace (the platform's button face without a skin).
    TColor ButtonFace() const;
    // The framework control, when it is a windowed one.
    TWinControl* WinControl() const;
    // The control's window still exists and is not being torn down.
    bool ControlAlive() const;

    // ---- shared drawing operations (Winsubclass_draw.cpp) ----
    // Frame Frame (from 1) of the element, cut to the rectangle with its margins and tile
    // value; magenta transparent when the element says so. Nothing for a negative size
    // or an element without a picture.
    void DrawSkinMap(HDC DC, const RECT& Rect, int Frames, int Frame, const TDataSkinObject* Element);
    // Frame Frame of a strip of Frames equal frames stretched to the rectangle, magenta
    // transparent.
    void DrawSkinMap1(HDC DC, const RECT& Rect, int Frames, int Frame, const TBitmap& Bitmap);
    void DrawSkinMap2(HDC DC, const RECT& Rect, int Frames, int Frame, const TBitmap& Bitmap);
    void DrawSkinMap3(TCanvas& Canvas, const RECT& Rect, int Frames, int Frame, const TBitmap& Bitmap);
    // As DrawSkinMap, on ButtonFace, into the shared bitmap (DrawSkin) or a given one.
    void DrawSkin(const RECT& Rect, int Frames, int Frame, const TDataSkinObject* Element);
    void DrawBMPSkin(TBitmap& Bitmap, const RECT& Rect, int Frames, int Frame, const TDataSkinObject* Element);
    // Copies the shared bitmap to the DC at the rectangle.
    void DrawBuf(HDC DC, const RECT& Rect);
    // Text centred vertically (horizontally too with Align 1), transparent, DT_EXPANDTABS;
    // disabled text in the button-shadow colour.
    void DrawCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text);
    void DrawImgCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text,
                        const TBitmap* Glyph);
    int TextHeight(HDC DC, const std::u16string& Text);
    // A system metric at the DPI of the skin the painter draws from (its window's).
    int SystemMetric(int Index) const;

    // ---- state (the fields of the family, public to the walk, the applier and tests) ----
    uint8_t FMouseState = 0;     // msHot, msPressed
    TCanvas* FCanvas = nullptr;  // the applier's shared canvas
    bool FEnabled = false;
    bool FFocused = false;
    std::u16string FCaption;
    TWindowHook FHook;    // raw windows: the replaced window procedure
    bool FActive = true;  // painting switched on
    bool FUnicode = false;
    TSkinData* FSkinData = nullptr;
    HWND FHandle = nullptr;
    TWndMethod FOldWindowMethod;  // framework controls: the replaced WindowProc
    // The link the installed WindowProc holds to this painter; cut when the painter goes,
    // so a method installed after ours still reaches the one before it.
    struct TMethodHook;
    std::shared_ptr<TMethodHook> FMethodHook;
    TControl* FControl = nullptr;     // nil for a raw window
    RECT FWinRect{};                  // screen rectangle at the last paint
    TComponent* FRedirect = nullptr;  // invalidation goes here instead (graphic controls)
    bool FParentBK = false;
    TColor FOldColor = 0;
    // The control took its parent's colour before the skin gave it the face: it does so
    // again when the skin goes (the colour it had then was already the skin's, the form's
    // face being set first).
    bool FOldParentColor = false;
    bool FInited = false;
    int32_t FStatus = 0;  // 0 new, 1 attached, 2 released (boxes), 6 window destroyed
    TWinSkinForm* FSkinForm = nullptr;
    int32_t FKind = 0;
    TBitmap* FSharedBitmap = nullptr;  // the applier's shared bitmap (DrawSkin, DrawBuf)
    // Cleared when the painter is freed; a handler run from inside a message may free it.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// ---- The painter classes. Each family's file defines its overrides. ----
// A class without overrides yet is a stand-in: it attaches, follows the pipeline and
// draws nothing of its own, so the native look remains.

// -- buttons (Winsubclass_buttons.cpp) --
// Frames of the Buttons element.
constexpr int bfNormal = 1, bfPressed = 2, bfDisabled = 3, bfHot = 4, bfFocused = 5;

class TSkinButton : public TSkinControl {
    QUORIN_CLASS(TSkinButton, TSkinControl)
public:
    explicit TSkinButton(TComponent* AOwner);
    ~TSkinButton() override;
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    // Keeps the native button from painting while it handles the mouse (WS_VISIBLE off);
    // timer 1 puts the bit back should the matching call be lost.
    void SetRedraw(bool Value);
    // The caption ("||" is a line break) centred in Rect; the focus rectangle around it.
    void DrawBtnText(HDC DC, const RECT& Rect, int Align, const std::u16string& Text);
    // The frame of the Buttons element for the current state.
    int ButtonFrame() const;
    // The skin has a usable Buttons picture; without one the button stays native.
    bool HasSkin() const;

    TBitmap FBuffer;  // the button is composed here, then copied in one blit
    bool FMultiLine = false;
    bool FTransparent = false;  // background is the parent's picture
    bool FRedrawOff = false;    // SetRedraw(false) took WS_VISIBLE away
    TTimerHandle FRedrawTimer;  // gives WS_VISIBLE back should SetRedraw(true) not come

protected:
    // Reads state and caption, composes background, face and font into FBuffer; returns
    // the frame, or 0 when there is nothing to draw. The buffer DC has the text font and
    // colour selected while Draw runs.
    int ComposeFace(const RECT& Rect, const std::function<void(HDC BufferDC, const RECT& Face, int Frame)>& Draw);
    // Handlers of the message tables; a Before one returns what BeforeProc returns.
    bool BeforePaint(TMessage& Message);
    bool BeforeTimer(TMessage& Message);
    bool BeforeLButtonDown(TMessage& Message);
    bool BeforeLButtonUp(TMessage& Message);
    void SpacePressed(TMessage& Message);
    void SpaceReleased(TMessage& Message);
    void AfterMouseMove();
    void AfterLButtonUp();
    // The mouse left: neither hot nor pressed.
    void MouseGone();
};
class TSkinBitButton : public TSkinButton {
    QUORIN_CLASS(TSkinBitButton, TSkinButton)
public:
    explicit TSkinBitButton(TComponent* AOwner) : TSkinButton(AOwner) {}
    void DrawControl(HDC DC, const RECT& Rect) override;
    std::string FGlyphProperty = "Glyph";

protected:
    // Glyph and caption laid out as the control's Layout, Margin and Spacing say.
    void DrawGlyphCaption(HDC DC, const RECT& Rect, int Frame);
};
class TSkinMenuButton : public TSkinButton {
    QUORIN_CLASS(TSkinMenuButton, TSkinButton)
public:
    explicit TSkinMenuButton(TComponent* AOwner) : TSkinButton(AOwner) {}
    void DrawControl(HDC DC, const RECT& Rect) override;
};
class TSkinSpeedButton : public TSkinBitButton {
    QUORIN_CLASS(TSkinSpeedButton, TSkinBitButton)
public:
    explicit TSkinSpeedButton(TComponent* AOwner);
    ~TSkinSpeedButton() override;
    // Graphic controls have no window: hook the control's WindowProc and draw on its canvas.
    virtual void InitGraphicControl(TWinSkinForm* SkinForm, TSkinData* SkinData, TCanvas* Canvas);
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void PaintControl(HDC DC) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    int SpeedFrame() const;

private:
    bool BeforePaint(TMessage& Message);
    void MouseCame();
    void LeftPressed();
    void LeftReleased();
};
class TSkinCheckBox : public TSkinControl {
    QUORIN_CLASS(TSkinCheckBox, TSkinControl)
public:
    explicit TSkinCheckBox(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    // A new skin may bring the picture the last one lacked.
    void SkinChange() override;
    // The frame of the check-box picture for the current state, n its frame count.
    int CheckFrame(int n) const;
    int32_t FCheckState = 0;  // 1 + the last BM_SETCHECK wParam
    bool FTransparent = false;
};
class TSkinRadioButton : public TSkinControl {
    QUORIN_CLASS(TSkinRadioButton, TSkinControl)
public:
    explicit TSkinRadioButton(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    // A new skin may bring the picture the last one lacked.
    void SkinChange() override;
    int CheckFrame(int n) const;
    int32_t FCheckState = 0;
    bool FTransparent = false;
};
class TSkinObjImage : public TSkinControl {
    QUORIN_CLASS(TSkinObjImage, TSkinControl)
public:
    explicit TSkinObjImage(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Unsubclass() override;
    void SkinChange() override;
    TSwappedPicture FGlyph;     // CustomGlyphs, or Properties.Glyph for FKind 3
    std::string FOldUseCustom;  // the glyph switch and key colour before the skin took over
    std::string FOldTransparent;
    bool FSwitched = false;

private:
    void ApplyGlyphs();
    void RestoreGlyphs();
};

// -- edits (Winsubclass_edits.cpp) --
class TSkinUpDown;
class TSkinComBox : public TSkinControl {
    QUORIN_CLASS(TSkinComBox, TSkinControl)
public:
    explicit TSkinComBox(TComponent* AOwner);
    ~TSkinComBox() override;
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) override;
    void Unsubclass() override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    // ComboButton of style 1: the button alone, in its frame, over the native one.
    void DrawControl1(HDC DC, const RECT& Rect, int Frame);
    int ComboFrame() const;
    // A separate drop-down button window (some combo kinds have one) is hooked so that
    // its painting brings the skin back.
    void FindBtn();
    void ButtonProc(TMessage& Message);
    int32_t FStyle = 0;  // CBS_SIMPLE 1, CBS_DROPDOWN 2, CBS_DROPDOWNLIST 3
    HWND FButton = nullptr;
    HWND FList = nullptr;
    TWindowHook FButtonHook;
    TSkinControl* FListBar = nullptr;  // TSkinScrollbarH on the list of a simple combo box
private:
    void Attached();
    // Handlers of AfterProc's table.
    void MouseCame();
    void MouseGone();
    void AfterMouseMove();
    void AfterMouseLeave();
    void AfterCommand(TMessage& Message);
};
class TSkinEdit : public TSkinControl {
    QUORIN_CLASS(TSkinEdit, TSkinControl)
public:
    explicit TSkinEdit(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    // Whether the window has a border (its window and client sizes differ).
    bool HasBorder() const;
    void FindUpDown();
    TSkinUpDown* FUpDown = nullptr;
    bool FLookedForUpDown = false;
};
class TSkinUpDown : public TSkinControl {
    QUORIN_CLASS(TSkinUpDown, TSkinControl)
public:
    explicit TSkinUpDown(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    bool Horizontal() const;
    int32_t FPressedPart = 0;  // 0 none, 1 up or left, 2 down or right
};
// The small arrow button drawn over a date-time picker's drop-down button.
class TArrowButton {
public:
    // Draws the button face (ComboButton frame, else a flat face) and a down arrow.
    static void Draw(HDC DC, const RECT& Rect, TSkinData* SkinData, int Frame);
};
class TSkinDateTime : public TSkinControl {
    QUORIN_CLASS(TSkinDateTime, TSkinControl)
public:
    explicit TSkinDateTime(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinDateTime() override;
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
};

// -- boxes (Winsubclass_boxes.cpp) --
class TSkinGroupBox : public TSkinControl {
    QUORIN_CLASS(TSkinGroupBox, TSkinControl)
public:
    explicit TSkinGroupBox(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
};
class TSkinBox : public TSkinControl {
    QUORIN_CLASS(TSkinBox, TSkinControl)
public:
    explicit TSkinBox(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Unsubclass() override;
    void AfterProc(TMessage& Message) override;
};
class TSkinBoxH : public TSkinControl {
    QUORIN_CLASS(TSkinBoxH, TSkinControl)
public:
    explicit TSkinBoxH(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    HBRUSH FaceBrush();
    TGdiObject<HBRUSH> FBrush;
    TColor FBrushColor = 0;
};
class TSkinTransObj : public TSkinControl {
    QUORIN_CLASS(TSkinTransObj, TSkinControl)
public:
    explicit TSkinTransObj(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
};
class TSkinStatusBar : public TSkinControl {
    QUORIN_CLASS(TSkinStatusBar, TSkinControl)
public:
    explicit TSkinStatusBar(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    bool HasSkin() const;
    TBitmap FOwnBitmap;  // used when there is no skin applier to share one
};
class TSkinProgress : public TSkinControl {
    QUORIN_CLASS(TSkinProgress, TSkinControl)
public:
    explicit TSkinProgress(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    bool HasSkin() const;
};
class TSkinSizer : public TSkinControl {
    QUORIN_CLASS(TSkinSizer, TSkinControl)
public:
    explicit TSkinSizer(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
};
class TSkinToolbar : public TSkinControl {
    QUORIN_CLASS(TSkinToolbar, TSkinControl)
public:
    explicit TSkinToolbar(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    bool BeforeProc(TMessage& Message) override;
    TColor FShadeColor = 0;  // blended at Init: grey towards the caption colour
    TColor FLightColor = 0;  // ButtonFace towards white
};

// -- tabs (Winsubclass_tabs.cpp) --
// Where a tab control shows its tabs, from its style.
enum TTabSide { tsTop, tsBottom, tsLeft, tsRight };
TTabSide TabSideOfStyle(LONG_PTR Style);
// Paints the windowless children (labels) of a control into a DC in the control's client
// coordinates, as the framework paints them.
void PaintGraphicChildren(TWinControl* Control, HDC DC);

class TSkinTab : public TSkinControl {
    QUORIN_CLASS(TSkinTab, TSkinControl)
public:
    explicit TSkinTab(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) override;
    void Unsubclass() override;
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    void SkinChange() override;

    // The tab and pane pictures, turned and mirrored for the tab side; false (and the
    // control stays native) when the skin has no usable Tabs picture.
    bool inittab();
    // Keeps the tab-scrolling up-down out of the DC's drawing.
    void ClipUpdown(HDC DC);
    // Composes the whole control (tab strip and pane) into Target, window coordinates.
    void Compose(TBitmap& Target);
    // Rectangle of the close button of the tab whose rectangle is TabRect (client coordinates).
    RECT CloseRect(const RECT& TabRect) const;
    // The tab whose close button is under the client point, or -1.
    int CloseButtonAt(POINT Point) const;
    TTabSide Side() const;
    bool Drawable() const;

    bool FCloseButtons = false;  // Tag 7777 page control with tabs on top
    int FClosePressed = -1;      // tab whose close button is held down
    HWND FUpDown = nullptr;      // the up-down that scrolls the tabs
    TBitmap FTabMap;             // Tabs picture, mirrored for tabs at the bottom
    TBitmap FPaneMap;            // pane picture, mirrored or turned for the tab side
    TMargins FPaneMargins;
    TTabSide FSide = tsTop;
    bool FReady = false;  // pictures prepared
    TBitmap FPaneCache;   // face and pane as the last paint composed them
    RECT FPaneCacheRect{};
    TColor FPaneCacheFace = -1;
    TBitmap FBuffer;  // the control composed off screen

private:
    // Handlers of BeforeProc's table; each returns what BeforeProc returns.
    bool BeforePaint(TMessage& Message);
    bool BeforeEraseBkgnd(TMessage& Message);
    bool BeforeLButtonDown(TMessage& Message);
    bool BeforeLButtonUp(TMessage& Message);
    void CaptureChanged(TMessage& Message);
};
class TSkinTab31 : public TSkinTab {
    QUORIN_CLASS(TSkinTab31, TSkinTab)
public:
    explicit TSkinTab31(TComponent* AOwner) : TSkinTab(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
};
class TSkinTabBtn : public TSkinControl {
    QUORIN_CLASS(TSkinTabBtn, TSkinControl)
public:
    explicit TSkinTabBtn(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
};
class TSkinTabSheet : public TSkinControl {
    QUORIN_CLASS(TSkinTabSheet, TSkinControl)
public:
    explicit TSkinTabSheet(TComponent* AOwner) : TSkinControl(AOwner) {}
    bool BeforeProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
};
class TSkinAdvPage : public TSkinControl {
    QUORIN_CLASS(TSkinAdvPage, TSkinControl)
public:
    explicit TSkinAdvPage(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Unsubclass() override;
    void SkinChange() override;
    int32_t FPageKind = 4;
    TSwappedPicture FBackGround, FBackGroundActive;  // the tab pictures, kept to put back
};

// -- scroll bars, list views, headers (Winsubclass_scroll.cpp) --
class TSkinHeader : public TSkinControl {
    QUORIN_CLASS(TSkinHeader, TSkinControl)
public:
    explicit TSkinHeader(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) override;
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    bool Drawable() const;
    int SectionAt(POINT ClientPoint) const;
    int FHotIndex = -1;
    int FPressedIndex = -1;
    TBitmap FBuffer;
};

class TSkinScrollbar;
// A window of its own laid exactly over one native scroll bar and drawn from the skin.
// Presses go to the control as the native bar's own, so the platform tracks the scroll.
// Not a component of the form: it is never walked as a control.
class TWScrollbar {
public:
    // Kind 0 horizontal, 1 vertical, 2 a stand-alone scroll-bar control.
    TWScrollbar(TSkinControl* Painter, HWND Control, int Kind);
    ~TWScrollbar();
    TWScrollbar(const TWScrollbar&) = delete;
    TWScrollbar& operator=(const TWScrollbar&) = delete;

    // Places the overlay over the bar, or hides it when the bar or the control is not
    // shown; repaints when the geometry or the thumb changed. False when the platform
    // gave no geometry (the overlay stays as it was).
    bool SetPosition();
    void Hide();
    void Paint(HDC DC);
    HWND Handle() const { return FWindow; }
    HWND Control() const { return FControl; }
    int Kind() const { return FKind; }
    bool Vertical() const { return FVertical; }
    // The part under an overlay point: 1 first arrow, 2 track before the thumb, 3 thumb,
    // 4 track after it, 5 second arrow; 0 none.
    int PartAt(POINT Point) const;
    void WndProc(TMessage& Message);

    TSkinControl* FPainter;
    HWND FControl;
    int FKind;
    bool FVertical = false;
    HWND FWindow = nullptr;
    SCROLLBARINFO FInfo{};  // geometry of the last placement
    int FHotPart = 0;
    int FPressedPart = 0;
    bool FPressed = false;
    POINT FDownPoint{};
    int FDownThumb = 0;
    TBitmap FBuffer;

private:
    // Handlers of WndProc's table.
    void WMPaint();
    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMMouseLeave();
    void WMMouseWheel(TMessage& Message);
};

class TSkinScrollbar : public TSkinControl {
    QUORIN_CLASS(TSkinScrollbar, TSkinControl)
public:
    explicit TSkinScrollbar(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinScrollbar() override;
    // The extra slot of the scroll-bar family: bind to the control, lay the overlays.
    virtual void InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas);
    void Unsubclass() override;
    bool BeforeProc(TMessage& Message) override;
    void AfterProc(TMessage& Message) override;
    void DrawControl(HDC DC, const RECT& Rect) override;
    // Re-places both overlays (hides them when the control is not shown).
    void SetScrollbarPos();
    void FreeOverlays();

    std::unique_ptr<TWScrollbar> FHorz, FVert;
    bool FBorder = false;
    bool FXPStyle = true;
    bool FHasFixedColor = false;
    int32_t FOldFixedColor = 0;
    bool FAddedClipSiblings = false;
    bool FInScrollbarPos = false;

private:
    void AfterRecreateWnd();
    void AfterNCPaint();
};
class TSkinListView : public TSkinScrollbar {
    QUORIN_CLASS(TSkinListView, TSkinScrollbar)
public:
    explicit TSkinListView(TComponent* AOwner) : TSkinScrollbar(AOwner) {}
    void InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) override;
    TSkinHeader* FHeader = nullptr;  // owned by this painter
};
class TSkinScrollbarH : public TSkinControl {
    QUORIN_CLASS(TSkinScrollbarH, TSkinControl)
public:
    explicit TSkinScrollbarH(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinScrollbarH() override;
    void Inithwnd(HWND Handle, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas) override;
    void Unsubclass() override;
    void AfterProc(TMessage& Message) override;
    void SetScrollbarPos();
    std::unique_ptr<TWScrollbar> FHorz, FVert;
};
class TSkinScControl : public TSkinControl {
    QUORIN_CLASS(TSkinScControl, TSkinControl)
public:
    explicit TSkinScControl(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinScControl() override;
    virtual void InitScrollbar(TControl* Control, TSkinData* SkinData, TWinSkinForm* SkinForm, TCanvas* Canvas);
    void Unsubclass() override;
    void AfterProc(TMessage& Message) override;
    std::unique_ptr<TWScrollbar> FBar;
};
// Whether the skin has every picture the scroll-bar overlays are drawn from.
bool ScrollbarSkinned(const TSkinData* SkinData);

// -- track bars, media players (Winsubclass_misc.cpp) --
class TSkinTrackBar : public TSkinControl {
    QUORIN_CLASS(TSkinTrackBar, TSkinControl)
public:
    explicit TSkinTrackBar(TComponent* AOwner) : TSkinControl(AOwner) {}
    void Unsubclass() override;
    bool BeforeProc(TMessage& Message) override;
    void SkinChange() override;
    bool Drawable() const;
    void DrawThumb(HDC DC, const RECT& Rect, UINT ItemState);
    void DrawTrack(HDC DC, const RECT& Rect);
};
// The panel laid over a media player: its buttons drawn from the skin, clicks forwarded.
class TWMediaPlayer {
public:
    TWMediaPlayer(TSkinControl* Painter, TWinControl* Control);
    ~TWMediaPlayer();
    TWMediaPlayer(const TWMediaPlayer&) = delete;
    TWMediaPlayer& operator=(const TWMediaPlayer&) = delete;
    void Place();
    void Paint(HDC DC);
    int ButtonAt(POINT Point) const;
    void WndProc(TMessage& Message);
    TSkinControl* FPainter;
    TWinControl* FControl;
    HWND FWindow = nullptr;
    int FPressed = -1;
    TBitmap FBuffer;
};
class TSkinMP : public TSkinControl {
    QUORIN_CLASS(TSkinMP, TSkinControl)
public:
    explicit TSkinMP(TComponent* AOwner) : TSkinControl(AOwner) {}
    ~TSkinMP() override;
    void Init(TWinSkinForm* SkinForm, TSkinData* SkinData, bool ParentBK, TCanvas* Canvas) override;
    void Unsubclass() override;
    void AfterProc(TMessage& Message) override;
    std::unique_ptr<TWMediaPlayer> FPanel;
};

// ---- the painter factory ----
// A new painter of the class of that name (exact, "TSkinButton"), owned by Owner; null
// for a name that is no painter class.
TSkinControl* NewSkinControl(std::string_view ClassName, TComponent* Owner);
// Every painter class name, in the factory's order.
const std::vector<std::string>& SkinControlClassNames();

// ---- kinds of control, recognised by class name ----
// The control walk chooses painters by what a control is. A kind is recognised by the
// names of the classes that have it, looked up along the object's class chain, so a
// class added later under one of those names (or derived from one) is recognised
// without touching the walk.
enum class TControlKind {
    ckCustomTabControl,
    ckPageControl,
    ckToolButton,
    ckCoolBar,
    ckTabSheet,
    ckHeaderControl,
    ckCustomCheckBox,
    ckTrackBar,
    ckCustomRadioGroup,
    ckCustomGroupBox,
    ckRadioButton,
    ckToolBar,
    ckCustomStatusBar,
    ckProgressBar,
    ckScrollBar,
    ckCustomComboBox,
    ckDateTimePicker,
    ckBitButton,
    ckSpeedButton,
    ckCustomPanel,
    ckCustomListView,
    ckCustomMemo,
    ckCustomGrid,
    ckButton,
    ckCustomEdit,
    ckCustomFrame,
    ckCustomForm,
    ckListBox,
    ckCustomTreeView,
    ckScrollBox,
};
bool IsControlKind(const TObject* Object, TControlKind Kind);

// ---- property helpers: by name, never raising ----
std::string GetProperty(const TObject* Object, std::string_view Name);
int32_t GetIntProperty(const TObject* Object, std::string_view Name);
std::string GetEnumProperty(const TObject* Object, std::string_view Name);
std::u16string GetStringProp(const TObject* Object, std::string_view Name);
std::any GetObjMethod(const TObject* Object, std::string_view Name);
TObject* GetObjProp(const TObject* Object, std::string_view Name, const TClassInfo& Class);
void SetProperty(TObject* Object, std::string_view Name, const std::string& Value);
// A picture the object publishes under Name (a path such as "Properties.Glyph" too).
TPicture* GetPictureProp(const TObject* Object, std::string_view Name);

// ---- free drawing functions ----
// The frame to cut from a strip of Frames frames: a count below 1 counts as 1, and a frame
// the strip does not have falls back to the frames it has (so a short strip still shows).
int FrameInStrip(int Frame, int Frames);
void MyDrawCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text);
void MyDrawImgCaption(TCanvas& Canvas, const RECT& Rect, int Align, bool Enabled, const std::u16string& Text,
                      const TBitmap* Glyph);
// A small filled arrow centred at X, Y; Direction 0 down, 1 up, 2 left, 3 right.
void DrawArrow(TCanvas& Canvas, int X, int Y, int Direction);
// Where a window's client area lies in its window coordinates.
POINT ClientOrigin(HWND Window);

}  // namespace quorin
