// Accessible objects: what assistive clients (screen readers, UI automation through its
// bridge) get when they ask a window of ours for an object (WM_GETOBJECT). The system makes
// a standard object for every window; ours wraps it and answers what the program knows
// better (a control's name from its label, its role, state, value and shortcut; the tabs
// of a page control, the rows of a list), leaving everything else to the standard object.
//
// This is the one room of the framework that knows about them. Controls answer WM_GETOBJECT
// through AnswerControlObject; the program tells clients of its own changes through
// AccessibleChanged. Objects for things the framework does not draw as windows (a skinned
// menu row, a skinned caption) are made elsewhere from a TAccessibleSource.
//
// An object keeps only a window handle and asks afresh on every call: a client may hold it
// after the control is gone (it then answers "disconnected"), and it always tells the
// present state and language.
//
// Windows only.
#pragma once

#include "forms/Controls.h"

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace quorin {

// The interface id, defined here: in a static link the imported symbol can come out wrong.
extern const IID kIIDAccessible;

// What an object tells of itself (child 0) or of one of its simple children. Unset fields
// are asked of the standard object (for the object itself), or left empty.
struct TAccessibleElement {
    std::optional<std::string> Name, Value, Description, Shortcut, DefaultAction;  // UTF-8
    std::optional<long> Role, State;
    std::optional<RECT> Screen;  // location in screen coordinates
};

// The answers behind one object. Children 1..ElementCount are the source's simple
// children; the standard object's children (child windows) follow them.
class TAccessibleSource {
public:
    virtual ~TAccessibleSource() = default;
    virtual HWND Window() const = 0;
    // False once what the object stood for is gone (its calls then fail as disconnected).
    virtual bool Alive() const { return IsWindow(Window()) != FALSE; }
    virtual int ElementCount() { return 0; }
    virtual void Describe(long Child, TAccessibleElement& Element) = 0;
    // Carries out a child's default action (later, by a posted message: a client's call must
    // not wait on a menu loop or a modal box). False when the child has none.
    virtual bool DoDefaultAction(long Child) { return false; }
    // The child under a screen point: 0 the object itself, -1 to ask the standard object.
    virtual long HitTest(POINT Screen) { return -1; }
    // The child with the keyboard focus: 0 the object itself, -1 to ask the standard object.
    virtual long FocusedChild() { return -1; }
};

// An object over a source, wrapping the standard object of (Window, ObjectId) when
// WrapStandard is set (the reference returned is the caller's); null when the system's
// accessibility library cannot be loaded.
IAccessible* MakeAccessibleObject(std::shared_ptr<TAccessibleSource> Source, LONG ObjectId, bool WrapStandard);

// WM_GETOBJECT's answer with that object (releases the caller's reference); 0 for null.
LRESULT AccessibleResult(IAccessible* Object, WPARAM WParam);

// The object id WM_GETOBJECT asks for.
inline LONG AccessibleObjectId(LPARAM LParam) { return static_cast<LONG>(static_cast<DWORD>(LParam)); }

// WM_GETOBJECT to a control: true (and the result set) when the object asked for is the
// control's client object and the control is one the framework describes.
bool AnswerControlObject(TWinControl* Control, TMessage& Message);

// The label that names a control: the label tied to it (FocusControl), else the label in
// front of it or just above it on the same parent; null when none.
class TLabel;
TLabel* LabelOfControl(const TWinControl* Control);

// The program changed a control; clients that follow it are told.
enum class TAccessibleChange { Value, State, Name, Selection, Focus };
void AccessibleChanged(TControl* Control, TAccessibleChange Change, long Child = CHILDID_SELF);

// The words clients read that are not captions (default actions, caption buttons' names),
// in the program's language. The program sets the source of them; English without it.
enum class TAccessibleWord {
    Press, Check, Uncheck, Switch, Open, Execute, Close, Minimize, Maximize, Restore, Help, MenuBar
};
void SetAccessibleWords(std::function<std::string(TAccessibleWord)> Words);
std::string AccessibleWord(TAccessibleWord Word);

}  // namespace quorin
