// The standard controls.
#include "forms/StdCtrls.h"

#include "forms/Accessible.h"
#include "forms/WinText.h"

#include <commctrl.h>

namespace quorin {

// ======================= TLabel =======================

QUORIN_DEFINE_CLASS(TLabel, TGraphicControl) {
    p.Enum<TAlignment>("Alignment", &TLabel::Alignment, &TLabel::SetAlignment,
                       {"taLeftJustify", "taRightJustify", "taCenter"});
    p.Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize);
    p.Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent);
    p.Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap);
    p.Enum<TTextLayout>("Layout", &TLabel::Layout, &TLabel::SetLayout, {"tlTop", "tlCenter", "tlBottom"});
    p.Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar);
    p.Ref<TWinControl>("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
}

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = true;
    FWidth = 65;
    FHeight = 13;
}

void TLabel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}
void TLabel::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}
void TLabel::SetWordWrap(bool Value) {
    FWordWrap = Value;
    Invalidate();
}
void TLabel::SetLayout(TTextLayout Value) {
    FLayout = Value;
    Invalidate();
}
void TLabel::SetShowAccelChar(bool Value) {
    FShowAccelChar = Value;
    Invalidate();
}

void TLabel::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TLabel::TextChanged() { Invalidate(); }

namespace {

wchar_t UpperChar(wchar_t c) {
    return wchar_t(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(c)))));
}

// The caption as drawn without its marker: "&&" is a plain "&", "&X" is "X".
std::string WithoutAccelMarker(const std::string& Text) {
    std::string out;
    out.reserve(Text.size());
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&' && i + 1 < Text.size()) ++i;
        out += Text[i];
    }
    return out;
}

}  // namespace

wchar_t TLabel::AccelChar() const {
    if (!FShowAccelChar) return 0;
    const std::wstring text = ToWide(FText);
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return UpperChar(text[i + 1]);
        ++i;  // "&&" is a plain "&"
    }
    return 0;
}

void TLabel::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR && FFocusControl && Showing() && Enabled() && Message.WParam <= 0xFFFF &&
        AccelChar() != 0 && UpperChar(wchar_t(Message.WParam)) == AccelChar() && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
    }
    TGraphicControl::WndProc(Message);
}

