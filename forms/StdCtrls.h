// The standard controls: label, edit, combo box, button, check box, radio button and
// group box, each over its Win32 control (the label is painted by its parent). Windows only.
#pragma once

#include "forms/Controls.h"
#include "forms/Forms.h"
#include "forms/StringList.h"

namespace quorin {

enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A text painted on its parent.
class TLabel : public TGraphicControl {
    QUORIN_CLASS(TLabel, TGraphicControl)
public:
    explicit TLabel(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    // The character after the caption's "&" marker, upper case; 0 when it has none (or
    // ShowAccelChar is off, where "&" is a plain character).
    wchar_t AccelChar() const;
    void Paint(TCanvas& Canvas) override;
    // Alt+marker (CM_DIALOGCHAR, from the message loop) moves the focus to FocusControl
    // while the label is showing: a label of a page not in front does not take the key.
    void WndProc(TMessage& Message) override;

protected:
    void TextChanged() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = true;
    bool FTransparent = false;
    bool FWordWrap = false;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// A one-line edit ("EDIT").
class TCustomEdit : public TWinControl {
    QUORIN_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);
    // 0 is no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    TBorderStyleCtl BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyleCtl Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    bool Modified() const;
    void SetModified(bool Value);
    void SelectAll();
    void Clear() { SetText(""); }
    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int Value);
    void SetSelLength(int Value);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void Change();

    int FMaxLength = 0;
    bool FReadOnly = false;
    TBorderStyleCtl FBorderStyle = TBorderStyleCtl::bsSingle;
    TEditCharCase FCharCase = TEditCharCase::ecNormal;
    bool FAutoSelect = true;
    bool FModified = false;
};

class TEdit : public TCustomEdit {
    QUORIN_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner);
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox;

// The items of a combo box, kept in the window (and in the list while there is none);
// each carries an integer (Objects).
class TComboBoxStrings : public TStringList {
    QUORIN_CLASS(TComboBoxStrings, TStringList)
public:
    explicit TComboBoxStrings(TComboBox& Owner) : FOwner(Owner) {}
    void Put(int Index, const std::string& S) override;
    void PutObj(int Index, intptr_t AObject) override;
    void InsertObject(int Index, const std::string& S, intptr_t AObject) override;
    int AddObject(const std::string& S, intptr_t AObject) override;
    void Delete(int Index) override;
    void Clear() override;

private:
    TComboBox& FOwner;
};

// A combo box ("COMBOBOX"): editable (csDropDown) or list only (csDropDownList).
// Setting ItemIndex from code raises no event; the operator's choice raises OnChange
// (and OnClick), typing in an editable box raises OnChange.
class TComboBox : public TWinControl {
    QUORIN_CLASS(TComboBox, TWinControl)
public:
    // The item height of the drop-down is a stored length, scaled with the form.
    void ScaleForDpi(const TDpiScale& Scale) override;
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;

    TStrings& Items() { return FItems; }
    const TStrings& Items() const { return FItems; }
    void SetItems(const TStrings& Value) { FItems.Assign(Value); }
    // -1 when nothing is selected. An index outside the items selects nothing.
    int ItemIndex() const;
    void SetItemIndex(int Value);
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value) { FDropDownCount = Value; }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int Value) { FItemHeight = Value; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool Sorted() const { return FSortedItems; }
    void SetSorted(bool Value);
    bool DroppedDown() const;
    void SetDroppedDown(bool Value);
    void Clear();

    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    friend class TComboBoxStrings;
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& Message) override;
    void TextChanged() override;
    std::string GetText() const override;
    void Loaded() override;
    void UpdateWindowBoundsCombo();
    virtual void Change();
    void BoundsChanged() override;
    int DropDownHeight() const;

    TComboBoxStrings FItems{*this};
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    int FItemIndex = -1;  // while there is no window, and while loading
    int FDropDownCount = 8;
    int FItemHeight = 13;
    int FMaxLength = 0;
    bool FSortedItems = false;
};

class TButtonControl : public TWinControl {
    QUORIN_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

protected:
    void WndProc(TMessage& Message) override;
    bool FWordWrap = false;
};

// A push button ("BUTTON"). Click sets its form's ModalResult to the button's.
class TButton : public TButtonControl {
    QUORIN_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    void Click() override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    void UpdateDefaultStyle(bool Focused);

    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = 0;
    bool FActive = false;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// A check box ("BUTTON", BS_3STATE, toggled by the framework). A change of state, by the
// operator or from code, raises OnClick; setting the state it already has raises nothing.
class TCheckBox : public TButtonControl {
    QUORIN_CLASS(TCheckBox, TButtonControl)
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return FState == TCheckBoxState::cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    virtual void Toggle();

    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = TAlignment::taRightJustify;
};

class TRadioButton : public TButtonControl {
    QUORIN_CLASS(TRadioButton, TButtonControl)
public:
    explicit TRadioButton(TComponent* AOwner);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    bool FChecked = false;
};

// A group box ("BUTTON", BS_GROUPBOX) that holds controls.
class TGroupBox : public TWinControl {
    QUORIN_CLASS(TGroupBox, TWinControl)
public:
    explicit TGroupBox(TComponent* AOwner);

protected:
    void CreateParams(TCreateParams& Params) override;
    void WndProc(TMessage& Message) override;
    bool EraseBackground(HDC DC) override;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit ("EDIT" with ES_MULTILINE) with optional scroll bars; Lines mirrors
// the window's text line by line.
class TMemo : public TCustomEdit {
    QUORIN_CLASS(TMemo, TCustomEdit)
public:
    explicit TMemo(TComponent* AOwner);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The text as lines (CR LF separated in the window).
    std::vector<std::string> Lines() const;
    void SetLines(const std::vector<std::string>& Value);

protected:
    void CreateParams(TCreateParams& Params) override;

    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FWordWrap = true;
};

enum class TScrollBarKind { sbHorizontal, sbVertical };

// A stand-alone scroll-bar control ("SCROLLBAR"); Position follows the operator's scrolling.
class TScrollBar : public TWinControl {
    QUORIN_CLASS(TScrollBar, TWinControl)
public:
    explicit TScrollBar(TComponent* AOwner);
    TScrollBarKind Kind() const { return FKind; }
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetRange(int AMin, int AMax);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void InitializeWnd() override;
    void WndProc(TMessage& Message) override;
    void UpdateInfo();

    TScrollBarKind FKind = TScrollBarKind::sbHorizontal;
    int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
};

}  // namespace quorin
