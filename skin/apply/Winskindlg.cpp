// The skin manager's window side: hooks, the lists of skinned windows and menus, actions.
#include "skin/apply/Winskindlg.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "forms/Forms.h"
#include "forms/Menus.h"
#include "forms/SysUtils.h"
#include "forms/WinText.h"
#include "skin/apply/Skinclasses.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

namespace {

std::string AsciiClassNameOf(HWND Window) {
    wchar_t buffer[256] = {};
    int n = GetClassNameW(Window, buffer, 256);
    std::string out;
    for (int i = 0; i < n; ++i) out += buffer[i] < 128 ? char(buffer[i]) : '?';
    return out;
}

bool OwnThread(HWND Window) { return GetWindowThreadProcessId(Window, nullptr) == GetCurrentThreadId(); }

// A window already drawn by some skin applier answers the engine's "is skinned" query.
bool AnswersSkinned(HWND Window) {
    DWORD_PTR result = 0;
    if (!OwnThread(Window)) return false;
    return SendMessageTimeoutW(Window, CN_IsSkinned, 0, 0, SMTO_NORMAL, 200, &result) && result == 1;
}

bool IsMDIChild(HWND Window) { return (GetWindowLongW(Window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0; }

LRESULT CALLBACK SkinHookCBT(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinHookCBT2(int Code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SkinHookCallback(int Code, WPARAM wParam, LPARAM lParam);

HHOOK gManagerCBTHook = nullptr;
HHOOK gManagerCallWndHook = nullptr;

LRESULT CALLBACK SkinHookCBT(int Code, WPARAM wParam, LPARAM lParam) {
    const HHOOK next = gManagerCBTHook;
    if (Code >= 0) {
        if (TSkinManage* m = SkinManage()) {
            const HWND window = reinterpret_cast<HWND>(wParam);
            switch (Code) {
            case HCBT_CREATEWND: {
                const auto* cbt = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
                if (cbt && cbt->lpcs) m->HookCreateWindow(window, *cbt->lpcs);
                break;
            }
            case HCBT_DESTROYWND: m->DeleteMenu(window); break;
            case HCBT_ACTIVATE: m->AddForm(window); break;
            default: break;
            }
        }
    }
    return CallNextHookEx(next, Code, wParam, lParam);
}

// Other threads' windows are never touched from here: this program skins the windows of
// its user-interface thread only, and a window procedure must not be replaced from a
// thread that does not run it. The hook keeps the chain intact.
LRESULT CALLBACK SkinHookCBT2(int Code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, Code, wParam, lParam);
}

LRESULT CALLBACK SkinHookCallback(int Code, WPARAM wParam, LPARAM lParam) {
    const HHOOK next = gManagerCallWndHook;
    if (Code == HC_ACTION && lParam)
        if (TSkinManage* m = SkinManage()) m->HookCallWndProc(*reinterpret_cast<const CWPSTRUCT*>(lParam));
    return CallNextHookEx(next, Code, wParam, lParam);
}

// The manager's own window: a message-only window whose procedure is the manager's.
LRESULT CALLBACK ManagerWindowProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
    auto* m = reinterpret_cast<TSkinManage*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!m) return DefWindowProcW(Window, Msg, wParam, lParam);
    TMessage message{Msg, wParam, lParam, 0};
    m->WndProc(message);
    return message.Result;
}

const wchar_t kManagerWindowClass[] = L"TSkinManageWindow";

// Registers one of the manager's window classes, once.
void RegisterOwnClass(HINSTANCE Instance, const wchar_t* Name, WNDPROC Proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(Instance, Name, &wc)) return;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = Instance;
    wc.lpszClassName = Name;
    RegisterClassExW(&wc);
}

// The visible top-level windows of this thread, but the manager's own.
std::vector<HWND> VisibleThreadWindows(HWND Except) {
    std::pair<std::vector<HWND>, HWND> found{{}, Except};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            auto& f = *reinterpret_cast<std::pair<std::vector<HWND>, HWND>*>(out);
            if (window != f.second && IsWindowVisible(window) && !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
                f.first.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.first;
}

const wchar_t kCoverWindowClass[] = L"TSkinCoverWindow";

// A message no window is sent: a look at the queue for it finds nothing.
constexpr UINT kNoMessage = WM_APP - 1;

// Lets the system put on the screen what has been drawn so far, as it does when the program
// waits for input: the look at the queue takes and dispatches nothing.
void LetScreenCatchUp() {
    MSG message;
    PeekMessageW(&message, nullptr, kNoMessage, kNoMessage, PM_NOREMOVE);
}

// A cover shows the picture it was made with; it is skinned already, and the mouse goes
// through it to the window beneath.
LRESULT CALLBACK CoverWindowProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
    switch (Msg) {
    case CN_IsSkinned: return 1;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Window, &ps);
        const auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(Window, GWLP_USERDATA));
        if (HDC source = picture ? CreateCompatibleDC(dc) : nullptr) {
            const HGDIOBJ old = SelectObject(source, picture);
            BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
                   ps.rcPaint.bottom - ps.rcPaint.top, source, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
        }
        EndPaint(Window, &ps);
        return 0;
    }
    default: return DefWindowProcW(Window, Msg, wParam, lParam);
    }
}

}  // namespace

