// Controls: the message method, windows made on demand, painting of windowless children,
// tab order and the handle-to-object link.
#include "forms/Controls.h"

#include "forms/Accessible.h"

#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "forms/WinText.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_map>

namespace quorin {

namespace {

// The window property linking a handle to its control object; the name carries the module
// instance and the thread, as the windows of one module and thread belong together.
struct ControlAtom {
    wchar_t name[64];
    ATOM atom;
    ControlAtom() {
        swprintf(name, 64, L"ControlOfs%.8llX%.8X",
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))),
                 static_cast<unsigned>(GetCurrentThreadId()));
        atom = GlobalAddAtomW(name);
    }
};

const ControlAtom& TheControlAtom() {
    static const ControlAtom atom;
    return atom;
}

constexpr const wchar_t* kNameProperty = L"QuorinName";

// The same link for the windows of this thread, kept in the process: the window
// procedure looks its control up on every message, and a property is read from the
// window manager's store each time (on some systems a call to another process).
std::unordered_map<HWND, TWinControl*>& ThreadControls() {
    thread_local std::unordered_map<HWND, TWinControl*> controls;
    return controls;
}

TWinControl* LookupControl(HWND Window) {
    const auto& controls = ThreadControls();
    const auto it = controls.find(Window);
    return it == controls.end() ? nullptr : it->second;
}

// The original window procedure of each class the framework registered.
std::map<std::wstring, WNDPROC>& ClassProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}

thread_local TWinControl* CreationControl = nullptr;

bool IsFrameworkMessage(UINT msg) {
    return (msg >= CM_BASE && msg < CM_BASE + 0x100) || (msg >= CN_BASE && msg < CN_BASE + 0x200);
}

}  // namespace

const wchar_t* ControlPropertyName() { return TheControlAtom().name; }

TWinControl* FindControl(HWND Handle) {
    if (!Handle) return nullptr;
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(Handle, &pid);
    if (pid != GetCurrentProcessId() || tid != GetCurrentThreadId()) return nullptr;
    return LookupControl(Handle);
}

// ======================= TControl =======================

QUORIN_DEFINE_CLASS(TControl, TComponent) {
    p.Int("Left", &TControl::Left, &TControl::SetLeft);
    p.Int("Top", &TControl::Top, &TControl::SetTop);
    p.Int("Width", &TControl::Width, &TControl::SetWidth);
    p.Int("Height", &TControl::Height, &TControl::SetHeight);
    p.Enum<TAlign>("Align", &TControl::Align, &TControl::SetAlign,
                   {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    p.Str("Caption", &TControl::Caption, &TControl::SetCaption);
    p.Int("Color", &TControl::Color, &TControl::SetColor).Idents = ColorIdents();
    p.Part<TFont>("Font", [](const TControl& c) -> const TFont& { return c.Font(); });
    p.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
    p.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
    p.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled);
    p.Bool("Visible", &TControl::Visible, &TControl::SetVisible);
    p.Str("Hint", &TControl::Hint, &TControl::SetHint);
    p.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
    p.Ref<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
    p.Event("OnClick", &TControl::OnClick);
    p.Event("OnDblClick", &TControl::OnDblClick);
    p.Event("OnResize", &TControl::OnResize);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    FFont.OnChange = [this](TObject*) {
        if (!FApplyingParentFont) FParentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    if (Application) Application->ControlDestroyed(this);
    if (FParent) FParent->RemoveControl(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage m{Msg, WParam, LParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& Message) { DefaultHandler(Message); }

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FApplyingParentFont = true;
            FFont.Assign(FParent->Font());
            FApplyingParentFont = false;
        }
        break;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent && FColor != FParent->Color()) {
            FColor = FParent->Color();
            ColorChanged();
        }
        break;
    default: break;
    }
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (AParent == this) throw EComponentError("A control cannot be its own parent");
    for (TWinControl* p = AParent; p; p = p->Parent())
        if (p == this) throw EComponentError("A control cannot be a child of its own child");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* AParent) {
    if (auto* w = dynamic_cast<TWinControl*>(AParent)) SetParent(w);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    const bool resized = AWidth != FWidth || AHeight != FHeight;
    if (!dynamic_cast<TWinControl*>(this)) Invalidate();  // the old place
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    BoundsChanged();
    if (!dynamic_cast<TWinControl*>(this)) Invalidate();
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
    if (resized && OnResize && !(ComponentState() & csLoading)) OnResize(this);
}

