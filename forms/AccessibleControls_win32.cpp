// The accessible objects of the framework's controls: the system's standard object of the
// control's client area (which knows the window, its place and its parent), told the
// control's name, role, state, value and shortcut, and for a page control, a list and a
// status bar their tabs, rows and panels. The native controls are registered under our own
// class names, so the system cannot tell what they are: the framework can.
#include "forms/Accessible.h"

#include "forms/AccessText.h"
#include "forms/ComCtrls.h"
#include "forms/StdCtrls.h"
#include "forms/WinText.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

namespace quorin {
namespace {

enum class TKind { Button, Check, Radio, Edit, Combo, Tabs, Sheet, Group, List, Status };

std::optional<TKind> KindOf(const TWinControl* Control) {
    if (dynamic_cast<const TCheckBox*>(Control)) return TKind::Check;
    if (dynamic_cast<const TRadioButton*>(Control)) return TKind::Radio;
    if (dynamic_cast<const TButton*>(Control)) return TKind::Button;
    if (dynamic_cast<const TCustomEdit*>(Control)) return TKind::Edit;
    if (dynamic_cast<const TComboBox*>(Control)) return TKind::Combo;
    if (dynamic_cast<const TPageControl*>(Control) || dynamic_cast<const TTabControl*>(Control)) return TKind::Tabs;
    if (dynamic_cast<const TTabSheet*>(Control)) return TKind::Sheet;
    if (dynamic_cast<const TGroupBox*>(Control)) return TKind::Group;
    if (dynamic_cast<const TListView*>(Control)) return TKind::List;
    if (dynamic_cast<const TStatusBar*>(Control)) return TKind::Status;
    return std::nullopt;
}

// Controls that name themselves by their caption; the others are named by their label.
bool NamedByCaption(TKind Kind) {
    return Kind == TKind::Button || Kind == TKind::Check || Kind == TKind::Radio || Kind == TKind::Sheet ||
           Kind == TKind::Group;
}

bool TakesFocus(TKind Kind) {
    return Kind != TKind::Sheet && Kind != TKind::Group && Kind != TKind::Status;
}

RECT ToScreen(HWND Window, RECT R) {
    MapWindowPoints(Window, nullptr, reinterpret_cast<POINT*>(&R), 2);
    return R;
}

std::string TabText(HWND Window, int Index) {
    wchar_t text[260] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 259;
    SendMessageW(Window, TCM_GETITEMW, WPARAM(Index), reinterpret_cast<LPARAM>(&item));
    return ToUtf8(text);
}

std::string ListText(HWND Window, int Row, int Column) {
    std::wstring text(512, L'\0');
    LVITEMW item{};
    item.iSubItem = Column;
    item.pszText = text.data();
    item.cchTextMax = int(text.size());
    const LRESULT n = SendMessageW(Window, LVM_GETITEMTEXTW, WPARAM(Row), reinterpret_cast<LPARAM>(&item));
    text.resize(size_t(n > 0 ? n : 0));
    return ToUtf8(text);
}

std::vector<std::string> ListColumns(HWND Window) {
    std::vector<std::string> names;
    for (int i = 0; i < 64; ++i) {
        wchar_t text[260] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text;
        column.cchTextMax = 259;
        if (!SendMessageW(Window, LVM_GETCOLUMNW, WPARAM(i), reinterpret_cast<LPARAM>(&column))) break;
        names.push_back(ToUtf8(text));
    }
    return names;
}

std::string StatusText(HWND Window, int Part) {
    const LRESULT length = SendMessageW(Window, SB_GETTEXTLENGTHW, WPARAM(Part), 0);
    std::wstring text(size_t(LOWORD(length)) + 1, L'\0');
    SendMessageW(Window, SB_GETTEXTW, WPARAM(Part), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return ToUtf8(text);
}

// A status panel's text as it reads: the tabs that align it and blanks trimmed.
std::string TrimmedText(std::string Text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!Text.empty() && blank(Text.back())) Text.pop_back();
    size_t first = 0;
    while (first < Text.size() && blank(Text[first])) ++first;
    return Text.substr(first);
}

class TControlSource final : public TAccessibleSource {
public:
    TControlSource(HWND Window, TKind Kind) : FWindow(Window), FKind(Kind) {}

