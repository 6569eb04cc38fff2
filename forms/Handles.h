// Scoped owners of the handles the window code acquires, each giving its handle back to the
// system when its scope ends. All are move-only: a handle has one owner at a time.
//
//   TGdiObject<H>   a GDI object (brush, pen, font, bitmap, region): DeleteObject
//   TKernelHandle   a kernel handle (file, event, thread): CloseHandle
//   THookHandle     a Windows hook: UnhookWindowsHookEx
//   TFindHandle     a search of a folder (FindFirstFile): FindClose
//   TIconHandle     an icon made by the program (CopyImage, CreateIconIndirect): DestroyIcon
//   TTimerHandle    a timer a class runs (a window's or the thread's): KillTimer
//   TPaintDC        BeginPaint .. EndPaint
//   TClientDC       GetDC .. ReleaseDC
//   TWindowDC       GetWindowDC .. ReleaseDC
//   TMemoryDC       CreateCompatibleDC .. DeleteDC
//   TSavedDC        SaveDC .. RestoreDC
//   TSelectObject   SelectObject .. SelectObject of the one it replaced
//
// Where a DC and an object selected into it share a scope, declare the DC first, so the
// object is selected back out before the DC is given back. Windows only.
#pragma once

#include <windows.h>

#include <utility>

#include "forms/OwnedHandle.h"

namespace quorin {

template <class H>
struct TGdiObjectTraits {
    using THandleType = H;
    static bool Valid(H Handle) { return Handle != nullptr; }
    static void Free(H Handle) { DeleteObject(Handle); }
};
template <class H>
using TGdiObject = TOwnedHandle<TGdiObjectTraits<H>>;

// CreateFile answers INVALID_HANDLE_VALUE where other calls answer null: both are empty.
struct TKernelHandleTraits {
    using THandleType = HANDLE;
    static bool Valid(HANDLE Handle) { return Handle != nullptr && Handle != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE Handle) { CloseHandle(Handle); }
};
using TKernelHandle = TOwnedHandle<TKernelHandleTraits>;

struct THookHandleTraits {
    using THandleType = HHOOK;
    static bool Valid(HHOOK Handle) { return Handle != nullptr; }
    static void Free(HHOOK Handle) { UnhookWindowsHookEx(Handle); }
};
using THookHandle = TOwnedHandle<THookHandleTraits>;

struct TFindHandleTraits {
    using THandleType = HANDLE;
    static bool Valid(HANDLE Handle) { return Handle != nullptr && Handle != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE Handle) { FindClose(Handle); }
};
using TFindHandle = TOwnedHandle<TFindHandleTraits>;

struct TIconHandleTraits {
    using THandleType = HICON;
    static bool Valid(HICON Handle) { return Handle != nullptr; }
    static void Free(HICON Handle) { DestroyIcon(Handle); }
};
using TIconHandle = TOwnedHandle<TIconHandleTraits>;

// A running timer: a window's (its id chosen by the window) or the thread's (its id chosen
// by SetTimer). Start with the id of the running one replaces its interval, as SetTimer does.
class TTimerHandle {
public:
    TTimerHandle() = default;
    TTimerHandle(const TTimerHandle&) = delete;
    TTimerHandle& operator=(const TTimerHandle&) = delete;
    TTimerHandle(TTimerHandle&& Other) noexcept
        : FWindow(std::exchange(Other.FWindow, nullptr)), FId(std::exchange(Other.FId, 0)) {}
    TTimerHandle& operator=(TTimerHandle&& Other) noexcept {
        if (this != &Other) {
            Reset();
            FWindow = std::exchange(Other.FWindow, nullptr);
            FId = std::exchange(Other.FId, 0);
        }
        return *this;
    }
    ~TTimerHandle() { Reset(); }