RECT TControl::ClientRect() const { return RECT{0, 0, FWidth, FHeight}; }
int TControl::ClientWidth() const {
    const RECT r = ClientRect();
    return r.right - r.left;
}
int TControl::ClientHeight() const {
    const RECT r = ClientRect();
    return r.bottom - r.top;
}
void TControl::SetClientWidth(int Value) { SetWidth(Value); }
void TControl::SetClientHeight(int Value) { SetHeight(Value); }

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    if (FParent) FParent->Realign();
}

POINT TControl::ClientToScreen(POINT P) const {
    if (auto* w = dynamic_cast<const TWinControl*>(this); w && w->HandleAllocated()) {
        ::ClientToScreen(const_cast<TWinControl*>(w)->Handle(), &P);
        return P;
    }
    P.x += FLeft;
    P.y += FTop;
    return FParent ? FParent->ClientToScreen(P) : P;
}

POINT TControl::ScreenToClient(POINT P) const {
    const POINT origin = ClientToScreen(POINT{0, 0});
    return POINT{P.x - origin.x, P.y - origin.y};
}

void TControl::SetText(const std::string& Value) {
    if (Value == GetText() && Value == FText) return;
    FText = Value;
    TextChanged();
    Perform(CM_TEXTCHANGED);
    AccessibleChanged(this, TAccessibleChange::Value);
}

void TControl::SetColor(TColor Value) {
    if (Value == FColor) {
        FParentColor = false;
        return;
    }
    FColor = Value;
    FParentColor = false;
    ColorChanged();
}

void TControl::SetParentColor(bool Value) {
    if (Value == FParentColor) return;
    FParentColor = Value;
    if (Value && FParent) {
        FColor = FParent->Color();
        ColorChanged();
    }
}

void TControl::SetParentFont(bool Value) {
    FParentFont = Value;
    if (Value && FParent) {
        FApplyingParentFont = true;
        FFont.Assign(FParent->Font());
        FApplyingParentFont = false;
    }
}

void TControl::FontChanged() { Invalidate(); }

