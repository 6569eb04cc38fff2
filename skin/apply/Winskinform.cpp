// Attaching a skin applier to a window, finishing, unskinning, the window-procedure
// tables, the form hook and the MDI client hook.
#include "skin/apply/Winskinform.h"

#include "forms/Dpi.h"

#include <algorithm>

#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/TypInfo.h"
#include "forms/WinText.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

QUORIN_DEFINE_CLASS(TWinSkinForm, TComponent) {}

bool SkinFramePainting = true;

namespace {

// Every live applier, so a window's applier can be found without the manager. The hook
// records are made first, so they outlive the list at program exit.
std::vector<TWinSkinForm*>& Appliers() {
    static std::vector<TWinSkinForm*> list = (TWindowHook::MakeRecords(), std::vector<TWinSkinForm*>());
    return list;
}

// At program exit the manager frees the appliers that have no owner (message boxes not
// yet forgotten): each takes itself off the list above, its hook off the records and its
// timer off the framework's timers. This end is made once an applier has all three, so it
// is destroyed first and the manager goes while they are whole; the manager's own end at
// exit then finds nothing left.
struct TManagerEnd {
    ~TManagerEnd() { FreeSkinManager(); }
};
void EndManagerBeforeAppliers() { static TManagerEnd end; }

// Windows 9x sets the high bit of GetVersion.
bool IsWin9x() { return (GetVersion() & 0x80000000u) != 0; }

void VersionNumbers(DWORD& Major, DWORD& Minor) {
    const DWORD v = GetVersion();
    Major = LOBYTE(LOWORD(v));
    Minor = HIBYTE(LOWORD(v));
}

std::string ClassNameOf(HWND Window) {
    wchar_t buffer[256] = {};
    GetClassNameW(Window, buffer, 256);
    return ToUtf8(buffer);
}

bool IsPaintMessage(UINT Msg) { return Msg == WM_NCPAINT || Msg == CN_UpdateNC || Msg == WM_NCACTIVATE; }

}  // namespace

TWinSkinForm* FindSkinForm(HWND Window) {
    if (!Window) return nullptr;
    for (TWinSkinForm* f : Appliers())
        if (f->FHandle == Window && f->FStatus != sfsDestroyed) return f;
    return nullptr;
}

// ======================= TNCObject =======================

void TNCObject::MouseDown() {
    if (Form->FHotObject && Form->FHotObject != this) Form->FHotObject->MouseLeave();
    if (!Enabled) return;
    Form->FHotObject = this;
    State = ncPressed;
    Draw();
}

void TNCObject::MouseUp() {
    if (!Enabled) return;
    State = ncHot;
    Draw();
}

void TNCObject::MouseEnter() {
    if (Form->FHotObject && Form->FHotObject != this) Form->FHotObject->MouseLeave();
    if (Form->FHotObject == this || !Enabled) return;
    Form->FHotObject = this;
    State = ncHot;
    Draw();
}

void TNCObject::MouseLeave() {
    if (!Enabled) return;
    if (Form->FHotObject == this) Form->FHotObject = nullptr;
    State = ncNormal;
    Draw();
}

// ======================= construction =======================

TWinSkinForm::TWinSkinForm(TComponent* AOwner) : TComponent(AOwner), FSelf(std::make_shared<TWinSkinForm*>(this)) {
    FCanvas = std::make_unique<TCanvas>();
    FDblClickTime = GetDoubleClickTime();
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        FOwnCaptionFont.Reset(CreateFontIndirectW(&ncm.lfCaptionFont));
    FCaptionFont = FOwnCaptionFont ? FOwnCaptionFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    FCaptionFontDpi = SystemDpi();
    Appliers().push_back(this);
}

