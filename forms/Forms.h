// Forms, the application object with its message loop and exception display, and the
// screen's list of forms. Windows only.
//
// A form class derives from TForm, registers its event handlers and component fields in
// its constructor and then loads its stored layout:
//
//   class TAboutBox : public TForm {
//       QUORIN_CLASS(TAboutBox, TForm)
//   public:
//       explicit TAboutBox(TComponent* AOwner) : TForm(AOwner) {
//           RegisterHandler("OKButtonClick", &TAboutBox::OKButtonClick);
//           BindField("OKButton", OKButton);
//           ...
//           InitLayout("TABOUTBOX");   // RCDATA resource; or InitLayoutText(text)
//       }
//       TButton* OKButton = nullptr;
//       void OKButtonClick(TObject* Sender);
//   };
//
// InitLayout creates the components, binds the fields, wires the handlers and then raises
// OnCreate. Application->CreateForm(AboutBox) constructs a form owned by the application;
// the first one created becomes the main form.
#pragma once

#include "forms/Controls.h"

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

class TMainMenu;
class TMenu;
class TMenuItem;
class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TBorderIcon : uint32_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint32_t;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
// Paths (UTF-8) of the files dropped on a form, in the order the shell gives them.
using TDropFilesEvent = std::function<void(TObject* Sender, const std::vector<std::string>& Files)>;