    HWND Window() const override { return FWindow; }
    bool Alive() const override { return FindControl(FWindow) != nullptr; }

    int ElementCount() override {
        switch (FKind) {
        case TKind::Tabs: return int(SendMessageW(FWindow, TCM_GETITEMCOUNT, 0, 0));
        case TKind::List: return int(SendMessageW(FWindow, LVM_GETITEMCOUNT, 0, 0));
        case TKind::Status: return std::max(1, int(SendMessageW(FWindow, SB_GETPARTS, 0, 0)));
        default: return 0;
        }
    }

    void Describe(long Child, TAccessibleElement& E) override {
        TWinControl* control = FindControl(FWindow);
        if (!control) return;
        if (Child == CHILDID_SELF)
            DescribeSelf(*control, E);
        else
            DescribeChild(*control, int(Child - 1), E);
    }

    bool DoDefaultAction(long Child) override {
        switch (FKind) {
        case TKind::Button:
        case TKind::Check:
        case TKind::Radio:
            if (Child != CHILDID_SELF || !IsWindowEnabled(FWindow)) return false;
            return PostMessageW(FWindow, BM_CLICK, 0, 0) != FALSE;
        case TKind::Tabs:
            // As a click on the tab: the control asks its owner and switches the page.
            if (Child < 1 || !IsWindowEnabled(FWindow)) return false;
            return PostMessageW(FWindow, TCM_SETCURFOCUS, WPARAM(Child - 1), 0) != FALSE;
        default: return false;
        }
    }

