// Drives the real CANConfig.exe from another process, as an operator would, for the GUI
// tests in tests/gui/. Win32 only; every string in and out is UTF-8.
//
// Finding controls. Every framework control window carries the property L"QuorinName",
// a global atom holding the component's name, so a control is found by the name it has in
// the stored layout: app.Window("ButtonOpenRS232"). Names are searched in every top-level
// window of the program (the main window, the About box, message boxes) and all their
// descendants; pass a root window to search one window only.
//
// Acting. Clicks, combo selections and text changes are sent as the messages the real
// controls send, so the program's own handlers run:
//   - Click(name) returns when the click handler has returned. A handler that shows a
//     modal window (a message box, the About box) does not return until that window is
//     closed, so for such clicks use ClickAsync(name) and then WaitMessageBox() or
//     WaitWindow(). Both refuse (test failure) a control that is disabled or not showing,
//     which an operator could not click either.
//   - SelectComboIndex / SelectComboText set the selection and send CBN_SELCHANGE to the
//     parent, as a pick from the drop-down does.
//   - SetText replaces an edit's text (the edit sends EN_CHANGE itself).
//   - ChooseMenu({menu, item}) walks the main menu with the keyboard (Alt, arrows, Enter),
//     so it works with the native menu bar and with the skinned one; indexes count the
//     visible top-level menus and the selectable items of the drop-down (separators and
//     hidden items are not counted); a negative index counts from the end. File > Exit is
//     {0, -1}; About > About QUORIN is {-1, 0}.
//   - PressKey(vk) posts a key to the window that has the keyboard focus in the program.
//
// Waiting. Nothing here sleeps a fixed time except between menu keys; use WaitUntil with a
// condition ("the status panel reads ..."), WaitMessageBox, WaitWindow or WaitExit.
//
// Example:
//   quorin::gui::RunningApp app;                       // launches, waits for the main window
//   ASSERT_TRUE(app.Started()) << app.Failure();
//   EXPECT_EQ(app.Text("ButtonOpenRS232"), "打开串口");
//   app.ClickAsync("ButtonVandrelFilterIDAdd");
//   auto box = app.WaitMessageBox();
//   ASSERT_TRUE(box);
//   EXPECT_EQ(box->caption, "Waring");
//   app.PressButton(*box, IDOK);
//   app.CloseBox();                                    // the main window's close box
//   EXPECT_EQ(app.WaitExit(), 0u);
//
// The program is started with the path in the environment variable QUORIN_EXE, or else
// the path the build compiled in; a Linux path is turned into Wine's Z: drive. A test that
// ends with the program still running has it terminated by RunningApp's destructor.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorin::gui {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// A path the program and the test can open: a Linux path (as the build compiles in) is
// turned into Wine's Z: drive; anything else is returned as it is.
std::wstring HostPath(const std::string& path);

// Polls `done` every `pollMs` until it holds or `timeoutMs` passes; true if it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000, DWORD pollMs = 20);

// Waits until the skin has finished with the program's main window: it answers the skin's
// query (0x3523) from the moment the skin takes it over, and may answer while the skin
// still walks its controls (the walk makes the windows of pages not shown yet, and a
// window made may take messages from other programs); the skinned frame, 4-pixel sides
// where the native one has 3, comes after the walk.
bool WaitMainWindowSkinned(HWND main, DWORD timeoutMs = 8000);

// Text of any window, by WM_GETTEXT (works across processes; an edit's or a combo box's
// current text, a button's or a window's caption).
std::string WindowText(HWND window);
// Class name of a window, e.g. "Button", "#32770".
std::string ClassOf(HWND window);
// The name a framework control carries in L"QuorinName", or "" for other windows.
std::string QuorinNameOf(HWND window);

// A message box (or any dialog of class #32770) of the program.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;                               // title bar
    std::string text;                                  // the message
    std::vector<std::pair<int, std::string>> buttons;  // control id (IDOK, ...) and caption
};

// Where an optional environment change for the launched program goes.
struct LaunchOptions {
    std::wstring exe;                                        // empty: QUORIN_EXE
    std::vector<std::pair<std::wstring, std::wstring>> env;  // added to the inherited environment
    std::vector<std::wstring> args;                          // command-line arguments, quoted as needed
    DWORD mainWindowTimeoutMs = 30000;
};

class RunningApp {
public:
    explicit RunningApp(LaunchOptions options = {});
    ~RunningApp();
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    // True when the program started and showed its main window; otherwise Failure() says why.
    bool Started() const { return main_ != nullptr; }
    const std::string& Failure() const { return failure_; }
    HWND MainWindow() const { return main_; }
    DWORD ProcessId() const { return pi_.dwProcessId; }
    HANDLE Process() const { return pi_.hProcess; }

    // --- finding -----------------------------------------------------------------
    // The window of the named component, or nullptr. With timeoutMs > 0 waits for it.
    HWND Find(const std::string& name, HWND root = nullptr, DWORD timeoutMs = 0) const;
    // Like Find, waiting up to 3 s, but a missing control fails the current test (ADD_FAILURE).
    HWND Window(const std::string& name, HWND root = nullptr) const;
    // The program's visible top-level windows, main window first.
    std::vector<HWND> TopLevelWindows() const;
    // Waits for a visible top-level window of the program that carries `name` (a form's
    // name such as "AboutBox") or, failing that, has `name` as its caption.
    HWND WaitWindow(const std::string& name, DWORD timeoutMs = 5000) const;