TWinSkinForm::~TWinSkinForm() {
    auto& list = Appliers();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (TSkinManage* manager = SkinManage()) manager->FormFreed(this);
    // The window may outlive us: nothing of ours may run on it afterwards.
    FHook.Unhook();
    FMDIHook.Unhook();
    *FSelf = nullptr;
    if (FFormHooked && FForm && !FForm->Destroying() && !(FForm->ComponentState() & csDestroying))
        FForm->WindowProc = FOldWindowMethod;
    FFormHooked = false;
    DeleteControls();
    FControlListAlive = false;
    FHotObject = nullptr;
    FSysButtons.clear();
    FMenuBar.reset();
    FSysMenu.reset();
    FTimer.reset();
    // A region handed to SetWindowRgn belongs to the system; FRegion only records it.
    FRegion = nullptr;
}

// ======================= attaching =======================

void TWinSkinForm::InitTform(TSkinData* SkinData, TCustomForm* Form) {
    FForm = Form;
    if (!FHandle && Form && Form->HandleAllocated()) FHandle = Form->Handle();
    if (Form) SetProperty(Form, "AutoScroll", "False");
    InitSkin(SkinData);
    if (!FHook.Hooked() || !Form) return;
    if (FSkinFrame && !Form->Destroying()) {
        FOldWindowMethod = Form->WindowProc;
        std::shared_ptr<TWinSkinForm*> self = FSelf;
        TWndMethod previous = FOldWindowMethod;
        Form->WindowProc = [self, previous](TMessage& m) {
            if (*self)
                (*self)->NewWndProc(m);
            else if (previous)
                previous(m);
        };
        FFormHooked = true;
    }
    FOldColor = Form->Color();
    Form->SetColor(SkinData->Colors.ButtonFace);
    if (SkinData->SkinControls.Contains(xcMenuItem)) InitMainMenu(Form, true, false);
}

void TWinSkinForm::InitDlg(TSkinData* SkinData) { InitSkin(SkinData); }

