// Display scale, in one place. A stored layout says the DPI it was made at (its form's
// PixelsPerInch, 96); a window has the DPI of the monitor it is on. TDpiScale turns one
// into the other, and every scaled value is computed from the stored one, never from a
// value already scaled, so a window moved 96 -> 192 -> 96 gets its stored geometry back
// exactly. Controls, fonts, image lists and the skin ask their form's TDpiScale; nothing
// else multiplies by a DPI.
//
// The arithmetic is portable (tested natively); the questions to the system (a window's
// DPI, a monitor's, the metrics and fonts for a DPI) are in the Windows part below.
#pragma once

#include <cstdint>

namespace quorin {

constexpr int kDefaultDpi = 96;

// Value * Num / Den rounded half away from zero, as the system's MulDiv rounds, so a
// scaled rectangle here and one the system scales agree to the pixel.
constexpr int DpiMulDiv(int Value, int Num, int Den) {
    if (Den <= 0) return Value;
    const int64_t p = int64_t(Value) * Num;
    return int(p >= 0 ? (p + Den / 2) / Den : -((-p + Den / 2) / Den));
}

// One window's DPI against the DPI its stored values were made at.
struct TDpiScale {
    int Dpi = kDefaultDpi;     // the window's (the monitor's it is on)
    int Stored = kDefaultDpi;  // the stored layout's PixelsPerInch

    bool Identity() const { return Dpi == Stored; }
    // A stored length or position at the window's DPI.
    int Scale(int StoredValue) const { return Identity() ? StoredValue : DpiMulDiv(StoredValue, Dpi, Stored); }
    // A length at the window's DPI as the stored layout would say it (for values that
    // someone set at run time; stored values are never derived this way when known).
    int Unscale(int Value) const { return Identity() ? Value : DpiMulDiv(Value, Stored, Dpi); }
    // A length given at 96 DPI (a system metric, a picture drawn for 100 %).
    int FromDefault(int Value) const { return Dpi == kDefaultDpi ? Value : DpiMulDiv(Value, Dpi, kDefaultDpi); }
    // The scale in per cent (100, 150, 200 ...).
    int Percent() const { return DpiMulDiv(100, Dpi, kDefaultDpi); }
    bool operator==(const TDpiScale&) const = default;
};

// The sizes the program's icon is drawn at; an icon is shown from the nearest one at or
// above the size needed (the system shrinks it a little), never a smaller one enlarged.
constexpr int kIconSizes[] = {16, 20, 24, 32, 40, 48, 64};
constexpr int IconSizeFor(int Need) {
    for (int s : kIconSizes)
        if (s >= Need) return s;
    return kIconSizes[sizeof kIconSizes / sizeof kIconSizes[0] - 1];
}

}  // namespace quorin

#ifdef _WIN32
#include <windows.h>

namespace quorin {

// The DPI of a window: the system's per-window answer where the system has one, else the
// screen's logical pixels per inch. Asked once per form when its window is made and when
// the system says the DPI changed; everyone else asks the form's TDpiScale.
int DpiForWindow(HWND Window);
// The DPI of the monitor nearest to a point of the screen (where a window is about to be
// made), else the system's.
int DpiForPoint(POINT P);
// The system's DPI (the primary monitor's at log-on).
int SystemDpi();
// A system metric (GetSystemMetrics index) at a DPI: the system's per-DPI answer where it
// has one, else the metric scaled from the system DPI.
int SystemMetricForDpi(int Index, int Dpi);
// The non-client metrics (caption, menu and message fonts among them) at a DPI.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& Metrics, int Dpi);
// Asks the system for per-monitor awareness at run time when the manifest was not read
// (a test program, a host that strips manifests); the manifest's answer stands otherwise.
void EnsureDpiAwareness();
// WM_DPICHANGED, named here for systems whose headers lack it.
constexpr UINT kWmDpiChanged = 0x02E0;

}  // namespace quorin
#endif