// A still picture of a window as the screen shows it, held just above the window while the
// window is changed and drawn anew beneath it. The window's parts are drawn one after the
// other, and the system may put each on the screen as soon as it is drawn; behind the cover
// none is seen until the window is whole, and the screen goes from the old look to the new
// one at once. The window keeps its place, but a new frame may make it larger: the cover
// reaches beyond its right and bottom sides by an eighth of its size, showing what was there.
class TWindowCover {
public:
    explicit TWindowCover(HWND Window) {
        RECT r{};
        if (!GetWindowRect(Window, &r) || r.right <= r.left || r.bottom <= r.top) return;
        const int reach = std::max(r.right - r.left, r.bottom - r.top) / 8;
        const RECT grown{r.left, r.top, r.right + reach, r.bottom + reach};
        const int sx = GetSystemMetrics(SM_XVIRTUALSCREEN), sy = GetSystemMetrics(SM_YVIRTUALSCREEN);
        const RECT screenRect{sx, sy, sx + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                              sy + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        if (!IntersectRect(&r, &grown, &screenRect)) return;
        const int width = r.right - r.left, height = r.bottom - r.top;
        HDC screen = GetDC(nullptr);
        if (!screen) return;
        if (HDC target = CreateCompatibleDC(screen)) {
            FPicture = CreateCompatibleBitmap(screen, width, height);
            if (FPicture) {
                const HGDIOBJ old = SelectObject(target, FPicture);
                BitBlt(target, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
                SelectObject(target, old);
            }
            DeleteDC(target);
        }
        ReleaseDC(nullptr, screen);
        if (!FPicture) return;
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterOwnClass(instance, kCoverWindowClass, CoverWindowProc);
        FCover = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverWindowClass, L"", WS_POPUP | WS_DISABLED,
                                 r.left, r.top, width, height, Window, nullptr, instance, nullptr);
        if (!FCover) return;
        SetWindowLongPtrW(FCover, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FPicture));
        // Right above the window: whatever lay over the window lies over its cover.
        const HWND above = GetWindow(Window, GW_HWNDPREV);
        SetWindowPos(FCover, above ? above : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(FCover);
    }
    ~TWindowCover() {
        if (FCover) DestroyWindow(FCover);
        if (FPicture) DeleteObject(FPicture);
    }
    TWindowCover(const TWindowCover&) = delete;
    TWindowCover& operator=(const TWindowCover&) = delete;

private:
    HWND FCover = nullptr;
    HBITMAP FPicture = nullptr;
};

// The program's visible top-level windows keep what they show while a skin is switched on,
// off or changed (for a skin change, from the moment it is asked for: HoldWindows), and are
// drawn once, whole, in the new look afterwards: no frame of a half-changed window (new
// frame, old controls; caption buttons gone; controls not yet drawn) reaches the screen.
// Taking WS_VISIBLE away stops the painting without hiding the window; a cover keeps its
// picture on the screen until it is whole again.
class TFrozenWindows {
public:
    explicit TFrozenWindows(std::vector<HWND> Windows) : FWindows(std::move(Windows)) {
        if (!FWindows.empty()) {
            // What a closed menu uncovered is drawn again first: the covers show the windows
            // whole.
            for (HWND w : FWindows) RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            LetScreenCatchUp();
            for (HWND w : FWindows) FCovers.push_back(std::make_unique<TWindowCover>(w));
            LetScreenCatchUp();
        }
        for (HWND w : FWindows)
            SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) & ~LONG_PTR(WS_VISIBLE));
    }
    ~TFrozenWindows() {
        for (HWND w : FWindows) {
            if (!IsWindow(w)) continue;
            SetWindowLongPtrW(w, GWL_STYLE, GetWindowLongPtrW(w, GWL_STYLE) | WS_VISIBLE);
            RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
        // The covers go once the windows beneath them are on the screen, whole.
        if (!FCovers.empty()) LetScreenCatchUp();
    }
    TFrozenWindows(const TFrozenWindows&) = delete;
    TFrozenWindows& operator=(const TFrozenWindows&) = delete;
    const std::vector<HWND>& Windows() const { return FWindows; }

private:
    std::vector<HWND> FWindows;
    std::vector<std::unique_ptr<TWindowCover>> FCovers;  // freed after the windows are drawn
};

// Tells the manager when one of its skin appliers is freed, by whoever frees it (the
// form that owns it, or the manager itself), so the list never holds a freed applier.
class TSkinManage::TFreeNotifier : public TComponent {
public:
    explicit TFreeNotifier(TSkinManage* Manager) : TComponent(nullptr), FManager(Manager) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        // The applier is being destroyed: by now its dynamic type is the base's, so it is
        // found by address, not by a cast.
        if (Operation != TOperation::opRemove) return;
        for (TWinSkinForm* form : FManager->Forms())
            if (static_cast<TComponent*>(form) == AComponent) {
                FManager->ForgetApplier(form);
                return;
            }
    }

private:
    TSkinManage* FManager;
};

