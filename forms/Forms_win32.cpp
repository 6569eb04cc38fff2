// Forms, the application object and the screen.
#include "forms/Forms.h"

#include "forms/LayoutLoader.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "forms/WinText.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace quorin {

namespace {

// Posted to a form that Release was called on; the form is freed when it arrives.
constexpr UINT QM_RELEASE = CM_BASE + 0xF0;

// The interval of the timer that makes the windows left for later: as soon as painting
// lets it.
constexpr UINT kWaitingWindowsTick = 1;  // ms

std::string ExeBaseName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    const size_t slash = p.find_last_of(L"\\/");
    if (slash != std::wstring::npos) p.erase(0, slash + 1);
    const size_t dot = p.find_last_of(L'.');
    if (dot != std::wstring::npos) p.erase(dot);
    return ToUtf8(p);
}

}  // namespace

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

TCustomForm* GetParentForm(const TControl* Control) {
    TCustomForm* form = nullptr;
    for (const TControl* c = Control; c; c = c->Parent())
        if (auto* f = dynamic_cast<const TCustomForm*>(c)) form = const_cast<TCustomForm*>(f);
    return form;
}

TDpiScale TControl::DpiScale() const {
    const TCustomForm* form = quorin::GetParentForm(this);
    return form ? form->FormDpiScale() : TDpiScale{};
}

// ======================= TCustomForm =======================