void TWinSkinForm::InitSkin(TSkinData* SkinData) {
    // 1. Never twice, and never on a window that is gone.
    if (FHook.Hooked() || !SkinData || !FHandle || !IsWindow(FHandle)) return;
    if (!TWindowHook::CanHook(FHandle, THookKind::hkForm)) return;
    // 2. The skin at the window's scale.
    FSkinData = SkinData;
    UseSkinForDpi();
    if (!FTimer) {
        FTimer = std::make_unique<TTimer>(this);
        FTimer->SetEnabled(false);
        FTimer->SetInterval(250);
        FTimer->OnTimer = [this](TObject* Sender) { OnTimer(Sender); };
        // Running once makes the framework's list of timers, which the timer leaves when
        // it is freed, before the manager's end at exit is placed.
        FTimer->SetEnabled(true);
        FTimer->SetEnabled(false);
    }
    EndManagerBeforeAppliers();
    // 3. A skin without a title strip leaves the native frame alone.
    FSkinFrame = SkinData->SkinControls.Contains(xcMainMenu) && SkinData->Top() && !SkinData->Top()->Map.Empty();
    // 4.
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    FLeftScrollBar = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
    FChild = (style & WS_CHILD) != 0;
    FClassName = ClassNameOf(FHandle);
    FOwnerWindow = GetWindow(FHandle, GW_OWNER);
    // 5.
    FBorderIcons = 0;
    if ((style & WS_SYSMENU) || FSysMenuHandle) FBorderIcons |= biSysMenu;
    if (style & WS_MINIMIZEBOX) FBorderIcons |= biMinBox;
    if (style & WS_MAXIMIZEBOX) FBorderIcons |= biMaxBox;
    // 6, 7.
    GetWindowstate();
    GetFormstyle();
    // 8.
    if (exStyle & WS_EX_MDICHILD) {
        FFormStyle = fsfMDIChild;
        if (SkinData->Options.Contains(xoMDIChildBorder)) FSkinFrame = false;
    }
    // 9.
    FBorderKind = bkFixed;
    if ((style & WS_CAPTION) != WS_CAPTION)
        FBorderKind = bkNoCaption;
    else if (style & WS_THICKFRAME)
        FBorderKind = bkSizeable;
    else if (style & DS_MODALFRAME)
        FBorderKind = bkDialog;
    if (exStyle & WS_EX_DLGMODALFRAME) FBorderKind = bkDialog;
    // 10.
    DWORD major = 0, minor = 0;
    VersionNumbers(major, minor);
    const bool nt5 = !IsWin9x() && major >= 5 && minor == 0;
    if ((exStyle & WS_EX_APPWINDOW) && nt5) FBorderIcons |= biCaptionStyle;
    if (!FOwnerWindow && FFormStyle != fsfMDIChild && major >= 5 && minor == 0) FBorderIcons |= biCaptionStyle;
    // 11.
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    // A window skinned while it is already active gets no activation message to say so.
    FActive = GetActiveWindow() == FHandle;
    if (FClassName == "#32770" || FClassName == "TMessageForm") {
        FBorderKind = bkDialog;
        FIsDialog = true;
    }
    // 12, 13.
    StopUpdate();
    if (IsWin9x()) SkinData->SkinControls.Exclude(xcSystemMenu);
    // 14.
    if (FFormStyle == fsfMDIFrame) {
        FMenuUpdate = SkinData->MenuUpdate;
        SubclassMDI();
    }
    // 15.
    FAttachClient = RECT{};
    GetClientRect(FHandle, &FAttachClient);
    std::shared_ptr<TWinSkinForm*> self = FSelf;
    if (!FHook.Hook(FHandle, THookKind::hkForm, [self](TMessage& m) {
            if (*self) (*self)->WinWndProc(m);
        })) {
        UnSubclassMDI();
        BeginUpdate();
        return;
    }
    // 16.
    if (FSkinFrame) {
        FMenuHandle = GetMenu(FHandle);
        FHadNativeMenu = FMenuHandle != nullptr && !FChild;
        if (FMenuHandle && FFormStyle != fsfMDIChild) {
            FMenuBar = std::make_unique<TWinSkinMenu>(this, FSkinData, this);
            FMenuHeight = SystemMetricForDpi(SM_CYMENU, WindowDpi());
            FMenuBar->FMenu = FForm ? FForm->Menu() : nullptr;
            FMenuBar->UpdataBtn();
            // The native menu bar is gone from now on. Until the skinned frame takes
            // over (on CN_SkinActive) the native frame would hand its height to the
            // client area: keep the client as it was meanwhile.
            RECT now{};
            const int grown = GetClientRect(FHandle, &now) && FHadNativeMenu
                                  ? (now.bottom - now.top) - (FAttachClient.bottom - FAttachClient.top)
                                  : 0;
            RECT window{};
            if (grown > 0 && GetWindowRect(FHandle, &window))
                SetWindowPos(FHandle, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - grown,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        TSkinManage* manager = SkinManage();
        const bool mdiMax = manager && manager->FMDIMax;
        if (!(FFormStyle == fsfMDIChild && mdiMax) && FWinState != wsfMinimized) EnableSysbtn(false);
        InitSkinData();
    } else {
        FStatus = sfsSkinned;
    }
    // 17.
    const int t = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
    if (FFormStyle == fsfMDIChild && FTitleHeight < t) FMenuHeight = t - FTitleHeight;
    if (FFormStyle == fsfMDIChild && FWinState == wsfMaximized) {
        if (TSkinManage* manager = SkinManage(); manager && !manager->FMDIMax) manager->SetMDIMax(true);
    }
}

void TWinSkinForm::GetWindowstate() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!FHandle || !GetWindowPlacement(FHandle, &wp)) return;
    switch (wp.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: FWinState = wsfMinimized; break;
    case SW_SHOWMAXIMIZED: FWinState = wsfMaximized; break;
    default: FWinState = wsfNormal; break;
    }
}

void TWinSkinForm::GetFormstyle() {
    FFormStyle = fsfOrdinary;
    HWND client = FindWindowExW(FHandle, nullptr, L"MDIClient", nullptr);
    if (!client) return;
    FFormStyle = fsfMDIFrame;
    FMDIClient = client;
    if (TSkinManage* manager = SkinManage()) {
        manager->FMDIClient = client;
        manager->FMDIForm = FForm;
    }
}