    long HitTest(POINT Screen) override {
        POINT p = Screen;
        ScreenToClient(FWindow, &p);
        RECT client{};
        GetClientRect(FWindow, &client);
        switch (FKind) {
        case TKind::Tabs: {
            TCHITTESTINFO hit{p, 0};
            const LRESULT i = SendMessageW(FWindow, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            return i >= 0 ? long(i + 1) : -1;
        }
        case TKind::List: {
            LVHITTESTINFO hit{};
            hit.pt = p;
            const LRESULT i = SendMessageW(FWindow, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (i >= 0) return long(i + 1);
            return PtInRect(&client, p) ? CHILDID_SELF : -1;
        }
        default: return -1;
        }
    }

    long FocusedChild() override {
        const HWND focus = GetFocus();
        if (focus != FWindow && !IsChild(FWindow, focus)) return -1;
        if (FKind == TKind::List) {
            const LRESULT i = SendMessageW(FWindow, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED);
            return i >= 0 ? long(i + 1) : CHILDID_SELF;
        }
        if (FKind == TKind::Tabs) {
            const LRESULT i = SendMessageW(FWindow, TCM_GETCURFOCUS, 0, 0);
            return i >= 0 ? long(i + 1) : CHILDID_SELF;
        }
        return CHILDID_SELF;
    }

private:
    bool Focused() const {
        const HWND focus = GetFocus();
        return focus && (focus == FWindow || IsChild(FWindow, focus));
    }

    long BaseState() const {
        long s = 0;
        if (!IsWindowVisible(FWindow)) s |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(FWindow))
            s |= STATE_SYSTEM_UNAVAILABLE;
        else if (TakesFocus(FKind))
            s |= STATE_SYSTEM_FOCUSABLE;
        if (TakesFocus(FKind) && Focused()) s |= STATE_SYSTEM_FOCUSED;
        return s;
    }

    void DescribeSelf(TWinControl& Control, TAccessibleElement& E) {
        long state = BaseState();
        std::string caption = Control.Caption();
        if (NamedByCaption(FKind)) {
            E.Name = TextWithoutMarker(caption);
            E.Shortcut = AltShortcut(caption);
        } else {
            TLabel* label = LabelOfControl(&Control);
            std::string name = label ? label->Caption() : std::string();
            if (!label)
                // Else the group box it is in, or the page it stands alone on.
                for (TWinControl* p = Control.Parent(); p && !dynamic_cast<TCustomForm*>(p); p = p->Parent())
                    if (dynamic_cast<TGroupBox*>(p) || dynamic_cast<TTabSheet*>(p)) {
                        name = p->Caption();
                        break;
                    }
            E.Name = TextWithoutMarker(name);
            E.Shortcut = label && label->ShowAccelChar() ? AltShortcut(name) : std::string();
        }
        switch (FKind) {
        case TKind::Button: {
            E.Role = ROLE_SYSTEM_PUSHBUTTON;
            E.DefaultAction = AccessibleWord(TAccessibleWord::Press);
            if ((GetWindowLongW(FWindow, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON) state |= STATE_SYSTEM_DEFAULT;
            if (SendMessageW(FWindow, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= STATE_SYSTEM_PRESSED;
            break;
        }
        case TKind::Check: {
            auto& box = static_cast<TCheckBox&>(Control);
            E.Role = ROLE_SYSTEM_CHECKBUTTON;
            if (box.State() == TCheckBoxState::cbChecked) state |= STATE_SYSTEM_CHECKED;
            if (box.State() == TCheckBoxState::cbGrayed) state |= STATE_SYSTEM_MIXED;
            E.DefaultAction = AccessibleWord(box.Checked() ? TAccessibleWord::Uncheck : TAccessibleWord::Check);
            break;
        }
        case TKind::Radio:
            E.Role = ROLE_SYSTEM_RADIOBUTTON;
            if (static_cast<TRadioButton&>(Control).Checked()) state |= STATE_SYSTEM_CHECKED;
            E.DefaultAction = AccessibleWord(TAccessibleWord::Check);
            break;
        case TKind::Edit: {
            auto& edit = static_cast<TCustomEdit&>(Control);
            E.Role = ROLE_SYSTEM_TEXT;
            if (edit.ReadOnly()) state |= STATE_SYSTEM_READONLY;
            if (GetWindowLongW(FWindow, GWL_STYLE) & ES_PASSWORD)
                state |= STATE_SYSTEM_PROTECTED;
            else
                E.Value = edit.Text();
            break;
        }
        case TKind::Combo: {
            auto& combo = static_cast<TComboBox&>(Control);
            E.Role = ROLE_SYSTEM_COMBOBOX;
            E.Value = combo.Text();
            state |= combo.HandleAllocated() && combo.DroppedDown() ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
            if (combo.Style() == TComboBoxStyle::csDropDownList) state |= STATE_SYSTEM_READONLY;
            break;
        }
        case TKind::Tabs: E.Role = ROLE_SYSTEM_PAGETABLIST; break;
        case TKind::Sheet: E.Role = ROLE_SYSTEM_PROPERTYPAGE; break;
        case TKind::Group: E.Role = ROLE_SYSTEM_GROUPING; break;
        case TKind::List: {
            E.Role = ROLE_SYSTEM_LIST;
            std::string columns;
            for (const std::string& c : ListColumns(FWindow)) columns += (columns.empty() ? "" : ", ") + c;
            E.Description = columns;
            break;
        }
        case TKind::Status: {
            E.Role = ROLE_SYSTEM_STATUSBAR;
            std::string all;
            for (int i = 0, n = ElementCount(); i < n; ++i)
                if (std::string t = TrimmedText(StatusText(FWindow, i)); !t.empty())
                    all += (all.empty() ? "" : " ") + t;
            E.Name = all;
            E.Shortcut = std::string();
            break;
        }
        }
        E.State = state;
    }

    void DescribeChild(TWinControl& Control, int Index, TAccessibleElement& E) {
        const bool enabled = IsWindowEnabled(FWindow) != FALSE;
        const long hidden = IsWindowVisible(FWindow) ? 0 : STATE_SYSTEM_INVISIBLE;
        switch (FKind) {
        case TKind::Tabs: {
            const std::string text = TabText(FWindow, Index);
            E.Name = TextWithoutMarker(text);
            E.Role = ROLE_SYSTEM_PAGETAB;
            E.DefaultAction = AccessibleWord(TAccessibleWord::Switch);
            long state = hidden | (enabled ? STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE);
            if (SendMessageW(FWindow, TCM_GETCURSEL, 0, 0) == Index) state |= STATE_SYSTEM_SELECTED;
            if (Focused() && SendMessageW(FWindow, TCM_GETCURFOCUS, 0, 0) == Index) state |= STATE_SYSTEM_FOCUSED;
            E.State = state;
            RECT r{};
            if (SendMessageW(FWindow, TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)))
                E.Screen = ToScreen(FWindow, r);
            break;
        }
        case TKind::List: {
            E.Name = ListText(FWindow, Index, 0);
            E.Role = ROLE_SYSTEM_LISTITEM;
            const std::vector<std::string> columns = ListColumns(FWindow);
            std::string description;
            for (size_t c = 1; c < columns.size(); ++c)
                description += (description.empty() ? "" : ", ") + columns[c] + ": " + ListText(FWindow, Index, int(c));
            E.Description = description;
            long state = hidden | (enabled ? STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE);
            const LRESULT s =
                SendMessageW(FWindow, LVM_GETITEMSTATE, WPARAM(Index), LVIS_SELECTED | LVIS_FOCUSED);
            if (s & LVIS_SELECTED) state |= STATE_SYSTEM_SELECTED;
            if ((s & LVIS_FOCUSED) && Focused()) state |= STATE_SYSTEM_FOCUSED;
            E.State = state;
            RECT r{};
            r.left = LVIR_BOUNDS;
            if (SendMessageW(FWindow, LVM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)))
                E.Screen = ToScreen(FWindow, r);
            break;
        }
        case TKind::Status: {
            E.Name = TrimmedText(StatusText(FWindow, Index));
            E.Role = ROLE_SYSTEM_STATICTEXT;
            E.State = hidden | STATE_SYSTEM_READONLY;
            RECT r{};
            if (SendMessageW(FWindow, SB_GETRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r)))
                E.Screen = ToScreen(FWindow, r);
            break;
        }
        default: break;
        }
        (void)Control;
    }

    HWND FWindow;
    TKind FKind;
};

bool Overlap(int A0, int A1, int B0, int B1) { return A0 < B1 && B0 < A1; }

// Another windowed control of the parent lies between the label and the control.
bool SomethingBetween(const TWinControl& Parent, const TControl& Control, const RECT& Gap) {
    for (int i = 0; i < Parent.ControlCount(); ++i) {
        TControl* c = Parent.Controls(i);
        if (c == &Control || !c->Visible() || !dynamic_cast<TWinControl*>(c)) continue;
        const RECT b = c->BoundsRect();
        if (Overlap(b.left, b.right, Gap.left, Gap.right) && Overlap(b.top, b.bottom, Gap.top, Gap.bottom)) return true;
    }
    return false;
}

// The label stands in front of a control other than this one (its words are that one's).
bool InFrontOfAnother(const TWinControl& Parent, const TControl& Control, const RECT& Label) {
    for (int i = 0; i < Parent.ControlCount(); ++i) {
        TControl* c = Parent.Controls(i);
        if (c == &Control || !c->Visible() || !dynamic_cast<TWinControl*>(c)) continue;
        const RECT b = c->BoundsRect();
        if (Overlap(Label.top, Label.bottom, b.top, b.bottom) && Label.left < b.left &&
            b.left - Label.right <= 2 * (Label.bottom - Label.top))
            return true;
    }
    return false;
}


}  // namespace

TLabel* LabelOfControl(const TWinControl* Control) {
    if (!Control) return nullptr;
    // Tied to it: the form designer's word is final.
    if (TComponent* owner = Control->Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(owner->Components(i)); label && label->FocusControl() == Control)
                return label;
    TWinControl* parent = Control->Parent();
    if (!parent) return nullptr;
    const RECT c = Control->BoundsRect();
    TLabel* front = nullptr;
    TLabel* above = nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* label = dynamic_cast<TLabel*>(parent->Controls(i));
        // A hidden label still names its control: it is hidden with it, or the control
        // stands without its words on screen, and the words are still the best name.
        if (!label || (label->FocusControl() && label->FocusControl() != Control)) continue;
        const RECT l = label->BoundsRect();
        // In front: on the same line, starting left of the control, the nearest such.
        if (Overlap(l.top, l.bottom, c.top, c.bottom) && l.left < c.left) {
            const RECT gap{l.left + 1, std::max(l.top, c.top), c.left, std::min(l.bottom, c.bottom)};
            if (!SomethingBetween(*parent, *Control, gap) && (!front || l.left > front->Left())) front = label;
            continue;
        }
        // Above: just over it, overlapping it across.
        const long height = std::max(1L, long(l.bottom - l.top));
        if (l.bottom <= c.top + 2 && c.top - l.bottom <= 2 * height && Overlap(l.left, l.right, c.left, c.right)) {
            const RECT gap{std::max(l.left, c.left), l.bottom, std::min(l.right, c.right), c.top};
            if (!SomethingBetween(*parent, *Control, gap) && !InFrontOfAnother(*parent, *Control, l) && (!above || l.bottom > long(above->Top() + above->Height())))
                above = label;
        }
    }
    return front ? front : above;
}

bool AnswerControlObject(TWinControl* Control, TMessage& Message) {
    if (!Control || !Control->HandleAllocated() || AccessibleObjectId(Message.LParam) != OBJID_CLIENT) return false;
    const std::optional<TKind> kind = KindOf(Control);
    if (!kind) return false;
    auto source = std::make_shared<TControlSource>(Control->Handle(), *kind);
    Message.Result = AccessibleResult(MakeAccessibleObject(std::move(source), OBJID_CLIENT, true), Message.WParam);
    return true;
}

void AccessibleChanged(TControl* Control, TAccessibleChange Change, long Child) {
    if (!Control) return;
    if (auto* label = dynamic_cast<TLabel*>(Control)) {
        // A label's text is the name of the control it describes.
        TWinControl* parent = label->Parent();
        if (TWinControl* tied = label->FocusControl()) {
            if (tied->HandleAllocated())
                NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, tied->Handle(), OBJID_CLIENT, CHILDID_SELF);
            return;
        }
        for (int i = 0; parent && i < parent->ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
                w && w->HandleAllocated() && LabelOfControl(w) == label)
                NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, w->Handle(), OBJID_CLIENT, CHILDID_SELF);
        return;
    }
    auto* control = dynamic_cast<TWinControl*>(Control);
    if (!control || !control->HandleAllocated()) return;
    const std::optional<TKind> kind = KindOf(control);
    DWORD event = 0;
    switch (Change) {
    case TAccessibleChange::Value:
        event = kind == TKind::Edit || kind == TKind::Combo ? EVENT_OBJECT_VALUECHANGE : EVENT_OBJECT_NAMECHANGE;
        break;
    case TAccessibleChange::State: event = EVENT_OBJECT_STATECHANGE; break;
    case TAccessibleChange::Name: event = EVENT_OBJECT_NAMECHANGE; break;
    case TAccessibleChange::Selection: event = EVENT_OBJECT_SELECTION; break;
    case TAccessibleChange::Focus: event = EVENT_OBJECT_FOCUS; break;
    }
    NotifyWinEvent(event, control->Handle(), OBJID_CLIENT, Child);
}

}  // namespace quorin