// ---- Life cycle ---------------------------------------------------------------------------

TSkinManage::TSkinManage(bool Library) : FLibrary(Library), FNotifier(std::make_unique<TFreeNotifier>(this)) {
    if (Library) {
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&SkinHookCBT), &self);
        FLibInstance = self;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterOwnClass(instance, kManagerWindowClass, ManagerWindowProc);
    FWindow = CreateWindowExW(0, kManagerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (FWindow) SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TSkinManage::~TSkinManage() {
    if (gManagerCBTHook == FCBTHook.Get()) gManagerCBTHook = nullptr;
    if (gManagerCallWndHook == FCallWndHook.Get()) gManagerCallWndHook = nullptr;
    FCBTHook.Reset();
    FCallWndHook.Reset();
    DeleteAllThreads();
    DeleteAllMenus();
    // Appliers of raw windows belong to the manager; those of forms stay with their forms
    // (the program is ending, or a test frees the manager before its forms).
    std::vector<TWinSkinForm*> forms = FForms;
    FForms.clear();
    for (TWinSkinForm* f : forms) {
        FNotifier->RemoveFreeNotification(f);
        if (!f->Owner()) delete f;
    }
    if (FWindow) {
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
        DestroyWindow(FWindow);
        FWindow = nullptr;
    }
}

void TSkinManage::InstallHook() {
    FVersion = GetVersion();
    if (!FCBTHook) {
        FCBTHook.Reset(SetWindowsHookExW(WH_CBT, SkinHookCBT, nullptr, GetCurrentThreadId()));
        gManagerCBTHook = FCBTHook.Get();
    }
}

// The call-window-procedure hook watches menu windows and skinned windows, so it is put in
// place with the first window or menu skinned. Each hook of the thread costs every message
// the thread sends, and the program sends thousands while it makes its windows, before
// anything is skinned.
void TSkinManage::InstallCallWndHook() {
    if (FCallWndHook) return;
    FCallWndHook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, SkinHookCallback, nullptr, GetCurrentThreadId()));
    gManagerCallWndHook = FCallWndHook.Get();
}

void TSkinManage::InstallThread(uint32_t threadId) {
    for (auto& t : FThreads)
        if (t->ThreadId == threadId) return;
    THookHandle hook(SetWindowsHookExW(WH_CBT, SkinHookCBT2, nullptr, threadId));
    if (!hook) return;
    auto t = std::make_unique<TSkinThread>();
    t->Hook = std::move(hook);
    t->ThreadId = threadId;
    FThreads.push_back(std::move(t));
}

void TSkinManage::UnInstallThread(uint32_t threadId) {
    for (auto it = FThreads.begin(); it != FThreads.end(); ++it) {
        if ((*it)->ThreadId != threadId) continue;
        FThreads.erase(it);
        return;
    }
}

void TSkinManage::DeleteAllThreads() { FThreads.clear(); }

void TSkinManage::AddSubManager(TSkinManage* Manager) {
    if (Manager && Manager != this &&
        std::find(FSubManagers.begin(), FSubManagers.end(), Manager) == FSubManagers.end())
        FSubManagers.push_back(Manager);
}

void TSkinManage::RemoveSubManager(TSkinManage* Manager) {
    FSubManagers.erase(std::remove(FSubManagers.begin(), FSubManagers.end(), Manager), FSubManagers.end());
}

// ---- Requests -------------------------------------------------------------------------------

void TSkinManage::SetAction(int action, int interval) {
    // A skin change asked for while switching on or off is still pending would replace
    // it, and the windows would stay native (or skinned) against the skin's Active: the
    // pending switch already applies the skin as it is when it runs.
    // The skin change is not lost, though: the windows have already dropped their caption
    // buttons for it, and a pending switch-on carries it to those it finds skinned.
    if (action == 3 && TimerRunning() && (FAction == 1 || FAction == 2)) {
        FChangePending = true;
        return;
    }
    if (FEnabled && !FLibrary && (action == 1 || action == 2)) {
        for (TSkinManage* sub : FSubManagers) {
            sub->FSkinData = FSkinData;
            sub->SetAction(action, action == 1 ? 300 : interval);
        }
    }
    TSkinManageBase::SetAction(action, interval);
}

void TSkinManage::HoldWindows() {
    // Only a change the timer will carry out may hold them.
    if (FHeld || !FEnabled || !FSkinning || FLibrary) return;
    FHeld = std::make_unique<TFrozenWindows>(VisibleThreadWindows(FWindow));
}

void TSkinManage::ReleaseWindows() { FHeld.reset(); }