void TControl::ColorChanged() {
    Invalidate();
    Perform(CM_COLORCHANGED);
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) return;
    VisibleChanging();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value);
    if (auto* w = dynamic_cast<TWinControl*>(this)) {
        w->UpdateShowing();
    } else if (FParent && FParent->HandleAllocated()) {
        const RECT r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, TRUE);
    }
    if (FParent && FAlign != TAlign::alNone) FParent->Realign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetPopupMenu(TPopupMenu* Value) {
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Invalidate() {}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TControl::Update() {
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        UpdateWindow(w->Handle());
    else if (FParent)
        FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

TCustomForm* TControl::GetParentForm() const { return quorin::GetParentForm(this); }

void TControl::ScaleBoundsForDpi(const TDpiScale& Scale) {
    const RECT now = BoundsRect();
    if (!FBoundsScaled || !EqualRect(&now, &FScaledBounds)) {
        // First scaling, or moved since: what it is now, said at the stored DPI.
        const TDpiScale& at = FBoundsScaled ? FBoundsScale : TDpiScale{Scale.Stored, Scale.Stored};
        FStoredBounds = {at.Unscale(FLeft), at.Unscale(FTop), at.Unscale(FWidth), at.Unscale(FHeight)};
    }
    FBoundsScale = Scale;
    FBoundsScaled = true;
    // Position and size are scaled apart, so controls of one size keep one size.
    SetBounds(Scale.Scale(FStoredBounds.Left), Scale.Scale(FStoredBounds.Top), Scale.Scale(FStoredBounds.Width),
              Scale.Scale(FStoredBounds.Height));
    FScaledBounds = BoundsRect();
}

void TControl::ScaleForDpi(const TDpiScale& Scale) {
    ScaleBoundsForDpi(Scale);
    const bool applying = FApplyingParentFont;
    FApplyingParentFont = true;  // the font's scale is not a choice of font: ParentFont stays
    FFont.SetDpiScale(Scale);
    FApplyingParentFont = applying;
}

void TWinControl::ScaleForDpi(const TDpiScale& Scale) {
    TControl::ScaleForDpi(Scale);
    for (TControl* c : std::vector<TControl*>(FControls)) c->ScaleForDpi(Scale);
    Realign();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::Loaded() { TComponent::Loaded(); }

// ======================= TGraphicControl =======================

QUORIN_DEFINE_CLASS(TGraphicControl, TControl) {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::Invalidate() {
    if (FParent && FParent->HandleAllocated() && FVisible) {
        const RECT r = BoundsRect();
        InvalidateRect(FParent->Handle(), &r, TRUE);
    }
}

void TGraphicControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        if (Message.WParam) {
            TCanvas canvas;
            canvas.Font().Assign(FFont);
            canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
            Paint(canvas);
            canvas.SetHandle(nullptr);
        }
        return;
    case WM_LBUTTONUP:
        if (FEnabled) Click();
        return;
    case WM_LBUTTONDBLCLK:
        if (FEnabled && OnDblClick) OnDblClick(this);
        return;
    default: TControl::DefaultHandler(Message);
    }
}

// ======================= TWinControl =======================

QUORIN_DEFINE_CLASS(TWinControl, TControl) {
    p.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1, 32767);
    p.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
    p.Event("OnEnter", &TWinControl::OnEnter);
    p.Event("OnExit", &TWinControl::OnExit);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    FDestroying = true;
    if (auto* form = GetParentForm(); form && form != this) form->DefocusControl(this, true);
    // Children go first, while this window still exists for them to leave.
    while (!FControls.empty()) delete FControls.back();
    DestroyHandle();
    // Should the window have gone without its last message reaching us, its handle, once
    // reused, must not lead here.
    auto& controls = ThreadControls();
    for (auto it = controls.begin(); it != controls.end();)
        it = it->second == this ? controls.erase(it) : std::next(it);
}

namespace {
TWindowsMadeHook WindowsMadeHook = nullptr;
unsigned WindowsMade = 0;  // windows made by the framework so far

void TellWindowsMade(TWinControl& Root, unsigned Before) {
    if (WindowsMadeHook && WindowsMade != Before && !Root.Destroying()) WindowsMadeHook(Root);
}
}  // namespace

HWND TWinControl::Handle() {
    if (!FHandle) {
        if (FDestroying) throw EComponentError("Control " + Name() + " is being destroyed");
        const unsigned before = WindowsMade;
        if (FParent) FParent->HandleNeeded();
        if (!FHandle) CreateWnd();
        TellWindowsMade(*this, before);
    }
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = ToWide(FText);
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible && !FMadeHidden) Params.Style |= WS_VISIBLE;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->Handle() : nullptr;
}


void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EComponentError("Control '" + Name() + "' has no parent window");
    const std::wstring className = ToWide(ClassName());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto& procs = ClassProcs();
    if (procs.find(className) == procs.end()) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        WNDPROC defProc = DefWindowProcW;
        if (!params.BaseClass.empty()) {
            if (!GetClassInfoExW(nullptr, params.BaseClass.c_str(), &wc))
                throw EComponentError("Window class " + ToUtf8(params.BaseClass) + " is not available");
            defProc = wc.lpfnWndProc;
        } else {
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hIcon = LoadIconW(instance, L"MAINICON");
        }
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = InitWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = className.c_str();
        wc.style = (wc.style | params.ClassStyle) & ~UINT(CS_GLOBALCLASS);
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw EComponentError("Cannot register the window class " + ClassName());
        procs[className] = defProc;
    }
    FDefWndProc = procs[className];
    CreateWindowHandle(params);
    if (!FHandle) throw EComponentError("Error creating window of " + Name() + " (" + ClassName() + ")");
    // Later siblings lie above earlier ones, as the list of controls says; a window made
    // after some of its later siblings goes beneath the first of them.
    if (params.Style & WS_CHILD)
        SetWindowPos(FHandle, WindowAbove(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
    UpdateNameAtom();
    InitializeWnd();
    CreateChildWindows();
    Realign();
}

HWND TWinControl::WindowAbove() const {
    if (!FParent) return HWND_TOP;
    const auto& siblings = FParent->FControls;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end()) return HWND_TOP;
    for (++it; it != siblings.end(); ++it)
        if (auto* w = dynamic_cast<TWinControl*>(*it); w && w->FHandle) return w->FHandle;
    return HWND_TOP;
}