void TWinSkinForm::StopUpdate() {
    TSkinManage* manager = SkinManage();
    if (!manager || !manager->FUpdateLock) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    if ((style & WS_CHILD) || !FSkinFrame || (style & WS_CAPTION) != WS_CAPTION || !(style & WS_VISIBLE)) return;
    SetWindowLongPtrW(FHandle, GWL_STYLE, style & ~LONG_PTR(WS_VISIBLE));
    FHiddenForUpdate = true;
}

void TWinSkinForm::BeginUpdate() {
    if (TSkinManage* manager = SkinManage()) manager->FUpdateLock = false;
    if (!FHiddenForUpdate) return;
    FHiddenForUpdate = false;
    if (FHandle && IsWindow(FHandle))
        SetWindowLongPtrW(FHandle, GWL_STYLE, GetWindowLongPtrW(FHandle, GWL_STYLE) | WS_VISIBLE);
}

void TWinSkinForm::AfterSkin() {
    if (FHandle && IsWindow(FHandle)) SendMessageW(FHandle, CN_SkinFinished, 0, SkinHandshake);
}

// ======================= finishing =======================

void TWinSkinForm::SkinActive() {
    if (!FHandle || !IsWindow(FHandle) || FStatus == sfsDestroyed || FStatus == sfsDestroying) return;
    // A window finished at once, before it was shown, still gets the message posted for it.
    if (FFinished) return;
    FFinished = true;
    // 1.
    FSysMenuHandle = GetSystemMenu(FHandle, FALSE);
    GetIcon(FIconBitmap);
    GetBorderSize();
    BeginUpdate();
    // 2.
    if (FForm)
        InitControls(FForm);
    else
        InitHwndControls(FHandle);
    if (!IsWindow(FHandle)) return;
    // 3.
    if (FStatus == sfsNew) {
        if (FFormStyle == fsfMDIChild) {
            if (FWinState == wsfMaximized) {
                TSkinManage* manager = SkinManage();
                if (manager && manager->FMDIClient) PostMessageW(manager->FMDIClient, CN_RedrawMDI, WPARAM(FHandle), 0);
            } else if (FWinState == wsfMinimized) {
                EnableSysbtn(true);
            } else {
                FStatus = sfsResizing;
                ResizeForm(false);
                FStatus = sfsSkinned;
                Cropwindow();
            }
        } else if (!FChild && FBorderKind != bkNoCaption && FWinState != wsfMinimized) {
            FStatus = sfsResizing;
            ResizeForm(false);
            FStatus = sfsSkinned;
            if (FWinState == wsfMaximized)
                Refresh();
            else
                Cropwindow();
        }
    }
    // 4.
    AfterSkin();
    FStatus = sfsSkinned;
    if (FTimer) FTimer->SetEnabled(true);
    if (IsWindowVisible(FHandle)) UpdateNc(nullptr);
}

// ======================= the window procedure =======================

void TWinSkinForm::Default(TMessage& Message) { FHook.Default(Message); }

