// Replacing the window procedure of a window that the framework does not own (a dialog, a
// message box, a pop-up menu window, an MDI client, a raw child control) with a method of
// a skin object, and putting the old one back.
//
// The exe is 64-bit, so there are no code thunks: each kind of hook has its own static
// window procedure and its own window property, which points at a small record holding
// the object and the procedure that was replaced. A window carries at most one hook of
// each kind, so a window is never hooked twice by the same kind of object.
//
// Removing a hook restores exactly the procedure that was there. When somebody else has
// subclassed the window after us, restoring would cut them off; the record then stays
// on the window and passes every message straight on until the window is destroyed.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/Controls.h"

namespace quorin {

// The kinds of hook; one window may carry one of each.
enum class THookKind : int {
    hkForm,       // the skin applier of a top-level window
    hkControl,    // the painter of a raw child window
    hkPopupMenu,  // a pop-up menu window
    hkMDIClient,  // the MDI client of a skinned MDI frame
    hkOther,      // a helper window of a painter (a combo box's button, an up-down)
    hkCount
};

class TWindowHook {
public:
    using TProc = std::function<void(TMessage&)>;

    TWindowHook() = default;
    ~TWindowHook() { Unhook(); }
    TWindowHook(const TWindowHook&) = delete;
    TWindowHook& operator=(const TWindowHook&) = delete;

    // Installs Proc as the window's procedure (the W or A form by IsWindowUnicode).
    // False when the window does not exist or already carries a live hook of this kind.
    bool Hook(HWND Window, THookKind Kind, TProc Proc);
    // Puts the replaced procedure back (see above); safe to call twice.
    void Unhook();
    bool Hooked() const { return FRecord != nullptr; }
    HWND Window() const { return FWindow; }
    bool Unicode() const { return FUnicode; }

    // The replaced procedure, with the result stored in the message. It stays callable
    // after Unhook, so a handler may unhook first and then pass the message on.
    void Default(TMessage& Message) const;
    WNDPROC OldProc() const { return FOld; }

    // Whether the window carries a hook of this kind.
    static bool IsHooked(HWND Window, THookKind Kind);
    // Makes the process's hook records now, if not yet made: whatever is made after them
    // is destroyed before them at program exit, and may unhook until then.
    static void MakeRecords();
    // Whether Hook would take the window: it carries no hook of this kind, or only one
    // left passing messages through (which Hook takes over).
    static bool CanHook(HWND Window, THookKind Kind);

    struct TRecord;

private:
    // This hook now holds the window through the record.
    void Hold(HWND Window, TRecord* Record);

    HWND FWindow = nullptr;
    bool FUnicode = false;
    TRecord* FRecord = nullptr;
    HWND FOldWindow = nullptr;  // the window and procedure Default calls
    WNDPROC FOld = nullptr;
};

}  // namespace quorin