// A hidden child control (a page behind another, a box switched off) makes its own window
// only: its children's windows follow when it is first shown, or one by one as their
// handles are asked for. Windows take time to make, and most pages of a window are never
// looked at in a session. Hidden children wait the same way; top-level windows make all
// of theirs at once.
bool TWinControl::MakesChildWindows() const { return FVisible || !FParent; }

void TWinControl::CreateChildWindows() {
    if (!FHandle || !MakesChildWindows()) return;
    for (TControl* c : std::vector<TControl*>(FControls))
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->FHandle && w->FVisible && !w->Destroying())
            w->CreateWnd();
}

namespace {
void CreateTreeWindows(TWinControl* Control) {
    Control->HandleNeeded();
    for (int i = 0; i < Control->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Control->Controls(i)); w && !w->Destroying()) CreateTreeWindows(w);
}
}  // namespace

void SetWindowsMadeHook(TWindowsMadeHook Hook) { WindowsMadeHook = Hook; }

bool TWinControl::CreateWaitingWindows() {
    if (Destroying()) return false;
    if (!FHandle) {
        const unsigned before = WindowsMade;
        CreateTreeWindows(this);
        TellWindowsMade(*this, before);
        return true;
    }
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(Controls(i)); w && w->CreateWaitingWindows()) return true;
    return false;
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    TWinControl* previous = CreationControl;
    CreationControl = this;
    HWND h = CreateWindowExW(Params.ExStyle, ToWide(ClassName()).c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    CreationControl = previous;
    if (h) ++WindowsMade;
    if (h && !FHandle) FHandle = h;
}

void TWinControl::DestroyWnd() {
    if (!FHandle) return;
    FText = ToUtf8(WindowTextW(FHandle));
    DestroyWindow(FHandle);
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
    FHandle = nullptr;
}

void TWinControl::RecreateWnd() {
    // Through WindowProc, so that objects hooked to the control (skin painters) learn that
    // the window they follow is replaced; the default handling makes the new window.
    if (FHandle) Perform(CM_RECREATEWND);
}

void TWinControl::DoRecreateWnd() {
    if (!FHandle || Destroying()) return;
    const bool hadFocus = Focused();
    DestroyHandle();
    HandleNeeded();
    if (hadFocus) SetFocus();
}

void TWinControl::UpdateNameAtom() {
    if (!FHandle) return;
    if (FNameAtom) {
        RemovePropW(FHandle, kNameProperty);
        GlobalDeleteAtom(FNameAtom);
        FNameAtom = 0;
    }
    if (!Name().empty()) {
        FNameAtom = GlobalAddAtomW(ToWide(Name()).c_str());
        SetPropW(FHandle, kNameProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(FNameAtom)));
    }
}