void TSkinManage::RunAction(int action, TSkinData* skin) {
    // The windows held for this action are let go when it has run, whatever it did.
    std::unique_ptr<TFrozenWindows> held = std::move(FHeld);
    DeleteDeleted();
    // A skin change dropped while this action was pending is done first, as it would have
    // been: switching on skips the windows that are already skinned.
    const bool changePending = std::exchange(FChangePending, false);
    if (changePending && action == 1) RunAction(3, skin);
    if (skin->SkinFormtype == sfOnlyThisForm) {
        auto* owner = dynamic_cast<TCustomForm*>(skin->Owner());
        TWinSkinForm* applier = nullptr;
        for (TWinSkinForm* f : FForms)
            if (f->SkinData() == skin) applier = f;
        switch (action) {
        case 1:
            FSkinning = true;
            FNestedAllowed = true;
            if (owner) ActiveForm(owner);
            FNestedAllowed = false;
            break;
        case 2:
            FSkinning = false;
            if (applier) RemoveApplier(applier);
            break;
        case 3:
            if (!applier) break;
            if (skin->Loading()) {
                RemoveApplier(applier);
                break;
            }
            applier->DeleteSysbtn();
            applier->InitSkinData();
            applier->SkinChange();
            break;
        case 6: DeleteForm3(); break;
        default: break;
        }
        return;
    }
    // Switching on, off or to another skin changes every window at once; the windows on the
    // screen show the old look until each is whole in the new one.
    const std::vector<HWND> shown = held ? held->Windows() : VisibleThreadWindows(FWindow);
    std::unique_ptr<TFrozenWindows> frozen = std::move(held);
    if (!frozen && (action == 1 || action == 2 || action == 3)) frozen = std::make_unique<TFrozenWindows>(shown);
    switch (action) {
    case 1:
        // The main skin in force counts as one, so that a skin loaded into it later
        // (UpdateSkin) is carried to the windows; switching on through Active sets the
        // same count, loading the stored layout does not.
        if (skin->SkinFormtype == sfMainform && FSkinCount == 0) FSkinCount = 1;
        FSkinning = true;
        FUpdateLock = false;
        SkinEveryWindow(shown);
        if (!FLibrary)
            for (TSkinManage* sub : FSubManagers) {
                sub->FSkinData = skin;
                sub->SetAction(1, 300);
            }
        break;
    case 2:
        FSkinning = false;
        RemoveAll();
        for (TSkinManage* sub : FSubManagers) sub->FSkinning = false;
        break;
    case 3:
        // A skin that could not be read leaves the windows native rather than drawn from
        // half-replaced elements.
        if (skin->Loading()) {
            std::vector<TWinSkinForm*> forms = FForms;
            for (TWinSkinForm* f : forms)
                if (f->SkinData() == skin) RemoveApplier(f);
            break;
        }
        SkinChangeAll(skin);
        break;
    case 6: DeleteForm3(); break;
    case 7: ReSkinWindow(static_cast<HWND>(FChangeWindow), false); break;
    default: break;
    }
}

void TSkinManage::SkinEveryWindow(const std::vector<HWND>& Shown) {
    // The windows on the screen are frozen (not visible to the system) meanwhile: they are
    // taken by the list made before, and each is finished at once, before it is drawn again.
    auto shown = [&](HWND w) { return std::find(Shown.begin(), Shown.end(), w) != Shown.end(); };
    FNestedAllowed = true;
    if (Screen)
        for (int i = Screen->FormCount() - 1; i >= 0; --i) {
            TCustomForm* form = Screen->Forms(i);
            if (!form->HandleAllocated() || !shown(form->Handle())) continue;
            HWND window = form->Handle();
            if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD && !IsMDIChild(window)) continue;
            AddWindow(window, true);
        }
    FNestedAllowed = false;
    // Message boxes and dialogs of the platform that are already up.
    for (HWND window : Shown)
        if (IsWindow(window) && !FindControlx(window)) AddWindow(window, true);
}

void TSkinManage::SkinChangeAll(TSkinData* skin) {
    std::vector<TWinSkinForm*> forms = FForms;
    for (TWinSkinForm* f : forms) {
        if (f->SkinData() != skin) continue;
        f->DeleteSysbtn();
        f->InitSkinData();
    }
    // SkinChange may run window messages that free appliers; work on a copy and skip
    // those gone meanwhile.
    for (TWinSkinForm* f : forms)
        if (std::find(FForms.begin(), FForms.end(), f) != FForms.end()) f->SkinChange();
}

void TSkinManage::RemoveAll() {
    DeleteAllMenus();
    while (!FForms.empty()) RemoveApplier(FForms.back());
}

