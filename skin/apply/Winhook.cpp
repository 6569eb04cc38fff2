#include "skin/apply/Winhook.h"

#include <array>
#include <mutex>
#include <unordered_map>

#include "forms/Forms.h"

namespace quorin {

struct TWindowHook::TRecord {
    TWindowHook* Owner = nullptr;  // null once unhooked but left in the chain
    TWindowHook::TProc Proc;
    WNDPROC Old = nullptr;
    bool Unicode = false;
    THookKind Kind = THookKind::hkForm;
};

namespace {

const wchar_t* PropName(THookKind kind) {
    static const std::array<const wchar_t*, size_t(THookKind::hkCount)> names = {
        L"QuorinSkinHook.Form", L"QuorinSkinHook.Control", L"QuorinSkinHook.PopupMenu", L"QuorinSkinHook.MDIClient",
        L"QuorinSkinHook.Other"};
    return names[size_t(kind)];
}

// The records again, kept in the process: the hook procedure finds its record on every
// message, and a property is read from the window manager's store each time (on some
// systems a call to another process). The property stays what marks a hooked window.
struct TRecords {
    std::mutex Lock;
    std::array<std::unordered_map<HWND, TWindowHook::TRecord*>, size_t(THookKind::hkCount)> Maps;
};

TRecords& Records() {
    static TRecords records;
    return records;
}

TWindowHook::TRecord* FindRecord(HWND hwnd, THookKind kind) {
    TRecords& all = Records();
    std::lock_guard<std::mutex> lock(all.Lock);
    auto& map = all.Maps[size_t(kind)];
    const auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

bool SetRecord(HWND hwnd, THookKind kind, TWindowHook::TRecord* r) {
    if (!SetPropW(hwnd, PropName(kind), r)) return false;
    TRecords& all = Records();
    std::lock_guard<std::mutex> lock(all.Lock);
    all.Maps[size_t(kind)][hwnd] = r;
    return true;
}

void RemoveRecord(HWND hwnd, THookKind kind) {
    RemovePropW(hwnd, PropName(kind));
    TRecords& all = Records();
    std::lock_guard<std::mutex> lock(all.Lock);
    all.Maps[size_t(kind)].erase(hwnd);
}

LRESULT CallOld(const TWindowHook::TRecord& r, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return r.Unicode ? CallWindowProcW(r.Old, hwnd, msg, wParam, lParam)
                     : CallWindowProcA(r.Old, hwnd, msg, wParam, lParam);
}

template <THookKind Kind>
LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWindowHook::TRecord* r = FindRecord(hwnd, Kind);
    if (!r) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (!r->Owner) {
        // Left in the chain by an unhook that could not restore: pass everything on, and
        // free the record with the window.
        LRESULT result = CallOld(*r, hwnd, msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            RemoveRecord(hwnd, Kind);
            delete r;
        }
        return result;
    }
    TMessage m{msg, wParam, lParam, 0};
    // The handler may unhook (and so free nothing but the owner's link); keep the record.
    TWindowHook::TProc proc = r->Proc;
    // No exception may cross the system's frames, as for the framework's own windows: the
    // application shows it, except while painting, where a message box would only ask for
    // the same painting again; the area then counts as painted.
    try {
        proc(m);
    } catch (...) {
        switch (msg) {
        case WM_PAINT: ValidateRect(hwnd, nullptr); break;
        case WM_NCACTIVATE: m.Result = TRUE; break;
        case WM_NCPAINT:
        case WM_ERASEBKGND:
        case WM_DRAWITEM:
        case WM_PRINT:
        case WM_PRINTCLIENT: break;
        default:
            if (Application) Application->HandleException(nullptr);
        }
    }
    return m.Result;
}

WNDPROC ProcOf(THookKind kind) {
    switch (kind) {
    case THookKind::hkForm: return &HookProc<THookKind::hkForm>;
    case THookKind::hkControl: return &HookProc<THookKind::hkControl>;
    case THookKind::hkPopupMenu: return &HookProc<THookKind::hkPopupMenu>;
    case THookKind::hkMDIClient: return &HookProc<THookKind::hkMDIClient>;
    default: return &HookProc<THookKind::hkOther>;
    }
}

}  // namespace

bool TWindowHook::IsHooked(HWND Window, THookKind Kind) {
    return Window && GetPropW(Window, PropName(Kind)) != nullptr;
}

void TWindowHook::MakeRecords() { Records(); }

bool TWindowHook::CanHook(HWND Window, THookKind Kind) {
    if (!Window || !IsWindow(Window)) return false;
    if (!IsHooked(Window, Kind)) return true;
    const TRecord* left = FindRecord(Window, Kind);
    return left && !left->Owner;
}

bool TWindowHook::Hook(HWND Window, THookKind Kind, TProc Proc) {
    if (FRecord || !Window || !IsWindow(Window)) return false;
    if (IsHooked(Window, Kind)) {
        // A pass-through record left by an earlier hook is still in the chain, behind
        // whoever subclassed after it: it is taken over rather than stacked upon, and
        // messages reach us again through it.
        TRecord* left = FindRecord(Window, Kind);
        if (!left || left->Owner) return false;
        left->Owner = this;
        left->Proc = std::move(Proc);
        Hold(Window, left);
        return true;
    }
    auto* r = new TRecord;
    r->Owner = this;
    r->Proc = std::move(Proc);
    r->Unicode = IsWindowUnicode(Window) != FALSE;
    r->Kind = Kind;
    if (!SetRecord(Window, Kind, r)) {
        delete r;
        return false;
    }
    WNDPROC mine = ProcOf(Kind);
    r->Old = r->Unicode ? reinterpret_cast<WNDPROC>(SetWindowLongPtrW(Window, GWLP_WNDPROC, LONG_PTR(mine)))
                        : reinterpret_cast<WNDPROC>(SetWindowLongPtrA(Window, GWLP_WNDPROC, LONG_PTR(mine)));
    if (!r->Old) {
        RemoveRecord(Window, Kind);
        delete r;
        return false;
    }
    Hold(Window, r);
    return true;
}

void TWindowHook::Hold(HWND Window, TRecord* Record) {
    FWindow = Window;
    FUnicode = Record->Unicode;
    FRecord = Record;
    FOldWindow = Window;
    FOld = Record->Old;
}

void TWindowHook::Unhook() {
    TRecord* r = FRecord;
    if (!r) return;
    FRecord = nullptr;
    HWND w = FWindow;
    FWindow = nullptr;
    if (!IsWindow(w)) {
        // The window is gone; its procedure no longer runs.
        RemoveRecord(w, r->Kind);
        delete r;
        return;
    }
    WNDPROC mine = ProcOf(r->Kind);
    WNDPROC current = r->Unicode ? reinterpret_cast<WNDPROC>(GetWindowLongPtrW(w, GWLP_WNDPROC))
                                 : reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w, GWLP_WNDPROC));
    if (current == mine) {
        if (r->Unicode)
            SetWindowLongPtrW(w, GWLP_WNDPROC, LONG_PTR(r->Old));
        else
            SetWindowLongPtrA(w, GWLP_WNDPROC, LONG_PTR(r->Old));
        RemoveRecord(w, r->Kind);
        delete r;
    } else {
        // Someone subclassed after us: stay in the chain as a pass-through.
        r->Owner = nullptr;
        r->Proc = nullptr;
    }
}

void TWindowHook::Default(TMessage& Message) const {
    if (!FOld || !FOldWindow) {
        Message.Result = 0;
        return;
    }
    Message.Result = FUnicode ? CallWindowProcW(FOld, FOldWindow, Message.Msg, Message.WParam, Message.LParam)
                              : CallWindowProcA(FOld, FOldWindow, Message.Msg, Message.WParam, Message.LParam);
}

}  // namespace quorin
