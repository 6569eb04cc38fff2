// Helpers shared by the in-process tests of the skin applier: the program's own skin,
// loaded without activating it, and a way to read a pixel of what a painter drew.
#pragma once

#include <windows.h>

#include <string>

#include "forms/Forms.h"
#include "forms/LayoutLoader.h"
#include "forms/LayoutText.h"
#include "skin/resources/Winskindata.h"

namespace quorin::skintest {

inline std::string ResourceText(const wchar_t* name) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!info) return {};
    HGLOBAL data = LoadResource(module, info);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return std::string(bytes, SizeofResource(module, info));
}

// Reads the default skin of the main window's layout into the component (its elements
// and colours), without registering it with a skin manager.
inline bool LoadDefaultSkin(TSkinData& skin) {
    LayoutObject form = ParseLayout(ResourceText(L"TFORMCANCONFIG"));
    const LayoutObject* stored = form.Child("SkinData1");
    if (!stored) return false;
    const LayoutProperty* stream = stored->Find("SkinStream");
    if (!stream) return false;
    ApplyLayoutProperty(&skin, *stream, nullptr);
    return !skin.Loading();
}

inline void PumpMessages(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

}  // namespace quorin::skintest

#include <atomic>
#include <climits>
#include <functional>
#include <thread>
#include <vector>

namespace quorin::skintest {

// Runs a Linux tool (xdotool, import) from the Wine process; false when it failed.
inline bool RunTool(const std::string& commandLine) {
    std::string command = commandLine;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    const bool done = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD code = 1;
    if (done) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done && code == 0;
}

// Real X input (xdotool): the windows get it as from an operator.
inline bool XDo(const std::string& args) { return RunTool("/usr/bin/xdotool " + args); }
inline void XMove(int x, int y) { XDo("mousemove " + std::to_string(x) + " " + std::to_string(y)); }
inline void XClick(int x, int y, int button = 1, int repeat = 1) {
    XDo("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click --repeat " + std::to_string(repeat) +
        " --delay 80 " + std::to_string(button));
}
inline void XKeys(const std::string& keys) { XDo("key --delay 60 " + keys); }
// The whole screen as a PNG under the build folder.
inline void Screenshot(const std::string& name) {
    CreateDirectoryA((std::string("Z:") + QUORIN_BINARY_DIR + "/screenshots").c_str(), nullptr);
    RunTool("/usr/bin/import -window root " + std::string(QUORIN_BINARY_DIR) + "/screenshots/" + name + ".png");
}

// Visible pop-up menu windows of a thread.
inline std::vector<HWND> PopupMenus(DWORD threadId) {
    std::vector<HWND> found;
    EnumThreadWindows(
        threadId,
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (wcscmp(cls, L"#32768") == 0 && IsWindowVisible(w))
                reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        LPARAM(&found));
    return found;
}

// Calls `act` for every visible dialog box (a message box) of this thread.
inline void ForEachBox(const std::function<void(HWND)>& act) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(w))
                (*reinterpret_cast<const std::function<void(HWND)>*>(p))(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&act));
}

inline bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

// The left edge of the one open drop-down of the thread, after it differs from `not`
// (-1: any), or -1 on timeout.
inline LONG OpenMenuLeft(DWORD threadId, LONG notLeft = LONG_MIN, DWORD timeoutMs = 3000) {
    LONG left = -1;
    WaitFor(
        [&] {
            auto menus = PopupMenus(threadId);
            if (menus.size() != 1) return false;
            RECT r;
            GetWindowRect(menus[0], &r);
            if (r.left == notLeft) return false;
            left = r.left;
            return true;
        },
        timeoutMs);
    Sleep(300);  // the X focus settles on the new menu before the next key
    return left;
}

// Runs an input script on a worker thread while this thread, which owns the windows,
// pumps their messages (menus run modal loops inside the pump). The script must leave
// no menu open.
inline void WhileInput(const std::function<void()>& script) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        script();
        done = true;
    });
    while (!done) {
        while (Application->ProcessMessage()) {}  // the program's own loop
        Sleep(5);
    }
    worker.join();
    PumpMessages(50);
}

}  // namespace quorin::skintest