void TWinSkinForm::WinWndProc(TMessage& Message) {
    // Nothing of the skin's own may escape into the system's frames.
    try {
        if (FStatus == sfsNew && Message.Msg == WM_NCPAINT) {
            Message.Result = 0;
            return;
        }
        switch (Message.Msg) {
        case WM_PAINT: NotePainted(); break;
        case WM_ERASEBKGND: WMERASEBKGND(Message); return;
        case WM_NCDESTROY:
            FStatus = sfsDestroying;
            UnSubclass3();
            Default(Message);
            FStatus = sfsDestroyed;
            return;
        case WM_NCACTIVATE:
            if (FStatus == sfsNew && FFormStyle != fsfMDIChild) {
                Message.Result = 0;
                return;
            }
            break;
        case 0xAE:  // the native caption's own painting
            // Only a skinned frame replaces it; a window that keeps the native frame needs
            // it to show a new caption text.
            if (!FSkinFrame) break;
            Message.Result = 0;
            return;
        case WM_INITMENUPOPUP:
            if (TSkinManage* manager = SkinManage()) manager->FPopupKind = HIWORD(Message.LParam) ? 2 : 1;
            Default(Message);
            return;
        case WM_CTLCOLORBTN:
            Default(Message);
            if (!FForm) SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
            return;
        case WM_CTLCOLORSTATIC: WMCtlcolor(Message); return;
        case CN_SkinActive: SkinActive(); return;
        case CN_ReCreateWnd: WMReCreateWnd(Message); return;
        case CN_IsSkinned: Message.Result = 1; return;
        case WM_GETOBJECT:
            if (AnswerFrameObject(Message)) return;
            break;
        case kWmDpiChanged:
            // The form scales itself first (its controls, fonts and client size); the
            // frame then follows at the new scale, keeping that client size.
            Default(Message);
            DpiChanged();
            return;
        case WM_SETTEXT:
            if (!FForm) {
                WMSetText(Message);
                return;
            }
            break;
        default: break;
        }
        if (!FSkinFrame) {
            Default(Message);
            return;
        }
        // The second table: windows with a skinned frame.
        if (FChild && FFormStyle != fsfMDIChild) {
            Default(Message);
            return;
        }
        switch (Message.Msg) {
        case WM_SIZE: WMSize(Message); return;
        case WM_ACTIVATE: FActive = LOWORD(Message.WParam) != WA_INACTIVE; break;
        case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); return;
        case WM_WINDOWPOSCHANGED: WMWINDOWPOSCHANGED(Message); return;
        case WM_NCACTIVATE: FActive = Message.WParam != 0; break;
        case WM_COMMAND: WMCommand(Message); return;
        case WM_SYSCOMMAND: WMSysCommand(Message); return;
        case CN_MenuSelect: MenuSelect(Message); return;
        case CM_MENUCHANGED: MenuChanged(Message, [this](TMessage& m) { Default(m); }); return;
        default: break;
        }
        // The third table.
        if ((FFormStyle == fsfMDIChild && FWinState == wsfMaximized) || FStatus == sfsNew) {
            Default(Message);
            return;
        }
        switch (Message.Msg) {
        case WM_SIZE: WMSize(Message); return;
        case WM_DRAWITEM: WMDRAWITEM(Message); return;
        case WM_MEASUREITEM: WMMEASUREITEM(Message); return;
        case WM_WINDOWPOSCHANGING: WMWindowPosChanging(Message); return;
        case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
        case WM_NCHITTEST: WMNCHitTest(Message); return;
        case WM_NCPAINT: WMNCPaint(Message); return;
        case WM_NCACTIVATE: WMNCActive(Message); return;
        case WM_NCMOUSEMOVE: WMNCMouseMove(Message); return;
        case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); return;
        case WM_NCLBUTTONUP: WMNCLButtonUp(Message); return;
        case WM_NCLBUTTONDBLCLK: WMNCLBUTTONDBLCLK(Message); return;
        case WM_NCRBUTTONDOWN: WMNCRButtonUp(Message); return;
        case CN_UpdateNC: UpdateNc(nullptr); return;
        default: Default(Message); return;
        }
    } catch (...) {
        // The skin falls silent; a frame message still gets an answer that keeps the
        // window usable.
        if (IsPaintMessage(Message.Msg)) Message.Result = Message.Msg == WM_NCACTIVATE ? 1 : 0;
    }
}

// A raw window's new text: the native frame paints its caption with it, so the skinned
// frame is painted again over it.
void TWinSkinForm::WMSetText(TMessage& Message) {
    Default(Message);
    if ((FStatus == sfsSkinned || FStatus == sfsChanging) && FSkinFrame && IsWindowVisible(FHandle)) UpdateNc(nullptr);
}

void TWinSkinForm::MenuChanged(TMessage& Message, const TWndMethod& Previous) {
    SkinFramePainting = false;
    try {
        Previous(Message);
    } catch (...) {
        SkinFramePainting = true;
        throw;
    }
    SkinFramePainting = true;
    if (!FSkinFrame || !FHandle || !IsWindow(FHandle)) return;
    HMENU menu = GetMenu(FHandle);
    if (FMenuBar && FSkinData && FSkinData->MenuUpdate && menu) {
        FMenuBar->FMenu = FForm ? FForm->Menu() : FMenuBar->FMenu;
        FMenuBar->UpdataBtn();
    }
    if (GetMenu(FHandle)) SetMenu(FHandle, nullptr);
    if (FStatus == sfsSkinned || FStatus == sfsChanging) UpdateNc(nullptr);
}