void TLabel::Paint(TCanvas& Canvas) {
    RECT r{0, 0, FWidth, FHeight};
    if (!FTransparent) {
        Canvas.SetBrushColor(FColor);
        Canvas.FillRect(r);
    }
    Canvas.SetBrushStyle(TBrushStyle::bsClear);
    UINT format = DT_EXPANDTABS;
    if (FWordWrap)
        format |= DT_WORDBREAK;
    else
        format |= DT_SINGLELINE;
    // The access key's underline shows as the window's keyboard cues say (hidden until
    // Alt is pressed where the system's setting keeps them for keyboard use). The marker
    // is taken out of the text here rather than left to DT_HIDEPREFIX, which not every
    // platform honours (Wine draws the underline anyway).
    std::string text = FText;
    const TCustomForm* form = GetParentForm();
    const bool hide =
        (form && form->HideAccel()) || (Parent() && Parent()->HandleAllocated() &&
                                        (SendMessageW(Parent()->Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL));
    if (!FShowAccelChar) {
        format |= DT_NOPREFIX;
    } else if (hide) {
        text = WithoutAccelMarker(FText);
        format |= DT_NOPREFIX;
    }
    if (FAlignment == TAlignment::taRightJustify)
        format |= DT_RIGHT;
    else if (FAlignment == TAlignment::taCenter)
        format |= DT_CENTER;
    if (FLayout != TTextLayout::tlTop) {
        RECT calc = r;
        Canvas.DrawText(text, calc, format | DT_CALCRECT);
        const int h = calc.bottom - calc.top;
        r.top = FLayout == TTextLayout::tlCenter ? (FHeight - h) / 2 : FHeight - h;
    }
    if (!FEnabled) {
        // Disabled text: raised highlight under the grey, as dialogs draw it.
        const TColor keep = Canvas.Font().Color();
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        Canvas.Font().SetColor(clBtnHighlight);
        Canvas.DrawText(text, shadow, format);
        Canvas.Font().SetColor(clBtnShadow);
        Canvas.DrawText(text, r, format);
        Canvas.Font().SetColor(keep);
        return;
    }
    Canvas.DrawText(text, r, format);
}

// ======================= TCustomEdit / TEdit =======================

QUORIN_DEFINE_CLASS(TCustomEdit, TWinControl) {
    p.Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0, INT32_MAX);
    p.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly);
    p.Enum<TBorderStyleCtl>("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
                            {"bsNone", "bsSingle"});
    p.Enum<TEditCharCase>("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase,
                          {"ecNormal", "ecUpperCase", "ecLowerCase"});
    p.Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect);
    p.Str("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
    p.Event("OnChange", &TCustomEdit::OnChange);
    // Where the operator's input method is set per control; kept, not acted on.
    p.Str(
        "ImeName", [](const TCustomEdit&) { return std::string(); }, [](TCustomEdit&, const std::string&) {});
}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clWindow;
    FTabStop = true;
    FWidth = 121;
    FHeight = 21;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = L"EDIT";
    Params.Style |= ES_AUTOHSCROLL | ES_LEFT;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FCharCase == TEditCharCase::ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (FCharCase == TEditCharCase::ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (FBorderStyle == TBorderStyleCtl::bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::InitializeWnd() {
    SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
    SendMessageW(FHandle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value < 0 ? 0 : Value;
    if (FHandle) SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (FHandle) SendMessageW(FHandle, EM_SETREADONLY, Value, 0);
    AccessibleChanged(this, TAccessibleChange::State);
}

void TCustomEdit::SetBorderStyle(TBorderStyleCtl Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (Value == FCharCase) return;
    FCharCase = Value;
    RecreateWnd();
}

bool TCustomEdit::Modified() const { return FHandle ? SendMessageW(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified; }

void TCustomEdit::SetModified(bool Value) {
    FModified = Value;
    if (FHandle) SendMessageW(FHandle, EM_SETMODIFY, Value, 0);
}

void TCustomEdit::SelectAll() {
    if (FHandle) SendMessageW(FHandle, EM_SETSEL, 0, -1);
}

int TCustomEdit::SelStart() const {
    DWORD start = 0;
    if (FHandle) SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return int(start);
}

int TCustomEdit::SelLength() const {
    DWORD start = 0, end = 0;
    if (FHandle) SendMessageW(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return int(end - start);
}

void TCustomEdit::SetSelStart(int Value) {
    if (FHandle) SendMessageW(FHandle, EM_SETSEL, WPARAM(Value), LPARAM(Value));
}

void TCustomEdit::SetSelLength(int Value) {
    const int start = SelStart();
    if (FHandle) SendMessageW(FHandle, EM_SETSEL, WPARAM(start), LPARAM(start + Value));
}

void TCustomEdit::Change() {
    if (OnChange && !(ComponentState() & csLoading)) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
        Change();
        return;
    }
    if (Message.Msg == WM_SETFOCUS && FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0)) {
        TWinControl::WndProc(Message);
        SelectAll();
        return;
    }
    TWinControl::WndProc(Message);
}

QUORIN_DEFINE_CLASS(TEdit, TCustomEdit) {}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

// ======================= TComboBox =======================

QUORIN_DEFINE_CLASS(TComboBoxStrings, TStringList) {}

void TComboBoxStrings::Put(int Index, const std::string& S) {
    TStringList::Put(Index, S);
    if (!FOwner.FHandle) return;
    const int selected = int(SendMessageW(FOwner.FHandle, CB_GETCURSEL, 0, 0));
    SendMessageW(FOwner.FHandle, CB_DELETESTRING, WPARAM(Index), 0);
    SendMessageW(FOwner.FHandle, CB_INSERTSTRING, WPARAM(Index), reinterpret_cast<LPARAM>(ToWide(S).c_str()));
    SendMessageW(FOwner.FHandle, CB_SETITEMDATA, WPARAM(Index), LPARAM(GetObj(Index)));
    if (selected == Index) SendMessageW(FOwner.FHandle, CB_SETCURSEL, WPARAM(Index), 0);
}

void TComboBoxStrings::PutObj(int Index, intptr_t AObject) {
    TStringList::PutObj(Index, AObject);
    if (FOwner.FHandle) SendMessageW(FOwner.FHandle, CB_SETITEMDATA, WPARAM(Index), LPARAM(AObject));
}

void TComboBoxStrings::InsertObject(int Index, const std::string& S, intptr_t AObject) {
    TStringList::InsertObject(Index, S, AObject);
    if (FOwner.FHandle) {
        SendMessageW(FOwner.FHandle, CB_INSERTSTRING, WPARAM(Index), reinterpret_cast<LPARAM>(ToWide(S).c_str()));
        SendMessageW(FOwner.FHandle, CB_SETITEMDATA, WPARAM(Index), LPARAM(AObject));
    } else if (FOwner.FItemIndex >= Index && !(FOwner.ComponentState() & csLoading)) {
        ++FOwner.FItemIndex;
    }
}

int TComboBoxStrings::AddObject(const std::string& S, intptr_t AObject) {
    if (!Sorted()) return TStringList::AddObject(S, AObject);  // through InsertObject
    const int index = TStringList::AddObject(S, AObject);
    if (FOwner.FHandle) {
        SendMessageW(FOwner.FHandle, CB_INSERTSTRING, WPARAM(index), reinterpret_cast<LPARAM>(ToWide(S).c_str()));
        SendMessageW(FOwner.FHandle, CB_SETITEMDATA, WPARAM(index), LPARAM(AObject));
    }
    return index;
}

void TComboBoxStrings::Delete(int Index) {
    TStringList::Delete(Index);
    if (FOwner.FHandle) {
        SendMessageW(FOwner.FHandle, CB_DELETESTRING, WPARAM(Index), 0);
    } else if (FOwner.FItemIndex == Index) {
        FOwner.FItemIndex = -1;
    } else if (FOwner.FItemIndex > Index) {
        --FOwner.FItemIndex;
    }
}

void TComboBoxStrings::Clear() {
    TStringList::Clear();
    if (FOwner.FHandle) SendMessageW(FOwner.FHandle, CB_RESETCONTENT, 0, 0);
    // While loading, the index read before the items still stands.
    if (!(FOwner.ComponentState() & csLoading)) FOwner.FItemIndex = -1;
}

QUORIN_DEFINE_CLASS(TComboBox, TWinControl) {
    p.Enum<TComboBoxStyle>("Style", &TComboBox::Style, &TComboBox::SetStyle,
                           {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"});
    p.Strings("Items", [](const TComboBox& c) -> const TStrings& { return c.Items(); });
    p.Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1, INT32_MAX);
    p.Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 1, 1000);
    p.Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 0, 1000);
    p.Int("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength, 0, INT32_MAX);
    p.Bool("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted);
    p.Str("Text", &TComboBox::Text, &TComboBox::SetText);
    p.Event("OnChange", &TComboBox::OnChange);
    p.Event("OnSelect", &TComboBox::OnSelect);
    p.Event("OnDropDown", &TComboBox::OnDropDown);
    p.Event("OnCloseUp", &TComboBox::OnCloseUp);
    p.Str(
        "ImeName", [](const TComboBox&) { return std::string(); }, [](TComboBox&, const std::string&) {});
}

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clWindow;
    FTabStop = true;
    FWidth = 145;
    FHeight = 21;
}

TComboBox::~TComboBox() { DestroyHandle(); }

void TComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = L"COMBOBOX";
    Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (FStyle) {
    case TComboBoxStyle::csSimple: Params.Style |= CBS_SIMPLE; break;
    case TComboBoxStyle::csDropDown: Params.Style |= CBS_DROPDOWN; break;
    default: Params.Style |= CBS_DROPDOWNLIST; break;
    }
    // The window's height includes the drop-down list.
    if (FStyle != TComboBoxStyle::csSimple) Params.Height = FHeight + DropDownHeight();
}

void TComboBox::InitializeWnd() {
    for (int i = 0; i < FItems.Count(); ++i) {
        SendMessageW(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(FItems.Get(i)).c_str()));
        SendMessageW(FHandle, CB_SETITEMDATA, WPARAM(i), LPARAM(FItems.GetObj(i)));
    }
    if (FMaxLength > 0) SendMessageW(FHandle, CB_LIMITTEXT, WPARAM(FMaxLength), 0);
    const int index = FItemIndex < FItems.Count() ? FItemIndex : -1;
    SendMessageW(FHandle, CB_SETCURSEL, WPARAM(index), 0);
    if (index < 0 && FStyle == TComboBoxStyle::csDropDown) SetWindowTextW(FHandle, ToWide(FText).c_str());
}

void TComboBox::DestroyWnd() {
    if (FHandle) FItemIndex = int(SendMessageW(FHandle, CB_GETCURSEL, 0, 0));
    TWinControl::DestroyWnd();
}

void TComboBox::UpdateWindowBoundsCombo() {
    if (!FHandle) return;
    const int h = FStyle == TComboBoxStyle::csSimple ? FHeight : FHeight + DropDownHeight();
    SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TComboBox::DropDownHeight() const {
    const TDpiScale scale = DpiScale();
    return FDropDownCount * (scale.Scale(FItemHeight) + scale.Scale(2)) + scale.Scale(2);
}

void TComboBox::ScaleForDpi(const TDpiScale& Scale) {
    TWinControl::ScaleForDpi(Scale);
    UpdateWindowBoundsCombo();
}

void TComboBox::BoundsChanged() { UpdateWindowBoundsCombo(); }

int TComboBox::ItemIndex() const {
    if (FHandle) return int(SendMessageW(FHandle, CB_GETCURSEL, 0, 0));
    return FItemIndex < FItems.Count() ? FItemIndex : -1;
}

void TComboBox::SetItemIndex(int Value) {
    if (Value < -1) Value = -1;
    if (ComponentState() & csLoading) {
        // The items may come after the index in the layout; the window takes it later.
        FItemIndex = Value;
        return;
    }
    if (Value >= FItems.Count()) Value = -1;
    FItemIndex = Value;
    if (FHandle) SendMessageW(FHandle, CB_SETCURSEL, WPARAM(Value), 0);
    AccessibleChanged(this, TAccessibleChange::Value);
}

void TComboBox::Loaded() {
    TWinControl::Loaded();
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
}

void TComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    RecreateWnd();
}

void TComboBox::SetMaxLength(int Value) {
    FMaxLength = Value < 0 ? 0 : Value;
    if (FHandle) SendMessageW(FHandle, CB_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TComboBox::SetSorted(bool Value) {
    FSortedItems = Value;
    FItems.SetSorted(Value);
    if (FHandle) RecreateWnd();
}

bool TComboBox::DroppedDown() const { return FHandle && SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TComboBox::SetDroppedDown(bool Value) {
    if (FHandle) SendMessageW(FHandle, CB_SHOWDROPDOWN, Value, 0);
}

void TComboBox::Clear() {
    FItems.Clear();
    FText.clear();
    if (FHandle) SetWindowTextW(FHandle, L"");
}

void TComboBox::TextChanged() {
    if (FStyle == TComboBoxStyle::csDropDownList) {
        // A list-only box shows an item; the text picks the item that has it.
        const int index = FItems.IndexOf(FText);
        if (index >= 0 || FText.empty()) SetItemIndex(index);
        return;
    }
    TWinControl::TextChanged();
}

// Without a window (a page not shown yet) the text is what the window would show: the
// chosen item's in a list-only box, and in an editable one unless a text was set.
std::string TComboBox::GetText() const {
    if (FHandle) return TWinControl::GetText();
    const int index = ItemIndex();
    if (FStyle == TComboBoxStyle::csDropDownList) return index >= 0 ? FItems.Get(index) : std::string();
    return FText.empty() && index >= 0 ? FItems.Get(index) : FText;
}

void TComboBox::Change() {
    if (OnChange && !(ComponentState() & csLoading)) OnChange(this);
}

void TComboBox::WndProc(TMessage& Message) {
    // F10 goes to the window's menu bar, as from any other control. Some combo boxes hand
    // every system key to their drop-down list, a window of its own, which then takes the
    // menu key for itself and the menu never opens. (Alt stays the box's: the default
    // procedure would take an Alt released after an access key for a lone one.)
    if ((Message.Msg == WM_SYSKEYDOWN || Message.Msg == WM_SYSKEYUP) && Message.WParam == VK_F10 && FHandle) {
        Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (Message.Msg == CN_COMMAND) {
        switch (HIWORD(Message.WParam)) {
        case CBN_SELCHANGE:
            FItemIndex = int(SendMessageW(FHandle, CB_GETCURSEL, 0, 0));
            Click();
            if (OnSelect) OnSelect(this);
            Change();
            return;
        case CBN_EDITCHANGE: Change(); return;
        case CBN_DROPDOWN:
            if (OnDropDown) OnDropDown(this);
            return;
        case CBN_CLOSEUP:
            if (OnCloseUp) OnCloseUp(this);
            return;
        case CBN_SETFOCUS:
            // The focus may be in the box's own edit; the form still learns of it.
            if (auto* form = GetParentForm()) form->FocusControl(this);
            return;
        case CBN_KILLFOCUS:
            // The text of an editable box stays highlighted in its edit otherwise (the
            // edit is made to keep its selection), so two controls would look focused.
            if (FStyle == TComboBoxStyle::csDropDown && FHandle)
                if (HWND edit = FindWindowExW(FHandle, nullptr, L"Edit", nullptr))
                    SendMessageW(edit, EM_SETSEL, WPARAM(-1), 0);
            return;
        default: break;
        }
    }
    TWinControl::WndProc(Message);
}

// ======================= TButtonControl / TButton =======================

QUORIN_DEFINE_CLASS(TButtonControl, TWinControl) {
    p.Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap);
}

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = true;
    FTabStop = true;
}

void TButtonControl::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TButtonControl::WndProc(TMessage& Message) { TWinControl::WndProc(Message); }

QUORIN_DEFINE_CLASS(TButton, TButtonControl) {
    p.Bool("Default", &TButton::Default, &TButton::SetDefault);
    p.Bool("Cancel", &TButton::Cancel, &TButton::SetCancel);
    p.Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FParentColor = false;
    FWidth = 75;
    FHeight = 25;
}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.BaseClass = L"BUTTON";
    Params.Style |= (FActive || FDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    FActive = Value;
    if (FHandle) SendMessageW(FHandle, BM_SETSTYLE, Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::UpdateDefaultStyle(bool Active) {
    if (Active == FActive) return;
    FActive = Active;
    if (FHandle) SendMessageW(FHandle, BM_SETSTYLE, Active ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY:
        if (((Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel)) && CanFocus()) {
            Click();
            Message.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED: {
        // The focused button answers Enter; otherwise the default one does.
        auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
        UpdateDefaultStyle(focused == this || (FDefault && !dynamic_cast<TButton*>(focused)));
        break;
    }
    default: break;
    }
    TButtonControl::WndProc(Message);
}

// ======================= TCheckBox =======================

QUORIN_DEFINE_CLASS(TCheckBox, TButtonControl) {
    p.Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked);
    p.Enum<TCheckBoxState>("State", &TCheckBox::State, &TCheckBox::SetState, {"cbUnchecked", "cbChecked", "cbGrayed"});
    p.Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed);
    p.Enum<TAlignment>("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment,
                       {"taLeftJustify", "taRightJustify", "taCenter"});
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 97;
    FHeight = 17;
}

void TCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.BaseClass = L"BUTTON";
    Params.Style |= BS_3STATE;
    if (FAlignment == TAlignment::taLeftJustify) Params.Style |= BS_LEFTTEXT;
    if (FWordWrap) Params.Style |= BS_MULTILINE;
}

void TCheckBox::InitializeWnd() {
    SendMessageW(FHandle, BM_SETCHECK,
                 FState == TCheckBoxState::cbChecked  ? BST_CHECKED
                 : FState == TCheckBoxState::cbGrayed ? BST_INDETERMINATE
                                                      : BST_UNCHECKED,
                 0);
}

void TCheckBox::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCheckBox::SetState(TCheckBoxState Value) {
    if (Value == FState) return;
    FState = Value;
    if (FHandle) InitializeWnd();
    AccessibleChanged(this, TAccessibleChange::State);
    if (!(ComponentState() & csLoading)) Click();
}

void TCheckBox::Toggle() {
    switch (FState) {
    case TCheckBoxState::cbUnchecked:
        SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
        break;
    case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
    case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
    }
}

void TCheckBox::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
        Toggle();
        return;
    }
    TButtonControl::WndProc(Message);
}

// ======================= TRadioButton =======================

QUORIN_DEFINE_CLASS(TRadioButton, TButtonControl) {
    p.Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.BaseClass = L"BUTTON";
    Params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::InitializeWnd() { SendMessageW(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0); }

void TRadioButton::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    if (FHandle) InitializeWnd();
    AccessibleChanged(this, TAccessibleChange::State);
    if (Value && FParent) {
        // One checked radio button per parent.
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this)
                other->SetChecked(false);
    }
    if (Value && !(ComponentState() & csLoading)) Click();
}

void TRadioButton::WndProc(TMessage& Message) {
    if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
        SetChecked(true);
        return;
    }
    TButtonControl::WndProc(Message);
}

// ======================= TGroupBox =======================

QUORIN_DEFINE_CLASS(TGroupBox, TWinControl) {}

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    FColor = clBtnFace;
    FParentColor = true;
    FWidth = 185;
    FHeight = 105;
}

void TGroupBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClass = L"BUTTON";
    Params.Style |= BS_GROUPBOX | WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
}

bool TGroupBox::EraseBackground(HDC DC) {
    RECT r;
    GetClientRect(FHandle, &r);
    ::FillRect(DC, &r, ColorBrush());
    return true;
}

void TGroupBox::WndProc(TMessage& Message) {
    // The native group box lets the mouse through to what lies beneath; as a container it
    // takes it, so its windowless children can be clicked.
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTCLIENT;
        return;
    }
    TWinControl::WndProc(Message);
}

}  // namespace quorin