void TSkinManage::RemoveApplier(TWinSkinForm* Form) {
    ForgetApplier(Form);
    HWND window = Form->Handle();
    const bool alive = Form->FStatus != sfsDestroyed && IsWindow(window);
    if (alive) {
        if (Form->FSkinFrame)
            Form->UnSubclass();
        else
            Form->UnSubclass2();
    }
    delete Form;
    if (alive) RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TSkinManage::ReSkinWindow(HWND Window, bool Pause) {
    if (!Window) return;
    if (TWinSkinForm* f = FindSkinForm(Window)) {
        if (Pause && Application) {
            Application->ProcessMessages();
            Sleep(10);
        }
        ForgetApplier(f);
        if (f->FStatus != sfsDestroyed && IsWindow(Window)) {
            if (f->FSkinFrame)
                f->UnSubclass();
            else
                f->UnSubclass2();
        }
        f->FStatus = sfsDestroyed;
        delete f;
        DeleteDeleted();
        if (Pause && Application) {
            Application->ProcessMessages();
            Sleep(10);
        }
    }
    if (IsWindow(Window)) AddForm(Window);
}

void TSkinManage::WndProc(TMessage& Message) {
    if (Message.Msg == CN_ReSkinWindow) {
        if (Message.WParam == 7) ReSkinWindow(reinterpret_cast<HWND>(Message.LParam), true);
        Message.Result = 0;
        return;
    }
    Message.Result = DefWindowProcW(FWindow, Message.Msg, Message.WParam, Message.LParam);
}

// ---- Which windows are skinned -----------------------------------------------------------

void TSkinManage::AddApplier(TWinSkinForm* Form) {
    FForms.push_back(Form);
    FNotifier->FreeNotification(Form);
}

void TSkinManage::ForgetApplier(TWinSkinForm* Form) {
    auto it = std::find(FForms.begin(), FForms.end(), Form);
    if (it == FForms.end()) return;
    FForms.erase(it);
    FNotifier->RemoveFreeNotification(Form);
}

void TSkinManage::FormFreed(TWinSkinForm* Form) { ForgetApplier(Form); }

TCustomForm* TSkinManage::FindTForm(HWND Window) const {
    if (!Window) return nullptr;
    if (Screen)
        for (int i = 0; i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (f->HandleAllocated() && f->Handle() == Window) return f;
        }
    return dynamic_cast<TCustomForm*>(FindControlx(Window));
}

TWinSkinForm* TSkinManage::FindSkinForm(HWND Window) const {
    if (!Window) return nullptr;
    for (auto it = FForms.rbegin(); it != FForms.rend(); ++it)
        if ((*it)->Handle() == Window && (*it)->FStatus != sfsDestroyed) return *it;
    return nullptr;
}

bool TSkinManage::NestedForm(HWND Window) const {
    if (!(GetWindowLongW(Window, GWL_STYLE) & WS_CHILD) || IsMDIChild(Window)) return false;
    HWND parent = GetParent(Window);
    return !(parent && LowerCase(AsciiClassNameOf(parent)) == "mdiclient");
}

bool TSkinManage::IsDllForm(HWND Window) const {
    if (!FLibInstance) return false;
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Window, GWLP_HINSTANCE)) == FLibInstance;
}

void TSkinManage::FindSkindata(TSkinData*& SkinData, HWND Window) const {
    SkinData = nullptr;
    const auto& skins = SkinDatas();
    for (auto it = skins.rbegin(); it != skins.rend(); ++it) {
        if ((*it)->SkinFormtype != sfOnlyThisForm) continue;
        auto* owner = dynamic_cast<TCustomForm*>((*it)->Owner());
        if (owner && owner->HandleAllocated() && owner->Handle() == Window) {
            SkinData = *it;
            return;
        }
    }
    const std::string cls = LowerCase(AsciiClassNameOf(Window));
    if (cls == "tmessageform" || cls == "#32770")
        for (auto it = skins.rbegin(); it != skins.rend(); ++it)
            if ((*it)->SkinFormtype == sfDialog) {
                SkinData = *it;
                return;
            }
    for (auto it = skins.rbegin(); it != skins.rend(); ++it)
        if ((*it)->SkinFormtype == sfMainform) {
            SkinData = *it;
            return;
        }
    if (!skins.empty()) SkinData = skins.front();
}

bool TSkinManage::OnBeforeSkin(HWND Window, const std::string& ClassName) {
    TSkinData* current = FCurrentSkin;
    if (!current) FindSkindata(current, Window);
    const bool preview = current && current->Options.Contains(xoPreview);
    if (!preview && LowerCase(ClassName).find("preview") != std::string::npos) return false;
    bool doSkin = true;
    if (current) current->DoFormSkin(Window, ClassName, doSkin);
    return doSkin;
}

bool TSkinManage::AddForm(TWindowHandle window) { return AddWindow(static_cast<HWND>(window), false); }

bool TSkinManage::SkinBeforeShow(HWND Window) {
    if (!Window || !IsWindow(Window) || !OwnThread(Window)) return false;
    if (!FSkinning && FAction == 1 && TimerRunning()) OnTimer();
    if (FindSkinForm(Window)) {
        // Taken already, maybe still waiting for its posted message: finished now.
        SendMessageW(Window, CN_SkinActive, 0, 1000);
        return true;
    }
    return AddWindow(Window, true);
}

