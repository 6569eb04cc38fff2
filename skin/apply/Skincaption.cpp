#include "skin/apply/Skincaption.h"

#include <windows.h>

#include <memory>

#include "forms/Streams.h"
#include "skin/apply/Winskindlg.h"
#include "skin/resources/Skinmanage.h"
#include "skin/resources/Winskindata.h"

namespace quorin {

bool SkinCaptionActive = true;
uint8_t SkinCaptionAlpha = 0;

QUORIN_DEFINE_CLASS(TSkinCaption, TComponent) {
    p.Bool("Active", &TSkinCaption::GetActive, &TSkinCaption::SetActive);
    p.Str("Author", &TSkinCaption::Author, [](TSkinCaption& c, const std::string& v) { c.Author = v; });
    p.Int(
        "SkinAlpha", &TSkinCaption::SkinAlpha,
        [](TSkinCaption& c, int32_t v) { c.SkinAlpha = static_cast<uint8_t>(v); }, 0, 255);
}

namespace {

using TSetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

TSetLayered LayeredFunction() {
    // Optional: looked up once, absent on old platforms.
    static const TSetLayered f = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<TSetLayered>(
                          reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")))
                    : nullptr;
    }();
    return f;
}

THookHandle gCBTHook;
THookHandle gCallWndHook;
int gCaptions = 0;

// A skinned top-level window takes the transparency asked for; a fully transparent
// window could not be found again, so some opacity always stays.
void ApplyAlpha(HWND Window) {
    TSetLayered setLayered = LayeredFunction();
    if (!SkinCaptionAlpha || !setLayered || !IsWindow(Window)) return;
    if (GetWindowLongW(Window, GWL_STYLE) & WS_CHILD) return;
    TSkinManage* m = SkinManage();
    if (!m || !m->FindSkinForm(Window)) return;
    const LONG ex = GetWindowLongW(Window, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) SetWindowLongW(Window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    const int opacity = 255 - SkinCaptionAlpha;
    setLayered(Window, 0, static_cast<BYTE>(opacity < 32 ? 32 : opacity), LWA_ALPHA);
}

LRESULT CALLBACK CaptionHookCBT(int Code, WPARAM wParam, LPARAM lParam) {
    // The manager's own hook runs further down the chain and skins the window first.
    LRESULT r = CallNextHookEx(gCBTHook.Get(), Code, wParam, lParam);
    if (Code == HCBT_ACTIVATE) ApplyAlpha(reinterpret_cast<HWND>(wParam));
    return r;
}

LRESULT CALLBACK CaptionHookCallWnd(int Code, WPARAM wParam, LPARAM lParam) {
    if (Code == HC_ACTION && SkinCaptionAlpha) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        // A style rewrite (the frame hides or shows the native caption) may drop the
        // layered style.
        if (m->message == WM_STYLECHANGED && m->wParam == static_cast<WPARAM>(GWL_EXSTYLE)) {
            const auto* s = reinterpret_cast<const STYLESTRUCT*>(m->lParam);
            if (s && !(s->styleNew & WS_EX_LAYERED)) ApplyAlpha(m->hwnd);
        }
    }
    return CallNextHookEx(gCallWndHook.Get(), Code, wParam, lParam);
}

bool InLibrary() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&InLibrary), &self);
    return self && self != GetModuleHandleW(nullptr);
}

bool RefuseOutsideLibrary(const char* Operation) {
    if (InLibrary()) return false;
    const std::string text = std::string(Operation) +
                             " can only be used by a library module that shares the program's skin.\r"
                             "The program itself switches its skin through its skin data component.";
    MessageBoxA(nullptr, text.c_str(), "Skin library", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return true;
}

// The skin of a library module.
std::unique_ptr<TSkinData>& LibrarySkin() {
    static std::unique_ptr<TSkinData> skin;
    return skin;
}

TSkinData* EnsureLibrarySkin() {
    auto& s = LibrarySkin();
    if (!s) {
        s = std::make_unique<TSkinData>(nullptr);
        s->SkinFormtype = sfDLL;
    }
    return s.get();
}

// The hooks only serve the transparency: they are in place while a caption component
// exists and asks for one. Every hook of the thread makes each message the thread sends
// dearer, and the program sends thousands of them while it makes its windows.
void UpdateCaptionHooks() {
    const bool wanted = gCaptions > 0 && SkinCaptionAlpha != 0;
    if (wanted && !gCBTHook) {
        gCBTHook.Reset(SetWindowsHookExW(WH_CBT, CaptionHookCBT, nullptr, GetCurrentThreadId()));
        gCallWndHook.Reset(SetWindowsHookExW(WH_CALLWNDPROC, CaptionHookCallWnd, nullptr, GetCurrentThreadId()));
    } else if (!wanted && gCBTHook) {
        gCBTHook.Reset();
        gCallWndHook.Reset();
    }
}

}  // namespace

TSkinCaption::TSkinCaption(TComponent* AOwner) : TComponent(AOwner) {
    if (ComponentState() & csDesigning) return;
    ++gCaptions;
    UpdateCaptionHooks();
}

TSkinCaption::~TSkinCaption() {
    if (ComponentState() & csDesigning) return;
    --gCaptions;
    UpdateCaptionHooks();
}

void TSkinCaption::SetActive(bool value) {
    FActive = value;
    SkinCaptionActive = value;
    if (ComponentState() & csDesigning) return;
    if (SkinManager) SkinManager->RefreshFrames();
}

void TSkinCaption::Loaded() {
    TComponent::Loaded();
    SkinCaptionAlpha = SkinAlpha;
    if (!(ComponentState() & csDesigning)) UpdateCaptionHooks();
}

bool DLL_InitSkin(const TSkinManageBase* Host) {
    if (RefuseOutsideLibrary("DLL_InitSkin") || !Host) return false;
    SkinDll(*Host);
    EnsureLibrarySkin();
    return true;
}

bool DLL_LoadSkinRes(const void* Data, size_t Size) {
    if (RefuseOutsideLibrary("DLL_LoadSkinRes") || !Data || !Size) return false;
    TMemoryStream stream;
    stream.WriteBuffer(Data, static_cast<int64_t>(Size));
    TSkinData* skin = EnsureLibrarySkin();
    skin->LoadFromStream(stream);
    return !skin->Loading();
}

bool DLL_SetActive(bool Value) {
    if (RefuseOutsideLibrary("DLL_SetActive")) return false;
    EnsureLibrarySkin()->SetActive(Value);
    return true;
}

bool DLL_SetSkinFile(const std::string& FileName) {
    if (RefuseOutsideLibrary("DLL_SetSkinFile")) return false;
    TSkinData* skin = EnsureLibrarySkin();
    skin->LoadFromFile(FileName);
    return !skin->Loading();
}

bool DLL_UnLoadSkin() {
    if (RefuseOutsideLibrary("DLL_UnLoadSkin")) return false;
    LibrarySkin().reset();
    return true;
}

bool DLL_Add3rdControl(const std::string& ClassName, const std::string& Kind) {
    if (RefuseOutsideLibrary("DLL_Add3rdControl") || ClassName.empty()) return false;
    EnsureLibrarySkin()->Skin3rd().Add(ClassName + "=" + Kind);
    return true;
}

}  // namespace quorin