    // --- reading -----------------------------------------------------------------
    std::string Text(const std::string& name) const;
    bool Enabled(const std::string& name) const;                       // the control's own enabled state
    bool Visible(const std::string& name) const;                       // the control's own WS_VISIBLE bit
    bool Showing(const std::string& name) const;                       // visible with all its parents
    bool Checked(const std::string& name) const;                       // check box
    RECT ClientRectIn(const std::string& name, HWND reference) const;  // position in another window's client area

    std::vector<std::string> ComboItems(const std::string& name) const;
    int ComboIndex(const std::string& name) const;                     // -1: no selection
    intptr_t ComboItemData(const std::string& name, int index) const;  // the item's integer

    // Rows of a report-style list view: per row the caption, then each sub-item.
    std::vector<std::vector<std::string>> ListRows(const std::string& name) const;
    std::vector<int> SelectedRows(const std::string& name) const;
    std::vector<std::string> ListColumns(const std::string& name) const;
    // Text of one panel of a status bar, as shown (without the tabs that align it).
    std::string StatusPanelText(const std::string& name, int panel) const;
    // Captions of the tabs a page control shows, and the index of the one in front.
    std::vector<std::string> TabCaptions(const std::string& name) const;
    int TabIndex(const std::string& name) const;

    // --- acting ------------------------------------------------------------------
    bool Click(const std::string& name, DWORD timeoutMs = 15000);
    bool ClickAsync(const std::string& name);
    bool SelectComboIndex(const std::string& name, int index);
    bool SelectComboText(const std::string& name, const std::string& text);
    bool SetText(const std::string& name, const std::string& text);
    // Selects exactly these rows of a list view (LVIS_SELECTED on them, off elsewhere).
    bool SelectRows(const std::string& name, const std::vector<int>& rows);
    // Brings a page of a page control to the front, as a click on its tab does.
    bool SelectTab(const std::string& name, int index);
    void ChooseMenu(std::initializer_list<int> path, HWND window = nullptr);
    // Posts key down and up (and the character for printable keys) to the focused window.
    void PressKey(UINT vk);
    // What the close box of a window does (the main window when none is given).
    void CloseBox(HWND window = nullptr);

    // --- message boxes -------------------------------------------------------------
    std::optional<MessageBoxInfo> WaitMessageBox(DWORD timeoutMs = 5000) const;
    std::optional<MessageBoxInfo> CurrentMessageBox() const;
    bool PressButton(const MessageBoxInfo& box, int id = IDOK);

    // --- ending ------------------------------------------------------------------
    // Waits for the program to end; its exit code, or nothing on timeout.
    std::optional<DWORD> WaitExit(DWORD timeoutMs = 10000);
    bool Running() const;

private:
    HWND ControlOrFail(const std::string& name, const char* what) const;

    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr;
    std::string failure_;
};

// The program's remembered skin (its "Skin" setting), or nothing; setting nothing deletes it.
std::optional<std::wstring> RememberedSkin();
void SetRememberedSkin(const std::optional<std::wstring>& value);

// The remembered skin as it was before a test, put back after it however the test ends.
class TRememberedSkin {
public:
    TRememberedSkin() : FSaved(RememberedSkin()) {}
    ~TRememberedSkin() { SetRememberedSkin(FSaved); }
    TRememberedSkin(const TRememberedSkin&) = delete;
    TRememberedSkin& operator=(const TRememberedSkin&) = delete;

private:
    std::optional<std::wstring> FSaved;
};

// A value under HKEY_CURRENT_USER set for a test and put back as it was afterwards.
class TUserValue {
public:
    TUserValue(const wchar_t* Key, const wchar_t* Name) : FKey(Key), FName(Name) {
        BYTE data[2048];
        DWORD size = sizeof data, type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, Key, Name, RRF_RT_ANY, &type, data, &size) == ERROR_SUCCESS)
            FSaved.emplace(type, std::vector<BYTE>(data, data + size));
    }
    ~TUserValue() {
        if (FSaved)
            RegSetKeyValueW(HKEY_CURRENT_USER, FKey, FName, FSaved->first, FSaved->second.data(),
                            DWORD(FSaved->second.size()));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, FKey, FName);
    }
    void SetDword(DWORD Value) { RegSetKeyValueW(HKEY_CURRENT_USER, FKey, FName, REG_DWORD, &Value, sizeof Value); }
    void SetText(const std::wstring& Value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, FKey, FName, REG_SZ, Value.c_str(), DWORD((Value.size() + 1) * 2));
    }

private:
    const wchar_t* FKey;
    const wchar_t* FName;
    std::optional<std::pair<DWORD, std::vector<BYTE>>> FSaved;
};

// Saves a window's picture (as on the screen, frame included) as a PNG file; `path` may be
// a Linux path. Creates missing folders.
bool SaveWindowPng(HWND window, const std::string& path);

// Memory in another process for messages whose arguments are pointers (list view and status
// bar texts). Freed on destruction.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* Address() const { return address_; }
    bool Write(const void* data, size_t size, size_t offset = 0) const;
    bool Read(void* data, size_t size, size_t offset = 0) const;
    explicit operator bool() const { return address_ != nullptr; }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

}  // namespace quorin::gui