QUORIN_DEFINE_CLASS(TCustomForm, TWinControl) {
    p.Enum<TFormBorderStyle>("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                             {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    p.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
          {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
    p.Enum<TPosition>("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                      {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                       "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
    p.Enum<TFormStyle>("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                       {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
    p.Enum<TWindowState>("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                         {"wsNormal", "wsMinimized", "wsMaximized"});
    p.Int("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
    p.Int("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
    p.Bool("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll);
    p.Bool("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
    p.Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch);
    p.Bool("Scaled", &TCustomForm::Scaled, &TCustomForm::SetScaled);
    p.Ref<TMainMenu>("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu);
    p.Ref<TWinControl>("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl);
    p.Event("OnCreate", &TCustomForm::OnCreate);
    p.Event("OnDestroy", &TCustomForm::OnDestroy);
    p.Event("OnShow", &TCustomForm::OnShow);
    p.Event("OnHide", &TCustomForm::OnHide);
    p.Event("OnActivate", &TCustomForm::OnActivate);
    p.Event("OnDeactivate", &TCustomForm::OnDeactivate);
    p.Event("OnClose", &TCustomForm::OnClose);
    p.Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    FColor = clBtnFace;
    FParentFont = false;
    FWidth = 320;
    FHeight = 240;
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            Application->HandleException(this);
        }
    }
    auto& forms = Screen->FForms;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (Application->MainForm() == this) Application->SetMainForm(nullptr);
    if (FMenu && FHandle) ::SetMenu(FHandle, nullptr);  // the menu's own handle is the menu's to free
    FMenu = nullptr;
}

void TCustomForm::InitLayout(const std::wstring& ResourceName) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(module, ResourceName.c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL data = res ? LoadResource(module, res) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) throw Exception("Resource " + ToUtf8(ResourceName) + " not found");
    InitLayoutText(std::string_view(bytes, SizeofResource(module, res)));
}

void TCustomForm::InitLayoutText(std::string_view Text) {
    RegisterFrameworkClasses();
    LoadLayoutText(this, Text);
    FCreated = true;
    DoCreate();
    PrepareWindow();
}

namespace {
TFormPrepareHook FormPrepareHook = nullptr;
}  // namespace

void SetFormPrepareHook(TFormPrepareHook Hook) { FormPrepareHook = Hook; }

void TCustomForm::PrepareWindow() {
    if (!FormPrepareHook || Destroying()) return;
    HandleNeeded();
    try {
        FormPrepareHook(*this);
    } catch (...) {
        // Whatever the hook could not do, the form still shows, drawn as the platform draws it.
    }
}

void TCustomForm::DoCreate() {
    if (!OnCreate) return;
    try {
        OnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::Loaded() {
    TWinControl::Loaded();
    if (FClientWidth >= 0 || FClientHeight >= 0) ApplyClientSize();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (Value == FBorderIcons) return;
    FBorderIcons = Value;
    RecreateWnd();
}

TWindowState TCustomForm::WindowState() const {
    if (FHandle) {
        if (IsIconic(FHandle)) return TWindowState::wsMinimized;
        if (IsZoomed(FHandle)) return TWindowState::wsMaximized;
        return TWindowState::wsNormal;
    }
    return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (FHandle && Showing())
        ShowWindow(FHandle, Value == TWindowState::wsMinimized   ? SW_MINIMIZE
                            : Value == TWindowState::wsMaximized ? SW_MAXIMIZE
                                                                 : SW_RESTORE);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style = WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_CONTROLPARENT;
    if (FAcceptFiles) Params.ExStyle |= WS_EX_ACCEPTFILES;
    Params.Caption = ToWide(FText);
    switch (FBorderStyle) {
    case TFormBorderStyle::bsNone: Params.Style |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsSizeable: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog:
        Params.Style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        Params.ExStyle |= WS_EX_DLGMODALFRAME;
        break;
    case TFormBorderStyle::bsToolWindow:
        Params.Style |= WS_CAPTION;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case TFormBorderStyle::bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        Params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (FBorderStyle != TFormBorderStyle::bsNone && (FBorderIcons & biSystemMenu)) Params.Style |= WS_SYSMENU;
    const bool tool = FBorderStyle == TFormBorderStyle::bsToolWindow || FBorderStyle == TFormBorderStyle::bsSizeToolWin;
    if (!tool && FBorderStyle != TFormBorderStyle::bsDialog && FBorderStyle != TFormBorderStyle::bsNone) {
        if (FBorderIcons & biMinimize) Params.Style |= WS_MINIMIZEBOX;
        if (FBorderIcons & biMaximize) Params.Style |= WS_MAXIMIZEBOX;
    }
    if (FFormStyle == TFormStyle::fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    // A form other than the main form belongs to the main form's window, so it stays
    // above it and has no button of its own on the task bar.
    Params.WndParent = nullptr;
    TCustomForm* main = Application->MainForm();
    if (main && main != this) Params.WndParent = main->Handle();
    if (FPosition == TPosition::poDefault || FPosition == TPosition::poDefaultPosOnly) {
        Params.X = CW_USEDEFAULT;
        Params.Y = CW_USEDEFAULT;
    }
}

int TCustomForm::DpiForNewWindow() const {
    const TCustomForm* main = Application->MainForm();
    if (main && main != this && main->HandleAllocated()) return main->FormDpiScale().Dpi;
    if (FPosition == TPosition::poDesigned) return DpiForPoint(POINT{FLeft, FTop});
    return DpiForPoint(POINT{0, 0});
}

void TCustomForm::CreateWnd() {
    // The controls' windows are made at the window's scale, not made and then resized.
    if (FScaled) ScaleForDpi(TDpiScale{DpiForNewWindow(), FPixelsPerInch});
    TWinControl::CreateWnd();
    if (FScaled && FHandle) {
        const int dpi = DpiForWindow(FHandle);
        if (dpi != FDpiScale.Dpi) ScaleForDpi(TDpiScale{dpi, FPixelsPerInch});
    }
}

void TCustomForm::ScaleForDpi(const TDpiScale& Scale) {
    FDpiScale = Scale;
    const bool applying = FApplyingParentFont;
    FApplyingParentFont = true;
    FFont.SetDpiScale(Scale);
    FApplyingParentFont = applying;
    for (TControl* c : std::vector<TControl*>(FControls)) c->ScaleForDpi(Scale);
    if (!(ComponentState() & csLoading)) ApplyClientSize();
    Realign();
}

void TCustomForm::ChangeDpi(int Dpi, const RECT* Suggested) {
    if (!FScaled || Dpi <= 0) return;
    ScaleForDpi(TDpiScale{Dpi, FPixelsPerInch});
    if (FHandle && Suggested) {
        // The system's rectangle keeps the window under the mouse while it moves between
        // monitors; the client size is then measured to the pixel.
        // The client size the window has on the way is not a size the user chose.
        FApplyingClientSize = true;
        SetWindowPos(FHandle, nullptr, Suggested->left, Suggested->top, Suggested->right - Suggested->left,
                     Suggested->bottom - Suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        FApplyingClientSize = false;
        ApplyClientSize();
    }
    if (FHandle && !(GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD)) UpdateIcons();
    if (OnDpiChanged) OnDpiChanged(this);
}

void TCustomForm::WMDpiChanged(TMessage& Message) {
    ChangeDpi(HIWORD(Message.WParam), reinterpret_cast<const RECT*>(Message.LParam));
    Message.Result = 0;
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
    TWinControl::CreateWindowHandle(Params);
    if (!FHandle) return;
    if (FMenu) ::SetMenu(FHandle, FMenu->Handle());
    // The program's icon, small for the caption and big for task switching, so that
    // anything showing the window's icon (WM_GETICON) finds it.
    if (!(Params.Style & WS_CHILD)) UpdateIcons();
    ApplyClientSize();
}

// The icon images of the window's DPI: the metric at that DPI, taken from the nearest
// image drawn at or above it.
void TCustomForm::UpdateIcons() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto icon = [&](int cx, int cy) {
        const int w = IconSizeFor(SystemMetricForDpi(cx, FDpiScale.Dpi));
        const int h = IconSizeFor(SystemMetricForDpi(cy, FDpiScale.Dpi));
        return static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, w, h, LR_SHARED));
    };
    if (HICON big = icon(SM_CXICON, SM_CYICON))
        SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (HICON smallIcon = icon(SM_CXSMICON, SM_CYSMICON))
        SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

RECT TCustomForm::ClientRect() const {
    if (FHandle) return TWinControl::ClientRect();
    return RECT{0, 0, FClientWidth >= 0 ? FDpiScale.Scale(FClientWidth) : FWidth,
                FClientHeight >= 0 ? FDpiScale.Scale(FClientHeight) : FHeight};
}

void TCustomForm::SetClientWidth(int Value) {
    FClientWidth = Value;
    if (!(ComponentState() & csLoading)) ApplyClientSize();
}

void TCustomForm::SetClientHeight(int Value) {
    FClientHeight = Value;
    if (!(ComponentState() & csLoading)) ApplyClientSize();
}

// Sizes the window so that its client area has the asked size, menu bar included.
void TCustomForm::ApplyClientSize() {
    if (FClientWidth < 0 && FClientHeight < 0) return;
    const int clientWidth = FClientWidth >= 0 ? FDpiScale.Scale(FClientWidth) : -1;
    const int clientHeight = FClientHeight >= 0 ? FDpiScale.Scale(FClientHeight) : -1;
    if (!FHandle) {
        TCreateParams params;
        CreateParams(params);
        RECT r{0, 0, clientWidth >= 0 ? clientWidth : 0, clientHeight >= 0 ? clientHeight : 0};
        AdjustWindowRectEx(&r, params.Style, FMenu != nullptr, params.ExStyle);
        if (FClientWidth >= 0) FWidth = r.right - r.left;
        if (FClientHeight >= 0) FHeight = r.bottom - r.top;
        return;
    }
    // With a window, measure: the menu bar may wrap, and frames differ between themes.
    FApplyingClientSize = true;
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT client, window;
        GetClientRect(FHandle, &client);
        GetWindowRect(FHandle, &window);
        const int dw = clientWidth >= 0 ? clientWidth - client.right : 0;
        const int dh = clientHeight >= 0 ? clientHeight - client.bottom : 0;
        if (dw == 0 && dh == 0) break;
        SetWindowPos(FHandle, nullptr, 0, 0, window.right - window.left + dw, window.bottom - window.top + dh,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FApplyingClientSize = false;
    RECT window;
    GetWindowRect(FHandle, &window);
    FWidth = window.right - window.left;
    FHeight = window.bottom - window.top;
}

// The stored client size follows the window, so a later ApplyClientSize (a new menu)
// keeps the size the window has now.
void TCustomForm::BoundsResized() {
    if (FApplyingClientSize || !FHandle || (ComponentState() & csLoading)) return;
    RECT client;
    if (!GetClientRect(FHandle, &client)) return;
    // Said at the stored DPI; a size the scale gave stays the stored one exactly.
    if (FClientWidth >= 0 && client.right != FDpiScale.Scale(FClientWidth))
        FClientWidth = FDpiScale.Unscale(client.right);
    if (FClientHeight >= 0 && client.bottom != FDpiScale.Scale(FClientHeight))
        FClientHeight = FDpiScale.Unscale(client.bottom);
}

void TCustomForm::ApplyPosition() {
    if (FPositioned || !FHandle) return;
    FPositioned = true;
    RECT window;
    GetWindowRect(FHandle, &window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    int x = FLeft, y = FTop;
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    bool centre = false;
    switch (FPosition) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter: centre = true; break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
        TCustomForm* main = Application->MainForm();
        centre = true;
        if (main && main != this && main->HandleAllocated()) GetWindowRect(main->Handle(), &area);
        break;
    }
    case TPosition::poDefault:
    case TPosition::poDefaultPosOnly:
        x = window.left;
        y = window.top;
        break;
    default: break;
    }
    if (centre) {
        x = area.left + (area.right - area.left - w) / 2;
        y = area.top + (area.bottom - area.top - h) / 2;
        if (x < 0) x = 0;
        if (y < 0) y = 0;
    }
    FLeft = x;
    FTop = y;
    SetWindowPos(FHandle, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TCustomForm::IsShortCut(uint16_t ShortCut) {
    TMenuItem* item = FMenu ? FMenu->FindShortCut(ShortCut) : nullptr;
    if (!item) return false;
    item->Click();
    return true;
}

void TCustomForm::SetAcceptFiles(bool Value) {
    FAcceptFiles = Value;
    // The extended style is all the shell looks at; setting it here keeps the shell's
    // library out of the process until a drop comes.
    if (FHandle) {
        const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
        SetWindowLongPtrW(FHandle, GWL_EXSTYLE,
                          Value ? style | WS_EX_ACCEPTFILES : style & ~LONG_PTR(WS_EX_ACCEPTFILES));
    }
}

void TCustomForm::SetMenu(TMainMenu* Value) {
    if (Value == FMenu) return;
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (FMenu) FMenu->FreeNotification(this);
    if (FHandle) {
        // The window's menu is set by CM_MENUCHANGED, so whoever draws the menu bar in
        // the window's place (a hook on WindowProc) decides what the window shows.
        Perform(CM_MENUCHANGED);
        ApplyClientSize();
    }
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FMenu) {
        if (FHandle) ::SetMenu(FHandle, nullptr);
        FMenu = nullptr;
    }
    if (AComponent == FActiveControl) FActiveControl = nullptr;
}

bool TCustomForm::Showing() const { return FVisible && FHandle && IsWindowVisible(FHandle); }

void TCustomForm::VisibleChanging() {}

void TCustomForm::Show() {
    SetVisible(true);
    if (FHandle) {
        if (IsIconic(FHandle)) ShowWindow(FHandle, SW_RESTORE);
        SetForegroundWindow(FHandle);
    }
}

// A form made earlier (the About box is made hidden at start-up) opens at the scale the
// main window has now, as the system tells a window that moves between monitors: the
// skin of the window follows the same message.
void TCustomForm::FollowMainFormDpi() {
    if (!FScaled || !FHandle || Application->MainForm() == this) return;
    const int dpi = DpiForNewWindow();
    if (dpi == FDpiScale.Dpi) return;
    RECT r{};
    GetWindowRect(FHandle, &r);
    const TDpiScale s{dpi, FDpiScale.Dpi};
    RECT suggested{r.left, r.top, r.left + s.Scale(r.right - r.left), r.top + s.Scale(r.bottom - r.top)};
    SendMessageW(FHandle, kWmDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    FPositioned = false;  // centred again at its new size
}

void TCustomForm::ShowingChanged() {
    if (FVisible) {
        FollowMainFormDpi();
        HandleNeeded();
        // Before the position: the hook may change the frame, and so the window's size.
        PrepareWindow();
        ApplyPosition();
        // Access-key underlines follow the system's keyboard cues: where they are for
        // keyboard use only, they stay hidden until Alt is pressed (the message loop shows
        // them then), as in the system's dialogs.
        BOOL cues = TRUE;
        SetHideAccel(SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) && !cues);
        ShowWindow(FHandle, FWindowState == TWindowState::wsMaximized   ? SW_SHOWMAXIMIZED
                            : FWindowState == TWindowState::wsMinimized ? SW_SHOWMINIMIZED
                                                                        : SW_SHOWNORMAL);
        if (!FActiveControl) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FActiveControl = first;
        }
        if (FActiveControl && FActiveControl->CanFocus()) ::SetFocus(FActiveControl->Handle());
        // The windows of hidden pages and boxes were left for later; they are made once the
        // form has painted (timer messages come after painting), so that every control has
        // its window a moment after the form shows, whether it was looked at or not.
        FWaitingWindowsTimer.Start(FHandle, kWaitingWindowsTimer, kWaitingWindowsTick);
        if (OnShow) OnShow(this);
    } else if (FHandle) {
        ShowWindow(FHandle, SW_HIDE);
        if (OnHide) OnHide(this);
    }
}

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FModal) throw Exception("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    HWND previousActive = GetActiveWindow();
    FModal = true;
    FModalResult = mrNone;
    // Every other window of the thread is disabled while the form is up.
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    HandleNeeded();
    disabled.erase(std::remove(disabled.begin(), disabled.end(), FHandle), disabled.end());
    for (HWND h : disabled) EnableWindow(h, FALSE);
    auto restore = [&] {
        for (HWND h : disabled)
            if (IsWindow(h)) EnableWindow(h, TRUE);
        if (previousActive && IsWindow(previousActive)) SetActiveWindow(previousActive);
        SetVisible(false);
        FModal = false;
    };
    try {
        Show();
        do {
            Application->HandleMessage();
            if (Application->Terminated()) {
                FModalResult = mrCancel;
            } else if (FModalResult != mrNone) {
                if (!CloseQuery()) {
                    FModalResult = mrNone;
                } else {
                    TCloseAction action = TCloseAction::caHide;
                    DoClose(action);
                    if (action == TCloseAction::caNone) FModalResult = mrNone;
                }
            }
        } while (FModalResult == mrNone);
    } catch (...) {
        restore();
        throw;
    }
    // Enable the other windows before hiding, so the activation goes back to them.
    restore();
    return FModalResult;
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (FInClose || !CloseQuery()) return;
    FInClose = true;
    TCloseAction action = TCloseAction::caHide;
    try {
        DoClose(action);
    } catch (...) {
        FInClose = false;
        throw;
    }
    FInClose = false;
    if (action == TCloseAction::caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case TCloseAction::caHide: Hide(); break;
    case TCloseAction::caMinimize: SetWindowState(TWindowState::wsMinimized); break;
    case TCloseAction::caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release() {
    if (FHandle)
        PostMessageW(FHandle, QM_RELEASE, 0, 0);
    else
        delete this;
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (Control && (Control == this || Control->GetParentForm() != this))
        throw Exception("Invalid control for the active control of " + Name());
    if (Control && !(ComponentState() & csLoading) && Showing() && Control->CanFocus()) {
        // The control's WM_SETFOCUS records it (FocusControl), with the notifications.
        if (GetFocus() != Control->Handle()) ::SetFocus(Control->Handle());
        if (GetFocus() == Control->Handle()) {
            if (FActiveControl != Control) FocusControl(Control);
            return;
        }
    }
    FActiveControl = Control;
}

void TCustomForm::FocusControl(TWinControl* Control) {
    TWinControl* previous = FActiveControl;
    FActiveControl = Control;
    if (previous != Control) {
        if (previous) previous->Perform(CM_EXIT);
        if (Control) Control->Perform(CM_ENTER);
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
}

void TCustomForm::DefocusControl(TWinControl* Control, bool) {
    if (!FActiveControl) return;
    for (TControl* c = FActiveControl; c; c = c->Parent()) {
        if (c == Control) {
            FActiveControl = nullptr;
            if (FHandle && Control->HandleAllocated() && IsChild(Control->Handle(), GetFocus())) ::SetFocus(FHandle);
            if (Control->HandleAllocated() && GetFocus() == Control->Handle() && FHandle) ::SetFocus(FHandle);
            return;
        }
    }
}

TButton* TCustomForm::DefaultButton() const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    for (TWinControl* c : list)
        if (auto* b = dynamic_cast<TButton*>(c); b && b->Default()) return b;
    return nullptr;
}

bool TCustomForm::DialogKey(TMessage& Message) {
    const WPARAM key = Message.WParam;
    if (key == VK_TAB) {
        if (GetKeyState(VK_CONTROL) < 0) return false;
        SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
        Message.Result = 1;
        return true;
    }
    return false;
}

void TCustomForm::SetHideAccel(bool Value) {
    const bool changed = Value != FHideAccel;
    FHideAccel = Value;
    if (!FHandle) return;
    SendMessageW(FHandle, WM_CHANGEUISTATE, MAKEWPARAM(Value ? UIS_SET : UIS_CLEAR, UISF_HIDEACCEL), 0);
    // The labels are painted by their parents.
    if (changed) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TCustomForm::PaintWindow(HDC) {}

// The item of the form's menu bar, or of one of its pop-up menus, with that command.
// Menus shown for the form by other objects (a skin's system menu) are found through the
// process-wide command table.
TMenuItem* TCustomForm::FindMenuItem(UINT Command) const {
    if (FMenu)
        if (TMenuItem* item = FMenu->FindItem(Command)) return item;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* menu = dynamic_cast<TMenu*>(Components(i)); menu && menu != FMenu)
            if (TMenuItem* item = menu->FindItem(Command)) return item;
    if (TMenuItem* item = FindMenuItemByCommand(Command); item && item->GetParentMenu()) return item;
    return nullptr;
}

void TCustomForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE: Close(); return;
    case WM_TIMER: WMTimer(Message); return;
    case QM_RELEASE: delete this; return;
    case WM_DROPFILES: WMDropFiles(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_ACTIVATE: WMActivate(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case WM_MENUCHAR: WMMenuChar(Message); return;
    case WM_ENTERMENULOOP:
        TMenuTracking::Enter();
        TWinControl::WndProc(Message);
        return;
    case WM_EXITMENULOOP:
        TMenuTracking::Exit();
        TWinControl::WndProc(Message);
        return;
    case CM_MENUCHANGED: CMMenuChanged(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case kWmDpiChanged: WMDpiChanged(Message); return;
    default: TWinControl::WndProc(Message); return;
    }
}

void TCustomForm::WMTimer(TMessage& Message) {
    if (Message.WParam == kWaitingWindowsTimer) {
        // One waiting tree of windows per tick: input and painting keep their turn.
        bool more = false;
        try {
            more = CreateWaitingWindows();
        } catch (...) {
            // A window that cannot be made is made on demand, or reported, later.
        }
        if (!more) FWaitingWindowsTimer.Reset();
        return;
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::WMDropFiles(TMessage& Message) {
    // The shell's library is loaded by the first drop, not with the program: linking
    // it in makes every process of the framework load it, and the libraries it brings.
    using TDragQueryFile = UINT(WINAPI*)(HDROP, UINT, LPWSTR, UINT);
    using TDragFinish = void(WINAPI*)(HDROP);
    static const HMODULE shell = LoadLibraryW(L"shell32.dll");
    static const auto queryFile =
        shell ? reinterpret_cast<TDragQueryFile>(reinterpret_cast<void*>(GetProcAddress(shell, "DragQueryFileW")))
              : nullptr;
    static const auto finish =
        shell ? reinterpret_cast<TDragFinish>(reinterpret_cast<void*>(GetProcAddress(shell, "DragFinish"))) : nullptr;
    const auto drop = reinterpret_cast<HDROP>(Message.WParam);
    std::vector<std::string> files;
    const UINT count = queryFile ? queryFile(drop, 0xFFFFFFFF, nullptr, 0) : 0;
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(queryFile(drop, i, nullptr, 0), L'\0');
        queryFile(drop, i, path.data(), UINT(path.size() + 1));
        files.push_back(ToUtf8(path));
    }
    if (finish) finish(drop);
    if (FAcceptFiles && OnDropFiles && !files.empty()) OnDropFiles(this, files);
}

// A command of the form's menus runs its item's OnClick.
void TCustomForm::WMCommand(TMessage& Message) {
    if (Message.LParam == 0 && HIWORD(Message.WParam) == 0) {
        if (TMenuItem* item = FindMenuItem(LOWORD(Message.WParam))) {
            item->Click();
            return;
        }
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::WMMeasureItem(TMessage& Message) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    if (mis && mis->CtlType == ODT_MENU) {
        if (TMenuItem* item = FindMenuItem(mis->itemID)) {
            TWindowDC dc(FHandle);
            TCanvas canvas;
            NONCLIENTMETRICSW ncm{};
            ncm.cbSize = sizeof ncm;
            SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
            TGdiObject<HFONT> menuFont(CreateFontIndirectW(&ncm.lfMenuFont));
            TSelectObject sel(dc.Handle(), menuFont.Get());
            canvas.SetHandle(dc.Handle());
            int w = int(mis->itemWidth), h = int(mis->itemHeight);
            item->MeasureItem(canvas, w, h);
            canvas.SetHandle(nullptr);
            mis->itemWidth = UINT(w);
            mis->itemHeight = UINT(h);
            Message.Result = 1;
            return;
        }
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::WMDrawItem(TMessage& Message) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
    if (dis && dis->CtlType == ODT_MENU) {
        if (TMenuItem* item = FindMenuItem(dis->itemID)) {
            TCanvas canvas;
            canvas.SetHandle(dis->hDC);
            item->DrawItem(canvas, dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
            canvas.SetHandle(nullptr);
            Message.Result = 1;
            return;
        }
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::WMActivate(TMessage& Message) {
    TWinControl::WndProc(Message);
    if (LOWORD(Message.WParam) != WA_INACTIVE) {
        FActive = true;
        if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
            ::SetFocus(FActiveControl->Handle());
        if (OnActivate) OnActivate(this);
    } else {
        FActive = false;
        if (OnDeactivate) OnDeactivate(this);
    }
}

void TCustomForm::WMSetFocus(TMessage& Message) {
    TWinControl::DefaultHandler(Message);
    if (FActiveControl && FActiveControl->CanFocus() && FActiveControl->HandleAllocated())
        ::SetFocus(FActiveControl->Handle());
}

void TCustomForm::CMVisibleChanged(TMessage&) {
    // A form is shown by the program after loading, not while its layout is read.
    if (!(ComponentState() & csLoading)) ShowingChanged();
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (DialogKey(Message)) return;
    TWinControl::WndProc(Message);
}

void TCustomForm::WMMenuChar(TMessage& Message) {
    // Owner-drawn items (a skinned menu) are not matched by the platform: an item
    // whose text has the letter after its "&" is chosen, as in a plain menu.
    HMENU menu = reinterpret_cast<HMENU>(Message.LParam);
    const wchar_t key =
        wchar_t(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(LOWORD(Message.WParam))))));
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[81] = {};
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE;
        mii.dwTypeData = text;
        mii.cch = 81;
        if (!GetMenuItemInfoW(menu, UINT(i), TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW)) continue;
        for (const wchar_t* p = text; (p = wcschr(p, L'&')) != nullptr && p[1]; p += 2) {
            if (p[1] == L'&') continue;
            if (wchar_t(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(p[1]))))) == key) {
                Message.Result = MAKELRESULT(i, MNC_EXECUTE);
                return;
            }
            break;
        }
    }
    TWinControl::WndProc(Message);
}

void TCustomForm::CMMenuChanged(TMessage&) {
    if (FHandle) {
        ::SetMenu(FHandle, FMenu ? FMenu->Handle() : nullptr);
        DrawMenuBar(FHandle);
    }
}

void TCustomForm::WMSize(TMessage& Message) {
    TWinControl::WndProc(Message);
    Realign();
}

// ======================= TForm =======================

QUORIN_DEFINE_CLASS(TForm, TCustomForm) {}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {}

// ======================= TApplication =======================

QUORIN_DEFINE_CLASS(TApplication, TComponent) {}

TApplication::TApplication(TComponent* AOwner)
    : TComponent(AOwner), FInstance(GetModuleHandleW(nullptr)), FTitle(ExeBaseName()) {}

TApplication::~TApplication() = default;

void TApplication::Initialize() {
    if (FInitialized) return;
    FInitialized = true;
    RegisterFrameworkClasses();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                             ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES |
                                             ICC_PROGRESS_CLASS | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES |
                                             ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
}

void TApplication::Run() {
    Initialize();
    // A main window that cannot be shown is a start that failed: its exception goes to the
    // caller, as the loop would otherwise run on with no window to end it.
    if (FMainForm && FShowMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() {
    if (FTerminated) return;
    FTerminated = true;
    PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {}
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) {
        Idle();
        if (!FTerminated) WaitMessage();
    }
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE: UpdateMouseControl(msg.hwnd); break;
    default: break;
    }
    if (!IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

void TApplication::Idle() {
    if (OnIdle) {
        try {
            OnIdle(this);
        } catch (...) {
            HandleException(this);
        }
    }
}

// The keys a dialog handles itself (Tab, Enter, Escape) and Alt+character (or a character
// alone where the focused control takes none): the form gets them first as CM_DIALOGKEY /
// CM_DIALOGCHAR, unless the control with the focus wants them.
bool TApplication::IsKeyMsg(MSG& Msg) {
    // Alt pressed and released alone gives the keyboard to the window's menu bar. The
    // platform's default handling does not always do it for a window whose menu bar it
    // does not draw (a skinned one), so the loop does it for every window.
    static bool altAlone = false;
    switch (Msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (Msg.wParam == VK_MENU) {
            if (!(Msg.lParam & (1 << 30))) altAlone = true;  // not a repeat
            if (HWND root = GetAncestor(Msg.hwnd, GA_ROOT))
                if (auto* form = dynamic_cast<TCustomForm*>(FindControl(root)); form && form->HideAccel())
                    form->SetHideAccel(false);
        } else {
            altAlone = false;
        }
        break;
    case WM_SYSKEYUP:
    case WM_KEYUP:
        if (Msg.wParam == VK_MENU && altAlone) {
            altAlone = false;
            if (HWND root = GetAncestor(Msg.hwnd, GA_ROOT)) {
                SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
                return true;
            }
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_SYSCHAR: altAlone = false; break;
    default: break;
    }
    // A short cut of the menu bar answers wherever the focus is in the window, an edit or
    // a combo box included, before the control sees the key.
    if (Msg.message == WM_KEYDOWN || Msg.message == WM_SYSKEYDOWN) {
        HWND root = GetAncestor(Msg.hwnd, GA_ROOT);
        auto* form = dynamic_cast<TCustomForm*>(root ? FindControl(root) : nullptr);
        if (form && IsWindowEnabled(root)) {
            try {
                if (form->IsShortCut(ShortCutOfKey(UINT(Msg.wParam)))) return true;
            } catch (...) {
                HandleException(form);
                return true;
            }
        }
    }
    if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSCHAR && Msg.message != WM_CHAR) return false;
    // The framework control the key is for (the window may be a native child of it, such
    // as the edit inside a combo box).
    TWinControl* control = nullptr;
    for (HWND h = Msg.hwnd; h && !control; h = GetParent(h)) control = FindControl(h);
    if (!control) return false;
    TCustomForm* form = GetParentForm(control);
    if (!form) return false;
    try {
        if (Msg.message == WM_SYSCHAR) return form->Perform(CM_DIALOGCHAR, Msg.wParam, Msg.lParam) != 0;
        if (Msg.message == WM_CHAR) {
            // A label's marker letter alone, as in a dialog, where the focused control takes
            // no characters itself (a button, a check box); an edit or a list keeps it.
            if (Msg.wParam <= L' ') return false;
            const LRESULT code = SendMessageW(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, reinterpret_cast<LPARAM>(&Msg));
            if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
            return form->Perform(CM_DIALOGCHAR, Msg.wParam, Msg.lParam) != 0;
        }
        const WPARAM key = Msg.wParam;
        if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
        const LRESULT code = SendMessageW(Msg.hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&Msg));
        if (code & DLGC_WANTALLKEYS) return false;
        if (key == VK_TAB && (code & DLGC_WANTTAB)) return false;
        if (key == VK_RETURN && (code & DLGC_DEFPUSHBUTTON) == 0 && (code & DLGC_WANTMESSAGE)) return false;
        // An open drop-down takes Enter and Escape itself.
        if (key != VK_TAB)
            for (HWND h = Msg.hwnd; h; h = GetParent(h))
                if (auto* combo = dynamic_cast<TComboBox*>(FindControl(h)); combo && combo->DroppedDown()) return false;
        return form->Perform(CM_DIALOGKEY, key, Msg.lParam) != 0;
    } catch (...) {
        HandleException(control);
        return true;
    }
}

void TApplication::UpdateMouseControl(HWND Hint) {
    POINT p;
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    TControl* target = nullptr;
    TWinControl* win = nullptr;
    for (HWND h = under; h && !win; h = GetParent(h)) win = FindControl(h);
    if (win) {
        target = win;
        POINT local = p;
        ScreenToClient(win->Handle(), &local);
        if (TControl* child = win->ControlAtPos(local); child && !dynamic_cast<TWinControl*>(child)) target = child;
        // Ask for WM_MOUSELEAVE, so leaving our windows altogether is noticed too.
        if (win->Handle() != FTrackedWindow) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, win->Handle(), 0};
            if (TrackMouseEvent(&tme)) FTrackedWindow = win->Handle();
        }
    } else {
        FTrackedWindow = nullptr;
    }
    if (target == FMouseControl) return;
    TControl* old = FMouseControl;
    FMouseControl = target;
    try {
        if (old) old->Perform(CM_MOUSELEAVE, 0, 0);
        if (target && FMouseControl == target) target->Perform(CM_MOUSEENTER, 0, 0);
    } catch (...) {
        HandleException(target ? target : old);
    }
}

void TApplication::ControlDestroyed(TControl* Control) {
    if (FMouseControl == Control) FMouseControl = nullptr;
    if (FMainForm == Control) FMainForm = nullptr;
}

void TApplication::HandleException(TObject* Sender) {
    try {
        throw;
    } catch (const std::exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (...) {
        const Exception e("");
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    }
}

void TApplication::ShowException(const std::exception& E) {
    // The framework's exceptions keep their whole message, which may hold a NUL from a text
    // that came from outside; what() would end there, and so would the box. A NUL is shown
    // as the character that stands for it.
    std::string text;
    if (const auto* own = dynamic_cast<const Exception*>(&E)) {
        for (char c : own->Message()) text += c ? std::string(1, c) : std::string("\xE2\x90\x80");  // U+2400
    } else {
        text = E.what();
    }
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    HWND owner = GetActiveWindow();
    if (owner && !FindControl(owner)) owner = nullptr;
    return ::MessageBoxW(owner, ToWide(Text).c_str(), ToWide(Caption).c_str(), Flags);
}

// ======================= TScreen =======================

QUORIN_DEFINE_CLASS(TScreen, TComponent) {}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TCustomForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TCustomForm* f : FForms)
        if (f->HandleAllocated() && f->Handle() == active) return f;
    return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
    TCustomForm* f = ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}

int TScreen::PixelsPerInch() const {
    TClientDC screen(nullptr);
    return GetDeviceCaps(screen.Handle(), LOGPIXELSY);
}

}  // namespace quorin