// ======================= the form hook =======================

void TWinSkinForm::NewWndProc(TMessage& Message) {
    const TWndMethod previous = FOldWindowMethod;
    auto callPrevious = [&](TMessage& m) {
        if (previous) previous(m);
    };
    switch (Message.Msg) {
    case WM_SETTEXT: {
        if (!IsWindowVisible(FHandle)) {
            callPrevious(Message);
            return;
        }
        if (!FUnicode) {
            SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
            callPrevious(Message);
            SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
            if (Application) Application->ProcessMessages();
        } else {
            callPrevious(Message);
        }
        try {
            if (FFormStyle == fsfMDIChild && FWinState == wsfMaximized) {
                TSkinManage* manager = SkinManage();
                if (manager && manager->FMDIClient) PostMessageW(manager->FMDIClient, CN_RedrawMDI, WPARAM(FHandle), 0);
            } else if (FWinState == wsfMinimized) {
                UpdateNc(nullptr);
            } else {
                Refresh();
            }
        } catch (...) {}
        return;
    }
    case CN_SkinChanged: try { SkinChange();
        } catch (...) {}
        return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_MENUCHANGED: MenuChanged(Message, callPrevious); return;
    case CN_PaintFrame:
        if (Message.LParam == SkinHandshake) {
            if (Message.WParam && GetObjectType(reinterpret_cast<HGDIOBJ>(Message.WParam)) != 0)
                UpdateNc(reinterpret_cast<HDC>(Message.WParam));
            Message.Result = SkinHandshake;
            return;
        }
        break;
    case CN_Handshake: Message.Result = Message.LParam == SkinHandshake ? SkinHandshake : 1; return;
    default: break;
    }
    callPrevious(Message);
}

// ======================= the timer =======================

void TWinSkinForm::OnTimer(TObject*) {
    if (FInMenu || !FHandle || !IsWindow(FHandle)) return;
    POINT p;
    if (!GetCursorPos(&p)) return;
    if (FHotObject) {
        const POINT w = GetWinXY(p.x, p.y);
        if (!PtInRect(&FHotObject->Rect, w)) FHotObject->MouseLeave();
    }
    if (!FForm && FHotControl) {
        RECT r{};
        if (!FHotControl->FHandle || !GetWindowRect(FHotControl->FHandle, &r) || !PtInRect(&r, p)) {
            TSkinControl* control = FHotControl;
            FHotControl = nullptr;
            control->MouseLeave();
        }
    }
}

// ======================= display scale =======================

int TWinSkinForm::WindowDpi() const {
    if (FForm) return FForm->FormDpiScale().Dpi;
    return FHandle ? DpiForWindow(FHandle) : SystemDpi();
}

bool TWinSkinForm::UseSkinForDpi() {
    if (!FSkinData) return false;
    const int dpi = WindowDpi();
    if (dpi != FCaptionFontDpi) {
        NONCLIENTMETRICSW ncm{};
        if (NonClientMetricsForDpi(ncm, dpi)) {
            FOwnCaptionFont.Reset(CreateFontIndirectW(&ncm.lfCaptionFont));
            FCaptionFont =
                FOwnCaptionFont ? FOwnCaptionFont.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
            FCaptionFontDpi = dpi;
        }
    }
    TSkinData* scaled = FSkinData->DpiSource()->ForDpi(dpi);
    if (scaled == FSkinData) return false;
    FSkinData = scaled;
    for (TSkinControl* p : FControlList) p->FSkinData = scaled;
    if (FMenuBar) {
        FMenuBar->FSkinData = scaled;
        for (auto& b : FMenuBar->FButtons) b->SkinData = scaled;
    }
    return true;
}