class TCustomForm : public TWinControl {
    QUORIN_CLASS(TCustomForm, TWinControl)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // ---- window ----
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value) { FFormStyle = Value; }
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;
    RECT ClientRect() const override;
    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool Value) { FAutoScroll = Value; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    // The form's scale: the DPI of its window (asked when the window is made and when the
    // system reports a change) against PixelsPerInch. Every control of the form uses it.
    const TDpiScale& FormDpiScale() const { return FDpiScale; }
    // Scales the form to a DPI: the client size, then every control, from stored values.
    // The window is left where it is; WM_DPICHANGED also takes the system's rectangle.
    void ScaleForDpi(const TDpiScale& Scale) override;
    // Scales the form to another DPI as the system does when its window moves to a
    // monitor of another scale (WM_DPICHANGED with its rectangle); OnDpiChanged follows.
    void ChangeDpi(int Dpi, const RECT* Suggested);

    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // Runs the command of the form's menu bar whose ShortCut is this key (see
    // TMenu::FindShortCut); false when none answers it. The message loop asks the form of
    // every key pressed, wherever the focus is inside it.
    bool IsShortCut(uint16_t ShortCut);

    // Files dragged from the shell may be dropped on the form; each drop raises
    // OnDropFiles.
    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool Value);

    // ---- showing and closing ----
    void Show();
    void Hide() { SetVisible(false); }
    // Shows the form modally: the other windows of the thread are disabled until the form
    // sets ModalResult (a button with a ModalResult, Close, the close box); returns it.
    TModalResult ShowModal();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Asks OnCloseQuery, then OnClose with the action (caHide by default; the main form
    // ends the application); a modal form returns from ShowModal with mrCancel.
    void Close();
    bool CloseQuery();
    void Release();
    bool Showing() const override;

    // ---- focus ----
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    // Records the control that got the focus (from WM_SETFOCUS); sends CM_EXIT to the
    // previous one, CM_ENTER to it and CM_FOCUSCHANGED to every control of the form.
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    bool Active() const { return FActive; }

    // True while access-key underlines are hidden: the system's keyboard cues are for
    // keyboard use only and Alt has not been pressed since the form was shown. Kept here as
    // well as in the window's UI state, which not every platform keeps (Wine does not).
    bool HideAccel() const { return FHideAccel; }
    // Shows (false) or hides the underlines, in the UI state too, and repaints the labels.
    void SetHideAccel(bool Value);

    // The default button (Default = true) answering Enter, if any.
    TButton* DefaultButton() const;
    // The item with that command in the form's menu bar or its pop-up menus, or in any
    // other menu of the process (menus shown for the form by other objects), or nullptr.
    TMenuItem* FindMenuItem(UINT Command) const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TDropFilesEvent OnDropFiles;
    // The form has been scaled to a new DPI after its window was made (skins follow it).
    TNotifyEvent OnDpiChanged;

protected:
    // Loads the stored layout held as an RCDATA resource of that name in the program
    // (the form's class name in upper case by convention), then raises OnCreate.
    void InitLayout(const std::wstring& ResourceName);
    // Loads a stored layout given as text, then raises OnCreate.
    void InitLayoutText(std::string_view Text);
    virtual void DoCreate();
    virtual void DoClose(TCloseAction& Action);

    void CreateParams(TCreateParams& Params) override;
    void CreateWindowHandle(const TCreateParams& Params) override;
    void CreateWnd() override;
    // The DPI a window of this form will have: the main form's for the other forms (they
    // open over it), else the monitor's at the form's position.
    int DpiForNewWindow() const;
    void UpdateIcons();
    void FollowMainFormDpi();
    void WndProc(TMessage& Message) override;
    void VisibleChanging() override;
    void UpdateShowing() override {}
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void PaintWindow(HDC DC) override;
    void ApplyPosition();
    void ApplyClientSize();
    void BoundsResized() override;
    void ShowingChanged();
    // Runs the prepare hook on the form's window (made now if it is not yet).
    void PrepareWindow();
    bool DialogKey(TMessage& Message);

    static constexpr UINT_PTR kWaitingWindowsTimer = 0x5157;
    TTimerHandle FWaitingWindowsTimer;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = TPosition::poDesigned;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TWindowState FWindowState = TWindowState::wsNormal;
    int FClientWidth = -1, FClientHeight = -1;
    bool FAutoScroll = false, FKeyPreview = false, FScaled = true;
    int FPixelsPerInch = 96;
    TDpiScale FDpiScale;
    TMainMenu* FMenu = nullptr;
    bool FModal = false;
    TModalResult FModalResult = mrNone;
    TWinControl* FActiveControl = nullptr;
    bool FActive = false;
    bool FPositioned = false;
    bool FCreated = false;
    bool FInClose = false;
    bool FApplyingClientSize = false;
    bool FAcceptFiles = false;
    bool FHideAccel = false;

private:
    // The handlers of WndProc's table; each passes on what it does not take.
    void WMTimer(TMessage& Message);
    void WMDropFiles(TMessage& Message);
    void WMCommand(TMessage& Message);
    void WMMeasureItem(TMessage& Message);
    void WMDrawItem(TMessage& Message);
    void WMActivate(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMDialogKey(TMessage& Message);
    void WMMenuChar(TMessage& Message);
    void CMMenuChanged(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMDpiChanged(TMessage& Message);
};

// Whoever draws the program's windows its own way (the skin engine) takes a form's window
// over here, before any frame of it reaches the screen: the hook runs once the form's layout
// is loaded and OnCreate has run (its window is made for it then), and again each time the
// form is about to be shown. One hook for the program; null (the default) does nothing.
using TFormPrepareHook = void (*)(TCustomForm& Form);
void SetFormPrepareHook(TFormPrepareHook Hook);

// The form class applications derive from.
class TForm : public TCustomForm {
    QUORIN_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner);
};

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

// The application object: the message loop, the main form and the exception display.
class TApplication : public TComponent {
    QUORIN_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Initialises the common controls (every class the framework wraps).
    void Initialize();
    // Constructs a form of class T owned by the application; the first becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference) {
        Reference = nullptr;
        T* form = new T(this);
        Reference = form;
        if (!FMainForm) FMainForm = form;
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Form) { FMainForm = Form; }

    // Shows the main form and runs the message loop until the application terminates
    // (the main form closes or Terminate is called).
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles the messages waiting in the queue, then returns.
    void ProcessMessages();
    // Waits for one message and handles it.
    void HandleMessage();
    // Handles one message if there is one; false when the queue was empty.
    bool ProcessMessage();

    // The exception display: OnException when assigned, otherwise the framework's message
    // box (the message with a full stop added when it ends without one, the title of the
    // application, a stop icon and an OK button).
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);
    // The framework's message box, owned by the active form.
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    HINSTANCE Instance() const { return FInstance; }
    // The control under the mouse, as CM_MOUSEENTER / CM_MOUSELEAVE last reported.
    TControl* MouseControl() const { return FMouseControl; }

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;

private:
    friend class TControl;
    bool IsKeyMsg(MSG& Msg);
    void UpdateMouseControl(HWND Hint);
    void ControlDestroyed(TControl* Control);
    void Idle();

    HINSTANCE FInstance;
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FShowMainForm = true;
    bool FInitialized = false;
    std::string FTitle;
    TControl* FMouseControl = nullptr;
    HWND FTrackedWindow = nullptr;
};

// The screen: the forms of the application, in creation order, and the active one.
class TScreen : public TComponent {
    QUORIN_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int PixelsPerInch() const;
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> FForms;
};

// The application's single instances, made at start-up.
extern TApplication* Application;
extern TScreen* Screen;

// The form a control is on, or nullptr.
TCustomForm* GetParentForm(const TControl* Control);

// Registers every class of the framework by name for layouts (done by
// TApplication::Initialize and before a form loads its layout).
void RegisterFrameworkClasses();

}  // namespace quorin