bool TSkinManage::AddWindow(HWND Window, bool Now) {
    if (!FSkinning || !Window || Window == FWindow || !IsWindow(Window) || !OwnThread(Window)) return false;
    InstallCallWndHook();
    DeleteDeleted();
    if (FindSkinForm(Window) || AnswersSkinned(Window)) return false;

    TCustomForm* form = FindTForm(Window);
    if (!FNestedAllowed && NestedForm(Window)) return false;
    const std::string cls = AsciiClassNameOf(Window);
    HINSTANCE module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(Window, GWLP_HINSTANCE));
    HINSTANCE own = FLibInstance ? FLibInstance : GetModuleHandleW(nullptr);
    if (!form && module != own && cls != "#32770") return false;

    const bool mdiChild = IsMDIChild(Window);
    RECT r{};
    GetWindowRect(Window, &r);
    if ((r.right <= r.left || r.bottom <= r.top) && !mdiChild) return false;
    if (form && form->Tag() == 99) return false;
    if (cls == "TApplication") return false;
    if (!OnBeforeSkin(Window, cls)) return false;

    TSkinData* skin = nullptr;
    FindSkindata(skin, Window);
    if (!skin || skin->Loading()) return false;
    // The skin's own callbacks may have closed the window.
    if (!IsWindow(Window)) return false;

    // A form placed at the centre keeps its centre when the skin first changes its frame.
    if (form && !FCentred.count(Window)) {
        const TPosition pos = form->Position();
        if (pos == TPosition::poScreenCenter || pos == TPosition::poDesktopCenter ||
            pos == TPosition::poMainFormCenter || pos == TPosition::poOwnerFormCenter)
            FKeepCentre[Window] = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    auto* applier = new TWinSkinForm(form);
    applier->SetHandle(Window);
    AddApplier(applier);
    if (form)
        applier->InitTform(skin, form);
    else
        applier->InitDlg(skin);
    if (!applier->FHook.Hooked()) {
        // Not hooked, the applier would sit idle in the list and turn every later try
        // away: the window stays native now and may be taken another time.
        ForgetApplier(applier);
        delete applier;
        return false;
    }
    if (Now)
        SendMessageW(Window, CN_SkinActive, 0, 1000);
    else
        PostMessageW(Window, CN_SkinActive, 0, 1000);
    return true;
}

void TSkinManage::AddOwnerForm(TComponent* owner) {
    auto* form = dynamic_cast<TCustomForm*>(owner);
    if (form && form->HandleAllocated()) AddForm(form->Handle());
}

void TSkinManage::ActiveForm(TCustomForm* Form) {
    if (!Form || !Form->HandleAllocated()) return;
    HWND window = Form->Handle();
    if (!IsWindowVisible(window) || (GetWindowLongW(window, GWL_STYLE) & WS_CHILD && !IsMDIChild(window))) return;
    AddForm(window);
}

void TSkinManage::DeleteForm(HWND Window) {
    if (TWinSkinForm* f = FindSkinForm(Window)) RemoveApplier(f);
}

// Forgets the applier of a window without touching the window (it is being destroyed).
void TSkinManage::DeleteForm2(HWND Window) {
    for (TWinSkinForm* f : std::vector<TWinSkinForm*>(FForms))
        if (f->Handle() == Window) {
            f->FStatus = sfsDestroyed;
        }
    DeleteDeleted();
}

void TSkinManage::DeleteForm3() { DeleteDeleted(); }

void TSkinManage::DeleteDeleted() {
    for (auto it = FKeepCentre.begin(); it != FKeepCentre.end();)
        it = IsWindow(it->first) ? std::next(it) : FKeepCentre.erase(it);
    std::vector<TWinSkinForm*> gone;
    for (TWinSkinForm* f : FForms)
        if (f->FStatus == sfsDestroyed || !IsWindow(f->Handle())) gone.push_back(f);
    for (TWinSkinForm* f : gone) {
        ForgetApplier(f);
        // Its window is gone: the applier is freed without a look at the window, whose
        // handle may already name another one.
        f->FStatus = sfsDestroyed;
        delete f;
    }
}

void TSkinManage::DeleteAllForms() { RemoveAll(); }

// ---- Requests addressed to one applier -------------------------------------------------

void TSkinManage::DeleteSysbtn(TSkinData* skin) {
    for (TWinSkinForm* f : FForms)
        if (f->SkinData() == skin) f->DeleteSysbtn();
}

void TSkinManage::UpdateSkinControl(TWindowHandle form, void* control) {
    TWinSkinForm* f = FindSkinForm(static_cast<HWND>(form));
    if (!f) return;
    auto* c = static_cast<TComponent*>(control);
    if (auto* ctl = dynamic_cast<TControl*>(c)) {
        f->AddComp(ctl, ctl->GetParentComponent());
        if (auto* wc = dynamic_cast<TWinControl*>(ctl)) f->InitChildCtrl(wc);
    } else if (f->Form()) {
        f->InitControls(f->Form());
    } else {
        f->InitHwndControls(f->Handle());
    }
}

void TSkinManage::UpdateMenu(TWindowHandle form) {
    TWinSkinForm* f = FindSkinForm(static_cast<HWND>(form));
    if (!f || !f->Form() || !f->SkinData()) return;
    const bool on = f->SkinData()->SkinControls.Contains(xcPopupMenu);
    f->InitPopMenu(f->Form(), on, true);
}

void TSkinManage::AddNestForm(TWindowHandle host, TWindowHandle nested) {
    TWinSkinForm* f = FindSkinForm(static_cast<HWND>(host));
    if (!f) return;
    if (auto* wc = FindControlx(nested)) f->InitNestform(wc);
}

