// The Windows side of the skin data unit: the optional user32 calls, metrics, the
// caption font, brushes, the application icon and wide-character text.
#include "skin/resources/Winskindata_win32.h"

#include <string>

#include "skin/resources/Gdi_win32.h"
#include "skin/resources/Winskindata.h"

#include "forms/Dpi.h"

namespace quorin {

TGetScrollBarInfo pGetScrollBarInfo = nullptr;
TTrackMouseEvent pTrackMouseEvent = nullptr;
TGetComboBoxInfo pGetComboBoxInfo = nullptr;
TDisableProcessWindowsGhosting pDisableProcessWindowsGhosting = nullptr;
bool Win32PlatformIsUnicode = false;

namespace {

// A function of the library by name, as the pointer type of its signature.
template <class F>
F Lookup(HMODULE library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

// Looks the optional calls up once for the whole run and lets the library go at exit.
class TUser32Calls {
public:
    TUser32Calls() : FLibrary(LoadLibraryW(L"user32.dll")) {
        if (FLibrary) {
            pGetScrollBarInfo = Lookup<TGetScrollBarInfo>(FLibrary, "GetScrollBarInfo");
            pTrackMouseEvent = Lookup<TTrackMouseEvent>(FLibrary, "TrackMouseEvent");
            pGetComboBoxInfo = Lookup<TGetComboBoxInfo>(FLibrary, "GetComboBoxInfo");
            pDisableProcessWindowsGhosting =
                Lookup<TDisableProcessWindowsGhosting>(FLibrary, "DisableProcessWindowsGhosting");
        }
        OSVERSIONINFOW v{};
        v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        Win32PlatformIsUnicode = GetVersionExW(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
    }
    ~TUser32Calls() {
        pGetScrollBarInfo = nullptr;
        pTrackMouseEvent = nullptr;
        pGetComboBoxInfo = nullptr;
        pDisableProcessWindowsGhosting = nullptr;
        if (FLibrary) FreeLibrary(FLibrary);
    }
    TUser32Calls(const TUser32Calls&) = delete;
    TUser32Calls& operator=(const TUser32Calls&) = delete;

private:
    HMODULE FLibrary;
};

TUser32Calls user32Calls;

// The name of the first icon group; a string name is copied, since the one handed to
// the callback need not outlive it.
struct TIconName {
    bool found = false;
    ULONG_PTR id = 0;
    std::wstring text;
    LPCWSTR Get() const { return text.empty() ? MAKEINTRESOURCEW(id) : text.c_str(); }
};

BOOL CALLBACK FirstIconGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* result = reinterpret_cast<TIconName*>(param);
    result->found = true;
    if (IS_INTRESOURCE(name)) {
        result->id = reinterpret_cast<ULONG_PTR>(name);
    } else {
        result->text = name;
    }
    return FALSE;  // the first one is enough
}

}  // namespace

int32_t SystemMetricHScrollArrow() { return GetSystemMetrics(SM_CXHSCROLL); }

void ScreenMaximizedSize(int32_t& width, int32_t& height) {
    width = GetSystemMetrics(SM_CXMAXIMIZED);
    height = GetSystemMetrics(SM_CYMAXIMIZED);
}

TPlatformFont MakeCaptionFont(int Dpi) {
    NONCLIENTMETRICSW metrics{};
    if (Dpi > 0) {
        if (!NonClientMetricsForDpi(metrics, Dpi)) return nullptr;
    } else {
        metrics.cbSize = sizeof(metrics);
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfCaptionFont);
}

void FreeFontHandle(TPlatformFont font) {
    if (font) DeleteObject(static_cast<HFONT>(font));
}

TPlatformBrush MakeSolidBrush(TColor color) { return CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color))); }

void FreeBrushHandle(TPlatformBrush brush) {
    if (brush) DeleteObject(static_cast<HBRUSH>(brush));
}

bool DrawApplicationIcon(TBitmap& bitmap, int Dpi) {
    // The program's icon is its first icon group resource.
    HMODULE module = GetModuleHandleW(nullptr);
    TIconName name;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, FirstIconGroup,
                       reinterpret_cast<LONG_PTR>(&name));
    if (!name.found) return false;
    // At a DPI: the small-icon size there, drawn from the icon's nearest image at or above it.
    const int cx = Dpi > 0 ? SystemMetricForDpi(SM_CXSMICON, Dpi) : GetSystemMetrics(SM_CXSMICON);
    const int cy = Dpi > 0 ? SystemMetricForDpi(SM_CYSMICON, Dpi) : GetSystemMetrics(SM_CYSMICON);
    TIconHandle icon(static_cast<HICON>(
        LoadImageW(module, name.Get(), IMAGE_ICON, Dpi > 0 ? IconSizeFor(cx) : cx, Dpi > 0 ? IconSizeFor(cy) : cy, 0)));
    if (!icon) return false;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(cx, cy);
    bitmap.Fill(KeyColor);
    {
        TBitmapDC dc(bitmap);
        DrawIconEx(dc.Handle(), 0, 0, icon.Get(), cx, cy, 0, nullptr, DI_NORMAL);
    }
    GdiFlush();
    return true;
}

bool PlatformHasScrollBarInfo() { return pGetScrollBarInfo != nullptr; }

bool PlatformScrollBarInfo(TWindowHandle window, int32_t object, void* info) {
    if (!pGetScrollBarInfo || !info) return false;
    return pGetScrollBarInfo(static_cast<HWND>(window), object, static_cast<PSCROLLBARINFO>(info)) != FALSE;
}

void DoTrackMouse(TWindowHandle window) {
    if (!pTrackMouseEvent) return;
    TRACKMOUSEEVENT t{};
    t.cbSize = sizeof(t);
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = static_cast<HWND>(window);
    pTrackMouseEvent(&t);
}

int Tnt_DrawTextW(void* dc, const std::u16string& text, TRect& rect, uint32_t format) {
    RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
    int result;
    if (Win32PlatformIsUnicode) {
        result = DrawTextW(static_cast<HDC>(dc), reinterpret_cast<LPCWSTR>(text.c_str()), static_cast<int>(text.size()),
                           &r, format);
    } else {
        std::string narrow = WideStringToStringEx(text);
        result = DrawTextA(static_cast<HDC>(dc), narrow.c_str(), static_cast<int>(narrow.size()), &r, format);
    }
    rect = TRect{r.left, r.top, r.right, r.bottom};
    return result;
}

}  // namespace quorin