void TWinControl::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    UpdateNameAtom();
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = LookupControl(hwnd);
    if (!control) {
        control = CreationControl;
        if (!control || control->FHandle) {
            // A window of one of our classes that no control made: native behaviour.
            wchar_t cls[256];
            GetClassNameW(hwnd, cls, 256);
            auto it = ClassProcs().find(cls);
            return it == ClassProcs().end() ? DefWindowProcW(hwnd, msg, wParam, lParam)
                                            : CallWindowProcW(it->second, hwnd, msg, wParam, lParam);
        }
        control->FHandle = hwnd;
        SetPropW(hwnd, MAKEINTATOM(TheControlAtom().atom), control);
        ThreadControls()[hwnd] = control;
    }
    return StdWndProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = LookupControl(hwnd);
    if (!control) return DefWindowProcW(hwnd, msg, wParam, lParam);
    TMessage m{msg, wParam, lParam, 0};
    // No exception may cross the system's frames: the application shows it and the
    // message ends here.
    try {
        control->WindowProc(m);
    } catch (...) {
        // A failure while painting is not shown: a message box would ask for the same
        // painting again, over and over. The area counts as painted.
        switch (msg) {
        case WM_PAINT: ValidateRect(hwnd, nullptr); break;
        case WM_NCPAINT:
        case WM_DRAWITEM:
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
        case WM_PRINT: break;
        default:
            if (Application) Application->HandleException(control);
        }
    }
    return m.Result;
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (Message.Msg == CM_RECREATEWND) {
        DoRecreateWnd();
        return;
    }
    if (IsFrameworkMessage(Message.Msg) || !FHandle) {
        TControl::DefaultHandler(Message);
        return;
    }
    Message.Result = CallWindowProcW(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::ReflectToChild(TMessage& Message, HWND Child) {
    TWinControl* child = FindControl(Child);
    if (child && child != this) {
        Message.Result = child->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_COMMAND: WMFromChild(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam)); return;
    case WM_HSCROLL:
    case WM_VSCROLL: WMFromChild(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: CNCtlColor(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_PAINT: WMPaint(Message); return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: WMMouse(Message); return;
    case WM_CONTEXTMENU: WMContextMenu(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_SYSCOLORCHANGE: WMSysColorChange(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_NCDESTROY: WMNCDestroy(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case WM_GETOBJECT:
        if (AnswerControlObject(this, Message)) return;
        TControl::WndProc(Message);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED: Broadcast(Message); return;
    case CM_ENTER:
        if (OnEnter) OnEnter(this);
        return;
    case CM_EXIT:
        if (OnExit) OnExit(this);
        return;
    case CM_PARENTFONTCHANGED:
    case CM_PARENTCOLORCHANGED: TControl::DefaultHandler(Message); return;
    default: TControl::WndProc(Message); return;
    }
}

// WM_COMMAND, WM_HSCROLL, WM_VSCROLL: a child control's goes back to it; the window's own
// (a menu, an accelerator, its own scroll bar) goes on.
void TWinControl::WMFromChild(TMessage& Message) {
    if (Message.LParam) {
        ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
        return;
    }
    TControl::WndProc(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (hdr && hdr->hwndFrom != FHandle) {
        ReflectToChild(Message, hdr->hwndFrom);
        return;
    }
    TControl::WndProc(Message);
}

// Owner-drawn children draw and measure themselves; the menu's items are the form's.
void TWinControl::WMDrawItem(TMessage& Message) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
    if (dis && dis->CtlType != ODT_MENU) {
        ReflectToChild(Message, dis->hwndItem);
        return;
    }
    TControl::WndProc(Message);
}

void TWinControl::WMMeasureItem(TMessage& Message) {
    const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam);
    if (mis && mis->CtlType != ODT_MENU) {
        ReflectToChild(Message, GetDlgItem(FHandle, int(mis->CtlID)));
        return;
    }
    TControl::WndProc(Message);
}

// A WM_CTLCOLOR* reflected by the parent: the control's own font colour and background.
void TWinControl::CNCtlColor(TMessage& Message) {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(dc, ColorRef(FFont.Color()));
    SetBkColor(dc, ColorRef(FColor));
    Message.Result = reinterpret_cast<LRESULT>(ColorBrush());
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    if (EraseBackground(reinterpret_cast<HDC>(Message.WParam))) {
        Message.Result = 1;
        return;
    }
    TControl::WndProc(Message);
}

// Windowless children are painted on top of the native painting; a window with neither is
// left to its class.
void TWinControl::WMPaint(TMessage& Message) {
    bool hasGraphic = false;
    for (TControl* c : FControls)
        if (!dynamic_cast<TWinControl*>(c)) hasGraphic = true;
    if (hasGraphic || FDefWndProc == DefWindowProcW) {
        PaintHandler(Message);
        return;
    }
    TControl::WndProc(Message);
}

// The windowless child under the mouse gets the message too; a left button-up it took
// ends there.
void TWinControl::WMMouse(TMessage& Message) {
    DispatchMouseToGraphic(Message);
    if (Message.Msg == WM_LBUTTONUP && Message.Result == -1) {
        Message.Result = 0;
        return;
    }
    TControl::WndProc(Message);
}

void TWinControl::WMContextMenu(TMessage& Message) {
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        POINT p = LParamPoint(Message.LParam);
        if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(p.x, p.y);
        return;
    }
    TControl::WndProc(Message);
}

void TWinControl::WMSetFocus(TMessage& Message) {
    DefaultHandler(Message);
    if (auto* form = GetParentForm(); form && form != this) form->FocusControl(this);
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    DefaultHandler(Message);
    const auto* wp = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
    if (wp && !(GetWindowLongW(FHandle, GWL_STYLE) & WS_CHILD)) {
        // A top-level window's bounds are on the screen; a minimized one keeps the
        // bounds it had, so restoring and reading Width still agree.
        if (IsIconic(FHandle) || ((wp->flags & SWP_NOSIZE) && (wp->flags & SWP_NOMOVE))) return;
        RECT r;
        GetWindowRect(FHandle, &r);
        const bool resized = (r.right - r.left) != FWidth || (r.bottom - r.top) != FHeight;
        FLeft = r.left;
        FTop = r.top;
        FWidth = r.right - r.left;
        FHeight = r.bottom - r.top;
        // SetBounds records the new size before the window has it: follow the client
        // area whenever the size was touched.
        if (!(wp->flags & SWP_NOSIZE)) BoundsResized();
        if (resized && OnResize && !(ComponentState() & csLoading)) OnResize(this);
        return;
    }
    if (wp && (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE))) {
        RECT r;
        GetWindowRect(FHandle, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
        const bool resized = (r.right - r.left) != FWidth || (r.bottom - r.top) != FHeight;
        // Combo boxes report their closed height; keep the laid-out one.
        if (!dynamic_cast<TComboBox*>(this)) {
            FWidth = r.right - r.left;
            FHeight = r.bottom - r.top;
        }
        FLeft = r.left;
        FTop = r.top;
        if (resized) {
            Realign();
            if (OnResize && !(ComponentState() & csLoading)) OnResize(this);
        }
    }
}

// The window is gone: the handle, its properties and its entry in the thread's table go.
void TWinControl::WMNCDestroy(TMessage& Message) {
    DefaultHandler(Message);
    if (FHandle) {
        if (FNameAtom) {
            RemovePropW(FHandle, kNameProperty);
            GlobalDeleteAtom(FNameAtom);
            FNameAtom = 0;
        }
        RemovePropW(FHandle, MAKEINTATOM(TheControlAtom().atom));
        ThreadControls().erase(FHandle);
        FHandle = nullptr;
    }
}

void TWinControl::CMEnabledChanged(TMessage& Message) {
    if (FHandle) EnableWindow(FHandle, FEnabled);
    TControl::WndProc(Message);
    AccessibleChanged(this, TAccessibleChange::State);
}

void TWinControl::DispatchMouseToGraphic(TMessage& Message) {
    const POINT p = LParamPoint(Message.LParam);
    TControl* c = ControlAtPos(p);
    if (!c || dynamic_cast<TWinControl*>(c)) return;
    const LPARAM local = MAKELPARAM(p.x - c->Left(), p.y - c->Top());
    c->Perform(Message.Msg, Message.WParam, local);
    if (Message.Msg == WM_LBUTTONUP) Message.Result = -1;
}

std::string TWinControl::GetText() const {
    if (FHandle) return ToUtf8(WindowTextW(FHandle));
    return FText;
}

void TWinControl::TextChanged() {
    if (FHandle) SetWindowTextW(FHandle, ToWide(FText).c_str());
}

void TWinControl::BoundsChanged() { UpdateWindowBounds(); }

void TWinControl::UpdateWindowBounds() {
    if (FHandle) SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::FontChanged() {
    if (FHandle) {
        SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), TRUE);
        InvalidateRect(FHandle, nullptr, TRUE);
    }
    TMessage m{CM_PARENTFONTCHANGED, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(FControls)) c->WindowProc(m);
}

void TWinControl::ColorChanged() {
    FBrush.Reset();
    TControl::ColorChanged();
    TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(FControls)) c->WindowProc(m);
}

// The system's colours changed (another theme, high contrast): a brush made from the old
// ones goes, the control takes its colours again, and so do its children, native ones
// included (the system tells only top-level windows; common controls need it passed on).
void TWinControl::WMSysColorChange(TMessage& Message) {
    ColorChanged();
    DefaultHandler(Message);
    for (TControl* c : std::vector<TControl*>(FControls))
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            TMessage m{WM_SYSCOLORCHANGE, Message.WParam, Message.LParam, 0};
            w->WindowProc(m);
        }
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

HBRUSH TWinControl::ColorBrush() {
    if (FBrush && FBrushColor != FColor) FBrush.Reset();
    if (!FBrush) {
        FBrush.Reset(CreateSolidBrush(ColorRef(FColor)));
        FBrushColor = FColor;
    }
    return FBrush.Get();
}

bool TWinControl::EraseBackground(HDC DC) {
    if (FDefWndProc != DefWindowProcW) return false;
    RECT r;
    GetClientRect(FHandle, &r);
    ::FillRect(DC, &r, ColorBrush());
    return true;
}

void TWinControl::PaintHandler(TMessage& Message) {
    if (Message.WParam) {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    TPaintDC dc(FHandle);
    PaintWindow(dc.Handle());
    PaintControls(dc.Handle());
}

void TWinControl::PaintWindow(HDC DC) {
    if (FDefWndProc == DefWindowProcW) return;  // nothing native to paint
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC DC) {
    for (TControl* c : FControls) {
        if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
        const RECT r = c->BoundsRect();
        if (!RectVisible(DC, &r)) continue;
        TSavedDC saved(DC);
        IntersectClipRect(DC, r.left, r.top, r.right, r.bottom);
        POINT org;
        GetViewportOrgEx(DC, &org);
        SetViewportOrgEx(DC, org.x + r.left, org.y + r.top, nullptr);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    }
}

void TWinControl::InsertControl(TControl* AControl) {
    FControls.push_back(AControl);
    AControl->FParent = this;
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) {
        w->FTabOrderLoading = int(FTabList.size());
        FTabList.push_back(w);
        if (w->FHandle) {
            if (FHandle)
                ::SetParent(w->FHandle, FHandle);
            else
                w->DestroyHandle();
        } else if (FHandle) {
            w->HandleNeeded();
        }
    } else if (FHandle) {
        AControl->Invalidate();
    }
    if (AControl->FParentFont) {
        AControl->FApplyingParentFont = true;
        AControl->FFont.Assign(FFont);
        AControl->FApplyingParentFont = false;
    }
    if (AControl->FParentColor) AControl->FColor = FColor;
    if (AControl->FAlign != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    if (!FDestroying) AControl->Invalidate();
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    if (auto* w = dynamic_cast<TWinControl*>(AControl))
        FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), w), FTabList.end());
    if (FMouseControl == AControl) FMouseControl = nullptr;
    AControl->FParent = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT P, bool AllowDisabled) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!AllowDisabled && !c->Enabled())) continue;
        const RECT r = c->BoundsRect();
        if (PtInRect(&r, P)) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    for (TControl* c : std::vector<TControl*>(FControls)) {
        c->WindowProc(Message);
        if (Message.Result != 0) return;
    }
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    if (ComponentState() & csLoading) return FTabOrderLoading;
    const auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (ComponentState() & csLoading) {
        // The layout's order is sorted out once every sibling has been read (FixupTabList).
        FTabOrderLoading = Value;
        return;
    }
    if (!FParent) return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    if (Value < 0 || Value > int(list.size())) Value = int(list.size());
    list.insert(list.begin() + Value, this);
}