void TSkinManage::DeleteGraphicControl(TWindowHandle form, void* control) {
    TWinSkinForm* f = FindSkinForm(static_cast<HWND>(form));
    if (!f || !control) return;
    // The painter goes with its place in the list: left attached it would go on painting
    // the control and calling into an applier that may be gone.
    for (TSkinControl* p : std::vector<TSkinControl*>(f->ControlList()))
        if (static_cast<void*>(p->FControl) == control) {
            f->DeleteControl(p);
            if (p->FStatus != 6) p->Unsubclass();
            p->FSkinForm = nullptr;
            delete p;
        }
}

void TSkinManage::UpdateMainMenu() {
    for (TWinSkinForm* f : FForms)
        if (f->FMenuBar) f->FMenuBar->UpdataBtn();
}

void TSkinManage::RefreshFrames() {
    for (TWinSkinForm* f : std::vector<TWinSkinForm*>(FForms))
        if (f->FStatus != sfsDestroyed && IsWindow(f->Handle()))
            SetWindowPos(f->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

// ---- The hooks ----------------------------------------------------------------------------

void TSkinManage::HookCreateWindow(HWND Window, const CREATESTRUCTW& Create) {
    const std::string cls = AsciiClassNameOf(Window);
    if (LowerCase(cls) == "scrollbar" && (Create.style & SBS_SIZEGRIP)) {
        if (TWinSkinForm* f = FindSkinForm(Create.hwndParent)) f->AddControlh(Window);
    } else if (cls == "#32768" && !(Create.style & WS_CHILD)) {
        if (!FLibrary || FLibInstance == nullptr) AddMenu(Window);
    } else if (Create.dwExStyle & WS_EX_MDICHILD) {
        AddForm(Window);
    }
}

void TSkinManage::HookCallWndProc(const CWPSTRUCT& Message) {
    switch (Message.message) {
    case WM_CREATE:
        if (AsciiClassNameOf(Message.hwnd) == "#32768") AddMenu(Message.hwnd);
        break;
    case WM_DESTROY:
    case WM_NCDESTROY: DeleteMenu(Message.hwnd); break;
    case CN_SkinFinished:
        // A window skinned after it was first shown still shows its controls as the
        // platform drew them: everything is drawn again, now by the painters.
        if (Message.lParam == SkinHandshake && FindSkinForm(Message.hwnd)) {
            KeepCentre(Message.hwnd);
            RedrawWindow(Message.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        break;
    case WM_SHOWWINDOW:
        // A dialog of the system (a message box, a file dialog) has laid itself out and is
        // about to show: skinned whole now, its first frame is the skin's. Waiting for its
        // activation would let the platform paint it first.
        if (Message.wParam && !(GetWindowLongW(Message.hwnd, GWL_STYLE) & WS_CHILD) &&
            AsciiClassNameOf(Message.hwnd) == "#32770")
            SkinBeforeShow(Message.hwnd);
        break;
    case WM_ENTERMENULOOP: FTrackPopupLoop = Message.wParam != 0; break;
    case WM_EXITMENULOOP:
        FTrackPopupLoop = false;
        FSysMenuPopup = false;
        FPopupKind = pkContextMenu;
        break;
    case WM_INITMENUPOPUP: {
        // The platform's own system menu, as the native frame opens it, or the one the
        // skinned caption pops up (its owner calls every other pop-up a menu).
        const auto menu = reinterpret_cast<HMENU>(Message.wParam);
        FSysMenuPopup = HIWORD(Message.lParam) != 0;
        if (TWinSkinForm* f = FindSkinForm(Message.hwnd))
            if ((f->FSysMenu && f->FSysMenu->Handle() == menu) || (f->FSysMenuHandle && f->FSysMenuHandle == menu))
                FSysMenuPopup = true;
        if (FSysMenuPopup) FPopupKind = pkSystemMenu;
        break;
    }
    case WM_INITMENU:
        if (TWinSkinPopMenu* m = FindPopupMenu(reinterpret_cast<HMENU>(Message.wParam))) m->UpdateMenu();
        break;
    case WM_DRAWITEM:
        if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.lParam)) TellMenuItemFocus(*item);
        break;
    default: break;
    }
}

void TSkinManage::KeepCentre(HWND Window) {
    auto it = FKeepCentre.find(Window);
    if (it == FKeepCentre.end()) return;
    const POINT centre = it->second;
    FKeepCentre.erase(it);
    FCentred.insert(Window);
    RECT r{};
    if (!GetWindowRect(Window, &r) || IsZoomed(Window) || IsIconic(Window)) return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = centre.x - w / 2, y = centre.y - h / 2;
    if (x != r.left || y != r.top)
        SetWindowPos(Window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Menus ----------------------------------------------------------------------------------

// A pop-up opened by TrackPopupMenu that is neither the system menu nor a drop-down of a
// skinned menu bar is a context menu, whatever the owner window said about it.
int TSkinManage::EffectivePopupKind() const {
    if (FPopupKind == pkSystemMenu || FSysMenuPopup) return pkSystemMenu;
    if (FFromMenuBar) return pkMenu;
    if (FPopupKind == pkMenu && FTrackPopupLoop) return pkContextMenu;
    return FPopupKind;
}

bool TSkinManage::AddMenu(HWND Window) {
    if (!FSkinning || !Window || !IsWindow(Window) || FindSkinMenu(Window)) return false;
    InstallCallWndHook();
    if (AnswersSkinned(Window)) return false;
    TSkinData* skin = nullptr;
    FindSkindata(skin, Window);
    if (!skin || skin->Loading()) return false;
    const TSkinControls& c = skin->SkinControls;
    switch (EffectivePopupKind()) {
    case pkContextMenu:
        if (!c.Contains(xcPopupMenu)) return false;
        break;
    case pkMenu:
        if (!c.Contains(xcMainMenu) && !c.Contains(xcMenuItem)) return false;
        break;
    case pkSystemMenu:
        if (!c.Contains(xcSystemMenu)) return false;
        break;
    default: return false;
    }
    auto menu = std::make_unique<TWinSkinPopMenu>();
    menu->InitSkin(Window, skin, 0);
    menu->FMenuWindow = Window;
    menu->FFromMenuBar = FFromMenuBar;
    FMenus.push_back(std::move(menu));
    return true;
}

void TSkinManage::DeleteMenu(HWND Window) {
    for (auto it = FMenus.begin(); it != FMenus.end(); ++it)
        if ((*it)->FMenuWindow == Window) {
            FMenus.erase(it);
            return;
        }
}

TWinSkinPopMenu* TSkinManage::FindSkinMenu(HWND Window) const {
    for (const auto& m : FMenus)
        if (m->FMenuWindow == Window) return m.get();
    return nullptr;
}

TWinSkinPopMenu* TSkinManage::FindPopupMenu(HMENU Menu) const {
    if (!Menu) return nullptr;
    for (auto it = FMenus.rbegin(); it != FMenus.rend(); ++it)
        if ((*it)->FMenu == Menu) return it->get();
    return nullptr;
}

void TSkinManage::UpdateSkinMenu(HWND Window) {
    if (TWinSkinPopMenu* m = FindSkinMenu(Window)) m->UpdateMenu();
}

void TSkinManage::SetPopMenu() {
    for (auto& m : FMenus) m->FDrawnByItems = true;
}

void TSkinManage::SetHMenu(HMENU Menu) {
    if (!Menu || FindPopupMenu(Menu)) return;
    for (auto it = FMenus.rbegin(); it != FMenus.rend(); ++it)
        if (!(*it)->FMenu) {
            (*it)->FMenu = Menu;
            return;
        }
}

const TBitmap* TSkinManage::GetMenuBg(HMENU Menu) const {
    TWinSkinPopMenu* m = FindPopupMenu(Menu);
    return m && !m->FBackground.Empty() ? &m->FBackground : nullptr;
}

void TSkinManage::DeleteAllMenus() { FMenus.clear(); }

// ---- MDI ------------------------------------------------------------------------------------

void TSkinManage::SetMDIMax(bool Value) {
    if (Value == FMDIMax) return;
    FMDIMax = Value;
    if (FCurrentSkin && FCurrentSkin->Options.Contains(xoMDIChildBorder)) return;
    for (TWinSkinForm* f : std::vector<TWinSkinForm*>(FForms)) {
        if (f->FFormStyle != fsfMDIChild || f->FStatus == sfsDestroyed || !IsWindow(f->Handle())) continue;
        if (Value) {
            f->Uncropwindow();
            f->EnableSysbtn(true);
        } else if (f->FWinState == wsfMinimized) {
            f->EnableSysbtn(true);
        } else {
            f->FWinState = wsfNormal;
            f->Cropwindow();
            f->EnableSysbtn(false);
            if (!f->FRegionSet) f->UpdateNc(nullptr);
        }
    }
}

void TSkinManage::SetMDIMax2(bool Value) { FMDIMax = Value; }

int TSkinManage::GetMDIChildNum() const {
    int n = 0;
    for (TWinSkinForm* f : FForms)
        if (f->FFormStyle == fsfMDIChild && f->FStatus != sfsDestroyed) ++n;
    return n;
}

void TSkinManage::SetCaption(const std::string& Value) {
    if (FMDIForm && FMDIForm->HandleAllocated()) SetWindowTextW(FMDIForm->Handle(), ToWide(Value).c_str());
}

TSkinManage* SkinManage() { return dynamic_cast<TSkinManage*>(SkinManager); }

void RegisterSkinManager() {
    SetSkinManagerFactory([]() -> TSkinManageBase* { return new TSkinManage(false); });
}

void SkinFormsBeforeShow() {
    SetFormPrepareHook([](TCustomForm& Form) {
        if (TSkinManage* m = SkinManage(); m && Form.HandleAllocated()) m->SkinBeforeShow(Form.Handle());
    });
    SkinWindowsMadeLater = true;
    SetWindowsMadeHook([](TWinControl& Root) {
        static bool walking = false;  // a painter asking for a window must not start a second walk
        if (walking) return;
        TCustomForm* form = Root.GetParentForm();
        if (!form || !form->HandleAllocated()) return;
        TWinSkinForm* skin = FindSkinForm(form->Handle());
        if (!skin) return;
        walking = true;
        try {
            skin->InitMadeLater(&Root);
        } catch (...) {
            // A control that cannot be skinned stays native; the window goes on.
        }
        walking = false;
    });
}

}  // namespace quorin