    // Starts (or restarts) the timer; false when the system would not. A window's timer is
    // asked for by Id; a thread's timer keeps the id SetTimer chose.
    bool Start(HWND Window, UINT_PTR Id, UINT Interval, TIMERPROC Proc = nullptr) {
        if (FId && FWindow != Window) Reset();
        const UINT_PTR id = SetTimer(Window, Window ? Id : FId, Interval, Proc);
        if (!id) return false;
        FWindow = Window;
        FId = Window ? Id : id;
        return true;
    }
    UINT_PTR Id() const { return FId; }
    explicit operator bool() const { return FId != 0; }
    void Reset() {
        if (FId) KillTimer(FWindow, FId);
        FWindow = nullptr;
        FId = 0;
    }

private:
    HWND FWindow = nullptr;
    UINT_PTR FId = 0;
};

// The DC of a WM_PAINT: EndPaint runs however the painting ends, so a paint that throws
// cannot leave the paint structure open.
class TPaintDC {
public:
    explicit TPaintDC(HWND Window) : FWindow(Window), FDC(BeginPaint(Window, &FPaint)) {}
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() {
        if (FDC) EndPaint(FWindow, &FPaint);
    }

    HDC Handle() const { return FDC; }
    const PAINTSTRUCT& Paint() const { return FPaint; }

private:
    HWND FWindow;
    PAINTSTRUCT FPaint{};
    HDC FDC;
};

// GetDC and GetWindowDC share their release; null asks for the screen's DC.
template <HDC (*Acquire)(HWND)>
class TWindowBoundDC {
public:
    explicit TWindowBoundDC(HWND Window) : FWindow(Window), FDC(Acquire(Window)) {}
    TWindowBoundDC(const TWindowBoundDC&) = delete;
    TWindowBoundDC& operator=(const TWindowBoundDC&) = delete;
    TWindowBoundDC(TWindowBoundDC&& Other) noexcept : FWindow(Other.FWindow), FDC(std::exchange(Other.FDC, nullptr)) {}
    TWindowBoundDC& operator=(TWindowBoundDC&&) = delete;
    ~TWindowBoundDC() {
        if (FDC) ReleaseDC(FWindow, FDC);
    }

    HDC Handle() const { return FDC; }

private:
    HWND FWindow;
    HDC FDC;
};
inline HDC AcquireClientDC(HWND Window) { return GetDC(Window); }
inline HDC AcquireWindowDC(HWND Window) { return GetWindowDC(Window); }
using TClientDC = TWindowBoundDC<&AcquireClientDC>;
using TWindowDC = TWindowBoundDC<&AcquireWindowDC>;

class TMemoryDC {
public:
    // A memory DC compatible with Compatible (null: with the screen).
    explicit TMemoryDC(HDC Compatible) : FDC(CreateCompatibleDC(Compatible)) {}
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    TMemoryDC(TMemoryDC&& Other) noexcept : FDC(std::exchange(Other.FDC, nullptr)) {}
    TMemoryDC& operator=(TMemoryDC&&) = delete;
    ~TMemoryDC() {
        if (FDC) DeleteDC(FDC);
    }

    HDC Handle() const { return FDC; }

private:
    HDC FDC;
};

// The DC's state (clipping, origins, objects, colours, modes) as it was, put back at the end.
class TSavedDC {
public:
    explicit TSavedDC(HDC DC) : FDC(DC), FSaved(DC ? SaveDC(DC) : 0) {}
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
    TSavedDC(TSavedDC&& Other) noexcept : FDC(Other.FDC), FSaved(std::exchange(Other.FSaved, 0)) {}
    TSavedDC& operator=(TSavedDC&&) = delete;
    ~TSavedDC() {
        if (FSaved) RestoreDC(FDC, FSaved);
    }

private:
    HDC FDC;
    int FSaved;
};

// Selects an object into a DC; the one it replaced goes back at the end. A null object
// selects nothing. Assigning puts the replaced one back first.
class TSelectObject {
public:
    TSelectObject() = default;
    TSelectObject(HDC DC, HGDIOBJ Object) : FDC(DC), FOld(DC && Object ? SelectObject(DC, Object) : nullptr) {}
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
    TSelectObject(TSelectObject&& Other) noexcept : FDC(Other.FDC), FOld(std::exchange(Other.FOld, nullptr)) {}
    TSelectObject& operator=(TSelectObject&& Other) noexcept {
        if (this != &Other) {
            Restore();
            FDC = Other.FDC;
            FOld = std::exchange(Other.FOld, nullptr);
        }
        return *this;
    }
    ~TSelectObject() { Restore(); }

    // True while something is selected that has to go back.
    explicit operator bool() const { return FOld != nullptr; }

private:
    void Restore() {
        if (FOld) SelectObject(FDC, std::exchange(FOld, nullptr));
    }
    HDC FDC = nullptr;
    HGDIOBJ FOld = nullptr;
};

}  // namespace quorin
