// The system's answers about display scale. The per-window and per-monitor questions came
// with later systems, so they are looked up by name; where one is missing the screen's
// logical pixels per inch answers, as it did before per-monitor scaling existed.
#include "forms/Dpi.h"

#include "forms/Handles.h"

namespace quorin {
namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForSystem = UINT(WINAPI*)();
using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);
using TSystemParametersInfoForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using TSetProcessDpiAwarenessContext = BOOL(WINAPI*)(HANDLE);
using TGetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <class T>
T User32Function(const char* Name) {
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(user32, Name))) : nullptr;
}

int ScreenLogPixels() {
    TClientDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Handle(), LOGPIXELSY);
    return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

int SystemDpi() {
    static const auto get = User32Function<TGetDpiForSystem>("GetDpiForSystem");
    if (get) {
        const UINT dpi = get();
        if (dpi > 0) return int(dpi);
    }
    return ScreenLogPixels();
}

int DpiForWindow(HWND Window) {
    static const auto get = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    if (get && Window) {
        const UINT dpi = get(Window);
        if (dpi > 0) return int(dpi);
    }
    return ScreenLogPixels();
}

int DpiForPoint(POINT P) {
    static const HMODULE shcore = LoadLibraryW(L"shcore.dll");
    static const auto get =
        shcore
            ? reinterpret_cast<TGetDpiForMonitor>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
            : nullptr;
    if (get) {
        UINT x = 0, y = 0;
        // MDT_EFFECTIVE_DPI = 0
        if (SUCCEEDED(get(MonitorFromPoint(P, MONITOR_DEFAULTTOPRIMARY), 0, &x, &y)) && y > 0) return int(y);
    }
    return SystemDpi();
}

int SystemMetricForDpi(int Index, int Dpi) {
    // At the system's DPI the system's own answer, unchanged.
    if (Dpi == SystemDpi()) return GetSystemMetrics(Index);
    static const auto get = User32Function<TGetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    if (get) return get(Index, UINT(Dpi));
    return DpiMulDiv(GetSystemMetrics(Index), Dpi, SystemDpi());
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& Metrics, int Dpi) {
    Metrics = NONCLIENTMETRICSW{};
    Metrics.cbSize = sizeof Metrics;
    static const auto get = User32Function<TSystemParametersInfoForDpi>("SystemParametersInfoForDpi");
    if (get && Dpi != SystemDpi() && get(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0, UINT(Dpi))) return true;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0)) return false;
    // The system's fonts are at the system DPI; carry them to the one asked for.
    const int system = SystemDpi();
    if (system != Dpi) {
        for (LOGFONTW* f : {&Metrics.lfCaptionFont, &Metrics.lfSmCaptionFont, &Metrics.lfMenuFont,
                            &Metrics.lfStatusFont, &Metrics.lfMessageFont})
            f->lfHeight = DpiMulDiv(f->lfHeight, Dpi, system);
    }
    return true;
}

void EnsureDpiAwareness() {
    static const auto set = User32Function<TSetProcessDpiAwarenessContext>("SetProcessDpiAwarenessContext");
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 is (HANDLE)-4; a process already aware
    // (by its manifest) keeps what it has, and the call then fails harmlessly.
    if (set) set(reinterpret_cast<HANDLE>(intptr_t(-4)));
}

}  // namespace quorin