void TWinSkinForm::DpiChanged() {
    if (!FSkinData || !FHandle || !IsWindow(FHandle)) return;
    UseSkinForDpi();
    if (FMenuBar) FMenuHeight = SystemMetricForDpi(SM_CYMENU, WindowDpi());
    if (FStatus != sfsSkinned) return;
    DeleteSysbtn();
    InitSkinData();
    // The painters are invalidated, not painted one by one (a synchronous paint of every
    // control made a third of the change); everything invalid is painted once at the end.
    FDeferPaint = true;
    try {
        SkinChange();
    } catch (...) {
        FDeferPaint = false;
        throw;
    }
    FDeferPaint = false;
    RedrawWindow(FHandle, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// ======================= skin changes and removal =======================

void TWinSkinForm::SkinChange() {
    if (!FSkinData || !FHandle || !IsWindow(FHandle)) return;
    const TColor face = FSkinData->Colors.ButtonFace;
    if (FForm) {
        FForm->SetColor(face);
        for (int i = 0; i < FForm->ComponentCount(); ++i) {
            TComponent* c = FForm->Components(i);
            if (auto* owned = dynamic_cast<TCustomForm*>(c))
                owned->SetColor(face);
            else if (IsPublishedProp(c, "FixedColor"))
                SetProperty(c, "FixedColor", std::to_string(face));
        }
    }
    for (TSkinControl* p : std::vector<TSkinControl*>(FControlList)) p->SkinChange();
    FStatus = sfsChanging;
    if (FSkinFrame && FForm) {
        InitPopMenu(FForm, true, true);
        ResizeForm(true);
        FForm->SetHeight(FForm->Height() + 1);
        FForm->SetHeight(FForm->Height() - 1);
    } else if (FSkinFrame && FBorderKind != bkNoCaption && !(GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD)) {
        // A message box or dialog of the system keeps its client area under the new
        // frame too, as the forms above do.
        ResizeForm(true);
    }
    AfterSkin();
    FStatus = sfsSkinned;
}

void TWinSkinForm::UnSubclass() {
    if (!FSkinFrame) {
        UnSubclass2();
        return;
    }
    FSysMenu.reset();
    if (FTimer) FTimer->SetEnabled(false);
    if (!FHook.Hooked()) return;
    const bool alive = IsWindow(FHandle) != FALSE;
    // The client area keeps its size under the native frame.
    RECT client{};
    if (alive) GetClientRect(FHandle, &client);
    if (FFormHooked && FForm && !FForm->Destroying()) FForm->WindowProc = FOldWindowMethod;
    FFormHooked = false;
    FHook.Unhook();
    DeleteControls();
    if (FForm) {
        InitPopMenu(FForm, false, true);
        if (FSkinData && FSkinData->SkinControls.Contains(xcMenuItem)) InitMainMenu(FForm, false, false);
        if (FStatus != sfsDestroying) FForm->SetColor(FOldColor);
    }
    if (!alive) return;
    UpdateStyle(false);
    EnableSysbtn(true);
    if (FMenuBar) {
        HMENU menu = FMenuBar->FMenuHandle ? FMenuBar->FMenuHandle : FMenuHandle;
        if (FForm && FForm->Menu()) menu = FForm->Menu()->Handle();
        if (menu && IsMenu(menu)) SetMenu(FHandle, menu);
        FMenuBar.reset();
    }
    UnSubclassMDI();
    if (FStatus != sfsDestroying && (!FChild || FFormStyle == fsfMDIChild)) {
        const UINT flags = SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER;
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
        if (!IsIconic(FHandle) && !IsZoomed(FHandle)) {
            RECT now{}, window{};
            GetClientRect(FHandle, &now);
            GetWindowRect(FHandle, &window);
            const int w = window.right - window.left + (client.right - now.right);
            const int h = window.bottom - window.top + (client.bottom - now.bottom);
            SetWindowPos(FHandle, nullptr, 0, 0, w, h, flags | SWP_NOMOVE);
        }
    }
    // The system frees the region it held.
    SetWindowRgn(FHandle, nullptr, TRUE);
    FRegion = nullptr;
    FRegionSet = false;
    FRegionWidth = FRegionHeight = 0;
    if (FForm && FStatus != sfsDestroying) FForm->Invalidate();
}

void TWinSkinForm::UnSubclass2() {
    if (FTimer) FTimer->SetEnabled(false);
    DeleteControls();
    if (FForm) {
        InitPopMenu(FForm, false, true);
        if (FSkinData && FSkinData->SkinControls.Contains(xcMenuItem)) InitMainMenu(FForm, false, false);
        if (FStatus != sfsDestroying && !FForm->Destroying()) FForm->SetColor(FOldColor);
    }
    if (FFormHooked && FForm && !FForm->Destroying()) FForm->WindowProc = FOldWindowMethod;
    FFormHooked = false;
    FHook.Unhook();
    UnSubclassMDI();
    if (FStatus != sfsDestroying && FForm && !FForm->Destroying()) {
        for (int i = 0; i < FForm->ComponentCount(); ++i)
            if (auto* c = dynamic_cast<TControl*>(FForm->Components(i))) c->Invalidate();
    }
}

void TWinSkinForm::UnSubclass3() {
    if (!FSkinFrame) {
        UnSubclass2();
        return;
    }
    FSysMenu.reset();
    if (FTimer) FTimer->SetEnabled(false);
    if (FFormHooked && FForm && !FForm->Destroying() && !(FForm->ComponentState() & csDestroying))
        FForm->WindowProc = FOldWindowMethod;
    FFormHooked = false;
    FHook.Unhook();
    DeleteControls();
    FMenuBar.reset();
    FHotObject = nullptr;
}

// ======================= the MDI client =======================

void TWinSkinForm::SubclassMDI() {
    if (!FMDIClient || FMDIHook.Hooked()) return;
    std::shared_ptr<TWinSkinForm*> self = FSelf;
    FMDIHook.Hook(FMDIClient, THookKind::hkMDIClient, [self](TMessage& m) {
        if (*self) (*self)->WinMDIProc(m);
    });
}

void TWinSkinForm::UnSubclassMDI() { FMDIHook.Unhook(); }

void TWinSkinForm::DefaultMDI(TMessage& Message) { FMDIHook.Default(Message); }

void TWinSkinForm::WinMDIProc(TMessage& Message) {
    TSkinManage* manager = SkinManage();
    switch (Message.Msg) {
    case WM_NCDESTROY:
        DefaultMDI(Message);
        UnSubclassMDI();
        return;
    case WM_NCCALCSIZE:
        if (FSkinFrame && FSkinData && !FSkinData->Options.Contains(xoMDIScrollbar)) {
            const LONG_PTR style = GetWindowLongPtrW(FMDIClient, GWL_STYLE);
            if (style & (WS_HSCROLL | WS_VSCROLL))
                SetWindowLongPtrW(FMDIClient, GWL_STYLE, style & ~LONG_PTR(WS_HSCROLL | WS_VSCROLL));
        }
        DefaultMDI(Message);
        return;
    case WM_MDICREATE:
        if (FSkinData) FSkinData->MenuUpdate = false;
        DefaultMDI(Message);
        return;
    case WM_MDIDESTROY:
        DefaultMDI(Message);
        if (FSkinFrame) {
            if (manager) manager->SetMDIMax(MDIChildMax());
            if (!SendMessageW(FMDIClient, WM_MDIGETACTIVE, 0, 0) && FMenuBar) {
                if (FSkinData) FSkinData->MenuUpdate = FMenuUpdate;
                FMenuBar->UpdataBtn();
            }
        }
        return;
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (FSkinFrame && manager) manager->SetMDIMax(false);
        DefaultMDI(Message);
        return;
    case WM_MDISETMENU:
        DefaultMDI(Message);
        if (FSkinFrame) {
            if (Message.WParam && FMenuBar) FMenuBar->UpdataBtn2(reinterpret_cast<HMENU>(Message.WParam));
            if (GetMenu(FHandle)) SetMenu(FHandle, nullptr);
        }
        return;
    case CN_RedrawMDI:
        RedrawWindow(FHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        return;
    default: DefaultMDI(Message); return;
    }
}

}  // namespace quorin