void TWinControl::FixupTabList() {
    std::stable_sort(FTabList.begin(), FTabList.end(), [](const TWinControl* a, const TWinControl* b) {
        return a->FTabOrderLoading < b->FTabOrderLoading;
    });
    for (size_t i = 0; i < FTabList.size(); ++i) FTabList[i]->FTabOrderLoading = int(i);
}

void TWinControl::Loaded() {
    TControl::Loaded();
    FixupTabList();
}

void TWinControl::SetTabStop(bool Value) {
    if (Value == FTabStop) return;
    FTabStop = Value;
    if (FHandle) {
        LONG style = GetWindowLongW(FHandle, GWL_STYLE);
        SetWindowLongW(FHandle, GWL_STYLE, Value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (dynamic_cast<const TCustomForm*>(c)) return true;
    }
    return false;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    if (auto* form = GetParentForm(); form && form != this) {
        form->SetActiveControl(this);
        return;
    }
    if (FVisible && FEnabled) ::SetFocus(Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
    for (TWinControl* c : FTabList) {
        List.push_back(c);
        c->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    auto start = std::find(list.begin(), list.end(), CurControl);
    int index = start == list.end() ? (GoForward ? int(list.size()) - 1 : 0) : int(start - list.begin());
    const int n = int(list.size());
    for (int step = 0; step < n; ++step) {
        index = GoForward ? (index + 1) % n : (index + n - 1) % n;
        TWinControl* c = list[size_t(index)];
        if (c == CurControl) return nullptr;
        if ((!CheckTabStop || c->TabStop()) && (!CheckParent || c->Parent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, false)) next->SetFocus();
}

RECT TWinControl::AdjustClientRectForAlign() const {
    RECT r = ClientRect();
    return r;
}

void TWinControl::Realign() {
    RECT r = AdjustClientRectForAlign();
    auto place = [](TControl* c, int l, int t, int w, int h) {
        const TAlign keep = c->FAlign;
        c->FAlign = TAlign::alNone;  // no recursion into Realign while placing
        c->SetBounds(l, t, w, h);
        c->FAlign = keep;
    };
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* c : FControls) {
            if (c->FAlign != kind || !c->Visible()) continue;
            const int w = r.right - r.left, h = r.bottom - r.top;
            switch (kind) {
            case TAlign::alTop:
                place(c, r.left, r.top, w, c->Height());
                r.top += c->Height();
                break;
            case TAlign::alBottom:
                place(c, r.left, r.bottom - c->Height(), w, c->Height());
                r.bottom -= c->Height();
                break;
            case TAlign::alLeft:
                place(c, r.left, r.top, c->Width(), h);
                r.left += c->Width();
                break;
            case TAlign::alRight:
                place(c, r.right - c->Width(), r.top, c->Width(), h);
                r.right -= c->Width();
                break;
            case TAlign::alClient: place(c, r.left, r.top, w, h); break;
            default: break;
            }
        }
    }
}

void TWinControl::UpdateShowing() {
    const unsigned before = WindowsMade;
    if (!FHandle) {
        // Shown for the first time: the window that waited is made now, shown.
        if (FVisible && FParent && FParent->FHandle && FParent->MakesChildWindows() && !Destroying()) {
            // Made hidden with its children, and shown once whoever skins windows has them:
            // a window made visible paints at once.
            FMadeHidden = true;
            try {
                CreateWnd();
            } catch (...) {
                FMadeHidden = false;
                throw;
            }
            FMadeHidden = false;
            TellWindowsMade(*this, before);
            if (FHandle) ShowWindow(FHandle, SW_SHOWNA);
        }
        return;
    }
    if (FVisible) {
        CreateChildWindows();
        TellWindowsMade(*this, before);
        ShowWindow(FHandle, SW_SHOWNA);
    } else {
        if (Focused()) {
            if (auto* form = GetParentForm(); form && form != this) form->DefocusControl(this, false);
        }
        ShowWindow(FHandle, SW_HIDE);
    }
}

RECT TWinControl::ClientRect() const {
    if (FHandle) {
        RECT r;
        GetClientRect(FHandle, &r);
        return r;
    }
    return TControl::ClientRect();
}

}  // namespace quorin
